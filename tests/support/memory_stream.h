// In-memory streams for tests: an input stream over a string that can hand its
// bytes out in small pieces or fail after a given number of bytes, and an
// output stream that collects what is written and can fail on demand.
#ifndef LPGM_TESTS_SUPPORT_MEMORY_STREAM_H_
#define LPGM_TESTS_SUPPORT_MEMORY_STREAM_H_

#include <cstddef>
#include <string>

#include "platform/stream.h"

namespace lpgm::testing {

class MemoryInput : public platform::InputStream {
 public:
  explicit MemoryInput(std::string data, std::size_t chunk = 1 << 20)
      : data_(std::move(data)), chunk_(chunk) {}
  long Read(char* buffer, std::size_t size) override;
  // The read that would pass this offset fails instead.
  void FailAt(std::size_t offset) { fail_at_ = offset; }
  std::size_t consumed() const { return pos_; }

 private:
  std::string data_;
  std::size_t chunk_;
  std::size_t pos_ = 0;
  std::size_t fail_at_ = static_cast<std::size_t>(-1);
};

class MemoryOutput : public platform::OutputStream {
 public:
  bool Write(const char* data, std::size_t size) override;
  bool Close() override { closed_ = true; return !fail_close_; }
  // Writes fail once this many bytes have been accepted.
  void FailAfter(std::size_t bytes) { fail_after_ = bytes; }
  void FailClose() { fail_close_ = true; }
  const std::string& data() const { return data_; }
  bool closed() const { return closed_; }

 private:
  std::string data_;
  std::size_t fail_after_ = static_cast<std::size_t>(-1);
  bool fail_close_ = false;
  bool closed_ = false;
};

}  // namespace lpgm::testing

#endif  // LPGM_TESTS_SUPPORT_MEMORY_STREAM_H_
