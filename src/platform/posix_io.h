// Reads and writes on POSIX descriptors that a signal cannot cut short.
#ifndef LPGM_PLATFORM_POSIX_IO_H_
#define LPGM_PLATFORM_POSIX_IO_H_

#include <cstddef>

namespace lpgm::platform {

// One read(2) of up to `size` bytes, repeated while a signal interrupts it.
// Returns the bytes read, 0 at the end, or -1 when the read fails.
long ReadRetrying(int fd, char* buffer, std::size_t size);

// Writes all `size` bytes, through as many write(2) calls as it takes.
// Returns the bytes written: `size`, or fewer when a write failed.
std::size_t WriteAll(int fd, const char* data, std::size_t size);

}  // namespace lpgm::platform

#endif  // LPGM_PLATFORM_POSIX_IO_H_
