// The definition file reader fed arbitrary bytes as the file "def.csv".
//
// Every way out must be an error stop with one of the reader's messages or a
// record-layer failure on channel 11; an index outside a table
// (std::out_of_range) is never caught and shows as a crash. After a
// successful read the counts are in range, slots 1 to NFAULT / NCASE are
// named with their used lengths, and every other slot is blank with used
// length 0.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "input/definition_file.h"
#include "record/failure.h"
#include "record/trimmed_length.h"
#include "state/channels.h"
#include "state/run_state.h"

namespace {

using lpgm::RunState;
using lpgm::RunStop;
using lpgm::fuzz::Check;

bool StartsWith(std::string_view s, std::string_view head) {
  return s.substr(0, head.size()) == head;
}
bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// "<head><digits><tail>" with the digits a number from 1 to `max`.
bool IsNumbered(std::string_view m, std::string_view head,
                std::string_view tail, int max) {
  if (!StartsWith(m, head) || !EndsWith(m, tail)) return false;
  if (m.size() <= head.size() + tail.size()) return false;
  std::string_view digits =
      m.substr(head.size(), m.size() - head.size() - tail.size());
  if (digits.size() > 2 || digits[0] == '0') return false;
  int k = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    k = k * 10 + (c - '0');
  }
  return k >= 1 && k <= max;
}

bool IsBlank(const lpgm::Text400& t) {
  for (char c : t)
    if (c != ' ') return false;
  return true;
}

void CheckUnusedSlots(RunState& s, int faults, int cases) {
  for (int i = faults + 1; i <= lpgm::kFaultSlots; ++i) {
    Check(s.LFLTDIR(i) == 0, "a fault slot past NFAULT has a used length");
    Check(IsBlank(s.FLTDIR(i)), "a fault slot past NFAULT is not blank");
  }
  for (int i = cases + 1; i <= lpgm::kCaseSlots; ++i) {
    Check(s.LCASEDIR(i) == 0, "a case slot past NCASE has a used length");
    Check(IsBlank(s.CASEDIR(i)), "a case slot past NCASE is not blank");
  }
}

void CheckFilled(RunState& s, int count, bool faults) {
  for (int i = 1; i <= count; ++i) {
    lpgm::Text400& dir = faults ? s.FLTDIR(i) : s.CASEDIR(i);
    int length = faults ? s.LFLTDIR(i) : s.LCASEDIR(i);
    Check(length >= 1 && length <= 400, "a named slot's used length");
    Check(length == lpgm::LCHR400(dir), "used length differs from LCHR400");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  static std::unique_ptr<RunState> state = std::make_unique<RunState>();
  RunState& s = *state;
  lpgm::InitializeRunState(s);
  s.NFAULT = 0;
  s.NCASE = 0;
  const std::string name = "def.csv";
  s.DEFFILE.fill(' ');
  name.copy(s.DEFFILE.data(), name.size());
  s.LDEFFILE = static_cast<int>(name.size());

  lpgm::fuzz::FakeFileSystem files;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  lpgm::fuzz::PutInput(files, name, data, size);

  try {
    lpgm::ReadDefinitionFile(s, files);
  } catch (const RunStop& stop) {
    if (stop.kind() == RunStop::Kind::kRecordFailure) {
      Check(stop.unit() == lpgm::kUnitDefinition, "failure on another channel");
      Check(stop.number() == lpgm::kErrEndOfFile ||
                stop.number() == lpgm::kErrConversion,
            "unexpected failure number");
      Check(stop.file() == name, "failure names another file");
    } else {
      const std::string& m = stop.message();
      bool known = m == "Fault number or Case number Error ! [Enter]" ||
                   IsNumbered(m, "Fault data line no.", "Error ! [Enter]", 6) ||
                   IsNumbered(m, "Fault data no.", " not exist ! [Enter]", 6) ||
                   IsNumbered(m, "Case data line no.", "Error ! [Enter]", 21) ||
                   IsNumbered(m, "Case data no.", " not exist ! [Enter]", 21);
      Check(known, "an error stop with an unknown message");
    }
    // Whatever was stored, nothing lies outside the limits.
    CheckUnusedSlots(s, lpgm::kMaxFaults, lpgm::kMaxCases);
    return 0;
  }
  Check(s.NFAULT >= 1 && s.NFAULT <= lpgm::kMaxFaults, "NFAULT out of range");
  Check(s.NCASE >= 1 && s.NCASE <= lpgm::kMaxCases, "NCASE out of range");
  // Title, counts, two headings and the slot lines.
  Check(lpgm::fuzz::CountRecords(bytes) >=
            static_cast<std::size_t>(4 + s.NFAULT + s.NCASE),
        "read more records than the file holds");
  CheckFilled(s, s.NFAULT, true);
  CheckFilled(s, s.NCASE, false);
  CheckUnusedSlots(s, s.NFAULT, s.NCASE);
  return 0;
}
