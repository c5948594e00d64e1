// Writes sample reports for the browser test and the README's picture:
//   lpgm_check_report_sample --example EXAMPLES_DIR OUT.html
//     runs lpgm's own readers and computation on the bundled example (no
//     output file is written) and reports what they left in the run state;
//   lpgm_check_report_sample --synthetic OUT.html
//     reports a made-up largest input (6 faults, 21 cases of 100000
//     samples) with awkward folder names and findings of every severity.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "check/html_report.h"
#include "check/synthetic_result.h"
#include "platform/console.h"
#include "platform/encoding.h"
#include "platform/file_system.h"
#include "run/run.h"
#include "state/run_state.h"
#include "support/fake_file_system.h"
#include "support/memory_console.h"

namespace lpgm::check {
namespace {

std::string LocalTime(std::time_t t) {
  char text[32];
  std::tm tm{};
  localtime_r(&t, &tm);
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
  return text;
}

InputFile Describe(const std::string& dir, std::string role, std::string path) {
  InputFile file{std::move(role), path, false, 0, ""};
  std::replace(path.begin(), path.end(), '\\', '/');
  struct stat st {};
  if (::stat((dir + "/" + path).c_str(), &st) == 0) {
    file.exists = true;
    file.size = static_cast<long long>(st.st_size);
    file.modified = LocalTime(st.st_mtime);
  }
  return file;
}

std::optional<double> HeaderTimeStep(const std::string& dir, std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  std::ifstream in(dir + "/" + path);
  std::string line;
  if (!std::getline(in, line)) return std::nullopt;
  std::replace(line.begin(), line.end(), ',', ' ');
  std::istringstream fields(line);
  double count = 0, step = 0;
  if (fields >> count >> step) return step;
  return std::nullopt;
}

void AddFaults(RunState& s, const std::string& dir, CheckResult& r) {
  for (int j = 1; j <= s.NPER; ++j) r.period.push_back(s.PERIOD(j));
  r.srss.assign(r.period.size(), 0.0);
  for (int i = 1; i <= s.NFAULT; ++i) {
    FaultSummary f;
    f.fault = i;
    f.folder = platform::Cp932ToUtf8(Leading(s.FLTDIR(i), s.LFLTDIR(i)));
    f.read_ok = true;
    f.rows = s.NPER;
    f.period = r.period;
    for (int j = 1; j <= s.NPER; ++j) f.sv.push_back(s.SVF(i, j));
    for (std::size_t j = 0; j < f.sv.size(); ++j) {
      r.srss[j] += f.sv[j] * f.sv[j];
    }
    f.period_min = f.period.front();
    f.period_max = f.period.back();
    f.sv_min = *std::min_element(f.sv.begin(), f.sv.end());
    f.sv_max = *std::max_element(f.sv.begin(), f.sv.end());
    r.inputs.push_back(
        Describe(dir, "spectrum", f.folder + "/Korvel長周期.csv"));
    r.faults.push_back(std::move(f));
  }
  for (double& v : r.srss) v = std::sqrt(v);
  for (int j = 1; j <= s.NPER; ++j) r.target.push_back(s.SVTGT(j));
}

// The sample of the largest magnitude (the first of equals).
std::size_t PeakAt(std::span<const double> v) {
  std::size_t at = 0;
  for (std::size_t k = 1; k < v.size(); ++k) {
    if (std::fabs(v[k]) > std::fabs(v[at])) at = k;
  }
  return at;
}

void AddCases(RunState& s, const std::string& dir, CheckResult& r) {
  for (int i = 1; i <= s.NCASE; ++i) {
    CaseSummary c;
    c.case_number = i;
    c.folder = platform::Cp932ToUtf8(Leading(s.CASEDIR(i), s.LCASEDIR(i)));
    c.read_ok = true;
    c.npts = s.NPTS(i);
    const std::string file = c.folder + "/加速度波形.acc";
    c.header_time_step = HeaderTimeStep(dir, file);
    c.duration = c.npts * 0.02;
    const auto n = static_cast<std::size_t>(std::max(c.npts, 0));
    c.acc = std::span<const double>(s.AccColumn(i), n);
    c.vel = std::span<const double>(s.VelColumn(i), n);
    if (n > 0) {
      const std::size_t pga_at = PeakAt(c.acc);
      c.pga = std::fabs(c.acc[pga_at]);
      c.pga_time = static_cast<double>(pga_at) * 0.02;
      c.pgv_time = static_cast<double>(PeakAt(c.vel)) * 0.02;
      c.end_velocity = c.vel[n - 1];
    }
    c.pgv = s.VMAX(i);
    c.rank = s.IRANK(i);
    c.phase = i == s.IMED;
    r.inputs.push_back(Describe(dir, "acceleration", file));
    r.cases.push_back(std::move(c));
  }
  r.phase_case = s.IMED;
}

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

int ExampleReport(const std::string& dir, const char* out_path) {
  auto state = std::make_unique<RunState>();
  lpgm::testing::FakeFileSystem files;
  files.AddInputSet(dir);
  lpgm::testing::MemoryConsole console("definition.csv\n");
  if (RunProgram(console, files, *state) != 0) {
    std::fprintf(stderr, "lpgm stopped on %s: %s", dir.c_str(),
                 console.errors().c_str());
    return 1;
  }
  CheckResult r;
  r.definition = "definition.csv";
  r.working_directory = dir;
  r.checked_at = LocalTime(std::time(nullptr));
  r.version = "sample";
  r.definition_ok = true;
  r.computed = true;
  r.inputs.push_back(Describe(dir, "definition", "definition.csv"));
  AddFaults(*state, dir, r);
  AddCases(*state, dir, r);
  return WriteReport(r, out_path);
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
