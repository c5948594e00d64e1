#include "match/match_inputs.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>

#include "base/case_record.h"
#include "platform/encoding.h"
#include "prepare/acc_writer.h"
#include "prepare/convert.h"
#include "prepare/formats.h"
#include "record/failure.h"
#include "record/field_read.h"
#include "record/free_form.h"
#include "record/input_channel.h"
#include "record/layout.h"

namespace lpgm::match {

namespace {

constexpr int kUnitTarget = 12;
constexpr int kUnitPhase = 13;
constexpr int kFaultRows = 55;

// The bytes of a file already read, as a stream for an InputChannel.
class BytesStream : public platform::InputStream {
 public:
  explicit BytesStream(std::string_view bytes) : bytes_(bytes) {}
  long Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min(size, bytes_.size() - pos_);
    if (n > 0) std::memcpy(buffer, bytes_.data() + pos_, n);
    pos_ += n;
    return static_cast<long>(n);
  }

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

std::optional<InputProblem> ReadWholeFile(platform::FileSystem& files,
                                          std::string_view utf8_path,
                                          std::string* bytes) {
  platform::OpenError error = platform::OpenError::kNone;
  std::unique_ptr<platform::InputStream> in =
      files.OpenForReading(platform::Utf8ToCp932(utf8_path), &error);
  if (!in) {
    const char* why =
        error == platform::OpenError::kNotFound      ? "not found"
        : error == platform::OpenError::kIsDirectory ? "is a folder"
        : error == platform::OpenError::kPermission  ? "permission denied"
                                                     : "cannot be opened";
    return InputProblem{std::string(utf8_path), 0, why};
  }
  char block[64 * 1024];
  for (;;) {
    const long n = in->Read(block, sizeof block);
    if (n < 0) return InputProblem{std::string(utf8_path), 0, "read failed"};
    if (n == 0) break;
    bytes->append(block, static_cast<std::size_t>(n));
  }
  return std::nullopt;
}

bool StartsWith(std::string_view bytes, const char* utf8_literal) {
  const std::string& head = platform::Cp932Literal(utf8_literal);
  return bytes.substr(0, head.size()) == head;
}

InputProblem FromStop(const RunStop& stop, std::string_view file) {
  std::string why;
  switch (stop.number()) {
    case kErrEndOfFile:
      why = "the file ends before its last value";
      break;
    case kErrConversion:
    case kErrListSyntax:
      why = "a value is not a number";
      break;
    default:
      why = "cannot be read (record-layer error " +
            std::to_string(stop.number()) + ")";
  }
  return InputProblem{std::string(file), stop.line(), why};
}

std::optional<InputProblem> CheckTarget(const TargetSpectrum& t,
                                        std::string_view file,
                                        long first_line) {
  if (t.periods.size() < 2)
    return InputProblem{std::string(file), 0, "fewer than 2 periods"};
  for (std::size_t k = 0; k < t.periods.size(); ++k) {
    const long line = first_line + static_cast<long>(k);
    if (!std::isfinite(t.periods[k]) || !(t.periods[k] > 0.0))
      return InputProblem{std::string(file), line,
                          "the period is not a number > 0"};
    if (k > 0 && !(t.periods[k] > t.periods[k - 1]))
      return InputProblem{std::string(file), line,
                          "the periods do not increase"};
    if (!std::isfinite(t.values[k]) || !(t.values[k] > 0.0))
      return InputProblem{std::string(file), line,
                          "the spectral value is not a number > 0"};
  }
  return std::nullopt;
}

// Rows of "(2F40.0)" after one header line, to the end of the file: each
// field ends at its comma, so both lpgm's layout and wider ones read.
void ReadPairRows(InputChannel& channel, std::vector<double>& first,
                  std::vector<double>& second) {
  static const Layout kHeader = Layout::Parse("(A)");
  static const Layout kPair = Layout::Parse("(2F40.0)");
  char header[1];
  ReadRecord(channel, kHeader, {ListItem::Text(header, 1)});
  for (;;) {
    double pair[2] = {0.0, 0.0};
    try {
      ReadRecord(channel, kPair, {ListItem::Real(pair, 2)});
    } catch (const RunStop& stop) {
      if (stop.number() == kErrEndOfFile) return;
      throw;
    }
    if (first.size() >= static_cast<std::size_t>(kSampleCapacity) + 1)
      throw RunStop::RecordFailure(kErrRead, channel.unit(), channel.name(),
                                   channel.records_begun());
    first.push_back(pair[0]);
    second.push_back(pair[1]);
  }
}

void ReadFaultRows(InputChannel& channel, TargetSpectrum& t) {
  static const Layout kRow = Layout::Parse("(28F20.0)");
  for (int h = 0; h < 9; ++h) channel.SkipRecord();
  for (int j = 0; j < kFaultRows; ++j) {
    double fields[28] = {};
    ReadRecord(channel, kRow, {ListItem::Real(fields, 28)});
    t.periods.push_back(fields[0]);
    t.values.push_back(fields[27]);
  }
}

std::optional<InputProblem> CheckSamples(const std::vector<double>& acc,
                                         std::string_view file) {
  if (acc.empty()) return InputProblem{std::string(file), 0, "no samples"};
  if (acc.size() > static_cast<std::size_t>(kSampleCapacity))
    return InputProblem{std::string(file), 0,
                        "more than 100000 samples (lpgm's capacity)"};
  for (std::size_t j = 0; j < acc.size(); ++j)
    if (!std::isfinite(acc[j]))
      return InputProblem{
          std::string(file), 0,
          "sample " + std::to_string(j + 1) + " is not a finite number"};
  return std::nullopt;
}

std::variant<PhaseRecord, InputProblem> ParseInputUsePhase(
    std::string_view bytes, std::string_view file) {
  BytesStream stream(bytes);
  InputChannel channel(stream, kUnitPhase, std::string(file));
  std::vector<double> times;
  PhaseRecord r;
  r.source = "time and acceleration rows";
  try {
    ReadPairRows(channel, times, r.acc);
  } catch (const RunStop& stop) {
    return FromStop(stop, file);
  }
  if (std::optional<InputProblem> p = CheckSamples(r.acc, file)) return *p;
  r.dt = times.size() > 1 ? times[1] - times[0] : 0.02;
  if (!(r.dt > 0.0))
    return InputProblem{std::string(file), 3, "the time step is not > 0"};
  for (std::size_t j = 0; j < times.size(); ++j) {
    const double expected = static_cast<double>(j) * r.dt;
    if (!(std::fabs(times[j] - expected) <= 6e-5 + 1e-9 * expected))
      return InputProblem{std::string(file), static_cast<long>(j) + 2,
                          "the time is not that of an even step from 0"};
  }
  return r;
}

std::variant<PhaseRecord, InputProblem> ParseCaseFile(std::string_view bytes,
                                                      std::string_view file) {
  static const Layout kHeader = Layout::Parse("(I20,F20.0)");
  BytesStream stream(bytes);
  InputChannel channel(stream, kUnitPhase, std::string(file));
  PhaseRecord r;
  r.dt = kTimeStep;
  r.source = "case file";
  try {
    std::int32_t count = 0;
    double dropped = 0.0;
    ReadRecord(channel, kHeader,
               {ListItem::Integer(&count), ListItem::Real(&dropped)});
    if (count <= 0)
      return InputProblem{std::string(file), 1, "the sample count is not > 0"};
    if (static_cast<std::size_t>(count) >
        static_cast<std::size_t>(kSampleCapacity))
      return InputProblem{std::string(file), 1,
                          "more than 100000 samples (lpgm's capacity)"};
    r.acc.assign(static_cast<std::size_t>(count), 0.0);
    ReadFreeForm(channel, {ListItem::Real(r.acc.data(), r.acc.size())});
  } catch (const RunStop& stop) {
    return FromStop(stop, file);
  }
  if (std::optional<InputProblem> p = CheckSamples(r.acc, file)) return *p;
  return r;
}

std::variant<PhaseRecord, InputProblem> ParsePrepared(std::string_view bytes,
                                                      std::string_view file,
                                                      prepare::Format format) {
  prepare::ReadOutcome read = format == prepare::Format::kAt2
                                  ? prepare::ReadAt2(bytes, file)
                                  : prepare::ReadKnet(bytes, file);
  if (const auto* e = std::get_if<prepare::InputError>(&read))
    return InputProblem{e->file, e->line, e->message};
  const auto& source = std::get<prepare::SourceRecord>(read);
  auto converted = prepare::Convert(source, prepare::ConvertOptions{}, file);
  if (const auto* e = std::get_if<prepare::InputError>(&converted))
    return InputProblem{e->file, e->line, e->message};
  PhaseRecord r;
  r.acc = std::move(std::get<prepare::Conversion>(converted).samples);
  r.dt = kTimeStep;
  r.source = std::string(prepare::FormatName(format)) + " record at 0.02 s";
  if (std::optional<InputProblem> p = CheckSamples(r.acc, file)) return *p;
  return r;
}

}  // namespace

std::string Describe(const InputProblem& problem) {
  std::string text = problem.file;
  if (problem.line > 0) text += ":" + std::to_string(problem.line);
  return text + ": error: " + problem.message;
}

std::variant<TargetSpectrum, InputProblem> ParseTarget(
    std::string_view bytes, std::string_view utf8_path) {
  BytesStream stream(bytes);
  InputChannel channel(stream, kUnitTarget, std::string(utf8_path));
  TargetSpectrum t;
  const bool input_use = StartsWith(bytes, "周期(s)");
  try {
    if (input_use) {
      ReadPairRows(channel, t.periods, t.values);
      t.source = "input-use file";
    } else {
      ReadFaultRows(channel, t);
      t.source = "fault file field 28";
    }
  } catch (const RunStop& stop) {
    return FromStop(stop, utf8_path);
  }
  if (std::optional<InputProblem> p =
          CheckTarget(t, utf8_path, input_use ? 2 : 10))
    return *p;
  return t;
}

std::variant<PhaseRecord, InputProblem> ParsePhase(std::string_view bytes,
                                                   std::string_view utf8_path) {
  if (StartsWith(bytes, "時刻(s)")) return ParseInputUsePhase(bytes, utf8_path);
  if (std::optional<prepare::Format> f = prepare::DetectFormat(bytes))
    return ParsePrepared(bytes, utf8_path, *f);
  return ParseCaseFile(bytes, utf8_path);
}

std::variant<TargetSpectrum, InputProblem> ReadTargetFile(
    platform::FileSystem& files, std::string_view utf8_path) {
  std::string bytes;
  if (std::optional<InputProblem> p = ReadWholeFile(files, utf8_path, &bytes))
    return *p;
  return ParseTarget(bytes, utf8_path);
}

std::variant<PhaseRecord, InputProblem> ReadPhaseFile(
    platform::FileSystem& files, std::string_view utf8_path) {
  std::string bytes;
  if (std::optional<InputProblem> p = ReadWholeFile(files, utf8_path, &bytes))
    return *p;
  return ParsePhase(bytes, utf8_path);
}

}  // namespace lpgm::match
