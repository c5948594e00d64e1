#include "check/checker.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <variant>

#include "check/facts.h"
#include "check/read_cause.h"
#include "check/rules.h"
#include "check/series_stats.h"
#include "check/spectrum_fit.h"
#include "check/text_encoding.h"
#include "compute/ranking.h"
#include "compute/response_spectrum.h"
#include "compute/target_spectrum.h"
#include "compute/velocity.h"
#include "input/acceleration_file.h"
#include "input/definition_file.h"
#include "input/read_in_order.h"
#include "input/spectrum_file.h"
#include "output/output_files.h"
#include "platform/encoding.h"
#include "platform/file_status.h"
#include "platform/processors.h"
#include "record/failure.h"
#include "record/number_format.h"
#include "record/trimmed_length.h"
#include "state/error_stop.h"

namespace lpgm::check {
namespace {

constexpr double kTimeStep = 0.02;

ReadStop StopOf(const RunStop& stop) {
  return {ReasonOf(stop), stop.message(), stop.line(), {}};
}

// Whether the record layer stopped the reading with diagnostic `number`.
bool FailedWith(const RunStop& stop, int number) {
  return stop.kind() == RunStop::Kind::kRecordFailure &&
         stop.number() == number;
}

bool IsRelative(const std::string& host_path) {
  return std::filesystem::path(
             std::u8string(host_path.begin(), host_path.end()))
      .is_relative();
}

// The folder part of a host path; empty when it names none.
std::string_view FolderOf(std::string_view host_path) {
  std::size_t slash = host_path.rfind('/');
  return slash == std::string_view::npos ? std::string_view()
                                         : host_path.substr(0, slash);
}

// One check in progress: reads the inputs through lpgm's readers into the
// run state, keeping the facts of the reading and the summaries of what
// was read; the rules then judge them.
class Checker {
 public:
  Checker(const CheckRequest& request, platform::FileSystem& files,
          RunState& state)
      : request_(request), files_(files), state_(state), collector_(facts_) {}

  CheckResult Run();

 private:
  void NoteInput(const char* role, const std::string& cp932_path);
  std::string TextOf(const std::string& cp932_path);
  std::string OpenCause(const std::string& cp932_path);
  std::string DefinitionCause(const RunStop& stop);
  std::string ListStopCause(const RunStop& stop);
  std::string FaultCause(const RunStop& stop, const std::string& path);
  std::string CaseCause(const RunStop& stop, const CaseFacts& facts);
  TextEncoding DefinitionEncoding(const std::string& path);
  bool ReadDefinition();
  void NoteFolders();
  void ReadFault(int i);
  void SummarizeFault(const FaultFacts& facts, FaultSummary& fault);
  void CompareGrids();
  void NoteCases();
  void ReadCase(int i);
  void ReadCases();
  void ReadProvenance(CaseFacts& facts);
  void Compute();
  void SummarizeCase(CaseSummary& summary);
  void PrepareSpectra();
  void CaseSpectrum(CaseSummary& c) const;
  void CompareSpectra();
  void NoteOutputs();

  const CheckRequest& request_;
  platform::FileSystem& files_;
  RunState& state_;
  CheckFacts facts_;
  FactCollector collector_;
  CheckResult result_;
  std::int64_t newest_input_ns_ = 0;
  std::vector<Oscillator> oscillators_;
  std::vector<std::size_t> oscillator_row_;  // the period of each
};

void Checker::NoteInput(const char* role, const std::string& cp932_path) {
  InputFile file;
  file.role = role;
  file.path = platform::HostPath(cp932_path);
  if (std::optional<platform::FileStatus> st = files_.Status(file.path)) {
    file.exists = true;
    file.size = st->size;
    file.modified = platform::LocalTimeText(st->modified_ns);
    newest_input_ns_ = std::max(newest_input_ns_, st->modified_ns);
  }
  result_.inputs.push_back(std::move(file));
}

// The bytes of an input file, opened as lpgm's readers open it, to say why
// its reading failed; empty when it cannot be read.
std::string Checker::TextOf(const std::string& cp932_path) {
  std::string text;
  platform::OpenError error = platform::OpenError::kNone;
  std::unique_ptr<platform::InputStream> stream =
      files_.OpenForReading(cp932_path, &error);
  if (!stream) return text;
  char block[64 * 1024];
  for (long n; (n = stream->Read(block, sizeof block)) > 0;)
    text.append(block, static_cast<std::size_t>(n));
  return text;
}

// Why a file cannot be opened, when the file system tells: a folder where
// the file should be, no such folder, or a folder without the file.
std::string Checker::OpenCause(const std::string& cp932_path) {
  const std::string host = platform::HostPath(cp932_path);
  std::optional<platform::FileStatus> st = files_.Status(host);
  if (st && st->is_folder) return host + " is a folder, not a file";
  if (st) return {};
  const std::string folder(FolderOf(host));
  if (folder.empty()) return {};
  // The first folder of the path that is missing, so that files under one
  // missing folder share their cause.
  for (std::size_t end = folder.find('/', 1);;
       end = folder.find('/', end + 1)) {
    const std::string part = folder.substr(0, end);
    if (!part.empty() && part.back() != ':') {
      std::optional<platform::FileStatus> dir = files_.Status(part);
      if (!dir) return "there is no folder " + part;
      if (!dir->is_folder) return part + " is a file, not a folder";
    }
    if (end == std::string::npos) break;
  }
  return "the folder " + folder + " holds no file " +
         host.substr(folder.size() + 1);
}

std::string Checker::DefinitionCause(const RunStop& stop) {
  const std::string& path = facts_.definition.path;
  switch (ReasonOf(stop)) {
    case StopReason::kCannotOpen: {
      std::string cause = OpenCause(path);
      const std::string host = platform::HostPath(path);
      if (cause.empty() && !files_.Status(host) && IsRelative(host) &&
          !request_.working_directory.empty())
        cause = "there is no file " + host + " in the working directory " +
                request_.working_directory;
      return cause;
    }
    case StopReason::kCountError:
      return "line 2 of the definition file, \"" +
             platform::Cp932ToUtf8(LineOf(TextOf(path), 2)) +
             "\", must give the number of faults (1 to " +
             std::to_string(kMaxFaults) + ") and of cases (1 to " +
             std::to_string(kMaxCases) + ")";
    case StopReason::kFaultLine:
    case StopReason::kFaultMissing:
    case StopReason::kCaseLine:
    case StopReason::kCaseMissing:
      return ListStopCause(stop);
    case StopReason::kNone:
      if (FailedWith(stop, kErrEndOfFile))
        return ShortDefinitionCause(state_.NFAULT, state_.NCASE, stop.line());
      if (FailedWith(stop, kErrConversion))
        return MalformedFieldCause(TextOf(path), stop.line(),
                                   FieldCut::kFixed20, 1, 1);
      return {};
    default:
      return {};
  }
}

// A slot number out of range, or a slot no line named.
std::string Checker::ListStopCause(const RunStop& stop) {
  const StopReason reason = ReasonOf(stop);
  const bool cases =
      reason == StopReason::kCaseLine || reason == StopReason::kCaseMissing;
  const bool line_error =
      reason == StopReason::kFaultLine || reason == StopReason::kCaseLine;
  return ListCause(TextOf(facts_.definition.path), state_.NFAULT,
                   cases ? state_.NCASE : state_.NFAULT,
                   cases ? ListKind::kCases : ListKind::kFaults, line_error);
}

std::string Checker::FaultCause(const RunStop& stop, const std::string& path) {
  if (ReasonOf(stop) == StopReason::kCannotOpen) return OpenCause(path);
  if (FailedWith(stop, kErrEndOfFile)) return ShortSpectrumCause(TextOf(path));
  if (FailedWith(stop, kErrConversion))
    return MalformedFieldCause(TextOf(path), stop.line(), FieldCut::kFixed20, 0,
                               28);
  return {};
}

std::string Checker::CaseCause(const RunStop& stop, const CaseFacts& facts) {
  if (ReasonOf(stop) == StopReason::kCannotOpen) return OpenCause(facts.path);
  const int count = state_.NPTS(facts.case_number);
  if (FailedWith(stop, kErrEndOfFile))
    return stop.line() == 1
               ? "the file is empty"
               : ShortCaseCause(count, facts.end.values_before_failure);
  if (FailedWith(stop, kErrConversion) && stop.line() == 1)
    return MalformedFieldCause(TextOf(facts.path), 1, FieldCut::kFixed20, 1, 2);
  if (!FailedWith(stop, kErrListSyntax)) return {};
  std::string field =
      MalformedFieldCause(TextOf(facts.path), stop.line(), FieldCut::kFreeForm);
  if (field.empty()) return {};
  return "sample " + std::to_string(facts.end.values_before_failure + 1) +
         " of " + std::to_string(count) + ", " + field;
}

// The encoding the definition file's first 64 KiB look like; Shift-JIS
// when it cannot be opened.
TextEncoding Checker::DefinitionEncoding(const std::string& path) {
  platform::OpenError error = platform::OpenError::kNone;
  std::unique_ptr<platform::InputStream> stream =
      files_.OpenForReading(path, &error);
  if (!stream) return TextEncoding::kShiftJis;
  std::string head(64 * 1024, '\0');
  std::size_t got = 0;
  while (got < head.size()) {
    long n = stream->Read(head.data() + got, head.size() - got);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  head.resize(got);
  return GuessEncoding(head);
}

bool Checker::ReadDefinition() {
  InitializeRunState(state_);
  DefinitionFacts& d = facts_.definition;
  d.name = request_.definition_cp932;
  d.name_kept = state_.DEFFILE.size();
  std::size_t kept = std::min(d.name.size(), d.name_kept);
  std::copy_n(d.name.begin(), kept, state_.DEFFILE.begin());
  state_.LDEFFILE = LCHR40(state_.DEFFILE);
  d.path = std::string(Leading(state_.DEFFILE, state_.LDEFFILE));
  NoteInput("definition", d.path);
  d.encoding = DefinitionEncoding(d.path);
  try {
    ReadDefinitionFile(state_, files_);
  } catch (const RunStop& stop) {
    d.stop = StopOf(stop);
    d.stop->cause = DefinitionCause(stop);
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

void Checker::NoteFolders() {
  auto note_list = [&](int count, auto folder_at, bool faults) {
    std::vector<std::string> keys;
    for (int i = 1; i <= count; ++i) {
      FolderFacts f;
      (faults ? f.fault : f.case_number) = i;
      f.folder = std::string(folder_at(i));
      keys.push_back(FolderKey(f.folder));
      for (int k = 1; k < i && f.same_as == 0; ++k)
        if (keys[static_cast<std::size_t>(k - 1)] == keys.back()) f.same_as = k;
      facts_.folders.push_back(std::move(f));
    }
  };
  note_list(
      state_.NFAULT,
      [&](int i) { return Leading(state_.FLTDIR(i), state_.LFLTDIR(i)); },
      true);
  note_list(
      state_.NCASE,
      [&](int i) { return Leading(state_.CASEDIR(i), state_.LCASEDIR(i)); },
      false);
}

void Checker::ReadFault(int i) {
  FaultFacts& facts = facts_.faults.emplace_back();
  facts.fault = i;
  facts.path = SpectrumFilePath(state_, i);
  NoteInput("spectrum", facts.path);
  FaultSummary fault;
  fault.fault = i;
  fault.folder =
      platform::HostPath(Leading(state_.FLTDIR(i), state_.LFLTDIR(i)));
  try {
    ReadSpectrumFile(state_, files_, i, collector_);
    fault.read_ok = true;
  } catch (const RunStop& stop) {
    facts.stop = StopOf(stop);
    facts.stop->cause = FaultCause(stop, facts.path);
  }
  if (fault.read_ok) SummarizeFault(facts, fault);
  result_.faults.push_back(std::move(fault));
}

void Checker::SummarizeFault(const FaultFacts& facts, FaultSummary& fault) {
  fault.rows = state_.NPER;
  for (int j = 1; j <= state_.NPER; ++j) {
    std::size_t k = static_cast<std::size_t>(j - 1);
    // Fault 1's periods are lpgm's own; the others' as their rows read.
    fault.period.push_back(k < facts.rows.size() ? facts.rows[k].period
                                                 : std::nan(""));
    fault.sv.push_back(state_.SVF(fault.fault, j));
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

// Finds each fault's first period that differs from fault 1's as lpgm
// writes them.
void Checker::CompareGrids() {
  if (result_.faults.empty() || !result_.faults[0].read_ok) return;
  const std::vector<double>& first = result_.faults[0].period;
  for (std::size_t i = 1; i < result_.faults.size(); ++i) {
    FaultSummary& fault = result_.faults[i];
    if (!fault.read_ok) continue;
    for (std::size_t j = 0; j < first.size(); ++j) {
      if (Period4(fault.period[j]) == Period4(first[j])) continue;
      fault.grid_matches = false;
      facts_.faults[i].grid_difference_row = static_cast<int>(j) + 1;
      break;
    }
  }
}

// Makes room for every case's facts and summary, and notes their files in
// order, before any is read.
void Checker::NoteCases() {
  for (int i = 1; i <= state_.NCASE; ++i) {
    CaseFacts& facts = facts_.cases.emplace_back();
    facts.case_number = i;
    facts.path = AccelerationFilePath(state_, i);
    NoteInput("acceleration", facts.path);
    CaseSummary& summary = result_.cases.emplace_back();
    summary.case_number = i;
    summary.folder =
        platform::HostPath(Leading(state_.CASEDIR(i), state_.LCASEDIR(i)));
  }
}

// Reads case i and works out all that needs no other case: its velocity,
// its summary and its spectrum. Touches only case i's column, facts and
// summary, so that two cases can be read at once.
void Checker::ReadCase(int i) {
  CaseFacts& facts = facts_.cases[static_cast<std::size_t>(i - 1)];
  CaseSummary& summary = result_.cases[static_cast<std::size_t>(i - 1)];
  try {
    ReadAccelerationFile(state_, files_, i, collector_);
    summary.read_ok = true;
  } catch (const RunStop& stop) {
    facts.stop = StopOf(stop);
    facts.stop->cause = CaseCause(stop, facts);
  }
  if (!StoppedFor(facts.stop, StopReason::kCannotOpen)) ReadProvenance(facts);
  facts.npts = summary.npts = state_.NPTS(i);
  summary.duration = summary.npts > 0 ? summary.npts * kTimeStep : 0.0;
  summary.header_time_step = facts.header_time_step;
  if (!summary.read_ok) return;
  ComputeVelocity(state_, i);
  SummarizeCase(summary);
  SummarizeSeries(summary);
  CaseSpectrum(summary);
}

// Two threads when there is a second processor and every case file can be
// read ahead (regular files that exist); otherwise one after another.
void Checker::ReadCases() {
  NoteCases();
  bool two = state_.NCASE >= 2 && platform::UsableProcessors() >= 2;
  for (const CaseFacts& c : facts_.cases)
    two = two && files_.CanReadAhead(c.path);
  // ReadCase catches every stop of the record layer; anything else is the
  // checker's own fault and leaves the check.
  ReadInOrder(
      state_.NCASE, [this](int i) { ReadCase(i); }, two);
  // The records beside the case files, listed after them.
  for (const CaseFacts& c : facts_.cases)
    if (c.provenance) NoteInput("provenance", c.provenance->path);
}

// The record lpgm-prepare left beside the case file, if any, checked
// against the case file's bytes. Touches only the case's facts (the
// reading threads call it); ReadCases lists the record among the inputs.
void Checker::ReadProvenance(CaseFacts& facts) {
  const int i = facts.case_number;
  std::string path(Leading(state_.CASEDIR(i), state_.LCASEDIR(i)));
  path += '\\';
  path += kProvenanceFileName;
  std::optional<platform::FileStatus> st =
      files_.Status(platform::HostPath(path));
  if (!st || st->is_folder) return;
  ProvenanceFacts& p = facts.provenance.emplace();
  p.path = path;
  std::string text;
  if (platform::FileResult read =
          files_.ReadWhole(platform::HostPath(path), &text);
      !read.ok()) {
    p.problem = "it cannot be read (" + read.reason + ")";
    return;
  }
  auto parsed = ParseProvenance(text);
  if (const std::string* error = std::get_if<std::string>(&parsed)) {
    p.problem = *error;
    return;
  }
  const Provenance& record = std::get<Provenance>(parsed);
  p.source = record.Value("source").value_or("");
  p.recorded_size = record.Value(kCaseFileSizeKey).value_or("");
  const std::string bytes = TextOf(facts.path);
  p.actual_size = static_cast<long long>(bytes.size());
  p.check = VerifyCaseFile(record, bytes);
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
  if (faults_ok) {
    ComputeTargetSpectrum(state_);
    for (int j = 1; j <= state_.NPER; ++j) {
      result_.srss.push_back(SrssAt(state_, j));
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

// The oscillators of the cases' spectra: one at each of fault 1's periods
// that an oscillator can have, at the damping of the target.
void Checker::PrepareSpectra() {
  if (result_.faults.empty() || !result_.faults[0].read_ok) return;
  result_.period = result_.faults[0].period;
  for (std::size_t j = 0; j < result_.period.size(); ++j) {
    const double t = result_.period[j];
    if (!std::isfinite(t) || !(t > 0)) continue;
    oscillators_.push_back({t, request_.damping});
    oscillator_row_.push_back(j);
  }
}

// A case's response spectrum at the periods, in the kind of the target; NaN
// at a period no oscillator can have.
void Checker::CaseSpectrum(CaseSummary& c) const {
  if (c.acc.empty() || oscillators_.empty()) return;
  std::vector<SpectralPeaks> peaks(oscillators_.size());
  SpectrumOptions options;
  options.kernel = state_.kernel;
  const RecordSamples record[] = {{c.acc, kTimeStep}};
  ComputeSpectralPeaksOfRecords(record, oscillators_, options, 1, peaks);
  c.spectrum.assign(result_.period.size(), std::nan(""));
  for (std::size_t k = 0; k < peaks.size(); ++k)
    c.spectrum[oscillator_row_[k]] =
        SpectralValue(peaks[k], oscillators_[k].period, request_.spectrum_kind);
}

// Each case against the target and the other cases.
void Checker::CompareSpectra() {
  for (CaseSummary& c : result_.cases)
    if (!c.spectrum.empty())
      c.ratio = RatioToTarget(result_.period, c.spectrum, result_.target);
  CompareLevels(result_);
}

void Checker::NoteOutputs() {
  for (int k = 0; k < 6; ++k) {
    OutputFacts& o = facts_.outputs.emplace_back();
    o.name = std::string(OutputFileName(k));
    std::optional<platform::FileStatus> st =
        files_.Status(platform::HostPath(o.name));
    o.older_than_inputs = st && st->modified_ns < newest_input_ns_;
  }
}

CheckResult Checker::Run() {
  result_.definition = request_.definition;
  result_.working_directory = request_.working_directory;
  result_.checked_at = request_.checked_at;
  result_.version = request_.version;
  result_.spectrum_kind = std::string(SpectrumKindName(request_.spectrum_kind));
  result_.damping = request_.damping;
  result_.definition_ok = ReadDefinition();
  if (result_.definition_ok) {
    NoteFolders();
    for (int i = 1; i <= state_.NFAULT; ++i) ReadFault(i);
    CompareGrids();
    PrepareSpectra();
    ReadCases();
    Compute();
    CompareSpectra();
    NoteOutputs();
  }
  ApplyRules(facts_, result_);
  return std::move(result_);
}

}  // namespace

CheckResult CheckInputs(const CheckRequest& request,
                        platform::FileSystem& files, RunState& state) {
  return Checker(request, files, state).Run();
}

}  // namespace lpgm::check
