#include "check/check_result.h"

namespace lpgm::check {

int ExitStatusOf(const CheckResult& result) {
  int status = 0;
  for (const Finding& f : result.findings) {
    if (f.severity == Severity::kError) return 2;
    if (f.severity == Severity::kWarning) status = 1;
  }
  return status;
}

}  // namespace lpgm::check
