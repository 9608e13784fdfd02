// The particle loop for the baseline instruction set (flags set in CMakeLists.txt).
#include "core/gravity_kernel.h"

#define STELVO_PARTICLE_KERNEL ParticlesBaseline
#include "core/gravity_kernel.inc"
