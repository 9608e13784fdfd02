#pragma once
// Shared set-up for tests of the ten massive bodies at the epoch.

#include <memory>

#include "core/coefficients.h"
#include "core/gravity.h"
#include "core/run_state.h"
#include "initial/planets.h"

namespace stelvo::testing {

// A run state with the ten massive bodies in slot 0 and their initial accelerations.
inline std::unique_ptr<RunState> TenBodiesAtEpoch(double stepDays = 1) {
  auto state = std::make_unique<RunState>();
  state->ClearHistories();
  state->BodyCount = kMassiveCount;
  state->StepDays = stepDays;
  SetMassiveBodies(*state);
  InitialAccelerations(*state);
  return state;
}

inline IntegratorCoeffs BuiltCoefficients() {
  IntegratorCoeffs c;
  BuildCoefficientTables(c);
  return c;
}

}  // namespace stelvo::testing
