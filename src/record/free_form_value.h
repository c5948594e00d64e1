// One value of a free-form read: the token rules (separators, the repeat
// count r*, texts with and without delimiters) and the storing of the value
// into the list's variables.
#ifndef LPGM_RECORD_FREE_FORM_VALUE_H_
#define LPGM_RECORD_FREE_FORM_VALUE_H_

#include <cstddef>

#include "record/input_channel.h"
#include "record/list_cursor.h"
#include "record/number_parse.h"

namespace lpgm {

// Text variables of a free-form read hold at most this many positions.
inline constexpr std::size_t kMaxFreeFormText = 512;

// A byte that ends an unquoted value (InputChannel::kEndOfRecord included).
inline bool IsFreeFormSeparator(int c) {
  return c == InputChannel::kEndOfRecord || c == ' ' || c == '\t' || c == ',' ||
         c == '/';
}

// One value as read: its text (for text variables, cut at kMaxFreeFormText)
// and its number scanner (for numeric ones). Large: reused from value to
// value.
struct FreeFormValue {
  NumberScanner scanner;
  char text[kMaxFreeFormText];
  std::size_t text_size = 0;
  bool quoted = false;

  void Add(char c) {
    scanner.Feed(c);
    if (text_size < kMaxFreeFormText) text[text_size++] = c;
  }
  void Clear() {
    scanner.Reset();
    text_size = 0;
    quoted = false;
  }
};

// Reads one value, starting at the channel's next byte (which is no
// separator), and stores it into the cursor's next variables (as many as its
// repeat count says), moving the cursor past them. Returns 0, or failure 59
// when the value cannot be read for its variable.
int ReadFreeFormValue(InputChannel& channel, ListCursor& cursor,
                      FreeFormValue* value);

}  // namespace lpgm

#endif  // LPGM_RECORD_FREE_FORM_VALUE_H_
