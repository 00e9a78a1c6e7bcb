// The block logarithm of the log axes: close to std::log10 everywhere, and
// points on or beside pixel boundaries and window ends map exactly as
// WorldToDevice maps them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "plot/Graph.hpp"

namespace olm::test {
namespace {

TEST(LogBlockTest, CloseToTheLibraryLogarithmAndExactWhereItCannotApproximate) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> exponent(-307, 308), stride2(0, 1);
  std::vector<double> x(4099);
  for (double& v : x) v = std::pow(10.0, exponent(rng));
  // Mantissas on both sides of sqrt(2), powers of two and ten.
  const double specials[] = {1.0,
                             2.0,
                             10.0,
                             1000.0,
                             1e-300,
                             1.4142135623730951,
                             std::nextafter(1.4142135623730951, 2.0),
                             0.70710678118654757};
  for (size_t i = 0; i < std::size(specials); ++i) x[i] = specials[i];
  // Values the approximation leaves to the library: zero, negative, not
  // finite, subnormal.
  const double exact[] = {0.0, -1.0, std::numeric_limits<double>::infinity(),
                          std::numeric_limits<double>::quiet_NaN(), 1e-310};
  for (size_t i = 0; i < std::size(exact); ++i) x[100 + i] = exact[i];
  std::vector<double> out(x.size());
  // A window far away, so no value is near its boundaries.
  Log10Block(x.data(), 1, x.size(), {1e6, 1.0, 1e6, 1e6 + 1}, out.data());
  for (size_t i = 0; i < x.size(); ++i) {
    const double want = std::log10(x[i]);
    if (std::isnan(want))
      EXPECT_TRUE(std::isnan(out[i])) << x[i];
    else if (std::isinf(want))
      EXPECT_EQ(out[i], want) << x[i];
    else
      EXPECT_NEAR(out[i], want, 1e-13) << x[i];
  }
  for (size_t i = 0; i < std::size(specials); ++i)
    EXPECT_NEAR(out[i], std::log10(specials[i]), 2e-16) << specials[i];
  // Every other element of the same values (a matrix column).
  std::vector<double> strided(2 * x.size()), outStrided(x.size());
  for (size_t i = 0; i < x.size(); ++i) strided[2 * i] = x[i];
  Log10Block(strided.data(), 2, x.size(), {1e6, 1.0, 1e6, 1e6 + 1}, outStrided.data());
  for (size_t i = 0; i < x.size(); ++i) {
    if (!std::isnan(out[i])) {
      EXPECT_EQ(outStrided[i], out[i]) << i;
    }
  }
}

TEST(LogBlockTest, PointsOnPixelBoundariesAndWindowEndsMapAsWorldToDevice) {
  CXLogYLog<double> g;
  ASSERT_TRUE(g.SetWorldWindow(1, 1, 1000, 300));
  g.Layout({0, 0, 1000, 800}, {8, 16, 36, 0});
  const CDeviceRect f = g.Frame();
  std::vector<double> x, y;
  auto addAround = [&](double vx, double vy) {
    for (int k = -2; k <= 2; ++k) {
      double ax = vx, ay = vy;
      for (int s = 0; s < std::abs(k); ++s) {
        ax = std::nextafter(ax, k < 0 ? 0.0 : 1e300);
        ay = std::nextafter(ay, k < 0 ? 0.0 : 1e300);
      }
      x.push_back(ax), y.push_back(ay);
    }
  };
  // The world values of pixel edges, where truncation changes pixel.
  for (int px = f.left - 3; px <= f.right + 3; ++px) {
    const CWorldPoint w = g.DeviceToWorld(px, f.bottom - (px - f.left) % (f.Height() + 1));
    addAround(w.x, w.y);
  }
  // The window ends and their tolerance.
  for (double u : {0.0, 3.0, -1e-5, 3.0 + 1e-5}) addAround(std::pow(10.0, u), 10.0);
  // Whole vectors and a scalar tail both run.
  if (x.size() % 4 == 0) x.push_back(10), y.push_back(10);

  std::vector<CDevicePoint> expected, got;
  for (size_t i = 0; i < x.size(); ++i)
    if (!g.IsOutside(x[i], y[i])) expected.push_back(g.WorldToDevice(x[i], y[i]));
  g.AppendPolyline({x.data(), y.data(), 1, x.size()}, false, got);
  ASSERT_GT(expected.size(), x.size() / 2);
  EXPECT_EQ(got, expected);
}

}  // namespace
}  // namespace olm::test
