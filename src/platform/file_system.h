// Files by the names the system composes: CP932 bytes with backslashes as
// separators. A name is decoded to UTF-8 and every backslash becomes '/'
// before it reaches the file system (see HostPath).
#ifndef LPGM_PLATFORM_FILE_SYSTEM_H_
#define LPGM_PLATFORM_FILE_SYSTEM_H_

#include <memory>
#include <string>
#include <string_view>

#include "platform/stream.h"

namespace lpgm::platform {

enum class OpenError {
  kNone,
  kBadName,      // not a valid file name (empty, too long, a NUL byte)
  kPermission,   // access denied, read-only file system
  kNotFound,     // the file or a folder on its path does not exist
  kIsDirectory,  // the name is a directory
  kOther,        // any other failure (too many open files, ...)
};

// The UTF-8 path handed to the operating system for a composed CP932 path:
// decoded from CP932 (bytes that do not decode pass unchanged) with every
// backslash turned into '/'.
std::string HostPath(std::string_view cp932_path);

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Opens an existing file for sequential reading. A directory counts as a
  // file that cannot be opened. Returns null and sets *error on failure.
  virtual std::unique_ptr<InputStream> OpenForReading(
      std::string_view cp932_path, OpenError* error) = 0;
  // Opens a file for sequential writing, creating it when missing and reusing
  // an existing one in place: it is written over from its start and cut
  // after the last byte written (see OutputStream::Close). Returns null and
  // sets *error on failure.
  virtual std::unique_ptr<OutputStream> OpenForWriting(
      std::string_view cp932_path, OpenError* error) = 0;
  // Whether the file at `cp932_path` may be opened and read on another
  // thread ahead of its turn: it is an existing regular file (opening and
  // reading it waits on nothing and changes nothing; no folder, device or
  // pipe), and this file system may open and read from two threads at once
  // (each stream used by one thread). False when in doubt, and by default.
  virtual bool CanReadAhead(std::string_view /*cp932_path*/) { return false; }
};

// The real file system of the process.
FileSystem& ProcessFileSystem();

}  // namespace lpgm::platform

#endif  // LPGM_PLATFORM_FILE_SYSTEM_H_
