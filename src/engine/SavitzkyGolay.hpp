#pragma once
// Savitzky-Golay smoothing coefficients: the weights that evaluate a
// least-squares polynomial, fitted to 2k+1 equally spaced points, at the
// middle point.
#include <vector>

namespace olm {

// Largest window of the polynomial moving average.
constexpr int kSavitzkyGolayMaxWindow = 25;

// The integer coefficient set c(-k..k) of a window of `window` points (odd,
// 5..25 for order 3, 7..25 for order 5) for the quadratic/cubic (order 3) or
// quartic/quintic (order 5) smoothing polynomial, in lowest terms.  Order 3
// uses the closed form 3k(k+1) - 1 - 5j^2; order 5 is derived by least
// squares in exact integer arithmetic.  Empty for an unsupported window or
// order.
std::vector<long long> SavitzkyGolayIntegers(int window, int order);

// The same set as doubles together with its sum; the smoothed value is
// sum(c[j] * y[i + j]) / sum.  Tables are built once and shared.
struct CSavitzkyGolaySet {
  std::vector<double> c;  // c[0] belongs to offset -k
  double sum = 0.0;
};
const CSavitzkyGolaySet& SavitzkyGolaySet(int window, int order);

}  // namespace olm
