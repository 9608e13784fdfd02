#pragma once
// The start-up of the multistep method: builds the history at slots -4..4 around
// the initial state (slot 0) by iteration, with no single-step method, until the
// nine values of every body at slot 4 settle to 1e-12, or after 51 passes.

#include "core/coefficients.h"
#include "core/run_state.h"

namespace stelvo {

inline constexpr double kStartupTolerance = 1e-12;
inline constexpr int kStartupPassLimit = 51;

// Needs slot 0 of positions, velocities and accelerations; leaves slot 0 as it
// was. Returns the number of passes made. Throws ArithmeticError like a step, and
// "Floating point invalid operation" if a slot-4 value is not finite (which only a
// non-finite initial state can cause): such a value never counts as settled.
// A lower pass limit serves tests that look at an early pass.
int StartUpIteration(RunState& state, const IntegratorCoeffs& coeffs,
                     int passLimit = kStartupPassLimit);

}  // namespace stelvo
