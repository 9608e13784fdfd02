#include "view/activity_profile.h"

#include <QFont>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace stelvo {

namespace {

constexpr int kLeftMargin = 64;  // count labels and title
constexpr int kRightMargin = 16;
constexpr int kTopMargin = 10;
constexpr int kBottomMargin = 40;  // longitude labels and title
constexpr int kLongitudeStepDeg = 30;

}  // namespace

int RoundCountStep(int largest) {
  for (long long power = 1; power <= 100000000; power *= 10) {
    for (long long factor : {1, 2, 5}) {
      if (largest <= 5 * factor * power) return static_cast<int>(factor * power);
    }
  }
  return 1000000000;
}

void ActivityProfile::Resize(int width, int height, const ChartTexts& texts) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (!image_.isNull() && image_.width() == width && image_.height() == height &&
      texts.solarLongitude == texts_.solarLongitude && texts.perDegree == texts_.perDegree) {
    return;
  }
  texts_ = texts;
  if (width == 0 || height == 0) {
    image_ = QImage();
    frame_ = QImage();
    plot_ = QRect();
    return;
  }
  frame_ = QImage(width, height, QImage::Format_RGB32);
  plot_ = QRect(kLeftMargin, kTopMargin, std::max(1, width - kLeftMargin - kRightMargin),
                std::max(1, height - kTopMargin - kBottomMargin));
  DrawFrame(texts);
  image_ = frame_.copy();
}

void ActivityProfile::DrawFrame(const ChartTexts& texts) {
  frame_.fill(kChartMargin);
  QPainter painter(&frame_);
  painter.fillRect(plot_, QColor::fromRgb(kChartPlot));
  painter.setFont(ChartLabelFont());
  painter.setPen(QColor::fromRgb(kChartText));
  const int h = QFontMetrics(painter.font()).height();
  const double span = toDeg_ - fromDeg_;
  const double step = span >= 360 ? kLongitudeStepDeg : RoundAxisStep(span, 6);
  for (int k = static_cast<int>(std::ceil(fromDeg_ / step)); k * step <= toDeg_ + 1e-9; ++k) {
    const int x = XOf(k * step);
    painter.drawLine(x, plot_.bottom() + 1, x, plot_.bottom() + 4);
    painter.drawText(QRect(x - 30, plot_.bottom() + 5, 60, h), Qt::AlignHCenter | Qt::AlignTop,
                     QString::number(k * step, 'g', 6) + QStringLiteral("°"));
  }
  painter.drawText(QRect(plot_.left(), plot_.bottom() + 5 + h, plot_.width(), h),
                   Qt::AlignHCenter | Qt::AlignTop, texts.solarLongitude);
  DrawVerticalTitle(painter, plot_, texts.perDegree);
}

void ActivityProfile::ShowLongitudes(double fromDeg, double toDeg) {
  if (fromDeg == fromDeg_ && toDeg == toDeg_) return;
  fromDeg_ = fromDeg;
  toDeg_ = toDeg;
  if (!frame_.isNull()) DrawFrame(texts_);
}

void ActivityProfile::ShowOccupied(std::span<const double> rates, double binDeg) {
  // The stretch of occupied bins, with a margin of a quarter of it on each side (at
  // least two degrees), at round degrees; the whole year when it wraps past 0°.
  double first = 360, last = 0;
  for (std::size_t i = 0; i < rates.size(); ++i) {
    if (!(rates[i] > 0)) continue;
    first = std::min(first, double(i) * binDeg);
    last = std::max(last, double(i + 1) * binDeg);
  }
  if (!(last > first) || last - first > 180) {
    ShowLongitudes(0, 360);
    return;
  }
  const double margin = std::max(2.0, (last - first) / 4);
  ShowLongitudes(std::max(0.0, std::floor(first - margin)),
                 std::min(360.0, std::ceil(last + margin)));
}

void ActivityProfile::Redraw(std::span<const int> counts) {
  if (image_.isNull()) return;
  const std::span<const int> bins =
      counts.first(std::min(counts.size(), std::size_t(kProfileBins)));
  int largest = 0;
  for (int count : bins) largest = std::max(largest, count);
  const int step = RoundCountStep(largest);
  scaleTop_ = std::max(step, (largest + step - 1) / step * step);
  DrawBars(bins, 1, step);
}

void ActivityProfile::Redraw(std::span<const double> rates, double binDeg) {
  if (image_.isNull()) return;
  const std::size_t fit = binDeg > 0 ? std::size_t(std::ceil(360 / binDeg)) : 0;
  const std::span<const double> bins = rates.first(std::min(rates.size(), fit));
  double largest = 0;
  for (double rate : bins) largest = std::max(largest, rate);
  const double step = largest > 0 ? RoundAxisStep(largest, 5) : 1;
  scaleTop_ = std::max(step, std::ceil(largest / step) * step);
  DrawBars(bins, binDeg, step);
}

int ActivityProfile::XOf(double lambdaDeg) const {
  return plot_.left() + static_cast<int>(std::floor((lambdaDeg - fromDeg_) * (plot_.width() - 1) /
                                                    (toDeg_ - fromDeg_)));
}

int ActivityProfile::YOf(double value) const {
  // Truncated as the bars are: an integer count meets the same pixel as in integers.
  return plot_.bottom() - static_cast<int>(value * (plot_.height() - 1) / scaleTop_);
}

template <class Value>
void ActivityProfile::DrawBars(std::span<const Value> values, double binDeg, double step) {
  std::memcpy(image_.bits(), frame_.constBits(), static_cast<std::size_t>(frame_.sizeInBytes()));
  const std::ptrdiff_t stride = image_.bytesPerLine() / 4;
  auto* bits = reinterpret_cast<QRgb*>(image_.bits());
  // Value grid lines first, the bars over them.
  for (int k = 1; k * step < scaleTop_; ++k) {
    std::fill_n(bits + YOf(k * step) * stride + plot_.left(), plot_.width(), kChartMargin);
  }
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!(values[i] > 0)) continue;
    // Bin i spans [i, i + 1) * binDeg, cut to the longitudes shown; a bar is at
    // least one pixel wide and high.
    const double from = double(i) * binDeg;
    if (from + binDeg <= fromDeg_ || from >= toDeg_) continue;
    const int x0 = XOf(std::max(from, fromDeg_));
    const int x1 = std::max(x0 + 1, XOf(std::min(toDeg_, from + binDeg)));
    const int top = std::min(plot_.bottom(), YOf(values[i]) + 1);
    const QRgb colour = SolarLongitudeColour(from + binDeg / 2);
    for (int y = top; y <= plot_.bottom(); ++y) {
      std::fill(bits + y * stride + x0, bits + y * stride + x1, colour);
    }
  }

  QPainter painter(&image_);
  painter.setFont(ChartLabelFont());
  painter.setPen(QColor::fromRgb(kChartText));
  painter.drawRect(plot_.adjusted(-1, -1, 0, 0));
  const int h = QFontMetrics(painter.font()).height();
  for (int k = 0; k * step <= scaleTop_ * (1 + 1e-9); ++k) {
    const int y = YOf(k * step);
    painter.drawLine(plot_.left() - 4, y, plot_.left() - 1, y);
    painter.drawText(QRect(0, y - h / 2, plot_.left() - 6, h), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(k * step, 'g', 6));
  }
}

void ActivityProfile::MarkPeaks(std::span<const ProfilePeak> peaks, const QString& label) {
  if (image_.isNull()) return;
  QPainter painter(&image_);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setFont(ChartLabelFont());
  const QFontMetrics metrics(painter.font());
  const QColor ink = QColor::fromRgb(kChartText);
  for (const ProfilePeak& p : peaks) {
    if (!(p.rate > 0) || p.lambda < fromDeg_ || p.lambda > toDeg_) continue;
    const int y = YOf(p.rate / 2);
    const int x = XOf(p.lambda);
    const int left = XOf(std::max(fromDeg_, p.lowDeg));
    const int right = std::max(left + 1, XOf(std::min(toDeg_, p.highDeg)));
    painter.setPen(QPen(ink, 2));
    painter.drawLine(left, y, right, y);
    painter.drawLine(left, y - 4, left, y + 4);
    painter.drawLine(right, y - 4, right, y + 4);
    const int top = YOf(p.rate);
    painter.drawLine(x - 5, top - 8, x, top - 2);
    painter.drawLine(x + 5, top - 8, x, top - 2);
    // The label beside the peak's top, kept inside the plot.
    const QString text = label.arg(p.lambda, 0, 'f', 1).arg(p.fwhmDeg, 0, 'f', 1);
    const int width = metrics.horizontalAdvance(text) + 4;
    int textX = right + 6;
    if (textX + width > plot_.right()) textX = left - 6 - width;
    const QRect box(std::max(plot_.left() + 2, textX), std::max(plot_.top() + 1, top - 2), width,
                    metrics.height());
    painter.fillRect(box, QColor::fromRgb(kChartPlot));
    painter.setPen(ink);
    painter.drawText(box, Qt::AlignCenter, text);
  }
}

}  // namespace stelvo
