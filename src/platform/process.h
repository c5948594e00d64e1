// Process exit. Only the driver in src/run calls this.
#ifndef LPGM_PLATFORM_PROCESS_H_
#define LPGM_PLATFORM_PROCESS_H_

namespace lpgm::platform {

// Exit statuses of the program.
inline constexpr int kExitNormal = 0;
inline constexpr int kExitErrorStop = 1;
inline constexpr int kExitRecordFailure = 2;

// Ends the process with `status`.
[[noreturn]] void ExitProcess(int status);

}  // namespace lpgm::platform

#endif  // LPGM_PLATFORM_PROCESS_H_
