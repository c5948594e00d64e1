// The engine and lpgm-spectrum on the real strong-motion data beside the
// project (../shared/data/real, or $LPGM_REAL_DATA): PEER's published 5 %
// pseudo-acceleration of RSN8883, and the six fault files rebuilt from
// their AT2 records. Skipped when the data is absent.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "compute/response_spectrum.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "prepare/formats.h"
#include "spectrum/spectrum_program.h"
#include "state/run_state.h"
#include "support/memory_console.h"
#include "support/process_runner.h"

namespace lpgm::spectrum {
namespace {

std::string RealData() {
  if (const char* dir = std::getenv("LPGM_REAL_DATA")) return dir;
  return std::string(LPGM_SOURCE_DIR) + "/../shared/data/real";
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The numbers of the JSON array after `"key": [`, searching from `from`.
std::vector<double> JsonArray(const std::string& json, const std::string& key,
                              std::size_t from) {
  std::vector<double> values;
  std::size_t at = json.find("\"" + key + "\"", from);
  if (at == std::string::npos) return values;
  at = json.find('[', at) + 1;
  const std::size_t end = json.find(']', at);
  while (at < end) {
    char* stop = nullptr;
    const double v = std::strtod(json.c_str() + at, &stop);
    if (stop == json.c_str() + at) break;
    values.push_back(v);
    at = json.find_first_not_of(" \r\n\t,",
                                static_cast<std::size_t>(stop - json.c_str()));
  }
  return values;
}

std::string Gunzip(const std::string& path) {
  std::string text;
  std::FILE* pipe = popen(("gzip -dc '" + path + "'").c_str(), "r");
  if (pipe == nullptr) return text;
  char block[65536];
  std::size_t got;
  while ((got = std::fread(block, 1, sizeof block, pipe)) > 0)
    text.append(block, got);
  pclose(pipe);
  return text;
}

// PEER NGA-West2's 5 % PSA of both components of RSN8883 (in g, 5
// significant digits), at every period of 0.1 to 10 s, from the AT2 records
// at their own step: the exact integrator agrees to 1e-4.
TEST(SpectrumRealData, PeerPublishedPseudoAccelerationOfRsn8883) {
  const std::string dir = RealData() + "/original/arkottke_pyrotd";
  if (!std::filesystem::exists(dir)) GTEST_SKIP() << dir << " is absent";
  const std::string json = Gunzip(dir + "/peer_nga_west2.json.gz");
  const std::size_t entry = json.find("\"rsn\": 8883");
  ASSERT_NE(entry, std::string::npos);
  const std::vector<double> periods = JsonArray(json, "period", entry);
  const std::size_t at5 = json.find("\"damping\": 0.05", entry);
  const char* records[] = {"RSN8883_14383980_13849360.AT2",
                           "RSN8883_14383980_13849090.AT2"};
  const char* keys[] = {"h1", "h2"};
  for (int c = 0; c < 2; ++c) {
    const std::vector<double> psa = JsonArray(json, keys[c], at5);
    ASSERT_EQ(psa.size(), periods.size());
    auto read = prepare::ReadAt2(ReadText(dir + "/" + records[c]), records[c]);
    ASSERT_TRUE(std::holds_alternative<prepare::SourceRecord>(read));
    const auto& record = std::get<prepare::SourceRecord>(read);
    std::vector<Oscillator> grid;
    std::vector<double> published;
    for (std::size_t k = 0; k < periods.size(); ++k) {
      if (periods[k] < 0.1 - 1e-9 || periods[k] > 10.0 + 1e-9) continue;
      grid.push_back({periods[k], 0.05});
      published.push_back(psa[k]);
    }
    ASSERT_EQ(grid.size(), 79u);
    std::vector<SpectralPeaks> peaks(grid.size());
    SpectrumOptions options;
    options.kernel = platform::BestKernel();
    ComputeSpectralPeaks(record.values, record.dt, grid, options, peaks);
    for (std::size_t k = 0; k < grid.size(); ++k) {
      const double mine = PseudoAcceleration(peaks[k], grid[k].period);
      EXPECT_NEAR(mine / published[k], 1.0, 1e-4)
          << keys[c] << " T " << grid[k].period;
    }
  }
}

struct FaultSource {
  const char* fault;
  const char* record;
};
constexpr FaultSource kFaults[] = {
    {"F1", "RSN1180_CHICHI_CHY002-W.AT2"},
    {"F2", "RSN1476_CHICHI_TCU029-E.AT2"},
    {"F3", "RSN879_LANDERS_LCN345.AT2"},
    {"F4", "RSN1160_KOCAELI_FAT090.AT2"},
    {"F5", "RSN2110_DENALI_FAIGO360.AT2"},
    {"F6", "RSN1628_STELIAS_059V2090.AT2"},
};

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, ',')) fields.push_back(field);
  return fields;
}

// Units of the last decimal of `written` between it and `mine`.
double UnitsApart(const std::string& written, const std::string& mine) {
  const std::size_t point = written.find('.');
  const int decimals = point == std::string::npos
                           ? 0
                           : static_cast<int>(written.size() - point - 1);
  return std::fabs(std::stod(written) - std::stod(mine)) *
         std::pow(10.0, decimals);
}

// Every field of the six fault files, rebuilt by lpgm-spectrum --fault-file
// from the AT2 records they were made from, at most one unit of the last
// decimal apart (written with the same decimals).
TEST(SpectrumRealData, RebuildsTheSixFaultFiles) {
  const std::string real = RealData();
  if (!std::filesystem::exists(real + "/faults"))
    GTEST_SKIP() << real << " is absent";
  testing::TempDir out;
  for (const FaultSource& f : kFaults) {
    const std::string record =
        real + "/original/NHERI-SimCenter_EE-UQ/" + f.record;
    const std::string written = out.path() + "/" + f.fault + ".csv";
    const std::string_view args[] = {"--fault-file", record, "-o", written};
    testing::MemoryConsole console("");
    SpectrumEnvironment env{platform::ProcessFileSystem(), console,
                            ProcessRunState(), platform::BestKernel(), 2};
    ASSERT_EQ(RunSpectrum(args, env), kExitOk) << console.errors();
    std::ifstream reference(real + "/faults/" + f.fault + "/Korvel長周期.csv",
                            std::ios::binary);
    std::ifstream mine(written, std::ios::binary);
    std::string a, b;
    int line = 0;
    while (std::getline(reference, a)) {
      ASSERT_TRUE(std::getline(mine, b)) << f.fault << " ends at line " << line;
      if (++line <= 9) continue;
      const std::vector<std::string> x = Fields(a), y = Fields(b);
      ASSERT_EQ(x.size(), 28u);
      ASSERT_EQ(y.size(), 28u) << f.fault << " line " << line;
      for (std::size_t k = 0; k < 28; ++k)
        EXPECT_LE(UnitsApart(x[k], y[k]), 1.0 + 1e-6)
            << f.fault << " line " << line << " field " << k + 1 << ": " << x[k]
            << " vs " << y[k];
    }
    EXPECT_EQ(line, 64) << f.fault;
    EXPECT_FALSE(std::getline(mine, b)) << f.fault << " has more lines";
  }
}

}  // namespace
}  // namespace lpgm::spectrum
