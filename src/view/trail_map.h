#pragma once
// The trail picture of one encounter, as dust-trail forecasts draw it: every trail
// grain near the Earth is a point at the instant the Earth passes its node (time in
// UTC along, solar longitude on the top axis) and its node's distance from the
// Earth's orbit, rD - rE (AU, up), shaded by the grain's weight; the Earth's path is
// the line rD - rE = 0 with its time marks. The shower window and stelvo-cli
// (--trail-map) draw it for the encounter picked.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>
#include <span>

#include "meteors/forecast.h"
#include "view/time_axis.h"

namespace stelvo {

// Titles in the window's language.
struct TrailMapTexts {
  QString time = QStringLiteral("Zeit (UTC)");
  QString miss = QStringLiteral("rD − rE (AE)");
  // Trail year, peak, grains near the Earth.
  QString title = QStringLiteral("Spur %1, Maximum %2 UTC, %3 Teilchen nahe der Erde");
  QString earth = QStringLiteral("Erde");  // beside the Earth's path
  QString empty = QStringLiteral("Keine Teilchen nahe der Erde");
};

class TrailMap {
 public:
  // Allocates the image for a width x height picture (nothing for a zero size).
  void Resize(int width, int height);

  // Draws the encounter's nodes (EncounterNode: the Earth's passage, rD - rE and the
  // grain's weight, of which only ratios matter), its peak as a vertical line and
  // its solar longitude at the peak anchoring the top axis. The time axis spans the
  // nodes and the peak with a margin, at least an hour; the miss axis is symmetric
  // about the Earth's path and holds every node. Heavier grains are darker and are
  // drawn over lighter ones.
  void Redraw(const TrailEncounter& encounter, const TrailMapTexts& texts);

  const QImage& Image() const { return image_; }
  // The plot area: with nodes to show, nothing but the raster drawing (grid, path,
  // marks, points) lies inside it; every text lies outside.
  QRect PlotArea() const { return plot_; }
  // After Redraw: the pixel of an instant and a miss distance (nearest integer).
  QPoint PixelOf(double jd, double missAu) const;
  // After Redraw: the time axis (EncounterTimeSpan of the encounter).
  const TimeSpan& Span() const { return span_; }
  // The miss distance at the top of the plot (the bottom is its negative).
  double MissTop() const { return missTop_; }

 private:
  // Everything outside the plot: the frame, the axes' marks and labels, the titles.
  void DrawTexts(const TrailEncounter& encounter, const TrailMapTexts& texts, double missStep,
                 int steps);

  QImage image_;
  QRect plot_;
  TimeSpan span_;
  double missTop_ = 0;
};

// The encounter a trail picture shows first: the number of the one with the highest
// ZHR (then the most grains near the Earth) among those of trail `trailYear` in the
// year `forecastYear`, each when given; -1 when there is none.
int StrongestEncounter(std::span<const TrailEncounter> encounters,
                       std::optional<int> trailYear = std::nullopt,
                       std::optional<int> forecastYear = std::nullopt);

// The colour of a grain of weight `weight` among grains up to `heaviest`: from a
// pale blue for the lightest to a deep blue for the heaviest.
QRgb NodeShade(double weight, double heaviest);

}  // namespace stelvo
