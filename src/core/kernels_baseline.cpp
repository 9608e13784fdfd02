// The step's particle loops for the baseline instruction set (flags in CMakeLists.txt).
#define STELVO_KERNEL_SET kBaselineKernels
#include "core/kernels.inc"
