// Whole runs over small input sets: the shape of the six files for the
// extremes of fault and case counts, case lengths, ties, empty records and
// values too large for their fields, and runs over existing output files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "e2e/input_set.h"
#include "record/number_format.h"

namespace lpgm::testing::e2e {
namespace {

std::string F(double v, int width, int decimals) {
  std::string field(static_cast<std::size_t>(width), '?');
  FormatFixed(field.data(), width, decimals, v);
  return field;
}
// The time of sample i (from 1).
std::string Time(int i) { return F(static_cast<double>(i - 1) * 0.02, 12, 4); }
std::string Period(int r) { return Printf("%12.4f", r * 0.1); }

// "first      ,No. 1 ... ,No.nn" and the unit padded to 10 positions.
std::string Header(const char* first, int columns, const char* unit) {
  std::string text = Cp(first);
  for (int j = 1; j <= columns; ++j)
    text += "      ,No." + Printf("%2.0f", static_cast<double>(j));
  if (unit != nullptr)
    text += std::string(10 - std::string(unit).size(), ' ') + unit;
  return text;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// File 1 for faults whose Sv at row r is sv(fault, r).
std::string TargetFile(int faults, double (*sv)(int, int)) {
  std::vector<std::string> lines = {Cp("周期(s),速度Sv(cm/s)")};
  for (int r = 1; r <= 55; ++r) {
    double sum = 0.0;
    for (int i = 1; i <= faults; ++i) sum = sv(i, r) * sv(i, r) + sum;
    lines.push_back(Period(r) + Printf(",%14.6f", std::sqrt(sum) / 1.1));
  }
  return Join(lines);
}
double DefaultSv(int fault, int row) { return 10.0 * fault + row; }

TEST(RunShapesTest, OneFaultOneCaseWritesEverySmallFileExactly) {
  InputSet set(1, 1);
  set.Case(1, {100.0, 0.0, 0.0});
  ProcessResult result = set.Run();
  ASSERT_EQ(result.exit_status, 0) << result.err;

  EXPECT_TRUE(SameBytes(set.Output(1), TargetFile(1, DefaultSv)));
  EXPECT_TRUE(SameBytes(
      set.Output(2),
      Join({Cp("時刻(s),加速度(cm/s2)"), "      0.0000,    100.000000",
            "      0.0200,      0.000000", "      0.0400,      0.000000"})));
  std::vector<std::string> spectra = set.OutputLines(3);
  ASSERT_EQ(spectra.size(), 56u);
  EXPECT_EQ(spectra[0], Cp("周期(s)") + "      ,No. 1   ,(cm/s)");
  EXPECT_EQ(spectra[0].size(), 29u);
  EXPECT_EQ(spectra[1], "      0.1000,     11.000000");
  EXPECT_EQ(spectra[55], "      5.5000,     65.000000");
  EXPECT_TRUE(SameBytes(
      set.Output(4),
      Join({Cp("時刻(s)") + "      ,No. 1  ,(cm/s2)",
            "      0.0000,    100.000000", "      0.0200,      0.000000",
            "      0.0400,      0.000000"})));
  EXPECT_TRUE(SameBytes(
      set.Output(5),
      Join({Cp("時刻(s)") + "      ,No. 1   ,(cm/s)",
            "      0.0000,      1.000000", "      0.0200,      2.000000",
            "      0.0400,      2.000000"})));
  EXPECT_TRUE(
      SameBytes(set.Output(6), Join({Cp("ケース番号") + "      ,No. 1",
                                     Cp("最大速度(cm/s)") + ",      2.000000",
                                     Cp("最大速度順位") + ",  1"})));
}

TEST(RunShapesTest, SixFaultsAndTwentyOneCasesFillEveryColumn) {
  InputSet set(6, 21);
  // Peaks (8j mod 21) + 1: a permutation of 1..21; rank 11 is case 17.
  auto peak = [](int j) { return static_cast<double>((8 * j) % 21 + 1); };
  for (int j = 1; j <= 21; ++j) set.Case(j, {100.0 * peak(j)});
  ProcessResult result = set.Run();
  ASSERT_EQ(result.exit_status, 0) << result.err;

  EXPECT_TRUE(SameBytes(set.Output(1), TargetFile(6, DefaultSv)));
  EXPECT_EQ(set.OutputLines(2),
            (std::vector<std::string>{Cp("時刻(s),加速度(cm/s2)"),
                                      "      0.0000,   1100.000000"}));

  std::vector<std::string> spectra = set.OutputLines(3);
  ASSERT_EQ(spectra.size(), 56u);
  EXPECT_EQ(spectra[0], Header("周期(s)", 6, ",(cm/s)"));
  EXPECT_EQ(spectra[0].size(), 7u + 72 + 10);
  EXPECT_EQ(spectra[2],
            "      0.2000,     12.000000,     22.000000,     32.000000,"
            "     42.000000,     52.000000,     62.000000");

  std::string acc_row = "      0.0000", vel_row = acc_row, peaks, ranks;
  for (int j = 1; j <= 21; ++j) {
    acc_row += Printf(",%14.6f", 100.0 * peak(j));
    vel_row += Printf(",%14.6f", peak(j));
    peaks += Printf(",%14.6f", peak(j));
    ranks += Printf(",%3.0f", 22.0 - peak(j));
  }
  EXPECT_EQ(acc_row.size(), 327u);
  const std::string acc_header = Header("時刻(s)", 21, ",(cm/s2)");
  EXPECT_NE(acc_header.find("      ,No. 9      ,No.10      ,No.11"),
            std::string::npos);
  EXPECT_EQ(acc_header.size(), 7u + 252 + 10);
  EXPECT_EQ(set.OutputLines(4),
            (std::vector<std::string>{acc_header, acc_row}));
  EXPECT_EQ(
      set.OutputLines(5),
      (std::vector<std::string>{Header("時刻(s)", 21, ",(cm/s)"), vel_row}));
  std::vector<std::string> peak_file = set.OutputLines(6);
  ASSERT_EQ(peak_file.size(), 3u);
  EXPECT_EQ(peak_file[0], Header("ケース番号", 21, nullptr));
  EXPECT_EQ(peak_file[1], Cp("最大速度(cm/s)") + peaks);
  EXPECT_EQ(peak_file[2], Cp("最大速度順位") + ranks);
  EXPECT_EQ(peak_file[2].size(), 96u);
}

TEST(RunShapesTest, ShorterCaseShowsZerosAfterItsLastSample) {
  InputSet set(1, 2);
  set.Case(1, std::vector<double>(3000, 1.0));
  set.Case(2, std::vector<double>(4000, 1.0));
  ProcessResult result = set.Run();
  ASSERT_EQ(result.exit_status, 0) << result.err;

  std::vector<std::string> acc = set.OutputLines(4), vel = set.OutputLines(5);
  ASSERT_EQ(acc.size(), 4001u);
  ASSERT_EQ(vel.size(), 4001u);
  // Line n + 1 holds sample n.
  EXPECT_EQ(acc[3000], "     59.9800,      1.000000,      1.000000");
  EXPECT_EQ(acc[3001], "     60.0000,      0.000000,      1.000000");
  EXPECT_EQ(acc[4000], "     79.9800,      0.000000,      1.000000");
  EXPECT_EQ(vel[3000], "     59.9800,     59.990000,     59.990000");
  EXPECT_EQ(vel[3001], "     60.0000,      0.000000,     60.010000");
  EXPECT_EQ(vel[4000], "     79.9800,      0.000000,     79.990000");
  // Case 2 ranks first and is the phase case of two.
  EXPECT_EQ(set.OutputLines(6)[2], Cp("最大速度順位") + ",  2,  1");
  EXPECT_EQ(set.OutputLines(2).size(), 4001u);
}

TEST(RunShapesTest, EqualPeaksGetConsecutiveRanksInCaseOrder) {
  InputSet set(1, 3);
  set.Case(1, {500.0});
  set.Case(2, {700.0});
  set.Case(3, {-500.0});
  ProcessResult result = set.Run();
  ASSERT_EQ(result.exit_status, 0) << result.err;
  std::vector<std::string> peaks = set.OutputLines(6);
  ASSERT_EQ(peaks.size(), 3u);
  EXPECT_EQ(peaks[1], Cp("最大速度(cm/s)") +
                          ",      5.000000,      7.000000,      5.000000");
  EXPECT_EQ(peaks[2], Cp("最大速度順位") + ",  2,  1,  3");
  // Rank 2 is case 1, not case 3.
  EXPECT_EQ(set.OutputLines(2)[1], "      0.0000,    500.000000");
}

TEST(RunShapesTest, CasesWithoutSamplesLeaveTheWaveformFilesHeaderOnly) {
  InputSet set(1, 3);
  set.Case(1, 0, "\r\n");
  set.Case(2, -5, "\r\n");
  set.Case(3, 0, "\r\n");
  ProcessResult result = set.Run();
  ASSERT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(set.OutputLines(1).size(), 56u);
  EXPECT_EQ(set.Output(2), Cp("時刻(s),加速度(cm/s2)") + "\r\n");
  EXPECT_EQ(set.OutputLines(3).size(), 56u);
  EXPECT_EQ(set.Output(4), Header("時刻(s)", 3, ",(cm/s2)") + "\r\n");
  EXPECT_EQ(set.Output(5), Header("時刻(s)", 3, ",(cm/s)") + "\r\n");
  EXPECT_EQ(set.OutputLines(6),
            (std::vector<std::string>{
                Header("ケース番号", 3, nullptr),
                Cp("最大速度(cm/s)") +
                    ",      0.000000,      0.000000,      0.000000",
                Cp("最大速度順位") + ",  1,  2,  3"}));
}

TEST(RunShapesTest, PhaseCaseWithoutSamplesGivesHeaderOnlyPhaseFile) {
  InputSet set(1, 2);
  set.Case(1, -5, "\r\n");
  set.Case(2, {0.0, 0.0, 0.0});
  ProcessResult result = set.Run();
  ASSERT_EQ(result.exit_status, 0) << result.err;
  // Both peaks are 0.0: case 1 takes rank 1, the phase rank of two cases.
  EXPECT_EQ(set.OutputLines(6)[2], Cp("最大速度順位") + ",  1,  2");
  EXPECT_EQ(set.Output(2), Cp("時刻(s),加速度(cm/s2)") + "\r\n");
  std::vector<std::string> acc = set.OutputLines(4);
  ASSERT_EQ(acc.size(), 4u);
  EXPECT_EQ(acc[3], "      0.0400,      0.000000,      0.000000");
}

TEST(RunShapesTest, OverflowWritesInfinityNanOrAsterisks) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(F(inf, 14, 6), "      Infinity");
  EXPECT_EQ(F(-inf, 14, 6), "     -Infinity");
  EXPECT_EQ(F(-inf + inf, 14, 6), "           NaN");
  EXPECT_EQ(F(1e308, 14, 6), "**************");

  InputSet set(1, 1);
  const char* sv[] = {"1e200", "-1e200", "1e7", "-1.5e6", "9999999.9999994"};
  set.Fault(1, [&](int r) { return std::string(r <= 5 ? sv[r - 1] : "1"); });
  set.Case(1, 5, "1e308 1e308 1e309 -1e309 0\r\n");
  ProcessResult result = set.Run();
  ASSERT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.err, "");

  const std::vector<double> svf = {1e200, -1e200, 1e7, -1.5e6, 9999999.9999994};
  std::vector<std::string> target = set.OutputLines(1),
                           spectra = set.OutputLines(3);
  ASSERT_EQ(target.size(), 56u);
  ASSERT_EQ(spectra.size(), 56u);
  for (int r = 1; r <= 5; ++r) {
    const double v = svf[static_cast<std::size_t>(r - 1)];
    EXPECT_EQ(target[static_cast<std::size_t>(r)],
              Period(r) + "," + F(std::sqrt(v * v) / 1.1, 14, 6));
    EXPECT_EQ(spectra[static_cast<std::size_t>(r)],
              Period(r) + "," + F(v, 14, 6));
  }
  EXPECT_EQ(target[1], "      0.1000,      Infinity");
  EXPECT_EQ(spectra[1], "      0.1000,**************");
  EXPECT_EQ(spectra[3], "      0.3000,**************");
  EXPECT_EQ(spectra[4], "      0.4000,**************");
  EXPECT_EQ(spectra[5], "      0.5000,9999999.999999");

  const std::vector<double> acc = {1e308, 1e308, inf, -inf, 0.0};
  std::vector<double> vel;
  double vmax = 0.0;
  for (std::size_t j = 0; j < acc.size(); ++j) {
    vel.push_back(j == 0 ? 0.01 * acc[0]
                         : (acc[j] + acc[j - 1]) * 0.01 + vel[j - 1]);
    if (std::fabs(vel[j]) >= vmax) vmax = std::fabs(vel[j]);
  }
  std::vector<std::string> acc_lines = set.OutputLines(4),
                           vel_lines = set.OutputLines(5);
  std::vector<std::string> phase = set.OutputLines(2);
  ASSERT_EQ(acc_lines.size(), 6u);
  ASSERT_EQ(vel_lines.size(), 6u);
  ASSERT_EQ(phase.size(), 6u);
  for (std::size_t j = 0; j < acc.size(); ++j) {
    const std::string time = Time(static_cast<int>(j) + 1);
    EXPECT_EQ(acc_lines[j + 1], time + "," + F(acc[j], 14, 6));
    EXPECT_EQ(phase[j + 1], time + "," + F(acc[j], 14, 6));
    EXPECT_EQ(vel_lines[j + 1], time + "," + F(vel[j], 14, 6));
  }
  EXPECT_EQ(acc_lines[3], "      0.0400,      Infinity");
  EXPECT_EQ(vel_lines[1], "      0.0000,**************");
  EXPECT_EQ(vel_lines[4], "      0.0600,           NaN");
  EXPECT_EQ(set.OutputLines(6)[1], Cp("最大速度(cm/s)") + "," + F(vmax, 14, 6));
  EXPECT_EQ(set.OutputLines(6)[1], Cp("最大速度(cm/s)") + ",      Infinity");
}

ino_t Inode(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
  return status.st_ino;
}

TEST(RunShapesTest, SecondRunReusesLongerFilesInPlaceWithOnlyItsContent) {
  InputSet set(1, 1);
  ino_t inodes[6];
  for (int k = 1; k <= 6; ++k) {
    set.dir().WriteFile(kOutputNames[k - 1], std::string(300000, 'x') + "\r\n");
    inodes[k - 1] = Inode(set.path() + "/" + kOutputNames[k - 1]);
  }
  set.Case(1, std::vector<double>(4000, 2.5));
  ASSERT_EQ(set.Run().exit_status, 0);
  EXPECT_EQ(set.OutputLines(4).size(), 4001u);
  set.Case(1, {1.0, -2.0, 3.0});
  ASSERT_EQ(set.Run().exit_status, 0);

  InputSet fresh(1, 1);
  fresh.Case(1, {1.0, -2.0, 3.0});
  ASSERT_EQ(fresh.Run().exit_status, 0);
  for (int k = 1; k <= 6; ++k) {
    SCOPED_TRACE(kOutputNames[k - 1]);
    EXPECT_EQ(Inode(set.path() + "/" + kOutputNames[k - 1]), inodes[k - 1]);
    EXPECT_TRUE(SameBytes(set.Output(k), fresh.Output(k)));
  }
}

TEST(RunShapesTest, ErrorStopLeavesEarlierOutputFilesUntouched) {
  InputSet set(2, 2);
  set.Case(1, {1.0});
  set.Case(2, {2.0});
  ASSERT_EQ(set.Run().exit_status, 0);
  std::vector<std::string> before;
  for (int k = 1; k <= 6; ++k) before.push_back(set.Output(k));
  std::filesystem::remove_all(set.path() + "/cases/C2");
  ProcessResult result = set.Run("definition.csv\n\n");
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(result.out,
            kPrompt + Cp("cases\\C2\\加速度波形.acc not exist ! [Enter]"));
  for (int k = 1; k <= 6; ++k)
    EXPECT_EQ(set.Output(k), before[static_cast<std::size_t>(k - 1)]);
}

}  // namespace
}  // namespace lpgm::testing::e2e
