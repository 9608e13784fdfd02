#include "initial/particle_cloud.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/gravity.h"
#include "core/run_error.h"
#include "run/simulation_run.h"
#include "data/comet_catalogue.h"
#include "initial/catalogue.h"
#include "initial/constants.h"
#include "initial/orbit.h"
#include "isa_fixture.h"
#include "run_settings_fixture.h"

namespace stelvo {
namespace {

int CatalogueIndexOf(std::string_view designation) {
  for (int i = 0; i < kCometCount; ++i) {
    if (kCometCatalogue[i].ends_with(designation)) return i;
  }
  return -1;
}

using testing::ForEachIsa;
using testing::Settings;

TEST(RandomUnitTest, FirstValuesFromProgramStart) {
  RandomSource random;
  EXPECT_EQ(random.RandomUnit(), 2.3283064365386963e-10);
  EXPECT_EQ(random.RandomUnit(), 0.031379939522594213);
  EXPECT_EQ(random.RandomUnit(), 0.8610484672244638);
}

TEST(ParticleCloudTest, FirstParticleOverTheOrbitStartsAtPerihelion) {
  RandomSource random;
  SimulationRun run(random);
  run.Begin(Settings(50, kUeberBahn));
  BahnElement comet;
  ParseCatalogueEntry(62, comet);
  const RunState& s = run.State();
  const int first = kMassiveCount;  // body 11
  EXPECT_NEAR(std::hypot(s.Pos(kX, 0)[first], s.Pos(kY, 0)[first], s.Pos(kZ, 0)[first]), comet.q,
              1e-12);
  EXPECT_EQ(s.BodyGM()[first], 0.0);
}

// The first values of the random source from program start.
constexpr double kR1 = 2.3283064365386963e-10, kR2 = 0.031379939522594213, kR3 = 0.8610484672244638;

// The comet's elements before any spread.
BahnElement Unspread(int comet) {
  BahnElement e;
  ParseCatalogueEntry(comet, e);
  DeriveElements(e);
  return e;
}

TEST(ParticleCloudTest, SecondParticleOverTheOrbitHasMeanAnomalyTwoPiTimesR2) {
  RandomSource random;
  RunState state;
  BahnElement e;
  InitParticle(state, 10, kEpochJD, 62, kUeberBahn, random, e);
  EXPECT_EQ(e.MeanAnomaly, 6.283185307179586 * kR1);
  InitParticle(state, 11, kEpochJD, 62, kUeberBahn, random, e);
  EXPECT_EQ(e.MeanAnomaly, 6.283185307179586 * kR2);
}

TEST(ParticleCloudTest, FirstQuasipunktParticleTakesR1ForTheMeanAnomalyAndR2ForA) {
  const BahnElement comet = Unspread(62);
  RandomSource random;
  RunState state;
  BahnElement e;
  InitParticle(state, 10, kEpochJD, 62, kQuasipunkt, random, e);
  EXPECT_EQ(e.MeanAnomaly, comet.MeanMotion * (kEpochJD - comet.PeriJD) * (1 + 0.025 * kR1));
  EXPECT_EQ(e.a, comet.a * (1 + 0.025 * kR2));
  EXPECT_EQ(e.ArgPeri, comet.ArgPeri);
  EXPECT_EQ(e.MeanMotion, comet.MeanMotion);  // of the unspread orbit
}

TEST(ParticleCloudTest, FirstParticlesOfTheScatteredArcsTakeTheirFactorsInOrder) {
  const BahnElement comet = Unspread(62);
  const double pi = 3.141592653589793;
  {
    RandomSource random;
    RunState state;
    BahnElement e;
    InitParticle(state, 10, kEpochJD, 62, kLeichtVerstreut, random, e);
    EXPECT_EQ(e.MeanAnomaly, 1.5 * pi * (1 + 0.05 * kR1));
    EXPECT_EQ(e.a, comet.a * (1 + 0.075 * kR2));
    EXPECT_EQ(e.ArgPeri, comet.ArgPeri);
    InitParticle(state, 11, kEpochJD, 62, kLeichtVerstreut, random, e);
    EXPECT_EQ(e.MeanAnomaly, 1.5 * pi * (1 + 0.05 * kR3));
  }
  RandomSource random;
  RunState state;
  BahnElement e;
  InitParticle(state, 10, kEpochJD, 62, kStaerkerVerstreut, random, e);
  EXPECT_EQ(e.MeanAnomaly, 1.5 * pi * (1 + 0.1 * kR1));
  EXPECT_EQ(e.a, comet.a * (1 + 0.075 * kR2));
  EXPECT_EQ(e.ArgPeri, comet.ArgPeri * (1 + 0.075 * kR3));
}

TEST(ParticleCloudTest, QuasipunktOnTheSpacewatchRowIsAnArcBehindTheComet) {
  const int index = CatalogueIndexOf("125P/Spacewatch");
  ASSERT_GE(index, 0);
  RandomSource random;
  RunState state;
  BahnElement e;
  ParseCatalogueEntry(index, e);
  EXPECT_NEAR(e.PeriJD, 2458358.4528, 1e-6);
  for (int row = kMassiveCount; row < 1000; ++row) {
    InitParticle(state, row, kEpochJD, index, kQuasipunkt, random, e);
    EXPECT_NEAR(e.MeanMotion, 0.00311388, 5e-9);
    EXPECT_GE(e.a, 3.1250195 - 1e-7);
    EXPECT_LT(e.a, 3.1250195 * 1.025 + 1e-7);
    EXPECT_LE(e.MeanAnomaly, -21.2163 + 5e-5);
    EXPECT_GE(e.MeanAnomaly, -21.7467 - 5e-5);
  }
}

TEST(ParticleCloudTest, SpreadsNeverAccumulateFromParticleToParticle) {
  RandomSource random;
  RunState state;
  BahnElement comet, e;
  ParseCatalogueEntry(62, comet);
  DeriveElements(comet);
  for (int row = kMassiveCount; row < 2000; ++row) {
    InitParticle(state, row, kEpochJD, 62, kStaerkerVerstreut, random, e);
    EXPECT_GE(e.a, comet.a);
    EXPECT_LT(e.a, comet.a * 1.075 * (1 + 1e-15));
    EXPECT_GE(e.ArgPeri, comet.ArgPeri);
    EXPECT_LT(e.ArgPeri, comet.ArgPeri * 1.075 * (1 + 1e-15));
    EXPECT_GE(e.MeanAnomaly, 1.5 * kPi);
    EXPECT_LT(e.MeanAnomaly, 1.65 * kPi);
  }
}

TEST(ParticleCloudTest, DrawsPerParticleFollowTheDistribution) {
  for (const auto& [distribution, draws] :
       std::vector<std::pair<int, int>>{{0, 40}, {1, 80}, {2, 80}, {3, 120}}) {
    RandomSource used, expected;
    SimulationRun run(used);
    run.Begin(Settings(50, distribution));
    for (int k = 0; k < draws; ++k) expected.RandomUnit();
    EXPECT_EQ(used.RandomSeed(), expected.RandomSeed()) << "distribution " << distribution;
  }
}

TEST(ParticleCloudTest, CatalogueIndexOneGivesTheMassiveBodiesAlone) {
  RandomSource random;
  SimulationRun run(random);
  run.Begin(Settings(4000, kUeberBahn, 1));
  EXPECT_EQ(run.State().BodyCount, kMassiveCount);
  EXPECT_EQ(random.RandomSeed(), 0u);
}

TEST(ParticleCloudTest, ATypedDistributionRefusesToStartAndDrawsNothing) {
  RandomSource random;
  SimulationRun run(random);
  RunSettings settings = Settings(50, -1);
  settings.DistributionText = "ueber Bahnx";
  try {
    run.Begin(settings);
    FAIL() << "no error";
  } catch (const RunError& e) {
    EXPECT_STREQ(e.what(), "'ueber Bahnx' is not a valid start distribution");
  }
  EXPECT_EQ(random.RandomSeed(), 0u);
}

std::vector<double> ParticlePositions(const RunState& s) {
  std::vector<double> out;
  for (int axis = 0; axis < 3; ++axis) {
    out.insert(out.end(), s.Pos(axis, 0) + kMassiveCount, s.Pos(axis, 0) + s.BodyCount);
  }
  return out;
}

TEST(ParticleCloudTest, ASecondRunDiffersAndAFreshStartRepeats) {
  RandomSource random, restarted;
  SimulationRun run(random), rerun(restarted);
  run.Begin(Settings(100, kLeichtVerstreut));
  const std::vector<double> first = ParticlePositions(run.State());
  run.Begin(Settings(100, kLeichtVerstreut));
  EXPECT_NE(ParticlePositions(run.State()), first);
  rerun.Begin(Settings(100, kLeichtVerstreut));
  EXPECT_EQ(ParticlePositions(rerun.State()), first);
}

TEST(ParticleCloudTest, AFullRunGivesTheSameBitsInEveryInstructionSet) {
  std::vector<std::vector<double>> results;
  ForEachIsa([&](Isa) {
    RandomSource random;
    SimulationRun run(random);
    run.Begin(Settings(1001, kStaerkerVerstreut));
    for (int k = 0; k < 20; ++k) {
      run.Step();
      run.FinishPass();
    }
    std::vector<double> state;
    for (int axis = 0; axis < 3; ++axis) {
      state.insert(state.end(), run.State().Pos(axis, 4), run.State().Pos(axis, 4) + 1001);
      state.insert(state.end(), run.State().Vel(axis, 4), run.State().Vel(axis, 4) + 1001);
    }
    results.push_back(state);
  });
  for (std::size_t k = 1; k < results.size(); ++k) {
    EXPECT_EQ(std::memcmp(results[0].data(), results[k].data(), results[0].size() * sizeof(double)), 0);
  }
}

}  // namespace
}  // namespace stelvo
