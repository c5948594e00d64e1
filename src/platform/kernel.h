// Which vector code paths this processor can run, asked once per process.
// The choice is passed explicitly to the code that has several kernels, so
// tests can run every kernel the machine offers side by side.
#ifndef LPGM_PLATFORM_KERNEL_H_
#define LPGM_PLATFORM_KERNEL_H_

#include <string_view>

namespace lpgm::platform {

// Ordered by width: a processor that runs one kernel runs every kernel
// before it.
enum class Kernel { kScalar, kSse2, kAvx2 };

// The widest kernel this processor (and system) runs: kAvx2 needs AVX2,
// BMI1 and BMI2 with the AVX registers saved by the system; kSse2 is the
// x86-64 baseline; kScalar elsewhere. Asked once, then remembered.
Kernel BestKernel();

// Whether `kernel` runs here (kernel <= BestKernel()).
bool KernelRuns(Kernel kernel);

// "scalar", "sse2" or "avx2".
std::string_view KernelName(Kernel kernel);

}  // namespace lpgm::platform

#endif  // LPGM_PLATFORM_KERNEL_H_
