// The periods a spectrum is computed at: the 55 of lpgm's spectrum files.
#ifndef LPGM_SPECTRUM_PERIODS_H_
#define LPGM_SPECTRUM_PERIODS_H_

#include <string_view>
#include <variant>
#include <vector>

#include "prepare/formats.h"

namespace lpgm::spectrum {

// The number of period points of every lpgm spectrum.
inline constexpr int kPeriodCount = 55;

// 10^(-1 + 2k/54), k = 0..54, rounded to 4 decimals: 0.1000 to 10.0000 s.
std::vector<double> DefaultPeriods();

// Field 1 of the 55 rows of an lpgm spectrum file (9 header lines, the 9th
// the column numbers 1,2,...,28) or of a target spectrum file (1 header
// line): the rows start at the first line whose first field is a number,
// passing over the line of column numbers. Every period must be a positive
// number. `file` names the file in errors.
std::variant<std::vector<double>, prepare::InputError> ReadPeriods(
    std::string_view text, std::string_view file);

}  // namespace lpgm::spectrum

#endif  // LPGM_SPECTRUM_PERIODS_H_
