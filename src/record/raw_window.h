// A view of the input channel's buffer, for scanners that look at many bytes
// at a time instead of one Get at a time.
//
// Contract between the channel and a scanner:
// - The bytes are the stream's own: a record end is among them as '\n' or
//   "\r\n", and a '\r' not followed by '\n' is data.
// - The view is valid until the channel is next used (any Get, Peek, Window,
//   Buffered or BeginRecord may move the buffer).
// - A scanner takes bytes with InputChannel::Consume, counted from `begin`.
//   It may take a record end only where a byte follows it in the view: the
//   record then entered is one that exists, and the channel stays inside a
//   record. A record end at the end of the view is left to Get.
// - `stream_ended` says that nothing follows `end`. A view shorter than
//   asked for is no sign of this by itself, since the buffer may be smaller
//   than the request.
#ifndef LPGM_RECORD_RAW_WINDOW_H_
#define LPGM_RECORD_RAW_WINDOW_H_

#include <cstddef>

namespace lpgm {

struct RawWindow {
  const char* begin;
  const char* end;
  bool stream_ended;

  std::size_t size() const { return static_cast<std::size_t>(end - begin); }
};

}  // namespace lpgm

#endif  // LPGM_RECORD_RAW_WINDOW_H_
