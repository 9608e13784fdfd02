#pragma once
// The regular step of the eighth-order multistep method (Stormer predictor,
// Cowell and Adams-Moulton correctors, predict-evaluate-correct-evaluate) and the
// history shift that follows every step.

#include "core/coefficients.h"
#include "core/run_state.h"
#include "core/worker_pool.h"

namespace stelvo {

// Reads position slots 3 and 4, velocity slot 4 and acceleration slots -3..4;
// writes the new point into slot 5 and sets CurrentSlot to 5. Throws
// ArithmeticError before accepting the new point if an evaluation divided by zero
// or overflowed, in whichever thread. The particles are shared among the pool's
// threads; the bits do not depend on how many there are.
void IntegrationStep(RunState& state, const IntegratorCoeffs& coeffs,
                     WorkerPool& pool = WorkerPool::Serial());

// Slot 5 -> 4 -> 3 for positions and velocities, accelerations one slot down.
void ShiftHistory(RunState& state);

}  // namespace stelvo
