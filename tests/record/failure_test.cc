#include "record/failure.h"

#include <gtest/gtest.h>

#include <string>

namespace lpgm {
namespace {

TEST(FailureTest, DiagnosticLineNamesSeverityNumberUnitAndFile) {
  EXPECT_EQ(
      DiagnosticLine(24, 13, "case1\\x.acc"),
      "lpgm: severe (24): end-of-file during read, unit 13, file case1\\x.acc");
  const struct {
    int number;
    const char* message;
  } kCases[] = {
      {kErrBadFileName, "file name specification error, unit 21, file f"},
      {kErrPermission, "permission to access file denied, unit 21, file f"},
      {kErrOpenFailure, "open failure, unit 21, file f"},
      {kErrEndOfFile, "end-of-file during read, unit 21, file f"},
      {kErrConversion, "input conversion error, unit 21, file f"},
      {kErrListSyntax, "list-directed I/O syntax error, unit 21, file f"},
      {kErrWrite, "error during write, unit 21, file f"},
      {kErrRead, "error during read, unit 21, file f"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(ErrorMessage(c.number, 21, "f"), c.message);
    EXPECT_EQ(DiagnosticLine(c.number, 21, "f"),
              "lpgm: severe (" + std::to_string(c.number) + "): " + c.message);
  }
  EXPECT_EQ(DiagnosticLine(kErrRead, 5, "stdin"),
            "lpgm: severe (39): error during read, unit 5, file stdin");
}

TEST(FailureTest, OutputThatCannotBeOpenedFailsByTheReason) {
  using platform::OpenError;
  EXPECT_EQ(OpenFailureNumber(OpenError::kBadName), kErrBadFileName);
  EXPECT_EQ(OpenFailureNumber(OpenError::kPermission), kErrPermission);
  for (OpenError e :
       {OpenError::kNotFound, OpenError::kIsDirectory, OpenError::kOther})
    EXPECT_EQ(OpenFailureNumber(e), kErrOpenFailure);
}

TEST(FailureTest, RunStopCarriesItsKindAndDetails) {
  RunStop failure = RunStop::RecordFailure(kErrWrite, 26, "\x8e\x51.csv");
  EXPECT_EQ(failure.kind(), RunStop::Kind::kRecordFailure);
  EXPECT_EQ(failure.number(), 38);
  EXPECT_EQ(failure.unit(), 26);
  EXPECT_EQ(failure.file(), "\x8e\x51.csv");
  EXPECT_EQ(
      failure.message(),
      "lpgm: severe (38): error during write, unit 26, file \x8e\x51.csv");
  EXPECT_STREQ(failure.what(), failure.message().c_str());

  RunStop stop = RunStop::MessageStop("message [Enter]");
  EXPECT_EQ(stop.kind(), RunStop::Kind::kMessage);
  EXPECT_EQ(stop.message(), "message [Enter]");
}

}  // namespace
}  // namespace lpgm
