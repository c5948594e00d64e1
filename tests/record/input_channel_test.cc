#include "record/input_channel.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "record_testing.h"

namespace lpgm {
namespace {

using ::lpgm::testing::ExpectStop;
using ::lpgm::testing::Iterations;
using ::lpgm::testing::MemorySource;
using ::lpgm::testing::TestSeed;

// Every record of the channel, read byte by byte (checking Peek against Get).
std::vector<std::string> AllRecords(InputChannel& channel) {
  std::vector<std::string> records;
  while (channel.BeginRecord()) {
    std::string record;
    for (;;) {
      int peeked = channel.Peek();
      int c = channel.Get();
      EXPECT_EQ(peeked, c);
      if (c == InputChannel::kEndOfRecord) break;
      record += static_cast<char>(c);
    }
    EXPECT_EQ(channel.Get(), InputChannel::kEndOfRecord);
    EXPECT_TRUE(channel.at_end_of_record());
    records.push_back(record);
  }
  return records;
}

// The records of `data` by the rules: a line feed ends a record, a carriage
// return directly before it is dropped, a last line without one counts.
std::vector<std::string> ModelRecords(const std::string& data) {
  std::vector<std::string> records;
  std::string record;
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (data[i] == '\n') {
      if (!record.empty() && record.back() == '\r') record.pop_back();
      records.push_back(record);
      record.clear();
    } else {
      record += data[i];
    }
  }
  if (!record.empty()) records.push_back(record);
  return records;
}

TEST(InputChannelTest,
     SplitsRecordsAtLineFeedsAndDropsTheCarriageReturnBefore) {
  const struct {
    const char* data;
    std::vector<std::string> records;
  } kCases[] = {
      {"", {}},
      {"\n", {""}},
      {"abc", {"abc"}},
      {"abc\r\ndef\r\n", {"abc", "def"}},
      {"abc\ndef", {"abc", "def"}},
      {"a\rb\r\n", {"a\rb"}},  // a lone carriage return is data
      {"a\r\r\n", {"a\r"}},
      {"a\r", {"a\r"}},
      {"\r\n\r\n\n", {"", "", ""}},
  };
  for (const auto& c : kCases) {
    for (std::size_t chunk : {1u, 2u, 7u, 1u << 20}) {
      MemorySource source(c.data, chunk, 16);
      EXPECT_EQ(AllRecords(source.channel), c.records)
          << ::testing::PrintToString(std::string(c.data)) << " chunk "
          << chunk;
    }
  }
}

TEST(InputChannelTest, RandomLineEndsSplitAsTheRulesSayAtEveryBufferBoundary) {
  std::mt19937_64 rng(TestSeed());
  const char kAlphabet[] = "ab \r\r\n\n,";
  for (long i = 0, n = Iterations(3000); i < n; ++i) {
    std::string data;
    for (int k = static_cast<int>(rng() % 120); k > 0; --k)
      data += kAlphabet[rng() % (sizeof kAlphabet - 1)];
    if (rng() % 4 == 0) data += std::string(rng() % 100, 'x');
    std::size_t chunk = 1 + rng() % 9;
    std::size_t buffer = 16 + rng() % 20;
    MemorySource source(data, chunk, buffer);
    ASSERT_EQ(AllRecords(source.channel), ModelRecords(data))
        << ::testing::PrintToString(data) << " chunk " << chunk << " buffer "
        << buffer;
  }
}

TEST(InputChannelTest, BeginRecordSkipsTheUnreadRestAndSkipRecordTakesOne) {
  MemorySource source("first line\r\nsecond\r\nthird\r\n", 3, 16);
  InputChannel& channel = source.channel;
  ASSERT_TRUE(channel.BeginRecord());
  EXPECT_EQ(channel.Get(), 'f');
  channel.SkipRecord();  // passes over "second"
  ASSERT_TRUE(channel.BeginRecord());
  EXPECT_EQ(channel.Get(), 't');
  EXPECT_FALSE(channel.BeginRecord());
  EXPECT_FALSE(channel.BeginRecord());
}

TEST(InputChannelTest, EndOfFileAndReadFailureEndTheRun) {
  {
    MemorySource source("");
    RunStop stop = ExpectStop([&] { source.channel.BeginRecordOrFail(); });
    EXPECT_EQ(stop.kind(), RunStop::Kind::kRecordFailure);
    EXPECT_EQ(stop.number(), kErrEndOfFile);
    EXPECT_EQ(stop.unit(), kUnitAcceleration);
    EXPECT_EQ(stop.file(), "case1\\x.acc");
  }
  {
    MemorySource source("one\n");
    source.channel.SkipRecord();
    EXPECT_EQ(ExpectStop([&] { source.channel.SkipRecord(); }).number(),
              kErrEndOfFile);
  }
  {
    MemorySource source("one\ntwo\n", 2, 16);
    source.input.FailAt(5);
    source.channel.SkipRecord();
    EXPECT_EQ(ExpectStop([&] { AllRecords(source.channel); }).number(),
              kErrRead);
  }
}

TEST(InputChannelTest, WindowMakesBytesContiguousUpToTheBuffer) {
  MemorySource source(std::string(40, 'x') + "\nend", 3, 16);
  InputChannel& channel = source.channel;
  ASSERT_TRUE(channel.BeginRecord());
  RawWindow w = channel.Window(1000);
  EXPECT_EQ(w.size(), 16u);  // the whole buffer, though fewer than asked for
  EXPECT_EQ(std::string(w.begin, w.size()), std::string(16, 'x'));
  EXPECT_FALSE(w.stream_ended);
  channel.Consume(10);
  w = channel.Window(1000);
  EXPECT_EQ(w.size(), 16u);
  channel.Consume(w.size());
  w = channel.Window(1000);
  ASSERT_EQ(w.size(), 16u);
  EXPECT_EQ(std::string(w.begin, w.size()), std::string(14, 'x') + "\ne");
  EXPECT_FALSE(w.stream_ended);
  channel.Consume(14);
  w = channel.Window(1000);
  EXPECT_EQ(std::string(w.begin, w.size()), "\nend");
  EXPECT_TRUE(w.stream_ended);
  EXPECT_EQ(channel.Get(), InputChannel::kEndOfRecord);
  ASSERT_TRUE(channel.BeginRecord());
  EXPECT_EQ(channel.Get(), 'e');
}

}  // namespace
}  // namespace lpgm
