#include "check/checker.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>

#include "check/findings.h"
#include "check/input_scan.h"
#include "compute/ranking.h"
#include "compute/target_spectrum.h"
#include "compute/velocity.h"
#include "input/acceleration_file.h"
#include "input/definition_file.h"
#include "input/spectrum_file.h"
#include "output/output_files.h"
#include "platform/encoding.h"
#include "record/failure.h"
#include "record/number_format.h"
#include "record/trimmed_length.h"
#include "state/error_stop.h"

namespace lpgm::check {
namespace {

constexpr double kTimeStep = 0.02;

std::string Utf8(std::string_view cp932) {
  return platform::Cp932ToUtf8(cp932);
}

// One check in progress: the inputs, the run state and the result so far.
class Checker {
 public:
  Checker(const CheckRequest& request, platform::FileSystem& files,
          FileProbe& probe, RunState& state)
      : request_(request), files_(files), probe_(probe), state_(state) {}

  CheckResult Run();

 private:
  void Add(const char* id, Severity severity, int fault, int case_number,
           std::string_view cp932_file, long line, std::string message) {
    AddFinding(result_, id, severity, fault, case_number,
               cp932_file.empty() ? std::string() : Utf8(cp932_file), line,
               std::move(message));
  }
  void NoteInput(const char* role, const std::string& cp932_path);
  void CheckDefinitionName();
  void CheckDefinitionEncoding(const std::string& path);
  bool ReadDefinition();
  void CheckFolders();
  void ReadFault(int i);
  void ScanFault(int i, FaultSummary& fault);
  void CheckGrid();
  void ReadCase(int i);
  void ScanCase(int i, CaseSummary& summary);
  void ReportStop(const RunStop& stop, int fault, int case_number,
                  const std::string& path);
  void Compute();
  void SummarizeCase(CaseSummary& summary);
  void CheckStaleOutputs();

  const CheckRequest& request_;
  platform::FileSystem& files_;
  FileProbe& probe_;
  RunState& state_;
  CheckResult result_;
  std::int64_t newest_input_ns_ = 0;
};

void Checker::NoteInput(const char* role, const std::string& cp932_path) {
  InputFile file;
  file.role = role;
  file.path = platform::HostPath(cp932_path);
  if (std::optional<FileStat> st = probe_.Stat(file.path)) {
    file.exists = true;
    file.size = st->size;
    file.modified = LocalTimeText(st->modified_ns);
    newest_input_ns_ = std::max(newest_input_ns_, st->modified_ns);
  }
  result_.inputs.push_back(std::move(file));
}

void Checker::CheckDefinitionName() {
  const std::string& name = request_.definition_cp932;
  if (name.size() > state_.DEFFILE.size())
    Add("definition-name-long", Severity::kWarning, 0, 0, "", 0,
        "the name is " + std::to_string(name.size()) +
            " bytes long: lpgm keeps only the first 40 at its prompt and "
            "opens \"" +
            Utf8(name.substr(0, 40)) +
            "\"; move the definition file or use a shorter relative name");
  if (name.find_first_of(" \t,/'\"") != std::string::npos)
    Add("definition-name-quoting", Severity::kNote, 0, 0, "", 0,
        "at lpgm's prompt a blank, comma or slash ends the name: type it "
        "between quotation marks (\"...\")");
}

void Checker::CheckDefinitionEncoding(const std::string& path) {
  platform::OpenError error = platform::OpenError::kNone;
  std::unique_ptr<platform::InputStream> stream =
      files_.OpenForReading(path, &error);
  if (!stream) return;
  std::string head(64 * 1024, '\0');
  std::size_t got = 0;
  while (got < head.size()) {
    long n = stream->Read(head.data() + got, head.size() - got);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  head.resize(got);
  TextEncoding encoding = GuessEncoding(head);
  if (encoding == TextEncoding::kShiftJis) return;
  const char* what = encoding == TextEncoding::kUtf16     ? "UTF-16"
                     : encoding == TextEncoding::kUtf8Bom ? "UTF-8 with a BOM"
                                                          : "UTF-8";
  Add("definition-encoding", Severity::kWarning, 0, 0, path, 0,
      std::string("the definition file looks like ") + what +
          ": lpgm reads Shift-JIS (CP932), so Japanese folder names will "
          "not be found and the counts may not read; save it as Shift-JIS");
}

bool Checker::ReadDefinition() {
  InitializeRunState(state_);
  const std::string& name = request_.definition_cp932;
  std::size_t kept = std::min(name.size(), state_.DEFFILE.size());
  std::copy_n(name.begin(), kept, state_.DEFFILE.begin());
  state_.LDEFFILE = LCHR40(state_.DEFFILE);
  std::string path(Leading(state_.DEFFILE, state_.LDEFFILE));
  CheckDefinitionName();
  NoteInput("definition", path);
  CheckDefinitionEncoding(path);
  try {
    ReadDefinitionFile(state_, files_);
  } catch (const RunStop& stop) {
    Add("definition-error", Severity::kError, 0, 0, path, stop.line(),
        Utf8(stop.message()) +
            " - lpgm stops here; no other input can be checked");
    return false;
  }
  return true;
}

// The folder as the operating system resolves it, for comparing names.
// Built from and read back as UTF-8: the narrow forms of a path are the
// ANSI code page on Windows.
std::string FolderKey(std::string_view cp932_folder) {
  const std::string host = platform::HostPath(cp932_folder);
  std::filesystem::path p(std::u8string(host.begin(), host.end()));
  const std::u8string normal = p.lexically_normal().generic_u8string();
  std::string key(normal.begin(), normal.end());
  while (key.size() > 1 && key.back() == '/') key.pop_back();
  return key;
}

void Checker::CheckFolders() {
  auto check_list = [&](int count, auto folder_at, bool faults) {
    std::vector<std::string> keys;
    for (int i = 1; i <= count; ++i) {
      std::string_view folder = folder_at(i);
      keys.push_back(FolderKey(folder));
      int fault = faults ? i : 0, case_number = faults ? 0 : i;
      for (int k = 1; k < i; ++k) {
        if (keys[static_cast<std::size_t>(k - 1)] != keys.back()) continue;
        Add("same-folder", Severity::kWarning, fault, case_number, "", 0,
            std::string(faults ? "fault " : "case ") + std::to_string(i) +
                " names the same folder as " + (faults ? "fault " : "case ") +
                std::to_string(k) + " (" + Utf8(folder) +
                "): lpgm reads it twice; check the definition file");
        break;
      }
      if (folder.find_first_of(",'\"\t") != std::string_view::npos ||
          (!folder.empty() && folder.front() == ' '))
        Add("folder-name-literal", Severity::kNote, fault, case_number, "", 0,
            "the folder name \"" + Utf8(folder) +
                "\" is taken literally to the end of its line (commas, "
                "quotation marks and leading blanks included)");
    }
  };
  check_list(
      state_.NFAULT,
      [&](int i) { return Leading(state_.FLTDIR(i), state_.LFLTDIR(i)); },
      true);
  check_list(
      state_.NCASE,
      [&](int i) { return Leading(state_.CASEDIR(i), state_.LCASEDIR(i)); },
      false);
}

void Checker::ReportStop(const RunStop& stop, int fault, int case_number,
                         const std::string& path) {
  std::string message = Utf8(stop.message());
  if (stop.kind() == RunStop::Kind::kRecordFailure) {
    Add("read-failure", Severity::kError, fault, case_number, path, stop.line(),
        message +
            " - lpgm fails here; check that the file is complete "
            "and every value is a number");
  } else if (stop.message() == NotExistMessage(path)) {
    Add("cannot-open", Severity::kError, fault, case_number, path, 0,
        message +
            " - lpgm stops here; check the folder name in the "
            "definition file and that the file exists and is readable");
  } else {
    Add("sample-capacity", Severity::kError, fault, case_number, path, 1,
        message + " - the header count " +
            std::to_string(state_.NPTS(case_number)) +
            " is above lpgm's capacity of 100000 samples; lpgm stops here");
  }
}

std::unique_ptr<platform::InputStream> OpenQuietly(platform::FileSystem& files,
                                                   const std::string& path) {
  platform::OpenError error = platform::OpenError::kNone;
  return files.OpenForReading(path, &error);
}

void Checker::ReadFault(int i) {
  std::string path = SpectrumFilePath(state_, i);
  NoteInput("spectrum", path);
  FaultSummary fault;
  fault.fault = i;
  fault.folder =
      platform::HostPath(Leading(state_.FLTDIR(i), state_.LFLTDIR(i)));
  try {
    ReadSpectrumFile(state_, files_, i);
    fault.read_ok = true;
  } catch (const RunStop& stop) {
    ReportStop(stop, i, 0, path);
  }
  ScanFault(i, fault);
  result_.faults.push_back(std::move(fault));
}

void Checker::ScanFault(int i, FaultSummary& fault) {
  std::string path = SpectrumFilePath(state_, i);
  std::unique_ptr<platform::InputStream> stream = OpenQuietly(files_, path);
  if (!stream) return;
  std::vector<SpectrumRow> rows = ScanSpectrumFile(*stream, state_.NPER);
  if (!fault.read_ok) return;  // what lpgm read is cut short
  fault.rows = state_.NPER;
  for (int j = 1; j <= state_.NPER; ++j) {
    std::size_t k = static_cast<std::size_t>(j - 1);
    // Fault 1's periods are lpgm's own; the scan reads the others alike.
    double own = k < rows.size() ? rows[k].period : std::nan("");
    fault.period.push_back(i == 1 ? state_.PERIOD(j) : own);
    fault.sv.push_back(state_.SVF(i, j));
    long line = 9 + j;
    if (k < rows.size() && !rows[k].has_sv)
      Add("spectrum-short-row", Severity::kWarning, i, 0, path, line,
          "row " + std::to_string(j) + " has " +
              std::to_string(rows[k].fields) +
              " of 28 fields and no value in field 28: lpgm reads its Sv "
              "as 0.0; fill the row (a blank cell in the last column?)");
    else if (state_.SVF(i, j) <= 0)
      Add("spectrum-nonpositive", Severity::kWarning, i, 0, path, line,
          "Sv " + Number(state_.SVF(i, j), 6) + " cm/s at row " +
              std::to_string(j) +
              ": lpgm takes it as it is into the target spectrum; check "
              "the column and the sign");
  }
  auto [pmin, pmax] =
      std::minmax_element(fault.period.begin(), fault.period.end());
  auto [smin, smax] = std::minmax_element(fault.sv.begin(), fault.sv.end());
  fault.period_min = *pmin;
  fault.period_max = *pmax;
  fault.sv_min = *smin;
  fault.sv_max = *smax;
}

std::string Period4(double value) {
  char text[12];
  FormatFixed(text, 12, 4, value);
  return std::string(text, sizeof text);
}

void Checker::CheckGrid() {
  if (result_.faults.empty() || !result_.faults[0].read_ok) return;
  const std::vector<double>& first = result_.faults[0].period;
  for (std::size_t j = 0; j < first.size(); ++j) {
    bool positive = first[j] > 0;
    if (positive && (j == 0 || first[j] > first[j - 1])) continue;
    Add("period-order", Severity::kWarning, 1, 0, SpectrumFilePath(state_, 1),
        10 + static_cast<long>(j),
        "fault 1's period " + Number(first[j], 4) + " s at row " +
            std::to_string(j + 1) +
            (positive ? " does not increase" : " is not positive") +
            ": lpgm pairs the faults by row and writes the periods in "
            "this order; sort the rows by increasing period");
    break;
  }
  for (FaultSummary& fault : result_.faults) {
    if (fault.fault == 1 || !fault.read_ok) continue;
    for (std::size_t j = 0; j < first.size(); ++j) {
      if (Period4(fault.period[j]) == Period4(first[j])) continue;
      fault.grid_matches = false;
      Add("period-grid", Severity::kWarning, fault.fault, 0,
          SpectrumFilePath(state_, fault.fault), 10 + static_cast<long>(j),
          "period " + Number(fault.period[j], 4) + " s at row " +
              std::to_string(j + 1) + " differs from fault 1's " +
              Number(first[j], 4) +
              " s: lpgm pairs the faults by row and uses fault 1's "
              "periods, so this Sv lands on another period; put every "
              "fault on the same period grid");
      break;
    }
  }
}

void Checker::ReadCase(int i) {
  std::string path = AccelerationFilePath(state_, i);
  NoteInput("acceleration", path);
  CaseSummary summary;
  summary.case_number = i;
  summary.folder =
      platform::HostPath(Leading(state_.CASEDIR(i), state_.LCASEDIR(i)));
  try {
    ReadAccelerationFile(state_, files_, i);
    summary.read_ok = true;
  } catch (const RunStop& stop) {
    ReportStop(stop, 0, i, path);
  }
  summary.npts = state_.NPTS(i);
  summary.duration = summary.npts > 0 ? summary.npts * kTimeStep : 0.0;
  ScanCase(i, summary);
  result_.cases.push_back(std::move(summary));
}

void Checker::ScanCase(int i, CaseSummary& summary) {
  std::string path = AccelerationFilePath(state_, i);
  std::unique_ptr<platform::InputStream> stream = OpenQuietly(files_, path);
  if (!stream) return;
  AccelerationScan scan = ScanAccelerationFile(*stream, summary.npts);
  summary.header_time_step = scan.header_time_step;
  if (scan.header_time_step && *scan.header_time_step != 0 &&
      *scan.header_time_step != kTimeStep)
    Add("header-time-step", Severity::kWarning, 0, i, path, 1,
        "the header gives a time step of " + Number(*scan.header_time_step, 6) +
            " s: lpgm never reads it and integrates at 0.02 s always, so "
            "the velocities and the duration scale wrongly; resample the "
            "record to 0.02 s");
  if (!summary.read_ok) return;
  if (summary.npts <= 0)
    Add("no-samples", Severity::kWarning, 0, i, path, 1,
        "the header count is " + std::to_string(summary.npts) +
            ": lpgm takes no sample of this case, its peak velocity is 0; "
            "check the header's first field");
  if (scan.ended_early_line != 0)
    Add("samples-ended-early", Severity::kWarning, 0, i, path,
        scan.ended_early_line,
        "a slash ends the samples after " +
            std::to_string(scan.values_before_slash) + " of " +
            std::to_string(summary.npts) +
            ": lpgm reads the rest as 0.0; remove the slash or fix the "
            "count");
  if (scan.extra_line != 0)
    Add("extra-samples", Severity::kWarning, 0, i, path, scan.extra_line,
        "values follow the count's last sample (" +
            std::to_string(summary.npts) +
            "): lpgm ignores them; check the header count against the "
            "record's length");
}

void Checker::SummarizeCase(CaseSummary& c) {
  const int i = c.case_number;
  const int n = c.npts;
  if (!c.read_ok || n <= 0) return;
  const double* acc = &state_.ACC(i, 1);
  const double* vel = &state_.VEL(i, 1);
  c.acc = std::span<const double>(acc, static_cast<std::size_t>(n));
  c.vel = std::span<const double>(vel, static_cast<std::size_t>(n));
  std::size_t peak = 0;
  double pga = -1;
  for (std::size_t j = 0; j < c.acc.size(); ++j) {
    double a = std::fabs(acc[j]);
    if (a > pga) {
      pga = a;
      peak = j;
    }
  }
  c.pga = pga < 0 ? 0 : pga;
  c.pga_time = static_cast<double>(peak) * kTimeStep;
  c.pgv = state_.VMAX(i);
  for (std::size_t j = 0; j < c.vel.size(); ++j) {
    if (std::fabs(vel[j]) != c.pgv) continue;
    c.pgv_time = static_cast<double>(j) * kTimeStep;
    break;
  }
  c.end_velocity = vel[n - 1];
}

void Checker::Compute() {
  bool faults_ok = std::all_of(result_.faults.begin(), result_.faults.end(),
                               [](const FaultSummary& f) { return f.read_ok; });
  bool cases_ok = std::all_of(result_.cases.begin(), result_.cases.end(),
                              [](const CaseSummary& c) { return c.read_ok; });
  // A case that was not read whole takes no part: lpgm would not get here.
  for (const CaseSummary& c : result_.cases)
    if (!c.read_ok) state_.NPTS(c.case_number) = 0;
  ComputeVelocities(state_);
  for (CaseSummary& c : result_.cases) {
    state_.NPTS(c.case_number) = c.npts;
    SummarizeCase(c);
  }
  if (!result_.faults.empty() && result_.faults[0].read_ok)
    result_.period = result_.faults[0].period;
  if (faults_ok) {
    ComputeTargetSpectrum(state_);
    for (int j = 1; j <= state_.NPER; ++j) {
      double sum = 0.0;
      for (int f = 1; f <= state_.NFAULT; ++f)
        sum = state_.SVF(f, j) * state_.SVF(f, j) + sum;
      result_.srss.push_back(std::sqrt(sum));
      result_.target.push_back(state_.SVTGT(j));
    }
  }
  if (!faults_ok || !cases_ok) return;
  result_.computed = true;
  RankCases(state_);
  result_.phase_case = state_.IMED;
  for (CaseSummary& c : result_.cases) {
    c.rank = state_.IRANK(c.case_number);
    c.phase = c.case_number == state_.IMED;
  }
}

void Checker::CheckStaleOutputs() {
  for (int k = 0; k < 6; ++k) {
    std::string name(OutputFileName(k));
    std::optional<FileStat> st = probe_.Stat(platform::HostPath(name));
    if (!st || st->modified_ns >= newest_input_ns_) continue;
    Add("stale-output", Severity::kWarning, 0, 0, name, 0,
        "this output file is older than an input: it was left by an "
        "earlier run and does not show the inputs as they are now; run "
        "lpgm again before handing the files on");
  }
}

CheckResult Checker::Run() {
  result_.definition = request_.definition;
  result_.working_directory = request_.working_directory;
  result_.checked_at = request_.checked_at;
  result_.version = request_.version;
  if (!ReadDefinition()) return std::move(result_);
  result_.definition_ok = true;
  CheckFolders();
  for (int i = 1; i <= state_.NFAULT; ++i) ReadFault(i);
  CheckGrid();
  for (int i = 1; i <= state_.NCASE; ++i) ReadCase(i);
  Compute();
  AddCaseValueFindings(result_);
  AddSpectrumValueFindings(result_);
  if (result_.computed) AddRankingFindings(result_);
  CheckStaleOutputs();
  return std::move(result_);
}

}  // namespace

CheckResult CheckInputs(const CheckRequest& request,
                        platform::FileSystem& files, FileProbe& probe,
                        RunState& state) {
  return Checker(request, files, probe, state).Run();
}

}  // namespace lpgm::check
