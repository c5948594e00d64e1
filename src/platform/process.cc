#include "platform/process.h"

#include <cstdlib>

namespace lpgm::platform {

// All output of the program is written through unbuffered, so there is
// nothing to flush; std::exit leaves the stack as it is and runs only the
// destructors of static objects.
void ExitProcess(int status) { std::exit(status); }

}  // namespace lpgm::platform
