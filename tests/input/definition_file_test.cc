#include "input/definition_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/encoding.h"
#include "record/failure.h"
#include "record/trimmed_length.h"
#include "state/run_state.h"
#include "support/fake_file_system.h"
#include "support/outcome.h"

namespace lpgm {
namespace {

constexpr char kDefName[] = "def.csv";

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

class DefinitionFileTest : public ::testing::Test {
 protected:
  DefinitionFileTest() : state_(std::make_unique<RunState>()) {
    InitializeRunState(*state_);
    SetName(kDefName);
  }

  // As the dialogue leaves it: the typed name cut to 40 positions or padded
  // with blanks, and its used length.
  void SetName(std::string_view name) {
    name_ = name;
    FillBlanks(state_->DEFFILE);
    std::copy_n(name.begin(), std::min<std::size_t>(name.size(), 40),
                state_->DEFFILE.begin());
    state_->LDEFFILE = LCHR40(state_->DEFFILE);
  }

  // A fresh run whose definition file holds `lines`.
  void Define(const std::vector<std::string>& lines) {
    Restart();
    files_.AddFile(kDefName, Lines(lines));
  }
  // Back to the start state, with the same typed name.
  void Restart() {
    InitializeRunState(*state_);
    state_->NFAULT = 0;
    state_->NCASE = 0;
    SetName(name_);
  }

  // Reads the definition file; describes how the read ended. Whatever the
  // outcome, the definition file must be closed afterwards.
  std::string Read() {
    std::string outcome =
        testing::Outcome([&] { ReadDefinitionFile(*state_, files_); });
    EXPECT_EQ(files_.open_streams(), 0) << "definition file left open";
    return outcome;
  }

  std::string Fault(int i) {
    return std::string(Leading(state_->FLTDIR(i), state_->LFLTDIR(i)));
  }
  std::string Case(int i) {
    return std::string(Leading(state_->CASEDIR(i), state_->LCASEDIR(i)));
  }
  static bool IsBlank(const Text400& field) {
    return std::all_of(field.begin(), field.end(),
                       [](char c) { return c == ' '; });
  }

  std::unique_ptr<RunState> state_;
  std::string name_;
  testing::FakeFileSystem files_;
};

const char kEndOfFile[] = "failure 24 unit 11 file def.csv";
const char kConversion[] = "failure 64 unit 11 file def.csv";
const char kCountsError[] = "stop: Fault number or Case number Error ! [Enter]";

TEST_F(DefinitionFileTest, WorkedExampleFillsTablesWhateverTheLineOrder) {
  std::vector<std::string> faults = {R"(1,D:\flt\A)", R"(2,D:\flt\B)"};
  std::vector<std::string> cases = {R"(1,C:\case1)", R"(2,C:\case2)",
                                    R"(3,C:\case3)"};
  int orders = 0;
  do {
    do {
      SCOPED_TRACE(faults[0] + " " + cases[0] + " " + cases[1]);
      Define({"title", "2,3", "faults", faults[0], faults[1], "cases", cases[0],
              cases[1], cases[2]});
      ASSERT_EQ(Read(), "returned");
      EXPECT_EQ(state_->NFAULT, 2);
      EXPECT_EQ(state_->NCASE, 3);
      EXPECT_EQ(Fault(1), R"(D:\flt\A)");
      EXPECT_EQ(state_->LFLTDIR(1), 8);
      EXPECT_EQ(Fault(2), R"(D:\flt\B)");
      EXPECT_EQ(Case(1), R"(C:\case1)");
      EXPECT_EQ(Case(2), R"(C:\case2)");
      EXPECT_EQ(Case(3), R"(C:\case3)");
      // The rest of each 400-position slot is blank.
      EXPECT_EQ(state_->FLTDIR(1)[8], ' ');
      EXPECT_EQ(state_->FLTDIR(1)[399], ' ');
      for (int i = 3; i <= kFaultSlots; ++i) {
        EXPECT_TRUE(IsBlank(state_->FLTDIR(i))) << i;
        EXPECT_EQ(state_->LFLTDIR(i), 0) << i;
      }
      for (int i = 4; i <= kCaseSlots; ++i) {
        EXPECT_TRUE(IsBlank(state_->CASEDIR(i))) << i;
        EXPECT_EQ(state_->LCASEDIR(i), 0) << i;
      }
      ++orders;
    } while (std::next_permutation(cases.begin(), cases.end()));
  } while (std::next_permutation(faults.begin(), faults.end()));
  EXPECT_EQ(orders, 12);
}

TEST_F(DefinitionFileTest, OpensTheTypedNameOnceAndNothingElse) {
  Define({"t", "1,1", "h", "1,a", "h", "1,b"});
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(files_.ReadPaths(), std::vector<std::string>{kDefName});
  EXPECT_EQ(files_.opens().size(), 1u);
}

TEST_F(DefinitionFileTest, CarriageReturnBeforeLineFeedIsNotPartOfTheLine) {
  // Also when the file arrives a byte at a time, so that the carriage return
  // and the line feed come in separate reads.
  for (std::size_t chunk : {std::size_t{1 << 20}, std::size_t{1}}) {
    SCOPED_TRACE(chunk);
    Restart();
    files_.SetReadChunk(chunk);
    files_.AddFile(kDefName,
                   "title\r\n1,2\r\nh\r\n1,D:\\f\r\nh\r\n"
                   "2,C:\\b\r\n1,C:\\a\r\n");
    ASSERT_EQ(Read(), "returned");
    EXPECT_EQ(Fault(1), R"(D:\f)");
    EXPECT_EQ(Case(1), R"(C:\a)");
    EXPECT_EQ(Case(2), R"(C:\b)");
  }
  // A carriage return elsewhere is part of the line.
  Define({"t", "1,1", "h", "1,a\rb", "h", "1,c\r"});
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(Fault(1), "a\rb");
  EXPECT_EQ(Case(1), "c");
}

TEST_F(DefinitionFileTest, LastLineWithoutLineFeedIsStillALine) {
  files_.AddFile(kDefName, "t\n1,1\nh\n1,f\nh\n1,c");
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(Case(1), "c");
}

TEST_F(DefinitionFileTest, LinesAfterTheLastCaseLineAreNeverRead) {
  std::string tail = "9,bad slot\nnot,a,number\n";
  tail += std::string("\0\x01\xff\xfe\x81", 5);
  for (int i = 0; i < 1000; ++i) tail += "x,y\n";
  files_.AddFile(kDefName,
                 Lines({"t", "1,2", "h", "1,f", "h", "2,b", "1,a"}) + tail);
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(Case(1), "a");
  EXPECT_EQ(Case(2), "b");
}

TEST_F(DefinitionFileTest, TitleAndHeadingsAreSkippedWhateverTheyHold) {
  files_.AddFile(kDefName, std::string("9,x,\0\xff\n", 7) + "1,1\n" +
                               "7,not a fault\n1,f\n\n1,c\n");
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(Fault(1), "f");
  EXPECT_EQ(Case(1), "c");
}

TEST_F(DefinitionFileTest, FileThatCannotBeOpenedStopsWithTheName) {
  EXPECT_EQ(Read(), "stop: def.csv not exist ! [Enter]");
  files_.AddDirectory(kDefName);
  EXPECT_EQ(Read(), "stop: def.csv not exist ! [Enter]");
  files_.AddFile("locked.csv", "t\n1,1\nh\n1,f\nh\n1,c\n");
  files_.FailOpen("locked.csv", platform::OpenError::kPermission);
  SetName("locked.csv");
  EXPECT_EQ(Read(), "stop: locked.csv not exist ! [Enter]");
  EXPECT_EQ(state_->NFAULT, 0);
  EXPECT_TRUE(files_.ReadPaths().empty());
  // An all-blank answer names a single blank.
  SetName("");
  EXPECT_EQ(Read(), "stop:   not exist ! [Enter]");
  EXPECT_EQ(files_.opens().back().path, " ");
}

TEST_F(DefinitionFileTest, NameIsTheFirstLDEFFILEPositionsOfDEFFILE) {
  const std::string forty(40, 'n');
  files_.AddFile(forty, "t\n1,1\nh\n1,f\nh\n1,c\n");
  SetName(forty);
  EXPECT_EQ(Read(), "returned");
  // A longer answer was cut to 40 by the dialogue: the 40 are opened.
  SetName(forty + "longer");
  EXPECT_EQ(Read(), "returned");
  files_.AddFile(forty + "z", "t\n1,1\nh\n1,f\nh\n1,c\n");
  SetName("o" + forty);
  EXPECT_EQ(Read(), "stop: o" + forty.substr(0, 39) + " not exist ! [Enter]");
  // Trailing blanks of the answer are not part of the name.
  SetName("def.csv   ");
  EXPECT_EQ(state_->LDEFFILE, 7);
  EXPECT_EQ(Read(), "stop: def.csv not exist ! [Enter]");
  EXPECT_EQ(files_.opens().back().path, "def.csv");
}

TEST_F(DefinitionFileTest,
       CountsOutOfRangeOrNotTwoIntegersStopBeforeFaultLines) {
  // The fault list that follows would itself be an error: the counts come
  // first.
  for (const char* counts :
       {"7,3", "2,22", "0,3", "2,0", "-1,3", "2,-3", "2,x", "two,3", "2,3.5",
        "2/", "/", ",3", "2,,3", "4294967298,3", "2,99999999999"}) {
    SCOPED_TRACE(counts);
    Define({"title", counts, "heading", "9,bad"});
    EXPECT_EQ(Read(), kCountsError);
    EXPECT_EQ(state_->LFLTDIR(1), 0);
  }
}

TEST_F(DefinitionFileTest, CountsAtTheLimitsAreAccepted) {
  std::vector<std::string> lines = {"t", "6 , 21, 99, junk", "h"};
  for (int i = 6; i >= 1; --i) lines.push_back(std::to_string(i) + ",f");
  lines.push_back("h");
  for (int i = 1; i <= 21; ++i) lines.push_back(std::to_string(i) + ",c");
  Define(lines);
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(state_->NFAULT, 6);
  EXPECT_EQ(state_->NCASE, 21);
  EXPECT_EQ(state_->LCASEDIR(21), 1);
  EXPECT_EQ(state_->LCASEDIR(22), 0);
}

TEST_F(DefinitionFileTest, CountsSeparatedByBlanksAreRead) {
  Define({"t", "  1   2  ", "h", "1,f", "h", "2,b", "1,a"});
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(state_->NFAULT, 1);
  EXPECT_EQ(state_->NCASE, 2);
}

TEST_F(DefinitionFileTest, OneCountAloneTakesTheSecondFromTheNextLine) {
  // The heading skipped is the line after the one holding NCASE.
  Define({"t", "2", "3", "heading", "2,fb", "1,fa", "h", "1,a", "2,b", "3,c"});
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(state_->NFAULT, 2);
  EXPECT_EQ(state_->NCASE, 3);
  EXPECT_EQ(Fault(1), "fa");
  // A comma after the first count, and empty lines, change nothing.
  Define({"t", "2,", "", "3", "heading", "2,fb", "1,fa", "h", "1,a", "2,b",
          "3,c"});
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(state_->NCASE, 3);
  EXPECT_EQ(Fault(2), "fb");
}

TEST_F(DefinitionFileTest, FileEndingEarlyIsEndOfFileOnUnit11) {
  for (const std::string& text :
       {std::string(""), std::string("title"), std::string("title\n"),
        std::string("t\n2"), std::string("t\n1,1\n"),
        std::string("t\n2,1\nh\n1,a\n"), std::string("t\n1,1\nh\n1,a\n"),
        std::string("t\n1,2\nh\n1,a\nh\n"),
        std::string("t\n1,2\nh\n1,a\nh\n2,b\n")}) {
    SCOPED_TRACE(text);
    Restart();
    files_.AddFile(kDefName, text);
    EXPECT_EQ(Read(), kEndOfFile);
  }
}

TEST_F(DefinitionFileTest, SlotNumberThatIsNotAWholeNumberIsConversionError) {
  for (const std::string& line :
       {std::string(R"(a,D:\x)"), std::string(R"(1.0,D:\x)"),
        std::string(R"(1 D:\x)"), std::string("1e0,x"), std::string("--1,x"),
        std::string("\x01,x"), std::string("\x83\x5c,x"),
        std::string("99999999999,x")}) {
    SCOPED_TRACE(line);
    Define({"t", "1,1", "h", line, "h", "1,c"});
    EXPECT_EQ(Read(), kConversion);
    Define({"t", "1,1", "h", "1,f", "h", line});
    EXPECT_EQ(Read(), kConversion);
  }
}

TEST_F(DefinitionFileTest, BadSlotStopsAtOnceWithTheEntryCounter) {
  // The file ends after the bad line: the stop comes before any further read.
  Define({"t", "3,1", "h", "1,a", "9,b"});
  EXPECT_EQ(Read(), "stop: Fault data line no.2Error ! [Enter]");
  Define({"t", "3,1", "h", "1,a", "2,b", "0,c"});
  EXPECT_EQ(Read(), "stop: Fault data line no.3Error ! [Enter]");
  Define({"t", "3,1", "h", "-1,a"});
  EXPECT_EQ(Read(), "stop: Fault data line no.1Error ! [Enter]");
  Define({"t", "3,1", "h", "4,a"});
  EXPECT_EQ(Read(), "stop: Fault data line no.1Error ! [Enter]");
  // The counter, not the line's position in the file (the counts take two
  // lines here).
  Define({"t", "1", "12", "h", "1,a", "h", "1,a", "2,b", "3,c", "4,d", "5,e",
          "6,f", "7,g", "8,h", "9,i", "10,j", "11,k", "13,l"});
  EXPECT_EQ(Read(), "stop: Case data line no.12Error ! [Enter]");
  // A slot refused is never stored.
  EXPECT_EQ(state_->LCASEDIR(13), 0);
  Define({"t", "1,2", "h", "1,a", "h", "3,b"});
  EXPECT_EQ(Read(), "stop: Case data line no.1Error ! [Enter]");
}

TEST_F(DefinitionFileTest, EmptyOrBlankSlotNumberIsSlotZero) {
  Define({"t", "2,1", "h", "1,a", R"(,D:\x)"});
  EXPECT_EQ(Read(), "stop: Fault data line no.2Error ! [Enter]");
  Define({"t", "2,1", "h", ""});
  EXPECT_EQ(Read(), "stop: Fault data line no.1Error ! [Enter]");
  Define({"t", "1,2", "h", "1,a", "h", "2,b", "      ,c"});
  EXPECT_EQ(Read(), "stop: Case data line no.2Error ! [Enter]");
}

TEST_F(DefinitionFileTest, MissingSlotIsReportedAfterTheWholeList) {
  // Slot 1 is missing, but line 3's bad slot is found first.
  Define({"t", "3,1", "h", "3,a", "3,b", "9,c"});
  EXPECT_EQ(Read(), "stop: Fault data line no.3Error ! [Enter]");
  // The missing check needs every line of the list.
  Define({"t", "3,1", "h", "1,a", "1,b"});
  EXPECT_EQ(Read(), kEndOfFile);
  // Only the lowest missing slot is named.
  Define({"t", "3,1", "h", "1,a", "1,b", "1,c"});
  EXPECT_EQ(Read(), "stop: Fault data no.2 not exist ! [Enter]");
  Define({"t", "1,3", "h", "1,a", "h", "3,x", "3,y", "3,z"});
  EXPECT_EQ(Read(), "stop: Case data no.1 not exist ! [Enter]");
  Define({"t", "1,3", "h", "1,a", "h", "3,x", "1,y", "1,z"});
  EXPECT_EQ(Read(), "stop: Case data no.2 not exist ! [Enter]");
}

TEST_F(DefinitionFileTest, DuplicateSlotKeepsTheLaterName) {
  Define({"t", "2,1", "h", "2,first", "2,second"});
  EXPECT_EQ(Read(), "stop: Fault data no.1 not exist ! [Enter]");
  EXPECT_EQ(Fault(2), "second");
  Define({"t", "2,1", "h", "1,a long first name", "1,b", "2,c"});
  // A two-fault list takes two lines: the third is the heading.
  EXPECT_EQ(Read(), "stop: Fault data no.2 not exist ! [Enter]");
  EXPECT_EQ(Fault(1), "b");
  EXPECT_TRUE(std::all_of(state_->FLTDIR(1).begin() + 1,
                          state_->FLTDIR(1).end(),
                          [](char c) { return c == ' '; }));
}

TEST_F(DefinitionFileTest, FaultListIsCheckedBeforeAnyCaseLineIsRead) {
  Define({"t", "2,2", "h", "1,a", "1,b", "h", "9,x"});
  EXPECT_EQ(Read(), "stop: Fault data no.2 not exist ! [Enter]");
  Define({"t", "2,2", "h", "1,a", "5,b"});
  EXPECT_EQ(Read(), "stop: Fault data line no.2Error ! [Enter]");
  Define({"t", "1,2", "h", "1,a", "h", "nonsense"});
  EXPECT_EQ(Read(), kConversion);
  EXPECT_EQ(Fault(1), "a");
}

TEST_F(DefinitionFileTest, EmptyFolderNameIsASingleBlankNotAMissingSlot) {
  Define({"t", "1,1", "h", "1,", "h", "1,c"});
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(state_->LFLTDIR(1), 1);
  EXPECT_TRUE(IsBlank(state_->FLTDIR(1)));
  EXPECT_EQ(Fault(1), " ");
}

TEST_F(DefinitionFileTest, SlotNumberFieldEndsAfterTwentyPositions) {
  // Twenty positions fill the field; the comma after them opens the folder.
  Define({"t", "2,1", "h", R"(00000000000000000001,D:\x)",
          R"(                   2,C:\y)", "h", "1,c"});
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(Fault(1), R"(,D:\x)");
  EXPECT_EQ(state_->LFLTDIR(1), 5);
  EXPECT_EQ(Fault(2), R"(,C:\y)");
  // Without a comma the folder starts at position 21.
  Define({"t", "1,1", "h", "                   1folder", "h",
          "                   1/c"});
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(Fault(1), "folder");
  EXPECT_EQ(Case(1), "/c");
}

TEST_F(DefinitionFileTest, FolderNameIsTakenAsItStands) {
  const std::string cp932 = platform::Utf8ToCp932(R"(震源\表示ソ\断層1)");
  Define({"t", "2,1", "h", R"( 1 , D:\my data\a,b "q" 'r'   )", "2," + cp932,
          "h", "1,C:\\x\t"});
  ASSERT_EQ(Read(), "returned");
  // Blanks in the slot number are ignored; the folder keeps its leading
  // blank, commas and quotation marks, and loses its trailing blanks.
  EXPECT_EQ(Fault(1), R"( D:\my data\a,b "q" 'r')");
  EXPECT_EQ(Fault(2), cp932);
  EXPECT_EQ(state_->LFLTDIR(2), static_cast<int>(cp932.size()));
  // Only the blank counts as trailing.
  EXPECT_EQ(Case(1), "C:\\x\t");
}

TEST_F(DefinitionFileTest, FolderNameIsCutAfterItsFourHundredthPosition) {
  std::string long_name;
  for (int i = 0; i < 450; ++i) long_name += static_cast<char>('a' + i % 26);
  Define({"t", "1,1", "h", "1," + long_name, "h", "1," + long_name + " x"});
  ASSERT_EQ(Read(), "returned");
  EXPECT_EQ(state_->LFLTDIR(1), 400);
  EXPECT_EQ(Fault(1), long_name.substr(0, 400));
  EXPECT_EQ(Case(1), long_name.substr(0, 400));
}

}  // namespace
}  // namespace lpgm
