// Variables that a read fills: whole numbers, reals and fixed-length texts,
// single or as arrays. A read takes a list of them and fills them in order.
#ifndef LPGM_RECORD_VARIABLES_H_
#define LPGM_RECORD_VARIABLES_H_

#include <cstddef>
#include <cstdint>

#include "record/text_field.h"

namespace lpgm {

struct Variables {
  enum class Kind : std::uint8_t { kInteger, kReal, kText };
  Kind kind;
  void* data;
  std::size_t count;        // number of variables in the array
  std::size_t text_length;  // positions of each text variable
  std::size_t stride = 1;   // distance between reals of an array, in reals

  static Variables Integer(std::int32_t* v, std::size_t n = 1) {
    return {Kind::kInteger, v, n, 0, 1};
  }
  static Variables Real(double* v, std::size_t n = 1, std::size_t stride = 1) {
    return {Kind::kReal, v, n, 0, stride};
  }
  template <std::size_t N>
  static Variables Text(TextField<N>* v) {
    return {Kind::kText, v->data(), 1, N, 1};
  }
  static Variables Text(char* v, std::size_t length) {
    return {Kind::kText, v, 1, length, 1};
  }
};

}  // namespace lpgm

#endif  // LPGM_RECORD_VARIABLES_H_
