#include "prepare/console_host.h"

#include "platform/encoding.h"

namespace lpgm::prepare {

void ConsoleHost::Out(std::string_view text) {
  const std::string cp932 = platform::Utf8ToCp932(text);
  // A closed standard output leaves nothing to tell; the exit status says
  // what happened.
  (void)console_.Output().Write(cp932.data(), cp932.size());
}

void ConsoleHost::Err(std::string_view text) {
  // The console writes standard error a line at a time.
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    console_.WriteErrorLine(platform::Utf8ToCp932(line));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

}  // namespace lpgm::prepare
