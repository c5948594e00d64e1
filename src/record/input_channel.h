// Reading records from a byte stream.
//
// A record is a line: it ends at a line feed, a carriage return directly
// before the line feed is not part of it, and a last line without a line feed
// is still a record. Records are never held whole: the channel keeps one
// fixed buffer, so a line of any length costs the same memory.
//
// The rest of a record that a read leaves unread is skipped only when the
// next record is begun, so closing a file after its last needed value reads
// nothing more of it.
#ifndef LPGM_RECORD_INPUT_CHANNEL_H_
#define LPGM_RECORD_INPUT_CHANNEL_H_

#include <cstddef>
#include <memory>
#include <string>

#include "platform/stream.h"
#include "record/channel_buffer.h"
#include "record/raw_window.h"

namespace lpgm {

class InputChannel {
 public:
  static constexpr int kEndOfRecord = -1;
  static constexpr std::size_t kDefaultBufferSize = 256 * 1024;

  // `name` is the file's name as the system composed it (CP932), for
  // diagnostics; `unit` its channel number.
  InputChannel(platform::InputStream& stream, int unit, std::string name,
               std::size_t buffer_size = kDefaultBufferSize);
  InputChannel(const InputChannel&) = delete;
  InputChannel& operator=(const InputChannel&) = delete;

  int unit() const { return unit_; }
  const std::string& name() const { return name_; }
  // The number of records begun so far: the line number of the current
  // record, 0 before the first.
  long records_begun() const { return records_begun_; }

  // Moves to the start of the next record, first skipping what is left of
  // the current one. Returns false when the stream has no record left.
  bool BeginRecord();
  // BeginRecord, and the end-of-file failure (24) when no record is left.
  void BeginRecordOrFail();
  // Reads one whole record and discards it; end of file is failure 24. On
  // the console this waits for Enter.
  void SkipRecord();

  // The next byte of the current record, or kEndOfRecord at its end (and on
  // every call after that).
  int Get() {
    if (at_end_of_record_) return kEndOfRecord;
    if (pos_ == end_ && !Refill()) {
      at_end_of_record_ = true;
      return kEndOfRecord;
    }
    unsigned char c = static_cast<unsigned char>(buffer_[pos_]);
    if (c == '\n' || c == '\r') return GetLineEnd();
    ++pos_;
    return c;
  }
  // The byte that Get would return next, without taking it.
  int Peek() {
    if (at_end_of_record_) return kEndOfRecord;
    if (pos_ == end_ && !Refill()) {
      at_end_of_record_ = true;
      return kEndOfRecord;
    }
    unsigned char c = static_cast<unsigned char>(buffer_[pos_]);
    if (c == '\n') return kEndOfRecord;
    if (c == '\r') return PeekCarriageReturn();
    return c;
  }
  bool at_end_of_record() const { return at_end_of_record_; }

  // Fast access for scanners (see raw_window.h): makes up to `want` bytes
  // of the stream contiguous from the current position (fewer only at the
  // end of the stream, or when `want` exceeds the buffer).
  RawWindow Window(std::size_t want);
  // The bytes buffered now, reading more only when none are (so it waits no
  // longer than Get would).
  RawWindow Buffered() {
    if (pos_ == end_) Refill();
    return View();
  }
  // Takes the first n bytes of the last window.
  void Consume(std::size_t n) { pos_ += n; }
  // Counts `n` records that a scanner passed over inside consumed bytes.
  void CountRecordsPassed(long n) { records_begun_ += n; }

  // Ends the run with record-layer failure `number` on this channel. The
  // failure carries the line it concerns: the current record, or for an
  // end of file the record that was missing.
  [[noreturn]] void Fail(int number) const;

 private:
  bool Refill();
  RawWindow View() const {
    return {buffer_.get() + pos_, buffer_.get() + end_, eof_};
  }
  int GetLineEnd();
  int PeekCarriageReturn();
  void SkipRestOfRecord();

  platform::InputStream& stream_;
  int unit_;
  std::string name_;
  ChannelBuffer buffer_;
  std::size_t capacity_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  bool in_record_ = false;
  bool at_end_of_record_ = true;
  long records_begun_ = 0;
};

}  // namespace lpgm

#endif  // LPGM_RECORD_INPUT_CHANNEL_H_
