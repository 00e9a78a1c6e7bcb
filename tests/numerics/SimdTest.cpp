// The four-wide exponential and logarithm that the hot loops use in place of
// the library's: within a few units in the last place of std::exp and
// std::log over their whole range, with the stated values at the ends.
#include "numerics/Simd.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace olm::test {
namespace {

using simd::V4;

// Exp4 (or Ln4) of a list, four at a time, the last vector padded with 1.
std::vector<double> Apply(bool exp, const std::vector<double>& x) {
  std::vector<double> out(x.size());
  for (size_t i = 0; i < x.size(); i += 4) {
    V4 v = simd::Splat4(1.0);
    for (size_t l = 0; l < 4 && i + l < x.size(); ++l) v[l] = x[i + l];
    const V4 r = exp ? simd::Exp4(v) : simd::Ln4(v);
    for (size_t l = 0; l < 4 && i + l < x.size(); ++l) out[i + l] = r[l];
  }
  return out;
}

double UlpsApart(double a, double b) {
  return std::fabs(a - b) / (std::nextafter(std::fabs(b), INFINITY) - std::fabs(b));
}

TEST(SimdMathTest, ExpAgreesWithTheLibraryAndHandlesTheEnds) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> wide(-708, 709.7), narrow(-1, 1);
  std::vector<double> x;
  for (int i = 0; i < 20000; ++i) x.push_back(i % 2 ? wide(rng) : narrow(rng));
  // Halfway points of the reduction, exact multiples of ln 2, the top end.
  for (double v : {0.0, -0.0, 0.5 * M_LN2, -0.5 * M_LN2, 10 * M_LN2, -700.0, 709.78})
    x.push_back(v);
  const std::vector<double> got = Apply(true, x);
  double worst = 0;
  for (size_t i = 0; i < x.size(); ++i) worst = std::max(worst, UlpsApart(got[i], std::exp(x[i])));
  EXPECT_LE(worst, 4.0);
  EXPECT_EQ(got[x.size() - 7], 1.0);

  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> ends = Apply(true, {-708.5, -1e300, -inf, 709.8, inf, NAN});
  EXPECT_EQ(std::vector<double>(ends.begin(), ends.begin() + 5),
            (std::vector<double>{0.0, 0.0, 0.0, inf, inf}));
  EXPECT_TRUE(std::isnan(ends[5]));
}

TEST(SimdMathTest, LogAgreesWithTheLibraryOverEveryExponent) {
  std::mt19937 rng(12);
  std::uniform_real_distribution<double> exponent(-307, 308), nearOne(0.5, 2);
  std::vector<double> x;
  for (int i = 0; i < 20000; ++i) x.push_back(i % 2 ? std::pow(10.0, exponent(rng)) : nearOne(rng));
  for (double v : {1.0, 2.0, 0.5, M_SQRT2, std::nextafter(M_SQRT2, 2.0), M_E,
                   std::numeric_limits<double>::min(), std::numeric_limits<double>::max()})
    x.push_back(v);
  const std::vector<double> got = Apply(false, x);
  for (size_t i = 0; i < x.size(); ++i) {
    const double want = std::log(x[i]);
    // Near x = 1 the logarithm is small, so its error is measured against 1.
    EXPECT_NEAR(got[i], want, 4e-16 * std::max(1.0, std::fabs(want))) << x[i];
  }
  EXPECT_EQ(got[x.size() - 8], 0.0);
}

}  // namespace
}  // namespace olm::test
