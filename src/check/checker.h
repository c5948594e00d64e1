// The checker: reads every input of one definition file through lpgm's own
// readers into a run state, computes through lpgm's own functions, and
// reports what it read, what lpgm would compute and every finding.
//
// Unlike lpgm it does not stop at the first file that cannot be opened or
// read: each failure becomes a finding and the next file is read. Only a
// failure in the definition file ends the check, since nothing else is
// named then. Ranks and the phase case are given only when every input was
// read, as lpgm would give them. Beyond lpgm, it computes each case's
// response spectrum at the target's periods and compares it with the target
// and with the other cases. It never writes a file.
#ifndef LPGM_CHECK_CHECKER_H_
#define LPGM_CHECK_CHECKER_H_

#include <string>

#include "check/check_result.h"
#include "compute/response_spectrum.h"
#include "platform/file_system.h"
#include "state/run_state.h"

namespace lpgm::check {

struct CheckRequest {
  // The definition file's name as it would reach lpgm from the prompt
  // (CP932), whole: the checker keeps only its first 40 bytes, as lpgm
  // does, and says so.
  std::string definition_cp932;
  std::string definition;  // the same name in UTF-8, for the result
  std::string working_directory;
  std::string checked_at;
  std::string version;
  // The kind and damping the target is in, and so the cases' spectra.
  SpectrumKind spectrum_kind = SpectrumKind::kPsv;
  double damping = 0.05;
};

// Checks the inputs named by the request's definition file. `state` must
// be as lpgm starts with it, zero (a free-form read leaves the samples after
// a slash as they were); it is overwritten, and the result's waveform spans
// point into it.
CheckResult CheckInputs(const CheckRequest& request,
                        platform::FileSystem& files, RunState& state);

}  // namespace lpgm::check

#endif  // LPGM_CHECK_CHECKER_H_
