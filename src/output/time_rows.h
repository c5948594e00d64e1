// The data lines of the waveform files: the time (i - 1) * DT by F12.4, then
// for each column a comma and its value by F14.6, as the layout
// (F12.4,30(A1,F14.6)) writes them. With at most 30 columns a line never
// reaches the layout's reversion point, so each line is one record, formatted
// straight into the channel's buffer.
#ifndef LPGM_OUTPUT_TIME_ROWS_H_
#define LPGM_OUTPUT_TIME_ROWS_H_

#include <cstddef>

#include "platform/kernel.h"
#include "record/output_channel.h"

namespace lpgm {

inline constexpr int kMaxTimeRowColumns = 30;

// The bytes of one line of `ncolumns` columns, CR LF included.
constexpr std::size_t TimeRowBytes(int ncolumns) {
  return 12 + 15 * static_cast<std::size_t>(ncolumns) + 2;
}

// Writes lines i = 1 to `rows` (none when rows <= 0): line i holds
// columns[k][i - 1] for k = 0 to ncolumns - 1 (1 <= ncolumns <= 30). The
// stream receives the same writes as when each line is put into the
// channel's buffer in turn; on more than one processor a second thread
// formats part of the lines. The value columns are formatted by `kernel`
// (one that runs on this processor; every kernel writes the same bytes).
void WriteTimeRows(OutputChannel& channel, double dt, int rows,
                   const double* const* columns, int ncolumns,
                   platform::Kernel kernel);

// Formats the `count` lines for samples first, first + 1, ... (lines
// first + 1, ...) into out[0, count * TimeRowBytes(ncolumns)), one column
// at a time. first >= 0, count >= 0, 1 <= ncolumns <= 30.
void FormatTimeRows(char* out, double dt, int first, int count,
                    const double* const* columns, int ncolumns,
                    platform::Kernel kernel) noexcept;

}  // namespace lpgm

#endif  // LPGM_OUTPUT_TIME_ROWS_H_
