// The acceleration record file of a case folder, as lpgm reads it.
#ifndef LPGM_PREPARE_ACC_WRITER_H_
#define LPGM_PREPARE_ACC_WRITER_H_

#include <span>
#include <string>
#include <vector>

namespace lpgm::prepare {

struct AccFile {
  std::string bytes;            // the whole file (ASCII, so also CP932)
  std::vector<double> written;  // each sample as lpgm will read it back
};

// The header line "NPTS,0.02" (the count, a comma, the step: what lpgm's
// (I20,F20.0) reads as the count and a dropped real), then the samples in
// cm/s2, 8 to a line, each rounded to 4 decimals (ties to even) and written
// after at least one blank in a field of 12, widened for a value that needs
// more; a value that rounds to zero is written 0.0000. Every line ends in
// CR LF. Needs finite samples.
AccFile FormatAccFile(std::span<const double> samples);

}  // namespace lpgm::prepare

#endif  // LPGM_PREPARE_ACC_WRITER_H_
