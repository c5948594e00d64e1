// Reduction of a long evenly sampled series to what a chart can show: per
// pixel column, the smallest and the largest sample.
#ifndef LPGM_CHECK_MIN_MAX_COLUMNS_H_
#define LPGM_CHECK_MIN_MAX_COLUMNS_H_

#include <span>
#include <vector>

namespace lpgm::check {

struct Point {
  double x = 0, y = 0;
};

// The samples y[k] lie at x = x0 + k * dx. The range [x_lo, x_hi] is cut
// into `columns` equal columns (samples outside it count in the nearest end
// column). For each column that holds a finite sample, the result keeps the
// sample of its smallest and of its largest value (the first of equals), in
// sample order, once if they are the same sample; each at its own x and with
// its exact value. So the result has at most 2 x `columns` points, in
// sample order, and its extremes are the series' finite extremes exactly.
// Non-finite samples are skipped. Nothing for an empty series, columns < 1,
// a range that is not finite and increasing, or a step dx that is not finite
// and positive.
// The points (x[k], y[k]) of two series, as far as the shorter goes.
std::vector<Point> Zip(std::span<const double> x, std::span<const double> y);

std::vector<Point> MinMaxPerColumn(std::span<const double> y, double x0,
                                   double dx, double x_lo, double x_hi,
                                   int columns);

}  // namespace lpgm::check

#endif  // LPGM_CHECK_MIN_MAX_COLUMNS_H_
