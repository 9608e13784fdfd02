#include "view/chart_frame.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "view/sky_colours.h"

namespace stelvo {

void ResizeChart(QImage& image, QRect& plot, int width, int height, const ChartMargins& margins) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (image.width() == width && image.height() == height) return;
  image = width > 0 && height > 0 ? QImage(width, height, QImage::Format_RGB32) : QImage();
  plot = QRect(margins.left, margins.top, std::max(1, width - margins.left - margins.right),
               std::max(1, height - margins.top - margins.bottom));
}

void FillChart(QImage& image, const QRect& plot) {
  image.fill(kChartMargin);
  for (int y = plot.top(); y <= plot.bottom(); ++y) {
    std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(y)) + plot.left(), plot.width(), kChartPlot);
  }
}

int SetUpChartLabels(QPainter& painter) {
  painter.setFont(ChartLabelFont());
  painter.setPen(QColor::fromRgb(kChartText));
  return QFontMetrics(painter.font()).height();
}

void DrawPlotFrame(QPainter& painter, const QRect& plot) { painter.drawRect(plot.adjusted(-1, -1, 0, 0)); }

void PutPixel(QImage& image, const QRect& clip, int x, int y, QRgb colour) {
  if (clip.contains(x, y)) reinterpret_cast<QRgb*>(image.scanLine(y))[x] = colour;
}

void DrawPlotRow(QImage& image, const QRect& plot, int y, QRgb colour) {
  for (int x = plot.left(); x <= plot.right(); ++x) PutPixel(image, plot, x, y, colour);
}

void DrawPeakLine(QImage& image, const QRect& plot, int x) {
  for (int y = plot.top(); y <= plot.bottom(); ++y) {
    if ((y - plot.top()) % 7 < 4) PutPixel(image, plot, x, y, kChartPeakLine);
  }
}

}  // namespace stelvo
