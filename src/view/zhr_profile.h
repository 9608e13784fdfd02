#pragma once
// The profile of one encounter: its ZHR against time (meteors/zhr_model.h), filled
// under the curve, the level of half the maximum across the full width at half
// maximum, the ZHR's uncertainty as a bar at the maximum and the peak as a dashed
// line. Its time axis and side margins are the trail map's, so that the two
// pictures line up when shown one above the other (the shower window does).

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include "meteors/forecast.h"
#include "view/time_axis.h"

namespace stelvo {

struct ZhrProfileTexts {
  QString time = QStringLiteral("Zeit (UTC)");
  QString zhr = QStringLiteral("ZHR");
  // ZHR, its sigma, FWHM in minutes, the peak's sigma in minutes.
  QString title = QStringLiteral("ZHR %1 ± %2, Halbwertsbreite %3 min, Maximum ± %4 min");
  QString empty = QStringLiteral("Kein Profil");
};

class ZhrProfile {
 public:
  void Resize(int width, int height);
  void Redraw(const TrailEncounter& encounter, const ZhrProfileTexts& texts);

  const QImage& Image() const { return image_; }
  // With a profile to show, only the raster drawing lies inside the plot area.
  QRect PlotArea() const { return plot_; }
  const TimeSpan& Span() const { return span_; }
  // The ZHR at the top of the plot after Redraw.
  double ScaleTop() const { return scaleTop_; }
  QPoint PixelOf(double jd, double zhr) const;

 private:
  QImage image_;
  QRect plot_;
  TimeSpan span_;
  double scaleTop_ = 1;
};

// The profile's ZHR at an instant: linear between its points (sorted by time),
// 0 outside them.
double ProfileZhrAt(std::span<const ProfilePoint> profile, double jd);

}  // namespace stelvo
