// What the readers report beyond the values they store: the header's time
// step, where the samples end against the count, the fields of each
// spectrum row. A reporter never changes what is read or how a read ends.
#include "input/read_reporter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "input/acceleration_file.h"
#include "input/spectrum_file.h"
#include "record/trimmed_length.h"
#include "state/run_state.h"
#include "support/fake_file_system.h"
#include "support/outcome.h"

namespace lpgm {
namespace {

class Recorder final : public ReadReporter {
 public:
  void HeaderTimeStep(int, std::optional<double> step) override {
    ++headers;
    header_time_step = step;
  }
  void SamplesEnded(int, const SamplesEnd& e) override {
    ++ends;
    end = e;
  }
  void SpectrumRow(int, int row, const SpectrumRowSeen& seen) override {
    EXPECT_EQ(row, static_cast<int>(rows.size()) + 1);
    rows.push_back(seen);
  }
  int headers = 0;
  std::optional<double> header_time_step;
  int ends = 0;
  SamplesEnd end;
  std::vector<SpectrumRowSeen> rows;
};

void SetFolder(Text400& dir, std::int32_t& length, const std::string& name) {
  FillBlanks(dir);
  std::copy(name.begin(), name.end(), dir.begin());
  length = LCHR400(dir);
}

// Reads `content` as case 1's file, with `reporter` or without one.
struct CaseRead {
  std::string outcome;
  std::vector<double> samples;
};
CaseRead ReadCase(const std::string& content, ReadReporter* reporter) {
  auto state = std::make_unique<RunState>();
  InitializeRunState(*state);
  SetFolder(state->CASEDIR(1), state->LCASEDIR(1), "C1");
  state->NCASE = 1;
  testing::FakeFileSystem files;
  files.AddFile(AccelerationFilePath(*state, 1), content);
  CaseRead read;
  read.outcome = testing::Outcome([&] {
    if (reporter != nullptr)
      ReadAccelerationFile(*state, files, 1, *reporter);
    else
      ReadAccelerationFile(*state, files, 1);
  });
  for (int j = 1; j <= std::min(state->NPTS(1), 10); ++j)
    read.samples.push_back(state->ACC(1, j));
  return read;
}

TEST(ReadReporter, HeaderTimeStepAsTheFieldReadingCutsIt) {
  struct Case {
    const char* header;
    std::optional<double> step;
  } cases[] = {
      {"    1,    0.01", 0.01},
      {"                   1                0.01", 0.01},
      {"1,0.005,junk", 0.005},
      {"1,", std::nullopt},
      {"1,   ,0.01", std::nullopt},
      // Twenty positions taken, then the comma starts an empty field.
      {"                   1,0.01", std::nullopt},
      // Headers that do not read are never reported.
      {"1,abc", std::nullopt},
      {"    1    0.01", std::nullopt},
  };
  for (const Case& c : cases) {
    Recorder r;
    ReadCase(std::string(c.header) + "\n5\n", &r);
    EXPECT_EQ(r.header_time_step, c.step) << c.header;
  }
}

TEST(ReadReporter, WhereTheSamplesEndAgainstTheCount) {
  struct Case {
    const char* content;
    long slash_line;
    long values_before_slash;
    long value_after_count_line;
  } cases[] = {
      // Nulls, repeat counts and blank lines all count against the count.
      {"4,0.02\n1,,3\n\n4\n", 0, 0, 0},
      {"6\n3*1.0 2* 5\n", 0, 0, 0},
      {"3\n,1 2\n", 0, 0, 0},  // a leading comma is a null value
      {"3\n1 2 3 4\n", 0, 0, 2},
      {"3\n1 2\n3\n\n 4\n", 0, 0, 5},
      {"3\n1 2\r\n3,  \r\n , \r\n", 0, 0, 0},
      {"3\n5*1\n", 0, 0, 2},        // a repeat count past the count
      {"3\n1 2 3 / 4\n", 0, 0, 0},  // a slash after the count ends the file
      {"3\n1 2 3/4\n", 0, 0, 0},
      {"3\n1 2 3,4\n", 0, 0, 2},
      {"5,0.02\n1 2\n3/\n4 5\n", 3, 3, 0},
      {"5\n/\n", 2, 0, 0},
  };
  for (const Case& c : cases) {
    Recorder r;
    CaseRead read = ReadCase(c.content, &r);
    ASSERT_EQ(read.outcome, "returned") << c.content;
    ASSERT_EQ(r.ends, 1) << c.content;
    EXPECT_EQ(r.end.slash_line, c.slash_line) << c.content;
    EXPECT_EQ(r.end.values_before_slash, c.values_before_slash) << c.content;
    EXPECT_EQ(r.end.value_after_count_line, c.value_after_count_line)
        << c.content;
  }
}

TEST(ReadReporter, ValuesReadBeforeAFailedRead) {
  struct Case {
    const char* content;
    long values_before_failure;
  } cases[] = {
      {"5\n1 2\n3\n", 3},      // the file ends before the count
      {"5\n1,,3\n\n", 3},      // nulls count as values read
      {"6\n2*1.5 4\n", 3},     // so do the copies of a repeat count
      {"5\n", 0},              // no sample line at all
      {"5\n1 2\n3 x 5\n", 3},  // a value that cannot be read
  };
  for (const Case& c : cases) {
    Recorder r;
    CaseRead read = ReadCase(c.content, &r);
    ASSERT_NE(read.outcome, "returned") << c.content;
    ASSERT_EQ(r.ends, 1) << c.content;
    EXPECT_TRUE(r.end.failed) << c.content;
    EXPECT_EQ(r.end.values_before_failure, c.values_before_failure)
        << c.content;
  }
}

TEST(ReadReporter, ReadsAndEndsAsWithoutAReporter) {
  const char* contents[] = {
      "3\n1 2 3 4\n", "3\n1 2\n",         "3\n1 x 3\n", "0\n",
      "0\n1 2\n",     "100001,0.01\n1\n", "-2,0.02\n",  "abc\n1\n",
      "3\n5*1\n",     "2,0.01\n1\n2/3\n", "",           "3\n1,,2,\n/",
  };
  for (const char* content : contents) {
    Recorder r;
    CaseRead with = ReadCase(content, &r);
    CaseRead without = ReadCase(content, nullptr);
    EXPECT_EQ(with.outcome, without.outcome) << content;
    EXPECT_EQ(with.samples, without.samples) << content;
  }
  // No samples to read: nothing to report about their end.
  Recorder r;
  ReadCase("0,0.02\n\n", &r);
  EXPECT_EQ(r.headers, 1);
  EXPECT_EQ(r.ends, 0);
}

TEST(ReadReporter, SpectrumRowsWithTheirFilledFields) {
  auto state = std::make_unique<RunState>();
  InitializeRunState(*state);
  SetFolder(state->FLTDIR(1), state->LFLTDIR(1), "F1");
  SetFolder(state->FLTDIR(2), state->LFLTDIR(2), "F2");
  state->NFAULT = 2;
  std::string file;
  for (int h = 0; h < 9; ++h) file += "header\n";
  std::string full = "2.5";
  for (int k = 2; k <= 28; ++k) full += ",1";
  for (int j = 1; j <= state->NPER; ++j)
    file += (j == 3 ? "2.5,1,1,,1" : j == 4 ? full + ",,," : full) + "\n";
  testing::FakeFileSystem files;
  files.AddFile(SpectrumFilePath(*state, 2), file);
  Recorder r;
  ASSERT_EQ(testing::Outcome([&] { ReadSpectrumFile(*state, files, 2, r); }),
            "returned");
  ASSERT_EQ(r.rows.size(), static_cast<std::size_t>(state->NPER));
  EXPECT_EQ(r.rows[0].line, 10);
  EXPECT_EQ(r.rows[0].fields, 28);
  EXPECT_TRUE(r.rows[0].has_sv);
  EXPECT_EQ(r.rows[0].period, 2.5);  // a later fault's own period
  EXPECT_EQ(r.rows[2].line, 12);
  EXPECT_EQ(r.rows[2].fields, 4);
  EXPECT_FALSE(r.rows[2].has_sv);
  EXPECT_EQ(r.rows[3].fields, 28);  // commas after field 28 are never read
  EXPECT_TRUE(r.rows[3].has_sv);
}

}  // namespace
}  // namespace lpgm
