// The response spectra of many records at once, as one process: the engine's
// benchmark (bench/spectra.sh times it from spawn to exit beside numpy).
//
//   lpgm_spectra_bench RECORDS.f64 COUNT DT OUT.f64 [--kernel K] [--threads N]
//
// RECORDS.f64 holds COUNT records of equal length, little-endian doubles in
// cm/s2, one after another. OUT.f64 gets Sd, Sv, Sa for each record and each
// of the 55 periods (0.1 to 10 s, log-spaced, 4 decimals) at h = 0.05.
// Prints one line: records, samples, oscillator steps, kernel, threads and
// the time of the computation alone.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "compute/response_spectrum.h"
#include "platform/kernel.h"
#include "platform/processors.h"

namespace {

std::vector<lpgm::Oscillator> Grid() {
  std::vector<lpgm::Oscillator> grid;
  for (int k = 0; k < 55; ++k) {
    const double t = std::pow(10.0, -1.0 + 2.0 * k / 54.0);
    grid.push_back({std::round(t * 1e4) / 1e4, 0.05});
  }
  return grid;
}

int Usage() {
  std::fputs(
      "usage: lpgm_spectra_bench RECORDS.f64 COUNT DT OUT.f64 "
      "[--kernel scalar|sse2|avx2] [--threads N]\n",
      stderr);
  return 64;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) return Usage();
  const std::size_t count = std::strtoul(argv[2], nullptr, 10);
  const double dt = std::strtod(argv[3], nullptr);
  lpgm::SpectrumOptions options;
  options.kernel = lpgm::platform::BestKernel();
  int threads = lpgm::platform::UsableProcessors();
  for (int i = 5; i + 1 < argc; i += 2) {
    const std::string_view name = argv[i], value = argv[i + 1];
    if (name == "--threads") {
      threads = std::atoi(argv[i + 1]);
    } else if (name == "--kernel") {
      options.kernel = value == "avx2"   ? lpgm::platform::Kernel::kAvx2
                       : value == "sse2" ? lpgm::platform::Kernel::kSse2
                                         : lpgm::platform::Kernel::kScalar;
    } else {
      return Usage();
    }
  }
  std::ifstream in(argv[1], std::ios::binary | std::ios::ate);
  const auto size = static_cast<std::size_t>(in.tellg());
  if (!in || count == 0 || size % (8 * count) != 0) return Usage();
  std::vector<double> samples(size / 8);
  in.seekg(0);
  in.read(reinterpret_cast<char*>(samples.data()),
          static_cast<std::streamsize>(size));
  if (!in) return Usage();
  const std::size_t n = samples.size() / count;
  std::vector<lpgm::RecordSamples> records;
  for (std::size_t r = 0; r < count; ++r)
    records.push_back({std::span(samples).subspan(r * n, n), dt});
  const std::vector<lpgm::Oscillator> grid = Grid();
  std::vector<lpgm::SpectralPeaks> out(count * grid.size());
  const auto start = std::chrono::steady_clock::now();
  lpgm::ComputeSpectralPeaksOfRecords(records, grid, options, threads, out);
  const std::chrono::duration<double> took =
      std::chrono::steady_clock::now() - start;
  std::ofstream(argv[4], std::ios::binary)
      .write(reinterpret_cast<const char*>(out.data()),
             static_cast<std::streamsize>(out.size() * sizeof out[0]));
  std::printf(
      "%zu records x %zu samples x %zu periods = %.1f M steps, %s, "
      "%d threads: %.4f s computing\n",
      count, n, grid.size(), static_cast<double>(count * n * grid.size()) / 1e6,
      std::string(lpgm::platform::KernelName(options.kernel)).c_str(), threads,
      took.count());
  return 0;
}
