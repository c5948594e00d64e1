#include "record/input_channel.h"

#include <cstring>

#include "record/failure.h"

namespace lpgm {

InputChannel::InputChannel(platform::InputStream& stream, int unit,
                           std::string name, std::size_t buffer_size)
    : stream_(stream),
      unit_(unit),
      name_(std::move(name)),
      buffer_(buffer_size < 16 ? 16 : buffer_size),
      capacity_(buffer_size < 16 ? 16 : buffer_size) {}

void InputChannel::Fail(int number) const {
  long line = number == kErrEndOfFile ? records_begun_ + 1 : records_begun_;
  throw RunStop::RecordFailure(number, unit_, name_, line);
}

// Keeps the unread bytes, moved to the front, and reads more after them with
// one read of the stream: a console delivers a line per read, and a second
// read would wait for the next line. Returns false when no unread byte is
// left and the stream has ended.
bool InputChannel::Refill() {
  if (pos_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + pos_, end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
  }
  if (!eof_ && end_ < capacity_) {
    long n = stream_.Read(buffer_.get() + end_, capacity_ - end_);
    if (n < 0) Fail(kErrRead);
    if (n == 0) eof_ = true;
    end_ += static_cast<std::size_t>(n);
  }
  return pos_ < end_;
}

int InputChannel::GetLineEnd() {
  if (buffer_[pos_] == '\n') {
    ++pos_;
    at_end_of_record_ = true;
    return kEndOfRecord;
  }
  // A carriage return: the end of the record if a line feed follows.
  ++pos_;
  if (pos_ == end_) Refill();
  if (pos_ < end_ && buffer_[pos_] == '\n') {
    ++pos_;
    at_end_of_record_ = true;
    return kEndOfRecord;
  }
  return '\r';
}

int InputChannel::PeekCarriageReturn() {
  if (pos_ + 1 == end_) Refill();
  if (pos_ + 1 < end_ && buffer_[pos_ + 1] == '\n') return kEndOfRecord;
  return '\r';
}

RawWindow InputChannel::Window(std::size_t want) {
  if (want > capacity_) want = capacity_;
  while (end_ - pos_ < want && !eof_) Refill();
  return View();
}

void InputChannel::SkipRestOfRecord() {
  while (!at_end_of_record_) {
    if (pos_ == end_ && !Refill()) {
      at_end_of_record_ = true;
      break;
    }
    const void* lf = std::memchr(buffer_.get() + pos_, '\n', end_ - pos_);
    if (lf != nullptr) {
      pos_ = static_cast<std::size_t>(static_cast<const char*>(lf) -
                                      buffer_.get()) +
             1;
      at_end_of_record_ = true;
    } else {
      pos_ = end_;
    }
  }
}

bool InputChannel::BeginRecord() {
  if (in_record_) SkipRestOfRecord();
  in_record_ = false;
  if (pos_ == end_ && !Refill()) return false;
  in_record_ = true;
  at_end_of_record_ = false;
  ++records_begun_;
  return true;
}

void InputChannel::BeginRecordOrFail() {
  if (!BeginRecord()) Fail(kErrEndOfFile);
}

void InputChannel::SkipRecord() {
  BeginRecordOrFail();
  SkipRestOfRecord();
}

}  // namespace lpgm
