#pragma once
// Internal to the engine: the loops over particles of a regular step (predictor,
// correctors, force evaluation), compiled once per instruction set and chosen at
// run time. Every variant gives the same bits: only bodies are spread across
// vector lanes, and each body's own sums keep their order.

#include "core/gravity.h"
#include "core/nongrav.h"
#include "core/run_state.h"

namespace stelvo {

// Positions and GM of the ten attracting bodies at one instant, copied out of the
// arrays so that the particle loop reads them as broadcast constants.
// sunFactor is the per-body factor on the Sun's term (RunState::SunFactor), indexed
// like the target arrays.
struct Sources {
  double x[kMassiveCount], y[kMassiveCount], z[kMassiveCount], gm[kMassiveCount];
  const double* sunFactor;
};

// Eight acceleration ordinates of one coordinate, newest first.
struct Ordinates {
  const double* a[8];
};

struct Kernels {
  // Accelerations of bodies begin..end-1 (array indices) from the ten sources.
  void (*accelerations)(const Sources& s, const double* px, const double* py, const double* pz,
                        double* ax, double* ay, double* az, int begin, int end);
  // Stormer predictor: p5 = h*h * sum(w[j] * a_j) + (2 * p4 - p3).
  void (*predict)(const Ordinates& o, const double* w, double hh, const double* p3,
                  const double* p4, double* p5, int begin, int end);
  // Cowell and Adams-Moulton correctors from the same ordinates.
  void (*correct)(const Ordinates& o, const double* wPos, const double* wVel, double h,
                  const double* p3, const double* p4, const double* v4, double* corrPos,
                  double* corrVel, int begin, int end);
};

extern const Kernels kBaselineKernels;
extern const Kernels kAvx2Kernels;
extern const Kernels kAvx512Kernels;

// The set of the instruction set chosen by SelectIsa (gravity.h).
const Kernels& ActiveKernels();

// The first ten bodies of a position set as sources.
Sources SourcesFrom(PositionSet positions, const double* gm, const double* sunFactor);
// The ten massive bodies attract each other: every pair but the self-pair.
void MassiveAccelerations(const Sources& sources, AccelerationSet accelerations);

// The non-gravitational view of one history slot whose positions and velocities are
// both known (the initial point, the start-up's slots): plane and distance from it.
NonGravInstant SlotInstant(const RunState& state, int slot);
// Adds the non-gravitational accelerations of the listed bodies in [begin, end) at
// one history slot (SlotInstant).
void AddNonGravAtSlot(RunState& state, int slot, int begin, int end);

}  // namespace stelvo
