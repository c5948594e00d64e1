// lpgm-spectrum: the response spectra of one record, written as a fault's
// long-period spectrum file or as a CSV.
#ifndef LPGM_SPECTRUM_SPECTRUM_PROGRAM_H_
#define LPGM_SPECTRUM_SPECTRUM_PROGRAM_H_

#include <span>
#include <string_view>

#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/kernel.h"
#include "state/run_state.h"

namespace lpgm::spectrum {

inline constexpr int kExitOk = 0;
inline constexpr int kExitInputError = 2;  // record, periods or output
inline constexpr int kExitUsage = 64;

struct SpectrumEnvironment {
  platform::FileSystem& files;
  platform::Console& console;
  RunState& state;  // case slot 1 lends lpgm's reader its place
  platform::Kernel kernel = platform::Kernel::kScalar;
  int threads = 1;
};

// Runs the program on the arguments after its name (UTF-8) and returns the
// exit status. Messages go to the console's error stream as
// "FILE:LINE: error: ..." (usage errors as "lpgm-spectrum: ..."), one
// summary line to its output on success. The output file is written only
// once everything has been read and computed.
int RunSpectrum(std::span<const std::string_view> args,
                SpectrumEnvironment& env);

}  // namespace lpgm::spectrum

#endif  // LPGM_SPECTRUM_SPECTRUM_PROGRAM_H_
