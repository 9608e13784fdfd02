#pragma once
// The time axis the encounter pictures share (the trail map and the ZHR profile,
// drawn one above the other): the span an encounter's grains need, the time marks
// every 10, 30 or 60 minutes (longer for long spans) at whole UTC minutes, and
// their labels below a plot area.

#include <QRect>
#include <QRgb>
#include <QString>
#include <vector>

#include "meteors/forecast.h"

class QImage;
class QPainter;

namespace stelvo {

struct TimeSpan {
  double firstJd = 0, lastJd = 0;  // the left and right edges of a plot
  int tickMinutes = 60;            // between the time marks
};

// The span of an encounter's pictures: its nodes, its profile (sorted by time) and
// its peak with a tenth of their spread on each side, at least an hour.
TimeSpan EncounterTimeSpan(const TrailEncounter& encounter);

// Minutes between time marks for a span of `spanMinutes`: 10, 30 or 60, and for
// longer spans 2, 3, 6, 12 hours or whole days, so that there are at most about
// eight marks.
int TimeTickMinutes(double spanMinutes);

// The instants of the time marks inside the span, at whole multiples of the step
// counted from 0h UTC.
std::vector<double> TimeTicks(const TimeSpan& span);

// The column of an instant in a plot spanning `span` (nearest integer; the left
// edge of the plot at firstJd, the right edge at lastJd).
int TimeColumn(const QRect& plot, const TimeSpan& span, double jd);

// "HH:MM", or "MM-DD" at midnight and for steps of whole days.
QString TimeLabel(double jd, int tickMinutes);

// Vertical grid lines at the time marks, inside the plot.
void DrawTimeGrid(QImage& image, const QRect& plot, const TimeSpan& span, QRgb colour);

// Below the plot: the marks, their labels (thinned out where they would touch) and
// the axis title, with the painter's font and pen.
void DrawTimeAxis(QPainter& painter, const QRect& plot, const TimeSpan& span, const QString& title);

}  // namespace stelvo
