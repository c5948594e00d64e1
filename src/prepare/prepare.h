// The driver of lpgm-prepare: one record in, one case file out.
#ifndef LPGM_PREPARE_PREPARE_H_
#define LPGM_PREPARE_PREPARE_H_

#include <span>
#include <string_view>

#include "prepare/host.h"

namespace lpgm::prepare {

inline constexpr int kExitOk = 0;
inline constexpr int kExitInputError = 2;
inline constexpr int kExitUsage = 64;

// Runs the program on the arguments after its name and returns its exit
// status: 0 when the case file was written (the summary line on standard
// output, warnings in it), 2 with "FILE:LINE: error: ..." on standard error
// and nothing written when the record or the case folder cannot be used,
// 64 with the usage error on standard error. --help and --version print to
// standard output and return 0.
int RunPrepare(std::span<const std::string_view> args, Host& host);

}  // namespace lpgm::prepare

#endif  // LPGM_PREPARE_PREPARE_H_
