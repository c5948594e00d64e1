#include "prepare/formats.h"

#include <gtest/gtest.h>

#include <string>

namespace lpgm::prepare {
namespace {

const char kAt2[] =
    "PEER NGA STRONG MOTION DATABASE RECORD\r\n"
    "Somewhere, 1/1/2000, Station, 90\r\n"
    "ACCELERATION TIME SERIES IN UNITS OF G\r\n"
    "NPTS=      7, DT=   .0050 SEC\r\n"
    "  .1000000E-01  -.2000000E-01   .3E-02\r\n"
    "  0.0 1 -1\r\n"
    "  +.5\r\n";

// 17 labels of 18 positions, as NIED writes them.
std::string KnetHeader(const std::string& frequency, const std::string& scale) {
  return "Origin Time       2008/06/14 08:43:00\n"
         "Lat.              39.030\n"
         "Long.             140.880\n"
         "Depth. (km)       8\n"
         "Mag.              7.2\n"
         "Station Code      IWT010\n"
         "Station Lat.      39.0\n"
         "Station Long.     141.0\n"
         "Station Height(m) 100\n"
         "Record Time       2008/06/14 08:43:10\n"
         "Sampling Freq(Hz) " +
         frequency +
         "\n"
         "Duration Time(s)  0.08\n"
         "Dir.              N-S\n"
         "Scale Factor      " +
         scale +
         "\n"
         "Max. Acc. (gal)   1.0\n"
         "Last Correction   2008/06/14 08:43:00\n"
         "Memo.\n";
}

SourceRecord Read(const ReadOutcome& outcome) {
  if (auto* error = std::get_if<InputError>(&outcome)) {
    ADD_FAILURE() << Describe(*error);
    return {};
  }
  return std::get<SourceRecord>(outcome);
}

std::string ErrorOf(const ReadOutcome& outcome) {
  auto* error = std::get_if<InputError>(&outcome);
  return error ? Describe(*error) : "no error";
}

TEST(DetectFormatTest, KnowsAt2AndKnetByTheirHeadersAndNeverGuessesATable) {
  EXPECT_EQ(DetectFormat(kAt2), Format::kAt2);
  EXPECT_EQ(DetectFormat("a\nb\nc\n NPTS= 3, DT= .01 SEC\n1 2 3\n"),
            Format::kAt2);
  EXPECT_EQ(DetectFormat(KnetHeader("100Hz", "3920(gal)/6182761")),
            Format::kKnet);
  EXPECT_EQ(DetectFormat("1.0\n2.0\n3.0\n4.0\n"), std::nullopt);
  EXPECT_EQ(DetectFormat(""), std::nullopt);
}

TEST(At2Test, ReadsHeaderAndValuesInG) {
  SourceRecord r = Read(ReadAt2(kAt2, "a.AT2"));
  EXPECT_EQ(r.format, Format::kAt2);
  EXPECT_EQ(r.dt, 0.005);
  EXPECT_EQ(r.units, Units::kG);
  EXPECT_EQ(r.values, (std::vector<double>{0.01, -0.02, 0.003, 0, 1, -1, 0.5}));
  EXPECT_FALSE(r.mean_removed);
}

TEST(At2Test, ReadsDtBeforeNpts) {
  SourceRecord r =
      Read(ReadAt2("t\nt\nUNITS OF G\nDT= 0.01 SEC, NPTS= 2\n1 2\n", "b"));
  EXPECT_EQ(r.dt, 0.01);
  EXPECT_EQ(r.values.size(), 2u);
}

TEST(At2Test, RefusesFaultsNamingFileAndLine) {
  auto with = [](const std::string& line3, const std::string& line4,
                 const std::string& values) {
    return ErrorOf(
        ReadAt2("t\nt\n" + line3 + "\n" + line4 + "\n" + values, "r.AT2"));
  };
  const std::string g = "IN UNITS OF G";
  EXPECT_EQ(with(g, "NPTS= 3, DT= .01 SEC", "1 2\n"),
            "r.AT2:4: error: the header's count NPTS= 3 disagrees with the 2 "
            "values present");
  EXPECT_EQ(with(g, "NPTS= 3, DT= .01 SEC", "1 2\n3\n4\n"),
            "r.AT2:7: error: more values than the header's count of 3");
  EXPECT_EQ(with(g, "NPTS= 2, SEC", "1 2\n"),
            "r.AT2:4: error: time step (DT=) missing");
  EXPECT_EQ(with(g, "NPTS= 2, DT= 0.0 SEC", "1 2\n"),
            "r.AT2:4: error: time step DT= '0.0' is not positive");
  EXPECT_EQ(with(g, "NPTS= 2, DT= -.01 SEC", "1 2\n"),
            "r.AT2:4: error: time step DT= '-.01' is not positive");
  EXPECT_EQ(with(g, "DT= .01 SEC", "1 2\n"),
            "r.AT2:4: error: no sample count (NPTS=) in the header");
  EXPECT_EQ(with(g, "NPTS= 2, DT= .01 SEC", "1\n2x\n"),
            "r.AT2:6: error: not a number: '2x'");
  EXPECT_EQ(
      with("VELOCITY TIME SERIES IN UNITS OF CM/S", "NPTS= 1, DT= .01", "1\n"),
      "r.AT2:3: error: not an acceleration record in units of G: "
      "'VELOCITY TIME SERIES IN UNITS OF CM/S'");
  EXPECT_EQ(ErrorOf(ReadAt2("t\nt\n", "r.AT2")),
            "r.AT2:2: error: the file ends inside its 4 header lines");
}

TEST(KnetTest, ScalesCountsToGalAndRemovesTheMean) {
  std::string text = KnetHeader("100Hz", "3920(gal)/6182761") +
                     "  6182761 0 -6182761\n 3 -3\n";
  SourceRecord r = Read(ReadKnet(text, "k.NS"));
  EXPECT_EQ(r.format, Format::kKnet);
  EXPECT_EQ(r.dt, 0.01);
  EXPECT_EQ(r.units, Units::kGal);
  EXPECT_TRUE(r.mean_removed);
  ASSERT_EQ(r.values.size(), 5u);
  EXPECT_DOUBLE_EQ(r.values[0], 3920.0);
  EXPECT_DOUBLE_EQ(r.values[2], -3920.0);
  EXPECT_DOUBLE_EQ(r.values[3], 3.0 * 3920.0 / 6182761.0);
  // An offset of the counts is taken off with the mean.
  std::string offset = KnetHeader("100Hz", "100(gal)/100") + "10 12 14\n";
  EXPECT_EQ(Read(ReadKnet(offset, "k")).values,
            (std::vector<double>{-2, 0, 2}));
}

TEST(KnetTest, RefusesFaultsNamingFileAndLine) {
  const std::string counts = "1 2 3\n";
  EXPECT_EQ(
      ErrorOf(ReadKnet(KnetHeader("100Hz", "3920/6182761") + counts, "k")),
      "k:14: error: scale factor '3920/6182761' does not parse "
      "(expected such as 3920(gal)/6182761)");
  EXPECT_EQ(ErrorOf(ReadKnet(KnetHeader("100Hz", "3920(gal)/0") + counts, "k")),
            "k:14: error: scale factor '3920(gal)/0' does not parse "
            "(expected such as 3920(gal)/6182761)");
  EXPECT_EQ(ErrorOf(ReadKnet(KnetHeader("0Hz", "1(gal)/1") + counts, "k")),
            "k:11: error: sampling frequency '0Hz' is not a positive number "
            "of Hz");
  EXPECT_EQ(
      ErrorOf(ReadKnet(KnetHeader("100Hz", "1(gal)/1") + "1 2\n3.5\n", "k")),
      "k:19: error: not a whole count: '3.5'");
  EXPECT_EQ(ErrorOf(ReadKnet(KnetHeader("100Hz", "1(gal)/1"), "k")),
            "k: error: no counts after the header");
  EXPECT_EQ(ErrorOf(ReadKnet("Origin Time       x\nLat. 1\n", "k")),
            "k:2: error: the file ends inside its 17 header lines");
}

TEST(TableTest, TakesEveryValueOrOneColumn) {
  const std::string text =
      "# time acc\n"
      "time,acc\n"
      "0.00, 1.5\n"
      "\n"
      "0.01\t-2.5  \r\n"
      "# a comment\n"
      "0.02 3e1\n";
  TableLayout layout{0.01, Units::kMetresPerSecond2, 2, 2};
  SourceRecord r = Read(ReadTable(text, "t.csv", layout));
  EXPECT_EQ(r.values, (std::vector<double>{1.5, -2.5, 30.0}));
  EXPECT_EQ(r.dt, 0.01);
  EXPECT_EQ(r.units, Units::kMetresPerSecond2);
  layout.column = 0;
  EXPECT_EQ(Read(ReadTable(text, "t.csv", layout)).values,
            (std::vector<double>{0, 1.5, 0.01, -2.5, 0.02, 30.0}));
}

TEST(TableTest, RefusesFaultsNamingFileAndLine) {
  TableLayout layout{0.02, Units::kGal, 1, 2};
  EXPECT_EQ(ErrorOf(ReadTable("h\n1 2\n3\n", "t", layout)),
            "t:3: error: no column 2 (the line has 1)");
  EXPECT_EQ(ErrorOf(ReadTable("h\n1 2\n3 abc\n", "t", layout)),
            "t:3: error: not a number: 'abc'");
  EXPECT_EQ(ErrorOf(ReadTable("h\n1 2\n3 nan\n", "t", layout)),
            "t:3: error: not a number: 'nan'");
  EXPECT_EQ(ErrorOf(ReadTable("h\n1 1e999\n", "t", layout)),
            "t:2: error: not a number: '1e999'");
  EXPECT_EQ(ErrorOf(ReadTable("h\n\n", "t", layout)),
            "t: error: no values after the header lines");
  layout.skip = 3;
  EXPECT_EQ(ErrorOf(ReadTable("h\nh\n", "t", layout)),
            "t:2: error: the file ends inside the 3 header lines to skip");
}

// Records from PEER's database before NGA: another title, the count and
// step first on line 4 and named after them.
TEST(At2Test, ReadsTheOlderPeerHeader) {
  const std::string older =
      "PEER STRONG MOTION DATABASE RECORD. PROCESSING BY PACIFIC "
      "ENGINEERING.\r\n"
      "IMPERIAL VALLEY 5/19/40 0439, EL CENTRO ARRAY #9, 180  \r\n"
      "ACCELERATION TIME HISTORY IN UNITS OF G\r\n"
      "      3    .00500    NPTS, DT\r\n"
      "  .1000000E-01  -.2000000E-01   .3E-02\r\n";
  EXPECT_EQ(DetectFormat(older), Format::kAt2);
  SourceRecord r = Read(ReadAt2(older, "old.AT2"));
  EXPECT_EQ(r.dt, 0.005);
  EXPECT_EQ(r.values, (std::vector<double>{0.01, -0.02, 0.003}));
  EXPECT_EQ(r.header,
            (std::vector<std::string>{
                "PEER STRONG MOTION DATABASE RECORD. PROCESSING BY PACIFIC "
                "ENGINEERING.",
                "IMPERIAL VALLEY 5/19/40 0439, EL CENTRO ARRAY #9, 180",
                "ACCELERATION TIME HISTORY IN UNITS OF G"}));
  // Any case, and either line alone shows the format.
  const std::string lower =
      "peer strong motion database record\nx\nacceleration in units of g.\n"
      "2 0.01 npts, dt\n1 2\n";
  EXPECT_EQ(DetectFormat(lower), Format::kAt2);
  EXPECT_EQ(Read(ReadAt2(lower, "l")).values.size(), 2u);
  EXPECT_EQ(DetectFormat("title\nx\ny\n 2 0.01 NPTS, DT\n1 2\n"), Format::kAt2);
  EXPECT_EQ(ErrorOf(ReadAt2("t\nt\nUNITS OF G\n 3 .01 NPTS, DT\n1 2\n", "r")),
            "r:4: error: the header's count NPTS= 3 disagrees with the 2 "
            "values present");
  EXPECT_EQ(ErrorOf(ReadAt2("t\nt\nUNITS OF G\n 2 0 NPTS, DT\n1 2\n", "r")),
            "r:4: error: time step DT= '0' is not positive");
}

}  // namespace
}  // namespace lpgm::prepare
