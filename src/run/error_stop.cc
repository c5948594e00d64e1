#include "run/error_stop.h"

#include "record/failure.h"

namespace lpgm {

void ErrorStop(std::string message) {
  throw RunStop::ErrorStop(std::move(message));
}

std::string NotExistMessage(std::string_view path) {
  std::string message(path);
  message += " not exist ! [Enter]";
  return message;
}

}  // namespace lpgm
