#include "run/epoch_state.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/run_error.h"
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
  const MassiveStates table = MassiveTable();
  const double past = kEpochJD - kDaysIn300Years;
  const MassiveStates then = MassiveBodiesAt(past);
  const MassiveStates again = IntegrateMassive(then, past, kEpochJD);
  EXPECT_LT(Distance(again[kEmb], table[kEmb]), 1e-8);
  // The way back really went somewhere else.
  EXPECT_GT(Distance(then[kEmb], table[kEmb]), 0.1);
}

TEST(EpochState, ForwardToTheFutureAndBackReturnsTheEarthToo) {
  const MassiveStates table = MassiveTable();
  const double future = kEpochJD + 200 * 365.25;
  const MassiveStates then = MassiveBodiesAt(future);
  EXPECT_LT(Distance(IntegrateMassive(then, future, kEpochJD)[kEmb], table[kEmb]), 1e-8);
}

TEST(EpochState, OneYearAheadMatchesTheRegularRunAtOneDay) {
  // The plain run with a 1-day step: 365 days after the epoch (integrator_test).
  const MassiveStates year = MassiveBodiesAt(kEpochJD + 365);
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

TEST(EpochState, EpochsOutsideSixteenHundredToTwentyTwoHundredAreRefused) {
  EXPECT_THROW(MassiveBodiesAt(kEarliestEpochJD - 1), RunError);
  EXPECT_THROW(MassiveBodiesAt(kLatestEpochJD), RunError);
  EXPECT_THROW(MassiveBodiesAt(std::nan("")), RunError);
}

TEST(EpochState, TheEpochItselfIsTheTable) {
  const MassiveStates table = MassiveTable();
  EXPECT_EQ(Distance(MassiveBodiesAt(kEpochJD)[kEmb], table[kEmb]), 0);
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

}  // namespace
}  // namespace stelvo
