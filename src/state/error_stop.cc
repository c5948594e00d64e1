#include "state/error_stop.h"

#include "base/run_stop.h"

namespace lpgm {
namespace {

// `head` + k in decimal + `tail`.
std::string WithNumber(const char* head, int k, const char* tail) {
  return head + std::to_string(k) + tail;
}

std::string WithPath(std::string_view path, const char* tail) {
  std::string message(path);
  message += tail;
  return message;
}

}  // namespace

void StopWithMessage(StopReason reason, std::string message) {
  throw RunStop::MessageStop(std::move(message), static_cast<int>(reason));
}

StopReason ReasonOf(const RunStop& stop) {
  if (stop.kind() != RunStop::Kind::kMessage) return StopReason::kNone;
  return static_cast<StopReason>(stop.reason());
}

std::string NotExistMessage(std::string_view path) {
  return WithPath(path, " not exist ! [Enter]");
}

std::string CountErrorMessage() {
  return "Fault number or Case number Error ! [Enter]";
}

std::string FaultLineErrorMessage(int k) {
  return WithNumber("Fault data line no.", k, "Error ! [Enter]");
}

std::string CaseLineErrorMessage(int k) {
  return WithNumber("Case data line no.", k, "Error ! [Enter]");
}

std::string FaultMissingMessage(int k) {
  return WithNumber("Fault data no.", k, " not exist ! [Enter]");
}

std::string CaseMissingMessage(int k) {
  return WithNumber("Case data no.", k, " not exist ! [Enter]");
}

std::string SampleCountMessage(std::string_view path) {
  return WithPath(path, " sample number Error ! [Enter]");
}

}  // namespace lpgm
