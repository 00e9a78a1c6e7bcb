#include "engine/Statistics.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "numerics/Parallel.hpp"

namespace olm {


bool ColumnRange(const CMatrix<double>& m, int rows, int col, double& lo, double& hi) {
  lo = hi = 0.0;
  rows = std::min(rows, m.GetRows());
  if (rows < 1 || col < 1 || col > m.GetColumns()) return false;
  // Long columns in parts on several threads.  Each part starts from its
  // own first value and the parts combine in order, which gives what one
  // pass gives, ties and NaNs included: a NaN is only kept as the column's
  // first value.
  struct CRange {
    double lo = 0.0, hi = 0.0;
  };
  const std::ptrdiff_t stride = m.GetColumns();
  const double* column = m.Row(1) + (col - 1);
  const auto parts = ParallelParts<CRange>(static_cast<size_t>(rows), kMinItemsPerThread,
                                           [&](size_t first, size_t last) {
                                             const double* p = column + first * stride;
                                             CRange r{*p, *p};
                                             for (size_t i = first + 1; i < last; ++i) {
                                               p += stride;
                                               r.lo = std::min(r.lo, *p);
                                               r.hi = std::max(r.hi, *p);
                                             }
                                             return r;
                                           });
  lo = parts[0].lo;
  hi = parts[0].hi;
  for (size_t k = 1; k < parts.size(); ++k) {
    lo = std::min(lo, parts[k].lo);
    hi = std::max(hi, parts[k].hi);
  }
  return true;
}

bool MedianInPlace(std::span<double> values, double& median) {
  median = 0.0;
  const size_t n = values.size();
  if (n == 0) return false;
  for (double v : values)
    if (std::isnan(v)) return false;
  const auto mid = values.begin() + static_cast<std::ptrdiff_t>(n / 2);
  std::nth_element(values.begin(), mid, values.end());
  median = *mid;
  if (n % 2 == 0) median = 0.5 * (median + *std::max_element(values.begin(), mid));
  return true;
}

bool ComputeStatistics(std::span<const double> values, CDescriptiveStatistics& out) {
  out = CDescriptiveStatistics{};
  const size_t n = values.size();
  if (n == 0) return false;
  std::vector<double> sorted(values.begin(), values.end());
  std::sort(sorted.begin(), sorted.end());
  out.count = static_cast<int>(n);
  out.minimum = sorted.front();
  out.maximum = sorted.back();
  // 1-based: element n/2 + 1 for odd n, the mean of n/2 and n/2 + 1 for even n.
  out.median = n % 2 ? sorted[n / 2] : 0.5 * (sorted[n / 2 - 1] + sorted[n / 2]);
  double sum = 0.0;
  for (double v : values) sum += v;
  out.mean = sum / static_cast<double>(n);
  double squares = 0.0;
  for (double v : values) squares += (v - out.mean) * (v - out.mean);
  out.standardDeviation = std::sqrt(squares / static_cast<double>(n));
  return true;
}

bool ComputeStatistics(const CVector<double>& values, CDescriptiveStatistics& out) {
  return ComputeStatistics(
      std::span<const double>(values.Data(), static_cast<size_t>(values.GetSize())), out);
}

double InterpolateRatio(int n, int a, double ka, int b, double kb) {
  if (a >= b) return 0.0;
  return ka + (n - a) * (kb - ka) / (b - a);
}

double ChauvenetRatio(int n) {
  if (n < 4) return 0.0;
  if (n == 4) return 1.65;
  if (n < 7) return InterpolateRatio(n, 5, 1.65, 7, 1.8);
  if (n < 10) return InterpolateRatio(n, 7, 1.8, 10, 1.96);
  if (n < 15) return InterpolateRatio(n, 10, 1.96, 15, 2.13);
  if (n < 25) return InterpolateRatio(n, 15, 2.13, 25, 2.33);
  if (n < 50) return InterpolateRatio(n, 25, 2.33, 50, 2.57);
  if (n < 100) return InterpolateRatio(n, 50, 2.57, 100, 2.81);
  // From 100 points on the table restarts at 2.82.
  if (n < 300) return InterpolateRatio(n, 100, 2.82, 300, 3.14);
  if (n < 500) return InterpolateRatio(n, 300, 3.14, 500, 3.29);
  return 3.29;
}

}  // namespace olm
