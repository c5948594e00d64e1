// Text for an HTML or SVG page: every character that could end a text node or
// an attribute value is written as a character reference, and bytes that are
// not well-formed UTF-8 never reach the page.
#ifndef LPGM_CHECK_HTML_ESCAPE_H_
#define LPGM_CHECK_HTML_ESCAPE_H_

#include <string>
#include <string_view>

namespace lpgm::check {

// Appends `text` to `out` with `&`, `<`, `>`, `"` and `'` escaped, so that
// the result is safe both as element content and inside a quoted attribute.
// A byte sequence that is not well-formed UTF-8, and a control character
// other than tab, line feed and carriage return, becomes U+FFFD.
void AppendEscaped(std::string& out, std::string_view text);

// The same, returned as a new string.
std::string Escaped(std::string_view text);

}  // namespace lpgm::check

#endif  // LPGM_CHECK_HTML_ESCAPE_H_
