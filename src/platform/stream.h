// Byte streams: the only view of files and the console that the record layer
// has. Implementations live in the platform layer (real files, the console)
// and in tests (memory buffers, streams that fail on demand).
#ifndef LPGM_PLATFORM_STREAM_H_
#define LPGM_PLATFORM_STREAM_H_

#include <cstddef>

namespace lpgm::platform {

class InputStream {
 public:
  virtual ~InputStream() = default;
  // Reads up to `size` bytes into `buffer`. Returns the number of bytes read,
  // 0 at the end of the stream, or -1 when the platform fails the read.
  virtual long Read(char* buffer, std::size_t size) = 0;
};

class OutputStream {
 public:
  virtual ~OutputStream() = default;
  // Writes all `size` bytes or fails; returns false on failure.
  virtual bool Write(const char* data, std::size_t size) = 0;
  // Called once, before the first byte of the stream is written: cuts an
  // existing regular file to length zero, so that the file ends up holding
  // exactly what this run writes. Returns false on failure.
  virtual bool BeginWriting() { return true; }
  // Releases the stream. Returns false when the platform reports a failure
  // (a delayed write error, for instance).
  virtual bool Close() { return true; }
};

}  // namespace lpgm::platform

#endif  // LPGM_PLATFORM_STREAM_H_
