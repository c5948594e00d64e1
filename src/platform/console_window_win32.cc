#include <windows.h>

#include "platform/console_window.h"

namespace lpgm::platform {

bool OwnsConsoleWindow() {
  // Room for two: a count of 2 or more means a shell shares the console.
  DWORD processes[2];
  return GetConsoleProcessList(processes, 2) == 1;
}

}  // namespace lpgm::platform
