#include "platform/processors.h"

#include <thread>

#if defined(__linux__)
#include <sched.h>
#endif

namespace lpgm::platform {

int UsableProcessors() {
#if defined(__linux__)
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0) {
    int n = CPU_COUNT(&set);
    return n > 0 ? n : 1;
  }
#endif
  unsigned n = std::thread::hardware_concurrency();
  return n > 0 ? static_cast<int>(n) : 1;
}

}  // namespace lpgm::platform
