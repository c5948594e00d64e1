#include "platform/kernel.h"

namespace lpgm::platform {

namespace {

Kernel AskProcessor() {
#if defined(__GNUC__) && defined(__x86_64__)
  if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
      __builtin_cpu_supports("bmi2"))
    return Kernel::kAvx2;
  return Kernel::kSse2;
#else
  return Kernel::kScalar;
#endif
}

}  // namespace

Kernel BestKernel() {
  static const Kernel best = AskProcessor();
  return best;
}

bool KernelRuns(Kernel kernel) {
  return static_cast<int>(kernel) <= static_cast<int>(BestKernel());
}

std::string_view KernelName(Kernel kernel) {
  switch (kernel) {
    case Kernel::kScalar:
      return "scalar";
    case Kernel::kSse2:
      return "sse2";
    case Kernel::kAvx2:
      return "avx2";
  }
  return "scalar";
}

}  // namespace lpgm::platform
