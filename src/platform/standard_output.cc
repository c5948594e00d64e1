#include "platform/standard_output.h"

#include <unistd.h>

#include "platform/posix_io.h"

namespace lpgm::platform {
namespace {

class RawOutput : public OutputStream {
 public:
  explicit RawOutput(int fd) : fd_(fd) {}
  bool Write(const char* data, std::size_t size) override {
    return WriteAll(fd_, data, size) == size;
  }

 private:
  int fd_;
};

}  // namespace

OutputStream& RawStandardOutput() {
  static RawOutput out(STDOUT_FILENO);
  return out;
}

OutputStream& RawStandardError() {
  static RawOutput err(STDERR_FILENO);
  return err;
}

}  // namespace lpgm::platform
