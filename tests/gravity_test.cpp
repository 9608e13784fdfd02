#include "core/gravity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/arithmetic_check.h"
#include "core/run_error.h"
#include "isa_fixture.h"
#include "ten_body_fixture.h"

namespace stelvo {
namespace {

using testing::ForEachIsa;
using testing::TenBodiesAtEpoch;

TEST(GravityTest, CubedDistanceIsSquareTimesItsRoot) {
  EXPECT_EQ(CubedDistance(3, 4, 0), 125.0);
  EXPECT_EQ(CubedDistance(0, 0, -2), 8.0);
  EXPECT_EQ(CubedDistance(0, 0, 0), 0.0);
}

TEST(GravityTest, InitialAccelerationsOfSunAndEarthMoonBarycentre) {
  auto s = TenBodiesAtEpoch();
  const int sun = 0, emb = 3;
  EXPECT_NEAR(s->Acc(kX, 0)[sun], 8.393e-9, 0.0005e-9);
  EXPECT_NEAR(s->Acc(kY, 0)[sun], 8.098e-9, 0.0005e-9);
  EXPECT_NEAR(s->Acc(kZ, 0)[sun], -2.091e-10, 0.0005e-10);
  EXPECT_NEAR(std::hypot(s->Acc(kX, 0)[sun], s->Acc(kY, 0)[sun], s->Acc(kZ, 0)[sun]), 1.166e-8,
              0.0005e-8);
  EXPECT_NEAR(s->Acc(kX, 0)[emb], 5.515e-5, 0.0005e-5);
  EXPECT_NEAR(s->Acc(kY, 0)[emb], -3.010e-4, 0.0005e-4);
  EXPECT_NEAR(s->Acc(kZ, 0)[emb], 3.04e-11, 0.005e-11);
}

TEST(GravityTest, MassiveBodiesFeelOnlyTheOtherNine) {
  // Doubling Pluto's GM changes every other body's acceleration but not Pluto's own.
  auto s = TenBodiesAtEpoch();
  const double plutoAx = s->Acc(kX, 0)[9], sunAx = s->Acc(kX, 0)[0];
  s->BodyGM()[9] *= 2;
  InitialAccelerations(*s);
  EXPECT_EQ(s->Acc(kX, 0)[9], plutoAx);
  EXPECT_NE(s->Acc(kX, 0)[0], sunAx);
}

// 20000 bodies: the ten massive ones and particles scattered out to 50 AU.
std::unique_ptr<RunState> ScatteredBodies(int count) {
  auto s = TenBodiesAtEpoch();
  std::mt19937_64 generator(7);
  std::uniform_real_distribution<double> coordinate(-50, 50);
  for (int i = kMassiveCount; i < count; ++i) {
    for (int axis = 0; axis < 3; ++axis) s->Pos(axis, 0)[i] = coordinate(generator);
    s->BodyGM()[i] = 0;
  }
  s->BodyCount = count;
  return s;
}

TEST(GravityTest, AParticleFeelsTheSameWhateverOtherParticlesExist) {
  auto alone = ScatteredBodies(11);
  auto crowded = ScatteredBodies(kCapacity);
  InitialAccelerations(*alone);
  InitialAccelerations(*crowded);
  for (int axis = 0; axis < 3; ++axis) {
    EXPECT_EQ(alone->Acc(axis, 0)[10], crowded->Acc(axis, 0)[10]);
  }
  // Moving another particle changes nothing either, and a particle attracts nothing.
  const double before = crowded->Acc(kX, 0)[10], sunBefore = crowded->Acc(kX, 0)[0];
  crowded->Pos(kX, 0)[11] = crowded->Pos(kX, 0)[10];
  InitialAccelerations(*crowded);
  EXPECT_EQ(crowded->Acc(kX, 0)[10], before);
  EXPECT_EQ(crowded->Acc(kX, 0)[0], sunBefore);
}

// The slot-0 accelerations of two states agree bit for bit.
bool SameAccelerations(const RunState& a, const RunState& b) {
  for (int axis = 0; axis < 3; ++axis) {
    if (std::memcmp(a.Acc(axis, 0), b.Acc(axis, 0), sizeof(double) * a.BodyCount) != 0)
      return false;
  }
  return true;
}

TEST(GravityTest, EveryInstructionSetGivesTheSameBits) {
  auto reference = ScatteredBodies(kCapacity - 3);  // an odd count leaves a remainder
  ASSERT_TRUE(IsaSupported(Isa::kBaseline));
  ForEachIsa([&](Isa isa) {
    if (isa == Isa::kBaseline) return InitialAccelerations(*reference);
    auto other = ScatteredBodies(kCapacity - 3);
    InitialAccelerations(*other);
    EXPECT_TRUE(SameAccelerations(*reference, *other)) << IsaName(isa);
  });
  if (!IsaSupported(Isa::kAvx2) && !IsaSupported(Isa::kAvx512))
    GTEST_SKIP() << "this processor has neither AVX2 nor AVX-512";
}

// Evaluates the initial accelerations and returns the arithmetic error they raised,
// or an empty text.
std::string ArithmeticErrorOf(RunState& s, WorkerPool& pool = WorkerPool::Serial()) {
  return testing::ArithmeticErrorText([&] { InitialAccelerations(s, pool); });
}

TEST(GravityTest, TwoBodiesAtOnePlaceDivideByZero) {
  auto s = TenBodiesAtEpoch();
  for (int axis = 0; axis < 3; ++axis) s->Pos(axis, 0)[1] = s->Pos(axis, 0)[2];
  EXPECT_EQ(ArithmeticErrorOf(*s), "Floating point division by zero");
}

TEST(GravityTest, AParticleOnAMassiveBodyDividesByZeroInEveryInstructionSet) {
  ForEachIsa([](Isa isa) {
    for (int count : {11, 17, 29}) {  // the particle in a vector lane or in the remainder
      auto s = ScatteredBodies(count);
      for (int axis = 0; axis < 3; ++axis) s->Pos(axis, 0)[count - 1] = s->Pos(axis, 0)[5];
      EXPECT_EQ(ArithmeticErrorOf(*s), "Floating point division by zero")
          << IsaName(isa) << " " << count;
    }
  });
}

TEST(GravityTest, NoFalseAlarmFromAnyLane) {
  ForEachIsa([](Isa isa) {
    for (int count = 10; count <= 30; ++count) {
      auto s = ScatteredBodies(count);
      EXPECT_EQ(ArithmeticErrorOf(*s), "") << IsaName(isa) << " " << count;
    }
  });
}

TEST(GravityTest, APoolOfThreadsGivesTheSameBitsAsOne) {
  auto reference = ScatteredBodies(kCapacity - 3);
  InitialAccelerations(*reference);
  for (int threads : {2, 3}) {
    WorkerPool pool(threads);
    auto other = ScatteredBodies(kCapacity - 3);
    InitialAccelerations(*other, pool);
    EXPECT_TRUE(SameAccelerations(*reference, *other)) << threads;
  }
}

TEST(GravityTest, AParticleOnAMassiveBodyInTheSecondThreadsShareDividesByZero) {
  WorkerPool pool(2);
  const int count = 3000;
  auto s = ScatteredBodies(count);
  EXPECT_EQ(ArithmeticErrorOf(*s, pool), "");
  const int particle = count - 7;
  ASSERT_GE(particle, ThreadShare(kMassiveCount, count, 1, 2).begin);
  for (int axis = 0; axis < 3; ++axis) s->Pos(axis, 0)[particle] = s->Pos(axis, 0)[4];
  EXPECT_EQ(ArithmeticErrorOf(*s, pool), "Floating point division by zero");
  s->Pos(kX, 0)[particle] += 1;
  s->BodyGM()[0] = 1e308;
  EXPECT_EQ(ArithmeticErrorOf(*s, pool), "Floating point overflow");
}

TEST(GravityTest, AnOverflowIsReportedAsSuch) {
  auto s = TenBodiesAtEpoch();
  s->BodyGM()[0] = 1e308;
  EXPECT_EQ(ArithmeticErrorOf(*s), "Floating point overflow");
}

}  // namespace
}  // namespace stelvo
