#include "input/read_in_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace lpgm {
namespace {

// How many times each item 1..count was read, and the message of the
// exception that came out (empty when none did).
struct Outcome {
  std::vector<int> reads;
  std::string failure;
};

Outcome ReadWithFailures(int count, const std::vector<int>& failing,
                         bool use_helper) {
  std::vector<std::atomic<int>> reads(static_cast<unsigned>(count) + 1);
  Outcome outcome;
  try {
    ReadInOrder(
        count,
        [&](int item) {
          reads[static_cast<unsigned>(item)]++;
          for (int f : failing) {
            if (f == item) throw std::runtime_error(std::to_string(item));
          }
        },
        use_helper);
  } catch (const std::runtime_error& e) {
    outcome.failure = e.what();
  }
  for (int i = 1; i <= count; ++i) {
    outcome.reads.push_back(reads[static_cast<unsigned>(i)]);
  }
  return outcome;
}

TEST(ReadInOrderTest, WithoutHelperReadsInOrderAndStopsAtTheFirstFailure) {
  std::vector<int> order;
  ReadInOrder(
      4, [&](int item) { order.push_back(item); }, false);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4}));

  const Outcome outcome = ReadWithFailures(6, {3, 5}, false);
  EXPECT_EQ(outcome.failure, "3");
  EXPECT_EQ(outcome.reads, (std::vector<int>{1, 1, 1, 0, 0, 0}));
}

TEST(ReadInOrderTest, WithHelperEveryItemIsReadExactlyOnce) {
  for (int count : {0, 1, 2, 3, 21, 200}) {
    for (int round = 0; round < 20; ++round) {
      const Outcome outcome = ReadWithFailures(count, {}, true);
      EXPECT_EQ(outcome.failure, "");
      EXPECT_EQ(outcome.reads,
                std::vector<int>(static_cast<unsigned>(count), 1))
          << count;
    }
  }
}

// Whatever the interleaving, the failure reported is the lowest failing
// item's, and every item before it has been read once.
TEST(ReadInOrderTest, WithHelperTheFirstFailureInOrderIsReported) {
  const std::vector<std::vector<int>> failing = {
      {1}, {2}, {21}, {4, 5}, {5, 4}, {7, 2, 19}, {1, 2, 3, 4}};
  for (const std::vector<int>& f : failing) {
    int first = f[0];
    for (int item : f) first = std::min(first, item);
    for (int round = 0; round < 50; ++round) {
      const Outcome outcome = ReadWithFailures(21, f, true);
      ASSERT_EQ(outcome.failure, std::to_string(first));
      for (int i = 1; i < first; ++i) {
        ASSERT_EQ(outcome.reads[static_cast<unsigned>(i - 1)], 1) << i;
      }
      for (int read : outcome.reads) ASSERT_LE(read, 1);
    }
  }
}

// Item 2 fails first in time while item 1 is still being read: item 1's
// failure is the one reported.
TEST(ReadInOrderTest, AnEarlierItemsLaterFailureWins) {
  std::atomic<bool> second_failed{false};
  std::string failure;
  try {
    ReadInOrder(
        3,
        [&](int item) {
          if (item == 2) {
            second_failed = true;
            throw std::runtime_error("2");
          }
          if (item == 1) {
            // Bounded, in case no second thread could be started.
            for (int spin = 0; spin < 5000 && !second_failed; ++spin) {
              std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            throw std::runtime_error("1");
          }
        },
        true);
  } catch (const std::runtime_error& e) {
    failure = e.what();
  }
  EXPECT_EQ(failure, "1");
}

}  // namespace
}  // namespace lpgm
