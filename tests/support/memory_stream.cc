#include "support/memory_stream.h"

#include <algorithm>
#include <cstring>

namespace lpgm::testing {

MemoryInput::MemoryInput(MemoryInput&& other) noexcept
    : data_(other.data_),
      chunk_(other.chunk_),
      pos_(other.pos_),
      fail_at_(other.fail_at_) {
  // A view of the other's own copy follows that copy here.
  if (other.data_.data() == other.owned_.data()) {
    owned_ = std::move(other.owned_);
    data_ = owned_;
  }
}

long MemoryInput::Read(char* buffer, std::size_t size) {
  std::size_t n = std::min({size, chunk_, data_.size() - pos_});
  if (pos_ >= fail_at_ && size > 0) return -1;
  n = std::min(n, fail_at_ - pos_);
  std::memcpy(buffer, data_.data() + pos_, n);
  pos_ += n;
  return static_cast<long>(n);
}

bool MemoryOutput::Write(const char* data, std::size_t size) {
  if (data_.size() + size > fail_after_) return false;
  data_.append(data, size);
  writes_.push_back(size);
  return true;
}

bool CountingOutput::Write(const char*, std::size_t size) {
  *total_ += size;
  return true;
}

}  // namespace lpgm::testing
