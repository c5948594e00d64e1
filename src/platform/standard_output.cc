#include "platform/standard_output.h"

#include <unistd.h>

#include "platform/posix_io.h"

namespace lpgm::platform {
namespace {

class RawOutput : public OutputStream {
 public:
  bool Write(const char* data, std::size_t size) override {
    return WriteAll(STDOUT_FILENO, data, size) == size;
  }
};

}  // namespace

OutputStream& RawStandardOutput() {
  static RawOutput out;
  return out;
}

}  // namespace lpgm::platform
