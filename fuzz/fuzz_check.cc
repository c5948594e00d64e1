// The checker over arbitrary input sets held in memory. The input is split
// at each "@@\n" into the definition file "d.csv", the spectrum files of
// folders "f" and "g" and the acceleration files of folders "c" and "e";
// the definition file may name them or anything else.
//
// Every input must end in a result: no crash, no exception, findings with
// known ids only, an exit status that agrees with the severities, ranks only
// when every input was read, and text and JSON reports. The run state is
// allocated once; the samples an input set are put back to 0.0 after it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "check/check_result.h"
#include "check/checker.h"
#include "check/json_report.h"
#include "check/rules.h"
#include "check/text_report.h"
#include "fuzz_support.h"
#include "platform/encoding.h"
#include "state/run_state.h"

namespace {

using lpgm::fuzz::Check;

// The ids of the rules table.
const std::set<std::string>& KnownIds() {
  static const std::set<std::string> ids = [] {
    std::set<std::string> all;
    for (const lpgm::check::Rule& rule : lpgm::check::Rules())
      all.insert(rule.id);
    return all;
  }();
  return ids;
}

void PutFiles(lpgm::fuzz::FakeFileSystem& files, std::string_view bytes) {
  files.RefuseWrites();
  using lpgm::platform::Cp932Literal;
  const std::string names[] = {"d.csv",
                               "f" + Cp932Literal("\\Korvel長周期.csv"),
                               "g" + Cp932Literal("\\Korvel長周期.csv"),
                               "c" + Cp932Literal("\\加速度波形.acc"),
                               "e" + Cp932Literal("\\加速度波形.acc")};
  for (const std::string& name : names) {
    std::size_t end = bytes.find("@@\n");
    files.AddFile(name, std::string(bytes.substr(0, end)));
    if (end == std::string_view::npos) return;
    bytes.remove_prefix(end + 3);
  }
}

void CheckResultShape(const lpgm::check::CheckResult& r) {
  int status = lpgm::check::ExitStatusOf(r);
  bool error = false, warning = false;
  for (const lpgm::check::Finding& f : r.findings) {
    Check(KnownIds().count(f.id) == 1, "a finding with an unknown id");
    error |= f.severity == lpgm::check::Severity::kError;
    warning |= f.severity == lpgm::check::Severity::kWarning;
  }
  Check(status == (error ? 2 : warning ? 1 : 0), "exit status");
  Check(!r.computed || !error, "ranks given although an input failed");
  Check(r.computed == (r.phase_case != 0), "phase case without ranks");
  for (const lpgm::check::CaseSummary& c : r.cases)
    Check(c.acc.size() <= static_cast<std::size_t>(lpgm::kSampleCapacity),
          "a waveform longer than the table");
  Check(!lpgm::check::TextReport(r).empty(), "no text");
  Check(lpgm::check::JsonReport(r).back() == '\n', "no JSON");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  static std::unique_ptr<lpgm::RunState> state =
      std::make_unique<lpgm::RunState>();
  lpgm::fuzz::FakeFileSystem files;
  PutFiles(files, std::string_view(reinterpret_cast<const char*>(data), size));
  lpgm::check::CheckRequest request;
  request.definition_cp932 = "d.csv";
  request.definition = "d.csv";
  try {
    CheckResultShape(lpgm::check::CheckInputs(request, files, *state));
  } catch (...) {
    lpgm::fuzz::Fail("an exception left the checker");
  }
  // Back to a zero state for the next input.
  for (int i = 1; i <= lpgm::kMaxCases; ++i) {
    int n = std::clamp(state->NPTS(i), 0, lpgm::kSampleCapacity);
    std::fill_n(&state->ACC(i, 1), n, 0.0);
    std::fill_n(&state->VEL(i, 1), n, 0.0);
  }
  return 0;
}
