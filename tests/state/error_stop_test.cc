#include "state/error_stop.h"

#include <gtest/gtest.h>

#include <string>

#include "record/failure.h"

namespace lpgm {
namespace {

TEST(ErrorStopTest, MessagesAreTheSystemsTextsByteForByte) {
  EXPECT_EQ(NotExistMessage("cases\\C1\\x.acc"),
            "cases\\C1\\x.acc not exist ! [Enter]");
  EXPECT_EQ(CountErrorMessage(), "Fault number or Case number Error ! [Enter]");
  // The line messages have no blank before "Error"; the missing ones have.
  EXPECT_EQ(FaultLineErrorMessage(3), "Fault data line no.3Error ! [Enter]");
  EXPECT_EQ(CaseLineErrorMessage(21), "Case data line no.21Error ! [Enter]");
  EXPECT_EQ(FaultMissingMessage(6), "Fault data no.6 not exist ! [Enter]");
  EXPECT_EQ(CaseMissingMessage(10), "Case data no.10 not exist ! [Enter]");
  EXPECT_EQ(SampleCountMessage("C\\\x89\xc1.acc"),
            "C\\\x89\xc1.acc sample number Error ! [Enter]");
  EXPECT_EQ(NotExistMessage(""), " not exist ! [Enter]");
}

TEST(ErrorStopTest, StopWithMessageThrowsAMessageStopCarryingTextAndReason) {
  for (StopReason reason : {StopReason::kCannotOpen, StopReason::kCountError,
                            StopReason::kFaultLine, StopReason::kCaseLine,
                            StopReason::kFaultMissing, StopReason::kCaseMissing,
                            StopReason::kSampleCount}) {
    try {
      StopWithMessage(reason, "stop [Enter]");
      FAIL() << "returned";
    } catch (const RunStop& stop) {
      EXPECT_EQ(stop.kind(), RunStop::Kind::kMessage);
      EXPECT_EQ(stop.message(), "stop [Enter]");
      EXPECT_EQ(ReasonOf(stop), reason);
    }
  }
  EXPECT_EQ(ReasonOf(RunStop::RecordFailure(kErrEndOfFile, 13, "x.acc")),
            StopReason::kNone);
}

}  // namespace
}  // namespace lpgm
