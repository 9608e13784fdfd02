#include "initial/orbit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "initial/astronom.h"
#include "initial/constants.h"

namespace stelvo {
namespace {

TEST(JulianDateTest, KnownDatesAndTheCalendarSwitch) {
  EXPECT_EQ(JulianDate(2000, 1, 1, 12, 0, 0), 2451545.0);
  EXPECT_EQ(JulianDate(1582, 10, 15, 0, 0, 0), 2299160.5);
  EXPECT_EQ(JulianDate(1582, 10, 4, 0, 0, 0), 2299159.5);
  // Up to October 10 the Julian calendar, from October 11 the Gregorian one.
  EXPECT_EQ(JulianDate(1582, 10, 10, 0, 0, 0), 2299165.5);
  EXPECT_EQ(JulianDate(1582, 10, 11, 0, 0, 0), 2299156.5);
}

TEST(JulianDateTest, EarlyYearsMoveByWholeBlocksWithoutAJump) {
  EXPECT_EQ(JulianDate(-4712, 1, 1, 12, 0, 0), 0.0);
  EXPECT_EQ(JulianDate(332, 3, 1, 0, 0, 0), 1842380.5);
  EXPECT_EQ(JulianDate(333, 3, 1, 0, 0, 0), 1842745.5);
}

TEST(JulianDateTest, TheWholeDayCanTravelAsHoursOfDayZero) {
  EXPECT_NEAR(JulianDate(2017, 7, 0, 27.9103 * 24, 0, 0), 2457962.4103, 1e-6);
  EXPECT_EQ(JulianDate(2000, 1, 0, 36, 0, 0), 2451545.0);
  EXPECT_EQ(JulianDate(2000, 1, 1, 0, 720, 0), 2451545.0);
  EXPECT_EQ(JulianDate(2000, 1, 1, 0, 0, 43200), 2451545.0);
}

TEST(SolveKeplerTest, NewtonFromTheMeanAnomaly) {
  EXPECT_EQ(SolveKepler(0, 0.7), 0.0);
  EXPECT_EQ(SolveKepler(1.25, 0), 1.25);
  EXPECT_NEAR(SolveKepler(1.0, 0.5), 1.49870113351785, 5e-15);
  const double e = SolveKepler(30.0, 0.95);
  EXPECT_NEAR(e - 0.95 * std::sin(e), 30.0, 1e-12);
}

TEST(SolveKeplerTest, RefusesWhatWouldNeverConverge) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_THROW(SolveKepler(1.0, 1.0), OrbitError);
  EXPECT_THROW(SolveKepler(1.0, 1.5), OrbitError);
  EXPECT_THROW(SolveKepler(1.0, -0.1), OrbitError);
  EXPECT_THROW(SolveKepler(1.0, std::nan("")), OrbitError);
  EXPECT_THROW(SolveKepler(std::nan(""), 0.5), OrbitError);
  EXPECT_THROW(SolveKepler(inf, 0.5), OrbitError);
  EXPECT_THROW(SolveKepler(1e300, 0.5), OrbitError);  // steps can no longer shrink
}

TEST(ElementsToStateTest, AtPerihelionDistanceQAndPerpendicularSpeed) {
  const double a = 3.125, ecc = 0.5, q = a * (1 - ecc);
  const StateVector s = ElementsToState(a, ecc, 0.3, 1.1, 0.7, 0.0);
  const double r = std::hypot(s.x, s.y, s.z);
  EXPECT_NEAR(r, q, 1e-14);
  EXPECT_NEAR(std::hypot(s.vx, s.vy, s.vz), kGaussK * std::sqrt((1 + ecc) / q), 1e-15);
  EXPECT_NEAR(s.x * s.vx + s.y * s.vy + s.z * s.vz, 0.0, 1e-15);
}

TEST(ElementsToStateTest, InTheEclipticThePerihelionPointsAlongOmega) {
  const double omega = 0.8;
  const StateVector s = ElementsToState(2.0, 0.3, 0.0, 0.0, omega, 0.0);
  EXPECT_EQ(s.z, 0.0);
  EXPECT_EQ(s.vz, 0.0);
  EXPECT_NEAR(std::atan2(s.y, s.x), omega, 1e-14);
}

TEST(ElementsToStateTest, WholeRevolutionsOfTheMeanAnomalyNeedNoReduction) {
  const StateVector once = ElementsToState(3.0, 0.6, 0.2, 0.4, 1.3, 0.9);
  const StateVector thrice = ElementsToState(3.0, 0.6, 0.2, 0.4, 1.3, 0.9 - 3 * kTwoPi);
  EXPECT_NEAR(once.x, thrice.x, 1e-12);
  EXPECT_NEAR(once.y, thrice.y, 1e-12);
  EXPECT_NEAR(once.z, thrice.z, 1e-12);
  EXPECT_NEAR(once.vx, thrice.vx, 1e-14);
  EXPECT_NEAR(once.vy, thrice.vy, 1e-14);
  EXPECT_NEAR(once.vz, thrice.vz, 1e-14);
}

TEST(ElementsToStateTest, KeepsTheTwoBodyEnergy) {
  const double a = 5.2;
  for (double m : {0.1, 2.0, 4.0, -1.5}) {
    const StateVector s = ElementsToState(a, 0.2, 0.5, 2.0, 4.0, m);
    const double r = std::hypot(s.x, s.y, s.z);
    const double v2 = s.vx * s.vx + s.vy * s.vy + s.vz * s.vz;
    EXPECT_NEAR(v2 / 2 - kGaussK * kGaussK / r, -kGaussK * kGaussK / (2 * a), 1e-16) << m;
  }
}

}  // namespace
}  // namespace stelvo
