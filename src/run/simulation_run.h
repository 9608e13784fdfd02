#pragma once
// One run from Start to Stop, driven one pass at a time so that the caller (the
// window's event loop or stelvo-cli) does its own work between passes:
//
//   run.Begin(settings);            // state cleared, bodies set, history filled
//   while (wanted) {
//     run.Step();                   // new point in slot CurrentSlot
//     draw(run.State());            // positions at CurrentSlot
//     run.FinishPass();             // SimDays advanced, history shifted
//   }
//
// Begin and Step throw RunError (ArithmeticError for a division by zero or an
// overflow); the last accepted state stays intact. Begin given a progress reports
// the start-up's passes into its current stage and throws RunCancelled after the
// pass in which a cancel was requested. The run state is sized by Begin
// for the body count asked for and reused while the count stays. The particle
// loops run on a pool of threads that lives as long as the SimulationRun (all cores
// unless SetThreads says otherwise); the bits do not depend on the thread count.

#include <memory>
#include <string>

#include "core/progress.h"
#include "core/run_state.h"
#include "core/worker_pool.h"

namespace stelvo {

class RandomSource;
struct IntegratorCoeffs;

struct RunSettings {
  int BodyCount = 4000;          // all bodies, the ten massive ones included: 10..MaxBodyCount
  int MaxBodyCount = kCapacity;  // the window's limit; batch runs go up to kMaxBodyCount
  double StepDays = 5;           // 0 < StepDays <= 100
  int CometIndex = 62;           // catalogue index; 1 gives a run without particles
  int Distribution = 0;          // start distribution 0..3; anything else refuses to start
  std::string DistributionText;  // what the user typed, for the refusal message
  // Start instant, years -3000..2999; the window's runs keep J2000. At another epoch
  // the massive bodies are the J2000 table integrated there (run/epoch_state.h).
  double EpochJD = 2451545.0;
};

class SimulationRun {
 public:
  // The random source carries over from run to run; by default the program-wide one.
  SimulationRun();
  explicit SimulationRun(RandomSource& random);
  ~SimulationRun();

  // Replaces the pool by one of threads threads (>= 1); not between Begin and the
  // end of the run's last pass.
  void SetThreads(int threads);
  int Threads() const { return pool_->Threads(); }
  // The run's threads, for work that goes with a step (the crossing scan).
  WorkerPool& Pool() { return *pool_; }

  // PlaceBodies then StartUp. The halves are public so that a test can alter the
  // initial state between them.
  void Begin(const RunSettings& settings, Progress* progress = nullptr);
  // Checks the settings, clears the state and writes every body's slot 0.
  void PlaceBodies(const RunSettings& settings);
  // Initial accelerations and start-up from slot 0; the run is then ready to Step.
  void StartUp(Progress* progress = nullptr);
  void Step();
  void FinishPass();

  const RunState& State() const { return *state_; }
  RunState& MutableState() { return *state_; }
  int StartupPasses() const { return startupPasses_; }

 private:
  RunStatePtr state_;
  std::unique_ptr<WorkerPool> pool_;
  std::unique_ptr<IntegratorCoeffs> coeffs_;
  RandomSource* random_;
  int startupPasses_ = 0;
};

}  // namespace stelvo
