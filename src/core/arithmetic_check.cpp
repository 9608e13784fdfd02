#include "core/arithmetic_check.h"

#include <cfenv>

#include "core/run_error.h"

namespace stelvo {

void ClearArithmeticFlags() { std::feclearexcept(FE_DIVBYZERO | FE_OVERFLOW); }

int RaisedArithmeticFlags() { return std::fetestexcept(FE_DIVBYZERO | FE_OVERFLOW); }

void ThrowOnArithmeticFlags(int alsoRaised) {
  const int raised = RaisedArithmeticFlags() | (alsoRaised & (FE_DIVBYZERO | FE_OVERFLOW));
  if (raised == 0) return;
  ClearArithmeticFlags();
  if (raised & FE_DIVBYZERO) throw ArithmeticError("Floating point division by zero");
  throw ArithmeticError("Floating point overflow");
}

}  // namespace stelvo
