// The error stop: every failure that the system detects itself ends the run
// through it, and every message text of those checks is built here. The
// message (CP932, without a line end) is shown on the console, one line is
// read and discarded, and the run ends with exit status 1. The stop travels
// up to the driver as a RunStop; the input file being read when it is raised
// (the definition file or a folder's file) is closed on the way.
#ifndef LPGM_STATE_ERROR_STOP_H_
#define LPGM_STATE_ERROR_STOP_H_

#include <string>
#include <string_view>

namespace lpgm {

class RunStop;

// Why the system stopped, one reason for each of its own checks, so that
// a stop is told apart without reading its message.
enum class StopReason {
  kNone,          // not an error stop: a record-layer failure
  kCannotOpen,    // NotExistMessage
  kCountError,    // CountErrorMessage
  kFaultLine,     // FaultLineErrorMessage
  kCaseLine,      // CaseLineErrorMessage
  kFaultMissing,  // FaultMissingMessage
  kCaseMissing,   // CaseMissingMessage
  kSampleCount,   // SampleCountMessage
};

// Throws the error stop with `message` for `reason`. Does not return.
[[noreturn]] void StopWithMessage(StopReason reason, std::string message);

// The reason an error stop was raised for; kNone for a record-layer failure.
StopReason ReasonOf(const RunStop& stop);

// `path` + " not exist ! [Enter]": a file that cannot be opened.
std::string NotExistMessage(std::string_view path);
// "Fault number or Case number Error ! [Enter]".
std::string CountErrorMessage();
// "Fault data line no.<k>Error ! [Enter]": line k of the fault list names a
// slot outside 1 to NFAULT.
std::string FaultLineErrorMessage(int k);
// "Case data line no.<k>Error ! [Enter]".
std::string CaseLineErrorMessage(int k);
// "Fault data no.<k> not exist ! [Enter]": no line named fault slot k.
std::string FaultMissingMessage(int k);
// "Case data no.<k> not exist ! [Enter]".
std::string CaseMissingMessage(int k);
// `path` + " sample number Error ! [Enter]": a sample count above capacity.
std::string SampleCountMessage(std::string_view path);

}  // namespace lpgm

#endif  // LPGM_STATE_ERROR_STOP_H_
