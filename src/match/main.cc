// lpgm-match: the design ground motion, fitted to lpgm's target spectrum
// with the phase of its phase case.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "match/match_program.h"
#include "platform/arguments.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/kernel.h"
#include "platform/standard_output.h"

int main(int argc, char** argv) {
  try {
    std::vector<std::string> args = lpgm::platform::Utf8Arguments(argc, argv);
    lpgm::match::MatchEnvironment env{
        lpgm::platform::ProcessConsole(), lpgm::platform::ProcessFileSystem(),
        lpgm::platform::RawStandardOutput(), lpgm::platform::BestKernel()};
    return lpgm::match::RunMatchProgram(args, env);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lpgm-match: internal error: %s\n", e.what());
    return 70;
  }
}
