#include "run/epoch_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "core/run_error.h"
#include "initial/astronom.h"
#include "initial/constants.h"
#include "run/simulation_run.h"

namespace stelvo {
namespace {

constexpr int kEmb = 3;
constexpr double kDaysIn300Years = 300 * 365.25;

double Distance(const StateVector& a, const StateVector& b) {
  return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}

TEST(EpochState, ThreeHundredYearsBackAndForthReturnsTheEarthToTheTable) {
  const MassiveStates table = EphemerisTable();
  const double past = kEpochJD - kDaysIn300Years;
  const MassiveStates then = MassiveBodiesAt(past);
  const MassiveStates again = IntegrateMassive(then, past, kEpochJD);
  EXPECT_LT(Distance(again[kEmb], table[kEmb]), 1e-8);
  // The way back really went somewhere else.
  EXPECT_GT(Distance(then[kEmb], table[kEmb]), 0.1);
}

TEST(EpochState, ForwardToTheFutureAndBackReturnsTheEarthToo) {
  const MassiveStates table = EphemerisTable();
  const double future = kEpochJD + 200 * 365.25;
  const MassiveStates then = MassiveBodiesAt(future);
  EXPECT_LT(Distance(IntegrateMassive(then, future, kEpochJD)[kEmb], table[kEmb]), 1e-8);
}

TEST(EpochState, OneYearAheadMatchesTheRegularRunAtOneDay) {
  // The plain run with a 1-day step: 365 days after the epoch (integrator_test).
  const MassiveStates year = IntegrateMassive(MassiveTable(), kEpochJD, kEpochJD + 365);
  EXPECT_NEAR(year[kEmb].x, -0.1722540, 1e-7);
  EXPECT_NEAR(year[kEmb].y, 0.9685869, 1e-7);
  EXPECT_NEAR(year[kEmb].vx, -0.01721444, 1e-8);
}

TEST(EpochState, TheStepPlanLandsExactlyOnTheTarget) {
  const StepPlan plan = PlanSteps(kEpochJD, kEpochJD - 1000.5, 1);
  EXPECT_EQ(plan.steps, 1001);
  EXPECT_NEAR(plan.steps * plan.stepDays, -1000.5, 1e-9);
  EXPECT_EQ(PlanSteps(kEpochJD, kEpochJD + 1, 1).steps, 4);
}

TEST(EpochState, EpochsOutsideMinus3000To2999AreRefused) {
  EXPECT_EQ(kEarliestEpochJD, JulianDateOfYear(kEarliestYear));
  EXPECT_EQ(kLatestEpochJD, JulianDateOfYear(kLatestYear + 1));
  EXPECT_THROW(MassiveBodiesAt(kEarliestEpochJD - 1), RunError);
  EXPECT_THROW(MassiveBodiesAt(kLatestEpochJD), RunError);
  EXPECT_THROW(MassiveBodiesAt(std::nan("")), RunError);
}

TEST(EpochState, TheEpochItselfIsTheTableWithTheEphemerisBarycentre) {
  const MassiveStates table = MassiveTable();
  const MassiveStates ephemeris = EphemerisTable();
  EXPECT_EQ(Distance(MassiveBodiesAt(kEpochJD)[kEmb], ephemeris[kEmb]), 0);
  for (int i = 0; i < kMassiveCount; ++i) {
    if (i != kEmb) {
      EXPECT_EQ(Distance(ephemeris[i], table[i]), 0) << i;
    }
  }
  // The barycentre moves 2.9e-7 AU (43 km); its velocity 7.7e-8 AU/day (0.13 m/s).
  EXPECT_NEAR(Distance(ephemeris[kEmb], table[kEmb]), 2.9e-7, 0.1e-7);
}

TEST(EpochState, EachCheckpointIsCarriedFromTheOneBefore) {
  const MassiveStates one = IntegrateMassive(EphemerisTable(), kEpochJD, kEpochJD - kCheckpointDays);
  const MassiveStates two = IntegrateMassive(one, kEpochJD - kCheckpointDays,
                                             kEpochJD - 2 * kCheckpointDays);
  const MassiveStates cached = MassiveCheckpoint(-2);
  for (int i = 0; i < kMassiveCount; ++i) {
    EXPECT_EQ(cached[i].x, two[i].x);
    EXPECT_EQ(cached[i].vz, two[i].vz);
  }
  // An epoch is reached from its nearest checkpoint, the same bits from any thread.
  const double jd = kEpochJD - 2.4 * kCheckpointDays;
  MassiveStates fromThread;
  std::thread other([&] { fromThread = MassiveBodiesAt(jd); });
  const MassiveStates here = MassiveBodiesAt(jd);
  other.join();
  const MassiveStates direct = IntegrateMassive(cached, kEpochJD - 2 * kCheckpointDays, jd);
  for (int i = 0; i < kMassiveCount; ++i) {
    EXPECT_EQ(here[i].y, direct[i].y);
    EXPECT_EQ(fromThread[i].y, direct[i].y);
  }
}

TEST(EpochState, ARunStartsAtAnotherEpochWithTheBodiesIntegratedThere) {
  RunSettings settings;
  settings.BodyCount = 50;
  settings.EpochJD = kEpochJD - 36525;
  SimulationRun run;
  run.Begin(settings);
  const MassiveStates bodies = MassiveBodiesAt(settings.EpochJD);
  const RunState& s = run.State();
  EXPECT_EQ(s.EpochJD, settings.EpochJD);
  EXPECT_EQ(s.Pos(kX, 0)[kEmb], bodies[kEmb].x);
  EXPECT_EQ(s.Vel(kZ, 0)[kEmb], bodies[kEmb].vz);
  // Particles are placed around the Sun where it is then, not around the origin.
  for (int row = kMassiveCount; row < s.BodyCount; ++row) {
    const double r =
        std::hypot(s.Pos(kX, 0)[row] - s.Pos(kX, 0)[0], s.Pos(kY, 0)[row] - s.Pos(kY, 0)[0],
                   s.Pos(kZ, 0)[row] - s.Pos(kZ, 0)[0]);
    EXPECT_GT(r, 0.5) << row;
  }
  settings.EpochJD = kEarliestEpochJD - 1;
  EXPECT_THROW(run.Begin(settings), RunError);
}

// The heliocentric Earth-Moon barycentre and Jupiter against VSOP87A (Bretagnon and
// Francou 1988, A&A 202, 309; ecliptic and equinox J2000, TDB): at 1099 December 19.5
// the check value printed in the theory's distribution (vsop87.chk), at 1000 and -1000
// January 1.5 the series summed in full from the files VSOP87A.emb and VSOP87A.jup.
// The tolerances are the distances measured, rounded up: the table carried back by
// point-mass gravity alone (no relativity, no Moon, no asteroids) drifts along the
// orbits, Jupiter by the error of its table mean motion.
struct EphemerisCase {
  double jd;
  int body;
  double x, y, z;
  double toleranceAu;
};
constexpr int kJupiter = 5;
constexpr EphemerisCase kVsop87[] = {
    {2122820.0, kEmb, -0.2762837551, 0.9433889919, 0.0019144183, 1.0e-4},
    {2122820.0, kJupiter, 0.4207861894, 5.1019591310, -0.0280087663, 0.8e-4},
    {2086308.0, kEmb, -0.4953933726, 0.8500796548, 0.0018933637, 1.1e-4},
    {2086308.0, kJupiter, 1.0125517609, -5.0964037392, -0.0051997211, 0.7e-4},
    {1355808.0, kEmb, -0.6774474053, 0.7166700437, 0.0051635556, 3.3e-4},
    {1355808.0, kJupiter, 1.4918227836, 4.8734314757, -0.0485418092, 0.8e-4},
};

class EphemerisTest : public testing::TestWithParam<EphemerisCase> {};

TEST_P(EphemerisTest, HeliocentricPositionIsNearVsop87) {
  const EphemerisCase& c = GetParam();
  const MassiveStates s = MassiveBodiesAt(c.jd);
  const StateVector helio{s[c.body].x - s[0].x, s[c.body].y - s[0].y, s[c.body].z - s[0].z,
                          0, 0, 0};
  const double miss = Distance(helio, {c.x, c.y, c.z, 0, 0, 0});
  EXPECT_LT(miss, c.toleranceAu);
}

INSTANTIATE_TEST_SUITE_P(Vsop87, EphemerisTest, testing::ValuesIn(kVsop87));

}  // namespace
}  // namespace stelvo
