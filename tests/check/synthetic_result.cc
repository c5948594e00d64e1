#include "check/synthetic_result.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <numeric>
#include <random>

#include "check/spectrum_fit.h"

namespace lpgm::check::testing {
namespace {

constexpr double kDt = 0.02;

void AddFaults(const SyntheticShape& shape, std::mt19937& rng, CheckResult& r) {
  std::uniform_real_distribution<double> scale(0.5, 2.0);
  for (int j = 0; j < 55; ++j) r.period.push_back(0.1 * std::pow(1.089, j));
  r.srss.assign(55, 0.0);
  for (int i = 1; i <= shape.faults; ++i) {
    FaultSummary f;
    f.fault = i;
    f.folder = "faults\\F" + std::to_string(i);
    if (shape.awkward_names && i == 1) f.folder = "faults\\<F&1>";
    f.read_ok = true;
    f.rows = 55;
    f.period = r.period;
    const double s = scale(rng);
    for (double t : r.period) f.sv.push_back(s * 40 * t / (1 + 0.08 * t * t));
    for (std::size_t j = 0; j < 55; ++j) r.srss[j] += f.sv[j] * f.sv[j];
    f.period_min = f.period.front();
    f.period_max = f.period.back();
    f.sv_min = *std::min_element(f.sv.begin(), f.sv.end());
    f.sv_max = *std::max_element(f.sv.begin(), f.sv.end());
    r.faults.push_back(std::move(f));
  }
  for (double& v : r.srss) v = std::sqrt(v);
  for (double v : r.srss) r.target.push_back(v / 1.1);
}

void FillCase(std::mt19937& rng, int npts, std::vector<double>& acc,
              std::vector<double>& vel) {
  std::uniform_real_distribution<double> u(0.0, 1.0);
  const double f1 = 0.3 + 2 * u(rng), f2 = 2 + 4 * u(rng);
  const double amp = 50 + 300 * u(rng), onset = 2 + 8 * u(rng);
  acc.resize(static_cast<std::size_t>(npts));
  const double decay = 5 + npts * kDt / 6;
  for (std::size_t k = 0; k < acc.size(); ++k) {
    const double t = static_cast<double>(k) * kDt;
    const double env = t < onset ? t / onset : std::exp(-(t - onset) / decay);
    acc[k] =
        amp * env *
        (std::sin(2 * std::numbers::pi * f1 * t) +
         0.5 * std::sin(2 * std::numbers::pi * f2 * t) + 0.3 * (u(rng) - 0.5));
  }
  vel.assign(acc.size(), 0.0);
  for (std::size_t k = 1; k < acc.size(); ++k) {
    vel[k] = vel[k - 1] + (acc[k - 1] + acc[k]) * kDt / 2;
  }
}

std::size_t ArgMaxAbs(const std::vector<double>& v) {
  std::size_t at = 0;
  for (std::size_t k = 1; k < v.size(); ++k) {
    if (std::fabs(v[k]) > std::fabs(v[at])) at = k;
  }
  return at;
}

void RankCases(CheckResult& r) {
  std::vector<std::size_t> order(r.cases.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) {
                     return r.cases[a].pgv > r.cases[b].pgv;
                   });
  for (std::size_t i = 0; i < order.size(); ++i) {
    r.cases[order[i]].rank = static_cast<int>(i) + 1;
  }
  CaseSummary& phase = r.cases[order[(order.size() + 1) / 2 - 1]];
  phase.phase = true;
  r.phase_case = phase.case_number;
}

// Spectra around the target, each of its own level and slope with a
// wiggle, as real records spread; the ratios and levels as the checker
// sets them.
void AddSpectra(std::mt19937& rng, CheckResult& r) {
  std::normal_distribution<double> level(-0.3, 0.35), slope(0, 0.3);
  for (CaseSummary& c : r.cases) {
    const double a = level(rng), b = slope(rng);
    for (std::size_t j = 0; j < r.period.size(); ++j) {
      const double x = std::log(r.period[j]);
      c.spectrum.push_back(r.target[j] *
                           std::exp(a + b * x + 0.25 * std::sin(3 * x + a)));
    }
    c.ratio = RatioToTarget(r.period, c.spectrum, r.target);
  }
  CompareLevels(r);
}

void AddFindings(CheckResult& r) {
  r.findings.push_back({"near-tie", Severity::kNote, 0, 2, "", 0,
                        "the phase case's PGV is within 1 % of rank 2's"});
  r.findings.push_back({"header-time-step", Severity::kWarning, 0, 1,
                        "cases\\<C&1>\\加速度波形.acc", 1,
                        "the header says 0.01 s; lpgm takes 0.02 s <always>"});
  r.findings.push_back({"cannot-open", Severity::kError, 3, 0,
                        "faults/F3/Korvel長周期.csv", 0,
                        "\"F3\" cannot be opened & lpgm will stop"});
}

}  // namespace

std::unique_ptr<SyntheticResult> MakeSyntheticResult(
    const SyntheticShape& shape) {
  auto out = std::make_unique<SyntheticResult>();
  std::mt19937 rng(shape.seed);
  CheckResult& r = out->result;
  r.definition = shape.awkward_names ? "def <&\"'>.csv" : "definition.csv";
  r.working_directory = "/home/engineer/project";
  r.checked_at = "2026-12-08 09:30:00";
  r.version = "1.0";
  r.definition_ok = true;
  r.computed = true;
  r.inputs.push_back(
      {"definition", r.definition, true, 412, "2026-12-01 10:00:00"});
  AddFaults(shape, rng, r);
  out->acc.resize(static_cast<std::size_t>(shape.cases));
  out->vel.resize(static_cast<std::size_t>(shape.cases));
  for (int i = 1; i <= shape.cases; ++i) {
    const std::size_t z = static_cast<std::size_t>(i - 1);
    const int npts = shape.samples - (i - 1) * (shape.samples / 50);
    FillCase(rng, npts, out->acc[z], out->vel[z]);
    CaseSummary c;
    c.case_number = i;
    c.folder = "cases\\C" + std::to_string(i);
    if (shape.awkward_names && i == 1) c.folder = "cases\\<C&1>";
    c.read_ok = true;
    c.npts = npts;
    c.header_time_step = 0.02;
    c.duration = npts * kDt;
    c.acc = out->acc[z];
    c.vel = out->vel[z];
    const std::size_t pga_at = ArgMaxAbs(out->acc[z]);
    const std::size_t pgv_at = ArgMaxAbs(out->vel[z]);
    c.pga = std::fabs(c.acc[pga_at]);
    c.pga_time = static_cast<double>(pga_at) * kDt;
    c.pgv = std::fabs(c.vel[pgv_at]);
    c.pgv_time = static_cast<double>(pgv_at) * kDt;
    c.end_velocity = c.vel.back();
    r.cases.push_back(std::move(c));
    r.inputs.push_back({"acceleration",
                        r.cases.back().folder + "/加速度波形.acc", true, 4096,
                        "2026-12-01 10:00:00"});
  }
  RankCases(r);
  AddSpectra(rng, r);
  if (shape.awkward_names) {
    r.cases[0].header_time_step = 0.01;
    AddFindings(r);
  }
  return out;
}

}  // namespace lpgm::check::testing
