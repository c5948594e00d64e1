#include "check/min_max_columns.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace lpgm::check {
namespace {

struct Column {
  std::size_t min_index = 0, max_index = 0;
  bool used = false;
};

// The column of sample k; the arithmetic stays in double so that a huge or
// negative position cannot overflow an integer conversion.
int ColumnOf(double x, double x_lo, double width, int columns) {
  double c = std::floor((x - x_lo) / width * columns);
  if (!(c >= 0)) c = 0;  // NaN too
  if (c > columns - 1) c = columns - 1;
  return static_cast<int>(c);
}

void Flush(const Column& column, std::span<const double> y, double x0,
           double dx, std::vector<Point>& out) {
  if (!column.used) return;
  std::size_t first = column.min_index, second = column.max_index;
  if (second < first) std::swap(first, second);
  out.push_back({x0 + static_cast<double>(first) * dx, y[first]});
  if (second != first) {
    out.push_back({x0 + static_cast<double>(second) * dx, y[second]});
  }
}

}  // namespace

std::vector<Point> Zip(std::span<const double> x, std::span<const double> y) {
  std::vector<Point> points;
  const std::size_t n = std::min(x.size(), y.size());
  points.reserve(n);
  for (std::size_t i = 0; i < n; ++i) points.push_back({x[i], y[i]});
  return points;
}

std::vector<Point> MinMaxPerColumn(std::span<const double> y, double x0,
                                   double dx, double x_lo, double x_hi,
                                   int columns) {
  std::vector<Point> out;
  const double width = x_hi - x_lo;
  if (y.empty() || columns < 1 || !std::isfinite(width) || !(width > 0) ||
      !std::isfinite(x0) || !std::isfinite(dx) || !(dx > 0)) {
    return out;
  }
  out.reserve(static_cast<std::size_t>(columns) * 2);
  auto column_of = [&](std::size_t k) {
    return ColumnOf(x0 + static_cast<double>(k) * dx, x_lo, width, columns);
  };
  // The column only grows with k, so each column's end is found once: from
  // its estimate, corrected against column_of itself, so that every sample
  // lands in the column column_of gives it.
  auto end_of = [&](int c) {
    if (c >= columns - 1) return y.size();
    const double estimate =
        std::ceil((x_lo + (c + 1) * width / columns - x0) / dx);
    std::size_t k = 0;
    if (estimate >= static_cast<double>(y.size())) {
      k = y.size();
    } else if (estimate > 0) {
      k = static_cast<std::size_t>(estimate);
    }
    while (k > 0 && column_of(k - 1) > c) --k;
    while (k < y.size() && column_of(k) <= c) ++k;
    return k;
  };
  Column column;
  std::size_t end = 0;  // the first sample past the current column
  for (std::size_t k = 0; k < y.size(); ++k) {
    const double v = y[k];
    if (!std::isfinite(v)) continue;
    if (!column.used || k >= end) {
      Flush(column, y, x0, dx, out);
      column = {k, k, true};
      end = end_of(column_of(k));
      continue;
    }
    if (v < y[column.min_index]) column.min_index = k;
    if (v > y[column.max_index]) column.max_index = k;
  }
  Flush(column, y, x0, dx, out);
  return out;
}

}  // namespace lpgm::check
