#pragma once
// The window's two font families. MS Sans Serif and Courier New are used where the
// system has them; otherwise a sans serif of similar widths (or the platform's own)
// and the platform's fixed-pitch font, so that the catalogue lines keep their columns.

#include <QFont>

namespace stelvo {

QFont WindowFont(int pixelSize, bool bold = false);
QFont FixedPitchFont(int pixelSize, bool bold = false);

}  // namespace stelvo
