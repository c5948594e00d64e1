#include "prepare/formats.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "prepare/text_scan.h"

namespace lpgm::prepare {

std::optional<Format> ParseFormat(std::string_view name) {
  if (name == "at2") return Format::kAt2;
  if (name == "knet") return Format::kKnet;
  if (name == "table") return Format::kTable;
  return std::nullopt;
}

std::string_view FormatName(Format format) {
  switch (format) {
    case Format::kAt2:
      return "at2";
    case Format::kKnet:
      return "knet";
    case Format::kTable:
      return "table";
  }
  return "?";
}

// Built by appending: GCC 12 warns (-Wrestrict, a false alarm inside
// char_traits.h) on a literal prepended to a temporary at -O3.
std::string Describe(const InputError& error) {
  std::string text = error.file;
  if (error.line > 0) {
    text += ':';
    text += std::to_string(error.line);
  }
  text += ": error: ";
  text += error.message;
  return text;
}

namespace {

constexpr std::string_view kPeerTitle =
    "PEER NGA STRONG MOTION DATABASE RECORD";
// The title of records from PEER's database before NGA.
constexpr std::string_view kOlderPeerTitle =
    "PEER STRONG MOTION DATABASE RECORD";
constexpr std::string_view kKnetFirstLabel = "Origin Time";
constexpr int kKnetHeaderLines = 17;
constexpr std::size_t kKnetLabelWidth = 18;

std::string_view TrimBlanks(std::string_view s) {
  std::size_t first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  std::size_t last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

std::string Upper(std::string_view s) {
  std::string upper(s);
  for (char& c : upper)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

InputError Error(std::string_view file, int line, std::string message) {
  return InputError{std::string(file), line, std::move(message)};
}

std::string Quoted(std::string_view token) {
  std::string text;
  text.reserve(token.size() + 2);
  text += '\'';
  text += token;
  text += '\'';
  return text;
}

// The token right after `key` (e.g. "NPTS="), up to a blank or comma.
std::optional<std::string_view> ValueAfter(std::string_view line,
                                           std::string_view key) {
  std::string upper = Upper(line);
  std::size_t at = upper.find(key);
  if (at == std::string::npos) return std::nullopt;
  std::string_view rest = line.substr(at + key.size());
  std::vector<std::string_view> tokens = Tokens(rest);
  if (tokens.empty()) return std::string_view();
  return tokens.front();
}

// The older count line: "  12377    .00500    NPTS, DT", the two numbers
// first and their names after them. The two tokens before "NPTS" when the
// line is of that form.
std::optional<std::pair<std::string_view, std::string_view>> OlderCountLine(
    std::string_view line) {
  std::vector<std::string_view> tokens = Tokens(line);
  if (tokens.size() != 4 || Upper(tokens[2]) != "NPTS" ||
      Upper(tokens[3]) != "DT")
    return std::nullopt;
  return std::pair{tokens[0], tokens[1]};
}

bool IsAt2CountLine(std::string_view line) {
  return StartsWith(Upper(TrimBlanks(line)), "NPTS=") ||
         OlderCountLine(line).has_value();
}

}  // namespace

std::optional<Format> DetectFormat(std::string_view text) {
  LineCursor lines(text);
  std::string_view line;
  std::string_view first;
  while (lines.Next(&line) && lines.number() <= 4) {
    if (lines.number() == 1) first = line;
    if (lines.number() == 4 && IsAt2CountLine(line)) return Format::kAt2;
  }
  std::string title = Upper(TrimBlanks(first));
  if (StartsWith(title, kPeerTitle) || StartsWith(title, kOlderPeerTitle))
    return Format::kAt2;
  if (StartsWith(first, kKnetFirstLabel)) return Format::kKnet;
  return std::nullopt;
}

namespace {

struct At2Header {
  std::int64_t npts = 0;
  double dt = 0.0;
};

std::variant<At2Header, InputError> ReadAt2Header(std::string_view line3,
                                                  std::string_view line4,
                                                  std::string_view file) {
  std::string units = Upper(line3);
  std::size_t at = units.find("UNITS OF G");
  bool in_g = at != std::string::npos &&
              (at + 10 == units.size() ||
               !std::isalpha(static_cast<unsigned char>(units[at + 10])));
  if (!in_g)
    return Error(file, 3,
                 "not an acceleration record in units of G: " +
                     Quoted(TrimBlanks(line3)));
  At2Header header;
  std::optional<std::string_view> npts = ValueAfter(line4, "NPTS=");
  std::optional<std::string_view> dt = ValueAfter(line4, "DT=");
  if (auto older = OlderCountLine(line4)) {
    npts = older->first;
    dt = older->second;
  }
  if (!npts) return Error(file, 4, "no sample count (NPTS=) in the header");
  std::optional<std::int64_t> count = ParseInteger(*npts);
  if (!count || *count <= 0)
    return Error(file, 4,
                 "sample count NPTS= " + Quoted(*npts) +
                     " is not a positive whole number");
  header.npts = *count;
  if (!dt || dt->empty()) return Error(file, 4, "time step (DT=) missing");
  std::optional<double> step = ParseReal(*dt);
  if (!step || !(*step > 0.0))
    return Error(file, 4, "time step DT= " + Quoted(*dt) + " is not positive");
  header.dt = *step;
  return header;
}

// A table's comment line: '#' its first character other than a blank.
bool IsComment(std::string_view line) {
  std::size_t first = line.find_first_not_of(" \t");
  return first != std::string_view::npos && line[first] == '#';
}

// Reads every value from the cursor's next line on into `values`; at most
// `limit` of them when limit >= 0 (one more is an error). Comment lines are
// passed over when `comments` is set.
std::optional<InputError> ReadValues(LineCursor& lines, std::string_view file,
                                     std::int64_t limit, bool comments,
                                     std::vector<double>& values) {
  std::string_view line;
  while (lines.Next(&line)) {
    if (comments && IsComment(line)) continue;
    for (std::string_view token : Tokens(line)) {
      std::optional<double> value = ParseReal(token);
      if (!value)
        return Error(file, lines.number(), "not a number: " + Quoted(token));
      if (limit >= 0 && static_cast<std::int64_t>(values.size()) == limit)
        return Error(
            file, lines.number(),
            "more values than the header's count of " + std::to_string(limit));
      values.push_back(*value);
    }
  }
  return std::nullopt;
}

}  // namespace

ReadOutcome ReadAt2(std::string_view text, std::string_view file) {
  LineCursor lines(text);
  std::string_view header[4];
  for (auto& line : header) {
    if (!lines.Next(&line))
      return Error(file, lines.number(),
                   "the file ends inside its 4 header lines");
  }
  std::variant<At2Header, InputError> parsed =
      ReadAt2Header(header[2], header[3], file);
  if (auto* error = std::get_if<InputError>(&parsed)) return *error;
  const At2Header& h = std::get<At2Header>(parsed);
  SourceRecord record;
  record.format = Format::kAt2;
  record.dt = h.dt;
  record.units = Units::kG;
  for (int n = 0; n < 3; ++n) record.header.emplace_back(TrimBlanks(header[n]));
  if (auto error = ReadValues(lines, file, h.npts, false, record.values))
    return *error;
  if (static_cast<std::int64_t>(record.values.size()) != h.npts)
    return Error(file, 4,
                 "the header's count NPTS= " + std::to_string(h.npts) +
                     " disagrees with the " +
                     std::to_string(record.values.size()) + " values present");
  return record;
}

namespace {

struct KnetHeader {
  std::vector<std::string> identity;  // origin time, station, direction
  double frequency = 0.0;
  double numerator = 0.0;
  double denominator = 0.0;
};

std::optional<InputError> ReadFrequency(std::string_view value,
                                        std::string_view file, int line,
                                        KnetHeader& header) {
  std::string_view number = value;
  if (number.size() >= 2 && Upper(number.substr(number.size() - 2)) == "HZ")
    number.remove_suffix(2);
  std::optional<double> frequency = ParseReal(TrimBlanks(number));
  if (!frequency || !(*frequency > 0.0))
    return Error(file, line,
                 "sampling frequency " + Quoted(value) +
                     " is not a positive number of Hz");
  header.frequency = *frequency;
  return std::nullopt;
}

std::optional<InputError> ReadScale(std::string_view value,
                                    std::string_view file, int line,
                                    KnetHeader& header) {
  constexpr std::string_view kMiddle = "(gal)/";
  std::size_t at = value.find(kMiddle);
  std::optional<double> numerator;
  std::optional<double> denominator;
  if (at != std::string_view::npos) {
    numerator = ParseReal(TrimBlanks(value.substr(0, at)));
    denominator = ParseReal(TrimBlanks(value.substr(at + kMiddle.size())));
  }
  if (!numerator || !denominator || *denominator == 0.0)
    return Error(file, line,
                 "scale factor " + Quoted(value) +
                     " does not parse (expected such as 3920(gal)/6182761)");
  header.numerator = *numerator;
  header.denominator = *denominator;
  return std::nullopt;
}

std::variant<KnetHeader, InputError> ReadKnetHeader(LineCursor& lines,
                                                    std::string_view file) {
  KnetHeader header;
  bool have_frequency = false;
  bool have_scale = false;
  std::string_view line;
  for (int n = 1; n <= kKnetHeaderLines; ++n) {
    if (!lines.Next(&line))
      return Error(file, lines.number(),
                   "the file ends inside its 17 header lines");
    std::string_view label = TrimBlanks(line.substr(0, kKnetLabelWidth));
    std::string_view value =
        TrimBlanks(line.substr(std::min(line.size(), kKnetLabelWidth)));
    if (n == 1 && label != kKnetFirstLabel)
      return Error(file, n, "not a K-NET header: line 1 is not 'Origin Time'");
    if (n == kKnetHeaderLines && !StartsWith(label, "Memo."))
      return Error(file, n, "line 17 of a K-NET header is not 'Memo.'");
    if (label == kKnetFirstLabel || label == "Station Code" || label == "Dir.")
      header.identity.emplace_back(TrimBlanks(line));
    std::optional<InputError> error;
    if (label == "Sampling Freq(Hz)") {
      error = ReadFrequency(value, file, n, header);
      have_frequency = true;
    } else if (label == "Scale Factor") {
      error = ReadScale(value, file, n, header);
      have_scale = true;
    }
    if (error) return *error;
  }
  if (!have_frequency)
    return Error(file, 0, "no 'Sampling Freq(Hz)' line in the header");
  if (!have_scale)
    return Error(file, 0, "no 'Scale Factor' line in the header");
  return header;
}

}  // namespace

ReadOutcome ReadKnet(std::string_view text, std::string_view file) {
  LineCursor lines(text);
  std::variant<KnetHeader, InputError> parsed = ReadKnetHeader(lines, file);
  if (auto* error = std::get_if<InputError>(&parsed)) return *error;
  const KnetHeader& h = std::get<KnetHeader>(parsed);
  SourceRecord record;
  record.format = Format::kKnet;
  record.dt = 1.0 / h.frequency;
  record.units = Units::kGal;
  record.header = h.identity;
  std::string_view line;
  while (lines.Next(&line)) {
    for (std::string_view token : Tokens(line)) {
      std::optional<std::int64_t> count = ParseInteger(token);
      if (!count)
        return Error(file, lines.number(),
                     "not a whole count: " + Quoted(token));
      record.values.push_back(static_cast<double>(*count) * h.numerator /
                              h.denominator);
    }
  }
  if (record.values.empty())
    return Error(file, 0, "no counts after the header");
  double sum = 0.0;
  for (double v : record.values) sum += v;
  const double mean = sum / static_cast<double>(record.values.size());
  for (double& v : record.values) v -= mean;
  record.mean_removed = true;
  return record;
}

namespace {

// The header lines of a table that say what it is: the first few skipped.
constexpr int kTableHeaderKept = 8;

std::optional<InputError> ReadColumn(LineCursor& lines, std::string_view file,
                                     int column, std::vector<double>& values) {
  std::string_view line;
  while (lines.Next(&line)) {
    if (IsBlank(line) || IsComment(line)) continue;
    std::vector<std::string_view> tokens = Tokens(line);
    if (tokens.size() < static_cast<std::size_t>(column))
      return Error(file, lines.number(),
                   "no column " + std::to_string(column) + " (the line has " +
                       std::to_string(tokens.size()) + ")");
    std::string_view token = tokens[static_cast<std::size_t>(column - 1)];
    std::optional<double> value = ParseReal(token);
    if (!value)
      return Error(file, lines.number(), "not a number: " + Quoted(token));
    values.push_back(*value);
  }
  return std::nullopt;
}

}  // namespace

ReadOutcome ReadTable(std::string_view text, std::string_view file,
                      const TableLayout& layout) {
  LineCursor lines(text);
  std::string_view line;
  SourceRecord record;
  for (int n = 0; n < layout.skip; ++n) {
    if (!lines.Next(&line))
      return Error(file, lines.number(),
                   "the file ends inside the " + std::to_string(layout.skip) +
                       " header lines to skip");
    if (n < kTableHeaderKept) record.header.emplace_back(TrimBlanks(line));
  }
  record.format = Format::kTable;
  record.dt = layout.dt;
  record.units = layout.units;
  std::optional<InputError> error =
      layout.column > 0 ? ReadColumn(lines, file, layout.column, record.values)
                        : ReadValues(lines, file, -1, true, record.values);
  if (error) return *error;
  if (record.values.empty())
    return Error(file, 0, "no values after the header lines");
  return record;
}

}  // namespace lpgm::prepare
