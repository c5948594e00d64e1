// The byte buffer of an input or output channel, or of the chunks of a file
// formatted ahead of its channel.
//
// A run reads and writes its files one after another (by at most two
// threads at a time), so it needs only a few such buffers at once, but
// makes new ones for every file. A buffer that is let go is kept and handed
// to the next one asking for a buffer of its capacity, and large buffers are
// placed on whole large pages: a fresh megabyte touched in 4 KiB pages costs
// 256 page faults, which on a virtual machine is milliseconds per file.
#ifndef LPGM_RECORD_CHANNEL_BUFFER_H_
#define LPGM_RECORD_CHANNEL_BUFFER_H_

#include <cstddef>

namespace lpgm {

class ChannelBuffer {
 public:
  // `size` bytes, at least 1; their content is unspecified. Throws
  // std::bad_alloc when no memory can be had.
  explicit ChannelBuffer(std::size_t size);
  // Keeps the buffer for a later one (a few in all), or frees it.
  ~ChannelBuffer();
  ChannelBuffer(const ChannelBuffer&) = delete;
  ChannelBuffer& operator=(const ChannelBuffer&) = delete;

  char* get() const { return data_; }
  char& operator[](std::size_t i) const { return data_[i]; }
  std::size_t size() const { return size_; }

 private:
  char* data_;
  std::size_t size_;
  std::size_t capacity_;  // what was allocated: size_ or more
};

}  // namespace lpgm

#endif  // LPGM_RECORD_CHANNEL_BUFFER_H_
