#include "input/read_in_order.h"

#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace lpgm {
namespace {

class InOrderReading {
 public:
  InOrderReading(int count, const std::function<void(int)>& read)
      : count_(count), read_(read) {}

  // Reads items until none is left to hand out.
  void Work() {
    for (int item = Claim(); item != 0; item = Claim()) {
      try {
        read_(item);
      } catch (...) {
        Fail(item, std::current_exception());
      }
    }
  }

  void RethrowFirstFailure() const {
    if (first_failure_ != 0) std::rethrow_exception(failure_);
  }

 private:
  // The next item to read, or 0 when all are handed out or one has failed.
  int Claim() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (next_ > count_ || first_failure_ != 0) return 0;
    return next_++;
  }

  // Only the lowest failed item's failure is kept: it is the one reported.
  void Fail(int item, std::exception_ptr failure) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (first_failure_ != 0 && first_failure_ < item) return;
    first_failure_ = item;
    failure_ = std::move(failure);
  }

  const int count_;
  const std::function<void(int)>& read_;
  std::mutex mutex_;
  int next_ = 1;
  int first_failure_ = 0;  // 0: none yet
  std::exception_ptr failure_;
};

}  // namespace

void ReadInOrder(int count, const std::function<void(int)>& read,
                 bool use_helper) {
  if (!use_helper || count < 2) {
    for (int item = 1; item <= count; ++item) read(item);
    return;
  }
  InOrderReading reading(count, read);
  std::thread helper;
  try {
    helper = std::thread([&reading] { reading.Work(); });
  } catch (const std::system_error&) {
    // No second thread to be had: this one reads every item.
  }
  reading.Work();
  if (helper.joinable()) helper.join();
  reading.RethrowFirstFailure();
}

}  // namespace lpgm
