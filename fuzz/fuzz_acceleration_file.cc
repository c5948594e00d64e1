// The acceleration record reader fed arbitrary bytes as the file of case 1,
// folder "f", composed path "f\加速度波形.acc" (CP932).
//
// Every way out must be a record-layer failure on channel 13 or, for a count
// above the capacity, the sample-number error stop; an index outside a table
// is never caught. Nothing is stored past NPTS(1): the samples after it and
// the other cases' columns stay 0.0. The run state is allocated once; the
// samples that an input set are put back to 0.0 before the next input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "input/acceleration_file.h"
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

// Samples past NPTS(1) that are checked to be untouched.
constexpr int kWindow = 512;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  RunState& s = lpgm::fuzz::OneFolderRunState('g', 'f');

  const std::string path =
      "f" + lpgm::platform::Cp932Literal("\\加速度波形.acc");
  Check(lpgm::AccelerationFilePath(s, 1) == path, "composed path");
  lpgm::fuzz::FakeFileSystem files;
  lpgm::fuzz::PutInput(files, path, data, size);
  std::string_view bytes(reinterpret_cast<const char*>(data), size);

  bool read_whole = true;
  try {
    lpgm::ReadAccelerationFiles(s, files);
  } catch (const RunStop& stop) {
    read_whole = false;
    if (stop.kind() == RunStop::Kind::kMessage) {
      Check(stop.message() == path + " sample number Error ! [Enter]",
            "an error stop with an unknown message");
      Check(s.NPTS(1) > lpgm::kSampleCapacity,
            "sample number error for a count within the capacity");
    } else {
      Check(stop.unit() == lpgm::kUnitAcceleration,
            "failure on another channel");
      Check(stop.number() == lpgm::kErrEndOfFile ||
                stop.number() == lpgm::kErrConversion ||
                stop.number() == lpgm::kErrListSyntax,
            "unexpected failure number");
      Check(stop.file() == path, "failure names another file");
    }
  }
  Check(lpgm::fuzz::ReadOpens(files) == 1,
        "the file was opened more than once");
  int n = s.NPTS(1);
  if (read_whole) {
    Check(n <= lpgm::kSampleCapacity, "a count above the capacity read");
    Check(lpgm::fuzz::CountRecords(bytes) >= 2,
          "samples read from a file without line 2");
  }
  // Samples a failed or refused read may have set: at most NPTS(1), and none
  // when the count was refused.
  int set = std::clamp(n, 0, lpgm::kSampleCapacity);
  if (n > lpgm::kSampleCapacity) set = 0;
  for (int j = set + 1; j <= std::min(set + kWindow, lpgm::kSampleCapacity);
       ++j)
    Check(IsZero(s.ACC(1, j)), "a sample stored past NPTS");
  if (set >= 1) Check(IsZero(s.ACC(2, set)), "case 2's column touched");
  for (int j = 1; j <= std::min(set, kWindow); ++j)
    for (int i = 2; i <= lpgm::kCaseSlots; ++i)
      Check(IsZero(s.ACC(i, j)), "another case's column touched");
  for (int i = 2; i <= lpgm::kCaseSlots; ++i)
    Check(s.NPTS(i) == 0, "another case's count set");

  // Back to the start state for the next input.
  for (int j = 1; j <= set; ++j) s.ACC(1, j) = 0.0;
  return 0;
}
