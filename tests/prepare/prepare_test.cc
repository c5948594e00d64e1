#include "prepare/prepare.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "prepare/fake_host.h"

namespace lpgm::prepare {
namespace {

class PrepareTest : public ::testing::Test {
 protected:
  int Run(std::vector<std::string_view> args) {
    return RunPrepare(args, host_);
  }
  FakeHost host_;
};

TEST_F(PrepareTest, HelpAndVersionGoToStandardOutput) {
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_TRUE(host_.out.starts_with(
      "Usage: lpgm-prepare [OPTIONS] RECORD -o CASE_FOLDER\n"));
  EXPECT_NE(host_.out.find("64 usage error"), std::string::npos);
  host_.out.clear();
  EXPECT_EQ(Run({"x", "--version"}), 0);
  EXPECT_TRUE(host_.out.starts_with("lpgm-prepare 1."));
  EXPECT_TRUE(host_.err.empty());
}

TEST_F(PrepareTest, UsageErrorsExitWith64) {
  const std::vector<std::pair<std::vector<std::string_view>, std::string>>
      cases = {
          {{}, "no RECORD given"},
          {{"--manifest", "m", "r"},
           "--manifest takes no RECORD, -o or conversion options: they are "
           "given on its lines"},
          {{"--manifest", "m", "--units", "g"},
           "--manifest takes no RECORD, -o or conversion options: they are "
           "given on its lines"},
          {{"r", "-o"}, "option -o needs a value"},
          {{"r", "-o", "c", "--frobnicate"}, "unknown option --frobnicate"},
          {{"r", "-o", "c", "--format", "csv"},
           "invalid value 'csv' for --format (at2, knet or table)"},
          {{"r", "-o", "c", "--format=table", "--units", "g", "--dt", "0"},
           "invalid value '0' for --dt (a positive number of seconds)"},
          {{"r", "-o", "c", "--dt", "0.01"},
           "--dt, --units, --skip and --column describe a table: give --format "
           "table"},
          {{"r", "-o", "c", "--format", "table", "--dt", "0.01"},
           "a table needs --dt and --units"},
          {{"r", "-o", "c", "--format=table", "--dt=0.01", "--units=g",
            "--column", "0"},
           "invalid value '0' for --column (a whole number, 1 or more)"},
          {{"r", "-o", "c", "--scale", "0"},
           "invalid value '0' for --scale (a number other than 0)"},
          {{"r", "-o", "c", "--force=yes"}, "option --force takes no value"},
      };
  for (const auto& [args, message] : cases) {
    host_.err.clear();
    EXPECT_EQ(Run(args), 64) << message;
    EXPECT_EQ(host_.err,
              "lpgm-prepare: " + message + "\nTry 'lpgm-prepare --help'.\n");
  }
  EXPECT_TRUE(host_.files.empty());
}

const char kRecordAt002[] =
    "PEER NGA STRONG MOTION DATABASE RECORD\n"
    "Test\n"
    "ACCELERATION TIME SERIES IN UNITS OF G\n"
    "NPTS=      4, DT=   .0200 SEC\n"
    "  .1000000E+00  -.1000000E+00  .0 .0\n";

TEST_F(PrepareTest, ConvertsAndReportsOneLine) {
  host_.files["r.AT2"] = kRecordAt002;
  EXPECT_EQ(Run({"r.AT2", "-o", "C1"}), 0);
  EXPECT_EQ(host_.files["C1/case.acc"],
            "4,0.02\r\n     98.0665    -98.0665      0.0000      0.0000\r\n");
  EXPECT_EQ(host_.folders.count("C1"), 1u);
  EXPECT_EQ(host_.out,
            "r.AT2: at2, 4 samples at 0.02 s in g; baseline none; no filter "
            "(already at 0.02 s); 4 samples at 0.02 s; PGA 98.07 cm/s2, PGV "
            "0.98 cm/s\n");
  EXPECT_TRUE(host_.err.empty());
}

TEST_F(PrepareTest, InputErrorsExitWith2AndWriteNothing) {
  host_.files["t.txt"] = "1\n2\n";
  host_.files["bad.AT2"] =
      "PEER NGA STRONG MOTION DATABASE RECORD\nx\nUNITS OF G\nNPTS= 5, DT= "
      ".01\n1\n";
  EXPECT_EQ(Run({"none.AT2", "-o", "C"}), 2);
  EXPECT_EQ(host_.err,
            "none.AT2: error: cannot read: No such file or directory\n");
  host_.err.clear();
  EXPECT_EQ(Run({"t.txt", "-o", "C"}), 2);
  EXPECT_EQ(host_.err,
            "t.txt:1: error: neither an AT2 nor a K-NET header; for a table "
            "give --format table with --dt and --units\n");
  host_.err.clear();
  EXPECT_EQ(Run({"bad.AT2", "-o", "C"}), 2);
  EXPECT_EQ(host_.err,
            "bad.AT2:4: error: the header's count NPTS= 5 disagrees with the "
            "1 values present\n");
  host_.err.clear();
  EXPECT_EQ(
      Run({"--format=table", "--dt=1e-6", "--units=g", "t.txt", "-o", "C"}), 2);
  EXPECT_EQ(host_.err,
            "t.txt: error: cannot resample a time step of 0.000001 s to 0.02 "
            "s (no ratio of whole numbers up to 1000)\n");
  host_.err.clear();
  EXPECT_EQ(Run({"--format=table", "--dt=0.02", "--units=g", "--scale=1e306",
                 "t.txt", "-o", "C"}),
            2);
  EXPECT_EQ(host_.err,
            "t.txt: error: a value beyond the range of numbers after the "
            "units and --scale\n");
  host_.files["long.txt"] = "";
  for (int j = 0; j < 100001; ++j) host_.files["long.txt"] += "1\n";
  host_.err.clear();
  EXPECT_EQ(Run({"--format=table", "--dt=0.02", "--units=gal", "long.txt", "-o",
                 "C"}),
            2);
  EXPECT_EQ(host_.err,
            "long.txt: error: 100001 samples at 0.02 s, more than the 100000 "
            "that lpgm takes; cut the record first\n");
  EXPECT_EQ(host_.files.size(), 3u);
  EXPECT_TRUE(host_.out.empty());
}

TEST_F(PrepareTest, ExistingCaseFileIsReplacedOnlyWithForce) {
  host_.files["r.AT2"] = kRecordAt002;
  host_.files["C/case.acc"] = "old";
  EXPECT_EQ(Run({"r.AT2", "-o", "C"}), 2);
  EXPECT_EQ(host_.err,
            "C/case.acc: error: exists already; --force replaces it\n");
  EXPECT_EQ(host_.files["C/case.acc"], "old");
  EXPECT_EQ(Run({"--force", "r.AT2", "-o", "C"}), 0);
  EXPECT_TRUE(host_.files["C/case.acc"].starts_with("4,0.02\r\n"));
  host_.refuse_writes = true;
  host_.err.clear();
  EXPECT_EQ(Run({"--force", "r.AT2", "-o", "C"}), 2);
  EXPECT_EQ(host_.err, "C/case.acc: error: cannot write: Permission denied\n");
}

TEST_F(PrepareTest, WarningsAreOnTheSummaryLine) {
  // A record in g read as cm/s2: far too weak, and its velocity never
  // returns to rest.
  host_.files["g.txt"] = "0.1\n0.1\n0.1\n0.1\n";
  EXPECT_EQ(Run({"--format", "table", "--dt", "0.02", "--units", "cm/s2",
                 "g.txt", "-o", "C"}),
            0);
  EXPECT_NE(host_.out.find("; warning: PGA 0.1 cm/s2 is outside 5 to 3000 "
                           "cm/s2: check --units"),
            std::string::npos)
      << host_.out;
  EXPECT_NE(host_.out.find("; warning: end velocity 0.007 cm/s is above 0.2 x "
                           "PGV: consider --baseline linear (or mean)"),
            std::string::npos)
      << host_.out;
  host_.out.clear();
  host_.files["slow.txt"] = std::string(400, '\n');
  for (int j = 0; j < 400; ++j)
    host_.files["slow.txt"] += j % 2 ? "100\n" : "-100\n";
  EXPECT_EQ(Run({"--format=table", "--dt=0.025", "--units=gal", "--force",
                 "slow.txt", "-o", "C"}),
            0);
  EXPECT_NE(host_.out.find("resampled by 5/4; 500 samples at 0.02 s"),
            std::string::npos)
      << host_.out;
  EXPECT_NE(host_.out.find("; warning: time step 0.025 s is above 0.02 s: "
                           "up-sampled, nothing above 20 Hz is in the record"),
            std::string::npos)
      << host_.out;
}

}  // namespace
}  // namespace lpgm::prepare
