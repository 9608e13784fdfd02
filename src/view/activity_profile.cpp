#include "view/activity_profile.h"

#include <QFont>
#include <QPainter>
#include <algorithm>
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
  std::memcpy(image_.bits(), frame_.constBits(), static_cast<std::size_t>(frame_.sizeInBytes()));
  const int bins = std::min<int>(kProfileBins, static_cast<int>(counts.size()));
  int largest = 0;
  for (int i = 0; i < bins; ++i) largest = std::max(largest, counts[i]);
  const int step = RoundCountStep(largest);
  scaleTop_ = std::max(step, (largest + step - 1) / step * step);

  const std::ptrdiff_t stride = image_.bytesPerLine() / 4;
  auto* bits = reinterpret_cast<QRgb*>(image_.bits());
  const int plotH = plot_.height();
  // Count grid lines first, the bars over them.
  for (int value = step; value < scaleTop_; value += step) {
    const int y = plot_.bottom() - static_cast<int>(std::int64_t(value) * (plotH - 1) / scaleTop_);
    std::fill_n(bits + y * stride + plot_.left(), plot_.width(), kChartMargin);
  }
  for (int i = 0; i < bins; ++i) {
    if (counts[i] <= 0) continue;
    // Bin i spans [i, i + 1) degrees; a bar is at least one pixel wide and high.
    const int x0 = plot_.left() + i * (plot_.width() - 1) / 360;
    const int x1 = std::max(x0 + 1, plot_.left() + (i + 1) * (plot_.width() - 1) / 360);
    const int barH =
        std::max(1, static_cast<int>(std::int64_t(counts[i]) * (plotH - 1) / scaleTop_));
    const QRgb colour = SolarLongitudeColour(i + 0.5);
    for (int y = plot_.bottom() - barH + 1; y <= plot_.bottom(); ++y) {
      std::fill(bits + y * stride + x0, bits + y * stride + x1, colour);
    }
  }

  QPainter painter(&image_);
  painter.setFont(ChartLabelFont());
  painter.setPen(QColor::fromRgb(kChartText));
  painter.drawRect(plot_.adjusted(-1, -1, 0, 0));
  const int h = QFontMetrics(painter.font()).height();
  for (int value = 0; value <= scaleTop_; value += step) {
    const int y = plot_.bottom() - static_cast<int>(std::int64_t(value) * (plotH - 1) / scaleTop_);
    painter.drawLine(plot_.left() - 4, y, plot_.left() - 1, y);
    painter.drawText(QRect(0, y - h / 2, plot_.left() - 6, h), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(value));
  }
}

}  // namespace stelvo
