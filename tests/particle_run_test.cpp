#include "run/particle_run.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/run_error.h"
#include "initial/constants.h"

namespace stelvo {
namespace {

std::vector<StateVector> Ring(int count) {
  std::vector<StateVector> grains(count);
  for (int k = 0; k < count; ++k) {
    const double r = 2.0 + 1e-6 * k;
    grains[k] = {r, 0, 0, 0, 0.0121, 0};  // near-circular at 2 AU
  }
  return grains;
}

TEST(ParticleRun, TheRunStateHoldsWhatIsAskedBeyondTheWindowsLimit) {
  ParticleRun run;
  const MassiveStates bodies = MassiveTable();
  run.Begin(kEpochJD, bodies, Ring(25000), {}, 1);
  EXPECT_EQ(run.State().Capacity(), kMassiveCount + 25000);
  EXPECT_EQ(run.State().BodyCount, kMassiveCount + 25000);
  run.Step();
  run.FinishPass();
  // The last grain started at 2.025 AU and went on for five days.
  EXPECT_NEAR(run.Heliocentric(kMassiveCount + 24999, 4).x, 2.024, 0.001);
  // A smaller trail keeps the room it has.
  run.Begin(kEpochJD, bodies, Ring(100), {}, 1);
  EXPECT_EQ(run.State().Capacity(), kMassiveCount + 25000);
  EXPECT_EQ(run.State().BodyCount, kMassiveCount + 100);
}

TEST(ParticleRun, MoreThanAMillionGrainsAreRefused) {
  ParticleRun run;
  const std::vector<StateVector> grains(kMaxTrailParticles + 1, StateVector{2, 0, 0, 0, 0.0121, 0});
  EXPECT_THROW(run.Begin(kEpochJD, MassiveTable(), grains, {}, 1), RunError);
  EXPECT_EQ(run.State().Capacity(), kMassiveCount);
}

}  // namespace
}  // namespace stelvo
