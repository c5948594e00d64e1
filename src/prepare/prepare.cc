#include "prepare/prepare.h"

#include <algorithm>
#include <ctime>
#include <exception>
#include <string>
#include <variant>
#include <vector>

#include "platform/file_status.h"
#include "platform/processors.h"
#include "prepare/batch.h"
#include "prepare/case_record.h"
#include "prepare/definition_command.h"
#include "prepare/formats.h"
#include "prepare/manifest.h"
#include "prepare/options.h"
#include "prepare/record_job.h"

namespace lpgm::prepare {

namespace {

constexpr std::string_view kProgram = "lpgm-prepare";

void Write(platform::OutputStream& stream, std::string_view text) {
  // Nowhere is left to report a failure of the standard streams.
  (void)stream.Write(text.data(), text.size());
}

int Refuse(PrepareEnvironment& env, const InputError& error) {
  Write(env.err, Describe(error) + "\n");
  return kExitInputError;
}

JobContext Context() {
  std::tm now = platform::LocalTime(std::time(nullptr));
  char date[64];
  std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S (local time)", &now);
  return JobContext{std::string(kProgram) + " " + LPGM_VERSION, date};
}

int ConvertRecord(const Options& options, PrepareEnvironment& env) {
  JobOutcome outcome = RunRecordJob(options, env.files, Context());
  if (outcome.error) return Refuse(env, *outcome.error);
  Write(env.out, outcome.summary + "\n");
  return kExitOk;
}

// Two threads at most: the records are read whole and the work is the
// filter, so a third would only wait for the disk.
int Threads() { return std::min(2, platform::UsableProcessors()); }

// Each record into CASES_FOLDER/NAME, or without -o into NAME beside it.
int ConvertRecords(const Arguments& arguments, PrepareEnvironment& env) {
  std::vector<Options> jobs;
  for (const std::string& record : arguments.records) {
    Options job = arguments.options;
    job.record = record;
    const bool beside = arguments.options.folder.empty();
    const char separator = record.find('\\') != std::string::npos ? '\\' : '/';
    job.folder = CaseFolderFor(
        record, beside ? SiblingPath(record, "") : arguments.options.folder,
        separator);
    jobs.push_back(std::move(job));
  }
  return RunBatch(jobs, env, Context(), Threads());
}

int ConvertManifest(const Arguments& arguments, PrepareEnvironment& env) {
  std::string text;
  if (platform::FileResult read =
          env.files.ReadWhole(arguments.manifest, &text);
      !read.ok())
    return Refuse(
        env, InputError{arguments.manifest, 0, "cannot read: " + Reason(read)});
  auto parsed =
      ParseManifest(text, arguments.manifest, arguments.options.force);
  if (auto* error = std::get_if<InputError>(&parsed))
    return Refuse(env, *error);
  return RunBatch(std::get<std::vector<Options>>(parsed), env, Context(),
                  Threads());
}

int Prepare(std::span<const std::string_view> args, PrepareEnvironment& env) {
  Arguments arguments = ParseArguments(args);
  switch (arguments.action) {
    case Action::kHelp:
      Write(env.out, HelpText());
      return kExitOk;
    case Action::kVersion:
      Write(env.out, std::string(kProgram) + " " + LPGM_VERSION + "\n");
      return kExitOk;
    case Action::kUsageError:
      if (IsDefinitionCommand(args)) break;
      Write(env.err, std::string(kProgram) + ": " + arguments.error + "\n" +
                         "Try 'lpgm-prepare --help'.\n");
      return kExitUsage;
    case Action::kConvert:
      break;
  }
  if (IsDefinitionCommand(args)) return RunDefinitionCommand(args, env);
  if (!arguments.manifest.empty()) return ConvertManifest(arguments, env);
  if (arguments.records.size() > 1 || arguments.options.folder.empty())
    return ConvertRecords(arguments, env);
  return ConvertRecord(arguments.options, env);
}

void ReportInternal(PrepareEnvironment& env, const char* what) noexcept {
  try {
    Write(env.err, std::string(kProgram) + ": internal error: " + what + "\n");
  } catch (...) {
    // Not even the message could be made (out of memory).
  }
}

}  // namespace

int RunPrepare(std::span<const std::string_view> args,
               PrepareEnvironment& env) noexcept {
  try {
    return Prepare(args, env);
  } catch (const std::exception& e) {
    ReportInternal(env, e.what());
  } catch (...) {
    ReportInternal(env, "an unknown exception");
  }
  return kExitInternal;
}

}  // namespace lpgm::prepare
