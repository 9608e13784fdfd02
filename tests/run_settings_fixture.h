#pragma once
// Shared set-up for tests that drive a whole run: the selection of one Start.

#include <string>

#include "run/simulation_run.h"

namespace stelvo::testing {

// Bodies in all, a start distribution, a 5-day step, by default comet 62.
inline RunSettings Settings(int bodies, int distribution, int comet = 62) {
  RunSettings s;
  s.BodyCount = bodies;
  s.StepDays = 5;
  s.CometIndex = comet;
  s.Distribution = distribution;
  s.DistributionText = std::to_string(distribution);
  return s;
}

}  // namespace stelvo::testing
