#include "run/simulation_run.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/arithmetic_check.h"
#include "core/coefficients.h"
#include "core/gravity.h"
#include "core/integrator.h"
#include "core/run_error.h"
#include "core/startup.h"
#include "data/comet_catalogue.h"
#include "initial/bahn_element.h"
#include "initial/constants.h"
#include "initial/particle_cloud.h"
#include "initial/planets.h"
#include "run/epoch_state.h"

namespace stelvo {

namespace {
// The catalogue entry whose selection gives a run of the ten massive bodies alone.
constexpr int kNoParticlesCometIndex = 1;
constexpr double kMaxStepDays = 100;

void CheckSettings(const RunSettings& s) {
  const int limit = std::clamp(s.MaxBodyCount, kMassiveCount, kMaxBodyCount);
  if (s.BodyCount < kMassiveCount || s.BodyCount > limit) {
    throw RunError("The body count must lie between 10 and " + std::to_string(limit));
  }
  if (!(s.StepDays > 0 && s.StepDays <= kMaxStepDays)) {
    throw RunError("The step width must lie above 0 and at most 100 days");
  }
  if (s.CometIndex < 0 || s.CometIndex >= kCometCount) {
    throw RunError("The comet index must lie between 0 and 587");
  }
  // A run without particles never reads the distribution, so typed text there is harmless.
  const bool hasParticles = s.CometIndex != kNoParticlesCometIndex && s.BodyCount > kMassiveCount;
  if (hasParticles) CheckStartDistribution(s.Distribution, s.DistributionText);
  CheckEpoch(s.EpochJD);
}

// Particles are set up heliocentrically; away from J2000 the Sun has left the origin.
void MoveParticlesWithTheSun(RunState& s) {
  for (int axis = 0; axis < 3; ++axis) {
    double* p = s.Pos(axis, 0);
    double* v = s.Vel(axis, 0);
    for (int row = s.MassiveCount; row < s.BodyCount; ++row) {
      p[row] = p[row] + p[0];
      v[row] = v[row] + v[0];
    }
  }
}
}  // namespace

SimulationRun::SimulationRun() : SimulationRun(ProgramRandom()) {}

SimulationRun::SimulationRun(RandomSource& random)
    : state_(std::make_unique<RunState>(kMassiveCount)),
      pool_(std::make_unique<WorkerPool>(WorkerPool::AllCores())),
      coeffs_(std::make_unique<IntegratorCoeffs>()),
      random_(&random) {}

SimulationRun::~SimulationRun() = default;

void SimulationRun::SetThreads(int threads) {
  if (threads == pool_->Threads()) return;
  pool_.reset();
  pool_ = std::make_unique<WorkerPool>(threads);
}

void SimulationRun::Begin(const RunSettings& settings, Progress* progress) {
  PlaceBodies(settings);
  StartUp(progress);
}

void SimulationRun::PlaceBodies(const RunSettings& settings) {
  CheckSettings(settings);
  RunState& s = *state_;
  if (s.Capacity() != settings.BodyCount) {
    s.Resize(settings.BodyCount);  // arrives cleared
  } else {
    s.ClearHistories();
  }
  s.BodyCount = settings.BodyCount;
  s.StepDays = settings.StepDays;
  BuildCoefficientTables(*coeffs_);
  s.EpochJD = settings.EpochJD;
  const bool atJ2000 = s.EpochJD == kEpochJD;
  if (atJ2000) {
    SetMassiveBodies(s);
  } else {
    SetMassiveBodiesAt(s, MassiveBodiesAt(s.EpochJD));
  }
  if (settings.CometIndex == kNoParticlesCometIndex) s.BodyCount = s.MassiveCount;
  BahnElement cometElements;
  for (int row = s.MassiveCount; row < s.BodyCount; ++row) {
    s.BodyGM()[row] = 0;
    InitParticle(s, row, s.EpochJD, settings.CometIndex, settings.Distribution, *random_,
                 cometElements);
  }
  if (!atJ2000) MoveParticlesWithTheSun(s);
}

void SimulationRun::StartUp(Progress* progress) {
  RunState& s = *state_;
  InitialAccelerations(s, *pool_);
  startupPasses_ = StartUpIteration(s, *coeffs_, kStartupPassLimit, *pool_, progress);
  s.SimDays = 4 * s.StepDays;
  s.CurrentSlot = kAcceptedSlot;
}

void SimulationRun::Step() { IntegrationStep(*state_, *coeffs_, *pool_); }

void SimulationRun::FinishPass() {
  state_->SimDays = state_->SimDays + state_->StepDays;
  ShiftHistory(*state_);
}

}  // namespace stelvo
