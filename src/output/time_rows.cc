#include "output/time_rows.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string_view>

#include "output/ahead_formatter.h"
#include "record/fixed_fast.h"

namespace lpgm {
namespace {

// Lines formatted column by column in blocks this long, so that the block
// stays in the cache while each column passes over it.
constexpr int kBlockRows = 128;

// How a run of lines is cut into chunks: the channel hands its buffer on
// when the next line does not fit, so the first chunk is what still fits
// after the bytes already buffered and every later one a full buffer.
struct Chunks {
  int first_rows;
  int rows_per_chunk;
  int count;
  int Start(int k) const {
    return k == 0 ? 0 : first_rows + (k - 1) * rows_per_chunk;
  }
  int Rows(int k, int rows) const {
    return std::min(k == 0 ? first_rows : rows_per_chunk, rows - Start(k));
  }
};

Chunks CutIntoChunks(const OutputChannel& channel, std::size_t line, int rows) {
  Chunks c;
  c.rows_per_chunk = static_cast<int>(channel.capacity() / line);
  c.first_rows = static_cast<int>(channel.free_space() / line);
  if (c.first_rows == 0) c.first_rows = c.rows_per_chunk;
  c.count = 1;
  if (rows > c.first_rows) {
    c.count += (rows - c.first_rows + c.rows_per_chunk - 1) / c.rows_per_chunk;
  }
  return c;
}

void FormatBlock(char* out, std::size_t line, double dt, int first, int count,
                 const double* const* columns, int ncolumns,
                 platform::Kernel kernel) {
  char* row = out;
  for (int r = 0; r < count; ++r, row += line) {
    FormatF12_4(row, static_cast<double>(first + r) * dt);
    row[12] = ',';
    row[line - 1] = '\n';
  }
  // Each column writes the comma before the next one, the last the CR.
  for (int k = 0; k < ncolumns; ++k) {
    FormatF14_6Column(kernel, out + 13 + 15 * k, line, columns[k] + first,
                      static_cast<std::size_t>(count),
                      k + 1 < ncolumns ? ',' : '\r');
  }
}

}  // namespace

void FormatTimeRows(char* out, double dt, int first, int count,
                    const double* const* columns, int ncolumns,
                    platform::Kernel kernel) noexcept {
  const std::size_t line = TimeRowBytes(ncolumns);
  for (int done = 0; done < count; done += kBlockRows) {
    FormatBlock(out + static_cast<std::size_t>(done) * line, line, dt,
                first + done, std::min(kBlockRows, count - done), columns,
                ncolumns, kernel);
  }
}

void WriteTimeRows(OutputChannel& channel, double dt, int rows,
                   const double* const* columns, int ncolumns,
                   platform::Kernel kernel) {
  if (ncolumns < 1 || ncolumns > kMaxTimeRowColumns)
    throw std::out_of_range("column count outside 1 to 30");
  if (rows <= 0) return;
  const std::size_t line = TimeRowBytes(ncolumns);
  if (channel.capacity() < line)
    throw std::out_of_range("channel buffer shorter than a line");
  const Chunks chunks = CutIntoChunks(channel, line, rows);
  auto format = [&](int k, char* out) {
    FormatTimeRows(out, dt, chunks.Start(k), chunks.Rows(k, rows), columns,
                   ncolumns, kernel);
  };
  AheadFormatter ahead(chunks.count,
                       static_cast<std::size_t>(chunks.rows_per_chunk) * line,
                       format, HelperThreadPays());
  for (int k = 0; k < chunks.count; ++k) {
    const std::size_t bytes =
        static_cast<std::size_t>(chunks.Rows(k, rows)) * line;
    const char* ready = ahead.Take(k);
    if (ready == nullptr) {
      format(k, channel.Reserve(bytes));
      channel.Commit(bytes);
      continue;
    }
    // A full chunk with more to follow would leave the buffer in one write
    // of its own anyway; the others join the buffer as its lines would.
    if (k > 0 && k + 1 < chunks.count) {
      channel.WriteBlock(std::string_view(ready, bytes));
    } else {
      std::memcpy(channel.Reserve(bytes), ready, bytes);
      channel.Commit(bytes);
    }
    ahead.Release(k);
  }
}

}  // namespace lpgm
