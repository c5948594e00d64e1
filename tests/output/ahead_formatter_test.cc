// The helper thread formats each chunk at most once, every chunk is formatted
// by someone, the writer sees them in order, and the helper stops cleanly
// when the writer gives up early.
#include "output/ahead_formatter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace lpgm {
namespace {

constexpr std::size_t kChunkBytes = 64;

void Fill(int index, char* out) {
  std::memset(out, 'a' + index % 26, kChunkBytes);
}

// Takes every chunk in order, formatting the writer's own ones, and returns
// the concatenated bytes; counts who formatted each chunk.
std::string TakeAll(int chunks, bool use_helper,
                    std::vector<std::atomic<int>>& formatted) {
  AheadFormatter ahead(
      chunks, kChunkBytes,
      [&](int index, char* out) {
        if (index % 3 == 0) std::this_thread::yield();
        formatted[static_cast<std::size_t>(index)] += 1;
        Fill(index, out);
      },
      use_helper);
  std::string all;
  for (int k = 0; k < chunks; ++k) {
    const char* ready = ahead.Take(k);
    char own[kChunkBytes];
    if (ready == nullptr) {
      formatted[static_cast<std::size_t>(k)] += 1;
      Fill(k, own);
      ready = own;
    }
    all.append(ready, kChunkBytes);
    if (ready != own) ahead.Release(k);
  }
  return all;
}

std::string Expected(int chunks) {
  std::string all;
  for (int k = 0; k < chunks; ++k)
    all.append(kChunkBytes, static_cast<char>('a' + k % 26));
  return all;
}

TEST(AheadFormatterTest, EveryChunkFormattedOnceAndTakenInOrder) {
  for (bool use_helper : {false, true}) {
    for (int chunks : {0, 1, 2, 3, 4, 50, 500}) {
      std::vector<std::atomic<int>> formatted(static_cast<std::size_t>(chunks));
      EXPECT_EQ(TakeAll(chunks, use_helper, formatted), Expected(chunks));
      for (int k = 0; k < chunks; ++k)
        EXPECT_EQ(formatted[static_cast<std::size_t>(k)].load(), 1) << k;
    }
  }
}

TEST(AheadFormatterTest, WithoutHelperEveryChunkIsTheWriters) {
  AheadFormatter ahead(10, kChunkBytes, Fill, false);
  EXPECT_FALSE(ahead.has_helper());
  for (int k = 0; k < 10; ++k) EXPECT_EQ(ahead.Take(k), nullptr);
}

TEST(AheadFormatterTest, StopsWhenTheWriterGivesUpEarly) {
  for (int taken = 0; taken < 6; ++taken) {
    std::atomic<int> formatted{0};
    {
      AheadFormatter ahead(
          1000, kChunkBytes,
          [&](int index, char* out) {
            ++formatted;
            Fill(index, out);
          },
          true);
      for (int k = 0; k < taken; ++k) {
        if (ahead.Take(k) != nullptr) ahead.Release(k);
      }
    }  // as when a write fails: the helper must stop and be joined
    EXPECT_LE(formatted.load(), taken + AheadFormatter::kSlots);
  }
}

}  // namespace
}  // namespace lpgm
