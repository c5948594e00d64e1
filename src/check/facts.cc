#include "check/facts.h"

namespace lpgm::check {

// The checker adds a fault's facts before reading its file, so the fault
// reported on is the last one added. The cases' facts are all in place
// before any case file is read, case i at i - 1, and two cases may be read
// at once: each report touches only its own case's facts.

namespace {

CaseFacts* CaseOf(CheckFacts& facts, int case_number) {
  if (case_number < 1 ||
      static_cast<std::size_t>(case_number) > facts.cases.size())
    return nullptr;
  CaseFacts& c = facts.cases[static_cast<std::size_t>(case_number - 1)];
  return c.case_number == case_number ? &c : nullptr;
}

}  // namespace

void FactCollector::HeaderTimeStep(int case_number,
                                   std::optional<double> step) {
  if (CaseFacts* c = CaseOf(facts_, case_number)) c->header_time_step = step;
}

void FactCollector::SamplesEnded(int case_number, const SamplesEnd& end) {
  if (CaseFacts* c = CaseOf(facts_, case_number)) c->end = end;
}

void FactCollector::SpectrumRow(int fault, int /*row*/,
                                const SpectrumRowSeen& seen) {
  if (facts_.faults.empty() || facts_.faults.back().fault != fault) return;
  facts_.faults.back().rows.push_back(seen);
}

}  // namespace lpgm::check
