#include "compute/longest_record.h"

namespace lpgm {

int LongestRecord(const RunState& state) {
  int longest = 0;
  for (int j = 1; j <= state.NCASE; ++j) {
    if (state.NPTS(j) > longest) longest = state.NPTS(j);
  }
  return longest;
}

void ComputeLongestRecord(RunState& state) {
  state.NPMAX = LongestRecord(state);
}

}  // namespace lpgm
