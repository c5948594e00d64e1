#include "check/read_cause.h"

#include <optional>

#include "check/report_format.h"
#include "platform/encoding.h"
#include "record/number_parse.h"

namespace lpgm::check {
namespace {

constexpr int kSpectrumHeaderLines = 9;
constexpr int kSpectrumRows = 55;

std::vector<std::string_view> LinesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// The numeric fields of a line as lpgm's layouts cut them: 20 positions,
// ended early by a comma, which goes with the field.
std::vector<std::string_view> Fixed20Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  while (!line.empty()) {
    std::size_t width = std::min<std::size_t>(20, line.size());
    std::size_t comma = line.substr(0, width).find(',');
    if (comma != std::string_view::npos) {
      fields.push_back(line.substr(0, comma));
      line.remove_prefix(comma + 1);
    } else {
      fields.push_back(line.substr(0, width));
      line.remove_prefix(width);
    }
  }
  return fields;
}

// The values of a free-form line, up to a slash.
std::vector<std::string_view> FreeFormValues(std::string_view line) {
  std::vector<std::string_view> values;
  std::size_t p = 0;
  while (p < line.size()) {
    const char c = line[p];
    if (c == '/') break;
    if (c == ' ' || c == '\t' || c == ',') {
      ++p;
      continue;
    }
    std::size_t q = line.find_first_of(" \t,/", p);
    if (q == std::string_view::npos) q = line.size();
    values.push_back(line.substr(p, q - p));
    p = q;
  }
  return values;
}

// The field read as a number, blanks ignored; nullopt when it is not one.
std::optional<double> NumberOf(std::string_view field, bool integer) {
  NumberScanner scanner;
  for (char c : field)
    if (c != ' ') scanner.Feed(c);
  if (integer) {
    std::int32_t v = 0;
    if (scanner.ToInteger(&v) != ParseStatus::kOk) return std::nullopt;
    return v;
  }
  double v = 0;
  if (scanner.ToReal(0, &v) != ParseStatus::kOk) return std::nullopt;
  return v;
}

// A free-form value: a number, or r*v with a whole r and a number v (or
// nothing, for r nulls).
bool IsFreeFormNumber(std::string_view value) {
  std::size_t star = value.find('*');
  if (star == std::string_view::npos) return NumberOf(value, false).has_value();
  if (!NumberOf(value.substr(0, star), true)) return false;
  std::string_view rest = value.substr(star + 1);
  return rest.empty() || NumberOf(rest, false).has_value();
}

// A field's text for a message: decoded, trimmed, unprintable bytes as '?'.
std::string Shown(std::string_view field) {
  while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  std::string text = platform::Cp932ToUtf8(field);
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  return "\"" + Shortened(text, 40) + "\"";
}

// The first value of a line that holds only numbers (at least two fields
// not blank); nullopt for any other line.
std::optional<double> RowValue(std::string_view line) {
  std::optional<double> first;
  int filled = 0;
  for (std::string_view field : Fixed20Fields(line)) {
    if (field.find_first_not_of(' ') == std::string_view::npos) continue;
    std::optional<double> v = NumberOf(field, false);
    if (!v) return std::nullopt;
    if (filled++ == 0) first = v;
  }
  return filled >= 2 ? first : std::nullopt;
}

std::string Count(long n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string ShortCaseCause(int count, long values_read) {
  return "header count " + std::to_string(count) + ", the file holds " +
         Count(values_read, "value", "values");
}

std::string ShortDefinitionCause(int faults, int cases, long missing_line) {
  // Title, counts, heading, the faults, heading, the cases.
  const long first_fault = 4;
  const long case_heading = first_fault + faults;
  if (missing_line == 1) return "the definition file is empty";
  if (missing_line == 2)
    return "the definition file ends after its title: line 2, the counts "
           "of faults and cases, is missing";
  if (missing_line == 3)
    return "the definition file ends after its counts: the heading line "
           "and the " +
           Count(faults, "fault", "faults") + " it announces are missing";
  if (missing_line < first_fault) return {};
  if (missing_line < case_heading)
    return "the definition file announces " + Count(faults, "fault", "faults") +
           " and lists " + std::to_string(missing_line - first_fault);
  if (missing_line == case_heading)
    return "the definition file ends after its " +
           Count(faults, "fault", "faults") + ": the heading line and the " +
           Count(cases, "case", "cases") + " it announces are missing";
  return "the definition file announces " + Count(cases, "case", "cases") +
         " and lists " + std::to_string(missing_line - case_heading - 1);
}

namespace {

// "line 2 of the case list (line 8 of the file) gives case number 4".
std::string LineGives(const char* what, long first, std::size_t j,
                      const std::string& number) {
  std::string text = "line " + std::to_string(j + 1);
  text += " of the ";
  text += what;
  text += " list (line " + std::to_string(first + static_cast<long>(j));
  text += " of the file) gives ";
  text += what;
  text += " number " + number;
  return text;
}

// The numbers two lines of a list both give, as a clause; empty if none.
std::string GivenTwice(const char* what, long first,
                       const std::vector<std::optional<double>>& numbers) {
  for (std::size_t x = 0; x < numbers.size(); ++x) {
    for (std::size_t y = x + 1; y < numbers.size(); ++y) {
      if (!numbers[x] || numbers[x] != numbers[y]) continue;
      std::string text = ": lines " + std::to_string(x + 1);
      text += " and " + std::to_string(y + 1);
      text +=
          " of the list (lines " + std::to_string(first + static_cast<long>(x));
      text += " and " + std::to_string(first + static_cast<long>(y));
      text += " of the file) both give ";
      text += what;
      text += " number " + Number(*numbers[x], 0);
      return text;
    }
  }
  return {};
}

}  // namespace

std::string ListCause(std::string_view text, int faults, int count,
                      ListKind kind, bool line_error) {
  const bool cases = kind == ListKind::kCases;
  const long first = cases ? 5 + faults : 4;  // the list's first line
  const char* what = cases ? "case" : "fault";
  // The number each line of the list gives (as its I20 field reads, ended
  // early by a comma) and whether a folder follows it.
  std::vector<std::optional<double>> numbers;
  std::vector<bool> with_folder;
  for (int j = 0; j < count; ++j) {
    const std::string_view line = LineOf(text, first + j);
    const std::string_view field = line.substr(0, 20);
    const std::size_t comma = field.find(',');
    const std::size_t folder_at =
        comma == std::string_view::npos ? field.size() : comma + 1;
    numbers.push_back(NumberOf(field.substr(0, comma), true));
    with_folder.push_back(line.substr(folder_at).find_first_not_of(' ') !=
                          std::string_view::npos);
  }
  for (std::size_t j = 0; line_error && j < numbers.size(); ++j) {
    if (!numbers[j] || (*numbers[j] >= 1 && *numbers[j] <= count)) continue;
    return LineGives(what, first, j, Number(*numbers[j], 0)) +
           ", outside 1 to " + std::to_string(count);
  }
  for (int k = 1; !line_error && k <= count; ++k) {
    // A number given twice keeps the folder of its last line.
    std::optional<std::size_t> last;
    for (std::size_t j = 0; j < numbers.size(); ++j)
      if (numbers[j] == k) last = j;
    if (last && with_folder[*last]) continue;
    if (last)
      return LineGives(what, first, *last, std::to_string(k)) +
             " without a folder";
    std::string cause = "no line of the ";
    cause += what;
    cause += " list gives ";
    cause += what;
    cause += " number " + std::to_string(k);
    return cause + GivenTwice(what, first, numbers);
  }
  return {};
}

std::string ShortSpectrumCause(std::string_view text) {
  const std::vector<std::string_view> lines = LinesOf(text);
  if (lines.empty()) return "the spectrum file is empty";
  // The rows: the run of numeric lines at the end whose first values
  // increase (a line of column numbers above them does not continue it).
  long rows = 0;
  std::optional<double> next;
  for (std::size_t k = lines.size(); k-- > 0;) {
    std::optional<double> v = RowValue(lines[k]);
    if (!v || (next && !(*v < *next))) break;
    next = v;
    ++rows;
  }
  const long header = static_cast<long>(lines.size()) - rows;
  std::string missing;
  if (header < kSpectrumHeaderLines) {
    missing = header + 1 == kSpectrumHeaderLines
                  ? "line " + std::to_string(kSpectrumHeaderLines) +
                        " of the spectrum file is missing"
                  : "lines " + std::to_string(header + 1) + "-" +
                        std::to_string(kSpectrumHeaderLines) +
                        " of the spectrum file are missing";
    missing += " (a header line)";
  } else if (rows < kSpectrumRows) {
    missing = rows + 1 == kSpectrumRows
                  ? "row 55 of the spectrum file is missing"
                  : "rows " + std::to_string(rows + 1) +
                        "-55 of the spectrum file are missing";
  } else {
    missing = "the spectrum file ends early";
  }
  return missing + ": it holds " +
         Count(header, "header line", "header lines") + " and " +
         Count(rows, "row", "rows") + ", lpgm reads " +
         std::to_string(kSpectrumHeaderLines) + " header lines and " +
         std::to_string(kSpectrumRows) + " rows";
}

std::string MalformedFieldCause(std::string_view text, long line, FieldCut cut,
                                int integer_fields, int field_count) {
  const std::string_view record = LineOf(text, line);
  const bool free_form = cut == FieldCut::kFreeForm;
  const std::vector<std::string_view> fields =
      free_form ? FreeFormValues(record) : Fixed20Fields(record);
  for (std::size_t k = 0; k < fields.size(); ++k) {
    if (field_count > 0 && k >= static_cast<std::size_t>(field_count)) break;
    const bool integer = static_cast<int>(k) < integer_fields;
    if (free_form ? IsFreeFormNumber(fields[k])
                  : NumberOf(fields[k], integer).has_value())
      continue;
    return "line " + std::to_string(line) +
           (free_form ? ", value " : ", field ") + std::to_string(k + 1) +
           ": " + Shown(fields[k]) + " is not " +
           (integer ? "a whole number" : "a number");
  }
  return {};
}

std::string_view LineOf(std::string_view text, long line) {
  for (long k = 1; k < line; ++k) {
    std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return {};
    text.remove_prefix(end + 1);
  }
  std::string_view record = text.substr(0, text.find('\n'));
  if (!record.empty() && record.back() == '\r') record.remove_suffix(1);
  return record;
}

std::string Ranges(const std::vector<int>& numbers) {
  std::string text;
  for (std::size_t k = 0; k < numbers.size();) {
    std::size_t last = k;
    while (last + 1 < numbers.size() && numbers[last + 1] == numbers[last] + 1)
      ++last;
    if (!text.empty()) text += ", ";
    text += std::to_string(numbers[k]);
    if (last > k) text += "-" + std::to_string(numbers[last]);
    k = last + 1;
  }
  return text;
}

}  // namespace lpgm::check
