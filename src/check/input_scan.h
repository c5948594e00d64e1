// The checker's own scans of the input files, for what lpgm's readers do
// not keep: the header's time step, where the samples end against the
// count, which spectrum rows lack their last field, and each fault's own
// periods. Numbers are converted by the system's own field reading, so they
// equal what lpgm would read.
#ifndef LPGM_CHECK_INPUT_SCAN_H_
#define LPGM_CHECK_INPUT_SCAN_H_

#include <optional>
#include <string_view>
#include <vector>

#include "platform/stream.h"

namespace lpgm::check {

struct AccelerationScan {
  // The header's second field, read as F20.0; nullopt when it is blank or
  // absent (or does not convert).
  std::optional<double> header_time_step;
  // Line of a slash that ends the samples before the count is met; 0: none.
  long ended_early_line = 0;
  long values_before_slash = 0;
  // First line holding a value after the count's last sample; 0: none.
  long extra_line = 0;
};

// Scans an acceleration record whose header count is `npts`. A count of 0
// or less, or above the capacity, scans the header only.
AccelerationScan ScanAccelerationFile(platform::InputStream& stream, int npts);

// The header's second field from the header line alone (exposed for tests).
std::optional<double> HeaderTimeStep(std::string_view header_line);

struct SpectrumRow {
  long line = 0;        // line of the file
  int fields = 0;       // fields of the 28 that hold more than blanks
  bool has_sv = false;  // field 28 holds more than blanks
  double period = 0;    // field 1 as read
  double sv = 0;        // field 28 as read
};

// Scans the data rows (lines 10 to 9 + `rows`) of a spectrum file; stops at
// the file's end or at a row that does not convert.
std::vector<SpectrumRow> ScanSpectrumFile(platform::InputStream& stream,
                                          int rows);

enum class TextEncoding { kShiftJis, kUtf8Bom, kUtf8, kUtf16 };

// The likely encoding of a text file from its first bytes: UTF-16 (a byte
// order mark or zero bytes in every other position), UTF-8 with a byte
// order mark, UTF-8 without one (non-ASCII text that is valid UTF-8 and not
// sensible CP932), else Shift-JIS.
TextEncoding GuessEncoding(std::string_view bytes);

}  // namespace lpgm::check

#endif  // LPGM_CHECK_INPUT_SCAN_H_
