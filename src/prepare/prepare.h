// The driver of lpgm-prepare: one record in, one case file out.
#ifndef LPGM_PREPARE_PREPARE_H_
#define LPGM_PREPARE_PREPARE_H_

#include <span>
#include <string_view>

#include "platform/file_system.h"
#include "platform/stream.h"

namespace lpgm::prepare {

inline constexpr int kExitOk = 0;
inline constexpr int kExitInputError = 2;
inline constexpr int kExitUsage = 64;
inline constexpr int kExitInternal = 70;

// What the program touches of the system: the files (by the UTF-8 names
// typed) and the two output streams, which take UTF-8 lines unchanged.
struct PrepareEnvironment {
  platform::FileSystem& files;
  platform::OutputStream& out;
  platform::OutputStream& err;
};

// Runs the program on the arguments after its name and returns its exit
// status: 0 when the case file was written (the summary line on standard
// output, warnings in it), 2 with "FILE:LINE: error: ..." on standard error
// and nothing written when the record or the case folder cannot be used,
// 64 with the usage error on standard error, 70 with "lpgm-prepare:
// internal error: ..." when the program itself fails (out of memory, for
// instance). --help and --version print to standard output and return 0.
// Nothing escapes it.
int RunPrepare(std::span<const std::string_view> args,
               PrepareEnvironment& env) noexcept;

}  // namespace lpgm::prepare

#endif  // LPGM_PREPARE_PREPARE_H_
