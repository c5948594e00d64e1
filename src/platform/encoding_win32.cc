// CP932 conversions on Windows through code page 932 of the system
// (MultiByteToWideChar, WideCharToMultiByte), one character at a time, so
// that the rules of the POSIX build hold: bytes that start no CP932
// character pass through CP932 -> UTF-8 unchanged; a character with no
// CP932 form becomes '?'. The single bytes 0x80, 0xA0 and 0xFD..0xFF, which
// code page 932 maps to private characters, count as undecodable, and
// conversions to CP932 take no best-fit substitutes beyond the two that
// iconv makes, so both builds decode and encode the same characters (a test
// holds both to one fingerprint of the whole mapping).
#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/encoding.h"
#include "platform/unicode.h"
#include "platform/wide_text.h"

namespace lpgm::platform {
namespace {

constexpr UINT kCodePage = 932;
constexpr wchar_t kReplacement = 0xFFFD;

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsPrivateSingleByte(unsigned char byte) {
  return byte == 0x80 || byte == 0xA0 || byte >= 0xFD;
}

// Decodes the CP932 character at the start of `text` (not empty). Returns
// its length in bytes with its UTF-16 unit in *unit (every CP932 character
// lies in the basic plane), or 0 when the first byte starts no character.
std::size_t DecodeCp932(std::string_view text, wchar_t* unit) {
  const unsigned char lead = Byte(text[0]);
  if (lead < 0x80) {
    *unit = static_cast<wchar_t>(lead);
    return 1;
  }
  const std::size_t length = IsLeadByte(lead) ? 2 : 1;
  if (length > text.size() || (length == 1 && IsPrivateSingleByte(lead))) {
    return 0;
  }
  wchar_t units[2];
  const int count =
      MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, text.data(),
                          static_cast<int>(length), units, 2);
  if (count != 1) return 0;
  *unit = units[0];
  return length;
}

// Appends the CP932 form of `code_point`, or '?' when it has none.
void AppendCp932(char32_t code_point, std::string* out) {
  if (code_point < 0x80) {
    out->push_back(static_cast<char>(code_point));
    return;
  }
  // The yen sign and the overline become the single bytes that Japanese
  // fonts draw as them, as the iconv conversion of the POSIX build does.
  if (code_point == U'\u00A5' || code_point == U'\u203E') {
    out->push_back(code_point == U'\u00A5' ? '\\' : '~');
    return;
  }
  code_point = FirstForm(code_point);
  if (code_point > 0xFFFF || (code_point >= 0xD800 && code_point <= 0xDFFF)) {
    out->push_back('?');
    return;
  }
  const auto unit = static_cast<wchar_t>(code_point);
  char bytes[2];
  BOOL used_default = FALSE;
  const int count = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &unit,
                                        1, bytes, 2, nullptr, &used_default);
  if (count <= 0 || used_default ||
      (count == 1 && IsPrivateSingleByte(Byte(bytes[0])))) {
    out->push_back('?');
    return;
  }
  out->append(bytes, static_cast<std::size_t>(count));
}

// UTF-8 -> CP932: one '?' for a whole character without a CP932 form, one
// '?' per byte of anything malformed. Returns the number of '?' made.
std::size_t ConvertUtf8ToCp932(std::string_view utf8, std::string* out) {
  std::size_t replaced = 0;
  std::size_t i = 0;
  while (i < utf8.size()) {
    char32_t code_point = 0;
    const std::size_t length = DecodeUtf8(utf8.substr(i), &code_point);
    if (length == 0) {
      out->push_back('?');
      ++replaced;
      ++i;
      continue;
    }
    const std::size_t before = out->size();
    AppendCp932(code_point, out);
    if (out->size() == before + 1 && (*out)[before] == '?' &&
        code_point != U'?') {
      ++replaced;
    }
    i += length;
  }
  return replaced;
}

// Appends the CP932 form of the UTF-16 `units`; a lone surrogate becomes
// '?'.
void ConvertUtf16ToCp932(std::wstring_view units, std::string* out) {
  std::size_t i = 0;
  while (i < units.size()) {
    const char32_t unit = static_cast<char16_t>(units[i]);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size()) {
      const char32_t low = static_cast<char16_t>(units[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendCp932(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), out);
        i += 2;
        continue;
      }
    }
    AppendCp932(unit, out);
    ++i;
  }
}

}  // namespace

std::wstring Cp932ToUtf16(std::string_view cp932, bool* complete) {
  std::wstring out;
  out.reserve(cp932.size());
  bool all = true;
  std::size_t i = 0;
  while (i < cp932.size()) {
    wchar_t unit = 0;
    const std::size_t length = DecodeCp932(cp932.substr(i), &unit);
    if (length == 0) {
      out.push_back(kReplacement);
      all = false;
      ++i;
      continue;
    }
    out.push_back(unit);
    i += length;
  }
  if (complete != nullptr) *complete = all;
  return out;
}

void Cp932ToUtf16Stream::Convert(std::string_view cp932, std::wstring* out) {
  pending_.append(cp932);
  std::size_t end = pending_.size();
  // A lead byte that ends the piece waits for its second byte; a run of
  // lead bytes pairs from its start, so count back to find where it began.
  std::size_t run = 0;
  while (run < end && IsLeadByte(Byte(pending_[end - 1 - run]))) ++run;
  if (run % 2 == 1) --end;
  out->append(Cp932ToUtf16(std::string_view(pending_).substr(0, end), nullptr));
  pending_.erase(0, end);
}

void Utf16ToCp932Stream::Convert(std::wstring_view utf16, std::string* out) {
  std::wstring units;
  if (pending_ != 0) units.push_back(pending_);
  units.append(utf16);
  pending_ = 0;
  if (!units.empty()) {
    const auto last = static_cast<char16_t>(units.back());
    if (last >= 0xD800 && last <= 0xDBFF) {
      pending_ = units.back();
      units.pop_back();
    }
  }
  ConvertUtf16ToCp932(units, out);
}

std::string Cp932ToUtf8(std::string_view cp932) {
  std::string out;
  out.reserve(cp932.size() * 3 / 2);
  std::size_t i = 0;
  while (i < cp932.size()) {
    wchar_t unit = 0;
    const std::size_t length = DecodeCp932(cp932.substr(i), &unit);
    if (length == 0) {
      out.push_back(cp932[i]);
      ++i;
      continue;
    }
    AppendUtf8(static_cast<char16_t>(unit), &out);
    i += length;
  }
  return out;
}

std::size_t AppendUtf8AsCp932(std::string_view utf8, std::string* out) {
  return ConvertUtf8ToCp932(utf8, out);
}

// No converter state beyond the held-back bytes: code page 932 is stateless.
Utf8ToCp932Stream::Utf8ToCp932Stream() : cd_(nullptr) {}

Utf8ToCp932Stream::~Utf8ToCp932Stream() = default;

void Utf8ToCp932Stream::Convert(std::string_view input, std::string* out,
                                bool final) {
  pending_.append(input);
  // Hold back the start of a character that the next bytes may complete.
  const std::size_t complete =
      final ? pending_.size() : CompleteUtf8Length(pending_);
  ConvertUtf8ToCp932(std::string_view(pending_).substr(0, complete), out);
  pending_.erase(0, complete);
}

}  // namespace lpgm::platform
