// How the report writes numbers and names in its tables and charts.
#ifndef LPGM_CHECK_REPORT_FORMAT_H_
#define LPGM_CHECK_REPORT_FORMAT_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace lpgm::check {

// `value` with `decimals` decimals ("-0.00" written as "0.00");
// "Infinity", "-Infinity" or "NaN" for a value that is not finite; exponent
// form for magnitudes of 1e12 and more, which would not fit a table cell.
std::string Fixed(double value, int decimals);

// A number for a message or the text report: up to `decimals` decimals, or
// "NaN"/"Infinity"/"-Infinity".
std::string Number(double value, int decimals);

// A damping ratio without trailing zeros: "0.05", "0.1", "0".
std::string Damping(double h);

// The kind and damping the cases' spectra are in: "pSv, h = 0.05".
std::string SpectrumBasis(std::string_view kind, double damping);

// `text` cut to at most `max_chars` characters (code points), the last one
// then replaced by an ellipsis. Charts use it for long folder names; the
// tables show them whole.
std::string Shortened(std::string_view text, std::size_t max_chars);

// A folder for a chart's label: its last part (the record's name, after the
// last '/' or '\\'), shortened to `max_chars` only if it is longer still.
// The tables show the whole path.
std::string FolderLabel(std::string_view folder, std::size_t max_chars);

// A byte count for people: "812 B", "1.5 KiB", "20.3 MiB".
std::string ByteSize(long long bytes);

}  // namespace lpgm::check

#endif  // LPGM_CHECK_REPORT_FORMAT_H_
