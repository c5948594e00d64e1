// The definition file written from folder lists: byte for byte as the golden
// file, read back by lpgm's own reader, and refused where lpgm could not
// hold it.
#include "prepare/definition_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "input/definition_file.h"
#include "platform/encoding.h"
#include "prepare/prepare.h"
#include "prepare/prepare_harness.h"
#include "record/trimmed_length.h"
#include "state/run_state.h"
#include "support/fake_file_system.h"
#include "support/outcome.h"

namespace lpgm::prepare {
namespace {

const DefinitionContent kContent = {
    "長周期地震動 震源断層/ケースフォルダ定義 (試し)",
    {"faults/F1", "D:\\断層\\F2"},
    {"cases/ELCENTRO1940_NS", "cases/波形 2", "cases/C3"}};

std::string Golden(const std::string& name) {
  std::ifstream in(
      std::string(LPGM_SOURCE_DIR) + "/tests/prepare/golden/" + name,
      std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

TEST(DefinitionWriterTest, WritesTheGoldenFile) {
  DefinitionOutcome file = FormatDefinition(kContent);
  ASSERT_EQ(file.error, "");
  const std::string golden = Golden("definition.csv");
  ASSERT_FALSE(golden.empty());
  EXPECT_EQ(file.bytes, golden);
}

// lpgm's reader takes the file as written: the counts, and every folder in
// its slot with '/' turned into '\'.
TEST(DefinitionWriterTest, LpgmReadsWhatItWrites) {
  auto state = std::make_unique<RunState>();
  InitializeRunState(*state);
  FillBlanks(state->DEFFILE);
  std::copy_n("def.csv", 7, state->DEFFILE.begin());
  state->LDEFFILE = LCHR40(state->DEFFILE);
  testing::FakeFileSystem files;
  files.AddFile("def.csv", FormatDefinition(kContent).bytes);
  EXPECT_EQ(testing::Outcome([&] { ReadDefinitionFile(*state, files); }),
            "returned");
  EXPECT_EQ(state->NFAULT, 2);
  EXPECT_EQ(state->NCASE, 3);
  auto text = [](const Text400& field, int used) {
    return platform::Cp932ToUtf8(std::string(Leading(field, used)));
  };
  EXPECT_EQ(text(state->FLTDIR(2), state->LFLTDIR(2)), "D:\\断層\\F2");
  EXPECT_EQ(text(state->CASEDIR(1), state->LCASEDIR(1)),
            "cases\\ELCENTRO1940_NS");
  EXPECT_EQ(text(state->CASEDIR(2), state->LCASEDIR(2)), "cases\\波形 2");
}

TEST(DefinitionWriterTest, RefusesWhatLpgmCannotHold) {
  auto with = [](std::size_t faults, std::size_t cases) {
    DefinitionContent c{"t", std::vector<std::string>(faults, "f"),
                        std::vector<std::string>(cases, "c")};
    return c;
  };
  DefinitionContent tilde = with(1, 1);
  tilde.cases[0] = "cases/\xF0\x9F\x98\x80";  // an emoji has no CP932 form
  DefinitionContent long_name = with(1, 1);
  long_name.faults[0] = std::string(390, 'x') + "断層断層断";  // 400 bytes
  DefinitionContent too_long = with(1, 1);
  too_long.faults[0] = std::string(391, 'x') + "断層断層断";  // 391 + 10
  DefinitionContent title = with(1, 1);
  title.title = "two\nlines";
  DefinitionContent blank = with(1, 2);
  blank.cases[1] = "cases/C2 ";
  DefinitionContent empty = with(1, 1);
  empty.faults[0] = "";
  const std::pair<DefinitionContent, std::string> cases[] = {
      {with(7, 1), "7 fault folders; lpgm takes 1 to 6"},
      {with(0, 1), "0 fault folders; lpgm takes 1 to 6"},
      {with(6, 22), "22 case folders; lpgm takes 1 to 21"},
      {with(1, 0), "0 case folders; lpgm takes 1 to 21"},
      {tilde,
       "case folder 1 'cases/\xF0\x9F\x98\x80' holds a character that "
       "Shift-JIS (CP932) cannot write"},
      {too_long, "fault folder 1 '" + too_long.faults[0] +
                     "' is 401 bytes in Shift-JIS; lpgm holds 400"},
      {title, "the title holds a line end"},
      {blank,
       "case folder 2 'cases/C2 ' ends in a blank, which lpgm does not "
       "keep"},
      {empty, "fault folder 1 is empty"},
  };
  for (const auto& [content, message] : cases)
    EXPECT_EQ(FormatDefinition(content).error, message);
  EXPECT_EQ(FormatDefinition(with(6, 21)).error, "");
  EXPECT_EQ(FormatDefinition(long_name).error, "");
}

// The command checks that each folder holds the file lpgm reads from it and
// writes the file whole.
TEST(DefinitionCommandTest, WritesOnlyForFoldersThatHoldTheirFiles) {
  PrepareHarness host;
  std::vector<std::string_view> args = {
      "--definition", "d.csv", "--faults", "f", "--cases", "c1", "c2"};
  EXPECT_EQ(host.Run(args), 2);
  EXPECT_EQ(host.err, "f: error: no Korvel長周期.csv in this fault folder\n");
  host.files.AddFile("f/Korvel長周期.csv", "");
  host.files.AddFile("c1/加速度波形.acc", "");
  host.err.clear();
  EXPECT_EQ(host.Run(args), 2);
  EXPECT_EQ(host.err, "c2: error: no 加速度波形.acc in this case folder\n");
  host.files.AddFile("c2/加速度波形.acc", "");
  host.err.clear();
  EXPECT_EQ(host.Run(args), 0) << host.err;
  EXPECT_EQ(host.out, "d.csv: 1 fault, 2 cases (Shift-JIS, CR LF)\n");
  EXPECT_TRUE(host.File("d.csv").ends_with(
      "\r\n1,f\r\n" + platform::Utf8ToCp932("ケース番号,ケースフォルダ") +
      "\r\n1,c1\r\n2,c2\r\n"));
  EXPECT_EQ(host.Run(args), 2);
  EXPECT_EQ(host.err, "d.csv: error: exists already; --force replaces it\n");
  host.err.clear();
  EXPECT_EQ(RunPrepare(std::vector<std::string_view>{"--definition", "d.csv",
                                                     "x", "--faults", "f"},
                       host.env),
            64);
  EXPECT_EQ(host.err,
            "lpgm-prepare: 'x' is neither after --faults nor after --cases\n"
            "Try 'lpgm-prepare --help'.\n");
}

}  // namespace
}  // namespace lpgm::prepare
