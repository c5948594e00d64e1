// lpgm-prepare --definition FILE [--title TEXT] --faults FOLDER...
//              --cases FOLDER... [--force]
// writes the definition file lpgm reads for those folders
// (definition_writer.h), after checking that each fault folder holds
// Korvel長周期.csv and each case folder 加速度波形.acc.
#ifndef LPGM_PREPARE_DEFINITION_COMMAND_H_
#define LPGM_PREPARE_DEFINITION_COMMAND_H_

#include <span>
#include <string_view>

#include "prepare/prepare.h"

namespace lpgm::prepare {

// True when the arguments ask for a definition file (--definition given).
bool IsDefinitionCommand(std::span<const std::string_view> args);

// Runs that command: 0 when the file was written (one line on standard
// output), 2 when a folder lacks its file, lpgm could not hold the lists or
// the file cannot be written (an error on standard error, nothing written;
// an existing file is replaced only with --force), 64 for a usage error.
int RunDefinitionCommand(std::span<const std::string_view> args,
                         PrepareEnvironment& env);

}  // namespace lpgm::prepare

#endif  // LPGM_PREPARE_DEFINITION_COMMAND_H_
