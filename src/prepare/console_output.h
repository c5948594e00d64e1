// lpgm-prepare's standard output and standard error under lpgm's console
// rule: the program writes UTF-8, which goes out as CP932 through the
// process console, and the console shows it as UTF-8 under a UTF-8 locale,
// as the CP932 bytes under any other, and as Unicode on a Windows console.
// A character without a CP932 form shows as '?'.
#ifndef LPGM_PREPARE_CONSOLE_OUTPUT_H_
#define LPGM_PREPARE_CONSOLE_OUTPUT_H_

#include <cstddef>
#include <string>

#include "platform/console.h"
#include "platform/stream.h"

namespace lpgm::prepare {

// Standard output: each write converted and handed on as it comes.
class ConsoleOutput : public platform::OutputStream {
 public:
  explicit ConsoleOutput(platform::Console& console) : console_(console) {}
  bool Write(const char* data, std::size_t size) override;

 private:
  platform::Console& console_;
};

// Standard error, which the console takes a line at a time: each complete
// line converted and handed on; a last line without its line end on Close.
class ConsoleError : public platform::OutputStream {
 public:
  explicit ConsoleError(platform::Console& console) : console_(console) {}
  ~ConsoleError() override { Close(); }
  bool Write(const char* data, std::size_t size) override;
  bool Close() override;

 private:
  platform::Console& console_;
  std::string pending_;  // UTF-8 after the last line end
};

}  // namespace lpgm::prepare

#endif  // LPGM_PREPARE_CONSOLE_OUTPUT_H_
