// The ZHR profile of an encounter: the curve, its half level and the peak, on the
// trail map's time axis.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "view/sky_colours.h"
#include "view/trail_map.h"
#include "view/zhr_profile.h"
#include "view_test_support.h"

namespace stelvo {
namespace {

TEST(ProfileZhrAt, InterpolatesBetweenPointsAndIsZeroOutside) {
  const std::vector<ProfilePoint> profile = {{10.0, 100}, {10.5, 300}, {11.0, 200}};
  const struct {
    double jd, zhr;
  } cases[] = {{9.9, 0}, {10.0, 100}, {10.25, 200}, {10.5, 300}, {10.75, 250}, {11.0, 200}, {11.1, 0}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(ProfileZhrAt(profile, c.jd), c.zhr) << c.jd;
  EXPECT_EQ(ProfileZhrAt({}, 10.0), 0);
}

// A storm of ZHR 3,700 +- 400 at 02:08 UTC with a Gaussian profile of 40 minutes'
// full width at half maximum.
class ZhrProfileTest : public ::testing::Test {
 protected:
  ZhrProfileTest() {
    encounter.trailYear = 1899;
    encounter.peakJd = kPeak;
    encounter.zhr = 3700;
    encounter.zhrSigma = 400;
    encounter.fwhmMin = 40;
    encounter.peakSigmaMin = 1.5;
    const double sigmaDays = 40 / 2.3548 / 1440;
    for (int i = -60; i <= 60; ++i) {
      const double t = kPeak + i * sigmaDays / 15;
      encounter.profile.push_back({t, 3700 * std::exp(-0.5 * std::pow((t - kPeak) / sigmaDays, 2))});
    }
    for (int i = -20; i <= 20; ++i) encounter.nodes.push_back({kPeak + i * sigmaDays / 10, 0.0009, 1});
    profile.Resize(800, 240);
    profile.Redraw(encounter, ZhrProfileTexts{});
  }
  static constexpr double kPeak = 2451500.5 + (2 + 8 / 60.0) / 24;
  TrailEncounter encounter{};
  ZhrProfile profile;
};

TEST_F(ZhrProfileTest, TheCurveIsAsWideAtHalfMaximumAsTheProfile) {
  EXPECT_EQ(profile.ScaleTop(), 6000);  // steps of 2000 above 3700 + 400
  // Along the row of half the maximum, the filled curve reaches out from the peak
  // to the two crossings, 40 minutes apart; outside it the plot is white or grid.
  const QPoint half = profile.PixelOf(kPeak, 1850);
  auto inside = [&](int x) { return qGray(test::At(profile.Image(), x, half.y())) < 215; };
  int from = half.x(), to = half.x();
  while (inside(from - 1)) --from;
  while (inside(to + 1)) ++to;
  const double minutesPerPixel =
      (profile.Span().lastJd - profile.Span().firstJd) * 1440 / (profile.PlotArea().width() - 1);
  EXPECT_NEAR((to - from) * minutesPerPixel, 40, 2 * minutesPerPixel);
}

TEST_F(ZhrProfileTest, LinesUpWithTheTrailMapOfTheSameEncounter) {
  TrailMap map;
  map.Resize(800, 360);
  map.Redraw(encounter, TrailMapTexts{});
  EXPECT_EQ(map.PixelOf(kPeak, 0).x(), profile.PixelOf(kPeak, 0).x());
  EXPECT_EQ(map.PixelOf(map.Span().firstJd, 0).x(), profile.PlotArea().left());
}

// The whole plot, pixel for pixel (the texts lie outside it). A deliberate change
// of the drawing prints the new digest to paste here.
TEST_F(ZhrProfileTest, ThePlotIsPinnedPixelForPixel) {
  EXPECT_EQ(DigestHex(test::ImageDigest(profile.Image().copy(profile.PlotArea()))), "72df93b0af7d657f");
}

}  // namespace
}  // namespace stelvo
