// What the readers see in the input files beyond the values they store.
//
// A program that checks its inputs hands the readers a reporter that keeps
// these facts; lpgm hands them IgnoreReadFacts(), for which the readers do
// no work on them at all (Collects() is false): they read, store and stop
// exactly as without a reporter.
#ifndef LPGM_INPUT_READ_REPORTER_H_
#define LPGM_INPUT_READ_REPORTER_H_

#include <optional>

namespace lpgm {

// Where the samples of an acceleration record ended against its count.
struct SamplesEnd {
  long slash_line = 0;              // a slash ended them early; 0: none did
  long values_before_slash = 0;     // the count's values read before it
  long value_after_count_line = 0;  // first value past the count; 0: none
  // The reading failed before the count: at the end of the file, or on a
  // value it could not read. The values read before (nulls included).
  bool failed = false;
  long values_before_failure = 0;
};

// One data row of a spectrum file as its fields were read.
struct SpectrumRowSeen {
  long line = 0;        // line of the file
  int fields = 0;       // fields of the 28 that held more than blanks
  bool has_sv = false;  // field 28, the Sv, did
  double period = 0;    // field 1 as read (kept by lpgm for fault 1 only)
};

class ReadReporter {
 public:
  virtual ~ReadReporter() = default;

  // False when every fact is ignored: the readers then gather none.
  virtual bool Collects() const { return true; }

  // The header's second field, which lpgm reads and drops; nullopt when it
  // held only blanks. Reported once the header has been read.
  virtual void HeaderTimeStep(int case_number, std::optional<double> step) = 0;
  // Reported after the samples of a count above 0 were read whole (finding
  // a value past the count reads on in the file, which lpgm never does), or
  // when their reading failed (`failed`), just before the failure leaves
  // the reader.
  virtual void SamplesEnded(int case_number, const SamplesEnd& end) = 0;
  // Reported after row `row` (1 to NPER) of fault `fault`'s file was read.
  virtual void SpectrumRow(int fault, int row, const SpectrumRowSeen& seen) = 0;
};

// The reporter that ignores everything, as lpgm runs.
ReadReporter& IgnoreReadFacts();

}  // namespace lpgm

#endif  // LPGM_INPUT_READ_REPORTER_H_
