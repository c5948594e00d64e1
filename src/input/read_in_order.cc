#include "input/read_in_order.h"

#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace lpgm {
namespace {

class InOrderReading {
 public:
  InOrderReading(int count, const std::function<void(int)>& read)
      : count_(count), read_(read), failures_(static_cast<unsigned>(count)) {}

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
    if (first_failure_ != 0) {
      std::rethrow_exception(failures_[Index(first_failure_)]);
    }
  }

 private:
  static unsigned Index(int item) { return static_cast<unsigned>(item - 1); }

  // The next item to read, or 0 when all are handed out or one has failed.
  int Claim() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (next_ > count_ || first_failure_ != 0) return 0;
    return next_++;
  }

  void Fail(int item, std::exception_ptr failure) {
    std::lock_guard<std::mutex> lock(mutex_);
    failures_[Index(item)] = std::move(failure);
    if (first_failure_ == 0 || item < first_failure_) first_failure_ = item;
  }

  const int count_;
  const std::function<void(int)>& read_;
  std::mutex mutex_;
  int next_ = 1;
  int first_failure_ = 0;  // 0: none yet
  std::vector<std::exception_ptr> failures_;
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
