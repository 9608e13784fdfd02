// The step's particle loops for the avx2 instruction set (flags in CMakeLists.txt).
#define STELVO_KERNEL_SET kAvx2Kernels
#include "core/kernels.inc"
