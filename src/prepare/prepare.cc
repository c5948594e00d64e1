#include "prepare/prepare.h"

#include <string>

#include "prepare/acc_writer.h"
#include "prepare/convert.h"
#include "prepare/formats.h"
#include "prepare/options.h"

namespace lpgm::prepare {

namespace {

constexpr std::string_view kProgram = "lpgm-prepare";

int Refuse(Host& host, const InputError& error) {
  host.Err(Describe(error) + "\n");
  return kExitInputError;
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
                                        std::string_view bytes, Host& host) {
  const std::string path = host.CaseFilePath(options.folder);
  std::string reason;
  if (!options.force && host.Exists(path))
    return InputError{path, 0, "exists already; --force replaces it"};
  if (!host.MakeFolder(options.folder, &reason))
    return InputError{options.folder, 0, "cannot make the folder: " + reason};
  if (!host.WriteFile(path, bytes, &reason))
    return InputError{path, 0, "cannot write: " + reason};
  return std::nullopt;
}

int ConvertRecord(const Options& options, Host& host) {
  std::string text;
  std::string reason;
  if (!host.ReadFile(options.record, &text, &reason))
    return Refuse(host,
                  InputError{options.record, 0, "cannot read: " + reason});
  ReadOutcome read = ReadRecord(options, text);
  if (auto* error = std::get_if<InputError>(&read)) return Refuse(host, *error);
  const SourceRecord& record = std::get<SourceRecord>(read);
  ConvertOptions convert_options{options.scale, options.baseline};
  auto converted = Convert(record, convert_options, options.record);
  if (auto* error = std::get_if<InputError>(&converted))
    return Refuse(host, *error);
  const Conversion& conversion = std::get<Conversion>(converted);
  AccFile file = FormatAccFile(conversion.samples);
  Peaks peaks = MeasurePeaks(file.written);
  if (auto error = WriteCaseFile(options, file.bytes, host))
    return Refuse(host, *error);
  host.Out(SummaryLine(options.record, record, convert_options, conversion,
                       peaks, Warnings(peaks, record.dt)) +
           "\n");
  return kExitOk;
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
      host.Err(std::string(kProgram) + ": " + arguments.error + "\n" +
               "Try 'lpgm-prepare --help'.\n");
      return kExitUsage;
    case Action::kConvert:
      break;
  }
  return ConvertRecord(arguments.options, host);
}

}  // namespace lpgm::prepare
