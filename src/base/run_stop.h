// The one exception type that ends a run early, and the diagnostics of the
// record layer.
//
// A run ends early in one of two ways: an error stop, for the failures the
// system detects itself (a message on the console, a pause for Enter), and a
// record-layer failure, for every read, write or open that fails without a
// check of its own (one diagnostic line on the standard error stream). Both
// travel as a RunStop up to the program's driver, which alone ends the
// process. Text only: it sits below the run state, so that every folder may
// raise and catch it without linking the record layer.
#ifndef LPGM_BASE_RUN_STOP_H_
#define LPGM_BASE_RUN_STOP_H_

#include <exception>
#include <string>
#include <string_view>

namespace lpgm {

// Error numbers of the record layer.
inline constexpr int kErrPermission = 9;
inline constexpr int kErrEndOfFile = 24;
inline constexpr int kErrOpenFailure = 30;
inline constexpr int kErrWrite = 38;
inline constexpr int kErrRead = 39;
inline constexpr int kErrBadFileName = 43;
inline constexpr int kErrListSyntax = 59;
inline constexpr int kErrConversion = 64;

class RunStop : public std::exception {
 public:
  // kMessage: an error stop, shown as its message on the console.
  // kRecordFailure: shown as one diagnostic line on the standard error.
  enum class Kind { kMessage, kRecordFailure };

  // Builds an error stop with its console message (CP932, no line end) and
  // the code of its reason (the error stop's own numbering, 0: none given).
  static RunStop MessageStop(std::string message, int reason = 0);
  // Builds a record-layer failure: error number, channel number (the
  // program's own numbering) and the file's name as the system composed it
  // (CP932).
  // `line` is the line of the file the failure concerns, 0 when unknown;
  // it is not part of the diagnostic.
  static RunStop RecordFailure(int number, int unit, std::string file,
                               long line = 0);

  Kind kind() const { return kind_; }
  int number() const { return number_; }
  int unit() const { return unit_; }
  const std::string& file() const { return file_; }
  long line() const { return line_; }
  // The error stop's reason code; 0 for a record-layer failure.
  int reason() const { return reason_; }
  // The error stop's message, or the record failure's diagnostic line.
  const std::string& message() const { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  RunStop() = default;
  Kind kind_ = Kind::kMessage;
  int number_ = 0;
  int unit_ = 0;
  long line_ = 0;
  int reason_ = 0;
  std::string file_;
  std::string message_;
};

// The message of an error number with the channel and the file filled in,
// e.g. "end-of-file during read, unit 13, file case1\加速度波形.acc".
std::string ErrorMessage(int number, int unit, std::string_view file);

// The whole diagnostic line, without a line end:
// "lpgm: severe (24): end-of-file during read, unit 13, file ...".
std::string DiagnosticLine(int number, int unit, std::string_view file);

}  // namespace lpgm

#endif  // LPGM_BASE_RUN_STOP_H_
