#include "compute/ranking.h"

namespace lpgm {

void RankCases(RunState& state) {
  const int n = state.NCASE;
  const int middle = (n + 1) / 2;
  int k = 0;
  while (k < n) {
    double pass_max = 0.0;
    for (int i = 1; i <= n; ++i) {
      if (state.IRANK(i) == 0 && state.VMAX(i) >= pass_max)
        pass_max = state.VMAX(i);
    }
    int ranked_in_pass = 0;
    for (int i = 1; i <= n; ++i) {
      if (state.IRANK(i) == 0 && state.VMAX(i) == pass_max) {
        ++k;
        ++ranked_in_pass;
        state.IRANK(i) = k;
        if (k == middle) state.IMED = i;
      }
    }
    // VMAX is never NaN nor negative, so every pass ranks a case; should a
    // caller break that, stop rather than loop for ever.
    if (ranked_in_pass == 0) break;
  }
}

}  // namespace lpgm
