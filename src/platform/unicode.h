// Unicode pieces shared by the conversions of both systems: UTF-8 decoding
// and encoding, and the characters that CP932 reaches by two Unicode forms.
#ifndef LPGM_PLATFORM_UNICODE_H_
#define LPGM_PLATFORM_UNICODE_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace lpgm::platform {

// The length of the well-formed UTF-8 character at the start of `text` (no
// overlong form, no surrogate, nothing above U+10FFFF), storing its code
// point in *code_point; 0 when `text` does not start with one, a character
// cut short by the end of `text` included.
std::size_t DecodeUtf8(std::string_view text, char32_t* code_point);

// Whether `tail` (1 to 3 bytes) is the beginning of a well-formed UTF-8
// character that more bytes could complete.
bool IsIncompleteUtf8(std::string_view tail);

// The length of `text` without the beginning of a character at its end that
// more bytes could complete: what a stream may convert before it has seen
// the bytes that follow.
std::size_t CompleteUtf8Length(std::string_view text);

// Appends the UTF-8 form of `code_point` (at most U+10FFFF) to `out`.
void AppendUtf8(char32_t code_point, std::string* out);

// Seven CP932 characters have two Unicode forms in use: 0x8160 is U+FF5E or
// U+301C, 0x8161 U+2225 or U+2016, 0x817C U+FF0D or U+2212, 0x815C U+2015 or
// U+2014, 0x8191 U+FFE0 or U+00A2, 0x8192 U+FFE1 or U+00A3 and 0x81CA U+FFE2
// or U+00AC. The first form is the one code page 932 decodes to; the second
// is what input methods on Linux and macOS type.

// The first form of a second form; any other code point unchanged.
char32_t FirstForm(char32_t code_point);

// `utf8` with every first form replaced by its second form. Bytes that are
// not well-formed UTF-8 pass unchanged.
std::string WithSecondForms(std::string_view utf8);

}  // namespace lpgm::platform

#endif  // LPGM_PLATFORM_UNICODE_H_
