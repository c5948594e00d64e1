#include "base/run_stop.h"

#include <string>

namespace lpgm {

RunStop RunStop::MessageStop(std::string message, int reason) {
  RunStop stop;
  stop.kind_ = Kind::kMessage;
  stop.reason_ = reason;
  stop.message_ = std::move(message);
  return stop;
}

RunStop RunStop::RecordFailure(int number, int unit, std::string file,
                               long line) {
  RunStop stop;
  stop.line_ = line;
  stop.kind_ = Kind::kRecordFailure;
  stop.number_ = number;
  stop.unit_ = unit;
  stop.message_ = DiagnosticLine(number, unit, file);
  stop.file_ = std::move(file);
  return stop;
}

static const char* MessageHead(int number) {
  switch (number) {
    case kErrBadFileName:
      return "file name specification error";
    case kErrPermission:
      return "permission to access file denied";
    case kErrOpenFailure:
      return "open failure";
    case kErrEndOfFile:
      return "end-of-file during read";
    case kErrConversion:
      return "input conversion error";
    case kErrListSyntax:
      return "list-directed I/O syntax error";
    case kErrWrite:
      return "error during write";
    case kErrRead:
      return "error during read";
    default:
      return "I/O error";
  }
}

std::string ErrorMessage(int number, int unit, std::string_view file) {
  std::string text = MessageHead(number);
  text += ", unit ";
  text += std::to_string(unit);
  text += ", file ";
  text += file;
  return text;
}

std::string DiagnosticLine(int number, int unit, std::string_view file) {
  std::string line = "lpgm: severe (";
  line += std::to_string(number);
  line += "): ";
  line += ErrorMessage(number, unit, file);
  return line;
}

}  // namespace lpgm
