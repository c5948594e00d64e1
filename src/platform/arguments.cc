#include "platform/arguments.h"

namespace lpgm::platform {
namespace {

std::vector<std::string> Unchanged(int argc, char** argv) {
  if (argc < 1) return {};
  return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace

std::vector<std::string> ConsoleArguments(int argc, char** argv) {
  return Unchanged(argc, argv);
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return Unchanged(argc, argv);
}

}  // namespace lpgm::platform
