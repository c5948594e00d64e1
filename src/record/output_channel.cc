#include "record/output_channel.h"

#include "record/failure.h"

namespace lpgm {

OutputChannel::OutputChannel(platform::OutputStream& stream, int unit,
                             std::string name, std::size_t buffer_size)
    : stream_(stream),
      unit_(unit),
      name_(std::move(name)),
      buffer_(buffer_size < 64 ? 64 : buffer_size),
      capacity_(buffer_size < 64 ? 64 : buffer_size) {}

void OutputChannel::Fail(int number) const {
  throw RunStop::RecordFailure(number, unit_, name_);
}

void OutputChannel::Append(std::string_view text) {
  while (!text.empty()) {
    if (size_ == capacity_) Flush();
    std::size_t n = std::min(capacity_ - size_, text.size());
    std::memcpy(buffer_.get() + size_, text.data(), n);
    size_ += n;
    text.remove_prefix(n);
  }
}

void OutputChannel::MakeRoom(std::size_t n) {
  if (n > capacity_) Fail(kErrWrite);
  Flush();
}

void OutputChannel::Flush() {
  if (size_ == 0) return;
  std::size_t n = size_;
  size_ = 0;
  if (!stream_.Write(buffer_.get(), n)) Fail(kErrWrite);
}

void OutputChannel::WriteBlock(std::string_view block) {
  Flush();
  if (block.empty()) return;
  if (!stream_.Write(block.data(), block.size())) Fail(kErrWrite);
}

void OutputChannel::Close() {
  if (closed_) return;
  Flush();
  closed_ = true;
  if (!stream_.Close()) Fail(kErrWrite);
}

}  // namespace lpgm
