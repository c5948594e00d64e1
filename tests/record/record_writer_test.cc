#include "record/record_writer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "support/memory_stream.h"

namespace lpgm {
namespace {

using ::lpgm::testing::MemoryOutput;

class RecordWriterTest : public ::testing::Test {
 protected:
  // What the channel has written so far.
  const std::string& Written() {
    channel_.Flush();
    return out_.data();
  }
  RecordWriter Writer(const Layout& layout) {
    return RecordWriter(channel_, layout);
  }

  MemoryOutput out_;
  OutputChannel channel_{out_, 21, "out.csv", 64};
};

TEST_F(RecordWriterTest, TextFieldsAreRightJustifiedOrCut) {
  const Layout layout = Layout::Parse("(A10,A10,A1,A10,A,A3)");
  Writer(layout)
      .Text(",(cm/s2)")
      .Text("abcdefghijkl")
      .Text(",")
      .Text(",No.")
      .Text("whole  ")
      .Text("")
      .End();
  EXPECT_EQ(Written(), "  ,(cm/s2)abcdefghij,      ,No.whole     \r\n");
}

TEST_F(RecordWriterTest, StopsAtTheNextDescriptorThatWouldTakeAValue) {
  const Layout layout = Layout::Parse("(A,30(A10,I2))");
  RecordWriter w = Writer(layout);
  w.Text("H");
  std::string want = "H";
  for (int i = 1; i <= 21; ++i) {
    w.Text(",c").Int(i);
    want += "        ,c" + std::string(i < 10 ? " " : "") + std::to_string(i);
  }
  w.End();
  EXPECT_EQ(Written(), want + "\r\n");  // 43 fields, one record
}

TEST_F(RecordWriterTest, WritesTheProgramsNumericRecords) {
  const Layout layout = Layout::Parse("(F12.4,10(A1,F14.6))");
  Writer(layout).Real(0.02).Text(",").Real(-12.5).Text(",").Real(1e7).End();
  Writer(Layout::Parse("(I2,A1,F14.6,A1,I2)"))
      .Int(7)
      .Text(",")
      .Real(-4e-7)
      .Text(",")
      .Int(100)
      .End();
  EXPECT_EQ(Written(),
            "      0.0200,    -12.500000,**************\r\n"
            " 7,      0.000000,**\r\n");
}

TEST_F(RecordWriterTest,
       RemainingValuesRevertToTheLastTopLevelGroupInANewRecord) {
  Writer(Layout::Parse("(A,2(A3,I2))"))
      .Text("h")
      .Text("a")
      .Int(1)
      .Text("b")
      .Int(2)
      .Text("c")
      .Int(3)
      .End();
  Writer(Layout::Parse("(I2,I3)")).Int(1).Int(2).Int(3).End();
  EXPECT_EQ(Written(), "h  a 1  b 2\r\n  c 3\r\n 1  2\r\n 3\r\n");
}

TEST_F(RecordWriterTest, DollarLeavesTheRecordOpenAlsoAcrossReversion) {
  const Layout open = Layout::Parse("(A,$)");
  Writer(open).Text("prompt:").End();
  EXPECT_EQ(Written(), "prompt:");
  Writer(open).Text("a").Text(" b").Text(" c").End();
  EXPECT_EQ(Written(), "prompt:a b c");
  // The values end before the $ is reached: the record ends.
  Writer(Layout::Parse("(A,I2,$)")).Text("x").End();
  Writer(Layout::Parse("(I2)")).End();
  EXPECT_EQ(Written(), "prompt:a b cx\r\n\r\n");
}

TEST_F(RecordWriterTest, ValueOfTheWrongKindIsAProgrammingError) {
  const Layout layout = Layout::Parse("(I2,F5.1,A2)");
  EXPECT_THROW(Writer(layout).Text("x"), std::logic_error);
  EXPECT_THROW(Writer(layout).Real(1), std::logic_error);
  EXPECT_THROW(Writer(layout).Int(1).Int(1), std::logic_error);
  EXPECT_THROW(Writer(layout).Int(1).Real(1).Int(1), std::logic_error);
  EXPECT_THROW(Writer(Layout::Parse("(I200)")).Int(1),
               std::logic_error);  // wider than the buffer
}

}  // namespace
}  // namespace lpgm
