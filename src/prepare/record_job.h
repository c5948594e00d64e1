// One record converted into one case folder: read the record, convert it,
// write the case file and the record of what was done beside it. Used alike
// for a single record and for every record of a batch.
#ifndef LPGM_PREPARE_RECORD_JOB_H_
#define LPGM_PREPARE_RECORD_JOB_H_

#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "prepare/convert.h"
#include "prepare/formats.h"
#include "prepare/options.h"

namespace lpgm::prepare {

// What every job of a run shares.
struct JobContext {
  std::string program;  // "lpgm-prepare 1.2.0"
  std::string written;  // the local date and time, for the records
};

struct JobOutcome {
  std::optional<InputError> error;  // set when the job failed
  std::string summary;              // the summary line (no line end)
  std::size_t samples = 0;          // at 0.02 s
  Peaks peaks;
  std::size_t warnings = 0;
};

// Converts options.record into options.folder. The case file is written
// whole or not at all, then prepare-record.txt beside it. On failure
// nothing is written unless the failure is the writing of the record after
// the case file (the error says so). Touches no shared state but the file
// system, whose calls by host path may come from two threads at once, so
// two jobs may run at once.
JobOutcome RunRecordJob(const Options& options, platform::FileSystem& files,
                        const JobContext& context);

}  // namespace lpgm::prepare

#endif  // LPGM_PREPARE_RECORD_JOB_H_
