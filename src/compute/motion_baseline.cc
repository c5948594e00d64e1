#include "compute/motion_baseline.h"

#include <array>
#include <cmath>
#include <cstddef>

namespace lpgm {

namespace {

struct Ends {
  double velocity = 0.0;
  double displacement = 0.0;
};

Ends EndsOf(std::span<const double> acc, double dt) {
  Ends e;
  double previous = 0.0;
  double v_previous = 0.0;
  for (const double a : acc) {
    const double v = v_previous + 0.5 * dt * (previous + a);
    e.displacement += 0.5 * dt * (v_previous + v);
    previous = a;
    v_previous = v;
  }
  e.velocity = v_previous;
  return e;
}

// Subtracts c0 + c1 t_j, chosen so that the end velocity and displacement
// become zero. The ends are linear in the record, so the two responses to
// the basis records 1 and t give the 2x2 system.
void ZeroEnds(std::vector<double>& acc, double dt) {
  const std::size_t n = acc.size();
  if (n < 2) return;
  std::vector<double> ones(n, 1.0);
  std::vector<double> ramp(n);
  for (std::size_t j = 0; j < n; ++j) ramp[j] = static_cast<double>(j) * dt;
  const Ends r = EndsOf(acc, dt);
  const Ends p = EndsOf(ones, dt);
  const Ends q = EndsOf(ramp, dt);
  const double det = p.velocity * q.displacement - q.velocity * p.displacement;
  if (det == 0.0 || !std::isfinite(det)) return;
  const double c0 =
      (r.velocity * q.displacement - q.velocity * r.displacement) / det;
  const double c1 =
      (p.velocity * r.displacement - r.velocity * p.displacement) / det;
  for (std::size_t j = 0; j < n; ++j) acc[j] -= c0 + c1 * ramp[j];
}

// Least-squares cubic through (t, d) in the scaled time s = 2 t / T - 1;
// returns its coefficients in s (normal equations on a well-scaled basis).
std::array<double, 4> FitCubic(std::span<const double> d) {
  const std::size_t n = d.size();
  std::array<std::array<double, 5>, 4> m{};
  for (std::size_t j = 0; j < n; ++j) {
    const double s =
        2.0 * static_cast<double>(j) / static_cast<double>(n - 1) - 1.0;
    const std::array<double, 4> b = {1.0, s, s * s, s * s * s};
    for (std::size_t r = 0; r < 4; ++r) {
      for (std::size_t c = 0; c < 4; ++c) m[r][c] += b[r] * b[c];
      m[r][4] += b[r] * d[j];
    }
  }
  for (std::size_t col = 0; col < 4; ++col) {  // Gauss-Jordan, partial pivoting
    std::size_t pivot = col;
    for (std::size_t r = col + 1; r < 4; ++r)
      if (std::fabs(m[r][col]) > std::fabs(m[pivot][col])) pivot = r;
    std::swap(m[col], m[pivot]);
    if (m[col][col] == 0.0) return {};
    for (std::size_t r = 0; r < 4; ++r) {
      if (r == col) continue;
      const double f = m[r][col] / m[col][col];
      for (std::size_t c = col; c < 5; ++c) m[r][c] -= f * m[col][c];
    }
  }
  std::array<double, 4> coef{};
  for (std::size_t r = 0; r < 4; ++r) coef[r] = m[r][4] / m[r][r];
  return coef;
}

void RemoveDisplacementCubic(std::vector<double>& acc, double dt) {
  const std::size_t n = acc.size();
  if (n < 8) return;
  const std::vector<double> d =
      IntegrateTrapezoid(IntegrateTrapezoid(acc, dt), dt);
  const std::array<double, 4> c = FitCubic(d);
  // d(s) = c0 + c1 s + c2 s^2 + c3 s^3 with s = 2 t / T - 1:
  // d'' = (2 c2 + 6 c3 s) (2 / T)^2.
  const double span = static_cast<double>(n - 1) * dt;
  const double k = (2.0 / span) * (2.0 / span);
  for (std::size_t j = 0; j < n; ++j) {
    const double s =
        2.0 * static_cast<double>(j) / static_cast<double>(n - 1) - 1.0;
    acc[j] -= (2.0 * c[2] + 6.0 * c[3] * s) * k;
  }
}

}  // namespace

std::optional<MotionBaseline> ParseMotionBaseline(std::string_view name) {
  if (name == "none") return MotionBaseline::kNone;
  if (name == "ends") return MotionBaseline::kEnds;
  if (name == "poly") return MotionBaseline::kPolynomial;
  return std::nullopt;
}

std::string_view MotionBaselineName(MotionBaseline baseline) {
  switch (baseline) {
    case MotionBaseline::kNone:
      return "none";
    case MotionBaseline::kEnds:
      return "ends";
    case MotionBaseline::kPolynomial:
      return "poly";
  }
  return "none";
}

std::vector<double> IntegrateTrapezoid(std::span<const double> x, double dt) {
  std::vector<double> out(x.size());
  double previous = 0.0;
  double sum = 0.0;
  for (std::size_t j = 0; j < x.size(); ++j) {
    sum += 0.5 * dt * (previous + x[j]);
    out[j] = sum;
    previous = x[j];
  }
  return out;
}

std::vector<double> CorrectBaseline(std::span<const double> acc, double dt,
                                    MotionBaseline baseline) {
  std::vector<double> out(acc.begin(), acc.end());
  if (baseline == MotionBaseline::kPolynomial) RemoveDisplacementCubic(out, dt);
  if (baseline != MotionBaseline::kNone) ZeroEnds(out, dt);
  return out;
}

}  // namespace lpgm
