#include "state/run_state.h"

namespace lpgm {

void InitializeRunState(RunState& state) {
  state.NPER = 55;
  state.DT = kTimeStep;
  FillBlanks(state.DEFFILE);
  for (int i = 1; i <= kFaultSlots; ++i) {
    FillBlanks(state.FLTDIR(i));
    state.LFLTDIR(i) = 0;
  }
  for (int i = 1; i <= kCaseSlots; ++i) {
    FillBlanks(state.CASEDIR(i));
    state.LCASEDIR(i) = 0;
  }
  for (int j = 1; j <= state.NPER; ++j) {
    for (int i = 1; i <= kFaultSlots; ++i) state.SVF(i, j) = 0.0;
    state.PERIOD(j) = 0.0;
  }
  for (int i = 1; i <= kCaseSlots; ++i) {
    state.NPTS(i) = 0;
    state.IRANK(i) = 0;
  }
}

RunState& ProcessRunState() {
  static RunState state;
  return state;
}

}  // namespace lpgm
