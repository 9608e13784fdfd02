#pragma once
// Shared by the tests that must give the same bits on every instruction set: runs a
// check once per instruction set this processor has, and restores the one chosen before.

#include "core/gravity.h"

namespace stelvo::testing {

inline constexpr Isa kEveryIsa[] = {Isa::kBaseline, Isa::kAvx2, Isa::kAvx512};

// Calls body(isa) with each instruction set of kEveryIsa the processor has selected;
// returns how many it had.
template <typename Body>
int ForEachIsa(Body body) {
  const Isa original = ActiveIsa();
  int selected = 0;
  for (Isa isa : kEveryIsa) {
    if (!SelectIsa(isa)) continue;
    ++selected;
    body(isa);
  }
  SelectIsa(original);
  return selected;
}

}  // namespace stelvo::testing
