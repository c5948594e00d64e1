// lpgm-prepare: converts strong-motion records into case files of lpgm.
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "platform/arguments.h"
#include "platform/console.h"
#include "platform/console_window.h"
#include "platform/file_system.h"
#include "prepare/console_output.h"
#include "prepare/prepare.h"

namespace {

int Run(int argc, char** argv, lpgm::prepare::PrepareEnvironment& env) {
  try {
    const std::vector<std::string> text =
        lpgm::platform::Utf8Arguments(argc, argv);
    std::vector<std::string_view> args(text.begin(), text.end());
    return lpgm::prepare::RunPrepare(args, env);
  } catch (const std::exception& e) {
    // Only the arguments' memory can fail before the driver runs.
    const std::string line =
        std::string("lpgm-prepare: internal error: ") + e.what() + "\n";
    (void)env.err.Write(line.data(), line.size());
    return lpgm::prepare::kExitInternal;
  }
}

}  // namespace

int main(int argc, char** argv) {
  lpgm::platform::Console& console = lpgm::platform::ProcessConsole();
  lpgm::prepare::ConsoleOutput out(console);
  lpgm::prepare::ConsoleError err(console);
  lpgm::prepare::PrepareEnvironment env{lpgm::platform::ProcessFileSystem(),
                                        out, err};
  const int status = Run(argc, argv, env);
  err.Close();
  // Records dropped on the program in Explorer: its window would close
  // before anyone read the table.
  if (lpgm::platform::OwnsConsoleWindow()) {
    const std::string prompt = "Press Enter to close this window.\n";
    (void)out.Write(prompt.data(), prompt.size());
    char line[256];
    (void)console.Input().Read(line, sizeof line);
  }
  return status;
}
