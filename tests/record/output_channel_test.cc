#include "record/output_channel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "record/failure.h"
#include "record_testing.h"
#include "support/memory_stream.h"

namespace lpgm {
namespace {

using ::lpgm::testing::ExpectStop;
using ::lpgm::testing::MemoryOutput;
using ::lpgm::testing::TestSeed;

TEST(OutputChannelTest, PassesEveryByteThroughASmallBuffer) {
  std::mt19937_64 rng(TestSeed());
  MemoryOutput out;
  std::string want;
  {
    OutputChannel channel(out, 21, "out.csv", 64);
    EXPECT_EQ(channel.capacity(), 64u);
    for (int i = 0; i < 2000; ++i) {
      switch (rng() % 4) {
        case 0: {
          std::string text(rng() % 200, static_cast<char>('a' + rng() % 26));
          channel.Append(text);
          want += text;
          break;
        }
        case 1:
          channel.Append('x');
          want += 'x';
          break;
        case 2: {
          std::size_t n = 1 + rng() % 64;
          char* p = channel.Reserve(n);
          for (std::size_t k = 0; k < n; ++k)
            p[k] = static_cast<char>('0' + k % 10);
          channel.Commit(n);
          for (std::size_t k = 0; k < n; ++k)
            want += static_cast<char>('0' + k % 10);
          break;
        }
        default:
          channel.EndRecord();
          want += "\r\n";
          break;
      }
      if (i == 0 && want.size() <= 64) {
        EXPECT_EQ(out.data(), "");  // nothing has reached the stream yet
      }
    }
    channel.Close();
    channel.Close();  // closing twice is harmless
  }
  EXPECT_EQ(out.data(), want);
  EXPECT_TRUE(out.closed());
}

TEST(OutputChannelTest, ClosingAnUnwrittenFileClosesItsStream) {
  MemoryOutput out;
  OutputChannel channel(out, 22, "out.csv");
  channel.Close();
  EXPECT_EQ(out.data(), "");
  EXPECT_TRUE(out.closed());
}

TEST(OutputChannelTest, ReservingMoreThanTheBufferFailsWithoutOverflow) {
  MemoryOutput out;
  OutputChannel channel(out, 21, "out.csv", 100);
  channel.Append(std::string(40, 'a'));
  for (std::size_t n : {std::size_t{101}, std::size_t{30 * 12}}) {
    RunStop stop = ExpectStop([&] { channel.Reserve(n); });
    EXPECT_EQ(stop.number(), 38);
  }
  // The whole buffer may still be asked for.
  char* p = channel.Reserve(100);
  std::memset(p, 'b', 100);
  channel.Commit(100);
  channel.Close();
  EXPECT_EQ(out.data(), std::string(40, 'a') + std::string(100, 'b'));
}

TEST(OutputChannelTest, WriteOrCloseFailureIsErrorDuringWrite) {
  const std::string name = "\x8e\x51\x8d\x6c.csv";  // CP932 bytes
  {
    MemoryOutput out;
    out.FailAfter(100);
    OutputChannel channel(out, 23, name, 64);
    RunStop stop = ExpectStop([&] {
      for (int i = 0; i < 10; ++i) channel.Append(std::string(30, 'x'));
    });
    EXPECT_EQ(stop.kind(), RunStop::Kind::kRecordFailure);
    EXPECT_EQ(stop.number(), kErrWrite);
    EXPECT_EQ(stop.unit(), 23);
    EXPECT_EQ(stop.file(), name);
    EXPECT_EQ(stop.message(),
              "lpgm: severe (38): error during write, unit 23, file " + name);
  }
  {
    MemoryOutput out;
    out.FailAfter(3);
    OutputChannel channel(out, 24, name);
    channel.Append("abcd");  // buffered: fails at the close
    EXPECT_EQ(ExpectStop([&] { channel.Close(); }).number(), kErrWrite);
  }
  {
    MemoryOutput out;
    out.FailClose();
    OutputChannel channel(out, 25, name);
    channel.Append("abcd");
    RunStop stop = ExpectStop([&] { channel.Close(); });
    EXPECT_EQ(stop.number(), kErrWrite);
    EXPECT_EQ(stop.unit(), 25);
    EXPECT_EQ(out.data(), "abcd");
  }
}

}  // namespace
}  // namespace lpgm
