#pragma once
// The activity profile of a stream: how many crossings fell into each degree of solar
// longitude, 0 to 360°, as bars coloured like the radiant map's dots, with labelled
// axes. The shower window owns one and redraws it from the summary's histogram, and
// one for a stream run's rates (meteors/stream.h) with each shower's peak and width
// marked; the frame and the longitude axis are drawn once per size and copied as one
// block.

#include <QImage>
#include <QRect>
#include <span>

#include "meteors/stream.h"
#include "view/sky_colours.h"

namespace stelvo {

inline constexpr int kProfileBins = 360;  // one per degree of solar longitude

class ActivityProfile {
 public:
  // Allocates the image and draws the fixed parts for a width x height picture; an
  // unchanged size and unchanged texts keep everything.
  void Resize(int width, int height, const ChartTexts& texts);

  // The solar longitudes on the axis, degrees within [0, 360]; the whole year at first.
  void ShowLongitudes(double fromDeg, double toDeg);
  // The stretch of the year where `rates` (bins of binDeg) are above 0, with a margin;
  // the whole year for an empty profile or one spread over more than half of it.
  void ShowOccupied(std::span<const double> rates, double binDeg);

  // Bars of `counts` (kProfileBins values, bin i for [i, i + 1) degrees) scaled to
  // the largest, with a count axis of round steps. Allocates nothing but the few
  // label texts.
  void Redraw(std::span<const int> counts);
  // Bars of `rates` (bin i for [i, i + 1) * binDeg degrees) on a value axis of round
  // steps; a stream run's profile.
  void Redraw(std::span<const double> rates, double binDeg);
  // Over the bars of the last Redraw: each peak's top and a bar across its full width
  // at half maximum (PeakOfProfile's edges), labelled with `label` (%1 the peak's λ☉,
  // %2 the width, degrees).
  void MarkPeaks(std::span<const ProfilePeak> peaks, const QString& label);

  const QImage& Image() const { return image_; }
  QRect PlotArea() const { return plot_; }
  // The value at the top of the plot area after the last Redraw.
  double ScaleTop() const { return scaleTop_; }
  // The pixel column of solar longitude lambdaDeg on the axis shown.
  int XOf(double lambdaDeg) const;
  // The pixel row of a value on the axis of the last Redraw.
  int YOf(double value) const;

 private:
  void DrawFrame(const ChartTexts& texts);
  template <class Value>
  void DrawBars(std::span<const Value> values, double binDeg, double step);

  QImage image_;
  QImage frame_;
  QRect plot_;
  ChartTexts texts_;
  double scaleTop_ = 1;
  double fromDeg_ = 0, toDeg_ = 360;
};

// The step of a count axis for counts up to `largest`: 1, 2 or 5 times a power of
// ten, giving at most about five steps.
int RoundCountStep(int largest);

}  // namespace stelvo
