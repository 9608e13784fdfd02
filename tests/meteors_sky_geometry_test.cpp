#include <gtest/gtest.h>

#include "initial/astronom.h"
#include "meteors/sky_geometry.h"

namespace stelvo {
namespace {

constexpr double kEclipticPoleDecDeg = 90 - kObliquityJ2000Deg;

TEST(SkyGeometry, EclipticNorthPoleTurnsToRa270AndDecNinetyMinusObliquity) {
  const Vec3 pole = EclipticToEquatorial({0, 0, 1});
  EXPECT_NEAR(pole.x, 0, 1e-15);
  EXPECT_NEAR(pole.y, -0.39777715575399053, 1e-15);  // -sin(obliquity)
  EXPECT_NEAR(pole.z, 0.917482062146321, 1e-15);   // cos(obliquity)
  // A meteoroid moving straight down onto the ecliptic comes from its north pole.
  const Radiant r = RadiantFromGeocentricVelocity({0, 0, -0.01});
  EXPECT_NEAR(r.raDeg, 270, 1e-12);
  EXPECT_NEAR(r.decDeg, kEclipticPoleDecDeg, 1e-12);
  EXPECT_NEAR(r.vgKmS, 0.01 * kAuKm / kDaySeconds, 1e-12);
}

TEST(SkyGeometry, EclipticSouthPoleTurnsToRa90) {
  const Radiant r = RadiantFromGeocentricVelocity({0, 0, 0.02});
  EXPECT_NEAR(r.raDeg, 90, 1e-12);
  EXPECT_NEAR(r.decDeg, -kEclipticPoleDecDeg, 1e-12);
}

TEST(SkyGeometry, EquinoxAndSolsticeDirectionsOfTheEcliptic) {
  // Coming from the vernal equinox: RA 0, Dec 0. From ecliptic longitude 90: the
  // summer solstice point, RA 90 and Dec = obliquity.
  Radiant r = RadiantFromGeocentricVelocity({-1, 0, 0});
  EXPECT_NEAR(r.raDeg, 0, 1e-12);
  EXPECT_NEAR(r.decDeg, 0, 1e-12);
  r = RadiantFromGeocentricVelocity({0, -1, 0});
  EXPECT_NEAR(r.raDeg, 90, 1e-12);
  EXPECT_NEAR(r.decDeg, kObliquityJ2000Deg, 1e-12);
  EXPECT_NEAR(r.vgKmS, kAuPerDayToKmS, 1e-9);
}

// A heliocentric direction of the Earth and the solar longitude it gives (exactly
// unless a tolerance is given).
struct SolarLongitudeCase {
  Vec3 earth;
  double lambdaSunDeg;
  double tolerance;
};

constexpr SolarLongitudeCase kSolarLongitudes[] = {
    {{1, 0, 0}, 180, 0},         {{0, 1, 0}, 270, 0},         {{-1, 0, 0}, 0, 0},
    {{-1, -1e-300, 0}, 0, 1e-12}, {{0.5, -0.5, 0}, 135, 1e-12},
};

class SolarLongitude : public ::testing::TestWithParam<SolarLongitudeCase> {};

TEST_P(SolarLongitude, IsHeliocentricLongitudePlus180) {
  const SolarLongitudeCase& c = GetParam();
  if (c.tolerance == 0) {
    EXPECT_DOUBLE_EQ(SolarLongitudeDeg(c.earth), c.lambdaSunDeg);
  } else {
    EXPECT_NEAR(SolarLongitudeDeg(c.earth), c.lambdaSunDeg, c.tolerance);
  }
}

INSTANTIATE_TEST_SUITE_P(SkyGeometry, SolarLongitude, ::testing::ValuesIn(kSolarLongitudes));

TEST(SkyGeometry, AnglesWrapIntoOneTurn) {
  EXPECT_EQ(WrapDegrees(360), 0);
  EXPECT_EQ(WrapDegrees(-1e-17), 0);
  EXPECT_DOUBLE_EQ(WrapDegrees(-90), 270);
  EXPECT_DOUBLE_EQ(WrapDegrees(725), 5);
  EXPECT_DOUBLE_EQ(DegreesBetween(1, 359), 2);
  EXPECT_DOUBLE_EQ(DegreesBetween(359, 1), -2);
  EXPECT_NEAR(AngularSeparationDeg(359.5, 0, 0.5, 0), 1, 1e-12);
  EXPECT_NEAR(AngularSeparationDeg(0, 89, 180, 89), 2, 1e-12);
}

struct UtcCase {
  double jd;
  const char* utc;
};

constexpr UtcCase kUtcs[] = {
    {2451545.0, "2000-01-01T12:00"},
    {2451544.5, "2000-01-01T00:00"},
    {2451545.0 + 29.9 / 86400, "2000-01-01T12:00"},
    {2451545.0 + 30.1 / 86400, "2000-01-01T12:01"},
    {2451545.0 + (11 * 3600 + 59 * 60 + 40) / 86400.0, "2000-01-02T00:00"},
    {2451603.5, "2000-02-29T00:00"},
    {2457962.4103, "2017-07-27T21:51"},
};

class Utc : public ::testing::TestWithParam<UtcCase> {};

TEST_P(Utc, IsWrittenToTheNearestMinute) {
  EXPECT_EQ(FormatUtc(GetParam().jd), GetParam().utc);
}

INSTANTIATE_TEST_SUITE_P(SkyGeometry, Utc, ::testing::ValuesIn(kUtcs));

TEST(SkyGeometry, CalendarRoundTripsThroughJulianDate) {
  for (int year : {1600, 1900, 1999, 2000, 2024, 2100, 2400}) {
    for (int month = 1; month <= 12; ++month) {
      for (int day : {1, 15, 28}) {
        const CalendarTime t = CalendarFromJulianDate(JulianDate(year, month, day, 17, 43, 0));
        EXPECT_EQ(t.year, year);
        EXPECT_EQ(t.month, month);
        EXPECT_EQ(t.day, day);
        EXPECT_EQ(t.hour, 17);
        EXPECT_EQ(t.minute, 43);
      }
    }
  }
}

TEST(SkyGeometry, SolarLongitudeZeroFallsOnTheMarchEquinox) {
  // March equinox 2000: March 20, 07:35 UT (U.S. Naval Observatory).
  EXPECT_NEAR(JulianDateOfSolarLongitude(0, 2000), JulianDate(2000, 3, 20, 7, 35, 0), 0.02);
  // June solstice 2021: June 21, 03:32 UT; the J2000 longitude lags the
  // longitude of date by the precession of 21.5 years, 0.30 degrees or 7.3 hours.
  EXPECT_NEAR(JulianDateOfSolarLongitude(90, 2021), JulianDate(2021, 6, 21, 3, 32, 0) + 0.305,
              0.03);
}

TEST(SkyGeometry, PerseidMaximumDate) {
  std::array<char, 6> date{};
  MonthDayOfSolarLongitude(140.0, 2000, date);
  EXPECT_STREQ(date.data(), "08-12");
  MonthDayOfSolarLongitude(359.99, 2001, date);
  EXPECT_STREQ(date.data(), "03-20");
}

}  // namespace
}  // namespace stelvo
