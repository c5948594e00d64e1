// The acceleration record file of each case folder, "\加速度波形.acc": a
// header line read by (I20,F20.0) whose first field is the sample count NPTS
// (the real number after it is dropped), then the samples in free form from
// line 2 on, in cm/s2.
#ifndef LPGM_INPUT_ACCELERATION_FILE_H_
#define LPGM_INPUT_ACCELERATION_FILE_H_

#include <functional>
#include <string>

#include "input/read_reporter.h"
#include "platform/file_system.h"
#include "state/run_state.h"

namespace lpgm {

// The composed path of case i's file: its folder name followed by
// "\加速度波形.acc".
std::string AccelerationFilePath(const RunState& state, int case_number);

// Reads the file of case `case_number` (1 to kCaseSlots): fills
// NPTS(case_number) and ACC(case_number, 1..NPTS). A file that cannot be
// opened, and a count above the capacity of 100000 samples, are error stops;
// a short file or a malformed value a record-layer failure on channel 13.
// `reporter` hears what the reading saw (see read_reporter.h).
void ReadAccelerationFile(RunState& state, platform::FileSystem& files,
                          int case_number,
                          ReadReporter& reporter = IgnoreReadFacts());

// Reads the files of cases 1 to NCASE, each by ReadAccelerationFile, with
// the outcome of reading them in order: on a second thread as well when every
// file can be read ahead (see ReadInOrder). `after_read`, when given, is
// called with each case's number right after its file has been read, on the
// thread that read it: it may use that case's own places in the run state
// only.
void ReadAccelerationFiles(
    RunState& state, platform::FileSystem& files,
    const std::function<void(int case_number)>& after_read = {});

}  // namespace lpgm

#endif  // LPGM_INPUT_ACCELERATION_FILE_H_
