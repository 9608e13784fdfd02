#pragma once
// The sky map of the radiants: equatorial coordinates on a plain rectangular chart,
// right ascension increasing to the left (as on a sky chart), declination upward, a
// coordinate grid with labels and a colour wheel of solar longitude. Every crossing
// of the stream with the Earth's orbit (|dr| within the capture width) is a dot
// coloured by its solar longitude. The shower window owns one and draws new
// dots as they come; the grid is drawn once per size and copied as one block.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <span>

#include "meteors/shower_summary.h"
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
  // Draws a dot on top of what the image holds if the crossing belongs to a shower;
  // allocates nothing.
  void AddDot(const SkyDot& dot);
  // Rings round the showers' mean radiants, labelled with their solar longitudes,
  // over the dots: the picture shown is the dots and these rings, which are drawn
  // anew with each call (the dots stay).
  void MarkShowers(std::span<const Shower> showers);
  // The summary's sky dots from number `first` (oldest first) to its newest.
  void AddDots(const ShowerSummary& summary, int first);
  // The grid and then every sky dot the summary keeps: what the image holds after
  // Clear and AddDots(summary, 0).
  void Redraw(const ShowerSummary& summary);

  const QImage& Image() const { return image_; }
  // The chart's area inside the image: RA 360° at its left edge, 0° at its right
  // edge, Dec +90° at its top, -90° at its bottom.
  QRect PlotArea() const { return plot_; }
  // The pixel of a sky direction (the centre of its dot), nearest integer.
  QPoint PixelOf(double raDeg, double decDeg) const;

 private:
  void DrawGrid(const ChartTexts& texts);

  QImage image_;  // shown: dots_ and the shower rings
  QImage dots_;   // the grid and every dot drawn since the last Clear
  QImage grid_;
  QRect plot_;
  ChartTexts texts_;
};

}  // namespace stelvo
