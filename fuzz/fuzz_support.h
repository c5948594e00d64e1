// Shared pieces of the fuzz targets: an input stream over bytes held in
// memory, an in-memory file system, and small helpers for checks.
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

#include "platform/file_system.h"
#include "platform/stream.h"
#include "record/failure.h"
#include "state/run_state.h"

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

// An input stream over bytes that live elsewhere. Each Read hands out at
// most `chunk` bytes (0: as many as asked), so that a reader meets short
// reads in the middle of a record.
class ByteStream : public platform::InputStream {
 public:
  explicit ByteStream(std::string_view bytes, std::size_t chunk = 0)
      : bytes_(bytes), chunk_(chunk) {}
  long Read(char* buffer, std::size_t size) override {
    std::size_t n = std::min(size, bytes_.size() - pos_);
    if (chunk_ != 0) n = std::min(n, chunk_);
    std::memcpy(buffer, bytes_.data() + pos_, n);
    pos_ += n;
    return static_cast<long>(n);
  }

 private:
  std::string_view bytes_;
  std::size_t chunk_;
  std::size_t pos_ = 0;
};

// Files by their composed CP932 names, held in memory. Reading only: an
// open for writing is refused.
class MemoryFileSystem : public platform::FileSystem {
 public:
  void Put(std::string path, std::string bytes) {
    files_[std::move(path)] = std::move(bytes);
  }
  void set_chunk(std::size_t chunk) { chunk_ = chunk; }
  int opens() const { return opens_; }

  std::unique_ptr<platform::InputStream> OpenForReading(
      std::string_view cp932_path, platform::OpenError* error) override {
    auto it = files_.find(std::string(cp932_path));
    if (it == files_.end()) {
      *error = platform::OpenError::kNotFound;
      return nullptr;
    }
    ++opens_;
    *error = platform::OpenError::kNone;
    return std::make_unique<ByteStream>(it->second, chunk_);
  }
  std::unique_ptr<platform::OutputStream> OpenForWriting(
      std::string_view, platform::OpenError* error) override {
    *error = platform::OpenError::kPermission;
    return nullptr;
  }

 private:
  std::map<std::string, std::string, std::less<>> files_;
  std::size_t chunk_ = 0;
  int opens_ = 0;
};

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
  std::size_t n = static_cast<std::size_t>(
      std::count(bytes.begin(), bytes.end(), '\n'));
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
inline void PutInput(MemoryFileSystem& files, const std::string& path,
                     const std::uint8_t* data, std::size_t size) {
  files.Put(path, std::string(reinterpret_cast<const char*>(data), size));
  std::uint32_t h = Hash(data, size);
  files.set_chunk(h % 3 == 0 ? 1 + (h >> 8) % 40 : 0);
}

}  // namespace lpgm::fuzz

#endif  // LPGM_FUZZ_FUZZ_SUPPORT_H_
