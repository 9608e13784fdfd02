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
  for (int lon = 0; lon <= 360; lon += kLongitudeStepDeg) {
    const int x = plot_.left() + lon * (plot_.width() - 1) / 360;
    painter.drawLine(x, plot_.bottom() + 1, x, plot_.bottom() + 4);
    painter.drawText(QRect(x - 30, plot_.bottom() + 5, 60, h), Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("%1°").arg(lon));
  }
  painter.drawText(QRect(plot_.left(), plot_.bottom() + 5 + h, plot_.width(), h),
                   Qt::AlignHCenter | Qt::AlignTop, texts.solarLongitude);
  DrawVerticalTitle(painter, plot_, texts.perDegree);
}

void ActivityProfile::Redraw(std::span<const int> counts) {
  if (image_.isNull()) return;
  const std::span<const int> bins = counts.first(std::min(counts.size(), std::size_t(kProfileBins)));
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
  return plot_.left() + static_cast<int>(std::floor(lambdaDeg * (plot_.width() - 1) / 360));
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
    // Bin i spans [i, i + 1) * binDeg; a bar is at least one pixel wide and high.
    const double from = double(i) * binDeg;
    const int x0 = XOf(from);
    const int x1 = std::max(x0 + 1, XOf(std::min(360.0, from + binDeg)));
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
    if (!(p.rate > 0)) continue;
    // The width is drawn centred on the peak: the profile gives its size, not its sides.
    const int y = YOf(p.rate / 2);
    const int x = XOf(p.lambda);
    const int left = XOf(std::max(0.0, p.lambda - p.fwhmDeg / 2));
    const int right = std::max(left + 1, XOf(std::min(360.0, p.lambda + p.fwhmDeg / 2)));
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
    const QRect box(std::max(plot_.left() + 2, textX), std::max(plot_.top() + 1, top - 2),
                    width, metrics.height());
    painter.fillRect(box, QColor::fromRgb(kChartPlot));
    painter.setPen(ink);
    painter.drawText(box, Qt::AlignCenter, text);
  }
}

}  // namespace stelvo
