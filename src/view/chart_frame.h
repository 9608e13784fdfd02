#pragma once
// The frame the encounter and forecast charts share (the trail map, the ZHR profile
// and the forecast timeline): the image and its plot area inside fixed margins, the
// margin and plot filled in their colours, the label font and pen, the line round
// the plot, and the pixels, grid rows and dashed peak line drawn inside the plot.
// Next to time_axis.h, which gives the encounter charts their common time axis.

#include <QImage>
#include <QRect>
#include <QRgb>

class QPainter;

namespace stelvo {

inline constexpr QRgb kChartGridLine = 0xffe2e2e2u;  // value and time grid in a white plot
inline constexpr QRgb kChartPeakLine = 0xffd03030u;  // an encounter's peak

// Room for the labels on each side of the plot area, in pixels.
struct ChartMargins {
  int left, right, top, bottom;
};

// Makes `image` a width x height picture (null for a zero size) and `plot` the area
// inside the margins, at least 1 x 1. An image of that size already is kept.
void ResizeChart(QImage& image, QRect& plot, int width, int height, const ChartMargins& margins);

// The whole image in the margin colour, the plot area in the plot colour.
void FillChart(QImage& image, const QRect& plot);

// The painter set for labels: the chart font and the text pen. Returns a line's height.
int SetUpChartLabels(QPainter& painter);

// The line round the plot area, just outside it, with the painter's pen.
void DrawPlotFrame(QPainter& painter, const QRect& plot);

// One pixel, set only where it lies inside `clip`.
void PutPixel(QImage& image, const QRect& clip, int x, int y, QRgb colour);

// A row of the plot from its left edge to its right.
void DrawPlotRow(QImage& image, const QRect& plot, int y, QRgb colour);

// The dashed line down the plot at column x (4 pixels on, 3 off, from the top).
void DrawPeakLine(QImage& image, const QRect& plot, int x);

}  // namespace stelvo
