// An input set held in memory for in-process checks: a definition file
// naming faults\F<i> and cases\C<i>, spectrum files of 55 rows on one period
// grid, and acceleration records of sine waves that raise no finding. Tests
// change single files or lines and check what the checker finds.
#ifndef LPGM_TESTS_CHECK_CHECK_INPUTS_H_
#define LPGM_TESTS_CHECK_CHECK_INPUTS_H_

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "check/checker.h"
#include "platform/encoding.h"
#include "platform/file_system.h"
#include "state/run_state.h"
#include "support/fake_file_system.h"

namespace lpgm::testing::check {

using lpgm::check::CheckResult;
using lpgm::check::Finding;

inline std::string Cp(const char* utf8) { return platform::Utf8ToCp932(utf8); }

inline std::string FaultPath(int i) {
  return "faults\\F" + std::to_string(i) + Cp("\\Korvel長周期.csv");
}
inline std::string CasePath(int i) {
  return "cases\\C" + std::to_string(i) + Cp("\\加速度波形.acc");
}

inline double GridPeriod(int j) {
  return std::round(0.1 * std::pow(100.0, (j - 1) / 54.0) * 1e4) / 1e4;
}

// A spectrum row: the period, 26 fillers and Sv, comma-separated.
inline std::string SpectrumRow(double period, double sv) {
  char text[64];
  std::snprintf(text, sizeof text, "%.4f", period);
  std::string row = text;
  for (int k = 2; k <= 27; ++k) row += ",1.0";
  std::snprintf(text, sizeof text, ",%.6f", sv);
  return row + text;
}

inline std::string SpectrumFile(const std::vector<std::string>& rows) {
  std::string text;
  for (int h = 1; h <= 9; ++h) text += "header " + std::to_string(h) + "\r\n";
  for (const std::string& row : rows) text += row + "\r\n";
  return text;
}

inline std::vector<std::string> GridRows(double scale) {
  std::vector<std::string> rows;
  for (int j = 1; j <= 55; ++j)
    rows.push_back(SpectrumRow(GridPeriod(j), scale * (10 + j)));
  return rows;
}

// Samples of a sine of period 2 s and amplitude `amplitude` cm/s2, 8 a line.
inline std::string Samples(int n, double amplitude) {
  std::string text;
  char value[32];
  for (int j = 0; j < n; ++j) {
    std::snprintf(value, sizeof value, "%10.4f",
                  amplitude * std::sin(3.14159265358979 * 0.02 * j));
    text += value;
    text += (j % 8 == 7 || j + 1 == n) ? "\r\n" : "";
  }
  return text;
}

inline std::string Header(int n, const char* step = "0.02") {
  char text[64];
  std::snprintf(text, sizeof text, "%8d,%8s\r\n", n, step);
  return text;
}

inline std::string Definition(int faults, int cases) {
  std::string text = "title\r\n" + std::to_string(faults) + "," +
                     std::to_string(cases) + "\r\nfaults\r\n";
  for (int i = 1; i <= faults; ++i)
    text += std::to_string(i) + ",faults\\F" + std::to_string(i) + "\r\n";
  text += "cases\r\n";
  for (int i = 1; i <= cases; ++i)
    text += std::to_string(i) + ",cases\\C" + std::to_string(i) + "\r\n";
  return text;
}

class CheckInputs {
 public:
  CheckInputs(int faults, int cases) {
    files.AddFile("definition.csv", Definition(faults, cases));
    for (int i = 1; i <= faults; ++i)
      files.AddFile(FaultPath(i), SpectrumFile(GridRows(i)));
    for (int i = 1; i <= cases; ++i)
      files.AddFile(CasePath(i), Header(3000) + Samples(3000, 100 + 40 * i));
  }

  CheckResult Run(std::string name = "definition.csv") {
    lpgm::check::CheckRequest request;
    request.definition_cp932 = name;
    request.definition = platform::Cp932ToUtf8(name);
    request.version = "test";
    state = std::make_unique<RunState>();  // as new as lpgm's
    return lpgm::check::CheckInputs(request, files, *state);
  }
  RunState& State() { return *state; }

  FakeFileSystem files;
  std::unique_ptr<RunState> state;
};

// The findings with id `id`.
inline std::vector<Finding> FindingsWith(const CheckResult& r,
                                         const std::string& id) {
  std::vector<Finding> found;
  for (const Finding& f : r.findings)
    if (f.id == id) found.push_back(f);
  return found;
}

// All ids, in order, joined by blanks: shows every finding on a failure.
inline std::string Ids(const CheckResult& r) {
  std::string ids;
  for (const Finding& f : r.findings) ids += (ids.empty() ? "" : " ") + f.id;
  return ids;
}

}  // namespace lpgm::testing::check

#endif  // LPGM_TESTS_CHECK_CHECK_INPUTS_H_
