// The activity profile: bars per degree of solar longitude, scaled to round counts.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "view/activity_profile.h"
#include "view_test_support.h"

namespace stelvo {
namespace {

using test::At;

TEST(RoundCountStep, GivesOneTwoOrFiveTimesAPowerOfTenForAtMostFiveSteps) {
  EXPECT_EQ(RoundCountStep(0), 1);
  EXPECT_EQ(RoundCountStep(5), 1);
  EXPECT_EQ(RoundCountStep(6), 2);
  EXPECT_EQ(RoundCountStep(10), 2);
  EXPECT_EQ(RoundCountStep(11), 5);
  EXPECT_EQ(RoundCountStep(26), 10);
  EXPECT_EQ(RoundCountStep(1000), 200);
  EXPECT_EQ(RoundCountStep(2147483647), 500000000);
}

class ActivityProfileTest : public ::testing::Test {
 protected:
  ActivityProfileTest() { profile.Resize(1000, 300, ChartTexts{}); }
  ActivityProfile profile;
  std::array<int, kProfileBins> counts{};
};

TEST_F(ActivityProfileTest, EmptyHistogramLeavesThePlotBlank) {
  profile.Redraw(counts);
  const QRect plot = profile.PlotArea();
  EXPECT_EQ(test::BoundsOfNot(profile.Image(), kChartPlot, plot.adjusted(0, 0, 0, -1)), QRect());
}

TEST_F(ActivityProfileTest, TallestBarFillsTheHeightAtItsLongitude) {
  counts[140] = 37;
  counts[300] = 10;
  profile.Redraw(counts);
  EXPECT_EQ(profile.ScaleTop(), 40);  // steps of 10
  const QRect plot = profile.PlotArea();
  const QRgb perseid = SolarLongitudeColour(140.5) | 0xff000000u;
  const int x140 = plot.left() + 140 * (plot.width() - 1) / 360;
  const int height = 37 * (plot.height() - 1) / 40;
  EXPECT_EQ(At(profile.Image(), x140, plot.bottom()), perseid);
  EXPECT_EQ(At(profile.Image(), x140, plot.bottom() - height + 1), perseid);
  EXPECT_NE(At(profile.Image(), x140, plot.bottom() - height), perseid);
  // Nothing at 139° and 142°.
  EXPECT_EQ(At(profile.Image(), plot.left() + 139 * (plot.width() - 1) / 360, plot.bottom()),
            kChartPlot);
  EXPECT_EQ(At(profile.Image(), plot.left() + 142 * (plot.width() - 1) / 360, plot.bottom()),
            kChartPlot);
  const QRgb late = SolarLongitudeColour(300.5) | 0xff000000u;
  const int x300 = plot.left() + 300 * (plot.width() - 1) / 360;
  EXPECT_EQ(At(profile.Image(), x300, plot.bottom() - 10 * (plot.height() - 1) / 40 + 1), late);
  EXPECT_NE(At(profile.Image(), x300, plot.bottom() - 10 * (plot.height() - 1) / 40 - 1), late);
}

TEST_F(ActivityProfileTest, RedrawReplacesTheOldBars) {
  profile.Redraw(counts);
  const QImage blank = profile.Image().copy();
  counts[10] = 3;
  profile.Redraw(counts);
  EXPECT_NE(profile.Image(), blank);
  counts[10] = 0;
  profile.Redraw(counts);
  EXPECT_EQ(profile.Image(), blank);
}

TEST_F(ActivityProfileTest, ShortHistogramDrawsOnlyItsBins) {
  const std::array<int, 3> few = {1, 0, 4};
  profile.Redraw(few);
  EXPECT_EQ(profile.ScaleTop(), 4);
}

// A stream's rates: the axis shrinks to the occupied degrees and the half-maximum bar
// spans the width the stream measured, from where the profile falls to half.
TEST_F(ActivityProfileTest, StreamRatesZoomToTheirShowerAndMarkItsWidth) {
  std::vector<double> rates(360, 0.0);
  rates[234] = 6, rates[235] = 28.9, rates[236] = 21.9, rates[237] = 5;
  const ProfilePeak peak = PeakOfProfile(rates, 1, 235.5, 5);
  profile.ShowOccupied(rates, 1);
  profile.Redraw(rates, 1);
  profile.MarkPeaks(std::span(&peak, 1), QStringLiteral("%1° %2°"));
  const QRect plot = profile.PlotArea();
  EXPECT_EQ(profile.XOf(232), plot.left());  // 234..238 and two degrees on each side
  EXPECT_EQ(profile.XOf(240), plot.right());
  EXPECT_EQ(profile.ScaleTop(), 30);
  const int y = profile.YOf(peak.rate / 2);
  int left = plot.right(), right = plot.left();
  for (int x = plot.left(); x <= plot.right(); ++x) {
    if (At(profile.Image(), x, y) != kChartText) continue;
    left = std::min(left, x);
    right = std::max(right, x);
  }
  const double pixelsPerDeg = (plot.width() - 1) / 8.0;
  EXPECT_NEAR((right - left) / pixelsPerDeg, peak.fwhmDeg, 2 / pixelsPerDeg);
  // The rise lies between the centres of the 234° and 235° bins, not centred on the peak.
  EXPECT_GT(left, profile.XOf(234.5));
  EXPECT_LT(left, profile.XOf(235.5));
}

}  // namespace
}  // namespace stelvo
