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
  // Ends the stream after the bytes written: an existing regular file that
  // was longer is cut there, so that it holds exactly what this run wrote
  // (also when the stream is destroyed without Close after a write; a file
  // never written to and never closed keeps its content).
  // Returns false when the platform reports a failure (a delayed write
  // error, for instance).
  virtual bool Close() { return true; }
};

}  // namespace lpgm::platform

#endif  // LPGM_PLATFORM_STREAM_H_
