#include "compute/target_spectrum.h"

#include <cmath>

namespace lpgm {

void ComputeTargetSpectrum(RunState& state) {
  for (int j = 1; j <= state.NPER; ++j) {
    double& target = state.SVTGT(j);
    target = 0.0;
    for (int i = 1; i <= state.NFAULT; ++i) {
      double sv = state.SVF(i, j);
      target = sv * sv + target;
    }
    target = std::sqrt(target);
    target = target / 1.1;
  }
}

}  // namespace lpgm
