#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

#include "TestSupport.hpp"
#include "engine/LocalRegression.hpp"
#include "engine/Smoothing.hpp"
#include "engine/ZoneProcessing.hpp"

namespace olm::test {
namespace {

const char* const kRepeats = "Invalid number of repeats.";
const char* const kWindow18 = "Number of points for smoothing must be odd and between 3 and 25.";
const char* const kWindow19 =
    "Number of points for Lowess/Loess smoothing must be odd and between 5 and 25.";
const char* const kOrder20 =
    "Degree of polynomial for polynomial smoothing average must be 3 or 5.";
const char* const kWindow21 =
    "Number of points for smoothing must be odd and between 5 and 25 \nfor 3rd degree "
    "polynomial and between 7 and 25 for 5th order polynomial.";
const char* const kWindow22 =
    "Number of points for smoothing must be less than the number of data points.";

CSmoothingSpec Spec(int method, int points, int repeats = 1, int order = 3) {
  CSmoothingSpec s;
  s.method = method;
  s.points = points;
  s.repeats = repeats;
  s.order = order;
  return s;
}

std::vector<double> Iota(int n, double start = 1.0) {
  std::vector<double> v(static_cast<size_t>(n));
  std::iota(v.begin(), v.end(), start);
  return v;
}

// Runs a filter and returns the message it showed ("" for none).
std::string Message(const CSmoothingSpec& spec, int count = 30) {
  CRecordingUi ui;
  std::vector<double> x = Iota(count), y(static_cast<size_t>(count), 1.0);
  CSmoothingWorkspace ws;
  const bool ok = SmoothValues(spec, x.data(), y.data(), count, ws);
  EXPECT_EQ(ok, ui.messages.empty());
  return ui.messages.empty() ? "" : ui.Last();
}

TEST(SmoothingChecks, RepeatsAreCheckedFirstExceptForLocalRegression) {
  EXPECT_EQ(Message(Spec(kSmoothMedian, 2, 0)), kRepeats);
  EXPECT_EQ(Message(Spec(kSmoothSimpleAverage, 4, 0)), kRepeats);
  EXPECT_EQ(Message(Spec(kSmoothPolynomialAverage, 4, 0, 4)), kRepeats);
  for (int m : {kSmoothLoess, kSmoothRobustLoess, kSmoothLowess, kSmoothRobustLowess}) {
    EXPECT_EQ(Message(Spec(m, 6, 0)), kWindow19) << m;
    EXPECT_EQ(Message(Spec(m, 7, 0)), kRepeats) << m;
  }
}

TEST(SmoothingChecks, WindowLimitsOfEachMethod) {
  EXPECT_EQ(Message(Spec(kSmoothMedian, 2)), kWindow18);
  EXPECT_EQ(Message(Spec(kSmoothMedian, 26)), kWindow18);
  EXPECT_EQ(Message(Spec(kSmoothMedian, 4)), "");  // no oddness test
  EXPECT_EQ(Message(Spec(kSmoothSimpleAverage, 4)), kWindow18);
  EXPECT_EQ(Message(Spec(kSmoothSimpleAverage, 27)), kWindow18);
  EXPECT_EQ(Message(Spec(kSmoothSimpleAverage, 3)), "");
  EXPECT_EQ(Message(Spec(kSmoothPolynomialAverage, 3)), kWindow21);
  EXPECT_EQ(Message(Spec(kSmoothPolynomialAverage, 27)), kWindow21);
  EXPECT_EQ(Message(Spec(kSmoothPolynomialAverage, 5, 1, 4)), kOrder20);
  EXPECT_EQ(Message(Spec(kSmoothPolynomialAverage, 5, 1, 5)), kWindow21);
  EXPECT_EQ(Message(Spec(kSmoothPolynomialAverage, 7, 1, 5)), "");
  EXPECT_EQ(Message(Spec(kSmoothLowess, 3)), kWindow19);
  EXPECT_EQ(Message(Spec(kSmoothLoess, 27)), kWindow19);
  EXPECT_EQ(Message(Spec(kSmoothLowess, 25)), "");
}

TEST(SmoothingChecks, LocalRegressionNeedsAsManyPointsAsTheWindow) {
  EXPECT_EQ(Message(Spec(kSmoothLowess, 9), 8), kWindow22);
  EXPECT_EQ(Message(Spec(kSmoothRobustLoess, 9), 8), kWindow22);
  EXPECT_EQ(Message(Spec(kSmoothLowess, 9), 9), "");
  // The moving averages and the median handle short zones at their ends.
  EXPECT_EQ(Message(Spec(kSmoothSimpleAverage, 25), 4), "");
  EXPECT_EQ(Message(Spec(kSmoothPolynomialAverage, 25), 12), "");
  EXPECT_EQ(Message(Spec(kSmoothMedian, 25), 4), "");
}

TEST(SmoothingChecks, UnknownMethodIsReported) {
  EXPECT_EQ(Message(Spec(8, 5)),
            "Smoothing filters must be simple_moving_average, polynomial_moving_average, or "
            "moving_median.");
}

TEST(MovingMedian, MiddlePointsTakeTheWindowMedianEndsKeepTheirValues) {
  const std::vector<double> w = {5, 1, 9, 3, 7, 2, 8};
  std::vector<double> out(w.size());
  ASSERT_TRUE(MedianPass(w.data(), out.data(), 7, 5));
  EXPECT_EQ(out, (std::vector<double>{5, 1, 5, 3, 7, 2, 8}));
  ASSERT_TRUE(MedianPass(w.data(), out.data(), 7, 3));
  EXPECT_EQ(out, (std::vector<double>{5, 5, 3, 7, 3, 7, 8}));
}

TEST(MovingMedian, EvenWindowActsAsTheNextSmallerOddOne) {
  const std::vector<double> w = {4, 8, 1, 7, 7, 0, 3, 9, 2, 2};
  std::vector<double> three(w.size()), four(w.size());
  ASSERT_TRUE(MedianPass(w.data(), three.data(), 10, 3));
  ASSERT_TRUE(MedianPass(w.data(), four.data(), 10, 4));
  EXPECT_EQ(three, four);
}

TEST(MovingMedian, SlidingWindowAgreesWithSortingEveryWindow) {
  std::vector<double> w(400);
  unsigned s = 12345;
  for (double& v : w) {
    s = s * 1103515245u + 12345u;
    v = static_cast<double>((s >> 16) % 37);  // many ties
  }
  for (int n : {3, 9, 25}) {
    std::vector<double> out(w.size());
    ASSERT_TRUE(MedianPass(w.data(), out.data(), 400, n));
    const int h = n / 2;
    for (int i = h; i < 400 - h; ++i) {
      std::vector<double> win(w.begin() + i - h, w.begin() + i + h + 1);
      std::sort(win.begin(), win.end());
      ASSERT_EQ(out[static_cast<size_t>(i)], win[static_cast<size_t>(h)]) << i;
    }
  }
}

TEST(MovingMedian, NaNInAWindowFailsWithItsMessage) {
  CRecordingUi ui;
  std::vector<double> w = {1, 2, std::numeric_limits<double>::quiet_NaN(), 4, 5, 6};
  std::vector<double> out(w.size());
  EXPECT_FALSE(MedianPass(w.data(), out.data(), 6, 3));
  EXPECT_EQ(ui.Last(), "Error in finding median value.");
}

TEST(SimpleMovingAverage, EndRulesOnTenPoints) {
  const std::vector<double> w = {3, 1, 4, 1, 5, 9, 2, 6, 5, 3};
  std::vector<double> out(10);
  SimpleAveragePass(w.data(), out.data(), 10, 5);
  EXPECT_EQ(out[0], 3.0);                               // point 1 kept
  EXPECT_DOUBLE_EQ(out[1], (3 + 1 + 4) / 3.0);          // point 2: mean of 1..3
  EXPECT_DOUBLE_EQ(out[2], (3 + 1 + 4 + 1 + 5) / 5.0);  // point 3: mean of 1..5
  EXPECT_DOUBLE_EQ(out[5], (1 + 5 + 9 + 2 + 6) / 5.0);  // point 6: mean of 4..8
  EXPECT_DOUBLE_EQ(out[8], (6 + 5 + 3) / 3.0);          // point 9: mean of 8..10
  EXPECT_EQ(out[9], 3.0);                               // point 10 kept
}

TEST(SimpleMovingAverage, ShortZoneUsesTheLargestSymmetricWindowThatFits) {
  const std::vector<double> w = {2, 4, 6, 20};
  std::vector<double> out(4);
  SimpleAveragePass(w.data(), out.data(), 4, 25);
  EXPECT_EQ(out, (std::vector<double>{2, 4, 10, 20}));
}

TEST(SimpleMovingAverage, RepeatsApplyThePassAgain) {
  std::vector<double> x = Iota(40), y(40), once(40), twice(40);
  for (int i = 0; i < 40; ++i) y[static_cast<size_t>(i)] = std::sin(0.7 * i) + 0.01 * i * i;
  SimpleAveragePass(y.data(), once.data(), 40, 7);
  SimpleAveragePass(once.data(), twice.data(), 40, 7);
  CSmoothingWorkspace ws;
  ASSERT_TRUE(SmoothValues(Spec(kSmoothSimpleAverage, 7, 2), x.data(), y.data(), 40, ws));
  for (int i = 0; i < 40; ++i)
    EXPECT_DOUBLE_EQ(y[static_cast<size_t>(i)], twice[static_cast<size_t>(i)]);
}

TEST(PolynomialMovingAverage, FivePointQuadraticByHandAndKeptEnds) {
  std::vector<double> w(20);
  for (int i = 0; i < 20; ++i) w[static_cast<size_t>(i)] = (i * 7) % 5 + 0.5 * i;
  std::vector<double> out(20);
  PolynomialAveragePass(w.data(), out.data(), 20, 5, 3);
  for (int i : {0, 1, 2, 3, 4, 15, 16, 17, 18, 19})
    EXPECT_EQ(out[static_cast<size_t>(i)], w[static_cast<size_t>(i)]) << i;
  for (int i = 5; i < 15; ++i) {
    const double* v = &w[static_cast<size_t>(i)];
    EXPECT_DOUBLE_EQ(out[static_cast<size_t>(i)],
                     (-3 * v[-2] + 12 * v[-1] + 17 * v[0] + 12 * v[1] - 3 * v[2]) / 35.0);
  }
}

TEST(PolynomialMovingAverage, NearTheEndsSmallerWindowsUseTheirOwnSets) {
  std::vector<double> w(40);
  for (int i = 0; i < 40; ++i) w[static_cast<size_t>(i)] = std::cos(0.3 * i) * (1 + i % 3);
  std::vector<double> out(40);
  PolynomialAveragePass(w.data(), out.data(), 40, 25, 3);
  // Point 6 (1-based) uses 11 points: c(j) = 3*5*6 - 1 - 5 j^2 = 89 - 5 j^2, sum 429.
  double sum = 0.0;
  for (int j = -5; j <= 5; ++j) sum += (89 - 5 * j * j) * w[static_cast<size_t>(5 + j)];
  EXPECT_DOUBLE_EQ(out[5], sum / 429.0);
  // Point 35 of 40 uses 2 * (40 - 35) + 1 = 11 points as well.
  sum = 0.0;
  for (int j = -5; j <= 5; ++j) sum += (89 - 5 * j * j) * w[static_cast<size_t>(34 + j)];
  EXPECT_DOUBLE_EQ(out[34], sum / 429.0);
  EXPECT_EQ(out[4], w[4]);
  EXPECT_EQ(out[35], w[35]);
}

TEST(PolynomialMovingAverage, QuinticOrderReproducesAQuinticAwayFromTheEnds) {
  std::vector<double> w(60), out(60);
  const auto p = [](double t) { return 1 - 2 * t + 0.5 * t * t - 0.01 * std::pow(t, 5); };
  for (int i = 0; i < 60; ++i) w[static_cast<size_t>(i)] = p(0.1 * i);
  PolynomialAveragePass(w.data(), out.data(), 60, 25, 5);
  for (int i = 7; i < 53; ++i)
    EXPECT_NEAR(out[static_cast<size_t>(i)], w[static_cast<size_t>(i)], 1e-11) << i;
}

// Lowess by hand: five equally spaced points, the middle one: d = 2, weights
// 0, (7/8)^3, 1, (7/8)^3, 0; symmetric weights make the local line's value
// the weighted mean.
TEST(LocalRegression, LowessMiddlePointByHand) {
  const std::vector<double> x = {0, 1, 2, 3, 4}, w = {100, 2, 3, 7, -50};
  std::vector<double> out(5);
  LocalRegressionPass(x.data(), w.data(), out.data(), 5, 5, 1);
  const double a = std::pow(7.0 / 8.0, 3);
  EXPECT_NEAR(out[2], (a * 2 + 3 + a * 7) / (2 * a + 1), 1e-13);
}

TEST(LocalRegression, FarthestWindowPointHasNoWeight) {
  std::vector<double> x(12), w(12);
  for (int i = 0; i < 12; ++i) {
    x[static_cast<size_t>(i)] = 0.001 * i * i;
    w[static_cast<size_t>(i)] = std::sin(i);
  }
  std::vector<double> before(12), after(12);
  for (int degree : {1, 2}) {
    LocalRegressionPass(x.data(), w.data(), before.data(), 12, 5, degree);
    // Points 1..5 are the window of points 1, 2 and 3, and point 5 is the
    // farthest from each of them; point 4's window 2..6 reaches farther.
    std::vector<double> changed = w;
    changed[4] += 1000;
    LocalRegressionPass(x.data(), changed.data(), after.data(), 12, 5, degree);
    for (int i : {0, 1, 2})
      EXPECT_EQ(before[static_cast<size_t>(i)], after[static_cast<size_t>(i)]) << degree;
    EXPECT_NE(before[3], after[3]) << degree;
  }
  EXPECT_EQ(TricubeWeight(2.0, 2.0, 0.5), 0.0);
  EXPECT_EQ(TricubeWeight(0.0, 2.0, 0.5), 1.0);
  EXPECT_DOUBLE_EQ(TricubeWeight(1.0, 2.0, 0.5), std::pow(7.0 / 8.0, 3));
}

TEST(LocalRegression, ReproducesItsPolynomialOnTinyStrainValues) {
  // Strain-like x (1e-7 steps), irregular spacing: a local line reproduces a
  // line and a local quadratic a quadratic, up to rounding.
  std::vector<double> x(50), line(50), quad(50), out(50);
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
}

TEST(LocalRegression, DecreasingXGivesTheMirrorImageOfIncreasingX) {
  std::vector<double> up(30), down(30), w(30), outUp(30), outDown(30), wDown(30);
  for (int i = 0; i < 30; ++i) {
    up[static_cast<size_t>(i)] = 0.01 * i + 0.001 * (i % 4);
    w[static_cast<size_t>(i)] = std::cos(0.5 * i) + (i % 3);
  }
  for (int i = 0; i < 30; ++i) {
    down[static_cast<size_t>(i)] = -up[static_cast<size_t>(29 - i)];
    wDown[static_cast<size_t>(i)] = w[static_cast<size_t>(29 - i)];
  }
  for (int degree : {1, 2}) {
    LocalRegressionPass(up.data(), w.data(), outUp.data(), 30, 7, degree);
    LocalRegressionPass(down.data(), wDown.data(), outDown.data(), 30, 7, degree);
    for (int i = 0; i < 30; ++i)
      EXPECT_NEAR(outDown[static_cast<size_t>(i)], outUp[static_cast<size_t>(29 - i)], 1e-12) << i;
  }
}

TEST(LocalRegression, RepeatedXInAWindowFallsBackToTheLocalMean) {
  // All window points at one x except a far one that gets weight 0: the
  // slope is undetermined and the value is the mean of the equal-x points.
  const std::vector<double> x = {1, 1, 1, 1, 2}, w = {1, 2, 3, 6, 100};
  std::vector<double> out(5);
  LocalRegressionPass(x.data(), w.data(), out.data(), 5, 5, 1);
  EXPECT_DOUBLE_EQ(out[0], 3.0);
  LocalRegressionPass(x.data(), w.data(), out.data(), 5, 5, 2);
  EXPECT_DOUBLE_EQ(out[1], 3.0);
  EXPECT_TRUE(std::isfinite(out[4]));
}

TEST(SmoothZone, OnlyTheYColumnChanges) {
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
