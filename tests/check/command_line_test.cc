// The command line: options in any order, "--" before a name that starts
// with a dash, and every mistake a usage error.
#include "check/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lpgm::check {
namespace {

CommandLine Parse(std::vector<std::string> args) {
  return ParseCommandLine(args);
}

TEST(CommandLine, Accepted) {
  CommandLine cl = Parse({"--html", "r.html", "d.csv", "--json"});
  EXPECT_EQ(cl.error, "");
  EXPECT_TRUE(cl.json);
  EXPECT_EQ(cl.html, "r.html");
  EXPECT_EQ(cl.definition, "d.csv");
  cl = Parse({"--html=r.html", "--", "-d.csv"});
  EXPECT_EQ(cl.error, "");
  EXPECT_EQ(cl.html, "r.html");
  EXPECT_EQ(cl.definition, "-d.csv");
  EXPECT_TRUE(Parse({"--help"}).help);
  EXPECT_TRUE(Parse({"--version", "x"}).version);
}

TEST(CommandLine, Refused) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"--json"},
                                             {"a", "b"},
                                             {""},
                                             {"--html"},
                                             {"--html=", "d"},
                                             {"-x", "d"},
                                             {"--jsonx", "d"}})
    EXPECT_NE(Parse(args).error, "") << args.size();
}

}  // namespace
}  // namespace lpgm::check
