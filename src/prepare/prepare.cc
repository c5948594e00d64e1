#include "prepare/prepare.h"

#include <algorithm>
#include <ctime>
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

int Refuse(Host& host, const InputError& error) {
  host.Err(Describe(error) + "\n");
  return kExitInputError;
}

JobContext Context() {
  std::tm now = platform::LocalTime(std::time(nullptr));
  char date[64];
  std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S (local time)", &now);
  return JobContext{std::string(kProgram) + " " + LPGM_VERSION, date};
}

int ConvertRecord(const Options& options, Host& host) {
  JobOutcome outcome = RunRecordJob(options, host, Context());
  if (outcome.error) return Refuse(host, *outcome.error);
  host.Out(outcome.summary + "\n");
  return kExitOk;
}

// Two threads at most: the records are read whole and the work is the
// filter, so a third would only wait for the disk.
int Threads() { return std::min(2, platform::UsableProcessors()); }

// Each record into CASES_FOLDER/NAME, or without -o into NAME beside it.
int ConvertRecords(const Arguments& arguments, Host& host) {
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
  return RunBatch(jobs, host, Context(), Threads());
}

int ConvertManifest(const Arguments& arguments, Host& host) {
  std::string text;
  std::string reason;
  if (!host.ReadFile(arguments.manifest, &text, &reason))
    return Refuse(host,
                  InputError{arguments.manifest, 0, "cannot read: " + reason});
  auto parsed =
      ParseManifest(text, arguments.manifest, arguments.options.force);
  if (auto* error = std::get_if<InputError>(&parsed))
    return Refuse(host, *error);
  return RunBatch(std::get<std::vector<Options>>(parsed), host, Context(),
                  Threads());
}

}  // namespace

int RunPrepare(std::span<const std::string_view> args, Host& host) {
  Arguments arguments = ParseArguments(args);
  switch (arguments.action) {
    case Action::kHelp:
      host.Out(HelpText());
      return kExitOk;
    case Action::kVersion:
      host.Out(std::string(kProgram) + " " + LPGM_VERSION + "\n");
      return kExitOk;
    case Action::kUsageError:
      if (IsDefinitionCommand(args)) break;
      host.Err(std::string(kProgram) + ": " + arguments.error + "\n" +
               "Try 'lpgm-prepare --help'.\n");
      return kExitUsage;
    case Action::kConvert:
      break;
  }
  if (IsDefinitionCommand(args)) return RunDefinitionCommand(args, host);
  if (!arguments.manifest.empty()) return ConvertManifest(arguments, host);
  if (arguments.records.size() > 1 || arguments.options.folder.empty())
    return ConvertRecords(arguments, host);
  return ConvertRecord(arguments.options, host);
}

}  // namespace lpgm::prepare
