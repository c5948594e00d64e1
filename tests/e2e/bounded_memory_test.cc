// Lines far longer than any record the program needs, in every place where a
// line is read or passed over. Records are read through fixed buffers, so a
// long line must cost time in proportion to what is used of it and no memory
// beyond a short input's; bytes after the last needed value of a file are
// never read at all.
//
// Each long input is checked against a short input that must read the same:
// the same console output, the same exit status, byte-identical output files,
// and a peak resident memory within a fixed margin of the short run's.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "e2e/input_set.h"
#include "platform/encoding.h"
#include "support/process_runner.h"

namespace lpgm::testing {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kLongLine = 64u << 20;  // bytes
constexpr long kRssMarginKib = 16 * 1024;     // a quarter of a long line
// Far more than a run could read in the time it is allowed: sparse, so it
// costs no disk.
constexpr std::uintmax_t kSparseTail = std::uintmax_t{8} << 30;

const char kDefinition[] = "definition.csv";
const char kFault1[] = "faults/F1/Korvel長周期.csv";
const char kCase1[] = "cases/ELCENTRO1940_NS/加速度波形.acc";

std::string Cp932(const char* utf8) { return platform::Cp932Literal(utf8); }

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Writes head, then `size` bytes of `pattern` repeated, then tail, without
// holding the whole file in memory.
void WriteLong(const fs::path& path, std::string_view head,
               std::string_view pattern, std::size_t size,
               std::string_view tail) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(head.data(), static_cast<std::streamsize>(head.size()));
  std::string chunk;
  while (size > 0 && chunk.size() < (1u << 20)) chunk += pattern;
  for (std::size_t left = size; left > 0;) {
    std::size_t n = left < chunk.size() ? left : chunk.size();
    out.write(chunk.data(), static_cast<std::streamsize>(n));
    left -= n;
  }
  out.write(tail.data(), static_cast<std::streamsize>(tail.size()));
  ASSERT_TRUE(out.good()) << path;
}

// `pattern` repeated to exactly `size` bytes.
std::string Repeat(std::string_view pattern, std::size_t size) {
  std::string s;
  s.reserve(size + pattern.size());
  while (s.size() < size) s += pattern;
  s.resize(size);
  return s;
}

// A copy of the bundled example, with helpers to rewrite its files.
class InputSet : public e2e::InputSet {
 public:
  fs::path File(const std::string& relative) const {
    return fs::path(path()) / relative;
  }
  std::string Read(const std::string& relative) const {
    return ReadAll(File(relative));
  }
  void Write(const std::string& relative, std::string_view content) const {
    WriteLong(File(relative), content, "", 0, "");
  }
  // The file split at its line n (from 1): the bytes before that line, and
  // the bytes from the line's end (its CR LF) on.
  std::pair<std::string, std::string> AroundLine(const std::string& relative,
                                                 int n) const {
    std::string text = Read(relative);
    std::size_t begin = 0;
    for (int i = 1; i < n; ++i) begin = text.find('\n', begin) + 1;
    std::size_t end = text.find("\r\n", begin);
    return {text.substr(0, begin), text.substr(end)};
  }
  std::string Line(const std::string& relative, int n) const {
    auto [before, after] = AroundLine(relative, n);
    std::string text = Read(relative);
    return text.substr(before.size(),
                       text.size() - before.size() - after.size());
  }
  // Line n replaced by head + `size` bytes of `pattern` + tail.
  void ReplaceLineLong(const std::string& relative, int n,
                       std::string_view head, std::string_view pattern,
                       std::size_t size, std::string_view tail) const {
    auto [before, after] = AroundLine(relative, n);
    WriteLong(File(relative), before + std::string(head), pattern, size,
              std::string(tail) + after);
  }
  void ReplaceLine(const std::string& relative, int n,
                   std::string_view content) const {
    ReplaceLineLong(relative, n, content, "", 0, "");
  }
};

// A run of lpgm: how it ended, how long it took, the files it created.
struct MeasuredRun {
  ProcessResult process;
  double wall_seconds = 0;
  std::map<std::string, std::string> outputs;  // files the run created
};

MeasuredRun RunLpgm(const InputSet& inputs, const std::string& typed,
                    const char* locale = "LC_ALL=C") {
  std::set<std::string> before;
  for (const fs::directory_entry& e : fs::directory_iterator(inputs.path()))
    before.insert(e.path().filename().string());
  ProcessOptions options;
  options.directory = inputs.path();
  options.input = typed;
  options.env = {locale};
  MeasuredRun outcome;
  auto start = std::chrono::steady_clock::now();
  outcome.process = RunProcess(LpgmBinary(), options);
  outcome.wall_seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
          .count();
  for (const fs::directory_entry& e : fs::directory_iterator(inputs.path())) {
    std::string name = e.path().filename().string();
    if (before.count(name) == 0) outcome.outputs[name] = ReadAll(e.path());
  }
  return outcome;
}

// The long run ended as the short one did, in the same memory.
void ExpectSameRun(const MeasuredRun& short_run, const MeasuredRun& long_run) {
  EXPECT_EQ(long_run.process.exit_status, short_run.process.exit_status)
      << long_run.process.err;
  EXPECT_EQ(long_run.process.signal, 0);
  EXPECT_EQ(long_run.process.out, short_run.process.out);
  EXPECT_EQ(long_run.process.err, short_run.process.err);
  EXPECT_EQ(long_run.outputs.size(), short_run.outputs.size());
  EXPECT_TRUE(long_run.outputs == short_run.outputs)
      << "output files differ from the short input's";
  EXPECT_LE(long_run.process.max_rss_kib,
            short_run.process.max_rss_kib + kRssMarginKib)
      << "peak memory " << long_run.process.max_rss_kib << " KiB against "
      << short_run.process.max_rss_kib << " KiB for the short input";
}

MeasuredRun RunExample(const char* locale = "LC_ALL=C") {
  InputSet example;
  MeasuredRun run = RunLpgm(example, "definition.csv\n", locale);
  EXPECT_EQ(run.process.exit_status, 0) << run.process.err;
  EXPECT_EQ(run.outputs.size(), 6u);
  return run;
}

// Lines that are passed over whatever they hold: the definition file's
// title and headings, the lines after its last case line, and a header line
// of a spectrum file.
TEST(BoundedMemoryTest, LongSkippedLinesChangeNothing) {
  const MeasuredRun example = RunExample();
  struct Case {
    const char* file;
    int line;
  };
  const Case cases[] = {
      {kDefinition, 1},  // title
      {kDefinition, 3},  // heading of the fault list
      {kDefinition, 7},  // heading of the case list
      {kFault1, 5},      // a header line
  };
  const std::string text = Cp932("見出し, 1, 2.5 /'\"") + "\t";
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " line " + std::to_string(c.line));
    InputSet inputs;
    inputs.ReplaceLineLong(c.file, c.line, "", text, kLongLine, "");
    ExpectSameRun(example, RunLpgm(inputs, "definition.csv\n"));
  }
  {
    SCOPED_TRACE("after the last case line");
    InputSet inputs;
    WriteLong(inputs.File(kDefinition), inputs.Read(kDefinition), text,
              kLongLine, "\r\n");
    ExpectSameRun(example, RunLpgm(inputs, "definition.csv\n"));
  }
}

// The first data row of fault 1's spectrum file, with 64 MB more: after a
// comma, the bytes lie past the 28th field; blanks inside a field are
// ignored; digits straight after the 28th value are that field's up to its
// 20th position.
TEST(BoundedMemoryTest, LongDataRowReadsOnlyItsFirstFields) {
  const MeasuredRun example = RunExample();
  InputSet probe;
  const std::string row = probe.Line(kFault1, 10);
  {
    SCOPED_TRACE("digits after a comma");
    InputSet inputs;
    inputs.ReplaceLineLong(kFault1, 10, row + ",", "1234567890", kLongLine, "");
    ExpectSameRun(example, RunLpgm(inputs, "definition.csv\n"));
  }
  {
    SCOPED_TRACE("blanks");
    InputSet inputs;
    inputs.ReplaceLineLong(kFault1, 10, row, " ", kLongLine, "");
    ExpectSameRun(example, RunLpgm(inputs, "definition.csv\n"));
  }
  {
    SCOPED_TRACE("digits appended to the 28th value");
    const std::string sv = row.substr(row.rfind(',') + 1);
    ASSERT_LT(sv.size(), 20u);
    InputSet short_inputs;
    short_inputs.ReplaceLine(kFault1, 10, row + Repeat("7", 20 - sv.size()));
    MeasuredRun short_run = RunLpgm(short_inputs, "definition.csv\n");
    EXPECT_EQ(short_run.process.exit_status, 0) << short_run.process.err;
    EXPECT_FALSE(short_run.outputs == example.outputs)
        << "the longer Sv field must change the spectra";
    InputSet inputs;
    inputs.ReplaceLineLong(kFault1, 10, row, "7", kLongLine, "");
    ExpectSameRun(short_run, RunLpgm(inputs, "definition.csv\n"));
  }
}

// A 64 MB 20th field: fields 20 to 28 take its first 180 digits, 20 each,
// and the rest of the row is ignored.
TEST(BoundedMemoryTest, HugeTwentiethFieldFillsTheLastNineFields) {
  const MeasuredRun example = RunExample();
  InputSet probe;
  const std::string row = probe.Line(kFault1, 10);
  std::size_t comma = 0;
  for (int i = 0; i < 19; ++i) comma = row.find(',', comma) + 1;
  const std::string first19 = row.substr(0, comma);  // with its comma
  const std::string rest = "," + row.substr(comma);

  InputSet short_inputs;
  short_inputs.ReplaceLine(kFault1, 10, first19 + Repeat("1234567890", 180));
  MeasuredRun short_run = RunLpgm(short_inputs, "definition.csv\n");
  EXPECT_EQ(short_run.process.exit_status, 0) << short_run.process.err;
  EXPECT_FALSE(short_run.outputs == example.outputs);

  InputSet inputs;
  inputs.ReplaceLineLong(kFault1, 10, first19, "1234567890", kLongLine, rest);
  ExpectSameRun(short_run, RunLpgm(inputs, "definition.csv\n"));
}

// Case 1 with 100000 samples, all on line 2, and 64 MB more values on the
// same line after them.
TEST(BoundedMemoryTest, SamplesLineLongerThanItsCountIsReadToTheCount) {
  std::string samples;
  for (int j = 0; j < 100000; ++j) {
    char value[32];
    std::snprintf(value, sizeof value, " %.4f", 150.0 * std::sin(j * 0.013));
    samples += value;
  }
  const std::string head = "100000,0.02\r\n" + samples;
  InputSet short_inputs;
  short_inputs.Write(kCase1, head + "\r\n");
  MeasuredRun short_run = RunLpgm(short_inputs, "definition.csv\n");
  EXPECT_EQ(short_run.process.exit_status, 0) << short_run.process.err;

  InputSet inputs;
  WriteLong(inputs.File(kCase1), head, " -1.5,2.25E1 3*0.5", kLongLine, "\r\n");
  ExpectSameRun(short_run, RunLpgm(inputs, "definition.csv\n"));
}

// 64 MB typed at the prompt: a value is cut to its first 40 positions, and
// the rest of the line after the value is discarded. Under a UTF-8 locale
// the typed line also passes through the console's conversion.
TEST(BoundedMemoryTest, LongTypedLineIsCutToTheAnswer) {
  const std::string name40 = "definition_copy_with_a_long_name_000.csv";
  ASSERT_EQ(name40.size(), 40u);
  // The conversion is slower: a shorter line, still twice the margin.
  const std::pair<const char*, std::size_t> locales[] = {
      {"LC_ALL=C", kLongLine}, {"LC_ALL=C.UTF-8", kLongLine / 2}};
  for (const auto& [locale, size] : locales) {
    SCOPED_TRACE(locale);
    InputSet inputs;
    fs::copy_file(inputs.File(kDefinition), inputs.File(name40));
    MeasuredRun short_named = RunLpgm(inputs, name40 + "\n", locale);
    EXPECT_EQ(short_named.process.exit_status, 0) << short_named.process.err;
    {
      SCOPED_TRACE("one 64 MB value");
      InputSet long_inputs;
      fs::copy_file(long_inputs.File(kDefinition), long_inputs.File(name40));
      ExpectSameRun(
          short_named,
          RunLpgm(long_inputs, name40 + Repeat("x", size) + "\n", locale));
    }
    {
      SCOPED_TRACE("64 MB after the value");
      InputSet long_inputs;
      ExpectSameRun(
          RunExample(locale),
          RunLpgm(long_inputs,
                  "definition.csv " + Repeat("a, b/ 1 ", size) + "\n", locale));
    }
  }
}

// A 64 MB value that names no file, and a 64 MB line typed at the pause:
// the message shows the 40 positions used, and the pause takes the whole
// line.
TEST(BoundedMemoryTest, LongTypedLinesAtAnErrorStop) {
  const std::string name40 = Repeat("nofile", 40);
  InputSet short_inputs;
  MeasuredRun short_run = RunLpgm(short_inputs, name40 + "\n\n");
  EXPECT_EQ(short_run.process.exit_status, 1);
  EXPECT_EQ(short_run.process.out,
            Cp932("震源断層/ケースフォルダ定義ファイル:") + name40 +
                " not exist ! [Enter]");

  InputSet inputs;
  const std::string typed = Repeat("nofile", kLongLine) + "\n" +
                            Repeat("typed at the pause ", kLongLine) + "\n";
  ExpectSameRun(short_run, RunLpgm(inputs, typed));
}

// Bytes after the last value a file needs are never read: a tail of 8 GiB
// (sparse) costs no more time than none.
TEST(BoundedMemoryTest, TailAfterTheNeededValuesIsNeverRead) {
  const MeasuredRun example = RunExample();
  struct Case {
    const char* file;
    bool same_line;  // the tail continues the file's last line
  };
  const Case cases[] = {
      {kDefinition, false},  // after the last case line
      {kFault1, false},      // after the 55th data row
      {kCase1, false},       // after the 1560 samples
      {kCase1, true},        // on the line of the last sample
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + (c.same_line ? ", same line" : ""));
    InputSet inputs;
    if (c.same_line) {
      std::string text = inputs.Read(c.file);
      ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
      text.resize(text.size() - 2);
      inputs.Write(c.file, text + " ");
    }
    fs::resize_file(inputs.File(c.file), kSparseTail);
    MeasuredRun run = RunLpgm(inputs, "definition.csv\n");
    ExpectSameRun(example, run);
    EXPECT_LT(run.process.cpu_seconds, 5 * example.process.cpu_seconds + 0.5);
    EXPECT_LT(run.wall_seconds, 5 * example.wall_seconds + 2.0);
  }
}

}  // namespace
}  // namespace lpgm::testing
