#pragma once
// Heliocentric ecliptic coordinates in AU to layer pixels. Used by the orbit
// background and by every run frame, so both place a point on the same pixel.

#include <cmath>

#include "view/view_state.h"

namespace stelvo {

// Pixel coordinates are clamped to +-kPixelLimit. Such points lie far outside any
// image, and the clamp keeps every later integer sum (line slopes, disc boxes) far
// from overflow. NaN maps to -kPixelLimit, also outside.
inline constexpr int kPixelLimit = 1 << 28;

// The nearest integer, halves to the even one (the default rounding mode).
inline int RoundToPixel(double v) {
  if (!(v > -kPixelLimit)) return -kPixelLimit;
  if (v > kPixelLimit) return kPixelLimit;
  return static_cast<int>(std::lrint(v));
}

struct PixelPoint {
  int x = 0, y = 0;
  friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// The view's projection in floating point, before rounding. The integers of the view
// state convert exactly.
struct Projection {
  explicit Projection(const ViewState& view)
      : zoom(view.ZoomScale),
        sinIncl(view.SinIncl),
        cosIncl(view.CosIncl),
        centreX(view.CentreX),
        centreY(view.CentreY) {}

  double ScreenX(double x) const { return x * zoom + centreX; }
  double ScreenY(double y, double z) const { return (-y * cosIncl + z * sinIncl) * zoom + centreY; }
  PixelPoint Pixel(double x, double y, double z) const {
    return {RoundToPixel(ScreenX(x)), RoundToPixel(ScreenY(y, z))};
  }

  double zoom, sinIncl, cosIncl, centreX, centreY;
};

// The pixel of point (x, y, z) in AU under the view.
PixelPoint Project(const ViewState& view, double x, double y, double z);

}  // namespace stelvo
