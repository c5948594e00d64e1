#include "match/match_program.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <variant>

#include "base/case_record.h"
#include "match/command_line.h"
#include "match/html_report.h"
#include "match/match_inputs.h"
#include "match/match_output.h"
#include "platform/encoding.h"
#include "prepare/acc_writer.h"

namespace lpgm::match {

namespace {

void Say(platform::Console& console, const std::string& utf8_line) {
  const std::string text =
      console.ToConsoleText(platform::Utf8ToCp932(utf8_line + "\n"));
  console.Output().Write(text.data(), text.size());
}

void Complain(platform::Console& console, const std::string& utf8_line) {
  console.WriteErrorLine(platform::Utf8ToCp932("lpgm-match: " + utf8_line));
}

// A file to write, with its bytes.
struct PendingFile {
  std::string utf8_path;
  std::string bytes;
};

std::optional<std::string> WriteFile(platform::FileSystem& files,
                                     const PendingFile& file) {
  platform::OpenError error = platform::OpenError::kNone;
  std::unique_ptr<platform::OutputStream> out =
      files.OpenForWriting(platform::Utf8ToCp932(file.utf8_path), &error);
  if (!out) {
    return file.utf8_path + ": error: cannot be written" +
           (error == platform::OpenError::kNotFound
                ? " (its folder does not exist)"
                : "");
  }
  if (!out->Write(file.bytes.data(), file.bytes.size()) || !out->Close())
    return file.utf8_path + ": error: the write failed";
  return std::nullopt;
}

std::string CaseFilePath(const std::string& folder) {
  std::string path = folder;
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
  return path + "加速度波形.acc";
}

// Reads both inputs; an error message when either cannot be used.
std::optional<std::string> ReadInputs(const CommandLine& cl,
                                      MatchEnvironment& env,
                                      MatchReport& report) {
  auto target = ReadTargetFile(env.files, cl.target);
  if (const auto* p = std::get_if<InputProblem>(&target)) return Describe(*p);
  auto phase = ReadPhaseFile(env.files, cl.phase);
  if (const auto* p = std::get_if<InputProblem>(&phase)) return Describe(*p);
  TargetSpectrum& t = std::get<TargetSpectrum>(target);
  PhaseRecord& r = std::get<PhaseRecord>(phase);
  report.target_file = cl.target;
  report.target_source = t.source;
  report.phase_file = cl.phase;
  report.phase_source = r.source;
  report.target.periods = std::move(t.periods);
  report.target.values = std::move(t.values);
  report.target.kind = cl.kind;
  report.target.damping = cl.damping;
  report.dt = r.dt;
  report.result.phase = std::move(r.acc);
  return std::nullopt;
}

std::optional<std::string> SetOptions(const CommandLine& cl,
                                      const MatchEnvironment& env,
                                      MatchReport& report) {
  MatchOptions& o = report.options;
  o.iterations = cl.iterations;
  o.baseline = cl.baseline;
  o.criteria = cl.criteria;
  o.kernel = env.kernel;
  const std::size_t n = report.result.phase.size();
  if (cl.duration > 0.0) {
    const double samples = std::round(cl.duration / report.dt);
    if (samples > static_cast<double>(kSampleCapacity))
      return "--duration " + std::to_string(cl.duration) +
             " s is more than 100000 samples";
    o.length = static_cast<std::size_t>(samples);
    if (o.length < n)
      return "--duration is shorter than the phase record (" +
             std::to_string(static_cast<double>(n) * report.dt) + " s)";
  }
  const std::string error =
      MatchRequestError(report.result.phase, report.dt, report.target, o);
  if (!error.empty()) return error;
  return std::nullopt;
}

std::vector<PendingFile> Outputs(const CommandLine& cl,
                                 const MatchReport& report) {
  std::vector<PendingFile> files;
  files.push_back({cl.output, FormatMotionFile(report)});
  if (!cl.case_folder.empty())
    files.push_back({CaseFilePath(cl.case_folder),
                     prepare::FormatAccFile(report.result.acc).bytes});
  if (!cl.html.empty()) files.push_back({cl.html, HtmlReport(report)});
  return files;
}

// The same file by its name: the paths compared after their "." and ".."
// steps are resolved and '\\' read as '/' (no call to the system: two names
// of one file through a link are not caught).
bool SameName(const std::string& a, const std::string& b) {
  auto normal = [](std::string p) {
    std::replace(p.begin(), p.end(), '\\', '/');
    return std::filesystem::path(p).lexically_normal().generic_string();
  };
  return normal(a) == normal(b);
}

// An output that would be written over an input, or nullopt.
std::optional<std::string> OverInput(const CommandLine& cl) {
  std::vector<std::string> outputs = {cl.output};
  if (!cl.case_folder.empty()) outputs.push_back(CaseFilePath(cl.case_folder));
  if (!cl.html.empty()) outputs.push_back(cl.html);
  for (const std::string& out : outputs) {
    for (const std::string* input : {&cl.target, &cl.phase}) {
      if (SameName(out, *input))
        return out + " is an input: choose another output name";
    }
  }
  return std::nullopt;
}

int Run(const CommandLine& cl, MatchEnvironment& env) {
  MatchReport report;
  std::optional<std::string> problem = ReadInputs(cl, env, report);
  if (!problem) problem = SetOptions(cl, env, report);
  if (problem) {
    Complain(env.console, *problem);
    return kExitInput;
  }
  const std::vector<double> phase = std::move(report.result.phase);
  report.result = MatchGround(phase, report.dt, report.target, report.options);
  MeasureMotion(report);
  for (const PendingFile& file : Outputs(cl, report)) {
    if (std::optional<std::string> e = WriteFile(env.files, file)) {
      Complain(env.console, *e);
      return kExitInput;
    }
  }
  if (cl.json) {
    const std::string json = JsonReport(report);
    env.raw_out.Write(json.data(), json.size());
  } else {
    Say(env.console, SummaryLine(report));
  }
  if (report.result.failed.empty()) return kExitMet;
  for (const std::string& f : report.result.failed)
    Complain(env.console, "criterion not met: " + f);
  return kExitNotMet;
}

}  // namespace

int RunMatchProgram(std::span<const std::string> args, MatchEnvironment& env) {
  auto parsed = ParseCommandLine(args);
  if (const auto* u = std::get_if<UsageError>(&parsed)) {
    Complain(env.console, u->message + " (see --help)");
    return kExitUsage;
  }
  const CommandLine& cl = std::get<CommandLine>(parsed);
  if (cl.help) {
    Say(env.console, HelpText());
    return kExitMet;
  }
  if (cl.version) {
    Say(env.console, std::string("lpgm-match ") + LPGM_VERSION);
    return kExitMet;
  }
  if (std::optional<std::string> e = OverInput(cl)) {
    Complain(env.console, *e);
    return kExitUsage;
  }
  return Run(cl, env);
}

}  // namespace lpgm::match
