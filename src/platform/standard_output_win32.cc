// Standard output and error by WriteFile on their handles, whatever they are: a
// console receives the bytes as they are, like a file or a pipe.
#include <windows.h>

#include "platform/standard_output.h"

namespace lpgm::platform {
namespace {

constexpr std::size_t kMaxTransfer = 1 << 20;

class RawOutput : public OutputStream {
 public:
  explicit RawOutput(DWORD which) : which_(which) {}
  bool Write(const char* data, std::size_t size) override {
    HANDLE handle = GetStdHandle(which_);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return size == 0;
    while (size > 0) {
      const DWORD chunk =
          static_cast<DWORD>(size < kMaxTransfer ? size : kMaxTransfer);
      DWORD written = 0;
      if (!WriteFile(handle, data, chunk, &written, nullptr) || written == 0) {
        return false;
      }
      data += written;
      size -= written;
    }
    return true;
  }

 private:
  DWORD which_;
};

}  // namespace

OutputStream& RawStandardOutput() {
  static RawOutput out(STD_OUTPUT_HANDLE);
  return out;
}

OutputStream& RawStandardError() {
  static RawOutput err(STD_ERROR_HANDLE);
  return err;
}

}  // namespace lpgm::platform
