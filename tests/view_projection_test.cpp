#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "initial/constants.h"
#include "view/projection.h"
#include "view/view_state.h"

namespace stelvo {
namespace {

ViewState TopView(int zoom = 87) {
  ViewState view;
  UpdateView(view, zoom, 0);
  view.CentreX = 400;
  view.CentreY = 300;
  view.DrawWidth = 800;
  view.DrawHeight = 600;
  return view;
}

TEST(ViewStateTest, UpdateViewTakesZoomLabelAndNegatedInclinationFromTheSliders) {
  ViewState view;
  EXPECT_EQ(UpdateView(view, 87, 45), QString("Zoomfaktor (87)"));
  EXPECT_EQ(view.ZoomScale, 87);
  EXPECT_EQ(view.InclinationDeg, -45.0);
  EXPECT_EQ(view.SinIncl, std::sin(-45.0 * kDegToRad));
  EXPECT_EQ(view.CosIncl, std::cos(-45.0 * kDegToRad));
  EXPECT_EQ(UpdateView(view, 150, 0), QString("Zoomfaktor (150)"));
  EXPECT_EQ(ZoomLabelText(15), QString("Zoomfaktor (15)"));
}

TEST(ViewStateTest, CentreComesFromTheOuterPanelSizeAndLayersLieInsideTheBevel) {
  ViewState view;
  SetPanelGeometry(view, 802, 603);
  EXPECT_EQ(view.CentreX, 401);
  EXPECT_EQ(view.CentreY, 301);
  EXPECT_EQ(view.DrawWidth, 800);
  EXPECT_EQ(view.DrawHeight, 601);
  SetPanelGeometry(view, 1, 0);  // minimised window
  EXPECT_EQ(view.DrawWidth, 0);
  EXPECT_EQ(view.DrawHeight, 0);
}

TEST(ProjectionTest, UnitVectorsLandZoomPixelsRightAndUpOfTheCentre) {
  const ViewState view = TopView();
  EXPECT_EQ(Project(view, 1, 0, 0), (PixelPoint{487, 300}));
  EXPECT_EQ(Project(view, 0, 1, 0), (PixelPoint{400, 213}));
  EXPECT_EQ(Project(view, 0, 0, 1), (PixelPoint{400, 300}));  // seen from the pole
}

TEST(ProjectionTest, HalvesRoundToTheEvenInteger) {
  EXPECT_EQ(RoundToPixel(399.5), 400);
  EXPECT_EQ(RoundToPixel(400.5), 400);
  EXPECT_EQ(RoundToPixel(401.5), 402);
  EXPECT_EQ(RoundToPixel(-0.5), 0);
  EXPECT_EQ(RoundToPixel(-1.5), -2);
  EXPECT_EQ(RoundToPixel(400.49999999999994), 400);
  const ViewState view = TopView(2);
  EXPECT_EQ(Project(view, -0.25, 0, 0).x, 400);  // 399.5
  EXPECT_EQ(Project(view, 0.25, 0, 0).x, 400);   // 400.5
  EXPECT_EQ(Project(view, 0.75, 0, 0).x, 402);   // 401.5
  EXPECT_EQ(Project(view, 0, 0.25, 0).y, 300);   // 299.5
}

TEST(ProjectionTest, InclinationNinetyIsEdgeOnWithZUpwards) {
  ViewState view = TopView();
  UpdateView(view, 87, 90);
  EXPECT_EQ(Project(view, 0, 0, 1), (PixelPoint{400, 213}));
  EXPECT_EQ(Project(view, 0, 3, 0), (PixelPoint{400, 300}));  // depth only
  EXPECT_EQ(Project(view, 1, 3, -1), (PixelPoint{487, 387}));
}

TEST(ProjectionTest, HugeAndNanCoordinatesClampFarOutsideEveryImage) {
  const ViewState view = TopView();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(Project(view, 1e300, -1e300, 0), (PixelPoint{kPixelLimit, kPixelLimit}));
  EXPECT_EQ(Project(view, -inf, nan, 0), (PixelPoint{-kPixelLimit, -kPixelLimit}));
  EXPECT_EQ(RoundToPixel(nan), -kPixelLimit);
}

}  // namespace
}  // namespace stelvo
