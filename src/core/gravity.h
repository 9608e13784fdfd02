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
#include "core/worker_pool.h"

namespace stelvo {

// dx^2 + dy^2 + dz^2 rounded to double, then s * sqrt(s).
inline double CubedDistance(double dx, double dy, double dz) {
  const double s = dx * dx + dy * dy + dz * dz;
  return s * __builtin_sqrt(s);
}

// Squared distances (AU^2) for which a pair term takes InverseCubedDistance: from
// 1e-50 to 1e50 AU apart. Zero, infinite, NaN and other extreme distances take the
// division, which also raises the division-by-zero and overflow flags of such pairs.
inline constexpr double kFastSquaredMin = 1e-100, kFastSquaredMax = 1e100;

inline bool TakesFastPath(double s) { return (s >= kFastSquaredMin) & (s <= kFastSquaredMax); }

// s^(-3/2) for s within [kFastSquaredMin, kFastSquaredMax], built only from +, -, x
// and integer bit operations, so that every instruction set rounds it alike and no
// lane waits for the divider. Relative error at most about 2 units in the last place
// (swept against long double in the tests).
//
// First guess for 1/sqrt(s) from the bits of s (Lomont, C., 2003, "Fast Inverse Square
// Root", Purdue University, with his constant for doubles); three Newton steps
// y := y (3/2 - s/2 y^2) take its relative error from 3.4e-2 to about 3e-11. The cube
// w = y^3 is then corrected once through the residual rho = 1 - s^3 w^2, computed
// as 1 - (s w)^2 s: w := w + w rho/2. Its rounding errors, not y's, bound the result.
inline double InverseCubedDistance(double s) {
  const double half = 0.5 * s;
  double y = __builtin_bit_cast(
      double, 0x5fe6ec85e7de30daULL - (__builtin_bit_cast(unsigned long long, s) >> 1));
  y = y * (1.5 - half * y * y);
  y = y * (1.5 - half * y * y);
  y = y * (1.5 - half * y * y);
  const double w = y * y * y;
  const double sw = s * w;
  const double rho = 1.0 - sw * sw * s;
  return w + w * (0.5 * rho);
}

// The factor f of one pair term (acceleration += d * f) for a source of parameter gm
// at squared distance s: -gm / |d|^3.
inline double PairFactor(double gm, double s) {
  return TakesFastPath(s) ? -gm * InverseCubedDistance(s) : -gm / (s * __builtin_sqrt(s));
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
// by sunFactor[i] for particle i. The particles are shared among the pool's threads.
// Throws nothing: returns the IEEE flags the pool's workers raised, and the caller
// checks them together with its own (ThrowOnArithmeticFlags, arithmetic_check.h).
int GravityAcceleration(PositionSet positions, AccelerationSet accelerations, const double* gm,
                        const double* sunFactor, int bodyCount,
                        WorkerPool& pool = WorkerPool::Serial());

// Slot 0 accelerations of all bodies from slot 0 positions; returns like
// GravityAcceleration.
int InitialAccelerations(RunState& state, WorkerPool& pool = WorkerPool::Serial());

enum class Isa { kBaseline, kAvx2, kAvx512 };

Isa ActiveIsa();
// The best variant this processor runs; the default unless SelectIsa overrides it.
Isa BestSupportedIsa();
bool IsaSupported(Isa isa);
// Returns false (and changes nothing) if the processor lacks the instruction set.
bool SelectIsa(Isa isa);
std::string_view IsaName(Isa isa);  // "x86-64", "avx2", "avx512"

}  // namespace stelvo
