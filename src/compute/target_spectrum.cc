#include "compute/target_spectrum.h"

#include <cmath>

namespace lpgm {

double TargetSpectrumAt(const RunState& state, int j) {
  double target = 0.0;
  for (int i = 1; i <= state.NFAULT; ++i) {
    double sv = state.SVF(i, j);
    target = sv * sv + target;
  }
  target = std::sqrt(target);
  return target / 1.1;
}

void ComputeTargetSpectrum(RunState& state) {
  for (int j = 1; j <= state.NPER; ++j)
    state.SVTGT(j) = TargetSpectrumAt(state, j);
}

}  // namespace lpgm
