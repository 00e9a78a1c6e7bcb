// The smoothing filters: their checks, the moving median and averages, the
// Savitzky-Golay sets, local regression, and the zone's y column.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

#include "TestSupport.hpp"
#include "engine/LocalRegression.hpp"
#include "engine/SavitzkyGolay.hpp"
#include "engine/Smoothing.hpp"
#include "engine/ZoneProcessing.hpp"

namespace olm::test {
namespace {

using Values = std::vector<double>;

CSmoothingSpec Spec(int method, int points, int repeats = 1, int order = 3) {
  return {repeats, points, order, method};
}

Values Iota(int n) {
  return Generate(n, [](int i) { return i + 1.0; });
}

// One pass of each filter over w (and x).
Values Sma(const Values& w, int n) {
  Values out(w.size());
  SimpleAveragePass(w.data(), out.data(), static_cast<int>(w.size()), n);
  return out;
}
Values Pma(const Values& w, int n, int order) {
  Values out(w.size());
  PolynomialAveragePass(w.data(), out.data(), static_cast<int>(w.size()), n, order);
  return out;
}
Values Median(const Values& w, int n) {
  Values out(w.size());
  EXPECT_TRUE(MedianPass(w.data(), out.data(), static_cast<int>(w.size()), n));
  return out;
}
Values Local(const Values& x, const Values& w, int n, int degree) {
  Values out(w.size());
  LocalRegressionPass(x.data(), w.data(), out.data(), static_cast<int>(w.size()), n, degree);
  return out;
}

// The checks in their order, by message: repeats come first except for
// local regression, which needs as many points as its window; the moving
// averages and the median handle short zones at their ends; the median
// makes no oddness test.
TEST(SmoothingChecksTest, MessagesInTheirOrder) {
  const int kMed = kSmoothMedian, kSma = kSmoothSimpleAverage, kPma = kSmoothPolynomialAverage,
            kLow = kSmoothLowess, kLoess = kSmoothLoess, kRLoess = kSmoothRobustLoess,
            kRLow = kSmoothRobustLowess;
  using Specs = std::vector<std::array<int, 5>>;  // method, points, repeats, order, count
  // clang-format off
  const std::pair<std::string, Specs> cases[] = {
      {"Invalid number of repeats.",
       {{kMed, 2, 0, 3, 30}, {kSma, 4, 0, 3, 30}, {kPma, 4, 0, 4, 30}, {kLoess, 7, 0, 3, 30},
        {kRLoess, 7, 0, 3, 30}, {kLow, 7, 0, 3, 30}, {kRLow, 7, 0, 3, 30}}},
      {"Number of points for smoothing must be odd and between 3 and 25.",
       {{kMed, 2, 1, 3, 30}, {kMed, 26, 1, 3, 30}, {kSma, 4, 1, 3, 30}, {kSma, 27, 1, 3, 30}}},
      {"Number of points for Lowess/Loess smoothing must be odd and between 5 and 25.",
       {{kLow, 3, 1, 3, 30}, {kLoess, 27, 1, 3, 30}, {kLoess, 6, 0, 3, 30}, {kRLoess, 6, 0, 3, 30},
        {kLow, 6, 0, 3, 30}, {kRLow, 6, 0, 3, 30}}},
      {"Degree of polynomial for polynomial smoothing average must be 3 or 5.", {{kPma, 5, 1, 4, 30}}},
      {"Number of points for smoothing must be odd and between 5 and 25 \nfor 3rd degree "
       "polynomial and between 7 and 25 for 5th order polynomial.",
       {{kPma, 3, 1, 3, 30}, {kPma, 27, 1, 3, 30}, {kPma, 5, 1, 5, 30}}},
      {"Number of points for smoothing must be less than the number of data points.",
       {{kLow, 9, 1, 3, 8}, {kRLoess, 9, 1, 3, 8}}},
      {"Smoothing filters must be simple_moving_average, polynomial_moving_average, or "
       "moving_median.", {{8, 5, 1, 3, 30}}},
      {"", {{kMed, 4, 1, 3, 30}, {kSma, 3, 1, 3, 30}, {kPma, 7, 1, 5, 30}, {kLow, 25, 1, 3, 30},
            {kLow, 9, 1, 3, 9}, {kSma, 25, 1, 3, 4}, {kPma, 25, 1, 3, 12}, {kMed, 25, 1, 3, 4}}}};
  // clang-format on
  for (const auto& [message, specs] : cases)
    for (const auto& [method, points, repeats, order, count] : specs) {
      CRecordingUi ui;
      Values x = Iota(count), y(count, 1.0);
      CSmoothingWorkspace ws;
      const bool ok =
          SmoothValues(Spec(method, points, repeats, order), x.data(), y.data(), count, ws);
      EXPECT_EQ(ok, ui.messages.empty());
      EXPECT_EQ(ui.messages.empty() ? "" : ui.Last(), message)
          << "method " << method << " points " << points << " repeats " << repeats << " order "
          << order << " count " << count;
    }
}

TEST(MovingMedianTest, WindowMediansKeptEndsAndSlidingAgainstSorting) {
  const Values w = {5, 1, 9, 3, 7, 2, 8};
  EXPECT_EQ(Median(w, 5), (Values{5, 1, 5, 3, 7, 2, 8}));
  EXPECT_EQ(Median(w, 3), (Values{5, 5, 3, 7, 3, 7, 8}));
  // A zone of exactly one window: its middle point takes the median; one
  // point fewer leaves the zone as it is.
  EXPECT_EQ(Median({5, 1, 9, 3, 7}, 5), (Values{5, 1, 5, 3, 7}));
  EXPECT_EQ(Median({5, 1, 9, 3}, 5), (Values{5, 1, 9, 3}));
  const Values e = {4, 8, 1, 7, 7, 0, 3, 9, 2, 2};
  EXPECT_EQ(Median(e, 3), Median(e, 4));  // an even window acts as the next smaller odd one
  unsigned s = 12345;
  const Values many = Generate(400, [&](int) {
    s = s * 1103515245u + 12345u;
    return static_cast<double>((s >> 16) % 37);  // many ties
  });
  for (int n : {3, 9, 25}) {
    const Values got = Median(many, n);
    for (int i = n / 2; i < 400 - n / 2; ++i) {
      Values win(many.begin() + i - n / 2, many.begin() + i + n / 2 + 1);
      std::nth_element(win.begin(), win.begin() + n / 2, win.end());
      ASSERT_EQ(got[i], win[n / 2]) << n << " " << i;
    }
  }
  CRecordingUi ui;
  Values nan = {1, 2, std::numeric_limits<double>::quiet_NaN(), 4, 5, 6}, out(6);
  EXPECT_FALSE(MedianPass(nan.data(), out.data(), 6, 3));
  EXPECT_EQ(ui.Last(), "Error in finding median value.");
}

TEST(SimpleMovingAverageTest, EndRulesShortZonesAndRepeats) {
  // Points 1 and 10 kept; 2 and 9 the mean of three, the others of five.
  EXPECT_EQ(Sma({3, 1, 4, 1, 5, 9, 2, 6, 5, 3}, 5),
            (Values{3, (3 + 1 + 4) / 3.0, (3 + 1 + 4 + 1 + 5) / 5.0, (1 + 4 + 1 + 5 + 9) / 5.0,
                    (4 + 1 + 5 + 9 + 2) / 5.0, (1 + 5 + 9 + 2 + 6) / 5.0, (5 + 9 + 2 + 6 + 5) / 5.0,
                    (9 + 2 + 6 + 5 + 3) / 5.0, (6 + 5 + 3) / 3.0, 3}));
  // A short zone uses the largest symmetric window that fits.
  EXPECT_EQ(Sma({2, 4, 6, 20}, 25), (Values{2, 4, 10, 20}));
  // Repeats apply the pass again.
  Values x = Iota(40), y = Generate(40, [](int i) { return std::sin(0.7 * i) + 0.01 * i * i; });
  const Values twice = Sma(Sma(y, 7), 7);
  CSmoothingWorkspace ws;
  ASSERT_TRUE(SmoothValues(Spec(kSmoothSimpleAverage, 7, 2), x.data(), y.data(), 40, ws));
  EXPECT_EQ(y, twice);
}

TEST(SavitzkyGolayTest, PublishedSetsAndUnsupportedWindows) {
  using Set = std::vector<long long>;
  const std::tuple<int, int, Set> cases[] = {
      {5, 3, {-3, 12, 17, 12, -3}},
      {7, 3, {-2, 3, 6, 7, 6, 3, -2}},
      {9, 3, {-21, 14, 39, 54, 59, 54, 39, 14, -21}},
      {7, 5, {5, -30, 75, 131, 75, -30, 5}},
      {9, 5, {15, -55, 30, 135, 179, 135, 30, -55, 15}},
      {11, 5, {18, -45, -10, 60, 120, 143, 120, 60, -10, -45, 18}},
      {13, 5, {110, -198, -135, 110, 390, 600, 677, 600, 390, 110, -135, -198, 110}}};
  for (const auto& [window, order, set] : cases)
    EXPECT_EQ(SavitzkyGolayIntegers(window, order), set) << window << "/" << order;
  for (const auto& [window, order] : {std::pair{4, 3}, {27, 3}, {5, 5}, {9, 4}})
    EXPECT_TRUE(SavitzkyGolayIntegers(window, order).empty()) << window << "/" << order;
  EXPECT_TRUE(SavitzkyGolaySet(9, 4).c.empty());
}

// Independent of any table: a set of order p reproduces, at the middle, every
// polynomial of degree p on equally spaced points (the divisor is the sum),
// but not degree p + 1 (a set of a lower order would).
TEST(SavitzkyGolayTest, EverySetReproducesPolynomialsOfItsOrder) {
  for (int order : {3, 5}) {
    for (int window = order == 3 ? 5 : 7; window <= 25; window += 2) {
      SCOPED_TRACE(::testing::Message() << "order " << order << " window " << window);
      const CSavitzkyGolaySet& set = SavitzkyGolaySet(window, order);
      ASSERT_EQ(static_cast<int>(set.c.size()), window);
      const int k = window / 2;
      const auto at = [&](auto p) {
        double sum = 0.0;
        for (int j = -k; j <= k; ++j) sum += set.c[j + k] * p(j);
        return sum / set.sum;
      };
      for (int power = 0; power <= order; ++power)  // p(j) = (j + 3)^power at j = 0
        EXPECT_NEAR(at([&](int j) { return std::pow(j + 3.0, power); }), std::pow(3.0, power),
                    1e-9 * std::pow(3.0 + k, power))
            << power;
      EXPECT_GT(std::fabs(at([&](int j) { return std::pow(double(j), order + 1); })), 1e-6);
    }
  }
}

TEST(PolynomialMovingAverageTest, ByHandKeptEndsAndSmallerWindowsNearTheEnds) {
  const Values w = Generate(20, [](int i) { return (i * 7) % 5 + 0.5 * i; });
  Values want = w;  // points 1..5 and 16..20 keep their values
  for (int i = 5; i < 15; ++i)
    want[i] = (-3 * w[i - 2] + 12 * w[i - 1] + 17 * w[i] + 12 * w[i + 1] - 3 * w[i + 2]) / 35.0;
  const Values five = Pma(w, 5, 3);
  for (int i = 0; i < 20; ++i) EXPECT_DOUBLE_EQ(five[i], want[i]) << i;
  EXPECT_EQ(Values(five.begin(), five.begin() + 5), Values(w.begin(), w.begin() + 5));
  EXPECT_EQ(Values(five.end() - 5, five.end()), Values(w.end() - 5, w.end()));
  // Points 6 and 35 (1-based) of 40 use 11 points: c(j) = 3*5*6 - 1 - 5 j^2 =
  // 89 - 5 j^2, sum 429; points 5 and 36 keep their values.
  const Values c = Generate(40, [](int i) { return std::cos(0.3 * i) * (1 + i % 3); });
  const Values out = Pma(c, 25, 3);
  for (int centre : {5, 34}) {
    double sum = 0.0;
    for (int j = -5; j <= 5; ++j) sum += (89 - 5 * j * j) * c[centre + j];
    EXPECT_DOUBLE_EQ(out[centre], sum / 429.0) << centre;
  }
  EXPECT_EQ(std::pair(out[4], out[35]), std::pair(c[4], c[35]));
  // Order 5 reproduces a quintic away from the ends.
  const Values q = Generate(60, [](int i) {
    const double t = 0.1 * i;
    return 1 - 2 * t + 0.5 * t * t - 0.01 * std::pow(t, 5);
  });
  const Values qout = Pma(q, 25, 5);
  ExpectAllNear(Values(qout.begin() + 7, qout.end() - 7), Values(q.begin() + 7, q.end() - 7),
                1e-11);
}

TEST(LocalRegressionTest, WeightsByHandTheFarthestPointAndRepeatedX) {
  // Five equally spaced points, the middle one: d = 2, weights 0, (7/8)^3, 1,
  // (7/8)^3, 0; symmetric weights make the local line's value the weighted mean.
  const double a = std::pow(7.0 / 8.0, 3);
  EXPECT_NEAR(Local({0, 1, 2, 3, 4}, {100, 2, 3, 7, -50}, 5, 1)[2],
              (a * 2 + 3 + a * 7) / (2 * a + 1), 1e-13);
  EXPECT_EQ(std::pair(TricubeWeight(2.0, 2.0, 0.5), TricubeWeight(0.0, 2.0, 0.5)),
            std::pair(0.0, 1.0));
  EXPECT_DOUBLE_EQ(TricubeWeight(1.0, 2.0, 0.5), a);
  // Points 1..5 are the window of points 1, 2 and 3, and point 5 is the
  // farthest from each of them; point 4's window 2..6 reaches farther.
  const Values x = Generate(12, [](int i) { return 0.001 * i * i; });
  const Values w = Generate(12, [](int i) { return std::sin(i); });
  Values changed = w;
  changed[4] += 1000;
  for (int degree : {1, 2}) {
    const Values before = Local(x, w, 5, degree), after = Local(x, changed, 5, degree);
    EXPECT_EQ(Values(before.begin(), before.begin() + 3), Values(after.begin(), after.begin() + 3));
    EXPECT_NE(before[3], after[3]) << degree;
  }
  // All window points at one x except a far one of weight 0: the slope is
  // undetermined and the value is the mean of the equal-x points.
  const Values xr = {1, 1, 1, 1, 2}, wr = {1, 2, 3, 6, 100};
  EXPECT_DOUBLE_EQ(Local(xr, wr, 5, 1)[0], 3.0);
  const Values quad = Local(xr, wr, 5, 2);
  EXPECT_DOUBLE_EQ(quad[1], 3.0);
  EXPECT_TRUE(std::isfinite(quad[4]));
}

TEST(LocalRegressionTest, ReproducesItsPolynomialAndMirrorsDecreasingX) {
  // Strain-like x (1e-7 steps), irregular spacing: a local line reproduces a
  // line and a local quadratic a quadratic, up to rounding.
  const Values x = Generate(50, [](int i) { return 1e-7 * (i + 0.3 * std::sin(3.0 * i)); });
  const Values line = Generate(50, [&](int i) { return 3.0 + 2e5 * x[i]; });
  const Values quad = Generate(50, [&](int i) { return 1.0 + 2e5 * x[i] - 4e11 * x[i] * x[i]; });
  ExpectAllNear(Local(x, line, 7, 1), line, 1e-12);
  ExpectAllNear(Local(x, quad, 9, 2), quad, 1e-12);
  // Decreasing x gives the mirror image of increasing x.
  const Values up = Generate(30, [](int i) { return 0.01 * i + 0.001 * (i % 4); });
  const Values w = Generate(30, [](int i) { return std::cos(0.5 * i) + (i % 3); });
  const Values down = Generate(30, [&](int i) { return -up[29 - i]; });
  const Values wDown(w.rbegin(), w.rend());
  for (int degree : {1, 2}) {
    const Values mirrored = Local(down, wDown, 7, degree);
    ExpectAllNear(Values(mirrored.rbegin(), mirrored.rend()), Local(up, w, 7, degree), 1e-12);
  }
}

TEST(SmoothZoneTest, OnlyTheYColumnOfTheRowsInUseChanges) {
  CRecordingUi ui;
  CZone zone;
  zone.workingPoints.SetSize(12, 3);
  for (int i = 1; i <= 12; ++i) {
    zone.workingPoints(i, 1) = i * 0.1;          // x
    zone.workingPoints(i, 2) = 1000 + i;         // another column
    zone.workingPoints(i, 3) = (i % 2) ? 1 : 3;  // y
  }
  zone.pointCount = 10;  // rows 11 and 12 are not in use
  zone.smoothing = Spec(kSmoothSimpleAverage, 3);
  ASSERT_TRUE(SmoothZone(zone, 1, 3));
  const auto& w = zone.workingPoints;
  ExpectAllNear({w(1, 3), w(2, 3), w(3, 3), w(10, 3), w(11, 3)}, {1, 5.0 / 3, 7.0 / 3, 3, 1},
                1e-15);
  for (int i = 1; i <= 12; ++i)
    EXPECT_EQ(std::pair(w(i, 1), w(i, 2)), std::pair(i * 0.1, 1000.0 + i));
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace olm::test
