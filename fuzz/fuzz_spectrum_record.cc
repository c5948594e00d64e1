// lpgm-spectrum fed arbitrary bytes as its record (or its periods file),
// run in process on the tests' in-memory file system. Byte 0 picks what the
// rest of the input is:
//   0 a record whose format is told by its header (AT2, K-NET),
//   1 a table (--format table --dt 0.01 --units g --column 2),
//   2 a case file c/加速度波形.acc, read by lpgm's reader,
//   3 the periods file of a fixed small AT2 record, written as a fault file.
// Every run ends in exit 0 with the file written whole (56 lines of CSV or
// 64 CR LF lines of a fault file) or exit 2 with an error line that names
// the input and nothing written; the run state's case slot is handed back.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "platform/encoding.h"
#include "platform/kernel.h"
#include "spectrum/spectrum_program.h"
#include "state/run_state.h"
#include "support/memory_console.h"

namespace {

using lpgm::fuzz::Check;

constexpr std::string_view kAt2 =
    "PEER NGA STRONG MOTION DATABASE RECORD\n"
    "Test\n"
    "ACCELERATION TIME SERIES IN UNITS OF G\n"
    "NPTS=      4, DT=   .0100 SEC\n"
    "  .1 -.2 .05 .3\n";

std::size_t Count(std::string_view text, std::string_view what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string_view::npos;
       at = text.find(what, at + what.size()))
    ++n;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size < 1 || size > 200000) return 0;
  static std::unique_ptr<lpgm::RunState> state =
      std::make_unique<lpgm::RunState>();
  const int mode = data[0] % 4;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  lpgm::fuzz::FakeFileSystem files;
  std::string input_name = "r";
  std::string_view args[12] = {"r", "-o", "out"};
  std::size_t n = 3;
  if (mode == 1) {
    for (const std::string_view a :
         {"--format", "table", "--dt", "0.01", "--units", "g", "--column", "2"})
      args[n++] = a;
  } else if (mode == 2) {
    input_name = "c/加速度波形.acc";
    args[0] = input_name;
  } else if (mode == 3) {
    input_name = "p";
    args[n++] = "--periods";
    args[n++] = "p";
    args[n++] = "--fault-file";
  }
  if (mode == 2)
    files.AddFile("c" + lpgm::platform::Cp932Literal("\\加速度波形.acc"),
                  bytes);
  else
    files.AddFile(input_name, bytes);
  if (mode == 3) files.AddFile("r", std::string(kAt2));
  const std::uint32_t h = lpgm::fuzz::Hash(data, size);
  files.SetReadChunk(h % 3 == 0 ? 1 + (h >> 8) % 40 : 0);

  lpgm::testing::MemoryConsole console("");
  lpgm::spectrum::SpectrumEnvironment env{files, console, *state,
                                          lpgm::platform::BestKernel(),
                                          static_cast<int>(1 + (h & 1))};
  const int status = lpgm::spectrum::RunSpectrum({args, n}, env);
  const std::string errors = lpgm::platform::Cp932ToUtf8(console.errors());
  if (status == lpgm::spectrum::kExitInputError) {
    Check(files.WritePaths().empty(), "written after a refusal");
    Check(errors.rfind(input_name, 0) == 0, "the error names another file");
    // One line (a quoted field may itself hold ": error: ").
    Check(Count(errors, ": error: ") >= 1 && Count(errors, "\n") == 1 &&
              errors.back() == '\n',
          "not one error line");
  } else {
    Check(status == lpgm::spectrum::kExitOk, "an exit status other than 0, 2");
    const std::string out = files.Content("out").value_or("");
    if (mode == 3)
      Check(Count(out, "\r\n") == 64 && out.ends_with("\r\n"),
            "a fault file of other than 64 lines");
    else
      Check(Count(out, "\n") == 56 && out.ends_with("\n"),
            "a CSV of other than 56 lines");
  }
  Check(state->NPTS(1) == 0 && state->LCASEDIR(1) == 0,
        "the case slot is not handed back");
  return 0;
}
