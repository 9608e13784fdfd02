#include "initial/planets.h"

#include <gtest/gtest.h>

#include <array>

#include "core/state_digest.h"
#include "digest_fixture.h"
#include "initial/constants.h"

namespace stelvo {
namespace {

// Every stored double of the table: GM, x, y, z, vx, vy, vz, body by body. A change of
// a single digit anywhere moves the digest; a deliberate change of the table prints
// the new digest to paste here.
TEST(PlanetsTest, TheTableIsPinnedBitForBit) {
  testing::DigestedRows rows(false);
  for (const MassiveBody& b : kMassiveBodies) {
    rows.Add(b.name, std::array{b.gm, b.x, b.y, b.z, b.vx, b.vy, b.vz});
  }
  rows.ExpectDigest("b445b0dc9b61b7ef");
}

TEST(PlanetsTest, TheSunsGmIsTheStoredConstantNotKTimesK) {
  EXPECT_EQ(kMassiveBodies[0].gm, 0.000295912208285591);
  EXPECT_NE(kMassiveBodies[0].gm, kGaussK * kGaussK);
}

TEST(PlanetsTest, SetMassiveBodiesWritesTheTableIntoSlotZero) {
  RunState state;
  state.MassiveCount = 0;
  SetMassiveBodies(state);
  EXPECT_EQ(state.MassiveCount, kMassiveCount);
  for (int i = 0; i < kMassiveCount; ++i) {
    const MassiveBody& b = kMassiveBodies[i];
    const double expected[] = {b.gm, b.x, b.y, b.z, b.vx, b.vy, b.vz};
    const double written[] = {state.BodyGM()[i],   state.Pos(kX, 0)[i], state.Pos(kY, 0)[i],
                              state.Pos(kZ, 0)[i], state.Vel(kX, 0)[i], state.Vel(kY, 0)[i],
                              state.Vel(kZ, 0)[i]};
    EXPECT_EQ(DigestDoubles(kDigestStart, written, 7), DigestDoubles(kDigestStart, expected, 7))
        << b.name;
  }
}

}  // namespace
}  // namespace stelvo
