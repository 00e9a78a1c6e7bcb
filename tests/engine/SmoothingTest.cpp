// The smoothing filters: their checks, the moving median and averages, the
// Savitzky-Golay sets, local regression, and the zone's y column.
#include <gtest/gtest.h>

#include <algorithm>
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
  CSmoothingSpec s;
  s.method = method;
  s.points = points;
  s.repeats = repeats;
  s.order = order;
  return s;
}

Values Iota(int n) {
  Values v(static_cast<size_t>(n));
  std::iota(v.begin(), v.end(), 1.0);
  return v;
}

TEST(SmoothingChecksTest, MessagesInTheirOrder) {
  const std::string
      repeats = "Invalid number of repeats.",
      w18 = "Number of points for smoothing must be odd and between 3 and 25.",
      w19 = "Number of points for Lowess/Loess smoothing must be odd and between 5 and 25.",
      o20 = "Degree of polynomial for polynomial smoothing average must be 3 or 5.",
      w21 =
          "Number of points for smoothing must be odd and between 5 and 25 \nfor 3rd "
          "degree polynomial and between 7 and 25 for 5th order polynomial.",
      w22 = "Number of points for smoothing must be less than the number of data points.";
  struct Case {
    int method, points, repeats, order, count;
    std::string message;
  };
  const int kMed = kSmoothMedian, kSma = kSmoothSimpleAverage, kPma = kSmoothPolynomialAverage;
  std::vector<Case> cases = {// Repeats are checked first, except for local regression.
                             {kMed, 2, 0, 3, 30, repeats},
                             {kSma, 4, 0, 3, 30, repeats},
                             {kPma, 4, 0, 4, 30, repeats},
                             {kMed, 2, 1, 3, 30, w18},
                             {kMed, 26, 1, 3, 30, w18},
                             {kMed, 4, 1, 3, 30, ""},  // no oddness test
                             {kSma, 4, 1, 3, 30, w18},
                             {kSma, 27, 1, 3, 30, w18},
                             {kSma, 3, 1, 3, 30, ""},
                             {kPma, 3, 1, 3, 30, w21},
                             {kPma, 27, 1, 3, 30, w21},
                             {kPma, 5, 1, 4, 30, o20},
                             {kPma, 5, 1, 5, 30, w21},
                             {kPma, 7, 1, 5, 30, ""},
                             {kSmoothLowess, 3, 1, 3, 30, w19},
                             {kSmoothLoess, 27, 1, 3, 30, w19},
                             {kSmoothLowess, 25, 1, 3, 30, ""},
                             // Local regression needs as many points as its window; the moving
                             // averages and the median handle short zones at their ends.
                             {kSmoothLowess, 9, 1, 3, 8, w22},
                             {kSmoothRobustLoess, 9, 1, 3, 8, w22},
                             {kSmoothLowess, 9, 1, 3, 9, ""},
                             {kSma, 25, 1, 3, 4, ""},
                             {kPma, 25, 1, 3, 12, ""},
                             {kMed, 25, 1, 3, 4, ""},
                             {8, 5, 1, 3, 30,
                              "Smoothing filters must be simple_moving_average, "
                              "polynomial_moving_average, or moving_median."}};
  for (int m : {kSmoothLoess, kSmoothRobustLoess, kSmoothLowess, kSmoothRobustLowess}) {
    cases.push_back({m, 6, 0, 3, 30, w19});
    cases.push_back({m, 7, 0, 3, 30, repeats});
  }
  for (const Case& c : cases) {
    CRecordingUi ui;
    Values x = Iota(c.count), y(static_cast<size_t>(c.count), 1.0);
    CSmoothingWorkspace ws;
    const bool ok =
        SmoothValues(Spec(c.method, c.points, c.repeats, c.order), x.data(), y.data(), c.count, ws);
    EXPECT_EQ(ok, ui.messages.empty());
    EXPECT_EQ(ui.messages.empty() ? "" : ui.Last(), c.message)
        << "method " << c.method << " points " << c.points << " repeats " << c.repeats << " order "
        << c.order << " count " << c.count;
  }
}

TEST(MovingMedianTest, WindowMediansKeptEndsAndSlidingAgainstSorting) {
  const Values w = {5, 1, 9, 3, 7, 2, 8};
  Values out(w.size());
  ASSERT_TRUE(MedianPass(w.data(), out.data(), 7, 5));
  EXPECT_EQ(out, (Values{5, 1, 5, 3, 7, 2, 8}));
  ASSERT_TRUE(MedianPass(w.data(), out.data(), 7, 3));
  EXPECT_EQ(out, (Values{5, 5, 3, 7, 3, 7, 8}));
  // An even window acts as the next smaller odd one.
  const Values e = {4, 8, 1, 7, 7, 0, 3, 9, 2, 2};
  Values three(e.size()), four(e.size());
  ASSERT_TRUE(MedianPass(e.data(), three.data(), 10, 3));
  ASSERT_TRUE(MedianPass(e.data(), four.data(), 10, 4));
  EXPECT_EQ(three, four);
  Values many(400);
  unsigned s = 12345;
  for (double& v : many) {
    s = s * 1103515245u + 12345u;
    v = static_cast<double>((s >> 16) % 37);  // many ties
  }
  for (int n : {3, 9, 25}) {
    Values got(many.size());
    ASSERT_TRUE(MedianPass(many.data(), got.data(), 400, n));
    const int h = n / 2;
    for (int i = h; i < 400 - h; ++i) {
      Values win(many.begin() + i - h, many.begin() + i + h + 1);
      std::nth_element(win.begin(), win.begin() + h, win.end());
      ASSERT_EQ(got[static_cast<size_t>(i)], win[static_cast<size_t>(h)]) << n << " " << i;
    }
  }
  CRecordingUi ui;
  Values nan = {1, 2, std::numeric_limits<double>::quiet_NaN(), 4, 5, 6};
  EXPECT_FALSE(MedianPass(nan.data(), out.data(), 6, 3));
  EXPECT_EQ(ui.Last(), "Error in finding median value.");
}

TEST(SimpleMovingAverageTest, EndRulesShortZonesAndRepeats) {
  const Values w = {3, 1, 4, 1, 5, 9, 2, 6, 5, 3};
  Values out(10);
  SimpleAveragePass(w.data(), out.data(), 10, 5);
  EXPECT_EQ(out[0], 3.0);                               // point 1 kept
  EXPECT_DOUBLE_EQ(out[1], (3 + 1 + 4) / 3.0);          // point 2: mean of 1..3
  EXPECT_DOUBLE_EQ(out[2], (3 + 1 + 4 + 1 + 5) / 5.0);  // point 3: mean of 1..5
  EXPECT_DOUBLE_EQ(out[5], (1 + 5 + 9 + 2 + 6) / 5.0);  // point 6: mean of 4..8
  EXPECT_DOUBLE_EQ(out[8], (6 + 5 + 3) / 3.0);          // point 9: mean of 8..10
  EXPECT_EQ(out[9], 3.0);                               // point 10 kept
  // A short zone uses the largest symmetric window that fits.
  const Values s = {2, 4, 6, 20};
  SimpleAveragePass(s.data(), out.data(), 4, 25);
  EXPECT_EQ(Values(out.begin(), out.begin() + 4), (Values{2, 4, 10, 20}));
  // Repeats apply the pass again.
  Values x = Iota(40), y(40), once(40), twice(40);
  for (int i = 0; i < 40; ++i) y[static_cast<size_t>(i)] = std::sin(0.7 * i) + 0.01 * i * i;
  SimpleAveragePass(y.data(), once.data(), 40, 7);
  SimpleAveragePass(once.data(), twice.data(), 40, 7);
  CSmoothingWorkspace ws;
  ASSERT_TRUE(SmoothValues(Spec(kSmoothSimpleAverage, 7, 2), x.data(), y.data(), 40, ws));
  for (int i = 0; i < 40; ++i)
    EXPECT_DOUBLE_EQ(y[static_cast<size_t>(i)], twice[static_cast<size_t>(i)]);
}

TEST(SavitzkyGolayTest, PublishedSetsAndUnsupportedWindows) {
  using Set = std::vector<long long>;
  struct Case {
    int window, order;
    Set set;
  };
  const Case cases[] = {
      {5, 3, {-3, 12, 17, 12, -3}},
      {7, 3, {-2, 3, 6, 7, 6, 3, -2}},
      {9, 3, {-21, 14, 39, 54, 59, 54, 39, 14, -21}},
      {7, 5, {5, -30, 75, 131, 75, -30, 5}},
      {9, 5, {15, -55, 30, 135, 179, 135, 30, -55, 15}},
      {11, 5, {18, -45, -10, 60, 120, 143, 120, 60, -10, -45, 18}},
      {13, 5, {110, -198, -135, 110, 390, 600, 677, 600, 390, 110, -135, -198, 110}},
      {4, 3, {}},
      {27, 3, {}},
      {5, 5, {}},
      {9, 4, {}}};
  for (const Case& c : cases)
    EXPECT_EQ(SavitzkyGolayIntegers(c.window, c.order), c.set) << c.window << "/" << c.order;
  EXPECT_TRUE(SavitzkyGolaySet(9, 4).c.empty());
}

// Independent of any table: a set of order p reproduces, at the middle, every
// polynomial of degree p on equally spaced points (the divisor is the sum),
// but not degree p + 1 (a set of a lower order would).
TEST(SavitzkyGolayTest, EverySetReproducesPolynomialsOfItsOrder) {
  for (int order : {3, 5}) {
    for (int window = order == 3 ? 5 : 7; window <= 25; window += 2) {
      const CSavitzkyGolaySet& set = SavitzkyGolaySet(window, order);
      ASSERT_EQ(static_cast<int>(set.c.size()), window);
      const int k = window / 2;
      const auto at = [&](auto p) {
        double sum = 0.0;
        for (int j = -k; j <= k; ++j) sum += set.c[static_cast<size_t>(j + k)] * p(j);
        return sum / set.sum;
      };
      for (int power = 0; power <= order; ++power)  // p(j) = (j + 3)^power at j = 0
        EXPECT_NEAR(at([&](int j) { return std::pow(j + 3.0, power); }), std::pow(3.0, power),
                    1e-9 * std::pow(3.0 + k, power))
            << "order " << order << " window " << window << " power " << power;
      EXPECT_GT(std::fabs(at([&](int j) { return std::pow(double(j), order + 1); })), 1e-6)
          << "order " << order << " window " << window;
    }
  }
}

TEST(PolynomialMovingAverageTest, ByHandKeptEndsAndSmallerWindowsNearTheEnds) {
  Values w(20), out(40);
  for (int i = 0; i < 20; ++i) w[static_cast<size_t>(i)] = (i * 7) % 5 + 0.5 * i;
  PolynomialAveragePass(w.data(), out.data(), 20, 5, 3);
  for (int i : {0, 1, 2, 3, 4, 15, 16, 17, 18, 19})
    EXPECT_EQ(out[static_cast<size_t>(i)], w[static_cast<size_t>(i)]) << i;
  for (int i = 5; i < 15; ++i) {
    const double* v = &w[static_cast<size_t>(i)];
    EXPECT_DOUBLE_EQ(out[static_cast<size_t>(i)],
                     (-3 * v[-2] + 12 * v[-1] + 17 * v[0] + 12 * v[1] - 3 * v[2]) / 35.0);
  }
  Values c(40);
  for (int i = 0; i < 40; ++i) c[static_cast<size_t>(i)] = std::cos(0.3 * i) * (1 + i % 3);
  PolynomialAveragePass(c.data(), out.data(), 40, 25, 3);
  // Points 6 and 35 (1-based) of 40 use 11 points: c(j) = 3*5*6 - 1 - 5 j^2 =
  // 89 - 5 j^2, sum 429; points 5 and 36 keep their values.
  for (int centre : {5, 34}) {
    double sum = 0.0;
    for (int j = -5; j <= 5; ++j) sum += (89 - 5 * j * j) * c[static_cast<size_t>(centre + j)];
    EXPECT_DOUBLE_EQ(out[static_cast<size_t>(centre)], sum / 429.0) << centre;
  }
  EXPECT_EQ(out[4], c[4]);
  EXPECT_EQ(out[35], c[35]);
  // Order 5 reproduces a quintic away from the ends.
  Values q(60), qout(60);
  for (int i = 0; i < 60; ++i) {
    const double t = 0.1 * i;
    q[static_cast<size_t>(i)] = 1 - 2 * t + 0.5 * t * t - 0.01 * std::pow(t, 5);
  }
  PolynomialAveragePass(q.data(), qout.data(), 60, 25, 5);
  for (int i = 7; i < 53; ++i)
    EXPECT_NEAR(qout[static_cast<size_t>(i)], q[static_cast<size_t>(i)], 1e-11) << i;
}

TEST(LocalRegressionTest, WeightsByHandAndTheFarthestPoint) {
  // Five equally spaced points, the middle one: d = 2, weights 0, (7/8)^3, 1,
  // (7/8)^3, 0; symmetric weights make the local line's value the weighted mean.
  const Values x5 = {0, 1, 2, 3, 4}, w5 = {100, 2, 3, 7, -50};
  Values out(12);
  LocalRegressionPass(x5.data(), w5.data(), out.data(), 5, 5, 1);
  const double a = std::pow(7.0 / 8.0, 3);
  EXPECT_NEAR(out[2], (a * 2 + 3 + a * 7) / (2 * a + 1), 1e-13);
  EXPECT_EQ(TricubeWeight(2.0, 2.0, 0.5), 0.0);
  EXPECT_EQ(TricubeWeight(0.0, 2.0, 0.5), 1.0);
  EXPECT_DOUBLE_EQ(TricubeWeight(1.0, 2.0, 0.5), a);
  // Points 1..5 are the window of points 1, 2 and 3, and point 5 is the
  // farthest from each of them; point 4's window 2..6 reaches farther.
  Values x(12), w(12), after(12);
  for (int i = 0; i < 12; ++i) {
    x[static_cast<size_t>(i)] = 0.001 * i * i;
    w[static_cast<size_t>(i)] = std::sin(i);
  }
  Values changed = w;
  changed[4] += 1000;
  for (int degree : {1, 2}) {
    LocalRegressionPass(x.data(), w.data(), out.data(), 12, 5, degree);
    LocalRegressionPass(x.data(), changed.data(), after.data(), 12, 5, degree);
    for (int i : {0, 1, 2})
      EXPECT_EQ(out[static_cast<size_t>(i)], after[static_cast<size_t>(i)]) << degree;
    EXPECT_NE(out[3], after[3]) << degree;
  }
  // All window points at one x except a far one of weight 0: the slope is
  // undetermined and the value is the mean of the equal-x points.
  const Values xr = {1, 1, 1, 1, 2}, wr = {1, 2, 3, 6, 100};
  LocalRegressionPass(xr.data(), wr.data(), out.data(), 5, 5, 1);
  EXPECT_DOUBLE_EQ(out[0], 3.0);
  LocalRegressionPass(xr.data(), wr.data(), out.data(), 5, 5, 2);
  EXPECT_DOUBLE_EQ(out[1], 3.0);
  EXPECT_TRUE(std::isfinite(out[4]));
}

TEST(LocalRegressionTest, ReproducesItsPolynomialAndMirrorsDecreasingX) {
  // Strain-like x (1e-7 steps), irregular spacing: a local line reproduces a
  // line and a local quadratic a quadratic, up to rounding.
  Values x(50), line(50), quad(50), out(50);
  for (int i = 0; i < 50; ++i) {
    const double xi = 1e-7 * (i + 0.3 * std::sin(3.0 * i));
    x[static_cast<size_t>(i)] = xi;
    line[static_cast<size_t>(i)] = 3.0 + 2e5 * xi;
    quad[static_cast<size_t>(i)] = 1.0 + 2e5 * xi - 4e11 * xi * xi;
  }
  LocalRegressionPass(x.data(), line.data(), out.data(), 50, 7, 1);
  for (int i = 0; i < 50; ++i)
    EXPECT_NEAR(out[static_cast<size_t>(i)], line[static_cast<size_t>(i)], 1e-12) << i;
  LocalRegressionPass(x.data(), quad.data(), out.data(), 50, 9, 2);
  for (int i = 0; i < 50; ++i)
    EXPECT_NEAR(out[static_cast<size_t>(i)], quad[static_cast<size_t>(i)], 1e-12) << i;
  // Decreasing x gives the mirror image of increasing x.
  Values up(30), down(30), w(30), wDown(30), outUp(30), outDown(30);
  for (int i = 0; i < 30; ++i) {
    up[static_cast<size_t>(i)] = 0.01 * i + 0.001 * (i % 4);
    w[static_cast<size_t>(i)] = std::cos(0.5 * i) + (i % 3);
  }
  for (size_t i = 0; i < 30; ++i) down[i] = -up[29 - i], wDown[i] = w[29 - i];
  for (int degree : {1, 2}) {
    LocalRegressionPass(up.data(), w.data(), outUp.data(), 30, 7, degree);
    LocalRegressionPass(down.data(), wDown.data(), outDown.data(), 30, 7, degree);
    for (size_t i = 0; i < 30; ++i) EXPECT_NEAR(outDown[i], outUp[29 - i], 1e-12) << i;
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
  EXPECT_EQ(zone.workingPoints(1, 3), 1.0);
  EXPECT_DOUBLE_EQ(zone.workingPoints(2, 3), 5.0 / 3);
  EXPECT_DOUBLE_EQ(zone.workingPoints(3, 3), 7.0 / 3);
  EXPECT_EQ(zone.workingPoints(10, 3), 3.0);
  EXPECT_EQ(zone.workingPoints(11, 3), 1.0);
  for (int i = 1; i <= 12; ++i) {
    EXPECT_EQ(zone.workingPoints(i, 1), i * 0.1);
    EXPECT_EQ(zone.workingPoints(i, 2), 1000.0 + i);
  }
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace olm::test
