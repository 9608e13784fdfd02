#pragma once
// Colours and texts shared by the shower pictures: the colour wheel that gives every
// degree of solar longitude its hue, and the sky chart's own colours. Used by the
// radiant map and the activity profile.

#include <QRgb>
#include <QString>

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

// Axis titles, set by the window in its language.
struct ChartTexts {
  QString rightAscension = QStringLiteral("Rektaszension (°)");
  QString declination = QStringLiteral("Deklination (°)");
  QString solarLongitude = QStringLiteral("Sonnenlänge λ☉ (°)");
  QString perDegree = QStringLiteral("Meteoroide pro Grad");
};

}  // namespace stelvo
