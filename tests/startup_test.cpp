#include "core/startup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/gravity.h"
#include "ten_body_fixture.h"

namespace stelvo {
namespace {

using testing::BuiltCoefficients;
using testing::TenBodiesAtEpoch;

TEST(StartupTest, TenBodiesSettleAfterTheKnownNumberOfPasses) {
  const IntegratorCoeffs c = BuiltCoefficients();
  const std::vector<std::pair<double, int>> cases = {{0.25, 4}, {0.5, 5}, {1, 6},
                                                     {2, 7},    {5, 10},  {10, 20}};
  for (const auto& [step, passes] : cases) {
    auto s = TenBodiesAtEpoch(step);
    EXPECT_EQ(StartUpIteration(*s, c), passes) << "step " << step;
  }
}

TEST(StartupTest, LeavesSlotZeroAsItWas) {
  auto s = TenBodiesAtEpoch(5);
  std::vector<double> before;
  for (int axis = 0; axis < 3; ++axis) {
    for (int i = 0; i < kMassiveCount; ++i) {
      before.push_back(s->Pos(axis, 0)[i]);
      before.push_back(s->Vel(axis, 0)[i]);
      before.push_back(s->Acc(axis, 0)[i]);
    }
  }
  StartUpIteration(*s, BuiltCoefficients());
  std::size_t k = 0;
  for (int axis = 0; axis < 3; ++axis) {
    for (int i = 0; i < kMassiveCount; ++i) {
      EXPECT_EQ(s->Pos(axis, 0)[i], before[k++]);
      EXPECT_EQ(s->Vel(axis, 0)[i], before[k++]);
      EXPECT_EQ(s->Acc(axis, 0)[i], before[k++]);
    }
  }
}

TEST(StartupTest, FirstPassPlacesSlotMinusOneByConstantAcceleration) {
  const double h = 2;
  auto s = TenBodiesAtEpoch(h);
  ASSERT_EQ(StartUpIteration(*s, BuiltCoefficients(), 1), 1);
  for (int axis = 0; axis < 3; ++axis) {
    for (int i = 0; i < kMassiveCount; ++i) {
      const double expected =
          s->Pos(axis, 0)[i] - h * s->Vel(axis, 0)[i] + h * h / 2 * s->Acc(axis, 0)[i];
      EXPECT_NEAR(s->Pos(axis, -1)[i], expected, 1e-15 * std::max(1.0, std::fabs(expected)));
    }
  }
}

TEST(StartupTest, FinalAccelerationsBelongToTheFinalPositions) {
  auto s = TenBodiesAtEpoch(5);
  StartUpIteration(*s, BuiltCoefficients());
  RunState fresh;
  fresh.BodyCount = kMassiveCount;
  for (int i = 0; i < kMassiveCount; ++i) fresh.BodyGM()[i] = s->BodyGM()[i];
  for (int k = -4; k <= 4; ++k) {
    if (k == 0) continue;
    for (int axis = 0; axis < 3; ++axis) {
      for (int i = 0; i < kMassiveCount; ++i) fresh.Pos(axis, 0)[i] = s->Pos(axis, k)[i];
    }
    InitialAccelerations(fresh);
    for (int axis = 0; axis < 3; ++axis) {
      for (int i = 0; i < kMassiveCount; ++i) {
        EXPECT_EQ(fresh.Acc(axis, 0)[i], s->Acc(axis, k)[i]) << "slot " << k;
      }
    }
  }
}

TEST(StartupTest, StopsAtTheFiftyFirstPassWhenNothingSettles) {
  // At a 20-day step Mercury's slot-4 values keep moving by more than 1e-12.
  auto s = TenBodiesAtEpoch(20);
  EXPECT_EQ(StartUpIteration(*s, BuiltCoefficients()), kStartupPassLimit);
}

}  // namespace
}  // namespace stelvo
