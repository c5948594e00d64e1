// lpgm-match's readers and its match over arbitrary inputs held in memory.
// The input is split at the first "@@\n" into the target file and the phase
// file. Every input must end in a value: a target and a phase record that
// meet the readers' promises (periods increasing, values and samples
// finite, at most 100000 samples), or a problem that names the file; and
// what reads is matched (a few iterations, the record cut short to keep a
// run fast) into finite figures.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <variant>

#include "compute/spectral_match.h"
#include "fuzz_support.h"
#include "match/match_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using lpgm::fuzz::Check;
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = all.find("@@\n");
  const std::string_view target_bytes = all.substr(0, cut);
  const std::string_view phase_bytes =
      cut == std::string_view::npos ? std::string_view() : all.substr(cut + 3);
  auto target = lpgm::match::ParseTarget(target_bytes, "t");
  auto phase = lpgm::match::ParsePhase(phase_bytes, "p");
  if (const auto* p = std::get_if<lpgm::match::InputProblem>(&target))
    Check(p->file == "t" && !p->message.empty(), "target problem named");
  if (const auto* p = std::get_if<lpgm::match::InputProblem>(&phase))
    Check(p->file == "p" && !p->message.empty(), "phase problem named");
  const auto* t = std::get_if<lpgm::match::TargetSpectrum>(&target);
  const auto* r = std::get_if<lpgm::match::PhaseRecord>(&phase);
  if (r != nullptr) {
    Check(!r->acc.empty() && r->acc.size() <= 100000, "sample count");
    for (const double a : r->acc) Check(std::isfinite(a), "finite sample");
  }
  if (t == nullptr || r == nullptr) return 0;
  for (std::size_t k = 1; k < t->periods.size(); ++k)
    Check(t->periods[k] > t->periods[k - 1], "periods increase");
  lpgm::MatchTarget mt;
  mt.periods = t->periods;
  mt.values = t->values;
  lpgm::MatchOptions options;
  options.iterations = 2;
  const std::size_t n = std::min<std::size_t>(r->acc.size(), 2000);
  const std::span<const double> acc(r->acc.data(), n);
  // Periods far beyond a short record make the padding huge: keep a run
  // small by leaving those out, as they are the reader's concern only.
  if (mt.periods.back() > 100.0 || !(r->dt >= 0.001)) return 0;
  if (!lpgm::MatchRequestError(acc, r->dt, mt, options).empty()) return 0;
  const lpgm::MatchResult m = lpgm::MatchGround(acc, r->dt, mt, options);
  Check(m.acc.size() == n, "length kept");
  Check(!std::isnan(m.fit.mean_ratio), "figures are numbers");
  return 0;
}
