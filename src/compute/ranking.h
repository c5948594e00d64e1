// Ranking of the cases by peak velocity and the choice of the phase case.
#ifndef LPGM_COMPUTE_RANKING_H_
#define LPGM_COMPUTE_RANKING_H_

#include "state/run_state.h"

namespace lpgm {

// Repeated selection of the largest VMAX among the unranked cases: every case
// exactly equal to the pass maximum gets the next rank, lower case numbers
// first. IRANK(1..NCASE) becomes a permutation of 1..NCASE (1 = largest), and
// IMED the case ranked (NCASE + 1) / 2. Needs IRANK all 0 on entry.
void RankCases(RunState& state);

}  // namespace lpgm

#endif  // LPGM_COMPUTE_RANKING_H_
