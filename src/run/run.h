// The run: one pass from the start state to the six output files.
#ifndef LPGM_RUN_RUN_H_
#define LPGM_RUN_RUN_H_

#include "platform/console.h"
#include "platform/file_system.h"
#include "state/run_state.h"

namespace lpgm {

// Exit statuses of the program.
inline constexpr int kExitNormal = 0;
inline constexpr int kExitErrorStop = 1;
inline constexpr int kExitRecordFailure = 2;

// Runs the program once on `state` (a zero run state) and returns the exit
// status: 0 at the normal end, 1 after an error stop, 2 after a record-layer
// failure. All output goes through `console` and `files`.
int RunProgram(platform::Console& console, platform::FileSystem& files,
               RunState& state);

}  // namespace lpgm

#endif  // LPGM_RUN_RUN_H_
