#include "check/text_encoding.h"

#include <cstddef>

namespace lpgm::check {
namespace {

// Whether `b` is UTF-8 (a sequence cut by the end of `b` allowed) and how
// many characters of more than one byte it holds.
bool ValidUtf8(std::string_view b, long* multibyte) {
  *multibyte = 0;
  for (std::size_t i = 0; i < b.size();) {
    unsigned char c = static_cast<unsigned char>(b[i]);
    std::size_t n = c < 0x80         ? 1
                    : (c >> 5) == 6  ? 2
                    : (c >> 4) == 14 ? 3
                    : (c >> 3) == 30 ? 4
                                     : 0;
    if (n == 0 || (n == 2 && c < 0xC2)) return false;
    for (std::size_t k = 1; k < n && i + k < b.size(); ++k)
      if ((static_cast<unsigned char>(b[i + k]) & 0xC0) != 0x80) return false;
    if (n > 1) ++*multibyte;
    i += n;
  }
  return true;
}

// CP932 that a person would write: every lead byte with a valid trail byte,
// and no half-width katakana (which UTF-8 read as CP932 is full of).
bool SensibleCp932(std::string_view b) {
  for (std::size_t i = 0; i < b.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(b[i]);
    if (c < 0x80) continue;
    if (c >= 0xA1 && c <= 0xDF) return false;
    bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    if (!lead) return false;
    if (i + 1 == b.size()) return true;  // cut by the end of the sample
    unsigned char t = static_cast<unsigned char>(b[++i]);
    if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
  }
  return true;
}

bool LooksUtf16(std::string_view b) {
  if (b.size() >= 2 && ((b[0] == '\xFF' && b[1] == '\xFE') ||
                        (b[0] == '\xFE' && b[1] == '\xFF')))
    return true;
  std::size_t zeros[2] = {0, 0};
  for (std::size_t i = 0; i < b.size(); ++i)
    if (b[i] == '\0') ++zeros[i % 2];
  std::size_t pairs = b.size() / 2;
  return pairs >= 2 && (zeros[0] * 2 > pairs || zeros[1] * 2 > pairs);
}

}  // namespace

TextEncoding GuessEncoding(std::string_view bytes) {
  if (LooksUtf16(bytes)) return TextEncoding::kUtf16;
  if (bytes.starts_with("\xEF\xBB\xBF")) return TextEncoding::kUtf8Bom;
  long multibyte = 0;
  if (!ValidUtf8(bytes, &multibyte) || multibyte == 0)
    return TextEncoding::kShiftJis;
  return SensibleCp932(bytes) ? TextEncoding::kShiftJis : TextEncoding::kUtf8;
}

}  // namespace lpgm::check
