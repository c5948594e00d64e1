// In-memory streams for the tests, the fuzz targets and the benchmarks: an
// input stream over a string (its own copy, or bytes that outlive it) that can
// hand its bytes out in small pieces or fail after a given number of bytes; an
// output stream that collects what is written and can fail on demand; and one
// that only counts what is written.
#ifndef LPGM_TESTS_SUPPORT_MEMORY_STREAM_H_
#define LPGM_TESTS_SUPPORT_MEMORY_STREAM_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/stream.h"

namespace lpgm::testing {

class MemoryInput : public platform::InputStream {
 public:
  // Each read hands out at most `chunk` bytes; 0 means as many as asked.
  explicit MemoryInput(std::string data, std::size_t chunk = 1 << 20)
      : owned_(std::move(data)), data_(owned_), chunk_(Chunk(chunk)) {}
  // Over `bytes` that outlive the stream, without a copy (large inputs of
  // the benchmarks, every input of a fuzz target).
  static MemoryInput Over(std::string_view bytes, std::size_t chunk = 0) {
    return MemoryInput(bytes, chunk);
  }
  MemoryInput(MemoryInput&& other) noexcept;
  MemoryInput(const MemoryInput&) = delete;
  MemoryInput& operator=(const MemoryInput&) = delete;
  MemoryInput& operator=(MemoryInput&&) = delete;

  long Read(char* buffer, std::size_t size) override;
  // The read that would pass this offset fails instead.
  void FailAt(std::size_t offset) { fail_at_ = offset; }
  std::size_t consumed() const { return pos_; }

 private:
  MemoryInput(std::string_view bytes, std::size_t chunk)
      : data_(bytes), chunk_(Chunk(chunk)) {}
  static std::size_t Chunk(std::size_t chunk) {
    return chunk == 0 ? static_cast<std::size_t>(-1) : chunk;
  }

  std::string owned_;
  std::string_view data_;  // owned_ or bytes that outlive the stream
  std::size_t chunk_;
  std::size_t pos_ = 0;
  std::size_t fail_at_ = static_cast<std::size_t>(-1);
};

class MemoryOutput : public platform::OutputStream {
 public:
  bool Write(const char* data, std::size_t size) override;
  bool Close() override {
    closed_ = true;
    return !fail_close_;
  }
  // Writes fail once this many bytes have been accepted.
  void FailAfter(std::size_t bytes) { fail_after_ = bytes; }
  void FailClose() { fail_close_ = true; }
  const std::string& data() const { return data_; }
  // The size of every accepted write, in order.
  const std::vector<std::size_t>& writes() const { return writes_; }
  bool closed() const { return closed_; }

 private:
  std::string data_;
  std::vector<std::size_t> writes_;
  std::size_t fail_after_ = static_cast<std::size_t>(-1);
  bool fail_close_ = false;
  bool closed_ = false;
};

// Takes whatever is written and keeps only its length in `*total`: output
// that costs nothing but the call.
class CountingOutput : public platform::OutputStream {
 public:
  explicit CountingOutput(std::size_t* total) : total_(total) {}
  bool Write(const char* data, std::size_t size) override;

 private:
  std::size_t* total_;
};

}  // namespace lpgm::testing

#endif  // LPGM_TESTS_SUPPORT_MEMORY_STREAM_H_
