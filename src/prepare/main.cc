// lpgm-prepare: converts a strong-motion record into a case file of lpgm.
#include <string_view>
#include <vector>

#include "prepare/host.h"
#include "prepare/prepare.h"

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  return lpgm::prepare::RunPrepare(args, lpgm::prepare::ProcessHost());
}
