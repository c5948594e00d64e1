// A small input set in a temporary folder, and running lpgm on it.
//
// An input set is a copy of the bundled example, or made here: the definition
// file names faults\F<i> and cases\C<i>; the fault files hold 55 rows of 28
// numbers after 9 header lines; the case files a header with the sample count
// and the samples. Text is written in CP932, lines end with CR LF. Every run
// checks that no input file was changed by it.
#ifndef LPGM_TESTS_E2E_INPUT_SET_H_
#define LPGM_TESTS_E2E_INPUT_SET_H_

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/encoding.h"
#include "support/input_folder.h"
#include "support/process_runner.h"

namespace lpgm::testing::e2e {

inline std::string Cp(std::string_view utf8) {
  return platform::Utf8ToCp932(utf8);
}

// The prompt as CP932 bytes (what LC_ALL=C shows) and in UTF-8.
inline const std::string kPromptUtf8 = "震源断層/ケースフォルダ定義ファイル:";
inline const std::string kPrompt = Cp(kPromptUtf8);
inline const std::string kStdinEof =
    "lpgm: severe (24): end-of-file during read, unit 5, file stdin\n";

// The six output files in channel order (21 to 26), as named on disk.
inline const char* const kOutputNames[6] = {
    "入力用･目標速度スペクトル.csv",       "入力用･位相用加速度波形.csv",
    "参考･各震源断層の速度スペクトル.csv", "参考･各ケースの加速度波形.csv",
    "参考･各ケースの速度波形.csv",         "参考･各ケースの最大速度.csv",
};

inline std::string Printf(const char* format, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

// The records of `bytes`, each without its CR LF.
inline std::vector<std::string> Lines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    lines.emplace_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Byte comparison that names the first differing line (shown in UTF-8) and
// says when only the line ends differ.
inline ::testing::AssertionResult SameBytes(std::string_view actual,
                                            std::string_view expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  auto without_cr = [](std::string_view s) {
    std::string out;
    for (char c : s)
      if (c != '\r') out += c;
    return out;
  };
  if (without_cr(actual) == without_cr(expected))
    return ::testing::AssertionFailure() << "only the line ends differ";
  std::size_t a = 0, e = 0;
  for (int line = 1;; ++line) {
    std::size_t a_end = actual.find('\n', a), e_end = expected.find('\n', e);
    std::string_view a_line =
        actual.substr(a, a_end == actual.npos ? actual.npos : a_end + 1 - a);
    std::string_view e_line = expected.substr(
        e, e_end == expected.npos ? expected.npos : e_end + 1 - e);
    if (a_line != e_line) {
      auto shown = [](std::string_view l) {
        while (!l.empty() && (l.back() == '\n' || l.back() == '\r'))
          l.remove_suffix(1);
        return platform::Cp932ToUtf8(l);
      };
      return ::testing::AssertionFailure()
             << "first difference at line " << line << " (sizes "
             << actual.size() << " and " << expected.size()
             << ")\n  actual:   [" << shown(a_line) << "]\n  expected: ["
             << shown(e_line) << "]";
    }
    a = a_end + 1;
    e = e_end + 1;
  }
}

class InputSet {
 public:
  // A copy of the bundled example.
  InputSet() { CopyInputSet(ExampleFolder(), path()); }
  // Writes a definition file for `faults` faults and `cases` cases, and the
  // fault files with field 28 = 10 * fault + row. Case files are left to
  // the test.
  InputSet(int faults, int cases) {
    Definition(faults, cases);
    for (int i = 1; i <= faults; ++i) Fault(i);
  }

  const TempDir& dir() const { return dir_; }
  const std::string& path() const { return dir_.path(); }

  static std::string DefinitionText(int faults, int cases) {
    std::string text = Cp("長周期地震動 定義ファイル (試験)\r\n");
    text += std::to_string(faults) + "," + std::to_string(cases) + "\r\n";
    text += Cp("震源断層番号,震源断層フォルダ\r\n");
    for (int i = 1; i <= faults; ++i)
      text += std::to_string(i) + ",faults\\F" + std::to_string(i) + "\r\n";
    text += Cp("ケース番号,ケースフォルダ\r\n");
    for (int i = 1; i <= cases; ++i)
      text += std::to_string(i) + ",cases\\C" + std::to_string(i) + "\r\n";
    return text;
  }
  void Definition(int faults, int cases) {
    dir_.WriteFile("definition.csv", DefinitionText(faults, cases));
  }

  // Row r (1 to 55) of fault i: period r * 0.1, fields 2 to 27, and field 28
  // = sv(r) written as given.
  void Fault(int i, const std::function<std::string(int)>& sv = nullptr) {
    std::string text;
    for (int h = 1; h <= 8; ++h)
      text += Cp("見出し 行") + std::to_string(h) + "\r\n";
    for (int f = 1; f <= 28; ++f)
      text += std::to_string(f) + (f < 28 ? "," : "\r\n");
    for (int r = 1; r <= 55; ++r) {
      text += Printf("%.4f", r * 0.1);
      for (int f = 2; f <= 27; ++f) text += "," + std::to_string(f) + ".5";
      text += "," + (sv ? sv(r) : std::to_string(10 * i + r)) + "\r\n";
    }
    dir_.WriteFile(FaultFile(i), text);
  }
  static std::string FaultFile(int i) {
    return "faults/F" + std::to_string(i) + "/Korvel長周期.csv";
  }

  // Case i with header count `npts` and the samples text `body` (line 2 on).
  void Case(int i, int npts, const std::string& body) {
    dir_.WriteFile(CaseFile(i), Printf("%8.0f,    0.02\r\n", npts) + body);
  }
  // Case i with these samples, exactly as doubles, eight to a line.
  void Case(int i, const std::vector<double>& samples) {
    std::string body;
    for (std::size_t j = 0; j < samples.size(); ++j)
      body += Printf("%.17g", samples[j]) + ((j % 8 == 7) ? "\r\n" : " ");
    Case(i, static_cast<int>(samples.size()), body + "\r\n");
  }
  static std::string CaseFile(int i) {
    return "cases/C" + std::to_string(i) + "/加速度波形.acc";
  }

  // Runs lpgm in the folder with `input` on stdin and the environment `env`.
  ProcessResult Run(const std::string& input = "definition.csv\n",
                    const std::vector<std::string>& env = {"LC_ALL=C"}) const {
    std::map<std::string, std::string> before = InputFiles();
    ProcessOptions options;
    options.directory = path();
    options.input = input;
    options.env = env;
    ProcessResult result = RunProcess(LpgmBinary(), options);
    EXPECT_EQ(InputFiles(), before)
        << "the run changed an input file or created another";
    return result;
  }

  // Output file k (1 to 6).
  std::string Output(int k) const { return dir_.ReadFile(kOutputNames[k - 1]); }
  std::vector<std::string> OutputLines(int k) const { return Lines(Output(k)); }
  bool HasOutput(int k) const { return dir_.Exists(kOutputNames[k - 1]); }
  int OutputCount() const {
    int count = 0;
    for (int k = 1; k <= 6; ++k) count += HasOutput(k) ? 1 : 0;
    return count;
  }

 private:
  // The folder but the output files (no run may change or create anything
  // else).
  std::map<std::string, std::string> InputFiles() const {
    return Snapshot(path(), {std::begin(kOutputNames), std::end(kOutputNames)});
  }

  TempDir dir_;
};

}  // namespace lpgm::testing::e2e

#endif  // LPGM_TESTS_E2E_INPUT_SET_H_
