#pragma once
// A division by zero or an overflow anywhere in a force evaluation or a step ends
// the run. The hardware's sticky IEEE flags catch every such operation, scalar or
// vector; the loops have no padding lanes that could raise a false alarm. The flags
// belong to each thread: a worker of the pool clears and reads its own (worker_pool.h).

namespace stelvo {

// Clears the calling thread's division-by-zero and overflow flags.
void ClearArithmeticFlags();
// Which of the two the calling thread raised since it last cleared them.
int RaisedArithmeticFlags();
// Throws ArithmeticError "Floating point division by zero" or "Floating point
// overflow" if the calling thread raised the flag since the last
// ClearArithmeticFlags, or if alsoRaised (flags the pool's workers raised) holds it.
// Division by zero takes precedence, whichever thread raised what.
void ThrowOnArithmeticFlags(int alsoRaised = 0);

}  // namespace stelvo
