// The definition file: the counts of faults and cases and their folders.
//
//   line 1                  title, skipped
//   line 2                  NFAULT, NCASE (free form)
//   next line               heading, skipped
//   NFAULT lines            slot number and fault folder, (I20,A400)
//   next line               heading, skipped
//   NCASE lines             slot number and case folder, (I20,A400)
//   anything after          never read
#ifndef LPGM_INPUT_DEFINITION_FILE_H_
#define LPGM_INPUT_DEFINITION_FILE_H_

#include "platform/file_system.h"
#include "state/run_state.h"

namespace lpgm {

// Reads the file named by the first LDEFFILE positions of DEFFILE and fills
// NFAULT, NCASE, FLTDIR, LFLTDIR, CASEDIR and LCASEDIR. Every check that fails
// is an error stop; a file that ends early or a slot number that is not a
// whole number is a record-layer failure on channel 11.
void ReadDefinitionFile(RunState& state, platform::FileSystem& files);

}  // namespace lpgm

#endif  // LPGM_INPUT_DEFINITION_FILE_H_
