// Conversions between CP932 and UTF-16 (the text of the Windows console and
// of Windows file names), through code page 932. Windows only.
#ifndef LPGM_PLATFORM_WIDE_TEXT_H_
#define LPGM_PLATFORM_WIDE_TEXT_H_

#include <string>
#include <string_view>

namespace lpgm::platform {

// UTF-8 <-> UTF-16 (file names and command-line arguments beside the
// system's CP932 ones). Invalid sequences become U+FFFD.
std::wstring Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::wstring_view utf16);

// CP932 -> UTF-16. A byte that starts no CP932 character becomes U+FFFD and
// clears *complete (when given); otherwise *complete is set.
std::wstring Cp932ToUtf16(std::string_view cp932, bool* complete);

// Streaming CP932 -> UTF-16 for console output: a lead byte at the end of
// one piece is held back and decoded with the first byte of the next.
class Cp932ToUtf16Stream {
 public:
  void Convert(std::string_view cp932, std::wstring* out);

 private:
  std::string pending_;
};

// Streaming UTF-16 -> CP932 for console input. A character with no CP932
// form, and a lone surrogate, becomes '?'; either Unicode form of a CP932
// character with two becomes that character. A high surrogate at the end of
// one piece is held back for the next.
class Utf16ToCp932Stream {
 public:
  void Convert(std::wstring_view utf16, std::string* out);

 private:
  wchar_t pending_ = 0;  // a held-back high surrogate, or 0
};

}  // namespace lpgm::platform

#endif  // LPGM_PLATFORM_WIDE_TEXT_H_
