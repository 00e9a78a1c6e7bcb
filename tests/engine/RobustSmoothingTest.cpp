// The robust local regression against a direct transcription of its
// definition: every point's neighbourhood is found by sorting the distances
// to all points that keep a robustness weight.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include "TestSupport.hpp"
#include "engine/LocalRegression.hpp"

namespace olm::test {
namespace {

double Tricube(double adx, double d) {
  if (adx == 0.0) return 1.0;
  if (adx >= d) return 0.0;
  const double t = adx / d;
  return std::pow(std::max(0.0, 1.0 - t * t * t), 3);
}

// Weighted least squares of degree 1 or 2 in u = (x - q) / d by a plain
// 3x3 / 2x2 solve with Cramer's rule, value at u = 0; nullopt-like flag when
// all weights are zero.  A determinant that vanishes against the diagonal
// product means the highest coefficient is undetermined: drop it.
bool LocalValue(const std::vector<double>& u, const std::vector<double>& y,
                const std::vector<double>& wt, int degree, double& value) {
  double s[5] = {}, t[3] = {};
  for (size_t j = 0; j < u.size(); ++j) {
    for (int k = 0; k <= 4; ++k) s[k] += wt[j] * std::pow(u[j], k);
    for (int k = 0; k <= 2; ++k) t[k] += wt[j] * std::pow(u[j], k) * y[j];
  }
  if (!(s[0] > 0)) return false;
  value = t[0] / s[0];
  const double det2 = s[0] * s[2] - s[1] * s[1];
  if (degree >= 1 && det2 > 1e-10 * s[0] * s[2]) value = (t[0] * s[2] - s[1] * t[1]) / det2;
  if (degree == 2 && det2 > 1e-10 * s[0] * s[2]) {
    const double det3 = s[0] * (s[2] * s[4] - s[3] * s[3]) - s[1] * (s[1] * s[4] - s[3] * s[2]) +
                        s[2] * (s[1] * s[3] - s[2] * s[2]);
    if (det3 > 1e-10 * det2 * s[4])
      value = (t[0] * (s[2] * s[4] - s[3] * s[3]) - s[1] * (t[1] * s[4] - s[3] * t[2]) +
               s[2] * (t[1] * s[3] - s[2] * t[2])) /
              det3;
  }
  return true;
}

// The plain pass, written from the window rules.
std::vector<double> DirectPlain(const std::vector<double>& x, const std::vector<double>& w, int n,
                                int degree) {
  const int N = static_cast<int>(x.size());
  std::vector<double> out(x.size());
  for (int i = 1; i <= N; ++i) {
    int lo, hi;
    if (i < (n + 1) / 2) {
      lo = 1, hi = n;
    } else if (i > N - (n + 1) / 2 + 1) {
      lo = N - n + 1, hi = N;
    } else {
      const int k = (n + 1) / 2 - 1;
      lo = i - k, hi = i + k;
    }
    const double xi = x[static_cast<size_t>(i - 1)];
    const double d = std::max(std::fabs(x[static_cast<size_t>(lo - 1)] - xi),
                              std::fabs(x[static_cast<size_t>(hi - 1)] - xi));
    std::vector<double> u, y, wt;
    for (int j = lo; j <= hi; ++j) {
      const double dx = x[static_cast<size_t>(j - 1)] - xi;
      u.push_back(d > 0 ? dx / d : 0.0);
      y.push_back(w[static_cast<size_t>(j - 1)]);
      wt.push_back(Tricube(std::fabs(dx), d));
    }
    double v = w[static_cast<size_t>(i - 1)];
    LocalValue(u, y, wt, degree, v);
    out[static_cast<size_t>(i - 1)] = v;
  }
  return out;
}

// The robust filter, neighbourhoods by sorting all distances (ties in
// stored order).  Returns false where the filter must fail.
bool DirectRobust(const std::vector<double>& x, const std::vector<double>& raw, int n, int degree,
                  int repeats, std::vector<double>& fit) {
  const size_t N = x.size();
  fit = DirectPlain(x, raw, n, degree);
  for (int pass = 1; pass <= repeats; ++pass) {
    std::vector<double> r(N), a(N);
    for (size_t i = 0; i < N; ++i) a[i] = std::fabs(r[i] = raw[i] - fit[i]);
    std::sort(a.begin(), a.end());
    const double m = N % 2 ? a[N / 2] : 0.5 * (a[N / 2 - 1] + a[N / 2]);
    std::vector<double> rw(N);
    std::vector<size_t> cand;
    for (size_t i = 0; i < N; ++i) {
      if (m > 0)
        rw[i] = std::fabs(r[i]) >= 6 * m ? 0.0 : std::pow(1 - std::pow(r[i] / (6 * m), 2), 2);
      else
        rw[i] = r[i] == 0 ? 1.0 : 0.0;
      if (rw[i] > 0) cand.push_back(i);
    }
    if (cand.size() < static_cast<size_t>(n)) return false;
    std::vector<double> next(N);
    for (size_t i = 0; i < N; ++i) {
      std::vector<size_t> c = cand;
      std::stable_sort(c.begin(), c.end(), [&](size_t p, size_t q) {
        return std::fabs(x[p] - x[i]) < std::fabs(x[q] - x[i]);
      });
      c.resize(static_cast<size_t>(n));
      const double d = std::fabs(x[c.back()] - x[i]);
      std::vector<double> u, y, wt;
      for (size_t j : c) {
        u.push_back(d > 0 ? (x[j] - x[i]) / d : 0.0);
        y.push_back(raw[j]);
        wt.push_back(Tricube(std::fabs(x[j] - x[i]), d) * rw[j]);
      }
      double v = fit[i];
      LocalValue(u, y, wt, degree, v);
      next[i] = v;
    }
    fit = next;
  }
  return true;
}

TEST(NearestWindow, HoldsTheNNearestCandidatesTiesIncluded) {
  std::mt19937 rng(7);
  for (int trial = 0; trial < 200; ++trial) {
    const int k = 5 + static_cast<int>(rng() % 40), n = 1 + static_cast<int>(rng() % k);
    std::vector<double> cx(static_cast<size_t>(k));
    for (double& v : cx) v = static_cast<double>(rng() % 12);  // many ties
    std::sort(cx.begin(), cx.end());
    std::vector<double> queries(30);
    for (double& q : queries) q = 0.5 * static_cast<double>(rng() % 28) - 1.0;
    std::sort(queries.begin(), queries.end());
    int lo = 0;
    for (double q : queries) {
      lo = AdvanceNearestWindow(cx.data(), k, n, q, lo);
      ASSERT_LE(lo + n, k);
      std::vector<double> all, win;
      for (double v : cx) all.push_back(std::fabs(v - q));
      for (int j = lo; j < lo + n; ++j) win.push_back(std::fabs(cx[static_cast<size_t>(j)] - q));
      std::sort(all.begin(), all.end());
      std::sort(win.begin(), win.end());
      all.resize(static_cast<size_t>(n));
      ASSERT_EQ(win, all) << "trial " << trial << " q " << q;
      // n or more candidates equal to q: the window is the first n of them.
      if (win.back() == 0.0) {
        ASSERT_TRUE(lo == 0 || cx[static_cast<size_t>(lo - 1)] != q);
      }
    }
  }
}

struct RobustCase {
  int n, degree, repeats;
  bool sortedX;
};

class RobustAgainstDefinition : public ::testing::TestWithParam<RobustCase> {};

TEST_P(RobustAgainstDefinition, SlidingNeighbourhoodsGiveTheDefinedValues) {
  const RobustCase c = GetParam();
  CRecordingUi ui;
  std::mt19937 rng(static_cast<unsigned>(c.n * 31 + c.degree * 7 + c.repeats));
  for (int trial = 0; trial < 8; ++trial) {
    const int N = 40 + static_cast<int>(rng() % 60);
    std::vector<double> x(static_cast<size_t>(N)), y(static_cast<size_t>(N));
    for (int i = 0; i < N; ++i) {
      // x on a coarse grid (ties), unsorted unless asked; y a curve with
      // noise, a few spikes and some repeated values.
      x[static_cast<size_t>(i)] = 0.25 * static_cast<double>(rng() % 30);
      const double xi = x[static_cast<size_t>(i)];
      y[static_cast<size_t>(i)] = std::sin(xi) + 0.1 * static_cast<double>(rng() % 7);
      if (rng() % 15 == 0) y[static_cast<size_t>(i)] += 8.0;
    }
    if (c.sortedX) std::sort(x.begin(), x.end());
    std::vector<double> expected;
    const bool defined = DirectRobust(x, y, c.n, c.degree, c.repeats, expected);
    std::vector<double> got = y;
    CSmoothingWorkspace ws;
    const bool ok = RobustLocalRegression(x.data(), got.data(), N, c.n, c.degree, c.repeats, ws);
    ASSERT_EQ(ok, defined) << "trial " << trial;
    if (!ok) continue;
    for (int i = 0; i < N; ++i)
      ASSERT_NEAR(got[static_cast<size_t>(i)], expected[static_cast<size_t>(i)],
                  1e-9 * (1 + std::fabs(expected[static_cast<size_t>(i)])))
          << "trial " << trial << " point " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, RobustAgainstDefinition,
                         ::testing::Values(RobustCase{5, 1, 1, true}, RobustCase{7, 1, 3, false},
                                           RobustCase{11, 2, 2, true}, RobustCase{9, 2, 3, false},
                                           RobustCase{25, 1, 2, false},
                                           RobustCase{25, 2, 1, true}));

TEST(RobustLocalRegression, RemovesASpikeFromALine) {
  CRecordingUi ui;
  std::vector<double> x(60), y(60);
  for (int i = 0; i < 60; ++i) {
    x[static_cast<size_t>(i)] = 0.001 * i;
    y[static_cast<size_t>(i)] = 5.0 + 200.0 * x[static_cast<size_t>(i)];
  }
  y[30] += 50.0;
  CSmoothingWorkspace ws;
  ASSERT_TRUE(RobustLocalRegression(x.data(), y.data(), 60, 7, 1, 2, ws));
  for (int i = 0; i < 60; ++i) EXPECT_NEAR(y[static_cast<size_t>(i)], 5.0 + 0.2 * i, 1e-9) << i;
  EXPECT_TRUE(ui.messages.empty());
}

TEST(RobustLocalRegression, ZeroMedianResidualKeepsTheExactlyReproducedPoints) {
  // Most local fits reproduce the flat data exactly: M = 0.  The points with
  // zero residual keep full weight and the spike's influence goes.
  CRecordingUi ui;
  std::vector<double> x(20), y(20, 0.0);
  std::iota(x.begin(), x.end(), 0.0);
  y[10] = 100.0;
  CSmoothingWorkspace ws;
  ASSERT_TRUE(RobustLocalRegression(x.data(), y.data(), 20, 5, 1, 1, ws));
  for (double v : y) EXPECT_EQ(v, 0.0);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(RobustLocalRegression, TooFewWeightedPointsFail) {
  // Only three residuals are zero (M = 0), fewer than the window of 5.
  CRecordingUi ui;
  std::vector<double> x = {0, 1, 2, 3, 4}, y = {0, 0, 0, 0, 1000};
  CSmoothingWorkspace ws;
  EXPECT_FALSE(RobustLocalRegression(x.data(), y.data(), 5, 5, 1, 1, ws));
  EXPECT_EQ(ui.Last(), "Too many outliers. Cannot smooth data.");
  // A plain message, not an engine error.
  EXPECT_EQ(ui.messages.back().first, MessageKind::Information);
}

TEST(RobustLocalRegression, UnsortableXAndUnorderedResidualsFail) {
  CRecordingUi ui;
  std::vector<double> x = {0, 1, std::nan(""), 3, 4, 5}, y = {1, 2, 3, 4, 5, 6};
  CSmoothingWorkspace ws;
  EXPECT_FALSE(RobustLocalRegression(x.data(), y.data(), 6, 5, 1, 1, ws));
  EXPECT_EQ(ui.Last(), "Error when sorting data.");
  std::vector<double> x2 = {0, 1, 2, 3, 4, 5}, y2 = {1, 2, std::nan(""), 4, 5, 6};
  EXPECT_FALSE(RobustLocalRegression(x2.data(), y2.data(), 6, 5, 1, 1, ws));
  EXPECT_EQ(ui.Last(), "Error in finding median value.");
}

}  // namespace
}  // namespace olm::test
