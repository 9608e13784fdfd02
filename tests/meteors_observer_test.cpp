#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "core/state_digest.h"
#include "initial/astronom.h"
#include "meteors/ical.h"
#include "meteors/site_sky.h"
#include "meteors/sun_moon.h"
#include "meteors/zhr_model.h"

namespace stelvo {
namespace {

// Published relations at one point each, worked by hand from the cited formulas.
struct Relation {
  const char* what;
  double value, expected, tolerance;
};
class PublishedRelations : public testing::TestWithParam<Relation> {};
TEST_P(PublishedRelations, GiveTheHandComputedValue) {
  const Relation& r = GetParam();
  EXPECT_NEAR(r.value, r.expected, r.tolerance) << r.what;
}
INSTANTIATE_TEST_SUITE_P(
    ZhrModel, PublishedRelations,
    testing::Values(
        // Koschack and Rendtel: r = 2.2 gives (13.1*2.2-16.5)*0.9^0.748 = 11.38634 per 37200 km^2.
        Relation{"flux 1/km^2/h at r 2.2", ZhrFromFlux(1, 2.2), 37200 / 11.38634, 0.01},
        // Verniani: log m(g) = (55.34 - 8.75 log10(7.06e6) - 6.5) / 2.25 = -4.92757.
        Relation{"+6.5 mass at 70.6 km/s", std::log10(MassOfLimitingMeteorKg(70.6) * 1000), -4.92757,
                 1e-3},
        Relation{"mass index of r 2.5", MassIndexFromPopulationIndex(2.5), 1.99485, 1e-4},
        // s = 2: every grain carries mass M / modelGrains / ln(range) per unit log mass.
        Relation{"grains carry the dust mass at s 2",
                 MeteoroidsPerGrain(1e-6, 1e10, 2, 1e-8, 1e-4, 1000) * 1e-6, 1e10 / 1000, 1e-3},
        // A comet of H 9, n 4 at 1 AU: 10^(30.675 - 2.2077) water molecules/s.
        Relation{"dust per second on a circular orbit at 1 AU, kg",
                 DustMassPerReturnKg({9, 0}, 1.0, 1e-9, 3.0) / (365.25636 * 86400), 877.3, 1.0}));

EncounterGeometry Leonid() { return {30, 0.0172, 0.175, 70.6, 2.5}; }

TEST(ZhrModel, TheProfileIsTheGrainsSpreadAndTheZhrGrowsWithTheirWeight) {
  // Grains evenly spread over 3 hours of passages, all on the Earth's orbit.
  std::vector<EncounterNode> nodes;
  const double peak = JulianDate(1999, 11, 18, 2, 0, 0);
  for (int k = 0; k < 200; ++k) nodes.push_back({peak + (k - 99.5) / 200 * 0.125, 0, 1e10});
  const ZhrEstimate one = EstimateEncounter(nodes, Leonid());
  for (EncounterNode& n : nodes) n.weight *= 2;
  const ZhrEstimate two = EstimateEncounter(nodes, Leonid());
  EXPECT_NEAR(two.zhr / one.zhr, 2, 1e-9);
  // A flat top of 3 hours, widened by the kernel: the FWHM a little above 180 minutes.
  EXPECT_GT(one.fwhmMin, 170);
  EXPECT_LT(one.fwhmMin, 200);
  EXPECT_GT(one.zhrSigma, 0);
  EXPECT_LT(one.zhrSigma, one.zhr * 0.2);
  ASSERT_GE(one.profile.size(), 3u);
  // Moved 0.002 AU outside the Earth's orbit the trail gives almost nothing.
  for (EncounterNode& n : nodes) n.missAu = 0.002;
  EXPECT_LT(EstimateEncounter(nodes, Leonid()).zhr, two.zhr * 1e-6);
  EXPECT_EQ(EstimateEncounter({}, Leonid()).zhr, 0);
}

// Calar Alto Observatory (37.2236 N, 2.5463 W) at the Leonid maximum of 1999 November
// 18, 02:02 UT, radiant RA 153.6, Dec +21.7 (J2000). Hand computation with PyEphem 4.1.4
// (an independent implementation, no refraction): radiant altitude 29.294 deg, Sun
// -56.933 deg, Moon -11.537 deg (topocentric), Moon 0.673 illuminated.
TEST(SiteSky, TheLeonidMaximumOf1999FromCalarAltoMatchesTheHandComputation) {
  const Site calarAlto{37.2236, -2.5463};
  const double jd = JulianDate(1999, 11, 18, 2, 2, 64.184);  // 02:02 UTC in the run's TT
  const SiteView v = ViewFromSite(calarAlto, jd, 153.6, 21.7, 3700, 2.5);
  EXPECT_NEAR(v.radiantAltDeg, 29.294, 0.5);
  EXPECT_NEAR(v.moonIllum, 0.673, 0.02);
  EXPECT_NEAR(v.sunAltDeg, -56.933, 0.5);
  EXPECT_NEAR(v.moonAltDeg, -11.537, 0.5);
  EXPECT_NEAR(v.hourlyRate, 3700 * std::sin(v.radiantAltDeg / 57.29577951308232), 1e-9);
  // Daylight and a set radiant give no meteors.
  EXPECT_EQ(HourlyRate(3700, 30, -3, 2.5), 0);
  EXPECT_EQ(HourlyRate(3700, -1, -30, 2.5), 0);
  // A fainter sky loses a factor r per magnitude.
  EXPECT_NEAR(HourlyRate(100, 90, -30, 2.5, 5.5), 40, 1e-9);
}

TEST(SiteSky, SiderealTimeAndTheMoonAtMeeusWorkedExamples) {
  // Meeus example 12.a: 1987 April 10, 0h UT, mean sidereal time 13h10m46.3668s.
  EXPECT_NEAR(GreenwichSiderealDeg(2446895.5), (13 + 10 / 60.0 + 46.3668 / 3600) * 15, 1e-5);
  // Meeus example 47.a: 1992 April 12, 0h TD: RA 134.688470, Dec 13.768368, 368409.7 km.
  const SkyPlace moon = MoonPlace(2448724.5);
  EXPECT_NEAR(moon.raDeg, 134.688470, 0.1);
  EXPECT_NEAR(moon.decDeg, 13.768368, 0.1);
  EXPECT_NEAR(moon.distanceKm, 368409.7, 200);
  // Meeus example 48.a: the same instant, k = 0.6786.
  EXPECT_NEAR(MoonIlluminatedFraction(2448724.5), 0.6786, 0.005);
  // Meeus example 25.a: 1992 October 13, 0h TD: Sun RA 198.38083, Dec -7.78507.
  const SkyPlace sun = SunPlace(2448908.5);
  EXPECT_NEAR(sun.raDeg, 198.38083, 0.01);
  EXPECT_NEAR(sun.decDeg, -7.78507, 0.01);
}

// The Moon in the run's frame (ecliptic and equinox J2000), which puts the Earth beside
// the Earth-Moon barycentre in the trail forecast. Hand computation with PyEphem 4.1.4
// (an independent lunar theory, used only to make these numbers) at the instants in TT.
TEST(SiteSky, TheMoonInTheJ2000EclipticMatchesTheHandComputation) {
  struct Case {
    double jdTT, lonDeg, latDeg, km;
  };
  const Case cases[] = {{2451500.5855, 345.4633, -3.1760, 382738.4},   // 1999 Nov 18 02:03
                        {2415020.5, 273.8084, 1.0954, 368389.7},       // 1900 Jan 0.0
                        {2110000.5, 270.7369, 3.6034, 368848.0}};      // 1065 May
  for (const Case& c : cases) {
    const Vec3 m = MoonGeocentricJ2000Au(c.jdTT);
    const double r = std::sqrt(m.x * m.x + m.y * m.y + m.z * m.z);
    const double lon = std::fmod(std::atan2(m.y, m.x) * kRadToDeg + 360, 360);
    EXPECT_NEAR(lon, c.lonDeg, 0.05) << c.jdTT;
    EXPECT_NEAR(std::asin(m.z / r) * kRadToDeg, c.latDeg, 0.05) << c.jdTT;
    EXPECT_NEAR(r * kAuKm, c.km, 100) << c.jdTT;
  }
}

TEST(ICalendar, LinesEndInCrlfAreFoldedAt75OctetsAndTextIsEscaped) {
  EXPECT_EQ(EscapeIcalText("a,b;c\\d\ne"), "a\\,b\\;c\\\\d\\ne");
  const std::string line(160, 'x');
  const std::string folded = FoldIcalLine(line);
  EXPECT_EQ(folded.substr(0, 75), std::string(75, 'x'));
  EXPECT_EQ(folded.substr(75, 3), "\r\n ");
  // A two-octet character is never split over the fold.
  const std::string accented = std::string(74, 'x') + "\xc3\xa9" + "y";
  EXPECT_EQ(FoldIcalLine(accented), std::string(74, 'x') + "\r\n \xc3\xa9y");
}

// Writes a two-event forecast calendar that tests/ical_read_back.py reads with the
// icalendar package (the ctest test meteors_ical_read_back).
TEST(ICalendar, TheForecastCalendarIsPinnedAndWrittenForTheReader) {
  TrailEncounter a{};
  a.trailYear = 1899;
  a.forecastYear = 1999;
  a.peakJd = JulianDate(1999, 11, 18, 2, 8, 64.184);  // 02:08 UTC in the run's TT
  a.lambdaSun = 235.289;
  a.zhr = 3712;
  a.zhrSigma = 900;
  a.fwhmMin = 166;
  a.peakSigmaMin = 7.6;
  a.raDeg = 153.6;
  a.decDeg = 21.7;
  a.vgKmS = 70.6;
  TrailEncounter b = a;
  b.trailYear = 1932;
  b.peakJd = JulianDate(1999, 11, 18, 1, 44, 64.184);
  b.zhr = 120;
  const std::string ics = ICalendar(EncounterEvents({a, b}, "55P/Tempel-Tuttle", "Leonids"),
                                    JulianDate(2026, 12, 9, 7, 0, 0));
  EXPECT_NE(ics.find("SUMMARY:Leonids outburst\\, 1899 trail\\, ZHR 3712\r\n"), std::string::npos);
  EXPECT_NE(ics.find("DTSTART:19991118T020800Z\r\nDTEND:19991118T045400Z\r\n"), std::string::npos);
  for (std::size_t at = 0; (at = ics.find('\n', at)) != std::string::npos; ++at) {
    ASSERT_GT(at, 0u);
    EXPECT_EQ(ics[at - 1], '\r');
  }
  EXPECT_EQ(DigestHex(DigestBytes(kDigestStart, ics.data(), ics.size())), "60805bb0489c9a0c");
  std::ofstream(STELVO_ICAL_SAMPLE, std::ios::binary) << ics;
}

}  // namespace
}  // namespace stelvo
