// A second thread that formats the chunks of one output file ahead of the
// thread that writes it.
//
// A file's bytes are cut into numbered chunks that can be formatted
// independently. The writing thread takes them in order 0, 1, 2, ...; the
// helper thread meanwhile claims the next chunks nobody has claimed and
// formats them into buffers of its own (at most kSlots ahead). When the
// writer comes to a chunk the helper has not claimed, the writer formats it
// itself, so each chunk is formatted exactly once and the two threads share
// the formatting as their speeds allow. Writing, and with it every failure,
// stays on the writing thread; the helper only formats.
//
// The helper is started only when the process may run on more than one
// processor; otherwise every chunk is the writer's and nothing changes.
#ifndef LPGM_OUTPUT_AHEAD_FORMATTER_H_
#define LPGM_OUTPUT_AHEAD_FORMATTER_H_

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "record/channel_buffer.h"

namespace lpgm {

class AheadFormatter {
 public:
  // Formats chunk `index` into out[0, chunk_bytes); must not throw.
  using Format = std::function<void(int index, char* out)>;
  static constexpr int kSlots = 3;

  // Starts the helper for `chunks` chunks of at most `chunk_bytes` bytes
  // when `use_helper` is set and a thread and its buffers can be had.
  AheadFormatter(int chunks, std::size_t chunk_bytes, Format format,
                 bool use_helper);
  // Stops the helper (also when the writer gave up early) and waits for it.
  ~AheadFormatter();
  AheadFormatter(const AheadFormatter&) = delete;
  AheadFormatter& operator=(const AheadFormatter&) = delete;

  bool has_helper() const { return helper_.joinable(); }

  // Chunk `index`, taken in order from 0: the helper's bytes of it, valid
  // until Release(index), or nullptr when the caller is to format it.
  const char* Take(int index);
  // The helper's buffer of chunk `index` (taken, not null) is free again.
  void Release(int index);

 private:
  struct Slot {
    int chunk = -1;  // -1: free
    bool ready = false;
  };
  void Work();
  int ClaimSlot();  // with the lock held; -1 when none is free
  char* SlotBuffer(int slot) const;

  const int chunks_;
  const std::size_t chunk_bytes_;
  const Format format_;
  std::optional<ChannelBuffer> buffers_;  // kSlots chunks
  std::mutex mutex_;
  std::condition_variable changed_;
  Slot slots_[kSlots];
  int next_ = 0;  // the first chunk nobody has claimed
  bool stop_ = false;
  std::thread helper_;
};

// Whether a helper thread can pay off: more than one usable processor.
bool HelperThreadPays();

}  // namespace lpgm

#endif  // LPGM_OUTPUT_AHEAD_FORMATTER_H_
