#include "check/byte_reader.h"

#include <algorithm>
#include <cstring>

namespace lpgm::check {

ByteReader::ByteReader(platform::InputStream& stream, std::size_t buffer_size)
    : stream_(stream),
      buffer_(new char[std::max<std::size_t>(buffer_size, 16)]),
      capacity_(std::max<std::size_t>(buffer_size, 16)) {}

bool ByteReader::Refill() {
  if (failed_) return false;
  long n = stream_.Read(buffer_.get(), capacity_);
  if (n <= 0) {
    failed_ = n < 0;
    pos_ = end_ = 0;
    return false;
  }
  pos_ = 0;
  end_ = static_cast<std::size_t>(n);
  return true;
}

bool ByteReader::ReadLine(std::string* prefix, std::size_t keep,
                          std::size_t* whole_length) {
  prefix->clear();
  if (pos_ == end_ && !Refill()) return false;
  ++line_;
  std::size_t length = 0;
  for (;;) {
    if (pos_ == end_ && !Refill()) break;
    const char* start = buffer_.get() + pos_;
    const void* lf = std::memchr(start, '\n', end_ - pos_);
    std::size_t n =
        lf != nullptr
            ? static_cast<std::size_t>(static_cast<const char*>(lf) - start)
            : end_ - pos_;
    if (prefix->size() < keep)
      prefix->append(start, std::min(n, keep - prefix->size()));
    length += n;
    pos_ += n;
    if (lf != nullptr) {
      ++pos_;
      break;
    }
  }
  // A carriage return right before the line feed ends the line with it.
  if (length > 0 && length <= keep && prefix->back() == '\r') {
    prefix->pop_back();
    --length;
  }
  if (whole_length != nullptr) *whole_length = length;
  return true;
}

long StringInput::Read(char* buffer, std::size_t size) {
  std::size_t n = std::min(size, bytes_.size() - pos_);
  std::memcpy(buffer, bytes_.data() + pos_, n);
  pos_ += n;
  return static_cast<long>(n);
}

}  // namespace lpgm::check
