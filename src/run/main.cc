// lpgm: target velocity spectrum and phase case for long-period ground
// motion, from the files that one definition file names.
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "run/run.h"
#include "run/run_state.h"

int main() {
  int status = lpgm::RunProgram(lpgm::platform::ProcessConsole(),
                                lpgm::platform::ProcessFileSystem(),
                                lpgm::ProcessRunState());
  lpgm::platform::ExitProcess(status);
}
