// The periods of a spectrum: the default grid and those read from lpgm's
// spectrum and target files.
#include "spectrum/periods.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

namespace lpgm::spectrum {
namespace {

std::string Rows(const std::vector<double>& periods, const char* rest) {
  std::string text;
  for (const double t : periods) text += std::to_string(t) + rest + "\r\n";
  return text;
}

TEST(SpectrumPeriods, DefaultGridIsTheFaultFilesGrid) {
  const std::vector<double> p = DefaultPeriods();
  ASSERT_EQ(p.size(), 55u);
  // Rows 1, 2, 3, 54 and 55 of every fault file of the real data.
  EXPECT_EQ(p[0], 0.1);
  EXPECT_EQ(p[1], 0.1089);
  EXPECT_EQ(p[2], 0.1186);
  EXPECT_EQ(p[53], 9.1825);
  EXPECT_EQ(p[54], 10.0);
  for (std::size_t k = 1; k < p.size(); ++k) EXPECT_LT(p[k - 1], p[k]);
}

TEST(SpectrumPeriods, ReadsFaultFilesAndTargetFiles) {
  const std::vector<double> grid = DefaultPeriods();
  std::string fault;
  for (int i = 0; i < 8; ++i) fault += "header, text\r\n";
  fault +=
      "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,"
      "25,26,27,28\r\n";
  fault += Rows(grid, ",1.5,2.5") + "anything after\r\n";
  const std::string target =
      "周期(s),速度Sv(cm/s)\r\n" + Rows(grid, ",     12.500000");
  for (const std::string& text : {fault, target}) {
    auto read = ReadPeriods(text, "f.csv");
    ASSERT_TRUE(std::holds_alternative<std::vector<double>>(read))
        << prepare::Describe(std::get<prepare::InputError>(read));
    const auto& periods = std::get<std::vector<double>>(read);
    ASSERT_EQ(periods.size(), grid.size());
    for (std::size_t k = 0; k < grid.size(); ++k)
      EXPECT_NEAR(periods[k], grid[k], 1e-6);
  }
}

TEST(SpectrumPeriods, NamesTheLineOfABadPeriod) {
  struct Case {
    std::string text;
    int line;
  };
  const std::vector<double> grid = DefaultPeriods();
  std::string negative = "head\n" + Rows(grid, ",1");
  negative.replace(negative.find("0.108900"), 8, "-0.10890");
  const Case cases[] = {
      {"head\n" + Rows({0.1, 0.2}, ",1"), 0},  // too few rows
      {"head\n0.1,1\n0.2,1\nx,1\n", 4},
      {negative, 3},
      {"", 0},
      {"only text\n", 0},
  };
  for (const Case& c : cases) {
    auto read = ReadPeriods(c.text, "p.csv");
    ASSERT_TRUE(std::holds_alternative<prepare::InputError>(read)) << c.text;
    const auto& error = std::get<prepare::InputError>(read);
    EXPECT_EQ(error.line, c.line) << prepare::Describe(error);
    EXPECT_EQ(error.file, "p.csv");
  }
}

}  // namespace
}  // namespace lpgm::spectrum
