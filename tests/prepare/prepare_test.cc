#include "prepare/prepare.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/fake_file_system.h"

namespace lpgm::prepare {
namespace {

// Takes what is written into a string.
class StringOutput : public platform::OutputStream {
 public:
  explicit StringOutput(std::string* text) : text_(text) {}
  bool Write(const char* data, std::size_t size) override {
    text_->append(data, size);
    return true;
  }

 private:
  std::string* text_;
};

class PrepareTest : public ::testing::Test {
 protected:
  int Run(std::vector<std::string_view> args) { return RunPrepare(args, env_); }
  lpgm::testing::FakeFileSystem files_;
  std::string out_;
  std::string err_;
  StringOutput out_stream_{&out_};
  StringOutput err_stream_{&err_};
  PrepareEnvironment env_{files_, out_stream_, err_stream_};
};

TEST_F(PrepareTest, HelpAndVersionGoToStandardOutput) {
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_TRUE(out_.starts_with(
      "Usage: lpgm-prepare [OPTIONS] RECORD -o CASE_FOLDER\n"));
  EXPECT_NE(out_.find("64 usage error"), std::string::npos);
  out_.clear();
  EXPECT_EQ(Run({"x", "--version"}), 0);
  EXPECT_TRUE(out_.starts_with("lpgm-prepare 1."));
  EXPECT_TRUE(err_.empty());
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
    err_.clear();
    EXPECT_EQ(Run(args), 64) << message;
    EXPECT_EQ(err_,
              "lpgm-prepare: " + message + "\nTry 'lpgm-prepare --help'.\n");
  }
  EXPECT_TRUE(files_.Paths().empty());
}

const char kRecordAt002[] =
    "PEER NGA STRONG MOTION DATABASE RECORD\n"
    "Test\n"
    "ACCELERATION TIME SERIES IN UNITS OF G\n"
    "NPTS=      4, DT=   .0200 SEC\n"
    "  .1000000E+00  -.1000000E+00  .0 .0\n";

TEST_F(PrepareTest, ConvertsAndReportsOneLine) {
  files_.AddFile("r.AT2", kRecordAt002);
  EXPECT_EQ(Run({"r.AT2", "-o", "C1"}), 0);
  EXPECT_EQ(files_.Content("C1/加速度波形.acc"),
            "4,0.02\r\n     98.0665    -98.0665      0.0000      0.0000\r\n");
  EXPECT_EQ(files_.folders().count("C1"), 1u);
  EXPECT_EQ(out_,
            "r.AT2: at2, 4 samples at 0.02 s in g; baseline none; no filter "
            "(already at 0.02 s); 4 samples at 0.02 s; PGA 98.07 cm/s2, PGV "
            "0.98 cm/s\n");
  EXPECT_TRUE(err_.empty());
}

TEST_F(PrepareTest, InputErrorsExitWith2AndWriteNothing) {
  files_.AddFile("t.txt", "1\n2\n");
  files_.AddFile("bad.AT2",
                 "PEER NGA STRONG MOTION DATABASE RECORD\nx\nUNITS OF G\nNPTS= "
                 "5, DT= .01\n1\n");
  EXPECT_EQ(Run({"none.AT2", "-o", "C"}), 2);
  EXPECT_EQ(err_, "none.AT2: error: cannot read: No such file or directory\n");
  err_.clear();
  EXPECT_EQ(Run({"t.txt", "-o", "C"}), 2);
  EXPECT_EQ(err_,
            "t.txt:1: error: neither an AT2 nor a K-NET header; for a table "
            "give --format table with --dt and --units\n");
  err_.clear();
  EXPECT_EQ(Run({"bad.AT2", "-o", "C"}), 2);
  EXPECT_EQ(err_,
            "bad.AT2:4: error: the header's count NPTS= 5 disagrees with the "
            "1 values present\n");
  err_.clear();
  EXPECT_EQ(
      Run({"--format=table", "--dt=1e-6", "--units=g", "t.txt", "-o", "C"}), 2);
  EXPECT_EQ(err_,
            "t.txt: error: cannot resample a time step of 0.000001 s to 0.02 "
            "s (no ratio of whole numbers up to 1000)\n");
  err_.clear();
  EXPECT_EQ(Run({"--format=table", "--dt=0.02", "--units=g", "--scale=1e306",
                 "t.txt", "-o", "C"}),
            2);
  EXPECT_EQ(err_,
            "t.txt: error: a value beyond the range of numbers after the "
            "units and --scale\n");
  std::string long_table;
  for (int j = 0; j < 100001; ++j) long_table += "1\n";
  files_.AddFile("long.txt", long_table);
  err_.clear();
  EXPECT_EQ(Run({"--format=table", "--dt=0.02", "--units=gal", "long.txt", "-o",
                 "C"}),
            2);
  EXPECT_EQ(err_,
            "long.txt: error: 100001 samples at 0.02 s, more than the 100000 "
            "that lpgm takes; cut the record first\n");
  EXPECT_EQ(files_.Paths().size(), 3u);
  EXPECT_TRUE(out_.empty());
}

TEST_F(PrepareTest, ExistingCaseFileIsReplacedOnlyWithForce) {
  files_.AddFile("r.AT2", kRecordAt002);
  files_.AddFile("C/加速度波形.acc", "old");
  EXPECT_EQ(Run({"r.AT2", "-o", "C"}), 2);
  EXPECT_EQ(err_,
            "C/加速度波形.acc: error: exists already; --force replaces it\n");
  EXPECT_EQ(files_.Content("C/加速度波形.acc"), "old");
  EXPECT_EQ(Run({"--force", "r.AT2", "-o", "C"}), 0);
  EXPECT_TRUE(files_.Content("C/加速度波形.acc")->starts_with("4,0.02\r\n"));
  files_.RefuseWrites();
  err_.clear();
  EXPECT_EQ(Run({"--force", "r.AT2", "-o", "C"}), 2);
  EXPECT_EQ(err_, "C/加速度波形.acc: error: cannot write: Permission denied\n");
}

// Whichever call of the file system fails, the run says which file and
// why, writes nothing, and leaves an existing case file as it was.
TEST_F(PrepareTest, FailingFileCallsLeaveTheCaseFolderAsItWas) {
  using Call = lpgm::testing::FakeFileSystem::Call;
  struct Case {
    Call call;
    std::string path;
    std::string message;
  };
  const std::vector<Case> cases = {
      {Call::kReadWhole, "r.AT2", "r.AT2: error: cannot read: injected\n"},
      {Call::kMakeFolders, "C", "C: error: cannot make the folder: injected\n"},
      {Call::kReplaceWhole, "C/加速度波形.acc",
       "C/加速度波形.acc: error: cannot write: injected\n"},
      {Call::kReplaceRename, "C/加速度波形.acc",
       "C/加速度波形.acc: error: cannot write: injected\n"},
  };
  for (const Case& c : cases) {
    lpgm::testing::FakeFileSystem files;
    files.AddFile("r.AT2", kRecordAt002);
    ASSERT_TRUE(files.MakeFolders("C").ok());
    files.AddFile("C/加速度波形.acc", "old");
    files.Fail(c.call, c.path, platform::OpenError::kOther);
    std::string out;
    std::string err;
    StringOutput out_stream(&out);
    StringOutput err_stream(&err);
    PrepareEnvironment env{files, out_stream, err_stream};
    const std::vector<std::string_view> args = {"--force", "r.AT2", "-o", "C"};
    EXPECT_EQ(RunPrepare(args, env), 2) << c.path;
    EXPECT_EQ(err, c.message);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(files.Content("C/加速度波形.acc"), "old") << c.message;
    EXPECT_EQ(files.Paths(),
              (std::vector<std::string>{"C", "C/加速度波形.acc", "r.AT2"}))
        << c.message;
  }
  // A folder in the place of the record is named as such.
  files_.AddDirectory("dir.AT2");
  EXPECT_EQ(Run({"dir.AT2", "-o", "C"}), 2);
  EXPECT_EQ(err_, "dir.AT2: error: cannot read: is a folder, not a file\n");
}

// A file system that fails as no file system should: by throwing, what
// the test gives.
class ThrowingFileSystem : public lpgm::testing::FakeFileSystem {
 public:
  explicit ThrowingFileSystem(std::function<void()> thrower)
      : thrower_(std::move(thrower)) {}
  platform::FileResult ReadWhole(std::string_view path,
                                 std::string* content) override {
    if (path == "bad.AT2") thrower_();
    return FakeFileSystem::ReadWhole(path, content);
  }

 private:
  std::function<void()> thrower_;
};

// Whatever is thrown, in one record or on a worker thread of a batch, the
// driver ends in the internal error status with the words for it; the
// other records of a batch are converted.
TEST_F(PrepareTest, AnExceptionEndsInTheInternalErrorStatus) {
  struct Case {
    std::function<void()> thrower;
    std::vector<std::string_view> args;
    int status;
    std::string err;
  };
  const std::vector<std::string_view> one = {"bad.AT2", "-o", "C"};
  const std::vector<std::string_view> batch = {"good.AT2", "bad.AT2", "-o",
                                               "cases"};
  const std::vector<Case> cases = {
      {[] { throw std::bad_alloc(); }, one, 70,
       "lpgm-prepare: internal error: std::bad_alloc\n"},
      {[] { throw 7; }, one, 70,
       "lpgm-prepare: internal error: an unknown exception\n"},
      {[] { throw std::bad_alloc(); }, batch, 2,
       "[2/2] bad.AT2: error: out of memory\n"},
      {[] { throw std::length_error("too long"); }, batch, 70,
       "[2/2] bad.AT2: error: internal error: too long\n"
       "lpgm-prepare: internal error: too long\n"},
      {[] { throw 7; }, batch, 70,
       "[2/2] bad.AT2: error: internal error\n"
       "lpgm-prepare: internal error: an unknown exception\n"},
  };
  for (const Case& c : cases) {
    ThrowingFileSystem files(c.thrower);
    files.AddFile("good.AT2", kRecordAt002);
    files.AddFile("bad.AT2", kRecordAt002);
    std::string out;
    std::string err;
    StringOutput out_stream(&out);
    StringOutput err_stream(&err);
    PrepareEnvironment env{files, out_stream, err_stream};
    EXPECT_EQ(RunPrepare(c.args, env), c.status) << c.err;
    EXPECT_EQ(err, c.err);
    EXPECT_FALSE(files.Content("C/加速度波形.acc").has_value());
    EXPECT_FALSE(files.Content("cases/bad/加速度波形.acc").has_value());
    if (c.args == batch) {
      EXPECT_TRUE(files.Content("cases/good/加速度波形.acc").has_value());
      EXPECT_NE(out.find("1 of 2 records converted; failed: bad.AT2\n"),
                std::string::npos)
          << out;
    }
  }
}

TEST_F(PrepareTest, WarningsAreOnTheSummaryLine) {
  // A record in g read as cm/s2: far too weak, and its velocity never
  // returns to rest.
  files_.AddFile("g.txt", "0.1\n0.1\n0.1\n0.1\n");
  EXPECT_EQ(Run({"--format", "table", "--dt", "0.02", "--units", "cm/s2",
                 "g.txt", "-o", "C"}),
            0);
  EXPECT_NE(out_.find("; warning: PGA 0.1 cm/s2 is outside 5 to 3000 "
                      "cm/s2: check --units"),
            std::string::npos)
      << out_;
  EXPECT_NE(out_.find("; warning: end velocity 0.007 cm/s is above 0.2 x "
                      "PGV: consider --baseline linear (or mean)"),
            std::string::npos)
      << out_;
  out_.clear();
  std::string slow = std::string(400, '\n');
  for (int j = 0; j < 400; ++j) slow += j % 2 ? "100\n" : "-100\n";
  files_.AddFile("slow.txt", slow);
  EXPECT_EQ(Run({"--format=table", "--dt=0.025", "--units=gal", "--force",
                 "slow.txt", "-o", "C"}),
            0);
  EXPECT_NE(out_.find("resampled by 5/4; 500 samples at 0.02 s"),
            std::string::npos)
      << out_;
  EXPECT_NE(out_.find("; warning: time step 0.025 s is above 0.02 s: "
                      "up-sampled, nothing above 20 Hz is in the record"),
            std::string::npos)
      << out_;
}

}  // namespace
}  // namespace lpgm::prepare
