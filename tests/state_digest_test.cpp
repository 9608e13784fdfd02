#include "core/state_digest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace stelvo {
namespace {

TEST(StateDigestTest, BytesFollowThePublishedFnv1aVectors) {
  EXPECT_EQ(DigestBytes(kDigestStart, "", 0), 0xcbf29ce484222325u);
  EXPECT_EQ(DigestBytes(kDigestStart, "a", 1), 0xaf63dc4c8601ec8cu);
  EXPECT_EQ(DigestBytes(kDigestStart, "foobar", 6), 0x85944171f73967e8u);
  EXPECT_EQ(DigestHex(0xaf63dc4c8601ec8cu), "af63dc4c8601ec8c");
  EXPECT_EQ(DigestHex(0x1u), "0000000000000001");
}

TEST(StateDigestTest, DoublesAreTheirBitPatternsLeastSignificantByteFirst) {
  const double values[] = {1.5, -0.0, 2.2250738585072014e-308};
  unsigned char bytes[sizeof values];
  std::memcpy(bytes, values, sizeof values);  // x86-64 stores little-endian
  EXPECT_EQ(DigestDoubles(kDigestStart, values, 3), DigestBytes(kDigestStart, bytes, sizeof bytes));
  const double zero = 0.0;
  EXPECT_NE(DigestDoubles(kDigestStart, &zero, 1), DigestDoubles(kDigestStart, values + 1, 1));
}

// A state whose covered values all differ, so that a moved or dropped array shows.
class DigestedState : public testing::Test {
 protected:
  DigestedState() {
    s_.BodyCount = 37;
    s_.StepDays = 5;
    s_.SimDays = 20;
    double v = 1;
    for (int axis = 0; axis < 3; ++axis) {
      for (int i = 0; i < kCapacity; ++i) {
        for (int slot = kMinPosSlot; slot <= kMaxPosSlot; ++slot) {
          s_.Pos(axis, slot)[i] = v++;
          s_.Vel(axis, slot)[i] = v++;
        }
        for (int slot = kMinAccSlot; slot <= kMaxAccSlot; ++slot) s_.Acc(axis, slot)[i] = v++;
      }
    }
    for (int i = 0; i < kCapacity; ++i) s_.BodyGM()[i] = v++;
  }
  std::uint64_t Digest() const { return StateDigest(s_); }
  RunState s_;
};

TEST_F(DigestedState, EveryValueTheNextStepReadsChangesTheDigest) {
  const std::uint64_t before = Digest();
  auto flips = [&](double& value) {
    const double kept = value;
    value = std::nextafter(value, 1e300);  // the last bit
    const bool changed = Digest() != before;
    value = kept;
    return changed;
  };
  for (int axis = 0; axis < 3; ++axis) {
    for (int i : {0, 9, 10, 36}) {
      EXPECT_TRUE(flips(s_.Pos(axis, 3)[i])) << axis << " " << i;
      EXPECT_TRUE(flips(s_.Pos(axis, 4)[i])) << axis << " " << i;
      EXPECT_TRUE(flips(s_.Vel(axis, 4)[i])) << axis << " " << i;
      for (int slot = -3; slot <= 4; ++slot) EXPECT_TRUE(flips(s_.Acc(axis, slot)[i])) << slot;
      EXPECT_TRUE(flips(s_.BodyGM()[i])) << i;
    }
  }
  EXPECT_TRUE(flips(s_.SimDays));
  EXPECT_TRUE(flips(s_.StepDays));
  EXPECT_EQ(Digest(), before);
  // Swapping two arrays' contents changes it too: the order is part of the digest.
  std::swap(s_.Pos(kX, 3)[0], s_.Pos(kY, 3)[0]);
  EXPECT_NE(Digest(), before);
}

TEST_F(DigestedState, WhatTheNextStepDoesNotReadIsLeftOut) {
  const std::uint64_t before = Digest();
  s_.Pos(kX, 5)[0] = -1;  // recycled slot
  s_.Pos(kY, 2)[3] = -1;  // start-up history
  s_.Vel(kZ, 3)[3] = -1;
  s_.Acc(kX, -4)[3] = -1;
  s_.Acc(kX, 5)[3] = -1;
  s_.Pos(kX, 4)[37] = -1;  // beyond BodyCount
  s_.BodyGM()[37] = -1;
  s_.CurrentSlot = 5;
  EXPECT_EQ(Digest(), before);
  s_.BodyCount = 36;
  EXPECT_NE(Digest(), before);
}

}  // namespace
}  // namespace stelvo
