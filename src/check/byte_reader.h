// Reading an input stream a byte or a line at a time for the checker's own
// scans of the input files, with one fixed buffer: a line of any length
// costs the same memory.
#ifndef LPGM_CHECK_BYTE_READER_H_
#define LPGM_CHECK_BYTE_READER_H_

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/stream.h"

namespace lpgm::check {

class ByteReader {
 public:
  static constexpr int kEnd = -1;

  explicit ByteReader(platform::InputStream& stream,
                      std::size_t buffer_size = 64 * 1024);

  // The next byte, or kEnd at the end of the stream or after a failed read.
  int Get() {
    if (pos_ == end_ && !Refill()) return kEnd;
    return static_cast<unsigned char>(buffer_[pos_++]);
  }
  // Reads the next line into `prefix`, keeping at most `keep` bytes of it;
  // the line feed and a carriage return before it are not part of the line.
  // Returns false when no line is left. `*whole_length` gets the line's
  // length when not null.
  bool ReadLine(std::string* prefix, std::size_t keep,
                std::size_t* whole_length = nullptr);
  // Lines begun so far: the number of the line last read.
  long line() const { return line_; }
  // True when a read of the stream failed.
  bool failed() const { return failed_; }

 private:
  bool Refill();

  platform::InputStream& stream_;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  long line_ = 0;
  bool failed_ = false;
};

// An input stream over bytes held in memory.
class StringInput : public platform::InputStream {
 public:
  explicit StringInput(std::string_view bytes) : bytes_(bytes) {}
  long Read(char* buffer, std::size_t size) override;

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

}  // namespace lpgm::check

#endif  // LPGM_CHECK_BYTE_READER_H_
