#include "run/particle_run.h"

#include <cmath>
#include <string>

#include "core/coefficients.h"
#include "core/gravity.h"
#include "core/integrator.h"
#include "core/run_error.h"
#include "core/startup.h"

namespace stelvo {

ParticleRun::ParticleRun()
    : state_(std::make_unique<RunState>()), coeffs_(std::make_unique<IntegratorCoeffs>()) {
  BuildCoefficientTables(*coeffs_);
}

ParticleRun::~ParticleRun() = default;

void ParticleRun::Begin(double epochJD, const MassiveStates& bodies,
                        std::span<const StateVector> particles, std::span<const double> sunFactors,
                        double stepDays) {
  if (particles.size() > static_cast<std::size_t>(kMaxParticles)) {
    throw RunError("A run holds at most " + std::to_string(kMaxParticles) + " particles");
  }
  if (!sunFactors.empty() && sunFactors.size() != particles.size()) {
    throw RunError("One Sun factor per particle");
  }
  if (!(stepDays != 0 && std::isfinite(stepDays))) throw RunError("The step must not be 0");
  RunState& s = *state_;
  s.ClearHistories();
  s.BodyCount = kMassiveCount + static_cast<int>(particles.size());
  s.StepDays = stepDays;
  s.EpochJD = epochJD;
  epochJD_ = epochJD;
  steps_ = 0;
  SetMassiveBodiesAt(s, bodies);
  const StateVector& sun = bodies[0];
  for (std::size_t k = 0; k < particles.size(); ++k) {
    const int row = kMassiveCount + static_cast<int>(k);
    const StateVector& p = particles[k];
    s.BodyGM()[row] = 0;
    SetInitialState(
        s, row,
        {p.x + sun.x, p.y + sun.y, p.z + sun.z, p.vx + sun.vx, p.vy + sun.vy, p.vz + sun.vz});
    if (!sunFactors.empty()) s.SunFactor()[row] = sunFactors[k];
  }
  InitialAccelerations(s);
  startupPasses_ = StartUpIteration(s, *coeffs_);
  s.SimDays = 4 * stepDays;
  s.CurrentSlot = kAcceptedSlot;
}

void ParticleRun::Step() { IntegrationStep(*state_, *coeffs_); }

void ParticleRun::FinishPass() {
  ++steps_;
  state_->SimDays = (steps_ + 4) * state_->StepDays;
  ShiftHistory(*state_);
}

StateVector ParticleRun::Heliocentric(int row, int slot) const {
  const RunState& s = *state_;
  return {s.Pos(kX, slot)[row] - s.Pos(kX, slot)[0], s.Pos(kY, slot)[row] - s.Pos(kY, slot)[0],
          s.Pos(kZ, slot)[row] - s.Pos(kZ, slot)[0], s.Vel(kX, slot)[row] - s.Vel(kX, slot)[0],
          s.Vel(kY, slot)[row] - s.Vel(kY, slot)[0], s.Vel(kZ, slot)[row] - s.Vel(kZ, slot)[0]};
}

}  // namespace stelvo
