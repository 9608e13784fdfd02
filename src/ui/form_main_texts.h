#pragma once
// Internal to Form_Main: the texts its layout needs when it builds the controls
// (form_main_texts.cpp holds them with all the window's other texts).

#include <QString>

namespace stelvo {

// The entries of ComboBox_Dist, German, translated in the window's context.
inline constexpr int kDistributionCount = 4;
extern const char* const kDistributionItems[kDistributionCount];

// Column header over the catalogue lines: each word stands over its column.
QString CatalogueHeader();

}  // namespace stelvo
