// From the downloaded records to lpgm's outputs: the ten real records of the
// shared data become ten case folders with their records from one manifest
// and one call, the definition command writes the definition file for them
// and the six fault folders, and lpgm ranks the cases and picks the phase
// case as it does on the shipped set. Skipped when the data is absent
// (LPGM_REAL_DATA names it when it is not beside the source tree).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "compute/provenance.h"
#include "platform/encoding.h"
#include "support/process_runner.h"
#include "support/real_data.h"

namespace lpgm::prepare {
namespace {

namespace fs = std::filesystem;

fs::path RealData() {
  const char* given = std::getenv("LPGM_REAL_DATA");
  if (given != nullptr && *given != '\0') return given;
  return fs::path(LPGM_SOURCE_DIR) / "../shared/data/real";
}

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// The lines of a CP932 CR LF file, in UTF-8.
std::vector<std::string> Lines(const fs::path& path) {
  std::vector<std::string> lines;
  std::istringstream in(platform::Cp932ToUtf8(Slurp(path)));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

int Shell(const std::string& command) {
  int status = std::system(command.c_str());
  return status == -1 ? -1 : (status >> 8);
}

// Copies the fault folders (read-only in the shared data) writable.
void CopyFaults(const fs::path& from, const fs::path& to) {
  fs::copy(from, to, fs::copy_options::recursive);
  for (const auto& entry : fs::recursive_directory_iterator(to))
    fs::permissions(entry.path(), fs::perms::owner_write,
                    fs::perm_options::add);
  fs::permissions(to, fs::perms::owner_write, fs::perm_options::add);
}

// lpgm's ranks line of 参考･各ケースの最大速度.csv after a run in `folder`.
std::string RanksAfterRun(const fs::path& folder) {
  testing::ProcessOptions options;
  options.directory = folder.string();
  options.input = "definition.csv\n";
  testing::ProcessResult run =
      testing::RunProcess(testing::LpgmBinary(), options);
  EXPECT_EQ(run.exit_status, 0) << run.out << run.err;
  std::vector<std::string> lines =
      Lines(folder / "参考･各ケースの最大速度.csv");
  return lines.size() == 3 ? lines[2] : "";
}

TEST(WorkflowTest, TenRealRecordsToLpgmsRankingInTwoCalls) {
  const fs::path real = RealData();
  const fs::path peer = real / "original/NHERI-SimCenter_EE-UQ";
  if (!fs::exists(peer)) GTEST_SKIP() << real << " is absent";
  testing::TempDir work;
  const fs::path dir = work.path();
  std::string manifest =
      "# the shipped real set\n\"" +
      (real / "original/satish-annigeri_Notebooks/elcentro.dat").string() +
      "\" cases/ELCENTRO1940_NS --format table --dt 0.02 --units g --skip 5\n";
  std::vector<std::string> cases = {"cases/ELCENTRO1940_NS"};
  for (const auto& [original, case_name] : testing::kPeerRecordCases) {
    manifest +=
        "\"" + (peer / original).string() + "\" cases/" + case_name + "\n";
    cases.push_back(std::string("cases/") + case_name);
  }
  work.WriteFile("manifest.txt", manifest);
  const std::string prepare = std::string(LPGM_PREPARE_BINARY);
  ASSERT_EQ(Shell("cd '" + dir.string() + "' && '" + prepare +
                  "' --manifest manifest.txt > batch.out"),
            0)
      << Slurp(dir / "batch.out");
  EXPECT_NE(Slurp(dir / "batch.out").find("10 of 10 records converted\n"),
            std::string::npos);
  for (const std::string& c : cases) {
    auto record = ParseProvenance(Slurp(dir / c / kProvenanceFileName));
    ASSERT_TRUE(std::holds_alternative<Provenance>(record)) << c;
    EXPECT_EQ(VerifyCaseFile(std::get<Provenance>(record),
                             Slurp(dir / c / "加速度波形.acc"))
                  .state,
              CaseFileState::kUnchanged)
        << c;
  }
  CopyFaults(real / "faults", dir / "faults");
  std::string command = "cd '" + dir.string() + "' && '" + prepare +
                        "' --definition definition.csv --faults";
  for (int f = 1; f <= 6; ++f) command += " faults/F" + std::to_string(f);
  command += " --cases";
  for (const std::string& c : cases) command += " " + c;
  ASSERT_EQ(Shell(command + " > definition.out 2>&1"), 0)
      << Slurp(dir / "definition.out");
  // The shipped file but for its title.
  std::vector<std::string> written = Lines(dir / "definition.csv");
  std::vector<std::string> shipped = Lines(real / "definition.csv");
  ASSERT_EQ(written.size(), shipped.size());
  EXPECT_TRUE(
      std::equal(written.begin() + 1, written.end(), shipped.begin() + 1));
  testing::TempDir reference;
  for (const char* part : {"faults", "cases"})
    CopyFaults(real / part, fs::path(reference.path()) / part);
  fs::copy_file(real / "definition.csv",
                fs::path(reference.path()) / "definition.csv");
  const std::string ranks = RanksAfterRun(dir);
  // Case 4 first, case 2 last, case 10 the phase case (rank 5 of 10).
  EXPECT_EQ(ranks, "最大速度順位,  4, 10,  7,  1,  6,  2,  3,  8,  9,  5");
  EXPECT_EQ(ranks, RanksAfterRun(reference.path()));
}

}  // namespace
}  // namespace lpgm::prepare
