// lpgm-check run as a user would on copies of the real strong-motion data:
// nothing to warn about as it is, each mistake planted in a copy reported by
// its id, and peaks, ranks and phase case equal to lpgm's own output.
#include "support/real_data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/encoding.h"
#include "record/number_format.h"
#include "run_check.h"

namespace lpgm::testing::check {
namespace {

// An acceleration record: the header line and the samples.
struct Record {
  std::string header;
  std::vector<double> samples;
};

Record ReadRecordFile(const fs::path& path) {
  std::istringstream in(ReadBytes(path));
  Record r;
  std::getline(in, r.header);
  double v;
  while (in >> v) r.samples.push_back(v);
  return r;
}

void WriteRecordFile(const fs::path& path, int count, const char* step,
                     const std::vector<double>& samples) {
  char line[64];
  std::snprintf(line, sizeof line, "%8d,%8s\r\n", count, step);
  std::string text = line;
  for (std::size_t j = 0; j < samples.size(); ++j) {
    std::snprintf(line, sizeof line, "%14.6f", samples[j]);
    text += line;
    if (j % 8 == 7 || j + 1 == samples.size()) text += "\r\n";
  }
  WriteBytes(path, text);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}

fs::path CaseFile(const TempDir& dir, const char* folder) {
  return fs::path(dir.path()) / "cases" / folder / "加速度波形.acc";
}
fs::path FaultFile(const TempDir& dir, int fault) {
  return fs::path(dir.path()) / "faults" / ("F" + std::to_string(fault)) /
         "Korvel長周期.csv";
}

// The ids that lpgm-check reports on the copy in `dir`, and its status.
std::string CheckIds(const TempDir& dir, int* status) {
  ProcessResult run = RunCheck(dir.path(), "--json definition.csv");
  *status = run.exit_status;
  std::string ids;
  for (const std::string& id : JsonValues(run.out, "id")) ids += id + " ";
  return ids;
}

class RealData : public ::testing::Test {
 protected:
  void SetUp() override {
    if (check::RealData().empty()) GTEST_SKIP() << "no real data";
    CopyInputSet(check::RealData().string(), dir_.path());
  }
  TempDir dir_;
};

TEST_F(RealData, NothingToWarnAboutAsItIs) {
  for (const char* kind :
       {"", "--spectrum sv ", "--spectrum psv --damping 0.02 "}) {
    ProcessResult run =
        RunCheck(dir_.path(), std::string("--json ") + kind + "definition.csv");
    EXPECT_EQ(run.exit_status, 0) << kind << run.out;
    for (const std::string& severity : JsonValues(run.out, "severity"))
      EXPECT_EQ(severity, "\"note\"") << kind << run.out;
  }
}

// Mistakes in one record that its spectrum gives away, each planted in a
// fresh copy: the ids reported, in the kind of spectrum given.
TEST_F(RealData, SpectraTellUnitsScalesAndInterleavedColumns) {
  struct Planted {
    const char* folder;
    double scale;      // every sample times this
    bool interleaved;  // a second series (the record 1 s later x 0.6) between
    const char* ids;   // the ids expected, space-separated, in order
  };
  const Planted planted[] = {
      // Lucerne in m/s2: PGA 5.78, inside the PGA range.
      {"LANDERS1992_LCN260", 0.01, false, "spectrum-level"},
      // A PGA out of range names the units already: one finding.
      {"TABAS1978_FER_L", 0.01, false, "acceleration-range"},
      {"KOCAELI1999_FAT000", 1 / 980.665, false, "acceleration-range"},
      {"CHICHI1999_TAP034N", 100, false, "acceleration-range"},
      {"LANDERS1992_PSA090", 1, true, "interleaved-columns"},
  };
  for (const Planted& p : planted) {
    for (const char* kind : {"psv", "sv"}) {
      TempDir dir;
      CopyInputSet(check::RealData().string(), dir.path());
      fs::path file = CaseFile(dir, p.folder);
      Record r = ReadRecordFile(file);
      std::vector<double> samples;
      for (std::size_t j = 0; j < r.samples.size(); ++j) {
        samples.push_back(r.samples[j] * p.scale);
        if (p.interleaved)
          samples.push_back(0.6 *
                            r.samples[std::min(j + 50, r.samples.size() - 1)]);
      }
      WriteRecordFile(file, static_cast<int>(samples.size()), "0.02", samples);
      ProcessResult run =
          RunCheck(dir.path(), std::string("--json --spectrum ") + kind +
                                   " definition.csv");
      std::string ids;
      for (const std::string& id : JsonValues(run.out, "id"))
        if (id != "\"even-cases\"" && id != "\"near-tie\"")
          ids += (ids.empty() ? "" : " ") + id.substr(1, id.size() - 2);
      EXPECT_EQ(ids, p.ids) << p.folder << " " << kind;
    }
  }
}

TEST_F(RealData, RecordAtHundredthOfASecond) {
  fs::path file = CaseFile(dir_, "ELCENTRO1940_NS");
  Record r = ReadRecordFile(file);
  WriteRecordFile(file, static_cast<int>(r.samples.size()), "0.01", r.samples);
  int status = 0;
  EXPECT_NE(CheckIds(dir_, &status).find("\"header-time-step\""),
            std::string::npos);
  EXPECT_EQ(status, 1);
}

TEST_F(RealData, SamplesInG) {
  fs::path file = CaseFile(dir_, "TABAS1978_FER_L");
  Record r = ReadRecordFile(file);
  for (double& a : r.samples) a /= 980.665;
  WriteRecordFile(file, static_cast<int>(r.samples.size()), "0.02", r.samples);
  int status = 0;
  EXPECT_NE(CheckIds(dir_, &status).find("\"acceleration-range\""),
            std::string::npos);
}

TEST_F(RealData, BaselineOffsetOfOneCentimetre) {
  fs::path file = CaseFile(dir_, "LANDERS1992_PSA090");
  Record r = ReadRecordFile(file);
  for (double& a : r.samples) a += 1.0;
  WriteRecordFile(file, static_cast<int>(r.samples.size()), "0.02", r.samples);
  int status = 0;
  EXPECT_NE(CheckIds(dir_, &status).find("\"velocity-drift\""),
            std::string::npos);
}

TEST_F(RealData, HeaderCountHalfTheRecord) {
  fs::path file = CaseFile(dir_, "KOCAELI1999_FAT000");
  Record r = ReadRecordFile(file);
  WriteRecordFile(file, static_cast<int>(r.samples.size() / 2), "0.02",
                  r.samples);
  int status = 0;
  EXPECT_NE(CheckIds(dir_, &status).find("\"extra-samples\""),
            std::string::npos);
}

// Rewrites the data rows (lines 10 to 64) of fault `fault`'s file.
template <typename Edit>
void EditRows(const TempDir& dir, int fault, Edit edit) {
  std::vector<std::string> lines = SplitLines(ReadBytes(FaultFile(dir, fault)));
  std::vector<std::string> rows(lines.begin() + 9, lines.begin() + 64);
  edit(rows);
  std::copy(rows.begin(), rows.end(), lines.begin() + 9);
  WriteBytes(FaultFile(dir, fault), JoinLines(lines));
}

TEST_F(RealData, FaultOnAnotherPeriodGrid) {
  EditRows(dir_, 2, [](std::vector<std::string>& rows) {
    for (std::string& row : rows) {
      std::size_t comma = row.find(',');
      char period[32];
      std::snprintf(period, sizeof period, "%.4f",
                    std::stod(row.substr(0, comma)) * 1.05);
      row = period + row.substr(comma);
    }
  });
  int status = 0;
  EXPECT_NE(CheckIds(dir_, &status).find("\"period-grid\""), std::string::npos);
}

TEST_F(RealData, PeriodsDescending) {
  for (int fault = 1; fault <= 6; ++fault)
    EditRows(dir_, fault, [](std::vector<std::string>& rows) {
      std::reverse(rows.begin(), rows.end());
    });
  int status = 0;
  EXPECT_NE(CheckIds(dir_, &status).find("\"period-order\""),
            std::string::npos);
}

TEST_F(RealData, BlankCellInColumn28) {
  EditRows(dir_, 3, [](std::vector<std::string>& rows) {
    rows[19] = rows[19].substr(0, rows[19].rfind(',') + 1);
  });
  int status = 0;
  EXPECT_NE(CheckIds(dir_, &status).find("\"spectrum-short-row\""),
            std::string::npos);
}

TEST_F(RealData, SameFolderTwice) {
  fs::path def = fs::path(dir_.path()) / "definition.csv";
  std::string text = ReadBytes(def);
  std::size_t at = text.find("TABAS1978_FER_L");
  ASSERT_NE(at, std::string::npos);
  text.replace(at, 15, "ELCENTRO1940_NS");
  WriteBytes(def, text);
  int status = 0;
  EXPECT_NE(CheckIds(dir_, &status).find("\"same-folder\""), std::string::npos);
}

// Peaks, ranks and phase case of lpgm-check against lpgm's peak file.
void ExpectLpgmsPeaks(const TempDir& dir) {
  ProcessResult check = RunCheck(dir.path(), "--json definition.csv");
  ASSERT_LE(check.exit_status, 1) << check.out;
  ASSERT_EQ(RunLpgm(dir.path()).exit_status, 0);
  std::string peaks = platform::Cp932ToUtf8(
      ReadBytes(fs::path(dir.path()) / "参考･各ケースの最大速度.csv"));
  std::vector<std::string> lines = SplitLines(peaks);
  ASSERT_EQ(lines.size(), 3u);
  std::vector<std::string> pgv = JsonValues(check.out, "pgv");
  std::vector<std::string> rank = JsonValues(check.out, "rank");
  std::string expected_pgv, expected_rank, actual_pgv, actual_rank;
  int phase = 0;
  for (std::size_t i = 0; i < pgv.size(); ++i) {
    char field[14];
    FormatFixed(field, 14, 6, std::strtod(pgv[i].c_str(), nullptr));
    actual_pgv += "," + std::string(field, 14);
    char r[8];
    std::snprintf(r, sizeof r, ",%3d", std::atoi(rank[i].c_str()));
    actual_rank += r;
    if (std::atoi(rank[i].c_str()) == (static_cast<int>(pgv.size()) + 1) / 2)
      phase = static_cast<int>(i) + 1;
  }
  EXPECT_EQ(lines[1].substr(lines[1].find(',')), actual_pgv);
  EXPECT_EQ(lines[2].substr(lines[2].find(',')), actual_rank);
  EXPECT_EQ(JsonValues(check.out, "phase_case").at(0), std::to_string(phase));
}

TEST_F(RealData, PeaksRanksAndPhaseCaseAreLpgms) { ExpectLpgmsPeaks(dir_); }

// Every case made anew by lpgm-prepare from its original record: lpgm-check
// finds nothing to warn about in the case files it writes.
TEST_F(RealData, CasesPreparedFromTheOriginalsNeedNoWarning) {
  const fs::path original = fs::path(check::RealData()) / "original";
  const fs::path peer = original / "NHERI-SimCenter_EE-UQ";
  std::string script;
  for (const auto& [file, folder] : testing::kPeerRecordCases)
    script += std::string("'") + LPGM_PREPARE_BINARY + "' --force '" +
              (peer / file).string() + "' -o cases/" + folder + " || exit 9\n";
  script += std::string("'") + LPGM_PREPARE_BINARY +
            "' --force --format table --dt 0.02 --units g '" +
            (original / "satish-annigeri_Notebooks" / "elcentro.dat").string() +
            "' -o cases/ELCENTRO1940_NS || exit 9\n";
  ProcessOptions options;
  options.directory = dir_.path();
  options.input = script;
  options.env = {"LC_ALL=C.UTF-8"};
  ProcessResult prepared = RunProcess("/bin/sh", options);
  ASSERT_EQ(prepared.exit_status, 0) << prepared.out << prepared.err;
  // Each case's record from lpgm-prepare reads and matches its case file.
  ProcessResult run;

  for (const char* kind : {"psv", "sv"}) {
    run = RunCheck(dir_.path(), std::string("--json --spectrum ") + kind +
                                    " definition.csv");
    EXPECT_EQ(run.exit_status, 0) << kind << run.out;
    EXPECT_EQ(run.out.find("provenance-unreadable"), std::string::npos);
    for (const std::string& severity : JsonValues(run.out, "severity"))
      EXPECT_EQ(severity, "\"note\"") << kind << run.out;
  }

  // A case file changed by hand afterwards: a warning naming the source.
  const fs::path acc =
      fs::path(dir_.path()) / "cases" / "ELCENTRO1940_NS" / "加速度波形.acc";
  std::string bytes = ReadBytes(acc);
  bytes.replace(bytes.find('\n') + 1, 1, "9");
  WriteBytes(acc, bytes);
  run = RunCheck(dir_.path(), "definition.csv");
  EXPECT_EQ(run.exit_status, 1) << run.out;
  EXPECT_NE(run.out.find("case-changed            case 1, cases\\ELCENTRO1940_"
                         "NS\\加速度波形.acc: the case file was changed after "
                         "lpgm-prepare wrote it from "),
            std::string::npos)
      << run.out;
}

TEST(ExampleRun, PeaksRanksAndPhaseCaseAreLpgms) {
  TempDir dir;
  CopyInputSet(ExampleFolder(), dir.path());
  ExpectLpgmsPeaks(dir);
}

}  // namespace
}  // namespace lpgm::testing::check
