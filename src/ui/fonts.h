#pragma once
// The window's two font families, and the fitting of a control's font to its room.
// MS Sans Serif and Courier New are used where the system has them, else families of
// the same widths; where none is installed, the window fits each caption with
// FittingFont (a narrower family or a smaller size) so that nothing overlaps or is cut.

#include <QFont>
#include <functional>

namespace stelvo {

QFont WindowFont(int pixelSize, bool bold = false);
QFont FixedPitchFont(int pixelSize, bool bold = false);

// The smallest size FittingFont goes down to.
inline constexpr int kSmallestFittingPixelSize = 8;

// The first font for which `fits` holds, trying `font` itself, then each narrower sans
// serif the system has at the same size and weight, then all of them one pixel
// smaller, and so on down to kSmallestFittingPixelSize (the last one tried is returned
// when none fits).
QFont FittingFont(const QFont& font, const std::function<bool(const QFont&)>& fits);

}  // namespace stelvo
