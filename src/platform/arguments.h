// The command-line arguments of the process, without the program name.
// On POSIX they are argv's bytes unchanged. On Windows they are read in
// UTF-16 from the process's own command line and converted.
#ifndef LPGM_PLATFORM_ARGUMENTS_H_
#define LPGM_PLATFORM_ARGUMENTS_H_

#include <string>
#include <vector>

namespace lpgm::platform {

// The arguments as text typed on the process console (see
// Console::ToConsoleText): UTF-8 on a console that shows UTF-8, CP932
// otherwise.
std::vector<std::string> ConsoleArguments(int argc, char** argv);

// The arguments in UTF-8 (file names on every system but Windows' own).
std::vector<std::string> Utf8Arguments(int argc, char** argv);

}  // namespace lpgm::platform

#endif  // LPGM_PLATFORM_ARGUMENTS_H_
