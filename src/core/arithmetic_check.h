#pragma once
// A division by zero or an overflow anywhere in a force evaluation or a step ends
// the run. The hardware's sticky IEEE flags catch every such operation, scalar or
// vector; the loops have no padding lanes that could raise a false alarm.

namespace stelvo {

void ClearArithmeticFlags();
// Throws ArithmeticError "Floating point division by zero" or "Floating point
// overflow" if the flag was raised since the last ClearArithmeticFlags.
void ThrowOnArithmeticFlags();

}  // namespace stelvo
