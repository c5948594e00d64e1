#include "check/input_scan.h"

#include <array>
#include <cstdint>
#include <string>

#include "check/byte_reader.h"
#include "record/failure.h"
#include "record/field_read.h"
#include "record/input_channel.h"
#include "record/layout.h"
#include "record/list_item.h"

namespace lpgm::check {
namespace {

constexpr int kCapacity = 100000;
constexpr std::size_t kFieldWidth = 20;

// The texts of the numeric fields of width 20 of one line, as the field
// reading cuts them: 20 positions, or fewer up to a comma, which is taken
// with the field.
std::vector<std::string_view> NumericFields(std::string_view line,
                                            std::size_t count) {
  std::vector<std::string_view> fields;
  std::size_t pos = 0;
  while (fields.size() < count && pos < line.size()) {
    std::size_t start = pos;
    while (pos < line.size() && pos - start < kFieldWidth && line[pos] != ',')
      ++pos;
    fields.push_back(line.substr(start, pos - start));
    if (pos < line.size() && line[pos] == ',' && pos - start < kFieldWidth)
      ++pos;
  }
  return fields;
}

bool HasNonBlank(std::string_view text) {
  return text.find_first_not_of(' ') != std::string_view::npos;
}

// Reads `line` by `layout` into the variables, as the system would.
bool ReadLineByLayout(std::string_view line, const Layout& layout,
                      std::initializer_list<ListItem> variables) {
  std::string record(line);
  record += '\n';
  StringInput input(record);
  InputChannel channel(input, 0, std::string(), 4096);
  try {
    ReadRecord(channel, layout, variables);
  } catch (const RunStop&) {
    return false;
  }
  return true;
}

// Bytes that end a free-form item: blank, tab, comma, slash, line ends.
struct SeparatorTable {
  bool table[256] = {};
  constexpr SeparatorTable() {
    for (char c : {' ', '\t', ',', '/', '\n', '\r'})
      table[static_cast<unsigned char>(c)] = true;
  }
};
constexpr SeparatorTable kSeparators;

bool IsSeparator(int c) {
  return c == ByteReader::kEnd || kSeparators.table[c];
}

// Reads the rest of an item whose first byte is `c`; returns the number of
// values it stands for (r for "r*v" and "r*", else 1) and leaves the
// separator after it in `c`.
long ReadItem(ByteReader& reader, int& c) {
  long r = 0;
  bool digits = true, star = false, first = true;
  for (; !IsSeparator(c); c = reader.Get(), first = false) {
    if (star) continue;
    if (c == '*' && digits && !first) {
      star = true;
    } else if (c < '0' || c > '9') {
      digits = false;
    } else if (r < 1000000000L) {
      r = r * 10 + (c - '0');
    }
  }
  return star ? r : 1;
}

// Scans the values after the count's last one: the line of the first value
// that follows, up to a slash or the end.
long FindExtraValue(ByteReader& reader, long line) {
  for (int c = reader.Get(); c != ByteReader::kEnd; c = reader.Get()) {
    if (c == '\n') {
      ++line;
    } else if (c == '/') {
      return 0;
    } else if (c != ' ' && c != '\t' && c != ',' && c != '\r') {
      return line;
    }
  }
  return 0;
}

// Counts the free-form values from line 2 on until `npts` are met.
void ScanSamples(ByteReader& reader, long npts, AccelerationScan& scan) {
  long count = 0, line = 2;
  bool any = false, after_comma = false;
  int c = reader.Get();
  while (c != ByteReader::kEnd) {
    if (c == '\n') {
      ++line;
    } else if (c == ',') {
      if (after_comma || !any) ++count;  // a null value
      after_comma = any = true;
    } else if (c == '/') {
      scan.ended_early_line = line;
      scan.values_before_slash = count;
      return;
    } else if (c != ' ' && c != '\t' && c != '\r') {
      count += ReadItem(reader, c);
      any = true;
      after_comma = false;
      if (count > npts) {
        scan.extra_line = line;
      } else if (count == npts && c != '/' && c != ByteReader::kEnd) {
        // The rest of this line is discarded, later lines never read.
        scan.extra_line = FindExtraValue(reader, c == '\n' ? line + 1 : line);
      }
      if (count >= npts) return;
      continue;  // `c` is the separator after the item
    }
    if (count >= npts) {
      scan.extra_line = FindExtraValue(reader, line);
      return;
    }
    c = reader.Get();
  }
}

}  // namespace

std::optional<double> HeaderTimeStep(std::string_view header_line) {
  std::vector<std::string_view> fields = NumericFields(header_line, 2);
  if (fields.size() < 2 || !HasNonBlank(fields[1])) return std::nullopt;
  static const Layout kHeader = Layout::Parse("(I20,F20.0)");
  std::int32_t count = 0;
  double step = 0;
  if (!ReadLineByLayout(header_line, kHeader,
                        {ListItem::Integer(&count), ListItem::Real(&step)}))
    return std::nullopt;
  return step;
}

AccelerationScan ScanAccelerationFile(platform::InputStream& stream, int npts) {
  AccelerationScan scan;
  ByteReader reader(stream);
  std::string header;
  if (!reader.ReadLine(&header, 4096)) return scan;
  scan.header_time_step = HeaderTimeStep(header);
  if (npts > 0 && npts <= kCapacity) ScanSamples(reader, npts, scan);
  return scan;
}

std::vector<SpectrumRow> ScanSpectrumFile(platform::InputStream& stream,
                                          int rows) {
  static const Layout kRow = Layout::Parse("(28F20.0)");
  std::vector<SpectrumRow> result;
  ByteReader reader(stream);
  std::string line;
  for (int h = 0; h < 9; ++h)
    if (!reader.ReadLine(&line, 0)) return result;
  for (int j = 0; j < rows && reader.ReadLine(&line, 1024); ++j) {
    SpectrumRow row;
    row.line = reader.line();
    std::vector<std::string_view> fields = NumericFields(line, 28);
    for (std::string_view f : fields) row.fields += HasNonBlank(f) ? 1 : 0;
    row.has_sv = fields.size() == 28 && HasNonBlank(fields[27]);
    std::array<double, 28> values{};
    if (!ReadLineByLayout(line, kRow, {ListItem::Real(values.data(), 28)}))
      break;
    row.period = values[0];
    row.sv = values[27];
    result.push_back(row);
  }
  return result;
}

}  // namespace lpgm::check

namespace lpgm::check {
namespace {

// Whether `b` is UTF-8 (a sequence cut by the end of `b` allowed) and how
// many characters of more than one byte it holds.
bool ValidUtf8(std::string_view b, long* multibyte) {
  *multibyte = 0;
  for (std::size_t i = 0; i < b.size();) {
    unsigned char c = static_cast<unsigned char>(b[i]);
    std::size_t n = c < 0x80         ? 1
                    : (c >> 5) == 6  ? 2
                    : (c >> 4) == 14 ? 3
                    : (c >> 3) == 30 ? 4
                                     : 0;
    if (n == 0 || (n == 2 && c < 0xC2)) return false;
    for (std::size_t k = 1; k < n && i + k < b.size(); ++k)
      if ((static_cast<unsigned char>(b[i + k]) & 0xC0) != 0x80) return false;
    if (n > 1) ++*multibyte;
    i += n;
  }
  return true;
}

// CP932 that a person would write: every lead byte with a valid trail byte,
// and no half-width katakana (which UTF-8 read as CP932 is full of).
bool SensibleCp932(std::string_view b) {
  for (std::size_t i = 0; i < b.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(b[i]);
    if (c < 0x80) continue;
    if (c >= 0xA1 && c <= 0xDF) return false;
    bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    if (!lead) return false;
    if (i + 1 == b.size()) return true;  // cut by the end of the sample
    unsigned char t = static_cast<unsigned char>(b[++i]);
    if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
  }
  return true;
}

bool LooksUtf16(std::string_view b) {
  if (b.size() >= 2 && ((b[0] == '\xFF' && b[1] == '\xFE') ||
                        (b[0] == '\xFE' && b[1] == '\xFF')))
    return true;
  std::size_t zeros[2] = {0, 0};
  for (std::size_t i = 0; i < b.size(); ++i)
    if (b[i] == '\0') ++zeros[i % 2];
  std::size_t pairs = b.size() / 2;
  return pairs >= 2 && (zeros[0] * 2 > pairs || zeros[1] * 2 > pairs);
}

}  // namespace

TextEncoding GuessEncoding(std::string_view bytes) {
  if (LooksUtf16(bytes)) return TextEncoding::kUtf16;
  if (bytes.starts_with("\xEF\xBB\xBF")) return TextEncoding::kUtf8Bom;
  long multibyte = 0;
  if (!ValidUtf8(bytes, &multibyte) || multibyte == 0)
    return TextEncoding::kShiftJis;
  return SensibleCp932(bytes) ? TextEncoding::kShiftJis : TextEncoding::kUtf8;
}

}  // namespace lpgm::check
