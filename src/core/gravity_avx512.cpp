// The particle loop for the avx512 instruction set (flags set in CMakeLists.txt).
#include "core/gravity_kernel.h"

#define STELVO_PARTICLE_KERNEL ParticlesAvx512
#include "core/gravity_kernel.inc"
