#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

#include "core/gravity.h"
#include "core/worker_pool.h"
#include "initial/constants.h"
#include "initial/random_unit.h"
#include "meteors/crossing_detector.h"
#include "meteors/sky_geometry.h"
#include "run/simulation_run.h"
#include "isa_fixture.h"

namespace stelvo {
namespace {

constexpr int kEarthRow = 3;
constexpr int kFirstParticle = kMassiveCount;
constexpr double kStep = 2;

struct State6 {
  Vec3 pos, vel;
};

void Put(RunState& s, int slot, int row, const State6& b) {
  s.Pos(kX, slot)[row] = b.pos.x;
  s.Pos(kY, slot)[row] = b.pos.y;
  s.Pos(kZ, slot)[row] = b.pos.z;
  s.Vel(kX, slot)[row] = b.vel.x;
  s.Vel(kY, slot)[row] = b.vel.y;
  s.Vel(kZ, slot)[row] = b.vel.z;
}

// A circular orbit of radius r about a Sun of GM k^2 at rest at the origin,
// ascending node at longitude `node`, inclination `incl` (radians), at argument of
// latitude u.
State6 Circular(double r, double node, double incl, double u) {
  const double speed = kGaussK / std::sqrt(r);
  const double cn = std::cos(node), sn = std::sin(node), ci = std::cos(incl), si = std::sin(incl);
  const double cu = std::cos(u), su = std::sin(u);
  return {{r * (cn * cu - sn * su * ci), r * (sn * cu + cn * su * ci), r * su * si},
          {speed * (-cn * su - sn * cu * ci), speed * (-sn * su + cn * cu * ci), speed * cu * si}};
}

// A run state with the Sun at rest, the Earth-Moon barycentre on a circular orbit
// of 1 AU in the ecliptic and particles set by the tests; slot 4 at SimDays = 100,
// slot 5 one step later.
class CrossingFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    s.ClearHistories();
    s.StepDays = kStep;
    s.SimDays = 100;
    s.EpochJD = kEpochJD;
    s.BodyCount = kFirstParticle;
    s.BodyGM()[0] = kGaussK2;
    for (int slot : {4, 5}) Put(s, slot, 0, {{0, 0, 0}, {0, 0, 0}});
  }
  // Earth at longitude `lon` (radians) at the fraction `f` of the step.
  void PlaceEarth(double lon, double f) {
    const double n = kGaussK;
    for (int slot : {4, 5})
      Put(s, slot, kEarthRow, Circular(1, lon - n * kStep * (f - (slot - 4)), 0, 0));
  }
  // A particle on a circular orbit that passes its ascending node at the fraction
  // `f` of the step; returns its row.
  int AddParticle(double r, double node, double incl, double f) {
    const int row = s.BodyCount++;
    const double n = kGaussK / std::sqrt(r * r * r);
    for (int slot : {4, 5})
      Put(s, slot, row, Circular(r, node, incl, n * kStep * ((slot - 4) - f)));
    return row;
  }
  RunState s;
  CrossingDetector detector;
};

TEST_F(CrossingFixture, HeadOnCircularCrossingGivesClosedFormRadiantAndSpeed) {
  // Retrograde at 170 degrees: the particle meets the Earth almost head-on at the
  // ascending node on the +x axis. v_g = v_p - v_E has length 2 k sin(85 deg); the
  // radiant lies at ecliptic longitude 90, latitude -5 degrees, which turns to
  // RA 90 and Dec = obliquity - 5 degrees.
  PlaceEarth(0, 0.3);
  AddParticle(1, 0, 170 * kDegToRad, 0.3);
  const auto found = detector.Scan(s);
  ASSERT_EQ(found.size(), 1u);
  const Crossing& c = found[0];
  EXPECT_EQ(c.particle, 0);
  EXPECT_TRUE(c.ascending);
  EXPECT_NEAR(c.tDays, 100 + 0.3 * kStep, 1e-7);
  EXPECT_NEAR(c.jd, kEpochJD + 100.6, 1e-7);
  EXPECT_NEAR(c.lambdaSun, 180, 1e-6);
  EXPECT_NEAR(c.rAu, 1, 1e-8);
  EXPECT_NEAR(c.drAu, 0, 1e-8);
  EXPECT_NEAR(c.earthAu, 0, 1e-8);
  EXPECT_TRUE(c.inShower);
  EXPECT_TRUE(c.encounter);
  EXPECT_NEAR(c.raDeg, 90, 1e-5);
  EXPECT_NEAR(c.decDeg, kObliquityJ2000Deg - 5, 1e-5);
  EXPECT_NEAR(c.vgKmS, 2 * kGaussK * std::sin(85 * kDegToRad) * kAuPerDayToKmS, 1e-5);
  EXPECT_NEAR(c.z, 0, 1e-14);
}

TEST_F(CrossingFixture, DescendingNodeOnTheOtherSideOfTheSun) {
  // A polar orbit turned over (inclination -90 degrees) goes downward through its
  // node on the -y axis, where the Sun is seen at longitude 90; v_g = k sqrt(2).
  PlaceEarth(-kPi / 2, 0.5);
  AddParticle(1, kPi / 2 + kPi, -kPi / 2, 0.5);
  const auto found = detector.Scan(s);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_FALSE(found[0].ascending);
  EXPECT_NEAR(found[0].lambdaSun, 90, 1e-6);
  EXPECT_NEAR(found[0].vgKmS, std::sqrt(2.0) * kGaussK * kAuPerDayToKmS, 1e-5);
  EXPECT_NEAR(found[0].earthAu, 0, 1e-8);
}

TEST_F(CrossingFixture, RadialDistanceFromTheEarthOrbitDecidesTheShower) {
  PlaceEarth(kPi, 0.5);
  AddParticle(1.03, 0, 20 * kDegToRad, 0.5);
  AddParticle(0.94, 0, 20 * kDegToRad, 0.5);
  const auto found = detector.Scan(s);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_NEAR(found[0].drAu, 0.03, 1e-7);
  EXPECT_TRUE(found[0].inShower);
  EXPECT_NEAR(found[1].drAu, -0.06, 1e-7);
  EXPECT_FALSE(found[1].inShower);
  // The Earth is on the far side of the Sun: no encounter, distance about 2 AU.
  EXPECT_FALSE(found[0].encounter);
  EXPECT_NEAR(found[0].earthAu, 2.03, 1e-6);
  detector.SetCaptureAu(0.02);
  EXPECT_FALSE(detector.Scan(s)[0].inShower);
}

TEST_F(CrossingFixture, EarthOrbitRadiusIsTakenFromTheOsculatingEllipse) {
  // At mid-step the Earth is at perihelion of an ellipse with q = 1 AU and e = 0.1
  // (a uniform motion through that state, which the cubic reproduces exactly). At
  // longitude 90 degrees from perihelion that ellipse has radius p = q (1 + e).
  const double q = 1, e = 0.1, p = q * (1 + e);
  const double vPeri = std::sqrt(kGaussK2 * (1 + e) / q);
  Put(s, 4, kEarthRow, {{q, -vPeri * kStep / 2, 0}, {0, vPeri, 0}});
  Put(s, 5, kEarthRow, {{q, vPeri * kStep / 2, 0}, {0, vPeri, 0}});
  AddParticle(1.2, kPi / 2, 30 * kDegToRad, 0.5);
  const auto found = detector.Scan(s);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_NEAR(found[0].drAu, 1.2 - p, 1e-7);
  EXPECT_NEAR(found[0].lambdaSun, 270, 1e-6);
}

TEST_F(CrossingFixture, SignChangesAreHeliocentric) {
  PlaceEarth(0, 0.5);
  const int row = AddParticle(1, 0, 10 * kDegToRad, 0.5);
  // Shift the whole system, the Sun included, well above the ecliptic: the same
  // crossing, though the particle's own z never changes sign.
  for (int slot : {4, 5}) {
    for (int r : {0, kEarthRow, row}) s.Pos(kZ, slot)[r] += 5;
  }
  ASSERT_GT(s.Pos(kZ, 4)[row], 0);
  const auto found = detector.Scan(s);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_NEAR(found[0].z, 0, 1e-12);
  EXPECT_NEAR(found[0].lambdaSun, 180, 1e-6);
}

TEST_F(CrossingFixture, OnlyParticlesThatChangeSideAreRecordedInRowOrder) {
  PlaceEarth(0, 0.5);
  AddParticle(1, 0, 10 * kDegToRad, 1.7);   // crosses after the step
  AddParticle(1, 1, 10 * kDegToRad, 0.9);   // crosses
  AddParticle(1, 2, 10 * kDegToRad, -0.2);  // crossed before the step
  AddParticle(1, 3, 50 * kDegToRad, 0.1);   // crosses
  const auto found = detector.Scan(s);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].particle, 1);
  EXPECT_EQ(found[1].particle, 3);
  EXPECT_NEAR(found[0].tDays, 100 + 0.9 * kStep, 1e-7);
  EXPECT_NEAR(found[1].tDays, 100 + 0.1 * kStep, 1e-7);
  // A new scan replaces the records.
  s.BodyCount = kFirstParticle;
  EXPECT_TRUE(detector.Scan(s).empty());
}

TEST_F(CrossingFixture, PlusZeroToMinusZeroGivesAFiniteRecord) {
  // A particle lying in the ecliptic whose z turns from +0 to -0: a change of sign
  // bit without a secant to locate it. The record must still be finite.
  PlaceEarth(0, 0.5);
  const int row = AddParticle(1, 0, 0, 0.5);
  s.Pos(kZ, 4)[row] = 0.0;
  s.Pos(kZ, 5)[row] = -0.0;
  s.Vel(kZ, 4)[row] = s.Vel(kZ, 5)[row] = 0;
  const auto found = detector.Scan(s);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(std::isfinite(found[0].tDays));
  EXPECT_TRUE(std::isfinite(found[0].raDeg));
  EXPECT_NEAR(found[0].drAu, 0, 1e-6);
}

TEST(CrossingDetectorTest, ABatchRunLargerThanTheWindowsIsScannedWhole) {
  const int bodies = kCapacity + 5000;
  RunState s(bodies);
  s.BodyCount = bodies;
  s.StepDays = kStep;
  s.SimDays = 100;
  s.EpochJD = kEpochJD;
  for (int row = kFirstParticle; row < bodies; ++row) {
    s.Pos(kX, 4)[row] = s.Pos(kX, 5)[row] = 3;
    s.Pos(kZ, 4)[row] = -1e-3;
    s.Pos(kZ, 5)[row] = 1e-3;
  }
  CrossingDetector detector;
  const auto found = detector.Scan(s);
  ASSERT_EQ(found.size(), std::size_t(bodies - kFirstParticle));
  EXPECT_EQ(found.back().particle, bodies - kFirstParticle - 1);
}

TEST(CrossingDetectorTest, ThreadsFillingEveryBlockKeepTheRecordsInParticleOrder) {
  const int bodies = 5 * kBlockBodies + 123;
  RunState s(bodies);
  s.BodyCount = bodies;
  s.StepDays = kStep;
  s.SimDays = 100;
  s.EpochJD = kEpochJD;
  for (int row = kFirstParticle; row < bodies; ++row) {
    s.Pos(kX, 4)[row] = s.Pos(kX, 5)[row] = 3;
    // Every third particle stays below the plane.
    s.Pos(kZ, 4)[row] = -1e-3;
    s.Pos(kZ, 5)[row] = row % 3 == 0 ? -2e-3 : 1e-3;
  }
  WorkerPool pool(3);
  CrossingDetector detector;
  const auto found = detector.Scan(s, pool);
  int expected = 0;
  for (int row = kFirstParticle; row < bodies; ++row) {
    if (row % 3 == 0) continue;
    ASSERT_LT(std::size_t(expected), found.size());
    EXPECT_EQ(found[expected++].particle, row - kFirstParticle);
  }
  EXPECT_EQ(found.size(), std::size_t(expected));
}

// FNV-1a over every field of every record of a 2P/Encke stream (many crossings a
// step) after each step.
struct EnckeRecords {
  std::uint64_t digest = 14695981039346656037ull;
  long long count = 0;
  void Mix(std::uint64_t v) {
    for (int b = 0; b < 8; ++b) {
      digest ^= (v >> (8 * b)) & 0xff;
      digest *= 1099511628211ull;
    }
  }
  void Mix(double v) { Mix(std::bit_cast<std::uint64_t>(v)); }
  void Add(const Crossing& c) {
    ++count;
    Mix(static_cast<std::uint64_t>(c.particle));
    Mix(static_cast<std::uint64_t>(c.ascending + 2 * c.inShower + 4 * c.encounter));
    for (double v : {c.tDays, c.jd, c.lambdaSun, c.rAu, c.drAu, c.earthAu, c.raDeg, c.decDeg,
                     c.vgKmS, c.x, c.y, c.z, c.vx, c.vy, c.vz}) {
      Mix(v);
    }
  }
};

EnckeRecords ScanEnckeStream(int threads) {
  RandomSource random;
  SimulationRun run(random);
  run.SetThreads(threads);
  RunSettings settings;
  settings.BodyCount = 3000;  // six pool blocks
  settings.StepDays = 5;
  settings.CometIndex = 81;  // 2P/Encke
  settings.Distribution = 0;
  run.Begin(settings);
  CrossingDetector detector;
  detector.SetEncounterAu(0.05);  // so that some records carry the flag
  EnckeRecords records;
  for (int k = 0; k < 150; ++k) {
    run.Step();
    for (const Crossing& c : detector.Scan(run.State(), run.Pool())) records.Add(c);
    run.FinishPass();
  }
  return records;
}

// The whole records to the last bit, for one, two and three threads on every
// instruction set: the step is the same bits on each, the scan splits the particles
// among the threads without changing what each one computes, and the library's
// atan2 and asin do not depend on the chosen set.
TEST(CrossingDetectorTest, RecordsAreTheSameBitsForEveryThreadCountAndInstructionSet) {
  testing::ForEachIsa([](Isa isa) {
    for (int threads : {1, 2, 3}) {
      const EnckeRecords records = ScanEnckeStream(threads);
      const std::string where = std::string(IsaName(isa)) + ", " + std::to_string(threads);
      EXPECT_EQ(records.count, 3696) << where;
      EXPECT_EQ(records.digest, 0xf783cb784e5708e1u) << std::hex << records.digest << " " << where;
    }
  });
}

}  // namespace
}  // namespace stelvo
