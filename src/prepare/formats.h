// Readers of the record formats that lpgm-prepare converts: PEER NGA-West2
// AT2, NIED K-NET/KiK-net ASCII, and plain text tables. Every reader checks
// what it reads and names the file and line of the first fault it finds.
#ifndef LPGM_PREPARE_FORMATS_H_
#define LPGM_PREPARE_FORMATS_H_

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "prepare/units.h"

namespace lpgm::prepare {

enum class Format { kAt2, kKnet, kTable };

// "at2", "knet" or "table"; nullopt for anything else.
std::optional<Format> ParseFormat(std::string_view name);
std::string_view FormatName(Format format);

// A fault in a record file. `line` is 0 when it concerns no one line.
struct InputError {
  std::string file;
  int line = 0;
  std::string message;
};

// "FILE:LINE: error: MESSAGE" ("FILE: error: MESSAGE" without a line).
std::string Describe(const InputError& error);

// A record as its file gives it.
struct SourceRecord {
  Format format = Format::kTable;
  double dt = 0.0;  // time step in s, positive
  Units units = Units::kCentimetresPerSecond2;
  std::vector<double> values;  // at least one, finite, in `units`
  bool mean_removed = false;   // the reader took the record's mean off
  // The header lines that say what the record is (AT2: title, event and
  // station, units; K-NET: origin time, station, direction; a table: the
  // lines skipped and leading comments), as the file gives them.
  std::vector<std::string> header;
};

using ReadOutcome = std::variant<SourceRecord, InputError>;

// The format a file's header shows: AT2 when line 1 is one of PEER's title
// lines ("PEER NGA STRONG MOTION DATABASE RECORD" or the older "PEER STRONG
// MOTION DATABASE RECORD") or line 4 is a count line of either form, K-NET
// when line 1 is the "Origin Time" label. Case does not matter.
// A table has no header to show and is never guessed: nullopt.
std::optional<Format> DetectFormat(std::string_view text);

// AT2: 4 header lines; line 3 names units of G; line 4 holds "NPTS= n" and
// "DT= dt SEC" (in either order), or in the older form the two numbers
// followed by "NPTS, DT" ("  12377    .00500    NPTS, DT"). Then exactly n
// values in g, any number to a line. Keys and units in any case.
ReadOutcome ReadAt2(std::string_view text, std::string_view file);

// K-NET: 17 header lines of an 18-position label and a value, "Memo." last;
// "Sampling Freq(Hz)" such as "100Hz" and "Scale Factor" such as
// "3920(gal)/6182761". Then whole counts; each becomes count * numerator /
// denominator gal, and the record's mean is removed.
ReadOutcome ReadKnet(std::string_view text, std::string_view file);

// How to read a table, which says nothing of itself.
struct TableLayout {
  double dt = 0.0;  // positive
  Units units = Units::kCentimetresPerSecond2;
  int skip = 0;    // header lines to pass over
  int column = 0;  // 1-based column; 0 takes every value in reading order
};

// A table: after `skip` lines, every line that is neither blank nor a
// comment ('#' its first character other than a blank) holds values
// separated by blanks, tabs or commas.
ReadOutcome ReadTable(std::string_view text, std::string_view file,
                      const TableLayout& layout);

}  // namespace lpgm::prepare

#endif  // LPGM_PREPARE_FORMATS_H_
