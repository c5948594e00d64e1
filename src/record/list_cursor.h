// The position of a read in its list: which item, and which variable of it.
#ifndef LPGM_RECORD_LIST_CURSOR_H_
#define LPGM_RECORD_LIST_CURSOR_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "record/list_item.h"

namespace lpgm {

// Walks the variables of a list in order. Items without variables (an array
// of none) are passed over, so that item() is always one with a variable
// left, until done().
class ListCursor {
 public:
  ListCursor(const ListItem* begin, const ListItem* end)
      : it_(begin), end_(end) {
    SkipFilledItems();
  }
  bool done() const { return it_ == end_; }
  const ListItem& item() const { return *it_; }
  std::size_t left_in_item() const { return it_->count - k_; }
  // Moves n variables on; what is left when the list ends is counted as
  // passed the list's end.
  void Advance(std::size_t n) {
    while (n > 0 && !done()) {
      std::size_t step = std::min(n, left_in_item());
      k_ += step;
      n -= step;
      SkipFilledItems();
    }
    past_end_ += n;
  }
  // The variables moved over since `begin`, the list's first item.
  std::size_t taken(const ListItem* begin) const {
    std::size_t n = 0;
    for (const ListItem* p = begin; p != it_; ++p) n += p->count;
    return done() ? n : n + k_;
  }
  // Values that a repeat count gave beyond the list's last variable.
  std::size_t past_end() const { return past_end_; }
  double* real() const {
    return static_cast<double*>(it_->data) + k_ * it_->stride;
  }
  std::int32_t* integer() const {
    return static_cast<std::int32_t*>(it_->data) + k_;
  }
  char* text() const {
    return static_cast<char*>(it_->data) + k_ * it_->text_length;
  }

 private:
  void SkipFilledItems() {
    while (it_ != end_ && k_ >= it_->count) {
      ++it_;
      k_ = 0;
    }
  }
  const ListItem* it_;
  const ListItem* end_;
  std::size_t k_ = 0;
  std::size_t past_end_ = 0;
};

}  // namespace lpgm

#endif  // LPGM_RECORD_LIST_CURSOR_H_
