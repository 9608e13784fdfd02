#pragma once
// The sky map of the radiants: equatorial coordinates on a plain rectangular chart,
// right ascension increasing to the left (as on a sky chart), declination upward, a
// coordinate grid with labels and a colour wheel of solar longitude. Every crossing
// is a dot coloured by its solar longitude. The shower window owns one and draws new
// dots as they come; the grid is drawn once per size and copied as one block.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <span>

#include "view/sky_colours.h"

namespace stelvo {

// What the map needs of one crossing: its radiant and when the Earth meets it.
struct RadiantDot {
  float raDeg;      // [0, 360)
  float decDeg;     // [-90, 90]
  float lambdaSun;  // degrees, [0, 360)
};

class RadiantMap {
 public:
  // Allocates the image and draws the grid for a width x height picture; an
  // unchanged size and unchanged texts keep everything. Leaves the map without dots.
  void Resize(int width, int height, const ChartTexts& texts);

  // Back to the bare grid (one block copy).
  void Clear();
  // Draws dots on top of what the image holds; allocates nothing.
  void AddDots(std::span<const RadiantDot> dots);
  // The grid and then every dot: what the image holds after Clear and AddDots.
  void Redraw(std::span<const RadiantDot> dots);

  const QImage& Image() const { return image_; }
  // The chart's area inside the image: RA 360° at its left edge, 0° at its right
  // edge, Dec +90° at its top, -90° at its bottom.
  QRect PlotArea() const { return plot_; }
  // The pixel of a sky direction (the centre of its dot), nearest integer.
  QPoint PixelOf(double raDeg, double decDeg) const;

 private:
  void DrawGrid(const ChartTexts& texts);

  QImage image_;
  QImage grid_;
  QRect plot_;
  ChartTexts texts_;
};

}  // namespace stelvo
