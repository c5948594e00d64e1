// One item of a read's list: a whole number, a real or a fixed-length text,
// single or as an array. A read takes a list of items and fills their
// variables in order.
#ifndef LPGM_RECORD_LIST_ITEM_H_
#define LPGM_RECORD_LIST_ITEM_H_

#include <cstddef>
#include <cstdint>

#include "base/text_field.h"

namespace lpgm {

struct ListItem {
  enum class Kind : std::uint8_t { kInteger, kReal, kText };
  Kind kind;
  void* data;
  std::size_t count;        // number of variables in the array
  std::size_t text_length;  // positions of each text variable
  std::size_t stride = 1;   // distance between reals of an array, in reals

  static ListItem Integer(std::int32_t* v, std::size_t n = 1) {
    return {Kind::kInteger, v, n, 0, 1};
  }
  static ListItem Real(double* v, std::size_t n = 1, std::size_t stride = 1) {
    return {Kind::kReal, v, n, 0, stride};
  }
  template <std::size_t N>
  static ListItem Text(TextField<N>* v) {
    return {Kind::kText, v->data(), 1, N, 1};
  }
  static ListItem Text(char* v, std::size_t length) {
    return {Kind::kText, v, 1, length, 1};
  }
};

}  // namespace lpgm

#endif  // LPGM_RECORD_LIST_ITEM_H_
