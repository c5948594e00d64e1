// lpgm-check: checks the inputs of lpgm and reports what lpgm would compute
// from them.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "check/check_program.h"
#include "platform/arguments.h"
#include "platform/console.h"
#include "platform/file_status.h"
#include "platform/file_system.h"
#include "platform/kernel.h"
#include "platform/standard_output.h"
#include "state/run_state.h"

int main(int argc, char** argv) {
  // The driver reports the checker's own faults (exit status 70); this
  // catches what could fail before it starts, such as memory for the
  // arguments.
  try {
    std::vector<std::string> args =
        lpgm::platform::ConsoleArguments(argc, argv);
    lpgm::RunState& state = lpgm::ProcessRunState();
    state.kernel = lpgm::platform::BestKernel();
    lpgm::check::CheckEnvironment env{
        lpgm::platform::ProcessConsole(), lpgm::platform::ProcessFileSystem(),
        state, lpgm::platform::RawStandardOutput(),
        lpgm::platform::LocalTimeText(lpgm::platform::CurrentTimeNs())};
    return lpgm::check::RunCheckProgram(args, env);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lpgm-check: internal error: %s\n", e.what());
    return 70;
  }
}
