#include "input/spectrum_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
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

// "\Korvel長周期.csv" in CP932.
const std::string kFileName = "\\Korvel\x92\xb7\x8e\xfc\x8a\xfa.csv";

// The 28 fields of data row j in fault i's file: period j + 10 (i - 1) + 0.5,
// fields 2 to 27 holding their own number, Sv 100 i + j.
std::vector<std::string> Fields(int i, int j) {
  std::vector<std::string> fields = {std::to_string(j + 10 * (i - 1)) + ".5"};
  for (int k = 2; k <= 27; ++k) fields.push_back(std::to_string(k));
  fields.push_back(std::to_string(100 * i + j));
  return fields;
}

std::string Join(const std::vector<std::string>& fields) {
  std::string row;
  for (std::size_t k = 0; k < fields.size(); ++k) {
    if (k > 0) row += ',';
    row += fields[k];
  }
  return row;
}

std::vector<std::string> Rows(int i) {
  std::vector<std::string> rows;
  for (int j = 1; j <= 55; ++j) rows.push_back(Join(Fields(i, j)));
  return rows;
}

std::vector<std::string> Headers() {
  return {"Korvel long-period spectrum",
          "",
          "h,e,a,d",
          "4",
          "5",
          "6",
          "7",
          "8",
          "period,...,Sv"};
}

std::string File(const std::vector<std::string>& headers,
                 const std::vector<std::string>& rows,
                 const std::string& line_end = "\n") {
  std::string text;
  for (const std::string& line : headers) text += line + line_end;
  for (const std::string& line : rows) text += line + line_end;
  return text;
}

class SpectrumFileTest : public ::testing::Test {
 protected:
  SpectrumFileTest() : state_(std::make_unique<RunState>()) {
    InitializeRunState(*state_);
  }

  // Fault i lies in `folder` (CP932); its file holds `content`.
  void SetFault(int i, std::string_view folder) {
    FillBlanks(state_->FLTDIR(i));
    std::copy(folder.begin(), folder.end(), state_->FLTDIR(i).begin());
    state_->LFLTDIR(i) = LCHR400(state_->FLTDIR(i));
  }
  void AddFault(int i, const std::string& content) {
    const std::string folder = "F" + std::to_string(i);
    SetFault(i, folder);
    files_.AddFile(folder + kFileName, content);
    state_->NFAULT = std::max(state_->NFAULT, i);
  }
  // Fault 1 with its standard rows, row j replaced by `row`.
  void AddFaultOneWithRow(int j, const std::string& row) {
    std::vector<std::string> rows = Rows(1);
    rows[static_cast<std::size_t>(j - 1)] = row;
    AddFault(1, File(Headers(), rows));
  }

  std::string Read() {
    std::string outcome =
        testing::Outcome([&] { ReadSpectrumFiles(*state_, files_); });
    EXPECT_EQ(files_.open_streams(), 0);
    EXPECT_LE(files_.max_open_streams(), 1);
    return outcome;
  }

  std::unique_ptr<RunState> state_;
  testing::FakeFileSystem files_;
};

TEST_F(SpectrumFileTest, PathIsTheFolderWithoutTrailingBlanksAndTheFileName) {
  SetFault(1, R"(  D:\flt\A   )");
  EXPECT_EQ(SpectrumFilePath(*state_, 1), R"(  D:\flt\A)" + kFileName);
  SetFault(2, "");
  EXPECT_EQ(SpectrumFilePath(*state_, 2), " " + kFileName);
  const std::string japanese =
      "\x90\x6b\x8c\xb9\\\x92\x66\x91\x77\x31";  // 震源\断層1
  SetFault(3, japanese);
  EXPECT_EQ(SpectrumFilePath(*state_, 3), japanese + kFileName);
}

TEST_F(SpectrumFileTest, PeriodComesFromFaultOneAndSvFromFieldTwentyEight) {
  // Whatever the size of the pieces the files arrive in.
  for (std::size_t chunk :
       {std::size_t{1 << 20}, std::size_t{1}, std::size_t{97}}) {
    SCOPED_TRACE(chunk);
    files_ = testing::FakeFileSystem();
    files_.SetReadChunk(chunk);
    AddFault(1, File(Headers(), Rows(1)));
    AddFault(2, File(Headers(), Rows(2), "\r\n"));
    ASSERT_EQ(Read(), "returned");
    for (int j = 1; j <= 55; ++j) {
      EXPECT_EQ(state_->PERIOD(j), j + 0.5) << j;
      EXPECT_EQ(state_->SVF(1, j), 100 + j) << j;
      EXPECT_EQ(state_->SVF(2, j), 200 + j) << j;
    }
    EXPECT_EQ(files_.ReadPaths(),
              (std::vector<std::string>{"F1" + kFileName, "F2" + kFileName}));
  }
}

TEST_F(SpectrumFileTest, EntriesNoFileSetsStayZero) {
  AddFault(1, File(Headers(), Rows(1)));
  AddFault(2, File(Headers(), Rows(2)));
  ASSERT_EQ(Read(), "returned");
  for (int j = 1; j <= kPeriodPoints; ++j) {
    for (int i = 3; i <= kFaultSlots; ++i) EXPECT_EQ(state_->SVF(i, j), 0.0);
    if (j > 55) {
      EXPECT_EQ(state_->PERIOD(j), 0.0);
      EXPECT_EQ(state_->SVF(1, j), 0.0);
    }
  }
}

TEST_F(SpectrumFileTest, HeaderLinesAreSkippedWhateverTheyHold) {
  std::vector<std::string> headers = Headers();
  headers[0] = std::string("\0\xff\x81,abc,", 7);
  headers[4] = Join(Fields(1, 99));
  headers[8] = std::string(5000, ',');
  AddFault(1, File(headers, Rows(1)));
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(state_->PERIOD(1), 1.5);
  EXPECT_EQ(state_->SVF(1, 55), 155.0);
}

TEST_F(SpectrumFileTest, MissingFieldsReadAsZero) {
  std::vector<std::string> rows = Rows(1);
  std::vector<std::string> fields = Fields(1, 1);
  fields.pop_back();
  rows[0] = Join(fields);  // 27 values: no Sv
  rows[1] = "";
  rows[2] = "3.5" + std::string(26, ',') + ",42";  // 26 empty fields
  rows[3] = "4.5,,";
  AddFault(1, File(Headers(), rows));
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(state_->PERIOD(1), 1.5);
  EXPECT_EQ(state_->SVF(1, 1), 0.0);
  EXPECT_EQ(state_->PERIOD(2), 0.0);
  EXPECT_EQ(state_->SVF(1, 2), 0.0);
  EXPECT_EQ(state_->PERIOD(3), 3.5);
  EXPECT_EQ(state_->SVF(1, 3), 42.0);
  EXPECT_EQ(state_->SVF(1, 4), 0.0);
  EXPECT_EQ(state_->SVF(1, 5), 105.0);
}

TEST_F(SpectrumFileTest, ValuesAfterTheTwentyEighthAreIgnored) {
  std::vector<std::string> fields = Fields(1, 7);
  fields.push_back("999");
  fields.push_back("not a number");
  AddFaultOneWithRow(7, Join(fields));
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(state_->SVF(1, 7), 107.0);
  EXPECT_EQ(state_->PERIOD(8), 8.5);
}

TEST_F(SpectrumFileTest, FieldEndsAfterTwentyPositionsWithoutAComma) {
  // 22 digits: the first 20 are field 1, the last two field 2, and every
  // later value moves one field on, so field 28 holds the 27th value.
  std::vector<std::string> fields = Fields(1, 1);
  fields[0] = "1234567890123456789012";
  AddFaultOneWithRow(1, Join(fields));
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(state_->PERIOD(1), 12345678901234567890.0);
  EXPECT_EQ(state_->SVF(1, 1), 27.0);
}

TEST_F(SpectrumFileTest, TwentyPositionsAndACommaOpenAnEmptyField) {
  std::vector<std::string> fields = Fields(1, 2);
  fields[0] = "00000000000000002.25";
  ASSERT_EQ(fields[0].size(), 20u);
  AddFaultOneWithRow(2, Join(fields));
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(state_->PERIOD(2), 2.25);
  EXPECT_EQ(state_->SVF(1, 2), 27.0);
}

TEST_F(SpectrumFileTest, BlanksAroundAndInsideValuesAreIgnored) {
  std::vector<std::string> fields = Fields(1, 3);
  std::string row;
  for (const std::string& field : fields) row += "  " + field + " ,";
  row.pop_back();
  fields = Fields(1, 4);
  fields[0] = "4 . 5";
  fields[27] = " 1 0 4 ";
  std::vector<std::string> rows = Rows(1);
  rows[2] = row;
  rows[3] = Join(fields);
  AddFault(1, File(Headers(), rows));
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(state_->PERIOD(3), 3.5);
  EXPECT_EQ(state_->SVF(1, 3), 103.0);
  EXPECT_EQ(state_->PERIOD(4), 4.5);
  EXPECT_EQ(state_->SVF(1, 4), 104.0);
}

TEST_F(SpectrumFileTest, FixedColumnsReadLikeCommaSeparatedValues) {
  std::vector<std::string> rows = Rows(1);
  for (int j = 1; j <= 55; ++j) {
    std::string row;
    for (const std::string& field : Fields(1, j)) {
      char cell[32];
      std::snprintf(cell, sizeof cell, "%20s", field.c_str());
      row += cell;
    }
    rows[static_cast<std::size_t>(j - 1)] = row;
  }
  AddFault(1, File(Headers(), rows));
  ASSERT_EQ(Read(), "returned");
  for (int j = 1; j <= 55; ++j) {
    EXPECT_EQ(state_->PERIOD(j), j + 0.5);
    EXPECT_EQ(state_->SVF(1, j), 100 + j);
  }
}

TEST_F(SpectrumFileTest, ValuesAreStoredAsWritten) {
  std::vector<std::string> fields = Fields(1, 5);
  fields[0] = "0";
  fields[27] = "-2.5E+1";
  std::vector<std::string> rows = Rows(1);
  rows[4] = Join(fields);
  fields[0] = "1.5D0";
  fields[27] = "3e2";
  rows[5] = Join(fields);
  fields[27] = "1.5-3";
  rows[6] = Join(fields);
  AddFault(1, File(Headers(), rows));
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(state_->PERIOD(5), 0.0);
  EXPECT_EQ(state_->SVF(1, 5), -25.0);
  EXPECT_EQ(state_->PERIOD(6), 1.5);
  EXPECT_EQ(state_->SVF(1, 6), 300.0);
  EXPECT_EQ(state_->SVF(1, 7), 1.5e-3);
}

TEST_F(SpectrumFileTest, MalformedFieldIsConversionErrorOnUnit12) {
  std::vector<std::string> headers = Headers();
  headers.push_back("a tenth header line");
  AddFault(1, File(headers, Rows(1)));
  EXPECT_EQ(Read(), "failure 64 unit 12 file F1" + kFileName);
  // Fields 2 to 27 are dropped but must still be numbers.
  std::vector<std::string> fields = Fields(2, 30);
  fields[13] = "x";
  std::vector<std::string> rows = Rows(2);
  rows[29] = Join(fields);
  AddFault(1, File(Headers(), Rows(1)));
  AddFault(2, File(Headers(), rows));
  EXPECT_EQ(Read(), "failure 64 unit 12 file F2" + kFileName);
}

TEST_F(SpectrumFileTest, TenthHeaderLineOfNumbersShiftsTheRows) {
  std::vector<std::string> headers = Headers();
  headers.push_back(Join(Fields(1, 0)));
  AddFault(1, File(headers, Rows(1)));
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(state_->PERIOD(1), 0.5);
  EXPECT_EQ(state_->PERIOD(55), 54.5);
  EXPECT_EQ(state_->SVF(1, 55), 154.0);
}

TEST_F(SpectrumFileTest, FileEndingBeforeItsSixtyFourthLineIsEndOfFile) {
  std::vector<std::string> rows = Rows(1);
  rows.pop_back();
  AddFault(1, File(Headers(), rows));
  EXPECT_EQ(Read(), "failure 24 unit 12 file F1" + kFileName);
  AddFault(1, File({"1", "2", "3", "4", "5"}, {}));
  EXPECT_EQ(Read(), "failure 24 unit 12 file F1" + kFileName);
  AddFault(1, File(Headers(), Rows(1)));
  AddFault(2, "");
  EXPECT_EQ(Read(), "failure 24 unit 12 file F2" + kFileName);
}

TEST_F(SpectrumFileTest, LinesAfterTheSixtyFourthAreNeverRead) {
  std::string text = File(Headers(), Rows(1));
  text += "garbage,x,y\n";
  text += std::string("\0\xff\xfe", 3);
  for (int i = 0; i < 2000; ++i) text += "more garbage\n";
  AddFault(1, text);
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(state_->SVF(1, 55), 155.0);
}

TEST_F(SpectrumFileTest, LastRowWithoutLineFeedIsARecord) {
  std::string text = File(Headers(), Rows(1));
  text.pop_back();
  AddFault(1, text);
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(state_->SVF(1, 55), 155.0);
}

TEST_F(SpectrumFileTest, FileThatCannotBeOpenedStopsAndLaterFilesAreNotOpened) {
  AddFault(1, File(Headers(), Rows(1)));
  AddFault(2, File(Headers(), Rows(2)));
  AddFault(3, File(Headers(), Rows(3)));
  SetFault(2, R"( D:\missing  )");
  EXPECT_EQ(Read(), "stop: " + std::string(R"( D:\missing)") + kFileName +
                        " not exist ! [Enter]");
  ASSERT_EQ(files_.opens().size(), 2u);
  EXPECT_EQ(files_.opens()[1].path, R"( D:\missing)" + kFileName);
  EXPECT_FALSE(files_.opens()[1].succeeded);
  // A folder of that name is no file either.
  files_.AddDirectory("F1" + kFileName);
  EXPECT_EQ(Read(), "stop: F1" + kFileName + " not exist ! [Enter]");
  EXPECT_EQ(files_.opens().size(), 3u);
}

TEST_F(SpectrumFileTest, OneFaultReadsAloneAndOnlyFaultOneGivesThePeriods) {
  SetFault(1, "missing");  // never opened
  AddFault(2, File(Headers(), Rows(2)));
  AddFault(3, File(Headers(), Rows(3)));
  ASSERT_EQ(testing::Outcome([&] { ReadSpectrumFile(*state_, files_, 2); }),
            "returned");
  EXPECT_EQ(files_.open_streams(), 0);
  for (int j = 1; j <= 55; ++j) {
    EXPECT_EQ(state_->SVF(2, j), 200 + j) << j;
    EXPECT_EQ(state_->SVF(1, j), 0.0) << j;
    EXPECT_EQ(state_->SVF(3, j), 0.0) << j;
    EXPECT_EQ(state_->PERIOD(j), 0.0) << j;
  }
  AddFault(1, File(Headers(), Rows(1)));
  ASSERT_EQ(testing::Outcome([&] { ReadSpectrumFile(*state_, files_, 1); }),
            "returned");
  for (int j = 1; j <= 55; ++j) EXPECT_EQ(state_->PERIOD(j), j + 0.5) << j;
}

}  // namespace
}  // namespace lpgm
