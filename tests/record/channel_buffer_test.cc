#include "record/channel_buffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <thread>
#include <vector>

namespace lpgm {
namespace {

// A channel's buffer goes to the next channel of its size: the pages of
// a file's buffer serve the files after it.
TEST(ChannelBufferTest, ABufferLetGoIsHandedToTheNextChannelOfItsSize) {
  // Whatever was kept before, a buffer just let go is kept.
  for (std::size_t size = 1001; size <= 1010; ++size) ChannelBuffer{size};
  char* first = nullptr;
  {
    ChannelBuffer buffer(300000);
    first = buffer.get();
    std::memset(buffer.get(), 'x', buffer.size());
  }
  ChannelBuffer again(300000);
  EXPECT_EQ(again.get(), first);
  ChannelBuffer other_size(300001);
  EXPECT_NE(other_size.get(), first);
}

TEST(ChannelBufferTest, BuffersInUseAtOnceAreDistinctAndWhole) {
  std::vector<std::unique_ptr<ChannelBuffer>> buffers;
  for (int i = 0; i < 10; ++i) {
    buffers.push_back(std::make_unique<ChannelBuffer>(i % 2 ? 64 : 1 << 20));
    std::memset(buffers.back()->get(), i, buffers.back()->size());
  }
  std::set<char*> distinct;
  for (int i = 0; i < 10; ++i) {
    const ChannelBuffer& b = *buffers[static_cast<std::size_t>(i)];
    distinct.insert(b.get());
    EXPECT_EQ(b[0], static_cast<char>(i));
    EXPECT_EQ(b[b.size() - 1], static_cast<char>(i));
  }
  EXPECT_EQ(distinct.size(), 10u);
}

TEST(ChannelBufferTest, LargeBuffersStartOnALargePageAndNoneIsEmpty) {
  ChannelBuffer large(256 * 1024);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(large.get()) % (2u << 20), 0u);
  ChannelBuffer none(0);
  EXPECT_EQ(none.size(), 1u);
  none[0] = 'a';
  EXPECT_EQ(none[0], 'a');
}

// Two threads reading files at once take and give back buffers of one size.
TEST(ChannelBufferTest, TwoThreadsNeverShareABuffer) {
  auto use = [](char mark, bool* clean) {
    for (int i = 0; i < 2000; ++i) {
      ChannelBuffer buffer(4096);
      std::memset(buffer.get(), mark, buffer.size());
      std::this_thread::yield();
      for (std::size_t k = 0; k < buffer.size(); k += 512) {
        if (buffer[k] != mark) *clean = false;
      }
    }
  };
  bool clean_a = true, clean_b = true;
  std::thread other(use, 'a', &clean_a);
  use('b', &clean_b);
  other.join();
  EXPECT_TRUE(clean_a);
  EXPECT_TRUE(clean_b);
}

}  // namespace
}  // namespace lpgm
