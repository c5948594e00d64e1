// How many processors this process may run on.
#ifndef LPGM_PLATFORM_PROCESSORS_H_
#define LPGM_PLATFORM_PROCESSORS_H_

namespace lpgm::platform {

// The processors the process is allowed to run on (its affinity, so that
// `taskset -c 0` counts one), at least 1.
int UsableProcessors();

}  // namespace lpgm::platform

#endif  // LPGM_PLATFORM_PROCESSORS_H_
