#include "view/view_state.h"

#include <algorithm>
#include <cmath>

#include "initial/constants.h"

namespace stelvo {

QString ZoomLabelText(int zoomScale) {
  return QStringLiteral("Zoomfaktor (") + QString::number(zoomScale) + QLatin1Char(')');
}

QString UpdateView(ViewState& view, int zoomPosition, int inclPosition) {
  view.ZoomScale = zoomPosition;
  view.InclinationDeg = -static_cast<double>(inclPosition);
  view.SinIncl = std::sin(view.InclinationDeg * kDegToRad);
  view.CosIncl = std::cos(view.InclinationDeg * kDegToRad);
  return ZoomLabelText(view.ZoomScale);
}

void SetPanelGeometry(ViewState& view, int panelWidth, int panelHeight) {
  view.CentreX = panelWidth / 2;
  view.CentreY = panelHeight / 2;
  view.DrawWidth = std::max(0, panelWidth - 2);
  view.DrawHeight = std::max(0, panelHeight - 2);
}

}  // namespace stelvo
