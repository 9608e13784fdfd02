#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "meteors/trail_passage.h"

namespace stelvo {
namespace {

constexpr double kPeak = 2451500.5868;              // 1999 Nov 18 02:05 TT
constexpr double kMinutesPerMilliAu = 20.0 / 1440;  // the 1899 trail's tilt in 1999

// A cloud of grains with the Earth's passage tilted across the trail (by rD - rE) and
// along it (by how long before the grain the Earth passes), centred off the Earth's
// orbit, as the forecast's trails come out; each case states what must be read.
struct Cloud {
  const char* what;
  int grains;
  double centreAu;        // the cloud's mean rD - rE
  double tiltPerAu;       // days of the Earth's passage per AU of rD - rE
  double alongPerDay;     // days of the Earth's passage per day of lead over the grain
  double missPerDay;      // AU of rD - rE per day of lead
  double peakJd, missAu;  // expected
};

class TrailPassageCloud : public testing::TestWithParam<Cloud> {};

TEST_P(TrailPassageCloud, IsReadWhereTheEarthMeetsTheTrail) {
  const Cloud& c = GetParam();
  std::vector<PassageNode> near;
  for (int k = 0; k < c.grains; ++k) {
    // Spread over +-0.001 AU about the centre and -30..+30 days of lead, not in step.
    const double phase = 2 * 3.141592653589793 * k / c.grains;
    const double dr = c.centreAu + 0.001 * std::sin(7 * phase);
    const double lead = 30 * std::cos(3 * phase + 0.4);
    const double miss = dr + c.missPerDay * lead;
    const double earth = kPeak + c.tiltPerAu * miss + c.alongPerDay * lead;
    near.push_back({earth, earth - lead, miss});
  }
  const TrailPassage p = FitTrailPassage(near, near);
  EXPECT_NEAR((p.peakJd - c.peakJd) * 1440, 0, 0.01) << c.what;
  EXPECT_NEAR(p.missAu, c.missAu, 1e-9) << c.what;
  EXPECT_GE(p.peakSigmaMin, 0);
}

INSTANTIATE_TEST_SUITE_P(Forecast, TrailPassageCloud,
                         testing::Values(
                             // Tilted and 0.0008 AU off: the mean comes 16 minutes early.
                             Cloud{"tilted across", 200, 0.0008, -kMinutesPerMilliAu * 1000, 0, 0,
                                   kPeak, 0.0008},
                             // Drifting along the trail and moving inwards along it as well.
                             Cloud{"drifting along", 200, 0.0005, -kMinutesPerMilliAu * 1000,
                                   -2.0 / 1440, 1e-5, kPeak, 0.0005},
                             // Three grains determine no slopes: their mean.
                             Cloud{"three grains", 3, 0.0, 0, 0, 0, kPeak, 0.0}));

TEST(TrailPassage, GrainsAtOneMissDistanceGiveTheMeanAndItsStandardError) {
  // An even spread of 3 hours on the Earth's orbit, all passing with the Earth.
  std::vector<PassageNode> near;
  for (int k = 0; k < 200; ++k) {
    const double t = kPeak + (k - 99.5) / 200 * 0.125;
    near.push_back({t, t, 0});
  }
  const TrailPassage p = FitTrailPassage(near, {});
  EXPECT_NEAR(p.peakJd, kPeak, 1e-9);
  EXPECT_NEAR(p.peakSigmaMin, 180 / std::sqrt(12.0 * 200), 0.1);
  EXPECT_EQ(FitTrailPassage({}, {}).peakJd, 0);
}

}  // namespace
}  // namespace stelvo
