// How a call into the readers ended, as one comparable string: "returned",
// "stop: <message>" for an error stop, or "failure <number> unit <unit> file
// <name>" for a record-layer failure.
#ifndef LPGM_TESTS_SUPPORT_OUTCOME_H_
#define LPGM_TESTS_SUPPORT_OUTCOME_H_

#include <string>

#include "record/failure.h"

namespace lpgm::testing {

template <typename Call>
std::string Outcome(Call call) {
  try {
    call();
  } catch (const RunStop& stop) {
    if (stop.kind() == RunStop::Kind::kMessage)
      return "stop: " + stop.message();
    return "failure " + std::to_string(stop.number()) + " unit " +
           std::to_string(stop.unit()) + " file " + stop.file();
  }
  return "returned";
}

}  // namespace lpgm::testing

#endif  // LPGM_TESTS_SUPPORT_OUTCOME_H_
