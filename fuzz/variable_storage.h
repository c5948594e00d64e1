// Variables of a read with guard slots around them: every slot that is no
// variable of the list must keep its pattern, and two reads of the same
// stream can be compared byte for byte.
#ifndef LPGM_FUZZ_VARIABLE_STORAGE_H_
#define LPGM_FUZZ_VARIABLE_STORAGE_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "record/list_item.h"

namespace lpgm::fuzz {

inline constexpr std::size_t kGuard = 4;  // untouchable slots on each side
inline constexpr std::uint64_t kRealPattern = 0x7ff8dead00000000ull;
inline constexpr std::int32_t kIntPattern = -0x2468ace;
inline constexpr char kTextPattern = 'Q';
inline constexpr char kGuardByte = '#';

// One storage area: a variable (or array) with guard slots on both sides.
struct RealArea {
  std::vector<double> slots;
  std::size_t count = 0;
  std::size_t stride = 1;
  double* first() { return slots.data() + kGuard; }
};
struct IntArea {
  std::vector<std::int32_t> slots;
  std::size_t count = 0;
  std::int32_t* first() { return slots.data() + kGuard; }
};
struct TextArea {
  std::vector<char> bytes;
  std::size_t length = 0;
  char* first() { return bytes.data() + kGuard; }
};

inline double PatternReal(std::size_t i) {
  std::uint64_t bits = kRealPattern | i;
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

// The variables of one read list, in list order.
class Storage {
 public:
  void AddReals(std::size_t count, std::size_t stride) {
    RealArea a;
    a.count = count;
    a.stride = stride;
    std::size_t span = (count - 1) * stride + 1;
    for (std::size_t i = 0; i < span + 2 * kGuard; ++i)
      a.slots.push_back(PatternReal(i));
    reals_.push_back(std::move(a));
    order_.push_back({'R', reals_.size() - 1});
  }
  void AddIntegers(std::size_t count) {
    IntArea a;
    a.count = count;
    a.slots.assign(count + 2 * kGuard, kIntPattern);
    ints_.push_back(std::move(a));
    order_.push_back({'I', ints_.size() - 1});
  }
  void AddText(std::size_t length) {
    TextArea a;
    a.length = length;
    a.bytes.assign(length + 2 * kGuard, kGuardByte);
    std::memset(a.first(), kTextPattern, length);
    texts_.push_back(std::move(a));
    order_.push_back({'T', texts_.size() - 1});
  }

  std::vector<ListItem> List() {
    std::vector<ListItem> list;
    for (auto [kind, index] : order_) {
      if (kind == 'R') {
        RealArea& a = reals_[index];
        list.push_back(ListItem::Real(a.first(), a.count, a.stride));
      } else if (kind == 'I') {
        IntArea& a = ints_[index];
        list.push_back(ListItem::Integer(a.first(), a.count));
      } else {
        TextArea& a = texts_[index];
        list.push_back(ListItem::Text(a.first(), a.length));
      }
    }
    return list;
  }

  RealArea& reals(std::size_t i) { return reals_[i]; }
  IntArea& integers(std::size_t i) { return ints_[i]; }
  TextArea& text(std::size_t i) { return texts_[i]; }

  // Every slot that is no variable of the list must be as it was.
  void CheckUntouched() const {
    for (const RealArea& a : reals_) {
      for (std::size_t i = 0; i < a.slots.size(); ++i) {
        bool variable = i >= kGuard && (i - kGuard) % a.stride == 0 &&
                        (i - kGuard) / a.stride < a.count;
        if (variable) continue;
        std::uint64_t bits;
        std::memcpy(&bits, &a.slots[i], sizeof bits);
        Check(bits == (kRealPattern | i), "a real outside the list changed");
      }
    }
    for (const IntArea& a : ints_) {
      for (std::size_t i = 0; i < kGuard; ++i) {
        Check(a.slots[i] == kIntPattern, "integer guard changed");
        Check(a.slots[kGuard + a.count + i] == kIntPattern,
              "integer guard changed");
      }
    }
    for (const TextArea& a : texts_) {
      for (std::size_t i = 0; i < kGuard; ++i) {
        Check(a.bytes[i] == kGuardByte, "text written before its variable");
        Check(a.bytes[kGuard + a.length + i] == kGuardByte,
              "text written past its length");
      }
      Check(std::memchr(a.bytes.data() + kGuard, '\n', a.length) == nullptr,
            "a line feed inside a text variable");
    }
  }

  // All storage bytes, for comparing two reads.
  std::string Image() const {
    std::string image;
    for (const RealArea& a : reals_)
      image.append(reinterpret_cast<const char*>(a.slots.data()),
                   a.slots.size() * sizeof(double));
    for (const IntArea& a : ints_)
      image.append(reinterpret_cast<const char*>(a.slots.data()),
                   a.slots.size() * sizeof(std::int32_t));
    for (const TextArea& a : texts_)
      image.append(a.bytes.data(), a.bytes.size());
    return image;
  }

 private:
  std::vector<RealArea> reals_;
  std::vector<IntArea> ints_;
  std::vector<TextArea> texts_;
  std::vector<std::pair<char, std::size_t>> order_;
};

// Calls f with the list as the braced list that the reads take.
template <typename F>
void WithList(const std::vector<ListItem>& v, F f) {
  switch (v.size()) {
    case 0:
      f({});
      break;
    case 1:
      f({v[0]});
      break;
    case 2:
      f({v[0], v[1]});
      break;
    case 3:
      f({v[0], v[1], v[2]});
      break;
    case 4:
      f({v[0], v[1], v[2], v[3]});
      break;
    case 5:
      f({v[0], v[1], v[2], v[3], v[4]});
      break;
    case 6:
      f({v[0], v[1], v[2], v[3], v[4], v[5]});
      break;
    default:
      Fail("list too long");
  }
}

}  // namespace lpgm::fuzz

#endif  // LPGM_FUZZ_VARIABLE_STORAGE_H_
