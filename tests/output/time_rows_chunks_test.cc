// The waveform lines are formatted in chunks (on a second thread where there
// is one) yet reach the stream in exactly the writes that putting each line
// into the channel's buffer in turn makes, and fail the same way.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "output/time_rows.h"
#include "platform/kernel.h"
#include "record/failure.h"
#include "record/number_format.h"
#include "record/output_channel.h"
#include "support/memory_stream.h"

namespace lpgm {
namespace {

// Each line put into the buffer in turn, as the layout's record writer does.
void LineByLine(OutputChannel& channel, double dt, int rows,
                const std::vector<const double*>& columns) {
  const std::size_t line = TimeRowBytes(static_cast<int>(columns.size()));
  for (int i = 0; i < rows; ++i) {
    char* p = channel.Reserve(line);
    FormatFixed(p, 12, 4, static_cast<double>(i) * dt);
    p += 12;
    for (const double* column : columns) {
      *p++ = ',';
      FormatFixed(p, 14, 6, column[i]);
      p += 14;
    }
    p[0] = '\r';
    p[1] = '\n';
    channel.Commit(line);
  }
}

struct Table {
  std::vector<std::vector<double>> data;
  std::vector<const double*> columns;
  Table(int ncolumns, int rows, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::normal_distribution<double> normal(0.0, 50.0);
    data.resize(static_cast<std::size_t>(ncolumns));
    for (auto& column : data) {
      for (int i = 0; i < rows; ++i) column.push_back(normal(rng));
      column[static_cast<std::size_t>(rows / 2)] = 0.0078125;  // a tie
      column[static_cast<std::size_t>(rows - 1)] = -INFINITY;
      columns.push_back(column.data());
    }
  }
};

struct Outcome {
  std::string bytes;
  std::vector<std::size_t> writes;
  std::string failure;
};

template <typename Write>
Outcome Run(std::size_t buffer, const std::string& header,
            std::size_t fail_after, Write write) {
  testing::MemoryOutput out;
  out.FailAfter(fail_after);
  Outcome outcome;
  try {
    OutputChannel channel(out, 24, "waves.csv", buffer);
    channel.Append(header);
    write(channel);
    channel.Close();
  } catch (const RunStop& stop) {
    outcome.failure = stop.message();
  }
  outcome.bytes = out.data();
  outcome.writes = out.writes();
  return outcome;
}

void ExpectSameOutcome(const Table& t, int rows, std::size_t buffer,
                       const std::string& header,
                       std::size_t fail_after = SIZE_MAX) {
  const int ncolumns = static_cast<int>(t.columns.size());
  Outcome chunked = Run(buffer, header, fail_after, [&](OutputChannel& c) {
    WriteTimeRows(c, 0.02, rows, t.columns.data(), ncolumns,
                  platform::BestKernel());
  });
  Outcome reference = Run(buffer, header, fail_after, [&](OutputChannel& c) {
    LineByLine(c, 0.02, rows, t.columns);
  });
  SCOPED_TRACE(::testing::Message()
               << ncolumns << " columns, " << rows << " rows, buffer " << buffer
               << ", header " << header.size());
  EXPECT_EQ(chunked.failure, reference.failure);
  EXPECT_EQ(chunked.writes, reference.writes);
  EXPECT_TRUE(chunked.bytes == reference.bytes) << "bytes differ";
}

TEST(TimeRowsChunksTest, WritesAsLineByLineWhateverBufferAndHeader) {
  for (int ncolumns : {1, 21, 30}) {
    const std::size_t line = TimeRowBytes(ncolumns);
    Table t(ncolumns, 20000, 7 + static_cast<std::uint64_t>(ncolumns));
    for (std::size_t buffer : {line, 3 * line + 5, std::size_t{4096},
                               OutputChannel::kDefaultBufferSize}) {
      for (std::size_t header : {std::size_t{0}, std::size_t{37}, buffer - 1}) {
        for (int rows : {1, 2, 3, 1000, 20000}) {
          // A chunk per line or two: enough of them at 1000 lines.
          if (buffer < 4096 && rows > 1000) continue;
          ExpectSameOutcome(t, rows, buffer, std::string(header, 'h'));
        }
      }
    }
  }
}

TEST(TimeRowsChunksTest, FailsAtTheSameWriteWithTheSameDiagnostic) {
  Table t(21, 20000, 99);
  const std::size_t line = TimeRowBytes(21);
  const std::size_t total = 20000 * line;
  for (std::size_t fail_after :
       {std::size_t{0}, std::size_t{100}, total / 3, total / 2, total - 1}) {
    ExpectSameOutcome(t, 20000, OutputChannel::kDefaultBufferSize, "header",
                      fail_after);
    ExpectSameOutcome(t, 20000, 8192, "header", fail_after);
  }
}

TEST(TimeRowsChunksTest, FormatsAnyRunOfLinesAsTheLinesAtThatPlace) {
  Table t(5, 700, 3);
  const std::size_t line = TimeRowBytes(5);
  std::string whole(700 * line, '?');
  const platform::Kernel kernel = platform::BestKernel();
  FormatTimeRows(whole.data(), 0.02, 0, 700, t.columns.data(), 5, kernel);
  for (int first : {0, 1, 127, 128, 129, 555}) {
    for (int count : {0, 1, 128, 145}) {
      if (first + count > 700) continue;
      std::string part(static_cast<std::size_t>(count) * line, '?');
      FormatTimeRows(part.data(), 0.02, first, count, t.columns.data(), 5,
                     kernel);
      EXPECT_EQ(part, whole.substr(static_cast<std::size_t>(first) * line,
                                   part.size()))
          << first << "+" << count;
    }
  }
}

}  // namespace
}  // namespace lpgm
