// Whether the process has its console window to itself: on Windows, a
// program started from Explorer (a double-click, files dropped on it) gets a
// window that closes when it ends, so a program that wants its last words
// read waits for Enter first. Started from a console, it shares the window
// with the shell and must not wait.
#ifndef LPGM_PLATFORM_CONSOLE_WINDOW_H_
#define LPGM_PLATFORM_CONSOLE_WINDOW_H_

namespace lpgm::platform {

// True only on Windows, when the process is the one process attached to its
// console (GetConsoleProcessList counts 1). False on POSIX systems, where a
// terminal outlives the program.
bool OwnsConsoleWindow();

}  // namespace lpgm::platform

#endif  // LPGM_PLATFORM_CONSOLE_WINDOW_H_
