// The likely encoding of a text file, for telling a user that the
// definition file is not Shift-JIS.
#ifndef LPGM_CHECK_TEXT_ENCODING_H_
#define LPGM_CHECK_TEXT_ENCODING_H_

#include <string_view>

namespace lpgm::check {

enum class TextEncoding { kShiftJis, kUtf8Bom, kUtf8, kUtf16 };

// The likely encoding of a text file from its first bytes: UTF-16 (a byte
// order mark or zero bytes in every other position), UTF-8 with a byte
// order mark, UTF-8 without one (non-ASCII text that is valid UTF-8 and not
// sensible CP932), else Shift-JIS.
TextEncoding GuessEncoding(std::string_view bytes);

}  // namespace lpgm::check

#endif  // LPGM_CHECK_TEXT_ENCODING_H_
