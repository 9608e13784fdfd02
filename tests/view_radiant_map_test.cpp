// The radiant map: where a radiant lands, the colour of a dot, the grid kept under
// the dots.
#include <gtest/gtest.h>

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
  void AddAll(const std::vector<SkyDot>& dots) {
    for (const SkyDot& dot : dots) map.AddDot(dot);
  }
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
  const std::vector<SkyDot> dots = {{48.2, 58.1, 140.0, true}};
  const QRgb before = At(map.Image(), x, y);
  AddAll(dots);
  EXPECT_EQ(At(map.Image(), x, y), SolarLongitudeColour(140.0) | 0xff000000u);
  EXPECT_NE(At(map.Image(), x, y), before);
  // A dot is 3 x 3 pixels.
  EXPECT_EQ(At(map.Image(), x - 1, y + 1), At(map.Image(), x, y));
  EXPECT_NE(At(map.Image(), x - 2, y), At(map.Image(), x, y));
}

TEST_F(RadiantMapTest, DotsTakeTheColourOfTheirSolarLongitude) {
  EXPECT_NE(SolarLongitudeColour(0), SolarLongitudeColour(120));
  EXPECT_EQ(SolarLongitudeColour(10), SolarLongitudeColour(370));
  EXPECT_EQ(SolarLongitudeColour(350), SolarLongitudeColour(-10));
  const std::vector<SkyDot> dots = {{100.0, 0.0, 0.0, true}, {200.0, 0.0, 240.0, true}};
  AddAll(dots);
  const QPoint a = map.PixelOf(100, 0), b = map.PixelOf(200, 0);
  EXPECT_EQ(At(map.Image(), a.x(), a.y()), SolarLongitudeColour(0) | 0xff000000u);
  EXPECT_EQ(At(map.Image(), b.x(), b.y()), SolarLongitudeColour(240) | 0xff000000u);
}

TEST_F(RadiantMapTest, ClearLeavesTheBareGridAndRedrawDrawsTheSummarysShowerDots) {
  const QImage bare = map.Image().copy();
  const std::vector<SkyDot> dots = {{10.0, -20.0, 30.0, true}, {300.0, 45.0, 200.0, true}};
  AddAll(dots);
  const QImage added = map.Image().copy();
  EXPECT_NE(added, bare);
  map.Clear();
  EXPECT_EQ(map.Image(), bare);

  // The same two crossings through a summary, with one far from the Earth's orbit
  // between them, which is not drawn.
  std::vector<Crossing> crossings(3, Crossing{});
  crossings[0].raDeg = 10, crossings[0].decDeg = -20, crossings[0].lambdaSun = 30;
  crossings[1].raDeg = 100, crossings[1].decDeg = 0, crossings[1].lambdaSun = 90;
  crossings[2].raDeg = 300, crossings[2].decDeg = 45, crossings[2].lambdaSun = 200;
  crossings[0].inShower = crossings[2].inShower = true;
  ShowerSummary summary;
  summary.Add(crossings, 0, 5);
  map.Redraw(summary);
  EXPECT_EQ(map.Image(), added);
  map.Clear();
  map.AddDots(summary, 2);  // the newest only
  const QPoint newest = map.PixelOf(300, 45), oldest = map.PixelOf(10, -20);
  EXPECT_EQ(At(map.Image(), newest.x(), newest.y()), SolarLongitudeColour(200) | 0xff000000u);
  EXPECT_EQ(At(map.Image(), oldest.x(), oldest.y()), At(bare, oldest.x(), oldest.y()));
}

TEST_F(RadiantMapTest, ShowersGetARingRoundTheirMeanRadiantThatGoesWithTheNextCall) {
  const std::vector<SkyDot> dots = {{48.2, 58.1, 140.0, true}};
  AddAll(dots);
  const QImage dotted = map.Image().copy();
  Shower perseids{};
  perseids.lambdaSun = 140.0, perseids.raDeg = 48.2, perseids.decDeg = 58.1;
  const std::vector<Shower> showers = {perseids};
  map.MarkShowers(showers);
  const QPoint p = map.PixelOf(48.2, 58.1);
  EXPECT_EQ(At(map.Image(), p.x(), p.y()), SolarLongitudeColour(140.0) | 0xff000000u);
  EXPECT_EQ(At(map.Image(), p.x() - 9, p.y()), 0xffffffffu);  // the ring, 9 pixels out
  EXPECT_EQ(At(map.Image(), p.x(), p.y() + 9), 0xffffffffu);
  EXPECT_EQ(At(map.Image(), p.x() + 5, p.y() + 5), kChartSky);  // inside it
  map.MarkShowers({});
  EXPECT_EQ(map.Image(), dotted);
}

TEST_F(RadiantMapTest, DotsOutsideTheSkyOrNotANumberDrawNothing) {
  const QImage bare = map.Image().copy();
  const std::vector<SkyDot> dots = {{std::nan(""), 0.0, 10.0, true},
                                    {10.0, std::nan(""), 10.0, true},
                                    {400.0, 0.0, 10.0, true},
                                    {-5.0, 0.0, 10.0, true},
                                    {10.0, 95.0, 10.0, true}};
  AddAll(dots);
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
  const std::vector<SkyDot> dots = {{10.0, 10.0, 10.0, true}};
  AddAll(dots);
  map.Resize(320, 200, ChartTexts{});
  EXPECT_EQ(map.Image().size(), QSize(320, 200));
}

}  // namespace
}  // namespace stelvo
