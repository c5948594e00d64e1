#include "compute/target_spectrum.h"

#include <cmath>

namespace lpgm {

double SrssAt(const RunState& state, int j) {
  double sum = 0.0;
  for (int i = 1; i <= state.NFAULT; ++i) {
    double sv = state.SVF(i, j);
    sum = sv * sv + sum;
  }
  return std::sqrt(sum);
}

double TargetSpectrumAt(const RunState& state, int j) {
  return SrssAt(state, j) / 1.1;
}

void ComputeTargetSpectrum(RunState& state) {
  for (int j = 1; j <= state.NPER; ++j)
    state.SVTGT(j) = TargetSpectrumAt(state, j);
}

}  // namespace lpgm
