// lpgm-prepare: converts a strong-motion record into a case file of lpgm.
#include <string>
#include <string_view>
#include <vector>

#include "platform/arguments.h"
#include "platform/console.h"
#include "prepare/console_host.h"
#include "prepare/host.h"
#include "prepare/prepare.h"

int main(int argc, char** argv) {
  const std::vector<std::string> text =
      lpgm::platform::Utf8Arguments(argc, argv);
  std::vector<std::string_view> args(text.begin(), text.end());
  lpgm::prepare::ConsoleHost host(lpgm::prepare::ProcessHost(),
                                  lpgm::platform::ProcessConsole());
  return lpgm::prepare::RunPrepare(args, host);
}
