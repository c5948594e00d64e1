// lpgm-prepare's messages follow lpgm's console rule.
#include "prepare/console_output.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/encoding.h"
#include "support/memory_console.h"

namespace lpgm::prepare {
namespace {

void Put(platform::OutputStream& stream, std::string_view text) {
  ASSERT_TRUE(stream.Write(text.data(), text.size()));
}

TEST(ConsoleOutputTest, MessagesReachTheConsoleAsCp932LineByLine) {
  testing::MemoryConsole console("");
  ConsoleOutput out(console);
  ConsoleError err(console);
  Put(out, "C/加速度波形.acc: ok\n");
  // Standard error is handed on a whole line at a time, however written.
  Put(err, "C/加速度波形.acc: err");
  EXPECT_TRUE(console.errors().empty());
  Put(err, "or: x\nTry it.\nlast");
  EXPECT_EQ(console.shown(), platform::Utf8ToCp932("C/加速度波形.acc: ok\n"));
  EXPECT_EQ(console.errors(),
            platform::Utf8ToCp932("C/加速度波形.acc: error: x\nTry it.\n"));
  EXPECT_TRUE(err.Close());
  EXPECT_EQ(
      console.errors(),
      platform::Utf8ToCp932("C/加速度波形.acc: error: x\nTry it.\nlast\n"));
}

// The program itself: its help in UTF-8 under a UTF-8 locale, in CP932
// under the C locale.
TEST(ConsoleOutputTest, HelpFollowsTheLocale) {
  auto help = [](const char* locale) {
    std::string command =
        std::string("LC_ALL=") + locale + " " + LPGM_PREPARE_BINARY + " --help";
    std::string text;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
      char buffer[4096];
      std::size_t n;
      while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        text.append(buffer, n);
      pclose(pipe);
    }
    return text;
  };
  const std::string utf8 = help("C.UTF-8");
  ASSERT_NE(utf8.find("CASE_FOLDER/加速度波形.acc"), std::string::npos);
  EXPECT_EQ(help("C"), platform::Utf8ToCp932(utf8));
}

}  // namespace
}  // namespace lpgm::prepare
