// The visibility world map: day, twilight and dark sky, the radiant's altitude,
// coastlines.
#include <gtest/gtest.h>

#include <cmath>

#include "view/world_map.h"
#include "view_test_support.h"

namespace stelvo {
namespace {

using test::At;

// The Leonid storm of 1999 November 18, 02:08 UTC: the radiant at RA 153.6, Dec
// +21.7; the Sun at RA 232.94, Dec -19.08 (Astronomical Almanac, low precision);
// Greenwich mean sidereal time 88.69 degrees (IAU 1982).
constexpr SkyAtInstant kLeonids1999{153.6, 21.7, 232.94, -19.08, 88.69};

TEST(SkyAt, GivesTheSunTheRadiantOfDateAndTheSiderealTime) {
  const SkyAtInstant sky = SkyAt(2451500.5 + (2 + 8 / 60.0) / 24, 153.6, 21.7);
  EXPECT_NEAR(sky.sunRaDeg, kLeonids1999.sunRaDeg, 0.02);
  EXPECT_NEAR(sky.sunDecDeg, kLeonids1999.sunDecDeg, 0.02);
  EXPECT_NEAR(sky.gmstDeg, kLeonids1999.gmstDeg, 0.01);
  // A century of precession is 1.4 degrees; a year's is a few hundredths.
  EXPECT_NEAR(sky.radiantRaDeg, 153.6, 0.02);
  EXPECT_NEAR(sky.radiantDecDeg, 21.7, 0.01);
  EXPECT_GT(std::abs(sky.radiantRaDeg - 153.6), 1e-4);
}

TEST(ClassifySite, TheLeonidStormOf1999WasSeenFromEuropeAndTheMiddleEast) {
  const struct {
    const char* place;
    double lat, lon;
    SiteSky sky;
  } cases[] = {
      {"subsolar point", -19.08, 144.25, SiteSky::Day},
      {"Arabian Sea, sunrise near", 21.7, 60, SiteSky::Twilight},
      {"Sinai", 30, 33, SiteSky::DarkRadiantUp},
      {"Spain", 40, -4, SiteSky::DarkRadiantUp},
      {"New York, evening", 40.7, -74, SiteSky::DarkRadiantDown},
      {"antisolar point", 19.08, -35.75, SiteSky::DarkRadiantDown},
  };
  for (const auto& c : cases) EXPECT_EQ(ClassifySite(c.lat, c.lon, kLeonids1999), c.sky) << c.place;
}

class WorldMapTest : public ::testing::Test {
 protected:
  WorldMapTest() {
    map.Resize(760, 460);
    map.Redraw(kLeonids1999, 2451500.5 + (2 + 8 / 60.0) / 24, WorldMapTexts{});
  }
  WorldMap map;
};

TEST_F(WorldMapTest, EachPlaceIsShadedAsItsSkyIs) {
  const QRect plot = map.PlotArea();
  EXPECT_EQ(plot.width(), 2 * plot.height());
  // Away from coasts and marks: the Indian Ocean south of India by day, the mid
  // Atlantic at night with the radiant down, the eastern Mediterranean's sea dark
  // with the radiant high.
  auto shade = [&](double lat, double lon) {
    const QPoint p = map.PixelOf(lon, lat);
    return At(map.Image(), p.x(), p.y());
  };
  EXPECT_EQ(shade(-25, 95), SiteShade(SiteSky::Day, 0) | 0xff000000u);
  EXPECT_EQ(shade(10, -35), SiteShade(SiteSky::DarkRadiantDown, 0) | 0xff000000u);
  const QRgb mediterranean = shade(34, 20);
  EXPECT_GT(qGreen(mediterranean), qGreen(SiteShade(SiteSky::DarkRadiantUp, 20)));
  EXPECT_LT(qGreen(mediterranean), qGreen(SiteShade(SiteSky::DarkRadiantUp, 60)));
}

TEST_F(WorldMapTest, CoastlinesAreDrawn) {
  // The British Isles' and Italy's coasts cross the map's dark part in white.
  EXPECT_GT(test::CountOf(map.Image().copy(map.PlotArea()), 0xffffffffu), 1000);
}

// The whole map, pixel for pixel (the texts lie outside it). A deliberate change
// of the drawing prints the new digest to paste here.
TEST_F(WorldMapTest, TheMapIsPinnedPixelForPixel) {
  EXPECT_EQ(DigestHex(test::ImageDigest(map.Image().copy(map.PlotArea()))), "11c7ed6ccf42baa8");
}

}  // namespace
}  // namespace stelvo
