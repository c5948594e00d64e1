#include "platform/posix_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>

namespace lpgm::platform {
namespace {

// A pipe takes far less than this at once: the writer must loop, and the
// reader sees every byte in order, then the end.
TEST(PosixIoTest, WriteAllPassesMoreThanAPipeHoldsAndReadSeesTheEnd) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  std::string data(1 << 20, '\0');
  for (std::size_t i = 0; i < data.size(); ++i)
    data[i] = static_cast<char>('a' + i % 23);
  std::string received;
  std::thread reader([&] {
    char buffer[4096];
    for (;;) {
      long n = ReadRetrying(fds[0], buffer, sizeof buffer);
      if (n <= 0) break;
      received.append(buffer, static_cast<std::size_t>(n));
    }
  });
  EXPECT_EQ(WriteAll(fds[1], data.data(), data.size()), data.size());
  close(fds[1]);
  reader.join();
  close(fds[0]);
  EXPECT_EQ(received, data);
}

TEST(PosixIoTest, FailuresAreReportedNotRetried) {
  char c;
  EXPECT_EQ(ReadRetrying(-1, &c, 1), -1);
  EXPECT_EQ(WriteAll(-1, "x", 1), 0u);
  int full = open("/dev/full", O_WRONLY);
  if (full < 0) GTEST_SKIP() << "no /dev/full";
  EXPECT_EQ(WriteAll(full, "data", 4), 0u);
  close(full);
}

}  // namespace
}  // namespace lpgm::platform
