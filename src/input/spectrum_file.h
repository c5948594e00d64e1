// The long-period spectrum file of each fault folder, "\Korvel長周期.csv":
// 9 header lines, then 55 data rows of 28 numbers read by (28F20.0). Field 1
// is the period (taken from fault 1's file only), field 28 the velocity
// response spectrum Sv in cm/s.
#ifndef LPGM_INPUT_SPECTRUM_FILE_H_
#define LPGM_INPUT_SPECTRUM_FILE_H_

#include <string>

#include "input/read_reporter.h"
#include "platform/file_system.h"
#include "state/run_state.h"

namespace lpgm {

// The composed path of fault i's file: its folder name (trailing blanks
// dropped, leading blanks kept) followed by "\Korvel長周期.csv".
std::string SpectrumFilePath(const RunState& state, int fault);

// Reads the file of fault `fault` (1 to kFaultSlots): fills SVF(fault, 1..NPER)
// and, for fault 1 only, PERIOD(1..NPER). A file that cannot be opened is an
// error stop; a short file or a malformed field a record-layer failure on
// channel 12. `reporter` hears what the reading saw (see read_reporter.h).
void ReadSpectrumFile(RunState& state, platform::FileSystem& files, int fault,
                      ReadReporter& reporter = IgnoreReadFacts());

// Reads the files of faults 1 to NFAULT in order, each by ReadSpectrumFile.
void ReadSpectrumFiles(RunState& state, platform::FileSystem& files);

}  // namespace lpgm

#endif  // LPGM_INPUT_SPECTRUM_FILE_H_
