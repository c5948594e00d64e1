#include "check/facts.h"

namespace lpgm::check {

// The checker reads one file at a time and adds its facts before reading
// it, so the fault or case reported on is the last one added.

void FactCollector::HeaderTimeStep(int case_number,
                                   std::optional<double> step) {
  if (facts_.cases.empty() || facts_.cases.back().case_number != case_number)
    return;
  facts_.cases.back().header_time_step = step;
}

void FactCollector::SamplesEnded(int case_number, const SamplesEnd& end) {
  if (facts_.cases.empty() || facts_.cases.back().case_number != case_number)
    return;
  facts_.cases.back().end = end;
}

void FactCollector::SpectrumRow(int fault, int /*row*/,
                                const SpectrumRowSeen& seen) {
  if (facts_.faults.empty() || facts_.faults.back().fault != fault) return;
  facts_.faults.back().rows.push_back(seen);
}

}  // namespace lpgm::check
