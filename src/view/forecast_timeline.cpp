#include "view/forecast_timeline.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "initial/astronom.h"
#include "meteors/sky_geometry.h"
#include "view/chart_frame.h"

namespace stelvo {

namespace {

// Trail labels and title at the left, year labels and title below.
constexpr ChartMargins kMargins{70, 20, 12, 44};

// Disc radius in pixels: 3 for a single particle, growing with the logarithm of the
// count, 12 at most.
double DiscRadius(int particles) {
  return std::clamp(3.0 + 2.0 * std::log10(std::max(1, particles)), 3.0, 12.0);
}

}  // namespace

QRgb TrailColour(int row) {
  // Steps of the golden angle round the hue circle.
  const double hue = std::fmod(std::abs(row) * 137.50776405, 360.0) / 360.0;
  return QColor::fromHsvF(float(hue), 0.8f, 0.85f).rgb();
}

double FractionalYear(double jd) {
  const int year = CalendarFromJulianDate(jd).year;
  const double start = JulianDate(year, 1, 1, 0, 0, 0);
  const double next = JulianDate(year + 1, 1, 1, 0, 0, 0);
  return year + (jd - start) / (next - start);
}

void ForecastTimeline::Resize(int width, int height) {
  ResizeChart(image_, plot_, width, height, kMargins);
}

int ForecastTimeline::RowOf(int trailYear) const {
  const auto it = std::lower_bound(trailYears_.begin(), trailYears_.end(), trailYear);
  return it != trailYears_.end() && *it == trailYear ? int(it - trailYears_.begin()) : -1;
}

QPoint ForecastTimeline::PixelOf(const TrailEncounter& encounter) const {
  const int rows = std::max<int>(1, int(trailYears_.size()));
  const int years = lastYear_ - firstYear_ + 1;
  const double x =
      plot_.left() + (FractionalYear(encounter.peakJd) - firstYear_) / years * (plot_.width() - 1);
  const double y = plot_.top() + (RowOf(encounter.trailYear) + 0.5) / rows * plot_.height();
  return {static_cast<int>(std::lrint(x)), static_cast<int>(std::lrint(y))};
}

int ForecastTimeline::EncounterAt(QPoint pixel) const {
  int found = -1;
  double nearest = 0;
  for (std::size_t k = 0; k < discs_.size(); ++k) {
    const double dx = pixel.x() - discs_[k].centre.x(), dy = pixel.y() - discs_[k].centre.y();
    const double distance = std::sqrt(dx * dx + dy * dy);
    if (distance <= discs_[k].radius + 1 && (found < 0 || distance < nearest)) {
      found = int(k);
      nearest = distance;
    }
  }
  return found;
}

void ForecastTimeline::DrawStrengths(QPainter& painter, std::span<const TrailEncounter> encounters,
                                     const TimelineTexts& texts) const {
  const int h = QFontMetrics(painter.font()).height();
  // Strengths beside the discs, inside the plot.
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setClipRect(plot_);
  painter.setPen(QColor::fromRgb(kChartText));
  for (std::size_t k = 0; k < encounters.size(); ++k) {
    const TrailEncounter& e = encounters[k];
    if (!(e.zhr > 0)) continue;
    const Disc& disc = discs_[k];
    const QString label =
        texts.strength.arg(QString::number(e.zhr, 'f', 0), QString::number(e.fwhmMin, 'f', 0));
    // Right of the disc, or left of it where the plot ends first.
    const int width = QFontMetrics(painter.font()).horizontalAdvance(label);
    int left = disc.centre.x() + int(disc.radius) + 4;
    if (left + width > plot_.right()) left = disc.centre.x() - int(disc.radius) - 4 - width;
    painter.drawText(QRect(left, disc.centre.y() - h / 2, width + 2, h),
                     Qt::AlignLeft | Qt::AlignVCenter, label);
  }
  painter.setClipping(false);
  painter.setRenderHint(QPainter::Antialiasing);
}

void ForecastTimeline::Redraw(std::span<const TrailEncounter> encounters,
                              const TimelineTexts& texts, int picked) {
  discs_.clear();
  if (image_.isNull()) return;
  trailYears_.clear();
  firstYear_ = lastYear_ = 0;
  for (const TrailEncounter& e : encounters) trailYears_.push_back(e.trailYear);
  std::sort(trailYears_.begin(), trailYears_.end());
  trailYears_.erase(std::unique(trailYears_.begin(), trailYears_.end()), trailYears_.end());
  if (!encounters.empty()) {
    const auto [lo, hi] = std::minmax_element(encounters.begin(), encounters.end(),
                                              [](const TrailEncounter& a, const TrailEncounter& b) {
                                                return a.forecastYear < b.forecastYear;
                                              });
    firstYear_ = lo->forecastYear;
    lastYear_ = hi->forecastYear;
  }

  FillChart(image_, plot_);
  QPainter painter(&image_);
  const int h = SetUpChartLabels(painter);
  painter.drawText(QRect(plot_.left(), plot_.bottom() + 6 + h, plot_.width(), h),
                   Qt::AlignHCenter | Qt::AlignTop, texts.year);
  DrawVerticalTitle(painter, plot_, texts.trail);
  if (encounters.empty()) {
    painter.drawText(plot_, Qt::AlignCenter, texts.empty);
    DrawPlotFrame(painter, plot_);
    return;
  }

  // Year boundaries as lines, each year's label in the middle of its column.
  const int years = lastYear_ - firstYear_ + 1;
  for (int k = 0; k <= years; ++k) {
    const int x = plot_.left() + int(std::lrint(double(k) / years * (plot_.width() - 1)));
    painter.setPen(QColor::fromRgb(kChartMargin));
    painter.drawLine(x, plot_.top(), x, plot_.bottom());
    if (k == years) break;
    const int next = plot_.left() + int(std::lrint(double(k + 1) / years * (plot_.width() - 1)));
    painter.setPen(QColor::fromRgb(kChartText));
    painter.drawText(QRect(x, plot_.bottom() + 4, next - x, h), Qt::AlignHCenter | Qt::AlignTop,
                     QString::number(firstYear_ + k));
  }
  // One row per trail, its year at the left in the trail's colour.
  const int rows = int(trailYears_.size());
  for (int row = 0; row < rows; ++row) {
    const int y = plot_.top() + int((row + 0.5) / rows * plot_.height());
    painter.setPen(QColor::fromRgb(kChartMargin));
    painter.drawLine(plot_.left(), y, plot_.right(), y);
    painter.setPen(QColor::fromRgb(TrailColour(row)));
    painter.drawText(QRect(24, y - h / 2, kMargins.left - 30, h), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(trailYears_[std::size_t(row)]));
  }
  painter.setRenderHint(QPainter::Antialiasing);
  for (const TrailEncounter& e : encounters) {
    const QPoint p = PixelOf(e);
    const double r = DiscRadius(e.particles);
    painter.setPen(QPen(QColor::fromRgb(kChartText), 1));
    painter.setBrush(QColor::fromRgb(TrailColour(RowOf(e.trailYear))));
    painter.drawEllipse(QPointF(p), r, r);
    discs_.push_back({p, r});
  }
  DrawStrengths(painter, encounters, texts);
  if (picked >= 0 && picked < int(discs_.size())) {
    const Disc& disc = discs_[std::size_t(picked)];
    painter.setPen(QPen(QColor::fromRgb(kChartText), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(disc.centre), disc.radius + 4, disc.radius + 4);
  }
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QColor::fromRgb(kChartText));
  DrawPlotFrame(painter, plot_);
}

}  // namespace stelvo
