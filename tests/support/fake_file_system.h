// An in-memory file system for tests of the readers and writers.
//
// Files are kept by their CP932 names exactly as the system composes them
// (backslashes included; no folder structure, no decoding). A name can be
// declared a directory, and then opening it fails as a directory does. Every
// open, successful or not, is recorded in order, and the number of streams
// open at once is tracked, so that tests can check which files were opened,
// in which order, and that each was closed before the next.
#ifndef LPGM_TESTS_SUPPORT_FAKE_FILE_SYSTEM_H_
#define LPGM_TESTS_SUPPORT_FAKE_FILE_SYSTEM_H_

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
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

  // Open-stream bookkeeping, shared with the streams handed out.
  struct Counter;

  FakeFileSystem();

  // Adds (or replaces) a file holding `content`.
  void AddFile(std::string cp932_path, std::string content);
  // Declares a directory: opening it for reading or writing fails.
  void AddDirectory(std::string cp932_path);
  // Makes every open of `cp932_path` fail with `error`.
  void FailOpen(std::string cp932_path, platform::OpenError error);
  // Input streams hand out at most this many bytes per read (default: all).
  void SetReadChunk(std::size_t chunk) { read_chunk_ = chunk; }

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

 private:
  // Returns kNone when `path` may be opened.
  platform::OpenError Refusal(const std::string& path) const;

  std::map<std::string, std::shared_ptr<std::string>, std::less<>> files_;
  std::map<std::string, platform::OpenError, std::less<>> refusals_;
  std::vector<Open> opens_;
  std::shared_ptr<Counter> counter_;
  std::size_t read_chunk_ = static_cast<std::size_t>(-1);
};

}  // namespace lpgm::testing

#endif  // LPGM_TESTS_SUPPORT_FAKE_FILE_SYSTEM_H_
