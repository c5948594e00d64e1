// In-memory file systems for the tests of the readers and writers, the fuzz
// targets and the benchmarks.
//
// Files are kept by their CP932 names exactly as the system composes them
// (backslashes included; no folder structure, no decoding). A name can be
// declared a directory, and then opening it fails as a directory does. Every
// open, successful or not, is recorded in order, and the number of streams
// open at once is tracked, so that tests can check which files were opened,
// in which order, and that each was closed before the next.
//
// The calls by host path use the same files, by the path exactly as given;
// folders made are kept apart. Any call can be made to fail for one path.
// The calls by host path, AddFile, Content and Paths may come from several
// threads at once, as lpgm-prepare's batches make them; the rest is for one
// thread.
#ifndef LPGM_TESTS_SUPPORT_FAKE_FILE_SYSTEM_H_
#define LPGM_TESTS_SUPPORT_FAKE_FILE_SYSTEM_H_

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_system.h"

namespace lpgm::testing {

class FakeFileSystem : public platform::FileSystem {
 public:
  struct Open {
    std::string path;  // CP932, as requested
    bool for_writing;
    bool succeeded;

    bool operator==(const Open&) const = default;
  };

  // The calls that can be made to fail.
  enum class Call {
    kOpenForReading,
    kOpenForWriting,
    kStatus,
    kReadWhole,
    kMakeFolders,
    kReplaceWhole,   // the new file beside the target cannot be written
    kReplaceRename,  // the new file is written but cannot take the place
    kWriteWhole,
  };

  // Open-stream bookkeeping, shared with the streams handed out.
  struct Counter;

  FakeFileSystem();

  // Adds (or replaces) a file holding `content`.
  void AddFile(std::string cp932_path, std::string content);
  // Adds every file of the input set on disk in `folder` (definition.csv,
  // faults/, cases/) by the name the system composes for it: CP932, with
  // `\` between folders, relative to `folder`.
  void AddInputSet(const std::string& folder);
  // Declares a directory: opening it for reading or writing fails.
  void AddDirectory(std::string cp932_path);
  // Makes every open of `cp932_path` fail with `error`.
  void FailOpen(std::string cp932_path, platform::OpenError error);
  // Input streams hand out at most this many bytes per read (default and 0:
  // all).
  void SetReadChunk(std::size_t chunk) {
    read_chunk_ = chunk == 0 ? static_cast<std::size_t>(-1) : chunk;
  }
  // Every open for writing fails from now on, as on a read-only medium.
  void RefuseWrites() { refuse_writes_ = true; }
  // Makes `call` on `path` fail with `error` (and the words "injected").
  // An open made to fail this way fails as FailOpen makes it.
  void Fail(Call call, std::string path, platform::OpenError error);
  // The status Status gives for `host_path` (otherwise a file's own size,
  // time 0, or a folder made or declared).
  void SetStatus(std::string host_path, platform::FileStatus status) {
    statuses_[std::move(host_path)] = status;
  }
  void SetWorkingDirectory(std::string path) {
    working_directory_ = std::move(path);
  }
  // The folders made by MakeFolders, and those declared.
  const std::set<std::string, std::less<>>& folders() const { return folders_; }
  // Every path (files and folders) the file system holds.
  std::vector<std::string> Paths() const;

  // The content of a file, whether added or written; nullopt if none.
  std::optional<std::string> Content(std::string_view cp932_path) const;

  // Every open, in order.
  const std::vector<Open>& opens() const { return opens_; }
  // The paths of the successful opens for reading, in order.
  std::vector<std::string> ReadPaths() const;
  // The paths of the successful opens for writing, in order.
  std::vector<std::string> WritePaths() const;
  // Streams open right now, and the most that were ever open at once.
  int open_streams() const;
  int max_open_streams() const;

  std::unique_ptr<platform::InputStream> OpenForReading(
      std::string_view cp932_path, platform::OpenError* error) override;
  std::unique_ptr<platform::OutputStream> OpenForWriting(
      std::string_view cp932_path, platform::OpenError* error) override;

  std::optional<platform::FileStatus> Status(
      std::string_view host_path) override;
  platform::FileResult ReadWhole(std::string_view host_path,
                                 std::string* content) override;
  platform::FileResult MakeFolders(std::string_view host_path) override;
  platform::FileResult ReplaceWhole(std::string_view host_path,
                                    std::string_view bytes) override;
  platform::FileResult WriteWhole(std::string_view host_path,
                                  std::string_view bytes) override;
  bool SameFile(std::string_view host_a, std::string_view host_b) override;
  std::string WorkingDirectory() override { return working_directory_; }

 private:
  // Adds a file; the caller holds guard_.
  void Store(std::string cp932_path, std::string content);
  // Returns kNone when `path` may be opened.
  platform::OpenError Refusal(const std::string& path) const;
  // The failure made for `call` on `path`; kNone when none was.
  platform::FileResult Injected(Call call, std::string_view path) const;

  std::map<std::string, std::shared_ptr<std::string>, std::less<>> files_;
  std::map<std::string, platform::OpenError, std::less<>> refusals_;
  std::map<std::pair<Call, std::string>, platform::OpenError> failures_;
  std::map<std::string, platform::FileStatus, std::less<>> statuses_;
  std::set<std::string, std::less<>> folders_;
  std::string working_directory_ = "/work";
  std::vector<Open> opens_;
  std::shared_ptr<Counter> counter_;
  std::size_t read_chunk_ = static_cast<std::size_t>(-1);
  bool refuse_writes_ = false;
  // A mutex that a moved or copied file system does not share: each gets
  // its own, so the file system can still be assigned whole.
  struct OwnMutex {
    OwnMutex() = default;
    OwnMutex(const OwnMutex&) {}
    OwnMutex& operator=(const OwnMutex&) { return *this; }
    mutable std::mutex mutex;
  };
  OwnMutex guard_;  // guards files_ and folders_
};

// Output files that cost nothing but the count of their bytes (for timing
// the writers); no file can be read.
class CountingFileSystem : public platform::FileSystem {
 public:
  std::unique_ptr<platform::InputStream> OpenForReading(
      std::string_view cp932_path, platform::OpenError* error) override;
  std::unique_ptr<platform::OutputStream> OpenForWriting(
      std::string_view cp932_path, platform::OpenError* error) override;
  std::size_t bytes() const { return bytes_; }
  void Reset() { bytes_ = 0; }

 private:
  std::size_t bytes_ = 0;
};

}  // namespace lpgm::testing

#endif  // LPGM_TESTS_SUPPORT_FAKE_FILE_SYSTEM_H_
