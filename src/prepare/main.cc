// lpgm-prepare: converts strong-motion records into case files of lpgm.
#include <string>
#include <string_view>
#include <vector>

#include "platform/arguments.h"
#include "platform/console.h"
#include "platform/console_window.h"
#include "prepare/console_host.h"
#include "prepare/host.h"
#include "prepare/prepare.h"

int main(int argc, char** argv) {
  const std::vector<std::string> text =
      lpgm::platform::Utf8Arguments(argc, argv);
  std::vector<std::string_view> args(text.begin(), text.end());
  lpgm::platform::Console& console = lpgm::platform::ProcessConsole();
  lpgm::prepare::ConsoleHost host(lpgm::prepare::ProcessHost(), console);
  const int status = lpgm::prepare::RunPrepare(args, host);
  // Records dropped on the program in Explorer: its window would close
  // before anyone read the table.
  if (lpgm::platform::OwnsConsoleWindow()) {
    host.Out("Press Enter to close this window.\n");
    char line[256];
    (void)console.Input().Read(line, sizeof line);
  }
  return status;
}
