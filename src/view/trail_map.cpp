#include "view/trail_map.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <vector>

#include "meteors/sky_geometry.h"
#include "view/sky_colours.h"

namespace stelvo {

namespace {

constexpr int kLeftMargin = 80;  // miss labels and title
constexpr int kRightMargin = 52;  // the Earth path's name
constexpr int kTopMargin = 40;     // title and solar longitude labels
constexpr int kBottomMargin = 44;  // time labels and title
constexpr double kMinutesPerDay = 1440;
constexpr double kMinSpanMinutes = 60;
constexpr double kMinMissAu = 1e-4;  // the miss axis reaches at least this far
constexpr QRgb kEarthPath = 0xff1f7a3au;
constexpr QRgb kPeakLine = 0xffd03030u;
constexpr QRgb kGridLine = 0xffe2e2e2u;
// A round point of 5 x 5 pixels: the half-widths of its rows.
constexpr std::array<int, 5> kPointRows = {1, 2, 2, 2, 1};

void Put(QImage& image, const QRect& clip, int x, int y, QRgb colour) {
  if (clip.contains(x, y)) reinterpret_cast<QRgb*>(image.scanLine(y))[x] = colour;
}

// 1, 2 or 5 times a power of ten: the smallest such step giving at most `steps`
// steps up to `extent`.
double RoundStep(double extent, int steps) {
  const double raw = extent / steps;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double factor : {1.0, 2.0, 5.0, 10.0}) {
    if (factor * power >= raw * (1 - 1e-12)) return factor * power;
  }
  return 10 * power;
}

// Whole minutes since the start of the Julian day count's midnight: the tick grid.
long long MinutesOf(double jd) { return std::llround((jd + 0.5) * kMinutesPerDay); }
double JdOfMinutes(long long minutes) { return double(minutes) / kMinutesPerDay - 0.5; }

QString TimeLabel(double jd, int tickMinutes) {
  const CalendarTime t = CalendarFromJulianDate(jd);
  if (tickMinutes >= int(kMinutesPerDay) || (t.hour == 0 && t.minute == 0)) {
    return QStringLiteral("%1-%2").arg(t.month, 2, 10, QLatin1Char('0')).arg(t.day, 2, 10,
                                                                           QLatin1Char('0'));
  }
  return QStringLiteral("%1:%2").arg(t.hour, 2, 10, QLatin1Char('0')).arg(t.minute, 2, 10,
                                                                         QLatin1Char('0'));
}

QString SignedAu(double value, int decimals) {
  if (std::abs(value) < 0.5 * std::pow(10.0, -decimals)) return QString::number(0.0, 'f', decimals);
  const QString text = QString::number(value, 'f', decimals);
  return value > 0 ? QLatin1Char('+') + text : text;
}

}  // namespace

int TimeTickMinutes(double spanMinutes) {
  for (int minutes : {10, 30, 60, 120, 180, 360, 720}) {
    if (spanMinutes / minutes <= 8) return minutes;
  }
  const double days = std::ceil(spanMinutes / kMinutesPerDay / 8);
  return int(std::min(days, 3650.0)) * int(kMinutesPerDay);
}

QRgb NodeShade(double weight, double heaviest) {
  const double share = heaviest > 0 && weight > 0 ? std::min(1.0, weight / heaviest) : 0;
  // From (170, 200, 235) to (10, 40, 140): the lightest grain still stands out.
  const double t = 0.25 + 0.75 * share;
  auto mix = [t](int light, int dark) { return int(std::lrint(light + t * (dark - light))); };
  return qRgb(mix(170, 10), mix(200, 40), mix(235, 140));
}

void TrailMap::Resize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (image_.width() == width && image_.height() == height) return;
  image_ = width > 0 && height > 0 ? QImage(width, height, QImage::Format_RGB32) : QImage();
  plot_ = QRect(kLeftMargin, kTopMargin, std::max(1, width - kLeftMargin - kRightMargin),
                std::max(1, height - kTopMargin - kBottomMargin));
}

QPoint TrailMap::PixelOf(double jd, double missAu) const {
  const double x = plot_.left() + (jd - firstJd_) / (lastJd_ - firstJd_) * (plot_.width() - 1);
  const double y = plot_.top() + (missTop_ - missAu) / (2 * missTop_) * (plot_.height() - 1);
  return {int(std::lrint(x)), int(std::lrint(y))};
}

void TrailMap::Redraw(const TrailEncounter& encounter, const TrailMapTexts& texts) {
  if (image_.isNull()) return;
  // The spans: every node and the peak, a tenth more on each side in time.
  double first = encounter.peakJd, last = encounter.peakJd, extent = 0, heaviest = 0;
  for (const EncounterNode& node : encounter.nodes) {
    if (!std::isfinite(node.earthJd) || !std::isfinite(node.missAu)) continue;
    first = std::min(first, node.earthJd);
    last = std::max(last, node.earthJd);
    extent = std::max(extent, std::abs(node.missAu));
    heaviest = std::max(heaviest, node.weight);
  }
  const double pad = std::max((last - first) * 0.1, 0.0);
  first -= pad, last += pad;
  const double shortfall = kMinSpanMinutes / kMinutesPerDay - (last - first);
  if (shortfall > 0) first -= shortfall / 2, last += shortfall / 2;
  firstJd_ = first, lastJd_ = last;
  tickMinutes_ = TimeTickMinutes((last - first) * kMinutesPerDay);
  const double missStep = RoundStep(std::max(extent, kMinMissAu), 4);
  missTop_ = std::max(1.0, std::ceil(std::max(extent, kMinMissAu) / missStep - 1e-9)) * missStep;
  const int decimals = std::max(0, int(-std::floor(std::log10(missStep) + 1e-9)));

  image_.fill(kChartMargin);
  // The plot: grid lines, the Earth's path with its marks, the peak, the grains.
  {
    const QRect& clip = plot_;
    for (int y = plot_.top(); y <= plot_.bottom(); ++y) {
      std::fill_n(reinterpret_cast<QRgb*>(image_.scanLine(y)) + plot_.left(), plot_.width(),
                  kChartPlot);
    }
    const long long firstTick =
        (MinutesOf(first) + tickMinutes_ - 1) / tickMinutes_ * tickMinutes_;
    for (long long m = firstTick; JdOfMinutes(m) <= last; m += tickMinutes_) {
      const int x = PixelOf(JdOfMinutes(m), 0).x();
      for (int y = plot_.top(); y <= plot_.bottom(); ++y) Put(image_, clip, x, y, kGridLine);
    }
    for (int k = -int(std::lrint(missTop_ / missStep)); k <= int(std::lrint(missTop_ / missStep));
         ++k) {
      const int y = PixelOf(first, k * missStep).y();
      for (int x = plot_.left(); x <= plot_.right(); ++x) Put(image_, clip, x, y, kGridLine);
    }
    const int earthY = PixelOf(first, 0).y();
    for (int x = plot_.left(); x <= plot_.right(); ++x) {
      Put(image_, clip, x, earthY, kEarthPath);
      Put(image_, clip, x, earthY + 1, kEarthPath);
    }
    for (long long m = firstTick; JdOfMinutes(m) <= last; m += tickMinutes_) {
      const int x = PixelOf(JdOfMinutes(m), 0).x();
      for (int dy = -5; dy <= 6; ++dy) {
        Put(image_, clip, x, earthY + dy, kEarthPath);
        Put(image_, clip, x + 1, earthY + dy, kEarthPath);
      }
    }
    const int peakX = PixelOf(encounter.peakJd, 0).x();
    for (int y = plot_.top(); y <= plot_.bottom(); ++y) {
      if ((y - plot_.top()) % 7 < 4) Put(image_, clip, peakX, y, kPeakLine);
    }
    // Lighter grains first, so that the heavy ones stay on top; equal weights keep
    // their order.
    std::vector<std::size_t> order(encounter.nodes.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      return encounter.nodes[a].weight < encounter.nodes[b].weight;
    });
    for (std::size_t i : order) {
      const EncounterNode& node = encounter.nodes[i];
      if (!std::isfinite(node.earthJd) || !std::isfinite(node.missAu)) continue;
      const QPoint p = PixelOf(node.earthJd, node.missAu);
      const QRgb shade = NodeShade(node.weight, heaviest);
      for (int row = 0; row < int(kPointRows.size()); ++row) {
        const int half = kPointRows[std::size_t(row)];
        for (int dx = -half; dx <= half; ++dx) Put(image_, clip, p.x() + dx, p.y() + row - 2, shade);
      }
    }
  }

  // Everything else lies outside the plot: the frame, the axes' marks and labels.
  QPainter painter(&image_);
  painter.setFont(ChartLabelFont());
  const QFontMetrics metrics(painter.font());
  const int h = metrics.height();
  painter.setPen(QColor::fromRgb(kChartText));
  painter.drawRect(plot_.adjusted(-1, -1, 0, 0));
  std::array<char, 17> peak{};
  FormatUtc(encounter.peakJd, peak);
  peak[10] = ' ';
  painter.drawText(QRect(plot_.left(), 2, plot_.width(), h), Qt::AlignLeft | Qt::AlignTop,
                   texts.title.arg(encounter.trailYear).arg(QString::fromLatin1(peak.data())));
  painter.drawText(QRect(plot_.left(), plot_.bottom() + 6 + h, plot_.width(), h),
                   Qt::AlignHCenter | Qt::AlignTop, texts.time);
  DrawVerticalTitle(painter, plot_, texts.miss);
  painter.drawText(QRect(0, plot_.top() - h - 5, plot_.left() - 6, h),
                   Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("λ☉ (°)"));

  // Time marks below the plot, solar longitude above it; labels thinned out where
  // they would touch.
  const int labelWidth = metrics.horizontalAdvance(QStringLiteral("000.000")) + 10;
  const double ticks = (last - first) * kMinutesPerDay / tickMinutes_;
  const int every = std::max(1, int(std::ceil(labelWidth * ticks / std::max(1, plot_.width()))));
  const long long firstTick = (MinutesOf(first) + tickMinutes_ - 1) / tickMinutes_ * tickMinutes_;
  const double sunAtPeak = SunLongitudeJ2000Deg(encounter.peakJd);
  for (long long m = firstTick, k = 0; JdOfMinutes(m) <= last; m += tickMinutes_, ++k) {
    const double jd = JdOfMinutes(m);
    const int x = PixelOf(jd, 0).x();
    painter.drawLine(x, plot_.bottom() + 1, x, plot_.bottom() + 4);
    painter.drawLine(x, plot_.top() - 2, x, plot_.top() - 5);
    if (k % every != 0) continue;
    painter.drawText(QRect(x - 40, plot_.bottom() + 5, 80, h), Qt::AlignHCenter | Qt::AlignTop,
                     TimeLabel(jd, tickMinutes_));
    const double lambda =
        WrapDegrees(encounter.lambdaSun + DegreesBetween(SunLongitudeJ2000Deg(jd), sunAtPeak));
    painter.drawText(QRect(x - 40, plot_.top() - h - 5, 80, h), Qt::AlignHCenter | Qt::AlignBottom,
                     QString::number(lambda, 'f', 3));
  }
  for (int k = -int(std::lrint(missTop_ / missStep)); k <= int(std::lrint(missTop_ / missStep));
       ++k) {
    const int y = PixelOf(first, k * missStep).y();
    painter.drawLine(plot_.left() - 5, y, plot_.left() - 2, y);
    painter.drawText(QRect(0, y - h / 2, plot_.left() - 8, h), Qt::AlignRight | Qt::AlignVCenter,
                     SignedAu(k * missStep, decimals));
  }
  painter.setPen(QColor::fromRgb(kEarthPath));
  painter.drawText(QRect(plot_.right() + 4, PixelOf(first, 0).y() - h / 2, kRightMargin - 4, h),
                   Qt::AlignLeft | Qt::AlignVCenter, texts.earth);
  painter.setPen(QColor::fromRgb(kChartText));
  if (encounter.nodes.empty()) {
    painter.drawText(plot_.adjusted(0, 0, 0, -plot_.height() / 4), Qt::AlignCenter, texts.empty);
  }
}

}  // namespace stelvo
