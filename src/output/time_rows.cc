#include "output/time_rows.h"

#include <cstddef>
#include <stdexcept>

#include "record/number_format.h"

namespace lpgm {

void WriteTimeRows(OutputChannel& channel, double dt, int rows,
                   const double* const* columns, int ncolumns) {
  if (ncolumns < 1 || ncolumns > kMaxTimeRowColumns)
    throw std::out_of_range("column count outside 1 to 30");
  const std::size_t line = 12 + 15 * static_cast<std::size_t>(ncolumns) + 2;
  for (int i = 1; i <= rows; ++i) {
    const std::size_t sample = static_cast<std::size_t>(i - 1);
    char* p = channel.Reserve(line);
    FormatF12_4(p, static_cast<double>(i - 1) * dt);
    p += 12;
    for (int k = 0; k < ncolumns; ++k) {
      *p++ = ',';
      FormatF14_6(p, columns[k][sample]);
      p += 14;
    }
    p[0] = '\r';
    p[1] = '\n';
    channel.Commit(line);
  }
}

}  // namespace lpgm
