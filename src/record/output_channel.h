// Writing records to a byte stream through one large buffer.
//
// Records end with CR LF. The stream is closed at the end (an existing file
// then ends after what this run wrote). Any failure of the stream ends the run
// with failure 38 on this channel.
#ifndef LPGM_RECORD_OUTPUT_CHANNEL_H_
#define LPGM_RECORD_OUTPUT_CHANNEL_H_

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "platform/stream.h"
#include "record/channel_buffer.h"

namespace lpgm {

class OutputChannel {
 public:
  static constexpr std::size_t kDefaultBufferSize = 1 << 20;

  OutputChannel(platform::OutputStream& stream, int unit, std::string name,
                std::size_t buffer_size = kDefaultBufferSize);
  OutputChannel(const OutputChannel&) = delete;
  OutputChannel& operator=(const OutputChannel&) = delete;

  int unit() const { return unit_; }
  const std::string& name() const { return name_; }

  // Room for n contiguous bytes, to be filled and then taken with Commit.
  // Asking for more than the buffer holds is a fault of the caller: it ends
  // the run with failure 38 rather than write past the buffer.
  char* Reserve(std::size_t n) {
    if (capacity_ - size_ < n) MakeRoom(n);
    return buffer_.get() + size_;
  }
  void Commit(std::size_t n) { size_ += n; }
  void Append(std::string_view text);
  void Append(char c) {
    if (size_ == capacity_) Flush();
    buffer_[size_++] = c;
  }
  void EndRecord() {
    char* p = Reserve(2);
    p[0] = '\r';
    p[1] = '\n';
    Commit(2);
  }
  std::size_t capacity() const { return capacity_; }
  // Bytes that fit before the buffer must be handed to the stream.
  std::size_t free_space() const { return capacity_ - size_; }

  // Hands the buffered bytes to the stream, then `block` in one write of its
  // own: for a block prepared elsewhere that could not share the buffer with
  // what follows it.
  void WriteBlock(std::string_view block);

  // Hands the buffered bytes to the stream.
  void Flush();
  // Flushes and closes the stream.
  void Close();

  [[noreturn]] void Fail(int number) const;

 private:
  void MakeRoom(std::size_t n);

  platform::OutputStream& stream_;
  int unit_;
  std::string name_;
  ChannelBuffer buffer_;
  std::size_t capacity_;
  std::size_t size_ = 0;
  bool closed_ = false;
};

}  // namespace lpgm

#endif  // LPGM_RECORD_OUTPUT_CHANNEL_H_
