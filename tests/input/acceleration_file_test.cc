#include "input/acceleration_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "record/failure.h"
#include "record/trimmed_length.h"
#include "state/run_state.h"
#include "support/fake_file_system.h"
#include "support/outcome.h"

namespace lpgm {
namespace {

// "\加速度波形.acc" in CP932.
const std::string kFileName = "\\\x89\xc1\x91\xac\x93\x78\x94\x67\x8c\x60.acc";

class AccelerationFileTest : public ::testing::Test {
 protected:
  AccelerationFileTest() : state_(std::make_unique<RunState>()) {
    InitializeRunState(*state_);
  }

  void SetCase(int i, std::string_view folder) {
    FillBlanks(state_->CASEDIR(i));
    std::copy(folder.begin(), folder.end(), state_->CASEDIR(i).begin());
    state_->LCASEDIR(i) = LCHR400(state_->CASEDIR(i));
    state_->NCASE = std::max(state_->NCASE, i);
  }
  // Case i lies in folder "C<i>"; its file holds `content`.
  void AddCase(int i, const std::string& content) {
    SetCase(i, "C" + std::to_string(i));
    files_.AddFile(Path(i), content);
  }
  static std::string Path(int i) { return "C" + std::to_string(i) + kFileName; }

  std::string Read() {
    std::string outcome =
        testing::Outcome([&] { ReadAccelerationFiles(*state_, files_); });
    EXPECT_EQ(files_.open_streams(), 0);
    EXPECT_LE(files_.max_open_streams(), 1);
    return outcome;
  }

  std::vector<double> Samples(int i, int n) {
    std::vector<double> samples;
    for (int j = 1; j <= n; ++j) samples.push_back(state_->ACC(i, j));
    return samples;
  }

  std::unique_ptr<RunState> state_;
  testing::FakeFileSystem files_;
};

std::vector<double> Quarters(int n) {
  std::vector<double> values;
  for (int j = 1; j <= n; ++j) values.push_back(j * 0.25 - 3.0);
  return values;
}

// `values` written `per_line` to a line with `separator` between them.
std::string SampleLines(const std::vector<double>& values, int per_line,
                        const std::string& separator = " ") {
  std::string text;
  for (std::size_t k = 0; k < values.size(); ++k) {
    char cell[32];
    std::snprintf(cell, sizeof cell, "%.17g", values[k]);
    text += cell;
    bool line_end = (k + 1) % static_cast<std::size_t>(per_line) == 0 ||
                    k + 1 == values.size();
    text += line_end ? "\n" : separator;
  }
  return text;
}

TEST_F(AccelerationFileTest, PathIsTheFolderAndTheFileName) {
  SetCase(1, R"( C:\case1   )");
  EXPECT_EQ(AccelerationFilePath(*state_, 1), R"( C:\case1)" + kFileName);
  SetCase(2, "");
  EXPECT_EQ(AccelerationFilePath(*state_, 2), " " + kFileName);
}

TEST_F(AccelerationFileTest, HeaderGivesTheCountAndItsRealIsDropped) {
  const std::vector<double> values = Quarters(6000);
  AddCase(1, "6000,0.01\n" + SampleLines(values, 10));
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(state_->NPTS(1), 6000);
  EXPECT_EQ(Samples(1, 6000), values);
  EXPECT_EQ(state_->ACC(1, 6001), 0.0);
  EXPECT_EQ(state_->DT, 0.02);
}

TEST_F(AccelerationFileTest, HeaderInFixedColumnsReadsLikeCommas) {
  char header[64];
  std::snprintf(header, sizeof header, "%20d%20s\n", 12, "0.01");
  AddCase(1, header + SampleLines(Quarters(12), 5));
  AddCase(2, "  12 , 0.01 , \n" + SampleLines(Quarters(12), 5));
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(state_->NPTS(1), 12);
  EXPECT_EQ(state_->NPTS(2), 12);
  EXPECT_EQ(Samples(1, 12), Quarters(12));
  EXPECT_EQ(Samples(2, 12), Quarters(12));
}

TEST_F(AccelerationFileTest, MalformedHeaderIsConversionErrorOnUnit13) {
  // Blanks inside a field are ignored: "6000 0.02" is the field 60000.02.
  for (const char* header :
       {"6000 0.02", "6000,abc", "1E3,0.02", "12.0", "99999999999,0.02"}) {
    SCOPED_TRACE(header);
    AddCase(1, std::string(header) + "\n1 2 3\n");
    EXPECT_EQ(Read(), "failure 64 unit 13 file " + Path(1));
  }
}

TEST_F(AccelerationFileTest, CountOfZeroOrLessStoresNothingButNeedsLineTwo) {
  state_->ACC(1, 1) = 0.0;
  AddCase(1, "\n\n");
  AddCase(2, "-5\n1 2 3\n");
  AddCase(3, "0,0.02\n7\n");
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(state_->NPTS(1), 0);
  EXPECT_EQ(state_->NPTS(2), -5);
  EXPECT_EQ(state_->NPTS(3), 0);
  EXPECT_EQ(Samples(2, 3), std::vector<double>(3, 0.0));
  EXPECT_EQ(state_->ACC(3, 1), 0.0);

  for (const char* text : {"", "\n", "-5\n", "0,0.02"}) {
    SCOPED_TRACE(text);
    AddCase(1, text);
    state_->NCASE = 1;
    EXPECT_EQ(Read(), "failure 24 unit 13 file " + Path(1));
  }
}

TEST_F(AccelerationFileTest, ValuesOnTheHeaderLineAreNotSamples) {
  AddCase(1, "3,0.02,7,8,9\n1 2 3\n");
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(Samples(1, 3), (std::vector<double>{1, 2, 3}));
}

TEST_F(AccelerationFileTest, LineBreaksAndSeparatorsDoNotMatter) {
  const std::vector<double> values = Quarters(25);
  const std::vector<std::string> layouts = {
      SampleLines(values, 10),
      SampleLines(values, 1),
      SampleLines(values, 25),
      SampleLines(values, 25, ","),
      SampleLines(values, 7, " , "),
      SampleLines(values, 4, "\t\t"),
      "\n\n" + SampleLines(values, 3, "   ,"),
  };
  for (std::size_t k = 0; k < layouts.size(); ++k) {
    AddCase(static_cast<int>(k + 1), "25\n" + layouts[k]);
  }
  ASSERT_EQ(Read(), "returned");
  for (int i = 1; i <= static_cast<int>(layouts.size()); ++i) {
    EXPECT_EQ(Samples(i, 25), values)
        << layouts[static_cast<std::size_t>(i - 1)];
  }
}

TEST_F(AccelerationFileTest, ValuesBeyondTheCountAreIgnored) {
  AddCase(1, "3\n1 2 3 4 junk\nmore junk\n");
  AddCase(2, "2\n5\n6 'text'\n");
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(Samples(1, 4), (std::vector<double>{1, 2, 3, 0}));
  EXPECT_EQ(Samples(2, 3), (std::vector<double>{5, 6, 0}));
}

TEST_F(AccelerationFileTest, RepeatCountsAndNullValues) {
  state_->ACC(2, 2) = 7.0;  // a null value leaves the sample as it was
  AddCase(1, "6\n1 3*0.5 2,2.5D1\n");
  AddCase(2, "4\n1,,3,4\n");
  AddCase(3, "4\n1,2*,4\n");
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(Samples(1, 6), (std::vector<double>{1, 0.5, 0.5, 0.5, 2, 25}));
  EXPECT_EQ(Samples(2, 4), (std::vector<double>{1, 7, 3, 4}));
  EXPECT_EQ(Samples(3, 4), (std::vector<double>{1, 0, 0, 4}));
}

TEST_F(AccelerationFileTest, SlashEndsTheSamplesWithoutError) {
  AddCase(1, "20\n1 2 3 4 5\n6 7 8 9 10 / 11 12\n13\n");
  AddCase(2, "20\n1 2 3 4 5 6 7 8 9 10/");
  ASSERT_EQ(Read(), "returned");
  std::vector<double> expected = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  expected.resize(20, 0.0);
  EXPECT_EQ(Samples(1, 20), expected);
  EXPECT_EQ(Samples(2, 20), expected);
}

TEST_F(AccelerationFileTest, FileEndingBeforeTheLastSampleIsEndOfFile) {
  AddCase(1, "5\n1 2 3\n");
  EXPECT_EQ(Read(), "failure 24 unit 13 file " + Path(1));
  AddCase(1, "5\n1 2 3\n4 5\n");
  AddCase(2, "2\n1\n\n\n");
  EXPECT_EQ(Read(), "failure 24 unit 13 file " + Path(2));
}

TEST_F(AccelerationFileTest, SampleThatIsNotANumberIsListSyntaxError) {
  for (const char* samples : {"1 abc 3", "1 '2' 3", "1 2.5.5 3"}) {
    SCOPED_TRACE(samples);
    AddCase(1, "3\n" + std::string(samples) + "\n");
    EXPECT_EQ(Read(), "failure 59 unit 13 file " + Path(1));
  }
}

TEST_F(AccelerationFileTest, SamplesAreStoredForTheirOwnCase) {
  // Each case has its own column: the other cases must not be touched.
  for (int i = 1; i <= 3; ++i) {
    std::vector<double> values;
    for (int j = 1; j <= 10 * i; ++j) values.push_back(i * 1000 + j);
    AddCase(i, std::to_string(10 * i) + "\n" + SampleLines(values, 4));
  }
  ASSERT_EQ(Read(), "returned");
  for (int i = 1; i <= kCaseSlots; ++i) {
    const int n = i <= 3 ? 10 * i : 0;
    EXPECT_EQ(state_->NPTS(i), n) << i;
    for (int j = 1; j <= 31; ++j)
      EXPECT_EQ(state_->ACC(i, j), j <= n ? i * 1000 + j : 0.0)
          << i << "," << j;
  }
  EXPECT_EQ(files_.ReadPaths(),
            (std::vector<std::string>{Path(1), Path(2), Path(3)}));
}

TEST_F(AccelerationFileTest, CapacityOfOneHundredThousandSamplesIsAccepted) {
  std::string text = "100000\n";
  for (int j = 1; j <= 100000; ++j) text += std::to_string(j) + "\n";
  AddCase(1, "1\n5\n");
  AddCase(2, text);
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(state_->NPTS(2), 100000);
  EXPECT_EQ(state_->ACC(2, 1), 1.0);
  EXPECT_EQ(state_->ACC(2, 99999), 99999.0);
  EXPECT_EQ(state_->ACC(2, 100000), 100000.0);
  EXPECT_EQ(state_->ACC(1, 100000), 0.0);
  EXPECT_EQ(state_->ACC(3, 100000), 0.0);
}

TEST_F(AccelerationFileTest, CountAboveCapacityStopsWithNothingStored) {
  std::string samples;
  for (int j = 1; j <= 100001; ++j) samples += "9\n";
  state_->ACC(1, 1) = -1.0;
  for (const char* count : {"100001", "2147483647"}) {
    SCOPED_TRACE(count);
    AddCase(1, std::string(count) + ",0.02\n" + samples);
    AddCase(2, "1\n1\n");
    EXPECT_EQ(Read(), "stop: " + Path(1) + " sample number Error ! [Enter]");
    EXPECT_EQ(state_->ACC(1, 1), -1.0);
    EXPECT_EQ(state_->ACC(1, 100000), 0.0);
    EXPECT_EQ(files_.ReadPaths(), std::vector<std::string>{Path(1)});
    files_ = testing::FakeFileSystem();
  }
}

TEST_F(AccelerationFileTest,
       FileThatCannotBeOpenedStopsAndLaterCasesAreNotRead) {
  AddCase(1, "1\n1\n");
  AddCase(2, "1\n2\n");
  AddCase(3, "1\n3\n");
  SetCase(2, R"(D:\no such case)");
  EXPECT_EQ(Read(), "stop: " + std::string(R"(D:\no such case)") + kFileName +
                        " not exist ! [Enter]");
  ASSERT_EQ(files_.opens().size(), 2u);
  EXPECT_FALSE(files_.opens()[1].succeeded);
  EXPECT_EQ(state_->ACC(1, 1), 1.0);
  EXPECT_EQ(state_->NPTS(3), 0);

  files_.AddDirectory(Path(1));
  EXPECT_EQ(Read(), "stop: " + Path(1) + " not exist ! [Enter]");
}

// Random reals in the forms a record file may hold, read back bit for bit as
// strtod reads them, whatever size of pieces the file arrives in.
TEST_F(AccelerationFileTest, RandomSamplesReadAsStrtodReadsThem) {
  std::mt19937_64 random(20240601);
  SCOPED_TRACE("seed 20240601");
  std::uniform_int_distribution<int> form(0, 6);
  std::uniform_int_distribution<int> exponent(-30, 30);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  const char* separators[] = {" ", ",", " , ", "\n", "\t", ",\n", "\r\n"};
  const int n = 20000;
  std::string text = std::to_string(n) + "\n";
  std::vector<double> expected;
  for (int j = 0; j < n; ++j) {
    double value = mantissa(random) * std::pow(10.0, exponent(random));
    char cell[64];
    switch (form(random)) {
      case 0:
        std::snprintf(cell, sizeof cell, "%.17g", value);
        break;
      case 1:
        std::snprintf(cell, sizeof cell, "%.6e", value);
        break;
      case 2:
        std::snprintf(cell, sizeof cell, "%.3f", mantissa(random));
        break;
      case 3:
        std::snprintf(cell, sizeof cell, "%d",
                      static_cast<int>(mantissa(random) * 1000));
        break;
      case 4:
        std::snprintf(cell, sizeof cell, "%+.5G", value);
        break;
      case 5:
        std::snprintf(cell, sizeof cell, "%.25f", mantissa(random));
        break;
      default:
        std::snprintf(cell, sizeof cell, "%.20e", value);
        break;
    }
    expected.push_back(std::strtod(cell, nullptr));
    text += cell;
    text += separators[random() % 7];
  }
  for (std::size_t chunk :
       {static_cast<std::size_t>(-1), std::size_t{1}, std::size_t{4093}}) {
    SCOPED_TRACE(chunk);
    files_ = testing::FakeFileSystem();
    files_.SetReadChunk(chunk);
    AddCase(1, text);
    std::fill(state_->AccTable().begin(), state_->AccTable().end(), 0.0);
    ASSERT_EQ(Read(), "returned");
    std::vector<double> read = Samples(1, n);
    for (int j = 0; j < n; ++j) {
      ASSERT_EQ(
          std::memcmp(&read[static_cast<std::size_t>(j)],
                      &expected[static_cast<std::size_t>(j)], sizeof(double)),
          0)
          << "sample " << j + 1 << ": " << read[static_cast<std::size_t>(j)]
          << " expected " << expected[static_cast<std::size_t>(j)];
    }
  }
}

TEST_F(AccelerationFileTest, OneCaseReadsAloneAndTouchesNoOtherCase) {
  SetCase(1, "missing");  // never opened
  AddCase(2, "3\n1.5 -2 4\n");
  AddCase(3, "2\n9 9\n");
  ASSERT_EQ(testing::Outcome([&] { ReadAccelerationFile(*state_, files_, 2); }),
            "returned");
  EXPECT_EQ(files_.open_streams(), 0);
  EXPECT_EQ(state_->NPTS(2), 3);
  EXPECT_EQ(Samples(2, 3), (std::vector<double>{1.5, -2.0, 4.0}));
  EXPECT_EQ(state_->NPTS(1), 0);
  EXPECT_EQ(state_->NPTS(3), 0);
  EXPECT_EQ(Samples(3, 2), (std::vector<double>{0.0, 0.0}));
}

}  // namespace
}  // namespace lpgm
