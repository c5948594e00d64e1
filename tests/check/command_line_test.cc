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
  EXPECT_EQ(cl.spectrum, SpectrumKind::kPsv);
  EXPECT_EQ(cl.damping, 0.05);
  cl = Parse({"--spectrum", "sv", "--damping=0.1", "d.csv"});
  EXPECT_EQ(cl.error, "");
  EXPECT_EQ(cl.spectrum, SpectrumKind::kSv);
  EXPECT_EQ(cl.damping, 0.1);
  EXPECT_EQ(Parse({"--spectrum=psv", "--damping", "0", "d"}).spectrum,
            SpectrumKind::kPsv);
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
                                             {"--jsonx", "d"},
                                             {"--spectrum", "sa", "d"},
                                             {"--spectrum"},
                                             {"--damping", "1", "d"},
                                             {"--damping", "-0.01", "d"},
                                             {"--damping", "5%", "d"},
                                             {"--damping=", "d"},
                                             {"--damping", "nan", "d"}})
    EXPECT_NE(Parse(args).error, "") << args.size();
}

}  // namespace
}  // namespace lpgm::check
