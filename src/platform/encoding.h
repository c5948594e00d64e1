// Conversions between CP932 (Shift-JIS as Windows code page 932, the text of
// the system) and UTF-8 (file names on disk, the console under a UTF-8 locale).
#ifndef LPGM_PLATFORM_ENCODING_H_
#define LPGM_PLATFORM_ENCODING_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace lpgm::platform {

// CP932 -> UTF-8. Bytes that do not decode are passed through unchanged.
std::string Cp932ToUtf8(std::string_view cp932);

// UTF-8 -> CP932. A character with no CP932 form, and a byte that is not
// valid UTF-8, becomes '?'.
std::string Utf8ToCp932(std::string_view utf8);

// Utf8ToCp932 appending to `out`; returns how many characters had no CP932
// form (each became '?').
std::size_t AppendUtf8AsCp932(std::string_view utf8, std::string* out);

// A text literal written in UTF-8 in the source, in CP932. The result is
// converted once per distinct literal and stays valid for the whole run.
// `utf8_literal` must have static storage duration.
const std::string& Cp932Literal(const char* utf8_literal);

// Streaming UTF-8 -> CP932 conversion for console input: a character split
// over two calls is converted whole once its remaining bytes arrive.
class Utf8ToCp932Stream {
 public:
  Utf8ToCp932Stream();
  ~Utf8ToCp932Stream();
  Utf8ToCp932Stream(const Utf8ToCp932Stream&) = delete;
  Utf8ToCp932Stream& operator=(const Utf8ToCp932Stream&) = delete;

  // Appends the CP932 form of `input` to `out`. Up to 3 bytes of an
  // incomplete character at the end of `input` are held back for the next
  // call. With `final` set, held-back bytes become '?'.
  void Convert(std::string_view input, std::string* out, bool final);

 private:
  void* cd_;
  std::string pending_;
};

}  // namespace lpgm::platform

#endif  // LPGM_PLATFORM_ENCODING_H_
