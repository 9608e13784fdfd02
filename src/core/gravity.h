#pragma once
// The one acceleration rule of a run: Newtonian point-mass gravity of the ten
// massive bodies on every body, applied to one set of positions and written to one
// set of accelerations. InitialAccelerations, the start-up and both evaluations of
// a step all call GravityAcceleration with their own source and destination.
//
// The particle loops exist in one plain x86-64 variant and in AVX2 and AVX-512
// variants chosen at run time (kernels.h); every variant gives the same bits.

#include <string_view>

#include "core/run_state.h"

namespace stelvo {

// dx^2 + dy^2 + dz^2 rounded to double, then s * sqrt(s).
inline double CubedDistance(double dx, double dy, double dz) {
  const double s = dx * dx + dy * dy + dz * dz;
  return s * __builtin_sqrt(s);
}

struct PositionSet {
  const double* x;
  const double* y;
  const double* z;
};
struct AccelerationSet {
  double* x;
  double* y;
  double* z;
};

// Bodies 1..bodyCount (indices 0..bodyCount-1, bodyCount >= 10); sources are
// bodies 1..10 with GM from gm, skipping only the self-pair; the Sun's GM is scaled
// by sunFactor[i] for particle i. Reports nothing: the caller checks the
// floating-point flags (see arithmetic_check.h).
void GravityAcceleration(PositionSet positions, AccelerationSet accelerations,
                         const double* gm, const double* sunFactor, int bodyCount);

// Slot 0 accelerations of all bodies from slot 0 positions. Throws ArithmeticError
// if the evaluation divided by zero or overflowed.
void InitialAccelerations(RunState& state);

enum class Isa { kBaseline, kAvx2, kAvx512 };

Isa ActiveIsa();
// The best variant this processor runs; the default unless SelectIsa overrides it.
Isa BestSupportedIsa();
bool IsaSupported(Isa isa);
// Returns false (and changes nothing) if the processor lacks the instruction set.
bool SelectIsa(Isa isa);
std::string_view IsaName(Isa isa);  // "x86-64", "avx2", "avx512"

}  // namespace stelvo
