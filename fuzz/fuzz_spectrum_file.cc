// The long-period spectrum reader fed arbitrary bytes as the file of fault 1,
// folder "f", composed path "f\Korvel長周期.csv" (CP932).
//
// Every way out must be a record-layer failure on channel 12 (end of file or
// a malformed field); an index outside a table is never caught. A file of
// fewer than 64 records never reads whole, and a successful read sets only
// period points 1 to NPER of PERIOD and of fault 1's SVF.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "input/spectrum_file.h"
#include "platform/encoding.h"
#include "record/failure.h"
#include "state/channels.h"
#include "state/run_state.h"

namespace {

using lpgm::RunState;
using lpgm::RunStop;
using lpgm::fuzz::Check;

bool IsZero(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  RunState& s = lpgm::fuzz::OneFolderRunState('f', 'c');

  const std::string path =
      "f" + lpgm::platform::Cp932Literal("\\Korvel長周期.csv");
  Check(lpgm::SpectrumFilePath(s, 1) == path, "composed path");
  lpgm::fuzz::FakeFileSystem files;
  lpgm::fuzz::PutInput(files, path, data, size);
  std::string_view bytes(reinterpret_cast<const char*>(data), size);

  bool read_whole = true;
  try {
    lpgm::ReadSpectrumFiles(s, files);
  } catch (const RunStop& stop) {
    read_whole = false;
    Check(lpgm::fuzz::IsRecordFailure(stop, lpgm::kUnitSpectrum),
          "not a record failure on channel 12");
    Check(stop.number() == lpgm::kErrEndOfFile ||
              stop.number() == lpgm::kErrConversion,
          "unexpected failure number");
    Check(stop.file() == path, "failure names another file");
  }
  Check(lpgm::fuzz::ReadOpens(files) == 1,
        "the file was opened more than once");
  if (read_whole)
    Check(lpgm::fuzz::CountRecords(bytes) >= 64,
          "a file of fewer than 64 records read whole");
  for (int j = s.NPER + 1; j <= lpgm::kPeriodPoints; ++j) {
    Check(IsZero(s.PERIOD(j)), "PERIOD set past NPER");
    Check(IsZero(s.SVF(1, j)), "SVF set past NPER");
  }
  for (int i = 2; i <= lpgm::kFaultSlots; ++i)
    for (int j = 1; j <= lpgm::kPeriodPoints; ++j)
      Check(IsZero(s.SVF(i, j)), "SVF of another fault set");
  return 0;
}
