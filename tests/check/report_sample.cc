// Writes sample reports for the browser test and the README's picture:
//   lpgm_check_report_sample --example EXAMPLES_DIR OUT.html
//     checks the bundled example as lpgm-check does (nothing is written
//     there) and reports what it found;
//   lpgm_check_report_sample --synthetic OUT.html
//     reports a made-up largest input (6 faults, 21 cases of 100000
//     samples) with awkward folder names and findings of every severity.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "check/checker.h"
#include "check/html_report.h"
#include "check/synthetic_result.h"
#include "platform/file_system.h"
#include "state/run_state.h"

namespace lpgm::check {
namespace {

int WriteReport(const CheckResult& result, const char* out_path) {
  std::ofstream out(out_path, std::ios::binary);
  WriteHtmlReport(result, out);
  out.close();
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", out_path);
    return 1;
  }
  return 0;
}

int ExampleReport(const std::string& dir, const char* out_name) {
  const std::string out_path = std::filesystem::absolute(out_name).string();
  if (::chdir(dir.c_str()) != 0) {
    std::fprintf(stderr, "cannot enter %s\n", dir.c_str());
    return 1;
  }
  auto state = std::make_unique<RunState>();
  CheckRequest request;
  request.definition_cp932 = request.definition = "definition.csv";
  request.working_directory = dir;
  request.checked_at = "2026-12-08 09:30:00";
  request.version = "sample";
  const CheckResult r =
      CheckInputs(request, platform::ProcessFileSystem(), *state);
  return WriteReport(r, out_path.c_str());
}

}  // namespace
}  // namespace lpgm::check

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "--example" && argc == 4) {
    return lpgm::check::ExampleReport(argv[2], argv[3]);
  }
  if (mode == "--synthetic" && argc == 3) {
    auto sample =
        lpgm::check::testing::MakeSyntheticResult({6, 21, 100000, 3, true});
    return lpgm::check::WriteReport(sample->result, argv[2]);
  }
  std::fprintf(stderr,
               "usage: %s --example EXAMPLES_DIR OUT.html | --synthetic "
               "OUT.html\n",
               argv[0]);
  return 64;
}
