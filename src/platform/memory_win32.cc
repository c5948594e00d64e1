// Large pages on Windows need a privilege that an ordinary user lacks and
// memory reserved for them up front, so no advice is given.
#include "platform/memory.h"

namespace lpgm::platform {

void AdviseLargePages(void*, std::size_t) {}

}  // namespace lpgm::platform
