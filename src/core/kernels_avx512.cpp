// The step's particle loops for the avx512 instruction set (flags in CMakeLists.txt).
#define STELVO_KERNEL_SET kAvx512Kernels
#include "core/kernels.inc"
