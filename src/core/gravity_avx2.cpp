// The particle loop for the avx2 instruction set (flags set in CMakeLists.txt).
#include "core/gravity_kernel.h"

#define STELVO_PARTICLE_KERNEL ParticlesAvx2
#include "core/gravity_kernel.inc"
