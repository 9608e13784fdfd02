#include "view/trail_map.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numeric>
#include <vector>

#include "initial/time_scale.h"
#include "meteors/sky_geometry.h"
#include "view/chart_frame.h"
#include "view/sky_colours.h"
#include "view/time_axis.h"

namespace stelvo {

namespace {

// Miss labels and title at the left, the Earth path's name at the right, title and
// solar longitude labels above, time labels and title below.
constexpr ChartMargins kMargins{80, 52, 40, 44};
constexpr double kMinMissAu = 1e-4;  // the miss axis reaches at least this far
constexpr QRgb kEarthPath = 0xff1f7a3au;
// A round point of 5 x 5 pixels: the half-widths of its rows.
constexpr std::array<int, 5> kPointRows = {1, 2, 2, 2, 1};

QString SignedAu(double value, int decimals) {
  if (std::abs(value) < 0.5 * std::pow(10.0, -decimals)) return QString::number(0.0, 'f', decimals);
  const QString text = QString::number(value, 'f', decimals);
  return value > 0 ? QLatin1Char('+') + text : text;
}

}  // namespace

int StrongestEncounter(std::span<const TrailEncounter> encounters, std::optional<int> trailYear,
                       std::optional<int> forecastYear) {
  int best = -1;
  for (int k = 0; k < int(encounters.size()); ++k) {
    const TrailEncounter& e = encounters[std::size_t(k)];
    if ((trailYear && e.trailYear != *trailYear) ||
        (forecastYear && e.forecastYear != *forecastYear)) {
      continue;
    }
    const TrailEncounter* b = best < 0 ? nullptr : &encounters[std::size_t(best)];
    if (b == nullptr || e.zhr > b->zhr || (e.zhr == b->zhr && e.particles > b->particles)) best = k;
  }
  return best;
}

QRgb NodeShade(double weight, double heaviest) {
  const double share = heaviest > 0 && weight > 0 ? std::min(1.0, weight / heaviest) : 0;
  // From (170, 200, 235) to (10, 40, 140): the lightest grain still stands out.
  const double t = 0.25 + 0.75 * share;
  auto mix = [t](int light, int dark) { return int(std::lrint(light + t * (dark - light))); };
  return qRgb(mix(170, 10), mix(200, 40), mix(235, 140));
}

void TrailMap::Resize(int width, int height) {
  ResizeChart(image_, plot_, width, height, kMargins);
}

QPoint TrailMap::PixelOf(double jd, double missAu) const {
  const double y = plot_.top() + (missTop_ - missAu) / (2 * missTop_) * (plot_.height() - 1);
  return {TimeColumn(plot_, span_, jd), int(std::lrint(y))};
}

void TrailMap::Redraw(const TrailEncounter& encounter, const TrailMapTexts& texts) {
  if (image_.isNull()) return;
  span_ = EncounterTimeSpan(encounter);
  double extent = kMinMissAu, heaviest = 0;
  for (const EncounterNode& node : encounter.nodes) {
    if (std::isfinite(node.missAu)) extent = std::max(extent, std::abs(node.missAu));
    heaviest = std::max(heaviest, node.weight);
  }
  const double missStep = RoundAxisStep(extent, 4);
  const int steps = std::max(1, int(std::ceil(extent / missStep - 1e-9)));
  missTop_ = steps * missStep;

  // The plot: grid lines, the Earth's path with its marks, the peak, the grains.
  FillChart(image_, plot_);
  DrawTimeGrid(image_, plot_, span_, kChartGridLine);
  for (int k = -steps; k <= steps; ++k) {
    DrawPlotRow(image_, plot_, PixelOf(span_.firstJd, k * missStep).y(), kChartGridLine);
  }
  const int earthY = PixelOf(span_.firstJd, 0).y();
  for (int x = plot_.left(); x <= plot_.right(); ++x) {
    PutPixel(image_, plot_, x, earthY, kEarthPath);
    PutPixel(image_, plot_, x, earthY + 1, kEarthPath);
  }
  for (double jd : TimeTicks(span_)) {
    const int x = TimeColumn(plot_, span_, jd);
    for (int dy = -5; dy <= 6; ++dy) {
      PutPixel(image_, plot_, x, earthY + dy, kEarthPath);
      PutPixel(image_, plot_, x + 1, earthY + dy, kEarthPath);
    }
  }
  DrawPeakLine(image_, plot_, TimeColumn(plot_, span_, encounter.peakJd));
  // Lighter grains first, so that the heavy ones stay on top; equal weights keep
  // their order.
  const auto& nodes = encounter.nodes;
  std::vector<std::size_t> order(nodes.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return nodes[a].weight < nodes[b].weight; });
  for (std::size_t i : order) {
    const EncounterNode& node = nodes[i];
    if (!std::isfinite(node.earthJd) || !std::isfinite(node.missAu)) continue;
    const QPoint p = PixelOf(node.earthJd, node.missAu);
    const QRgb shade = NodeShade(node.weight, heaviest);
    for (int row = 0; row < int(kPointRows.size()); ++row) {
      const int half = kPointRows[std::size_t(row)];
      for (int dx = -half; dx <= half; ++dx) PutPixel(image_, plot_, p.x() + dx, p.y() + row - 2, shade);
    }
  }

  DrawTexts(encounter, texts, missStep, steps);
}

void TrailMap::DrawTexts(const TrailEncounter& encounter, const TrailMapTexts& texts,
                         double missStep, int steps) {
  const int decimals = std::max(0, int(-std::floor(std::log10(missStep) + 1e-9)));
  const int earthY = PixelOf(span_.firstJd, 0).y();
  const auto& nodes = encounter.nodes;
  // Everything else lies outside the plot: the frame, the axes' marks and labels.
  QPainter painter(&image_);
  const int h = SetUpChartLabels(painter);
  const QFontMetrics metrics(painter.font());
  DrawPlotFrame(painter, plot_);
  TimeText peak{};
  FormatUtc(encounter.peakJd, peak);
  if (char* t = std::strchr(peak.data(), 'T')) *t = ' ';
  painter.drawText(QRect(plot_.left(), 2, plot_.width(), h), Qt::AlignLeft | Qt::AlignTop,
                   texts.title.arg(encounter.trailYear)
                       .arg(QString::fromLatin1(peak.data()))
                       .arg(encounter.nodes.size()));
  DrawTimeAxis(painter, plot_, span_, texts.time);
  DrawVerticalTitle(painter, plot_, texts.miss);

  // Solar longitude above the plot at the time marks, from the encounter's own at
  // the peak and the Sun's motion since.
  painter.drawText(QRect(0, plot_.top() - h - 5, plot_.left() - 6, h),
                   Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("λ☉ (°)"));
  const std::vector<double> ticks = TimeTicks(span_);
  const int labelWidth = metrics.horizontalAdvance(QStringLiteral("000.000")) + 10;
  const int every = std::max(
      1, int(std::ceil(double(labelWidth) * double(ticks.size()) / std::max(1, plot_.width()))));
  const double sunAtPeak = SunLongitudeJ2000Deg(encounter.peakJd);
  for (std::size_t k = 0; k < ticks.size(); ++k) {
    const int x = TimeColumn(plot_, span_, ticks[k]);
    painter.drawLine(x, plot_.top() - 2, x, plot_.top() - 5);
    if (k % std::size_t(every) != 0) continue;
    const double lambda = WrapDegrees(
        encounter.lambdaSun + DegreesBetween(SunLongitudeJ2000Deg(ticks[k]), sunAtPeak));
    painter.drawText(QRect(x - 40, plot_.top() - h - 5, 80, h), Qt::AlignHCenter | Qt::AlignBottom,
                     QString::number(lambda, 'f', 3));
  }
  for (int k = -steps; k <= steps; ++k) {
    const int y = PixelOf(span_.firstJd, k * missStep).y();
    painter.drawLine(plot_.left() - 5, y, plot_.left() - 2, y);
    painter.drawText(QRect(0, y - h / 2, plot_.left() - 8, h), Qt::AlignRight | Qt::AlignVCenter,
                     SignedAu(k * missStep, decimals));
  }
  painter.setPen(QColor::fromRgb(kEarthPath));
  painter.drawText(QRect(plot_.right() + 4, earthY - h / 2, kMargins.right - 4, h),
                   Qt::AlignLeft | Qt::AlignVCenter, texts.earth);
  painter.setPen(QColor::fromRgb(kChartText));
  if (nodes.empty()) {
    painter.drawText(plot_.adjusted(0, 0, 0, -plot_.height() / 4), Qt::AlignCenter, texts.empty);
  }
}

}  // namespace stelvo
