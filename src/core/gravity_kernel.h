#pragma once
// Internal to the force model: the particle loop, compiled once per instruction set.

#include "core/gravity.h"

namespace stelvo::gravity_detail {

// Positions and GM of the ten attracting bodies, copied out of the arrays so that
// the particle loop reads them as broadcast constants.
struct Sources {
  double x[kMassiveCount], y[kMassiveCount], z[kMassiveCount], gm[kMassiveCount];
};

// Accelerations of bodies begin..end-1 (array indices) from the ten sources.
#define STELVO_PARTICLE_KERNEL_PARAMS                                                 \
  const Sources &, const double *, const double *, const double *, double *, double *, \
      double *, int, int
using ParticleKernel = void (*)(STELVO_PARTICLE_KERNEL_PARAMS);

void ParticlesBaseline(STELVO_PARTICLE_KERNEL_PARAMS);
void ParticlesAvx2(STELVO_PARTICLE_KERNEL_PARAMS);
void ParticlesAvx512(STELVO_PARTICLE_KERNEL_PARAMS);

}  // namespace stelvo::gravity_detail
