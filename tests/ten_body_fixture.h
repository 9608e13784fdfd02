#pragma once
// Shared set-up for tests of the ten massive bodies at the epoch.

#include <memory>
#include <string>

#include "core/coefficients.h"
#include "core/gravity.h"
#include "core/run_error.h"
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

// Gives body `to` body `from`'s whole stored history (positions, velocities and
// accelerations in every slot), so that the next step predicts both at one place.
inline void CopyHistory(RunState& s, int to, int from) {
  for (int axis = kX; axis <= kZ; ++axis) {
    for (int slot = kMinPosSlot; slot <= kMaxPosSlot; ++slot) {
      s.Pos(axis, slot)[to] = s.Pos(axis, slot)[from];
      s.Vel(axis, slot)[to] = s.Vel(axis, slot)[from];
    }
    for (int slot = kMinAccSlot; slot <= kMaxAccSlot; ++slot) {
      s.Acc(axis, slot)[to] = s.Acc(axis, slot)[from];
    }
  }
}

// The text of the arithmetic error that `action` raises, or an empty text.
template <typename Action>
std::string ArithmeticErrorText(Action action) {
  try {
    action();
  } catch (const ArithmeticError& e) {
    return e.what();
  }
  return "";
}

inline IntegratorCoeffs BuiltCoefficients() {
  IntegratorCoeffs c;
  BuildCoefficientTables(c);
  return c;
}

}  // namespace stelvo::testing
