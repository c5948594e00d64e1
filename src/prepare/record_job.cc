#include "prepare/record_job.h"

#include <string_view>

#include "base/case_record.h"
#include "compute/provenance.h"
#include "prepare/acc_writer.h"
#include "prepare/case_record.h"

namespace lpgm::prepare {

namespace {

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

JobOutcome Failed(InputError error) {
  JobOutcome outcome;
  outcome.error = std::move(error);
  return outcome;
}

}  // namespace

JobOutcome RunRecordJob(const Options& options, platform::FileSystem& files,
                        const JobContext& context) {
  std::string text;
  if (platform::FileResult read = files.ReadWhole(options.record, &text);
      !read.ok())
    return Failed(
        InputError{options.record, 0, "cannot read: " + Reason(read)});
  ReadOutcome read = ReadRecord(options, text);
  if (auto* error = std::get_if<InputError>(&read)) return Failed(*error);
  const SourceRecord& record = std::get<SourceRecord>(read);
  ConvertOptions convert_options{options.scale, options.baseline};
  auto converted = Convert(record, convert_options, options.record);
  if (auto* error = std::get_if<InputError>(&converted)) return Failed(*error);
  const Conversion& conversion = std::get<Conversion>(converted);
  AccFile file = FormatAccFile(conversion.samples);
  JobOutcome outcome;
  outcome.samples = file.written.size();
  outcome.peaks = MeasurePeaks(file.written);
  std::vector<std::string> warnings = Warnings(outcome.peaks, record.dt);
  outcome.warnings = warnings.size();
  if (auto error = WriteCaseFile(options, file.bytes, files))
    return Failed(*error);
  const std::string case_path = CaseFilePath(options.folder);
  const std::string_view case_name = kCaseFileName;
  CaseRecordContext described{context.program, context.written,
                              options.record,  text,
                              case_name,       file.bytes};
  std::string record_text = FormatProvenance(DescribeCase(
      described, record, convert_options, conversion, outcome.peaks, warnings));
  const std::string record_path = SiblingPath(case_path, kProvenanceFileName);
  if (platform::FileResult written =
          files.ReplaceWhole(record_path, record_text);
      !written.ok())
    return Failed(InputError{record_path, 0,
                             "cannot write (the case file is written, its "
                             "record is not): " +
                                 Reason(written)});
  outcome.summary = SummaryLine(options.record, record, convert_options,
                                conversion, outcome.peaks, warnings);
  return outcome;
}

}  // namespace lpgm::prepare
