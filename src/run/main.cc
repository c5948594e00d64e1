// lpgm: target velocity spectrum and phase case for long-period ground
// motion, from the files that one definition file names.
#include <csignal>

#include "platform/console.h"
#include "platform/file_system.h"
#include "run/run.h"
#include "state/run_state.h"

int main() {
  // A console or file whose reader has gone away (a closed pipe) must show as
  // a failed write, reported like any other, not end the process by signal.
#ifdef SIGPIPE
  std::signal(SIGPIPE, SIG_IGN);
#endif
  return lpgm::RunProgram(lpgm::platform::ProcessConsole(),
                          lpgm::platform::ProcessFileSystem(),
                          lpgm::ProcessRunState());
}
