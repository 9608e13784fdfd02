#pragma once
// The regular step of the eighth-order multistep method (Stormer predictor,
// Cowell and Adams-Moulton correctors, predict-evaluate-correct-evaluate) and the
// history shift that follows every step.

#include "core/coefficients.h"
#include "core/run_state.h"

namespace stelvo {

// Reads position slots 3 and 4, velocity slot 4 and acceleration slots -3..4;
// writes the new point into slot 5 and sets CurrentSlot to 5. Throws
// ArithmeticError before accepting the new point if an evaluation divided by zero
// or overflowed.
void IntegrationStep(RunState& state, const IntegratorCoeffs& coeffs);

// Slot 5 -> 4 -> 3 for positions and velocities, accelerations one slot down.
void ShiftHistory(RunState& state);

}  // namespace stelvo
