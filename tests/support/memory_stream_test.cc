// The in-memory streams that the tests, fuzz targets and benchmarks share:
// a moved input reads its own copy, a view reads without one, chunk sizes
// and injected failures hold.
#include "support/memory_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace lpgm::testing {
namespace {

std::string ReadAll(MemoryInput& input, std::size_t ask = 1000) {
  std::string out;
  char buffer[1000];
  for (long n; (n = input.Read(buffer, ask)) > 0;)
    out.append(buffer, static_cast<std::size_t>(n));
  return out;
}

TEST(MemoryInputTest, MovedInputReadsItsOwnCopyShortOrLong) {
  for (const std::string& text :
       {std::string("short"), std::string(500, 'x')}) {
    MemoryInput first(text, 7);
    char head[3];
    ASSERT_EQ(first.Read(head, 3), 3);
    MemoryInput moved(std::move(first));
    EXPECT_EQ(moved.consumed(), 3u);
    EXPECT_EQ(ReadAll(moved), text.substr(3));
  }
}

TEST(MemoryInputTest, ViewReadsTheBytesInChunksOrAllAtOnce) {
  const std::string text(100, 'v');
  MemoryInput whole = MemoryInput::Over(text);
  char buffer[200];
  EXPECT_EQ(whole.Read(buffer, 200), 100);
  EXPECT_EQ(whole.Read(buffer, 200), 0);
  MemoryInput chunked = MemoryInput::Over(text, 30);
  EXPECT_EQ(chunked.Read(buffer, 200), 30);
  MemoryInput moved(std::move(chunked));
  EXPECT_EQ(ReadAll(moved), text.substr(30));
}

TEST(MemoryInputTest, ReadPassingTheFailureOffsetFails) {
  MemoryInput input("abcdefgh");
  input.FailAt(5);
  char buffer[10];
  EXPECT_EQ(input.Read(buffer, 10), 5);
  EXPECT_EQ(input.Read(buffer, 10), -1);
}

TEST(MemoryOutputTest, KeepsEveryAcceptedWriteAndRefusesPastTheLimit) {
  MemoryOutput output;
  output.FailAfter(6);
  EXPECT_TRUE(output.Write("abc", 3));
  EXPECT_TRUE(output.Write("de", 2));
  EXPECT_FALSE(output.Write("fg", 2));
  EXPECT_EQ(output.data(), "abcde");
  EXPECT_EQ(output.writes(), (std::vector<std::size_t>{3, 2}));
}

}  // namespace
}  // namespace lpgm::testing
