#include "prepare/prepare.h"

#include <exception>
#include <string>

#include "base/case_record.h"
#include "prepare/acc_writer.h"
#include "prepare/convert.h"
#include "prepare/formats.h"
#include "prepare/options.h"

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

// The words for a file that cannot be read or written.
std::string Reason(const platform::FileResult& result) {
  if (result.error == platform::OpenError::kIsDirectory)
    return "is a folder, not a file";
  return result.reason;
}

// The case file of `folder`, by the name the system gives it.
std::string CaseFilePath(const std::string& folder) {
  return folder + platform::kHostSeparator + kCaseFileName;
}

ReadOutcome ReadRecord(const Options& options, std::string_view text) {
  std::optional<Format> format = options.format;
  if (!format) format = DetectFormat(text);
  if (!format)
    return InputError{options.record, 1,
                      "neither an AT2 nor a K-NET header; for a table give "
                      "--format table with --dt and --units"};
  switch (*format) {
    case Format::kAt2:
      return ReadAt2(text, options.record);
    case Format::kKnet:
      return ReadKnet(text, options.record);
    case Format::kTable:
      break;
  }
  TableLayout layout;
  layout.dt = options.dt.value_or(0.0);
  layout.units = options.units.value_or(Units::kCentimetresPerSecond2);
  layout.skip = options.skip.value_or(0);
  layout.column = options.column.value_or(0);
  return ReadTable(text, options.record, layout);
}

// Writes the case file; an InputError naming the path when it cannot.
std::optional<InputError> WriteCaseFile(const Options& options,
                                        std::string_view bytes,
                                        platform::FileSystem& files) {
  const std::string path = CaseFilePath(options.folder);
  if (!options.force && files.Status(path))
    return InputError{path, 0, "exists already; --force replaces it"};
  if (platform::FileResult made = files.MakeFolders(options.folder); !made.ok())
    return InputError{options.folder, 0,
                      "cannot make the folder: " + Reason(made)};
  if (platform::FileResult written = files.ReplaceWhole(path, bytes);
      !written.ok())
    return InputError{path, 0, "cannot write: " + Reason(written)};
  return std::nullopt;
}

int ConvertRecord(const Options& options, PrepareEnvironment& env) {
  std::string text;
  if (platform::FileResult read = env.files.ReadWhole(options.record, &text);
      !read.ok())
    return Refuse(
        env, InputError{options.record, 0, "cannot read: " + Reason(read)});
  ReadOutcome read = ReadRecord(options, text);
  if (auto* error = std::get_if<InputError>(&read)) return Refuse(env, *error);
  const SourceRecord& record = std::get<SourceRecord>(read);
  ConvertOptions convert_options{options.scale, options.baseline};
  auto converted = Convert(record, convert_options, options.record);
  if (auto* error = std::get_if<InputError>(&converted))
    return Refuse(env, *error);
  const Conversion& conversion = std::get<Conversion>(converted);
  AccFile file = FormatAccFile(conversion.samples);
  Peaks peaks = MeasurePeaks(file.written);
  if (auto error = WriteCaseFile(options, file.bytes, env.files))
    return Refuse(env, *error);
  Write(env.out, SummaryLine(options.record, record, convert_options,
                             conversion, peaks, Warnings(peaks, record.dt)) +
                     "\n");
  return kExitOk;
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
      Write(env.err, std::string(kProgram) + ": " + arguments.error + "\n" +
                         "Try 'lpgm-prepare --help'.\n");
      return kExitUsage;
    case Action::kConvert:
      break;
  }
  return ConvertRecord(arguments.options, env);
}

}  // namespace

int RunPrepare(std::span<const std::string_view> args,
               PrepareEnvironment& env) noexcept {
  try {
    return Prepare(args, env);
  } catch (const std::exception& e) {
    try {
      Write(env.err,
            std::string(kProgram) + ": internal error: " + e.what() + "\n");
    } catch (...) {
      // Not even the message could be made (out of memory).
    }
    return kExitInternal;
  }
}

}  // namespace lpgm::prepare
