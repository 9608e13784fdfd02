#pragma once
// The timeline of a dust-trail forecast: the forecast years along the horizontal
// axis, one row per trail (the year of the passage that released it), each
// encounter a disc at its peak's place in the year, sized by the trail particles
// near the Earth, coloured by trail and labelled with its ZHR and duration. The shower window's forecast view owns one
// and redraws it whenever a forecast is handed to it.

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <span>
#include <vector>

#include "meteors/forecast.h"
#include "view/sky_colours.h"

namespace stelvo {

struct TimelineTexts {
  QString year = QStringLiteral("Jahr");
  QString trail = QStringLiteral("Spur");
  QString empty = QStringLiteral("Keine Begegnungen");
  // Beside each disc with a strength: its ZHR and duration (FWHM) in minutes.
  QString strength = QStringLiteral("ZHR %1, %2 min");
};

class ForecastTimeline {
 public:
  // Allocates the image for a width x height picture (nothing for a zero size).
  void Resize(int width, int height);

  // Draws the encounters: years from the earliest to the latest forecast year among
  // them, rows for the trails in ascending year; the encounter numbered `picked` (if
  // any) in a ring. Without encounters, the frame and the `empty` text.
  void Redraw(std::span<const TrailEncounter> encounters, const TimelineTexts& texts,
              int picked = -1);

  const QImage& Image() const { return image_; }
  QRect PlotArea() const { return plot_; }
  // After Redraw: the centre of an encounter's disc.
  QPoint PixelOf(const TrailEncounter& encounter) const;
  // After Redraw: the row of a trail from the top, -1 for a trail without encounters.
  int RowOf(int trailYear) const;
  // After Redraw: the number of the encounter whose disc holds `pixel` (the nearest
  // centre where discs overlap), -1 where there is none.
  int EncounterAt(QPoint pixel) const;
  int FirstYear() const { return firstYear_; }
  int LastYear() const { return lastYear_; }

 private:
  // Each encounter's ZHR and duration beside its disc, inside the plot.
  void DrawStrengths(QPainter& painter, std::span<const TrailEncounter> encounters,
                     const TimelineTexts& texts) const;

  QImage image_;
  QRect plot_;
  int firstYear_ = 0, lastYear_ = 0;
  std::vector<int> trailYears_;  // the rows, top to bottom
  struct Disc {
    QPoint centre;
    double radius;
  };
  std::vector<Disc> discs_;  // per encounter, in the order drawn
};

// The colour of a trail's row: neighbouring trails get well separated hues.
QRgb TrailColour(int row);

// Where in its year a Julian date falls: the year plus the fraction of it passed.
double FractionalYear(double jd);

}  // namespace stelvo
