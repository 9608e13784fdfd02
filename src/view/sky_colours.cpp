#include "view/sky_colours.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>

namespace stelvo {

QRgb SolarLongitudeColour(double lambdaSunDeg) {
  // One colour per tenth of a degree, computed once.
  static const std::array<QRgb, 3600> wheel = [] {
    std::array<QRgb, 3600> made{};
    for (int i = 0; i < 3600; ++i) made[i] = QColor::fromHsvF(i / 3600.0f, 0.85f, 1.0f).rgb();
    return made;
  }();
  double turn = lambdaSunDeg;
  if (!(turn >= 0 && turn < 360.0)) turn = std::fmod(turn, 360.0);
  if (!(turn >= 0)) turn = turn < 0 ? turn + 360.0 : 0.0;  // negative, or NaN to 0
  const int index = static_cast<int>(turn * 10.0);
  return wheel[static_cast<std::size_t>(index >= 3600 ? 3599 : index)];
}

QFont ChartLabelFont() {
  QFont font;
  font.setPixelSize(12);
  return font;
}

double RoundAxisStep(double largest, int steps) {
  const double raw = largest / std::max(1, steps);
  if (!(raw > 0) || !std::isfinite(raw)) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double factor : {1.0, 2.0, 5.0}) {
    if (factor * power >= raw * (1 - 1e-12)) return factor * power;
  }
  return 10 * power;
}

void DrawVerticalTitle(QPainter& painter, const QRect& plot, const QString& title) {
  const int h = QFontMetrics(painter.font()).height();
  painter.save();
  painter.translate(12, plot.center().y());
  painter.rotate(-90);
  // Wider than the plot is high, so that a long title is not cut.
  painter.drawText(QRect(-plot.height() / 2 - 40, -h / 2 - 2, plot.height() + 80, h),
                   Qt::AlignCenter, title);
  painter.restore();
}

}  // namespace stelvo
