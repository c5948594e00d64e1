// lpgm-check: checks the inputs of lpgm and reports what lpgm would compute
// from them.
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "check/check_program.h"
#include "check/file_probe.h"
#include "platform/arguments.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/standard_output.h"
#include "state/run_state.h"

namespace {

std::string WorkingDirectory() {
  std::error_code ec;
  std::filesystem::path cwd = std::filesystem::current_path(ec);
  if (ec) return std::string();
  // UTF-8 on every system (string() is the ANSI code page on Windows).
  const std::u8string utf8 = cwd.u8string();
  return std::string(utf8.begin(), utf8.end());
}

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace

int main(int argc, char** argv) {
  // The checker reports its own faults (exit status 70); this catches what
  // could fail before it starts, such as memory for the arguments.
  try {
    std::vector<std::string> args =
        lpgm::platform::ConsoleArguments(argc, argv);
    lpgm::check::CheckEnvironment env{lpgm::platform::ProcessConsole(),
                                      lpgm::platform::ProcessFileSystem(),
                                      lpgm::check::ProcessFileProbe(),
                                      lpgm::ProcessRunState(),
                                      lpgm::platform::RawStandardOutput(),
                                      WorkingDirectory(),
                                      lpgm::check::LocalTimeText(NowNs())};
    return lpgm::check::RunCheckProgram(args, env);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lpgm-check: internal error: %s\n", e.what());
    return 70;
  }
}
