// The record whose spectra are computed: a case file read by lpgm's own
// reader, or any record lpgm-prepare reads, through its readers, at the
// record's own time step.
#ifndef LPGM_SPECTRUM_RECORD_SOURCE_H_
#define LPGM_SPECTRUM_RECORD_SOURCE_H_

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/file_system.h"
#include "prepare/formats.h"
#include "spectrum/command_line.h"
#include "state/run_state.h"

namespace lpgm::spectrum {

struct GroundRecord {
  std::vector<double> acc;  // cm/s2, at least one sample
  double dt = 0.02;         // s
  std::string kind;         // "case file", "at2", "knet" or "table"
  double pga = 0.0;         // largest |acc|
};

// The whole content of a file named in UTF-8, or an error naming it.
std::variant<std::string, prepare::InputError> ReadWholeFile(
    platform::FileSystem& files, const std::string& utf8_name);

// Whether `utf8_name` is a case file: its name is 加速度波形.acc.
bool IsCaseFile(std::string_view utf8_name);

// Reads command.record: a case file by lpgm's reader (through case slot 1
// of `state`, left as it was found), anything else by lpgm-prepare's
// readers with the record options, then units and scale to cm/s2.
std::variant<GroundRecord, prepare::InputError> ReadGroundRecord(
    const Command& command, platform::FileSystem& files, RunState& state);

}  // namespace lpgm::spectrum

#endif  // LPGM_SPECTRUM_RECORD_SOURCE_H_
