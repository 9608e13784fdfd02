// The radiant map: where a radiant lands, the colour of a dot, the grid kept under
// the dots.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cmath>
#include <vector>

#include "view/radiant_map.h"
#include "view_test_support.h"

namespace stelvo {
namespace {

using test::At;

class RadiantMapTest : public ::testing::Test {
 protected:
  RadiantMapTest() { map.Resize(900, 440, ChartTexts{}); }
  RadiantMap map;
};

TEST_F(RadiantMapTest, ChartKeepsTwoToOneAndSpansTheWholeSky) {
  const QRect plot = map.PlotArea();
  EXPECT_EQ(plot.width(), 2 * plot.height());
  EXPECT_EQ(map.PixelOf(360, 90), plot.topLeft());
  EXPECT_EQ(map.PixelOf(0, -90), plot.bottomRight());
}

TEST_F(RadiantMapTest, RightAscensionIncreasesToTheLeft) {
  EXPECT_LT(map.PixelOf(90, 0).x(), map.PixelOf(0, 0).x());
  EXPECT_LT(map.PixelOf(270, 0).x(), map.PixelOf(90, 0).x());
  EXPECT_LT(map.PixelOf(0, 60).y(), map.PixelOf(0, 0).y());  // north is up
}

TEST_F(RadiantMapTest, PerseidRadiantDotLandsOnItsPixel) {
  const QRect plot = map.PlotArea();
  // RA 48.2°, Dec +58.1°: (360 - 48.2) / 360 of the width from the left edge,
  // (90 - 58.1) / 180 of the height from the top.
  const int x = plot.left() + int(std::lrint((360.0 - 48.2) * (plot.width() - 1) / 360.0));
  const int y = plot.top() + int(std::lrint((90.0 - 58.1) * (plot.height() - 1) / 180.0));
  ASSERT_EQ(map.PixelOf(48.2, 58.1), QPoint(x, y));
  const std::vector<RadiantDot> dots = {{48.2f, 58.1f, 140.0f}};
  const QRgb before = At(map.Image(), x, y);
  map.AddDots(dots);
  EXPECT_EQ(At(map.Image(), x, y), SolarLongitudeColour(140.0f) | 0xff000000u);
  EXPECT_NE(At(map.Image(), x, y), before);
  // A dot is 3 x 3 pixels.
  EXPECT_EQ(At(map.Image(), x - 1, y + 1), At(map.Image(), x, y));
  EXPECT_NE(At(map.Image(), x - 2, y), At(map.Image(), x, y));
}

TEST_F(RadiantMapTest, DotsTakeTheColourOfTheirSolarLongitude) {
  EXPECT_NE(SolarLongitudeColour(0), SolarLongitudeColour(120));
  EXPECT_EQ(SolarLongitudeColour(10), SolarLongitudeColour(370));
  EXPECT_EQ(SolarLongitudeColour(350), SolarLongitudeColour(-10));
  const std::vector<RadiantDot> dots = {{100.0f, 0.0f, 0.0f}, {200.0f, 0.0f, 240.0f}};
  map.AddDots(dots);
  const QPoint a = map.PixelOf(100, 0), b = map.PixelOf(200, 0);
  EXPECT_EQ(At(map.Image(), a.x(), a.y()), SolarLongitudeColour(0) | 0xff000000u);
  EXPECT_EQ(At(map.Image(), b.x(), b.y()), SolarLongitudeColour(240) | 0xff000000u);
}

TEST_F(RadiantMapTest, ClearLeavesTheBareGridAndRedrawEqualsClearThenAdd) {
  const QImage bare = map.Image().copy();
  const std::vector<RadiantDot> dots = {{10.0f, -20.0f, 30.0f}, {300.0f, 45.0f, 200.0f}};
  map.AddDots(dots);
  EXPECT_NE(map.Image(), bare);
  map.Clear();
  EXPECT_EQ(map.Image(), bare);
  map.AddDots(dots);
  const QImage added = map.Image().copy();
  map.Redraw(dots);
  EXPECT_EQ(map.Image(), added);
}

TEST_F(RadiantMapTest, DotsOutsideTheSkyOrNotANumberDrawNothing) {
  const QImage bare = map.Image().copy();
  const std::vector<RadiantDot> dots = {
      {std::nanf(""), 0.0f, 10.0f}, {10.0f, std::nanf(""), 10.0f}, {400.0f, 0.0f, 10.0f},
      {-5.0f, 0.0f, 10.0f},          {10.0f, 95.0f, 10.0f}};
  map.AddDots(dots);
  EXPECT_EQ(map.Image(), bare);
}

TEST_F(RadiantMapTest, GridHasLinesEveryThirtyDegrees) {
  for (int ra = 0; ra <= 360; ra += 30) {
    const QPoint p = map.PixelOf(ra, 45);
    EXPECT_EQ(At(map.Image(), p.x(), p.y()), kChartGrid) << ra;
  }
  const QPoint between = map.PixelOf(15, 15);
  EXPECT_EQ(At(map.Image(), between.x(), between.y()), kChartSky);
}

TEST_F(RadiantMapTest, ResizeToNothingLeavesNoImage) {
  map.Resize(0, 300, ChartTexts{});
  EXPECT_TRUE(map.Image().isNull());
  const std::vector<RadiantDot> dots = {{10.0f, 10.0f, 10.0f}};
  map.AddDots(dots);
  map.Resize(320, 200, ChartTexts{});
  EXPECT_EQ(map.Image().size(), QSize(320, 200));
}

}  // namespace
}  // namespace stelvo

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);  // label fonts
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
