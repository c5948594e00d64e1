// lpgm-spectrum's command line: what it takes and every way it refuses.
#include "spectrum/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace lpgm::spectrum {
namespace {

ParsedCommand Parse(std::vector<std::string_view> args) {
  return ParseCommandLine(args);
}

TEST(SpectrumCommandLine, TakesTheOptionsInEitherForm) {
  const ParsedCommand p =
      Parse({"--damping=0.02,0.05", "--substeps", "5", "--periods", "p.csv",
             "rec.txt", "--format", "table", "--dt=0.01", "--units", "gal",
             "--skip", "2", "--column=3", "--scale", "-1.5", "-o", "out.csv"});
  ASSERT_EQ(p.action, Action::kCompute) << p.error;
  const Command& c = p.command;
  EXPECT_EQ(c.dampings, (std::vector<double>{0.02, 0.05}));
  EXPECT_EQ(c.substeps, 5);
  EXPECT_EQ(c.periods_file, "p.csv");
  EXPECT_EQ(c.record, "rec.txt");
  EXPECT_EQ(c.output, "out.csv");
  EXPECT_EQ(c.output_kind, OutputKind::kCsv);
  EXPECT_EQ(c.record_options.dt, 0.01);
  EXPECT_EQ(c.record_options.skip, 2);
  EXPECT_EQ(c.record_options.column, 3);
  EXPECT_EQ(c.record_options.scale, -1.5);
  EXPECT_EQ(Parse({"--fault-file", "r.AT2", "-o", "F"}).command.output_kind,
            OutputKind::kFaultFile);
  EXPECT_EQ(Parse({"-o", "x", "--", "-record"}).command.record, "-record");
}

TEST(SpectrumCommandLine, HelpAndVersionWinOverEverythingElse) {
  EXPECT_EQ(Parse({"--bogus", "--help"}).action, Action::kHelp);
  EXPECT_EQ(Parse({"--version", "-o"}).action, Action::kVersion);
  EXPECT_NE(HelpText().find("--fault-file"), std::string_view::npos);
}

TEST(SpectrumCommandLine, RefusesWhatItCannotUse) {
  const std::vector<std::vector<std::string_view>> bad = {
      {},
      {"r.AT2"},
      {"-o", "out"},
      {"a", "b", "-o", "out"},
      {"r", "-o", "x", "-o", "y"},
      {"r", "-o"},
      {"r", "-o", ""},
      {"r", "-o", "x", "--bogus"},
      {"r", "-o", "x", "--csv=1"},
      {"r", "-o", "x", "--csv", "--fault-file"},
      {"r", "-o", "x", "--fault-file", "--damping", "0.05"},
      {"r", "-o", "x", "--damping", "1"},
      {"r", "-o", "x", "--damping", "-0.01"},
      {"r", "-o", "x", "--damping", "0.05,"},
      {"r", "-o", "x", "--damping", "nan"},
      {"r", "-o", "x", "--substeps", "0"},
      {"r", "-o", "x", "--substeps", "1001"},
      {"r", "-o", "x", "--substeps", "2.5"},
      {"r", "-o", "x", "--format", "wav"},
      {"r", "-o", "x", "--format", "table", "--dt", "0.01"},
      {"r", "-o", "x", "--format", "at2", "--skip", "1"},
      {"r", "-o", "x", "--dt", "0"},
      {"r", "-o", "x", "--dt", "inf"},
      {"r", "-o", "x", "--units", "feet"},
      {"r", "-o", "x", "--scale", "0"},
      {"r", "-o", "x", "--column", "0"},
      {"r", "-o", "x", "--skip", "-1"},
  };
  for (const auto& args : bad) {
    const ParsedCommand p = Parse(args);
    std::string shown;
    for (const std::string_view a : args) shown += std::string(a) + " ";
    EXPECT_EQ(p.action, Action::kUsageError) << shown;
    EXPECT_FALSE(p.error.empty()) << shown;
  }
}

}  // namespace
}  // namespace lpgm::spectrum
