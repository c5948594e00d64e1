// The checker's report on the largest input (6 faults, 21 cases of 100000
// samples): the whole page, and the reduction of one record to pixel
// columns that dominates it.
#include <benchmark/benchmark.h>

#include <sstream>

#include "check/html_report.h"
#include "check/min_max_columns.h"
#include "check/synthetic_result.h"

namespace {

using lpgm::check::testing::MakeSyntheticResult;

void BM_WriteHtmlReportLargest(benchmark::State& state) {
  const auto sample = MakeSyntheticResult({6, 21, 100000, 3, false});
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::ostringstream out;
    lpgm::check::WriteHtmlReport(sample->result, out);
    bytes = out.str().size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["page_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_WriteHtmlReportLargest)->Unit(benchmark::kMillisecond);

void BM_MinMaxPerColumn100000(benchmark::State& state) {
  const auto sample = MakeSyntheticResult({1, 1, 100000, 3, false});
  const auto& vel = sample->vel[0];
  for (auto _ : state) {
    auto points = lpgm::check::MinMaxPerColumn(vel, 0, 0.02, 0, 2000, 550);
    benchmark::DoNotOptimize(points.data());
  }
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_MinMaxPerColumn100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
