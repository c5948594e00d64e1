#include "platform/console_window.h"

namespace lpgm::platform {

bool OwnsConsoleWindow() { return false; }

}  // namespace lpgm::platform
