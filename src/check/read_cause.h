// Why the reading of a file stopped, in the user's terms: what the file
// holds against what lpgm reads from it. lpgm's own diagnostic names the
// channel and the error number; these name the count, the line, the field
// and its text. Each returns an empty string when it can say nothing
// plainer than lpgm's diagnostic. Texts are UTF-8 (a field's text is shown
// as its bytes decode from CP932).
#ifndef LPGM_CHECK_READ_CAUSE_H_
#define LPGM_CHECK_READ_CAUSE_H_

#include <string>
#include <string_view>
#include <vector>

namespace lpgm::check {

// A case file that ended before its header count: "header count 1600, the
// file holds 1560 values".
std::string ShortCaseCause(int count, long values_read);

// The definition file ended at line `missing_line` (the line lpgm wanted),
// after announcing `faults` faults and `cases` cases: "the definition file
// announces 11 cases and lists 10", or which line it ends before.
std::string ShortDefinitionCause(int faults, int cases, long missing_line);

// Why lpgm stopped on a list of the definition file (`text`, its bytes):
// with `line_error`, the first line whose number lies outside 1 to
// `count`; otherwise the first number no line gives with a folder (a
// number given twice keeps its last line's folder), and the number given
// twice. `faults` is the fault count, which places the case list.
enum class ListKind { kFaults, kCases };
std::string ListCause(std::string_view text, int faults, int count,
                      ListKind kind, bool line_error);

// A spectrum file (its bytes) that ended before lpgm's 9 header lines and
// 55 rows: which line is missing and what the file holds, e.g. "line 9 of
// the spectrum file is missing: it holds 8 header lines and 55 rows (lpgm
// reads 9 header lines, then 55 rows)". Rows are the lines at the file's
// end that hold only numbers with their first increasing; the lines
// before them are the header.
std::string ShortSpectrumCause(std::string_view text);

// How the fields of a malformed line are cut: numeric fields of 20
// positions, each ended early by a comma (the spectrum rows, the case
// header, the slot numbers of the definition file), or values separated
// by blanks and commas (the samples).
enum class FieldCut { kFixed20, kFreeForm };

// The first field of line `line` (1-based) of `text` (a file's bytes) that
// does not read as a number, as "line 12, field 3: \"1.2.3\" is not a
// number". `integer_fields` fields from the first must be whole numbers.
// `field_count` limits the fields lpgm reads of the line (0: all).
std::string MalformedFieldCause(std::string_view text, long line, FieldCut cut,
                                int integer_fields = 0, int field_count = 0);

// Line `line` (1-based) of `text`, without its line end; empty when the
// text has fewer lines.
std::string_view LineOf(std::string_view text, long line);

// `numbers` (ascending) as ranges: "1-55", "3, 7, 9-12".
std::string Ranges(const std::vector<int>& numbers);

}  // namespace lpgm::check

#endif  // LPGM_CHECK_READ_CAUSE_H_
