#include "spectrum/record_source.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "base/text_field.h"
#include "input/acceleration_file.h"
#include "platform/encoding.h"
#include "prepare/units.h"
#include "record/failure.h"

namespace lpgm::spectrum {

namespace {

// Larger files are no record: the largest lpgm takes is a few megabytes.
constexpr std::size_t kLargestFile = std::size_t{256} << 20;

constexpr std::string_view kCaseFileName = "加速度波形.acc";

std::string_view OpenFailure(platform::OpenError error) {
  switch (error) {
    case platform::OpenError::kNotFound:
      return "cannot read: no such file";
    case platform::OpenError::kIsDirectory:
      return "cannot read: is a folder, not a file";
    case platform::OpenError::kPermission:
      return "cannot read: permission denied";
    case platform::OpenError::kBadName:
      return "cannot read: not a valid file name";
    case platform::OpenError::kNone:
    case platform::OpenError::kOther:
      break;
  }
  return "cannot read: the file cannot be opened";
}

double LargestMagnitude(const std::vector<double>& acc) {
  double pga = 0.0;
  for (const double a : acc) pga = std::max(pga, std::fabs(a));
  return pga;
}

std::variant<GroundRecord, prepare::InputError> ReadCaseFile(
    const std::string& utf8_name, platform::FileSystem& files,
    RunState& state) {
  std::string folder =
      utf8_name.substr(0, utf8_name.size() - kCaseFileName.size());
  while (!folder.empty() && (folder.back() == '/' || folder.back() == '\\'))
    folder.pop_back();
  if (folder.empty()) folder = ".";
  const std::string cp932 = platform::Utf8ToCp932(folder);
  if (cp932.size() > state.CASEDIR(1).size())
    return prepare::InputError{utf8_name, 0,
                               "the folder name is longer than lpgm takes"};
  const Text400 kept_folder = state.CASEDIR(1);
  const std::int32_t kept_length = state.LCASEDIR(1);
  FillBlanks(state.CASEDIR(1));
  std::memcpy(state.CASEDIR(1).data(), cp932.data(), cp932.size());
  state.LCASEDIR(1) = static_cast<std::int32_t>(cp932.size());
  std::variant<GroundRecord, prepare::InputError> outcome;
  try {
    ReadAccelerationFile(state, files, 1);
    GroundRecord record;
    // A header count of 0 or less reads no samples.
    const int n = std::max(state.NPTS(1), 0);
    record.acc.assign(state.AccColumn(1), state.AccColumn(1) + n);
    record.kind = "case file";
    outcome = std::move(record);
  } catch (const RunStop& stop) {
    std::string message = platform::Cp932ToUtf8(stop.message());
    if (stop.kind() == RunStop::Kind::kRecordFailure)
      message = platform::Cp932ToUtf8(
          ErrorMessage(stop.number(), stop.unit(), stop.file()));
    outcome = prepare::InputError{utf8_name, static_cast<int>(stop.line()),
                                  "lpgm's reader stops: " + message};
  }
  const int set = std::clamp(state.NPTS(1), 0, kSampleCapacity);
  std::fill(state.AccColumn(1), state.AccColumn(1) + set, 0.0);
  state.NPTS(1) = 0;
  state.CASEDIR(1) = kept_folder;
  state.LCASEDIR(1) = kept_length;
  return outcome;
}

prepare::ReadOutcome ReadOtherRecord(const RecordOptions& options,
                                     std::string_view text,
                                     const std::string& name) {
  std::optional<prepare::Format> format = options.format;
  if (!format) format = prepare::DetectFormat(text);
  if (!format)
    return prepare::InputError{
        name, 1,
        "neither an AT2 nor a K-NET header; for a table give --format table "
        "with --dt and --units"};
  switch (*format) {
    case prepare::Format::kAt2:
      return prepare::ReadAt2(text, name);
    case prepare::Format::kKnet:
      return prepare::ReadKnet(text, name);
    case prepare::Format::kTable:
      break;
  }
  prepare::TableLayout layout;
  layout.dt = options.dt.value_or(0.0);
  layout.units = options.units.value_or(prepare::Units::kCentimetresPerSecond2);
  layout.skip = options.skip.value_or(0);
  layout.column = options.column.value_or(0);
  return prepare::ReadTable(text, name, layout);
}

}  // namespace

bool IsCaseFile(std::string_view utf8_name) {
  if (utf8_name.size() < kCaseFileName.size()) return false;
  const std::string_view tail =
      utf8_name.substr(utf8_name.size() - kCaseFileName.size());
  if (tail != kCaseFileName) return false;
  const std::size_t head = utf8_name.size() - kCaseFileName.size();
  return head == 0 || utf8_name[head - 1] == '/' || utf8_name[head - 1] == '\\';
}

std::variant<std::string, prepare::InputError> ReadWholeFile(
    platform::FileSystem& files, const std::string& utf8_name) {
  platform::OpenError error = platform::OpenError::kNone;
  std::unique_ptr<platform::InputStream> stream =
      files.OpenForReading(platform::Utf8ToCp932(utf8_name), &error);
  if (!stream)
    return prepare::InputError{utf8_name, 0, std::string(OpenFailure(error))};
  std::string text;
  char block[1 << 16];
  while (true) {
    const long got = stream->Read(block, sizeof block);
    if (got < 0)
      return prepare::InputError{utf8_name, 0, "cannot read: read failed"};
    if (got == 0) return text;
    text.append(block, static_cast<std::size_t>(got));
    if (text.size() > kLargestFile)
      return prepare::InputError{utf8_name, 0,
                                 "is larger than 256 MiB: no record"};
  }
}

std::variant<GroundRecord, prepare::InputError> ReadGroundRecord(
    const Command& command, platform::FileSystem& files, RunState& state) {
  const RecordOptions& options = command.record_options;
  std::variant<GroundRecord, prepare::InputError> outcome;
  if (IsCaseFile(command.record) && !options.format) {
    outcome = ReadCaseFile(command.record, files, state);
  } else {
    auto text = ReadWholeFile(files, command.record);
    if (auto* error = std::get_if<prepare::InputError>(&text)) return *error;
    prepare::ReadOutcome read =
        ReadOtherRecord(options, std::get<std::string>(text), command.record);
    if (auto* error = std::get_if<prepare::InputError>(&read)) return *error;
    prepare::SourceRecord& source = std::get<prepare::SourceRecord>(read);
    GroundRecord record;
    record.dt = source.dt;
    record.kind = std::string(prepare::FormatName(source.format));
    const double factor = prepare::FactorToCentimetres(source.units);
    record.acc = std::move(source.values);
    for (double& a : record.acc) a *= factor;
    outcome = std::move(record);
  }
  if (auto* error = std::get_if<prepare::InputError>(&outcome)) return *error;
  GroundRecord& record = std::get<GroundRecord>(outcome);
  if (options.scale != 1.0)
    for (double& a : record.acc) a *= options.scale;
  if (record.acc.empty())
    return prepare::InputError{command.record, 0, "holds no samples"};
  for (const double a : record.acc) {
    if (!std::isfinite(a))
      return prepare::InputError{command.record, 0,
                                 "a sample overflows in cm/s2"};
  }
  record.pga = LargestMagnitude(record.acc);
  return record;
}

}  // namespace lpgm::spectrum
