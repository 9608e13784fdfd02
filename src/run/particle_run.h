#pragma once
// A run of the ten massive bodies with given particles (a comet, or the grains of
// a dust trail) from any epoch, with a step that may be negative: the engine of
// the comet's own integration through time and of the trail runs. The caller looks
// at slots 4 (accepted) and 5 (new) between Step and FinishPass.

#include <memory>
#include <span>

#include "core/run_state.h"
#include "initial/orbit.h"
#include "run/epoch_state.h"

namespace stelvo {

struct IntegratorCoeffs;

class ParticleRun {
 public:
  ParticleRun();
  ~ParticleRun();
  ParticleRun(const ParticleRun&) = delete;
  ParticleRun& operator=(const ParticleRun&) = delete;

  // Particles are heliocentric states at epochJD, each with its factor (1 - beta) on
  // the Sun's attraction (empty: 1 for all) and its non-gravitational parameters
  // (empty: none; a comet's nucleus has them, its grains not); up to kMaxTrailParticles,
  // the run state grown to hold them. Throws RunError for more, ArithmeticError like
  // any run.
  void Begin(double epochJD, const MassiveStates& bodies, std::span<const StateVector> particles,
             std::span<const double> sunFactors, double stepDays,
             std::span<const NonGravParams> nonGrav = {});
  void Step();
  void FinishPass();

  // Julian dates of the accepted point (slot 4) and, after Step, of the new one (slot 5).
  double AcceptedJD() const { return epochJD_ + (steps_ + 4) * state_->StepDays; }
  double NewJD() const { return epochJD_ + (steps_ + 5) * state_->StepDays; }
  const RunState& State() const { return *state_; }
  int StartupPasses() const { return startupPasses_; }

  // Heliocentric state of array row `row` at `slot` (position and velocity minus the Sun's).
  StateVector Heliocentric(int row, int slot) const;

 private:
  RunStatePtr state_;
  std::unique_ptr<IntegratorCoeffs> coeffs_;
  double epochJD_ = 0;
  long long steps_ = 0;
  int startupPasses_ = 0;
};

}  // namespace stelvo
