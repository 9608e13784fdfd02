#include "view/time_axis.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "meteors/sky_geometry.h"

namespace stelvo {

namespace {

constexpr double kMinutesPerDay = 1440;
constexpr double kMinSpanMinutes = 60;

// Whole minutes since the Julian day count's first midnight: the grid of the marks.
long long MinutesOf(double jd) { return std::llround((jd + 0.5) * kMinutesPerDay); }
double JdOfMinutes(long long minutes) { return double(minutes) / kMinutesPerDay - 0.5; }

}  // namespace

TimeSpan EncounterTimeSpan(const TrailEncounter& encounter) {
  double first = encounter.peakJd, last = encounter.peakJd;
  for (const EncounterNode& node : encounter.nodes) {
    if (!std::isfinite(node.earthJd)) continue;
    first = std::min(first, node.earthJd);
    last = std::max(last, node.earthJd);
  }
  if (!encounter.profile.empty()) {
    first = std::min(first, encounter.profile.front().jd);
    last = std::max(last, encounter.profile.back().jd);
  }
  const double pad = (last - first) * 0.1;
  first -= pad, last += pad;
  const double shortfall = kMinSpanMinutes / kMinutesPerDay - (last - first);
  if (shortfall > 0) first -= shortfall / 2, last += shortfall / 2;
  return {first, last, TimeTickMinutes((last - first) * kMinutesPerDay)};
}

int TimeTickMinutes(double spanMinutes) {
  for (int minutes : {10, 30, 60, 120, 180, 360, 720}) {
    if (spanMinutes / minutes <= 8) return minutes;
  }
  const double days = std::ceil(spanMinutes / kMinutesPerDay / 8);
  return int(std::min(days, 3650.0)) * int(kMinutesPerDay);
}

std::vector<double> TimeTicks(const TimeSpan& span) {
  std::vector<double> ticks;
  const long long step = std::max(1, span.tickMinutes);
  for (long long m = (MinutesOf(span.firstJd) + step - 1) / step * step;
       JdOfMinutes(m) <= span.lastJd; m += step) {
    ticks.push_back(JdOfMinutes(m));
  }
  return ticks;
}

int TimeColumn(const QRect& plot, const TimeSpan& span, double jd) {
  return plot.left() +
         int(std::lrint((jd - span.firstJd) / (span.lastJd - span.firstJd) * (plot.width() - 1)));
}

QString TimeLabel(double jd, int tickMinutes) {
  const CalendarTime t = CalendarFromJulianDate(jd);
  const QLatin1Char zero('0');
  if (tickMinutes >= int(kMinutesPerDay) || (t.hour == 0 && t.minute == 0)) {
    return QStringLiteral("%1-%2").arg(t.month, 2, 10, zero).arg(t.day, 2, 10, zero);
  }
  return QStringLiteral("%1:%2").arg(t.hour, 2, 10, zero).arg(t.minute, 2, 10, zero);
}

void DrawTimeGrid(QImage& image, const QRect& plot, const TimeSpan& span, QRgb colour) {
  for (double jd : TimeTicks(span)) {
    const int x = TimeColumn(plot, span, jd);
    if (x < plot.left() || x > plot.right()) continue;
    for (int y = plot.top(); y <= plot.bottom(); ++y) {
      reinterpret_cast<QRgb*>(image.scanLine(y))[x] = colour;
    }
  }
}

void DrawTimeAxis(QPainter& painter, const QRect& plot, const TimeSpan& span, const QString& title) {
  const QFontMetrics metrics(painter.font());
  const int h = metrics.height();
  const std::vector<double> ticks = TimeTicks(span);
  const int labelWidth = metrics.horizontalAdvance(QStringLiteral("00:00")) + 12;
  const int every = std::max(
      1, int(std::ceil(double(labelWidth) * double(ticks.size()) / std::max(1, plot.width()))));
  for (std::size_t k = 0; k < ticks.size(); ++k) {
    const int x = TimeColumn(plot, span, ticks[k]);
    painter.drawLine(x, plot.bottom() + 1, x, plot.bottom() + 4);
    if (k % std::size_t(every) != 0) continue;
    painter.drawText(QRect(x - 40, plot.bottom() + 5, 80, h), Qt::AlignHCenter | Qt::AlignTop,
                     TimeLabel(ticks[k], span.tickMinutes));
  }
  painter.drawText(QRect(plot.left(), plot.bottom() + 6 + h, plot.width(), h),
                   Qt::AlignHCenter | Qt::AlignTop, title);
}

}  // namespace stelvo
