// The console: standard input, output and error, with the encoding rule of the
// locale. When the locale's character set is UTF-8, CP932 text written is
// shown as UTF-8 and lines typed in UTF-8 reach the program as CP932; under
// any other locale the bytes pass unchanged.
#ifndef LPGM_PLATFORM_CONSOLE_H_
#define LPGM_PLATFORM_CONSOLE_H_

#include <string_view>

#include "platform/stream.h"

namespace lpgm::platform {

class Console {
 public:
  virtual ~Console() = default;
  // Console input as CP932 bytes.
  virtual InputStream& Input() = 0;
  // Console output; takes CP932 bytes. Written through at once (a prompt
  // without a line end must be visible before the program waits).
  virtual OutputStream& Output() = 0;
  // Writes one line of CP932 text to the standard error stream, converted
  // like console output, followed by a line feed. Failures are ignored: there
  // is nowhere left to report them.
  virtual void WriteErrorLine(std::string_view cp932) = 0;
  // The form in which CP932 text appears on this console (UTF-8 or the
  // unchanged bytes).
  virtual std::string ToConsoleText(std::string_view cp932) = 0;
};

// The process's console. Reads the locale (setlocale(LC_CTYPE, "")) on first
// use.
Console& ProcessConsole();

}  // namespace lpgm::platform

#endif  // LPGM_PLATFORM_CONSOLE_H_
