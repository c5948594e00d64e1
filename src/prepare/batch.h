// Many records in one call: each converted into its own case folder by
// RunRecordJob on up to two threads, reported in input order (a progress
// line per record as its turn comes), then a table of every record.
#ifndef LPGM_PREPARE_BATCH_H_
#define LPGM_PREPARE_BATCH_H_

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "prepare/options.h"
#include "prepare/prepare.h"
#include "prepare/record_job.h"

namespace lpgm::prepare {

// The case folder of `record` in `cases_folder`: the record's file name
// without its folder and its last extension ("RSN879_LANDERS_LCN260.AT2"
// -> "CASES/RSN879_LANDERS_LCN260"), joined with `separator`.
std::string CaseFolderFor(std::string_view record,
                          std::string_view cases_folder, char separator);

// Runs every job; `threads` (at least 1) of them at once. Each record's
// line goes out as soon as it and every record before it are done: "[i/n]
// " and the summary line on standard output, or "[i/n] " and the error on
// standard error. A failed record stops nothing; two jobs with the same
// case folder fail the later one before anything is done for it. Returns 0
// when every record was converted, 2 when any failed (the table names it).
// A failure of the program itself in a job (an exception other than
// running out of memory) fails that record only, and is thrown again
// after the table.
// The workers touch only env.files; the streams are written from the
// calling thread alone.
int RunBatch(std::span<const Options> jobs, PrepareEnvironment& env,
             const JobContext& context, int threads);

// The table written after the last record (ends in a line end): one row
// per record with its case folder, count, PGA, PGV and result, then one
// line with how many were converted and which failed.
std::string BatchTable(std::span<const Options> jobs,
                       std::span<const JobOutcome> outcomes);

}  // namespace lpgm::prepare

#endif  // LPGM_PREPARE_BATCH_H_
