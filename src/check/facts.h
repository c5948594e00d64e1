// What the checker learned by reading the inputs through lpgm's readers:
// how each file's reading ended, and what the readers saw on the way (their
// reports). The rules (rules.h) judge these facts together with the
// computed summaries of the result; nothing here is a finding yet.
//
// Names and messages are CP932, as the readers compose them.
#ifndef LPGM_CHECK_FACTS_H_
#define LPGM_CHECK_FACTS_H_

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "check/text_encoding.h"
#include "compute/provenance.h"
#include "input/read_reporter.h"
#include "state/error_stop.h"

namespace lpgm::check {

// How the reading of one file stopped.
struct ReadStop {
  StopReason reason = StopReason::kNone;  // kNone: a record-layer failure
  std::string message;                    // the console or diagnostic text
  long line = 0;                          // 0: not known
  // UTF-8: what is wrong in the user's terms (read_cause.h); empty when
  // lpgm's own message says it best.
  std::string cause;
};

// Whether a stop for `reason` ended the reading of a file.
inline bool StoppedFor(const std::optional<ReadStop>& stop, StopReason reason) {
  return stop && stop->reason == reason;
}

struct DefinitionFacts {
  std::string name;           // as typed at the prompt, whole
  std::size_t name_kept = 0;  // the positions lpgm keeps of it
  std::string path;           // the name lpgm opens
  TextEncoding encoding = TextEncoding::kShiftJis;
  std::optional<ReadStop> stop;
};

// A folder of the definition file, fault or case.
struct FolderFacts {
  int fault = 0;        // set for a fault's folder
  int case_number = 0;  // set for a case's folder
  std::string folder;
  int same_as = 0;  // an earlier slot of the same list naming it; 0: none
};

struct FaultFacts {
  int fault = 0;
  std::string path;
  std::optional<ReadStop> stop;
  std::vector<SpectrumRowSeen> rows;  // as reported, row 1 first
  // The first row whose period differs from fault 1's at four decimals;
  // 0: none (and always 0 for fault 1).
  int grid_difference_row = 0;
};

// The record lpgm-prepare keeps beside a case file it wrote.
struct ProvenanceFacts {
  std::string path;     // CP932
  std::string problem;  // UTF-8: why it cannot be read or parsed; empty: read
  std::string source;   // the record it was made from, as written there
  std::string recorded_size;  // the case file's size as written there
  long long actual_size = 0;
  CaseFileCheck check;
};

struct CaseFacts {
  int case_number = 0;
  std::string path;
  std::optional<ReadStop> stop;
  int npts = 0;
  std::optional<double> header_time_step;
  SamplesEnd end;
  std::optional<ProvenanceFacts> provenance;  // none: the folder holds none
};

struct OutputFacts {
  std::string name;
  bool older_than_inputs = false;
};

struct CheckFacts {
  DefinitionFacts definition;
  std::vector<FolderFacts> folders;  // the faults' first, then the cases'
  std::vector<FaultFacts> faults;    // fault i at i - 1
  std::vector<CaseFacts> cases;      // case i at i - 1
  std::vector<OutputFacts> outputs;  // the six files a run writes
};

// The reporter the checker hands lpgm's readers: keeps what they saw in
// the facts of the fault or case being read.
class FactCollector final : public ReadReporter {
 public:
  explicit FactCollector(CheckFacts& facts) : facts_(facts) {}
  void HeaderTimeStep(int case_number, std::optional<double> step) override;
  void SamplesEnded(int case_number, const SamplesEnd& end) override;
  void SpectrumRow(int fault, int row, const SpectrumRowSeen& seen) override;

 private:
  CheckFacts& facts_;
};

}  // namespace lpgm::check

#endif  // LPGM_CHECK_FACTS_H_
