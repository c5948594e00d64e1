// A check result made up for tests: faults with spectra on the usual period
// grid and cases with decaying oscillations, ranked and with a phase case as
// lpgm ranks them, and a few findings.
#ifndef LPGM_TESTS_CHECK_SYNTHETIC_RESULT_H_
#define LPGM_TESTS_CHECK_SYNTHETIC_RESULT_H_

#include <memory>
#include <string>
#include <vector>

#include "check/check_result.h"

namespace lpgm::check::testing {

struct SyntheticResult {
  std::vector<std::vector<double>> acc, vel;  // what the cases' spans show
  CheckResult result;
};

struct SyntheticShape {
  int faults = 3;
  int cases = 5;
  int samples = 3000;  // of the longest case; others are shorter
  unsigned seed = 1;
  // Folder names with characters that must be escaped, and findings.
  bool awkward_names = false;
};

std::unique_ptr<SyntheticResult> MakeSyntheticResult(const SyntheticShape&);

}  // namespace lpgm::check::testing

#endif  // LPGM_TESTS_CHECK_SYNTHETIC_RESULT_H_
