// The real records of the shared data: each original converts to a case
// file that agrees with the reference case files. Skipped when the data is
// absent.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "prepare/acc_writer.h"
#include "prepare/convert.h"
#include "prepare/formats.h"
#include "support/file_bytes.h"
#include "support/real_data.h"

namespace lpgm::prepare {
namespace {

using ::lpgm::testing::ReadFileBytes;

// LPGM_REAL_DATA names the data when it is not beside the source tree.
const std::string kReal =
    std::getenv("LPGM_REAL_DATA") != nullptr
        ? std::getenv("LPGM_REAL_DATA")
        : std::string(LPGM_SOURCE_DIR) + "/../shared/data/real";
const std::string kPeer = kReal + "/original/NHERI-SimCenter_EE-UQ/";

struct Converted {
  SourceRecord record;
  Conversion conversion;
  AccFile file;
  Peaks peaks;
};

Converted ConvertText(const ReadOutcome& read,
                      Baseline baseline = Baseline::kNone) {
  Converted c;
  if (auto* error = std::get_if<InputError>(&read)) {
    ADD_FAILURE() << Describe(*error);
    return c;
  }
  c.record = std::get<SourceRecord>(read);
  auto converted = Convert(c.record, ConvertOptions{1.0, baseline}, "record");
  if (auto* error = std::get_if<InputError>(&converted)) {
    ADD_FAILURE() << Describe(*error);
    return c;
  }
  c.conversion = std::get<Conversion>(converted);
  c.file = FormatAccFile(c.conversion.samples);
  c.peaks = MeasurePeaks(c.file.written);
  return c;
}

// The reference case file's samples, in cm/s2 at 0.02 s.
std::vector<double> ReferenceSamples(const std::string& case_name) {
  std::string text =
      ReadFileBytes(kReal + "/cases/" + case_name + "/加速度波形.acc");
  TableLayout layout{0.02, Units::kCentimetresPerSecond2, 1, 0};
  ReadOutcome read = ReadTable(text, case_name, layout);
  auto* record = std::get_if<SourceRecord>(&read);
  if (record == nullptr) return {};
  return record->values;
}

class RealRecordsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kPeer)) GTEST_SKIP() << kReal << " is absent";
  }
};

void ExpectAgreesWithCase(const Converted& c, const std::string& case_name) {
  std::vector<double> reference = ReferenceSamples(case_name);
  ASSERT_FALSE(reference.empty()) << case_name;
  EXPECT_EQ(c.file.written.size(), reference.size()) << case_name;
  Peaks expected = MeasurePeaks(reference);
  EXPECT_NEAR(c.peaks.pgv / expected.pgv, 1.0, 0.01) << case_name;
  EXPECT_NEAR(c.peaks.pga / expected.pga, 1.0, 0.05) << case_name;
  EXPECT_TRUE(Warnings(c.peaks, c.record.dt).empty()) << case_name;
}

TEST_F(RealRecordsTest, PeerRecordsAgreeWithTheirCases) {
  for (const auto& [original, case_name] : testing::kPeerRecordCases) {
    std::string path = kPeer + original;
    EXPECT_EQ(DetectFormat(ReadFileBytes(path)), Format::kAt2) << original;
    ExpectAgreesWithCase(ConvertText(ReadAt2(ReadFileBytes(path), path)),
                         case_name);
  }
}

TEST_F(RealRecordsTest, ElCentroTableInGIsItsCaseExactly) {
  std::string path = kReal + "/original/satish-annigeri_Notebooks/elcentro.dat";
  TableLayout layout{0.02, Units::kG, 5, 0};
  Converted c = ConvertText(ReadTable(ReadFileBytes(path), path, layout));
  ExpectAgreesWithCase(c, "ELCENTRO1940_NS");
  // At 0.02 s nothing but the units changes: every sample as the case has it.
  EXPECT_EQ(c.file.written, ReferenceSamples("ELCENTRO1940_NS"));
}

// A K-NET file written from a PEER record (integer counts, a scale factor)
// converts to the same record as the PEER file with its mean removed.
TEST_F(RealRecordsTest, KnetFileOfARecordConvertsToTheSameRecord) {
  const std::string path = kPeer + "RSN879_LANDERS_LCN260.AT2";
  const ReadOutcome at2 = ReadAt2(ReadFileBytes(path), path);
  const SourceRecord& peer = std::get<SourceRecord>(at2);
  const double numerator = 3920.0;
  const double denominator = 6182761.0;
  std::string knet =
      "Origin Time       1992/06/28 04:57:00\nLat.              34.200\n"
      "Long.             -116.437\nDepth. (km)       7\nMag.              7.3\n"
      "Station Code      LCN\nStation Lat.      34.56\n"
      "Station Long.     -116.61\nStation Height(m) 900\n"
      "Record Time       1992/06/28 04:57:00\nSampling Freq(Hz) 200Hz\n"
      "Duration Time(s)  48.125\nDir.              E-W\n"
      "Scale Factor      3920(gal)/6182761\nMax. Acc. (gal)   711.0\n"
      "Last Correction   1992/06/28 04:57:00\nMemo.\n";
  for (std::size_t j = 0; j < peer.values.size(); ++j) {
    double gal = peer.values[j] * 980.665;
    knet += std::to_string(std::llround(gal * denominator / numerator));
    knet += (j % 8 == 7 || j + 1 == peer.values.size()) ? "\n" : " ";
  }
  ASSERT_EQ(DetectFormat(knet), Format::kKnet);
  Converted from_knet = ConvertText(ReadKnet(knet, "lcn.EW"));
  Converted from_peer = ConvertText(at2, Baseline::kMean);
  ASSERT_EQ(from_knet.file.written.size(), from_peer.file.written.size());
  // One count is 0.00063 gal; the filter and the 4 decimals add less.
  for (std::size_t k = 0; k < from_knet.file.written.size(); ++k)
    ASSERT_NEAR(from_knet.file.written[k], from_peer.file.written[k], 2e-3)
        << k;
  EXPECT_NEAR(from_knet.peaks.pgv / from_peer.peaks.pgv, 1.0, 1e-4);
}

// The program itself, on the file system: the case file it writes is the
// one the library makes, under its CP932 name's UTF-8 form.
TEST_F(RealRecordsTest, ProgramWritesTheCaseFile) {
  const std::string path = kPeer + "RSN879_LANDERS_LCN260.AT2";
  auto folder = std::filesystem::temp_directory_path() /
                ("lpgm_prepare_test_" + std::to_string(getpid()));
  std::filesystem::remove_all(folder);
  std::string command = std::string(LPGM_PREPARE_BINARY) + " '" + path +
                        "' -o '" + (folder / "LCN").string() + "' > '" +
                        (folder.string() + ".out") + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  std::string written =
      ReadFileBytes((folder / "LCN" / "加速度波形.acc").string());
  EXPECT_EQ(written,
            ConvertText(ReadAt2(ReadFileBytes(path), path)).file.bytes);
  std::string line = ReadFileBytes(folder.string() + ".out");
  EXPECT_NE(line.find("decimated by 4; 2407 samples at 0.02 s; PGA "),
            std::string::npos)
      << line;
  EXPECT_EQ(std::system(command.c_str()) >> 8, 2);  // exists, no --force
  std::filesystem::remove_all(folder);
  std::filesystem::remove(folder.string() + ".out");
}

}  // namespace
}  // namespace lpgm::prepare
