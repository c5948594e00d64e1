// Shared pieces of the fuzz targets: small helpers for checks, and the
// in-memory file system of the tests set up for one input.
#ifndef LPGM_FUZZ_FUZZ_SUPPORT_H_
#define LPGM_FUZZ_FUZZ_SUPPORT_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "record/failure.h"
#include "state/run_state.h"
#include "support/fake_file_system.h"
#include "support/memory_stream.h"

namespace lpgm::fuzz {

// Ends the process with a message: the fuzzer reports it as a crash.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "fuzz invariant violated: %s\n", what);
  std::fflush(stderr);
  std::abort();
}

inline void Check(bool ok, const char* what) {
  if (!ok) Fail(what);
}

// The in-memory streams and file system are the tests' own
// (support/memory_stream.h, support/fake_file_system.h).
using testing::FakeFileSystem;
using testing::MemoryInput;

// A cheap hash of the input, to pick reading conditions (chunk sizes) for
// targets whose whole input is the file's content.
inline std::uint32_t Hash(const std::uint8_t* data, std::size_t size) {
  std::uint32_t h = 2166136261u;
  for (std::size_t i = 0; i < size; ++i) {
    h ^= data[i];
    h *= 16777619u;
  }
  return h;
}

// The number of records of a text: lines ended by a line feed, and a last
// line without one.
inline std::size_t CountRecords(std::string_view bytes) {
  std::size_t n =
      static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
  if (!bytes.empty() && bytes.back() != '\n') ++n;
  return n;
}

inline bool IsRecordFailure(const RunStop& stop, int unit) {
  return stop.kind() == RunStop::Kind::kRecordFailure && stop.unit() == unit;
}

// The run state of a reader target, allocated once (it is about 48 MB) and
// put back in its start state for every input, with one fault folder and one
// case folder of one-letter names.
inline RunState& OneFolderRunState(char fault_folder, char case_folder) {
  static std::unique_ptr<RunState> state = std::make_unique<RunState>();
  RunState& s = *state;
  InitializeRunState(s);
  s.NFAULT = 1;
  s.NCASE = 1;
  s.FLTDIR(1)[0] = fault_folder;
  s.LFLTDIR(1) = 1;
  s.CASEDIR(1)[0] = case_folder;
  s.LCASEDIR(1) = 1;
  return s;
}

// An in-memory file system holding `bytes` at `path`, handed out in small
// chunks for a third of the inputs (so that reads end inside records).
// Opens for writing are refused.
inline void PutInput(FakeFileSystem& files, const std::string& path,
                     const std::uint8_t* data, std::size_t size) {
  files.AddFile(path, std::string(reinterpret_cast<const char*>(data), size));
  files.RefuseWrites();
  std::uint32_t h = Hash(data, size);
  files.SetReadChunk(h % 3 == 0 ? 1 + (h >> 8) % 40 : 0);
}

// The number of successful opens for reading.
inline std::size_t ReadOpens(const FakeFileSystem& files) {
  return files.ReadPaths().size();
}

}  // namespace lpgm::fuzz

#endif  // LPGM_FUZZ_FUZZ_SUPPORT_H_
