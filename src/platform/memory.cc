#include "platform/memory.h"

#include <sys/mman.h>

#include <cstdint>

namespace lpgm::platform {

void AdviseLargePages(void* begin, std::size_t size) {
  constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
  std::uintptr_t first = reinterpret_cast<std::uintptr_t>(begin);
  std::uintptr_t last = first + size;
  first = (first + kLargePage - 1) & ~(kLargePage - 1);
  last &= ~(kLargePage - 1);
  if (last <= first) return;
#ifdef MADV_HUGEPAGE
  (void)madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
}

}  // namespace lpgm::platform
