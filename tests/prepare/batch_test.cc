// Many records in one call and from a manifest, and the record of what was
// done that each conversion leaves beside its case file.
#include "prepare/batch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compute/provenance.h"
#include "compute/sha256.h"
#include "prepare/manifest.h"
#include "prepare/prepare.h"
#include "prepare/prepare_harness.h"

namespace lpgm::prepare {
namespace {

std::string At2(int npts, const std::string& values) {
  return "PEER NGA STRONG MOTION DATABASE RECORD\nQuake, 1/1/2000, Here, 90\n"
         "ACCELERATION TIME SERIES IN UNITS OF G\nNPTS= " +
         std::to_string(npts) + ", DT= .0200 SEC\n" + values + "\n";
}

class BatchTest : public ::testing::Test {
 protected:
  int Run(std::vector<std::string_view> args) { return host_.Run(args); }
  PrepareHarness host_;
};

TEST(CaseFolderForTest, NamesTheFolderAfterTheRecord) {
  EXPECT_EQ(CaseFolderFor("dl/RSN879_LANDERS_LCN260.AT2", "cases", '/'),
            "cases/RSN879_LANDERS_LCN260");
  EXPECT_EQ(CaseFolderFor("C:\\dl\\elcentro.dat", "cases\\", '\\'),
            "cases\\elcentro");
  EXPECT_EQ(CaseFolderFor("a.b.AT2", "c/", '/'), "c/a.b");
  EXPECT_EQ(CaseFolderFor(".hidden", "c", '/'), "c/.hidden");
}

// Every record gets its line in input order whatever thread finished it
// first; a failing record stops none of the others, and the table and the
// exit status name it.
TEST_F(BatchTest, RecordsAreReportedInOrderAndOneFailureStopsNothing) {
  std::vector<std::string> names;
  for (int i = 0; i < 12; ++i) {
    names.push_back("r" + std::to_string(i) + ".AT2");
    host_.files.AddFile(names.back(), At2(2, i == 5 ? "0.1 x" : "0.1 -0.1"));
  }
  std::vector<std::string_view> args(names.begin(), names.end());
  args.insert(args.end(), {"-o", "cases"});
  EXPECT_EQ(Run(args), 2);
  EXPECT_EQ(host_.err, "[6/12] r5.AT2:5: error: not a number: 'x'\n");
  std::size_t at = 0;
  for (int i = 0; i < 12; ++i) {
    if (i == 5) continue;
    std::string line = "[" + std::to_string(i + 1) + "/12] r" +
                       std::to_string(i) + ".AT2: at2, 2 samples";
    std::size_t found = host_.out.find(line, at);
    ASSERT_NE(found, std::string::npos) << line;
    at = found;
    EXPECT_TRUE(host_.Has("cases/r" + std::to_string(i) + "/加速度波形.acc"));
  }
  EXPECT_FALSE(host_.Has("cases/r5/加速度波形.acc"));
  EXPECT_FALSE(host_.Has("cases/r5/prepare-record.txt"));
  EXPECT_NE(host_.out.find("\n 6  r5.AT2   cases/r5           -          -"
                           "         -  FAILED\n"),
            std::string::npos)
      << host_.out;
  EXPECT_TRUE(
      host_.out.ends_with("11 of 12 records converted; failed: r5.AT2\n"));
}

// As records dropped on the program in Explorer arrive: paths alone, each
// converted into a folder beside it named after it.
TEST_F(BatchTest, RecordsWithoutAFolderGoBesideThemselves) {
  host_.files.AddFile("C:\\dl\\a.AT2", At2(1, "0.1"));
  host_.files.AddFile("dl/b.AT2", At2(1, "0.1"));
  host_.files.AddFile("c.AT2", At2(1, "0.1"));
  EXPECT_EQ(Run({"C:\\dl\\a.AT2", "dl/b.AT2", "c.AT2"}), 0) << host_.err;
  EXPECT_TRUE(host_.Has("C:\\dl\\a/加速度波形.acc"));
  EXPECT_TRUE(host_.Has("dl/b/加速度波形.acc"));
  EXPECT_TRUE(host_.Has("c/prepare-record.txt"));
  EXPECT_TRUE(host_.out.ends_with("3 of 3 records converted\n"));
}

TEST_F(BatchTest, TwoRecordsForOneFolderFailTheLater) {
  host_.files.AddFile("a/r.AT2", At2(1, "0.1"));
  host_.files.AddFile("b/r.AT2", At2(1, "0.1"));
  EXPECT_EQ(Run({"a/r.AT2", "b/r.AT2", "-o", "cases"}), 2);
  EXPECT_EQ(host_.err,
            "[2/2] b/r.AT2: error: the case folder cases/r is also that of "
            "a/r.AT2; give each record its own\n");
  EXPECT_TRUE(host_.Has("cases/r/加速度波形.acc"));
}

// The record names the source by its digest and the case file by its
// digest, so a changed case file is found; the fields say what was done.
TEST_F(BatchTest, EachCaseFileHasItsRecordBesideIt) {
  host_.files.AddFile("r.AT2", At2(4, "0.1 -0.1 0 0"));
  EXPECT_EQ(Run({"r.AT2", "-o", "C"}), 0);
  auto parsed = ParseProvenance(host_.File("C/prepare-record.txt"));
  ASSERT_TRUE(std::holds_alternative<Provenance>(parsed));
  const Provenance& p = std::get<Provenance>(parsed);
  std::vector<std::string> keys;
  for (const auto& field : p.fields) keys.push_back(field.key);
  EXPECT_EQ(
      keys,
      (std::vector<std::string>{
          "program",       "written",   "source",         "source size",
          "source sha256", "header",    "header",         "header",
          "format",        "units",     "scale",          "baseline",
          "filter",        "time step", "samples",        "PGA",
          "PGV",           "case file", "case file size", "case file sha256"}));
  EXPECT_EQ(p.Value("source sha256"), Sha256Hex(host_.File("r.AT2")));
  EXPECT_EQ(p.Value("source size"),
            std::to_string(host_.File("r.AT2").size()) + " bytes");
  EXPECT_EQ(p.fields[6].value, "Quake, 1/1/2000, Here, 90");
  EXPECT_EQ(p.Value("units"), "g (x 980.665 to cm/s2)");
  EXPECT_EQ(p.Value("filter"), "no filter (already at 0.02 s)");
  EXPECT_EQ(p.Value("samples"), "4 -> 4");
  EXPECT_EQ(p.Value("PGA"), "98.07 cm/s2 (at 0.02 s)");
  EXPECT_EQ(VerifyCaseFile(p, host_.File("C/加速度波形.acc")).state,
            CaseFileState::kUnchanged);
  EXPECT_EQ(VerifyCaseFile(p, host_.File("C/加速度波形.acc") + " ").state,
            CaseFileState::kChanged);
}

TEST_F(BatchTest, ARecordThatCannotBeWrittenIsAFailure) {
  host_.files.AddFile("r.AT2", At2(1, "0.1"));
  host_.files.Fail(lpgm::testing::FakeFileSystem::Call::kReplaceWhole,
                   "C/prepare-record.txt", platform::OpenError::kPermission);
  EXPECT_EQ(Run({"r.AT2", "-o", "C"}), 2);
  EXPECT_EQ(host_.err,
            "C/prepare-record.txt: error: cannot write (the case file is "
            "written, its record is not): injected\n");
}

TEST_F(BatchTest, ManifestGivesEachRecordItsFolderAndOptions) {
  host_.files.AddFile(
      "dl/list.txt",
      "# records of the site\n"
      "\n"
      "r.AT2  cases/R   --scale 2   # twice as strong\n"
      "\"t 1.txt\" cases/T --format table --dt=0.01 --units G --skip 1\n"
      "/abs/u.AT2 /out/U --baseline mean\n");
  host_.files.AddFile("dl/r.AT2", At2(1, "0.1"));
  host_.files.AddFile("dl/t 1.txt", "header\n1 2\n3 4\n");
  host_.files.AddFile("/abs/u.AT2", At2(2, "0.1 0.3"));
  EXPECT_EQ(Run({"--manifest", "dl/list.txt"}), 0) << host_.err;
  EXPECT_TRUE(host_.File("dl/cases/R/加速度波形.acc")
                  .starts_with("1,0.02\r\n    196.1330\r\n"));
  EXPECT_NE(host_.out.find("[2/3] dl/t 1.txt: table, 4 samples at 0.01 s in "
                           "g; baseline none; Kaiser low-pass"),
            std::string::npos);
  EXPECT_NE(host_.File("dl/cases/T/prepare-record.txt")
                .find("\r\nheader: header\r\n"),
            std::string::npos);
  EXPECT_NE(
      host_.File("/out/U/prepare-record.txt").find("\r\nbaseline: mean\r\n"),
      std::string::npos);
}

TEST(ManifestTest, RefusesLinesNamingManifestAndLine) {
  const std::pair<std::string, std::string> cases[] = {
      {"r.AT2\n",
       "m.txt:1: error: a line needs RECORD and CASE_FOLDER before "
       "its options"},
      {"# x\nr.AT2 --scale 2\n",
       "m.txt:2: error: a line needs RECORD and CASE_FOLDER before its "
       "options"},
      {"r.AT2 C other\n",
       "m.txt:1: error: one RECORD and one CASE_FOLDER to a line: 'other' is "
       "neither an option nor its value"},
      {"\"r.AT2 C\n", "m.txt:1: error: a double quote is not closed"},
      {"r.AT2 C --units g\n",
       "m.txt:1: error: --dt, --units, --skip and --column describe a table: "
       "give --format table"},
      {"r.AT2 C --help\n",
       "m.txt:1: error: --help and --version have no place in a manifest"},
      {"r.AT2 C --manifest x\n",
       "m.txt:1: error: --manifest takes no RECORD, -o or conversion options: "
       "they are given on its lines"},
      {"# nothing\n\n", "m.txt: error: no records in it"},
  };
  for (const auto& [text, message] : cases) {
    auto parsed = ParseManifest(text, "m.txt", false);
    ASSERT_TRUE(std::holds_alternative<InputError>(parsed)) << text;
    EXPECT_EQ(Describe(std::get<InputError>(parsed)), message);
  }
}

TEST(ManifestTest, ForceOnTheCommandLineHoldsForEveryLine) {
  auto parsed = ParseManifest("a.AT2 A\nb.AT2 B --force\n", "m", true);
  ASSERT_TRUE(std::holds_alternative<std::vector<Options>>(parsed));
  for (const Options& job : std::get<std::vector<Options>>(parsed))
    EXPECT_TRUE(job.force);
  EXPECT_EQ(std::get<std::vector<Options>>(parsed)[1].folder, "B");
}

}  // namespace
}  // namespace lpgm::prepare
