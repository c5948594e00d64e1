#include "output/ahead_formatter.h"

#include <new>
#include <system_error>

#include "platform/processors.h"

namespace lpgm {

bool HelperThreadPays() { return platform::UsableProcessors() > 1; }

AheadFormatter::AheadFormatter(int chunks, std::size_t chunk_bytes,
                               Format format, bool use_helper)
    : chunks_(chunks), chunk_bytes_(chunk_bytes), format_(std::move(format)) {
  if (!use_helper || chunks < 2) return;
  try {
    // The buffer of the previous file's chunks, when it has the capacity.
    buffers_.emplace(chunk_bytes * kSlots);
  } catch (const std::bad_alloc&) {
    return;  // the writer formats every chunk itself
  }
  try {
    helper_ = std::thread([this] { Work(); });
  } catch (const std::system_error&) {
    // No thread to be had: the writer formats every chunk itself.
  }
}

AheadFormatter::~AheadFormatter() {
  if (!helper_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  helper_.join();
}

char* AheadFormatter::SlotBuffer(int slot) const {
  return buffers_->get() + static_cast<std::size_t>(slot) * chunk_bytes_;
}

int AheadFormatter::ClaimSlot() {
  for (int s = 0; s < kSlots; ++s) {
    if (slots_[s].chunk < 0) return s;
  }
  return -1;
}

void AheadFormatter::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    int slot = -1;
    changed_.wait(lock, [&] {
      if (stop_ || next_ >= chunks_) return true;
      slot = ClaimSlot();
      return slot >= 0;
    });
    if (stop_ || next_ >= chunks_) return;
    const int chunk = next_++;
    slots_[slot] = Slot{chunk, false};
    lock.unlock();
    format_(chunk, SlotBuffer(slot));
    lock.lock();
    slots_[slot].ready = true;
    changed_.notify_all();
  }
}

const char* AheadFormatter::Take(int index) {
  if (!helper_.joinable()) return nullptr;
  std::unique_lock<std::mutex> lock(mutex_);
  if (next_ <= index) {
    next_ = index + 1;  // the caller's own
    return nullptr;
  }
  for (int s = 0; s < kSlots; ++s) {
    if (slots_[s].chunk == index) {
      changed_.wait(lock, [&] { return slots_[s].ready; });
      return SlotBuffer(s);
    }
  }
  return nullptr;  // not reached: a claimed chunk holds a slot until released
}

void AheadFormatter::Release(int index) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (Slot& slot : slots_) {
      if (slot.chunk == index) slot = Slot{};
    }
  }
  changed_.notify_all();
}

}  // namespace lpgm
