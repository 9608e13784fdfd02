#include "core/integrator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/run_error.h"
#include "core/startup.h"
#include "initial/random_unit.h"
#include "run/simulation_run.h"
#include "ten_body_fixture.h"

namespace stelvo {
namespace {

using testing::ArithmeticErrorText;
using testing::BuiltCoefficients;
using testing::CopyHistory;
using testing::TenBodiesAtEpoch;

// Agreement to the significant digits that a reference figure gives. The figures
// were rounded from one more digit (-0.0030837355 became -0.003083736), so a value
// may lie up to 0.55 units of the last digit away.
void ExpectDigits(double value, double reference, int digits) {
  const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(reference))) - digits + 1);
  EXPECT_LE(std::fabs(value - reference), 0.55 * unit) << value << " vs " << reference;
}

// The Earth-Moon barycentre and the Sun one year after the epoch agree with the
// reference figures to the same digits at every step width.
struct YearLater {
  double stepDays;
  int steps;  // steps to the same instant, 365 days on; the start-up takes the rest
  const char* name;
};

class IntegratorYearTest : public ::testing::TestWithParam<YearLater> {};

TEST_P(IntegratorYearTest, EarthMoonBarycentreAndSunOneYearLater) {
  SimulationRun run;
  RunSettings settings;
  settings.BodyCount = kMassiveCount;
  settings.StepDays = GetParam().stepDays;
  run.Begin(settings);
  for (int k = 0; k < GetParam().steps; ++k) {
    run.Step();
    run.FinishPass();
  }
  const RunState& s = run.State();
  EXPECT_EQ(s.SimDays, 365);
  const int sun = 0, emb = 3;
  ExpectDigits(s.Pos(kX, 4)[emb], -0.1722540, 7);
  ExpectDigits(s.Pos(kY, 4)[emb], 0.9685869, 7);
  ExpectDigits(s.Pos(kZ, 4)[emb], -1.89249e-5, 6);
  ExpectDigits(s.Vel(kX, 4)[emb], -0.01721444, 7);
  ExpectDigits(s.Vel(kY, 4)[emb], -0.003083736, 7);
  ExpectDigits(s.Vel(kZ, 4)[emb], -7.37e-8, 3);
  ExpectDigits(s.Pos(kX, 4)[sun], 5.350757e-4, 7);
  ExpectDigits(s.Pos(kY, 4)[sun], 5.780250e-4, 7);
  ExpectDigits(s.Pos(kZ, 4)[sun], -1.65756e-5, 6);
}

INSTANTIATE_TEST_SUITE_P(, IntegratorYearTest,
                         ::testing::Values(YearLater{1, 361, "OneDay"},
                                           YearLater{0.5, 726, "HalfDay"},
                                           YearLater{0.25, 1456, "QuarterDay"}),
                         [](const auto& info) { return std::string(info.param.name); });

std::unique_ptr<RunState> StartedTenBodies() {
  auto s = TenBodiesAtEpoch(5);
  StartUpIteration(*s, BuiltCoefficients());
  return s;
}

TEST(IntegratorTest, FirstStepReadsOnlyTheRegularHistory) {
  const IntegratorCoeffs c = BuiltCoefficients();
  auto plain = StartedTenBodies();
  auto disturbed = StartedTenBodies();
  for (int slot = -4; slot <= 2; ++slot) {
    for (int axis = 0; axis < 3; ++axis) {
      for (int i = 0; i < kMassiveCount; ++i) {
        disturbed->Pos(axis, slot)[i] += 1.0;
        disturbed->Vel(axis, slot)[i] += 1.0;
      }
    }
  }
  for (int slot : {-8, -7, -6, -5, -4, 6, 7, 8}) disturbed->Acc(kX, slot)[3] += 1.0;
  IntegrationStep(*plain, c);
  IntegrationStep(*disturbed, c);
  EXPECT_EQ(plain->CurrentSlot, 5);
  for (int axis = 0; axis < 3; ++axis) {
    for (int i = 0; i < kMassiveCount; ++i) {
      EXPECT_EQ(plain->Pos(axis, 5)[i], disturbed->Pos(axis, 5)[i]);
      EXPECT_EQ(plain->Vel(axis, 5)[i], disturbed->Vel(axis, 5)[i]);
      EXPECT_EQ(plain->Acc(axis, 5)[i], disturbed->Acc(axis, 5)[i]);
    }
  }
}

TEST(IntegratorTest, ShiftMovesEverySlotOneStepOn) {
  const IntegratorCoeffs c = BuiltCoefficients();
  auto s = StartedTenBodies();
  IntegrationStep(*s, c);
  std::vector<double> pos4, pos5, vel5, acc[10];  // acc[slot + 4], slots -3..5
  for (int i = 0; i < kMassiveCount; ++i) {
    pos4.push_back(s->Pos(kY, 4)[i]);
    pos5.push_back(s->Pos(kY, 5)[i]);
    vel5.push_back(s->Vel(kY, 5)[i]);
    for (int slot = -3; slot <= 5; ++slot) acc[slot + 4].push_back(s->Acc(kY, slot)[i]);
  }
  ShiftHistory(*s);
  for (int i = 0; i < kMassiveCount; ++i) {
    EXPECT_EQ(s->Pos(kY, 3)[i], pos4[i]);
    EXPECT_EQ(s->Pos(kY, 4)[i], pos5[i]);
    EXPECT_EQ(s->Vel(kY, 4)[i], vel5[i]);
    for (int slot = -4; slot <= 4; ++slot) EXPECT_EQ(s->Acc(kY, slot)[i], acc[slot + 5][i]);
  }
}

TEST(IntegratorTest, BodiesMeetingEndTheRunAndKeepTheLastAcceptedState) {
  const IntegratorCoeffs c = BuiltCoefficients();
  auto s = StartedTenBodies();
  CopyHistory(*s, 1, 2);  // Mercury takes Venus's: the two predicted positions coincide
  std::vector<double> accepted;
  for (int axis = 0; axis < 3; ++axis) {
    for (int i = 0; i < kMassiveCount; ++i) {
      accepted.push_back(s->Pos(axis, 4)[i]);
      accepted.push_back(s->Vel(axis, 4)[i]);
      accepted.push_back(s->Pos(axis, 3)[i]);
      accepted.push_back(s->Acc(axis, 4)[i]);
    }
  }
  EXPECT_EQ(ArithmeticErrorText([&] { IntegrationStep(*s, c); }),
            "Floating point division by zero");
  std::size_t k = 0;
  for (int axis = 0; axis < 3; ++axis) {
    for (int i = 0; i < kMassiveCount; ++i) {
      EXPECT_EQ(s->Pos(axis, 4)[i], accepted[k++]);
      EXPECT_EQ(s->Vel(axis, 4)[i], accepted[k++]);
      EXPECT_EQ(s->Pos(axis, 3)[i], accepted[k++]);
      EXPECT_EQ(s->Acc(axis, 4)[i], accepted[k++]);
    }
  }
}

// 2777 bodies: the last block of 512 is a partial one, and so is every thread's share.
constexpr int kPartialBlockBodies = 2777;

// A run of 2777 bodies on threads threads, started, whose particle `particle` takes
// the Sun's whole history so that its predicted position is the Sun's. Returns the
// text the next step fails with.
std::string FirstStepFailure(int threads, int particle, int overflowingParticle = -1) {
  RandomSource random;
  SimulationRun run(random);
  run.SetThreads(threads);
  RunSettings settings;
  settings.BodyCount = kPartialBlockBodies;
  run.Begin(settings);
  RunState& s = run.MutableState();
  CopyHistory(s, particle, 0);
  for (int axis = 0; axis < 3 && overflowingParticle >= 0; ++axis) {
    for (int slot = -4; slot <= 4; ++slot) s.Acc(axis, slot)[overflowingParticle] = 1e308;
  }
  return ArithmeticErrorText([&] { run.Step(); });
}

TEST(IntegratorTest, AFaultInTheSecondThreadsBlockEndsTheRunWithTheSameText) {
  const int inSecondShare = kPartialBlockBodies - 5;
  ASSERT_GE(inSecondShare, ThreadShare(kMassiveCount, kPartialBlockBodies, 1, 2).begin);
  for (int threads : {1, 2, 3}) {
    EXPECT_EQ(FirstStepFailure(threads, inSecondShare), "Floating point division by zero")
        << threads;
  }
}

TEST(IntegratorTest, DivisionByZeroInOneThreadOutranksOverflowInAnother) {
  const int inFirstShare = 20, inSecondShare = kPartialBlockBodies - 5;
  for (int threads : {1, 2, 3}) {
    EXPECT_EQ(FirstStepFailure(threads, inSecondShare, inFirstShare),
              "Floating point division by zero")
        << threads;
    EXPECT_EQ(FirstStepFailure(threads, inFirstShare, inSecondShare),
              "Floating point division by zero")
        << threads;
  }
}

TEST(IntegratorTest, AnOverflowInTheSecondThreadsBlockIsReportedAsSuch) {
  RandomSource random;
  SimulationRun run(random);
  run.SetThreads(2);
  RunSettings settings;
  settings.BodyCount = kPartialBlockBodies;
  run.Begin(settings);
  run.MutableState().Acc(kX, 4)[kPartialBlockBodies - 5] = 1e308;
  EXPECT_EQ(ArithmeticErrorText([&] { run.Step(); }), "Floating point overflow");
}

TEST(IntegratorTest, ARunRefusesSettingsOutsideItsRange) {
  SimulationRun run;
  RunSettings settings;
  settings.BodyCount = 9;
  EXPECT_THROW(run.Begin(settings), RunError);
  settings.BodyCount = 20001;
  EXPECT_THROW(run.Begin(settings), RunError);
  settings.MaxBodyCount = kMaxBodyCount;  // a batch run's limit
  settings.BodyCount = kMaxBodyCount + 1;
  EXPECT_THROW(run.Begin(settings), RunError);
  settings.BodyCount = 10;
  settings.StepDays = 0;
  EXPECT_THROW(run.Begin(settings), RunError);
  settings.StepDays = std::nan("");
  EXPECT_THROW(run.Begin(settings), RunError);
}

}  // namespace
}  // namespace stelvo
