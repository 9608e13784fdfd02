#pragma once
// What the shower pictures share: the colour wheel that gives every degree of solar
// longitude its hue, the charts' own colours, their label font and axis titles. Used
// by the radiant map, the activity profile and the forecast timeline.

#include <QFont>
#include <QRect>
#include <QRgb>
#include <QString>

class QPainter;

namespace stelvo {

// The colour of solar longitude `lambdaSunDeg` (any value; taken modulo 360): a full
// turn of the hue circle, red at 0 degrees, through yellow, green, cyan, blue and
// magenta back to red.
QRgb SolarLongitudeColour(double lambdaSunDeg);

inline constexpr QRgb kChartSky = 0xff101830u;     // the map's plot area
inline constexpr QRgb kChartGrid = 0xff3c4868u;    // coordinate lines
inline constexpr QRgb kChartMargin = 0xfff4f4f4u;  // around the plot areas
inline constexpr QRgb kChartText = 0xff202020u;    // labels and axes
inline constexpr QRgb kChartPlot = 0xffffffffu;    // the activity profile's plot area

// The labels' font: the application's, 12 pixels high.
QFont ChartLabelFont();

// A vertical axis title, read from the bottom up, centred beside the plot area's left
// edge of `plot`, with the painter's font and pen.
void DrawVerticalTitle(QPainter& painter, const QRect& plot, const QString& title);

// The step of a value axis reaching `largest` (> 0): 1, 2 or 5 times a power of ten,
// the smallest giving at most `steps` steps.
double RoundAxisStep(double largest, int steps);

// Axis titles, set by the window in its language.
struct ChartTexts {
  QString rightAscension = QStringLiteral("Rektaszension (°)");
  QString declination = QStringLiteral("Deklination (°)");
  QString solarLongitude = QStringLiteral("Sonnenlänge λ☉ (°)");
  QString perDegree = QStringLiteral("Durchgänge pro Grad");
};

}  // namespace stelvo
