// The waveform lines are formatted in place; they must be exactly what the
// layout (F12.4,30(A1,F14.6)) writes through the general record writer.
#include "output/time_rows.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/kernel.h"
#include "record/layout.h"
#include "record/output_channel.h"
#include "record/record_writer.h"
#include "support/memory_stream.h"

namespace lpgm {
namespace {

std::string Direct(const std::vector<std::vector<double>>& columns, int rows,
                   std::size_t buffer) {
  testing::MemoryOutput out;
  OutputChannel channel(out, 24, "x", buffer);
  std::vector<const double*> pointers;
  for (const auto& c : columns) pointers.push_back(c.data());
  WriteTimeRows(channel, 0.02, rows, pointers.data(),
                static_cast<int>(columns.size()), platform::BestKernel());
  channel.Close();
  return out.data();
}

std::string ThroughLayout(const std::vector<std::vector<double>>& columns,
                          int rows) {
  static const Layout kRow = Layout::Parse("(F12.4,30(A1,F14.6))");
  testing::MemoryOutput out;
  OutputChannel channel(out, 24, "x");
  for (int i = 1; i <= rows; ++i) {
    RecordWriter w(channel, kRow);
    w.Real(static_cast<double>(i - 1) * 0.02);
    for (const auto& c : columns)
      w.Text(",").Real(c[static_cast<std::size_t>(i - 1)]);
    w.End();
  }
  channel.Close();
  return out.data();
}

TEST(TimeRowsTest, MatchTheGeneralLayoutOnRandomValues) {
  std::mt19937_64 random(20261208);
  const double specials[] = {0.0,
                             -0.0,
                             1e7,
                             -1e6,
                             9999999.9999995,
                             -0.0000004,
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN(),
                             1e300};
  for (int ncolumns : {1, 2, 5, 21, 30}) {
    const int rows = 400;
    std::vector<std::vector<double>> columns(
        static_cast<std::size_t>(ncolumns));
    for (auto& c : columns) {
      for (int i = 0; i < rows; ++i) {
        std::uint64_t r = random();
        double v;
        switch (r % 4) {
          case 0:
            v = std::bit_cast<double>(random());
            break;
          case 1:
            v = specials[random() % std::size(specials)];
            break;
          default:
            v = static_cast<double>(
                    static_cast<std::int64_t>(random() % 4000000001) -
                    2000000000) /
                1000.0;
        }
        c.push_back(v);
      }
    }
    std::string expected = ThroughLayout(columns, rows);
    EXPECT_EQ(Direct(columns, rows, OutputChannel::kDefaultBufferSize),
              expected)
        << ncolumns << " columns";
    // A buffer that holds barely one line flushes between every line.
    EXPECT_EQ(Direct(columns, rows, 12 + 15 * 30 + 2), expected);
  }
}

// Nine lines: a whole batch of the column conversion and a tail, with the
// edges of the field in both columns.
TEST(TimeRowsTest, FieldEdgesInPlace) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> a = {
      -12.3456, 0.0078125, -0.0000004, 9999999.9999994, -999999.9999996,
      1e7,      nan,       -inf,       123.456789};
  const std::vector<double> b = {0.5,        -0.5, 1234567.0000004,
                                 -7.5000004, 5e-7, -3.14159265,
                                 42.0,       -0.0, 1e-310};
  const double* columns[] = {a.data(), b.data()};
  for (platform::Kernel kernel :
       {platform::Kernel::kScalar, platform::Kernel::kSse2,
        platform::Kernel::kAvx2}) {
    if (!platform::KernelRuns(kernel)) continue;
    std::string out(9 * TimeRowBytes(2), '#');
    FormatTimeRows(out.data(), 0.02, 0, 9, columns, 2, kernel);
    EXPECT_EQ(out,
              "      0.0000,    -12.345600,      0.500000\r\n"
              "      0.0200,      0.007812,     -0.500000\r\n"
              "      0.0400,      0.000000,1234567.000000\r\n"
              "      0.0600,9999999.999999,     -7.500000\r\n"
              "      0.0800,**************,      0.000000\r\n"
              "      0.1000,**************,     -3.141593\r\n"
              "      0.1200,           NaN,     42.000000\r\n"
              "      0.1400,     -Infinity,      0.000000\r\n"
              "      0.1600,    123.456789,      0.000000\r\n")
        << platform::KernelName(kernel);
  }
}

TEST(TimeRowsTest, NoRowsWritesNothingAndColumnCountIsChecked) {
  std::vector<std::vector<double>> one = {{1.0}};
  EXPECT_EQ(Direct(one, 0, 1024), "");
  EXPECT_EQ(Direct(one, -3, 1024), "");
  testing::MemoryOutput out;
  OutputChannel channel(out, 24, "x");
  const double* none = nullptr;
  EXPECT_THROW(
      WriteTimeRows(channel, 0.02, 1, &none, 0, platform::Kernel::kScalar),
      std::out_of_range);
}

TEST(TimeRowsTest, LastTimeOfTheLargestRecord) {
  std::vector<double> zeros(100000, 0.0);
  std::string text = Direct({zeros}, 100000, 1 << 20);
  std::string last = text.substr(text.size() - 29);
  EXPECT_EQ(last, "   1999.9800,      0.000000\r\n");
}

}  // namespace
}  // namespace lpgm
