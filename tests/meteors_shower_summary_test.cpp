#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "initial/constants.h"
#include "meteors/shower_summary.h"
#include "meteors/sky_geometry.h"

namespace stelvo {
namespace {

Crossing At(double lambdaSun, double ra, double dec, double vg, bool inShower = true,
            bool encounter = false) {
  Crossing c{};
  c.lambdaSun = lambdaSun;
  c.raDeg = ra;
  c.decDeg = dec;
  c.vgKmS = vg;
  c.inShower = inShower;
  c.encounter = encounter;
  return c;
}

TEST(ShowerSummary, ShowerAcrossZeroSolarLongitudeAndZeroRaKeepsItsMeans) {
  ShowerSummary summary;
  const std::vector<Crossing> c = {At(359.5, 359, 10, 30), At(0.5, 1, 10, 32),
                                   At(359.8, 359.5, 10, 31), At(0.2, 0.5, 10, 31)};
  summary.Add(c, 0, 2 * kDaysPerYear);
  const auto showers = summary.Summarise(2000);
  ASSERT_EQ(showers.size(), 1u);
  const Shower& w = showers[0];
  EXPECT_NEAR(DegreesBetween(w.lambdaSun, 0), 0, 1e-9);
  EXPECT_NEAR(DegreesBetween(w.raDeg, 0), 0, 1e-9);
  EXPECT_NEAR(w.decDeg, 10, 0.01);
  EXPECT_NEAR(w.vgKmS, 31, 1e-12);
  EXPECT_NEAR(w.vgSpread, std::sqrt(0.5), 1e-9);
  EXPECT_EQ(w.count, 4);
  EXPECT_NEAR(w.perYear, 2, 1e-12);
  EXPECT_NEAR(w.lambdaSpread, std::sqrt(0.145), 1e-4);  // RMS of -0.5, 0.5, -0.2, 0.2
  EXPECT_NEAR(w.radiantSpreadDeg, std::sqrt(0.625) * std::cos(10 * kPi / 180), 1e-3);
  EXPECT_STREQ(w.date.data(), "03-20");
}

TEST(ShowerSummary, GapsAndRadiantJumpsSeparateShowersSortedBySolarLongitude) {
  ShowerSummary summary;
  std::vector<Crossing> c;
  for (double l : {100.5, 101.5, 104.5}) c.push_back(At(l, 300, -20, 20));  // gap of 2 bins: one
  for (double l : {200.5, 201.5, 202.5}) c.push_back(At(l, 10, 20, 40));
  for (double l : {203.5, 204.5, 205.5}) c.push_back(At(l, 60, 20, 40));  // radiant jump
  for (double l : {150.5, 154.5, 158.5}) c.push_back(At(l, 80, 0, 40));   // gaps of 3: apart
  summary.Add(c, 0, kDaysPerYear);
  const auto showers = summary.Summarise(2000, 1);
  ASSERT_EQ(showers.size(), 6u);
  EXPECT_EQ(showers[0].count, 3);
  EXPECT_NEAR(showers[0].lambdaSun, 102.17, 0.01);
  EXPECT_EQ(showers[1].count, 1);
  EXPECT_EQ(showers[4].count, 3);
  EXPECT_NEAR(showers[4].raDeg, 10, 1e-9);
  EXPECT_NEAR(showers[5].raDeg, 60, 1e-9);
  // The single crossings go with the default minimum of three.
  EXPECT_EQ(summary.Summarise(2000).size(), 3u);
}

TEST(ShowerSummary, OnlyCapturedCrossingsCountButAllBecomeDots) {
  ShowerSummary summary;
  const std::vector<Crossing> c = {At(10.5, 0, 0, 10, false), At(10.5, 0, 0, 10, true, true),
                                   At(10.7, 0, 0, 10), At(10.9, 0, 0, 10)};
  summary.Add(c, 100, 110);
  EXPECT_EQ(summary.CrossingCount(), 4);
  EXPECT_EQ(summary.CapturedCount(), 3);
  EXPECT_EQ(summary.Activity()[10], 3);
  EXPECT_EQ(summary.DotCount(), 4);
  EXPECT_FALSE(summary.Dot(0).inShower);
  EXPECT_EQ(summary.EncounterCount(), 1);
  ASSERT_EQ(summary.Encounters().size(), 1u);
  EXPECT_EQ(summary.ScannedDays(), 10);
  const auto showers = summary.Summarise(2000);
  ASSERT_EQ(showers.size(), 1u);
  EXPECT_EQ(showers[0].encounters, 1);
  summary.Reset();
  EXPECT_EQ(summary.CrossingCount(), 0);
  EXPECT_EQ(summary.DotCount(), 0);
  EXPECT_TRUE(summary.Summarise(2000).empty());
}

TEST(ShowerSummary, DotRingKeepsTheNewestOldestFirst) {
  ShowerSummary summary;
  std::vector<Crossing> c;
  for (int k = 0; k < kSkyDotCapacity + 5; ++k) c.push_back(At(k % 360 + 0.5, k % 360, 0, 1));
  summary.Add(c, 0, 1);
  EXPECT_EQ(summary.DotCount(), kSkyDotCapacity);
  EXPECT_EQ(summary.Dot(0).raDeg, 5 % 360);
  EXPECT_EQ(summary.Dot(kSkyDotCapacity - 1).raDeg, (kSkyDotCapacity + 4) % 360);
}

TEST(ShowerSummary, EveryBinOccupiedStillGivesShowers) {
  ShowerSummary summary;
  std::vector<Crossing> c;
  for (int k = 0; k < 360; ++k) c.push_back(At(k + 0.5, 0, 0, 1));
  summary.Add(c, 0, kDaysPerYear);
  const auto showers = summary.Summarise(2000);
  ASSERT_EQ(showers.size(), 1u);
  EXPECT_EQ(showers[0].count, 360);
}

}  // namespace
}  // namespace stelvo
