// Memory advice to the operating system.
#ifndef LPGM_PLATFORM_MEMORY_H_
#define LPGM_PLATFORM_MEMORY_H_

#include <cstddef>

namespace lpgm::platform {

// Asks for the whole 2 MiB pages inside [begin, begin + size) to be backed by
// large pages when they are first touched, so that filling a large table
// costs a few page faults instead of thousands. Only advice: nothing happens
// where the system does not offer it.
void AdviseLargePages(void* begin, std::size_t size);

}  // namespace lpgm::platform

#endif  // LPGM_PLATFORM_MEMORY_H_
