#include "platform/posix_io.h"

#include <unistd.h>

#include <cerrno>

namespace lpgm::platform {

long ReadRetrying(int fd, char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t count = read(fd, buffer, size);
    if (count >= 0) return static_cast<long>(count);
    if (errno != EINTR) return -1;
  }
}

std::size_t WriteAll(int fd, const char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t count = write(fd, data + done, size - done);
    if (count < 0) {
      if (errno == EINTR) continue;
      break;
    }
    done += static_cast<std::size_t>(count);
  }
  return done;
}

}  // namespace lpgm::platform
