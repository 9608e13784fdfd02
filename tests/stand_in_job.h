#pragma once
// A long computation for the background-task tests: a run of `steps` steps with its
// own random source, reporting its start-up and steps, whose result is a digest of
// every body's final position and velocity.

#include <cstdint>
#include <cstring>
#include <functional>

#include "core/progress.h"
#include "initial/random_unit.h"
#include "run/simulation_run.h"

namespace stelvo::testing {

// FNV-1a over the bits of slot 4's positions and velocities.
inline std::uint64_t StateDigest(const RunState& s) {
  std::uint64_t h = 1469598103934665603ull;
  for (int axis = 0; axis < 3; ++axis) {
    for (const double* values : {s.Pos(axis, 4), s.Vel(axis, 4)}) {
      for (int i = 0; i < s.BodyCount; ++i) {
        std::uint64_t bits;
        std::memcpy(&bits, &values[i], sizeof bits);
        for (int b = 0; b < 8; ++b) h = (h ^ ((bits >> (8 * b)) & 0xff)) * 1099511628211ull;
      }
    }
  }
  return h;
}

// Runs the computation; with a progress, reports into it and stops when cancelled.
inline std::uint64_t RunDigest(int bodies, int steps, Progress* progress) {
  RandomSource random;
  SimulationRun run(random);
  RunSettings settings;
  settings.BodyCount = bodies;
  if (progress) progress->BeginStage("start-up", 0, 0.1);
  run.Begin(settings, progress);
  if (progress) progress->BeginStage("steps", 0.1, 1);
  for (int k = 0; k < steps; ++k) {
    run.Step();
    run.FinishPass();
    ReportProgress(progress, double(k + 1) / steps, run.State().EpochJD + run.State().SimDays);
  }
  return StateDigest(run.State());
}

// The job as a window starts it: the digest lands in `result` on the window's thread.
inline std::function<std::function<void()>(Progress&)> DigestJob(int bodies, int steps,
                                                                 std::uint64_t* result) {
  return [=](Progress& progress) -> std::function<void()> {
    const std::uint64_t digest = RunDigest(bodies, steps, &progress);
    return [=] { *result = digest; };
  };
}

}  // namespace stelvo::testing
