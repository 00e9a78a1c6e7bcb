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

using Values = std::vector<double>;

double Tricube(double adx, double d) {
  if (adx == 0.0) return 1.0;
  if (adx >= d) return 0.0;
  const double t = adx / d;
  return std::pow(std::max(0.0, 1.0 - t * t * t), 3);
}

// Weighted least squares of degree 1 or 2 in u = (x - q) / d by Cramer's
// rule, value at u = 0; false when all weights are zero.  A determinant that
// vanishes against the diagonal product means the highest coefficient is
// undetermined: drop it.
bool LocalValue(const Values& u, const Values& y, const Values& wt, int degree, double& value) {
  double s[5] = {}, t[3] = {};
  for (size_t j = 0; j < u.size(); ++j) {
    for (int k = 0; k <= 4; ++k) s[k] += wt[j] * std::pow(u[j], k);
    for (int k = 0; k <= 2; ++k) t[k] += wt[j] * std::pow(u[j], k) * y[j];
  }
  if (!(s[0] > 0)) return false;
  value = t[0] / s[0];
  const double det2 = s[0] * s[2] - s[1] * s[1];
  if (!(degree >= 1 && det2 > 1e-10 * s[0] * s[2])) return true;
  value = (t[0] * s[2] - s[1] * t[1]) / det2;
  const double det3 = s[0] * (s[2] * s[4] - s[3] * s[3]) - s[1] * (s[1] * s[4] - s[3] * s[2]) +
                      s[2] * (s[1] * s[3] - s[2] * s[2]);
  if (degree == 2 && det3 > 1e-10 * det2 * s[4])
    value = (t[0] * (s[2] * s[4] - s[3] * s[3]) - s[1] * (t[1] * s[4] - s[3] * t[2]) +
             s[2] * (t[1] * s[3] - s[2] * t[2])) /
            det3;
  return true;
}

// The local value at x[i] from the points idx with extra weights rw (1 when
// empty), the neighbourhood's half width being the farthest point's distance.
double Local(const Values& x, const Values& y, int i, const std::vector<int>& idx, double d,
             const Values& rw, int degree, double fallback) {
  Values u, v, wt;
  for (int j : idx) {
    u.push_back(d > 0 ? (x[j] - x[i]) / d : 0.0);
    v.push_back(y[j]);
    wt.push_back(Tricube(std::fabs(x[j] - x[i]), d) * (rw.empty() ? 1.0 : rw[j]));
  }
  LocalValue(u, v, wt, degree, fallback);
  return fallback;
}

// The plain pass, written from the window rules: n consecutive points
// centred on i, shifted inwards at the ends.
Values DirectPlain(const Values& x, const Values& w, int n, int degree) {
  const int N = static_cast<int>(x.size());
  Values out(x.size());
  for (int i = 0; i < N; ++i) {
    const int lo = std::clamp(i - (n - 1) / 2, 0, N - n);
    std::vector<int> idx(n);
    std::iota(idx.begin(), idx.end(), lo);
    const double d = std::max(std::fabs(x[lo] - x[i]), std::fabs(x[lo + n - 1] - x[i]));
    out[i] = Local(x, w, i, idx, d, {}, degree, w[i]);
  }
  return out;
}

// The robust filter, neighbourhoods by sorting all distances (ties in stored
// order).  Returns false where the filter must fail.
bool DirectRobust(const Values& x, const Values& raw, int n, int degree, int repeats, Values& fit) {
  const int N = static_cast<int>(x.size());
  fit = DirectPlain(x, raw, n, degree);
  for (int pass = 1; pass <= repeats; ++pass) {
    Values r(N), a(N), rw(N);
    for (int i = 0; i < N; ++i) a[i] = std::fabs(r[i] = raw[i] - fit[i]);
    std::sort(a.begin(), a.end());
    const double m = N % 2 ? a[N / 2] : 0.5 * (a[N / 2 - 1] + a[N / 2]);
    std::vector<int> cand;
    for (int i = 0; i < N; ++i) {
      if (m > 0)
        rw[i] = std::fabs(r[i]) >= 6 * m ? 0.0 : std::pow(1 - std::pow(r[i] / (6 * m), 2), 2);
      else
        rw[i] = r[i] == 0 ? 1.0 : 0.0;
      if (rw[i] > 0) cand.push_back(i);
    }
    if (static_cast<int>(cand.size()) < n) return false;
    Values next(N);
    for (int i = 0; i < N; ++i) {
      std::vector<int> c = cand;
      std::stable_sort(c.begin(), c.end(), [&](int p, int q) {
        return std::fabs(x[p] - x[i]) < std::fabs(x[q] - x[i]);
      });
      c.resize(n);
      next[i] = Local(x, raw, i, c, std::fabs(x[c.back()] - x[i]), rw, degree, fit[i]);
    }
    fit = next;
  }
  return true;
}

TEST(NearestWindowTest, HoldsTheNNearestCandidatesTiesIncluded) {
  std::mt19937 rng(7);
  for (int trial = 0; trial < 200; ++trial) {
    const int k = 5 + static_cast<int>(rng() % 40), n = 1 + static_cast<int>(rng() % k);
    Values cx(k), queries(30);
    for (double& v : cx) v = static_cast<double>(rng() % 12);  // many ties
    for (double& q : queries) q = 0.5 * static_cast<double>(rng() % 28) - 1.0;
    std::sort(cx.begin(), cx.end());
    std::sort(queries.begin(), queries.end());
    int lo = 0;
    for (double q : queries) {
      lo = AdvanceNearestWindow(cx.data(), k, n, q, lo);
      ASSERT_LE(lo + n, k);
      Values all, win;
      for (double v : cx) all.push_back(std::fabs(v - q));
      for (int j = lo; j < lo + n; ++j) win.push_back(std::fabs(cx[j] - q));
      std::sort(all.begin(), all.end());
      std::sort(win.begin(), win.end());
      all.resize(n);
      ASSERT_EQ(win, all) << "trial " << trial << " q " << q;
      // n or more candidates equal to q: the window is the first n of them.
      ASSERT_TRUE(win.back() != 0.0 || lo == 0 || cx[lo - 1] != q);
    }
  }
}

TEST(RobustLocalRegressionTest, SlidingNeighbourhoodsGiveTheDefinedValues) {
  CRecordingUi ui;
  struct Case {
    int n, degree, repeats;
    bool sortedX;
  };
  for (const Case& c : {Case{5, 1, 1, true}, Case{7, 1, 3, false}, Case{11, 2, 2, true},
                        Case{9, 2, 3, false}, Case{25, 1, 2, false}, Case{25, 2, 1, true}}) {
    std::mt19937 rng(static_cast<unsigned>(c.n * 31 + c.degree * 7 + c.repeats));
    for (int trial = 0; trial < 8; ++trial) {
      SCOPED_TRACE(::testing::Message() << "n " << c.n << " degree " << c.degree << " repeats "
                                        << c.repeats << " trial " << trial);
      // x on a coarse grid (ties), unsorted unless asked; y a curve with
      // noise, a few spikes and some repeated values.
      const int N = 40 + static_cast<int>(rng() % 60);
      Values x(N), y(N);
      for (int i = 0; i < N; ++i) {
        x[i] = 0.25 * static_cast<double>(rng() % 30);
        y[i] = std::sin(x[i]) + 0.1 * static_cast<double>(rng() % 7);
        if (rng() % 15 == 0) y[i] += 8.0;
      }
      if (c.sortedX) std::sort(x.begin(), x.end());
      Values expected, got = y;
      const bool defined = DirectRobust(x, y, c.n, c.degree, c.repeats, expected);
      CSmoothingWorkspace ws;
      ASSERT_EQ(RobustLocalRegression(x.data(), got.data(), N, c.n, c.degree, c.repeats, ws),
                defined);
      for (int i = 0; defined && i < N; ++i)
        ASSERT_NEAR(got[i], expected[i], 1e-9 * (1 + std::fabs(expected[i]))) << "point " << i;
    }
  }
}

TEST(RobustLocalRegressionTest, SpikesGoAndZeroMedianResidualsKeepExactPoints) {
  CRecordingUi ui;
  CSmoothingWorkspace ws;
  Values x(60), y(60);
  for (int i = 0; i < 60; ++i) x[i] = 0.001 * i, y[i] = 5.0 + 200.0 * x[i];
  y[30] += 50.0;
  ASSERT_TRUE(RobustLocalRegression(x.data(), y.data(), 60, 7, 1, 2, ws));
  for (int i = 0; i < 60; ++i) EXPECT_NEAR(y[i], 5.0 + 0.2 * i, 1e-9) << i;
  // Most local fits reproduce flat data exactly: M = 0.  The points with zero
  // residual keep full weight and the spike's influence goes.
  Values flatX(20), flat(20, 0.0);
  std::iota(flatX.begin(), flatX.end(), 0.0);
  flat[10] = 100.0;
  ASSERT_TRUE(RobustLocalRegression(flatX.data(), flat.data(), 20, 5, 1, 1, ws));
  for (double v : flat) EXPECT_EQ(v, 0.0);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(RobustLocalRegressionTest, CandidatesPackedInTheWorkspaceColumnGiveTheSameFits) {
  // A zone's smoothing hands over x in the workspace's own column: the
  // candidates are then packed in place instead of copied.  Both ways must
  // give the same bits, put x back, and fail alike.
  CRecordingUi ui;
  const int n = 400;
  Values x(n), y(n);
  for (int i = 0; i < n; ++i) {
    x[i] = 0.01 * (i / 2);  // pairs of equal x
    y[i] = std::sin(x[i]) + 0.01 * ((i * 37) % 11);
  }
  for (int i : {0, 7, 150, 151, 260, n - 1}) y[i] += 40.0;  // spikes: weight 0
  for (int degree : {1, 2})
    for (int repeats : {1, 3}) {
      CSmoothingWorkspace copied, packed;
      Values yc = y, yp = y;
      ASSERT_TRUE(RobustLocalRegression(x.data(), yc.data(), n, 9, degree, repeats, copied));
      packed.x = x;
      ASSERT_TRUE(RobustLocalRegression(packed.x.data(), yp.data(), n, 9, degree, repeats, packed));
      EXPECT_EQ(yp, yc) << degree << " " << repeats;
      EXPECT_EQ(packed.x, x);
      EXPECT_GE(packed.removed.size(), 4u);  // spikes were set aside
      EXPECT_TRUE(packed.cx.empty() && packed.cy.empty());
    }
  // Too few points keep a weight: both fail with the input y kept.
  Values fx = {0, 1, 2, 3, 4}, fy = {0, 0, 0, 0, 1000};
  CSmoothingWorkspace ws;
  ws.x = fx;
  Values before = fy;
  EXPECT_FALSE(RobustLocalRegression(ws.x.data(), fy.data(), 5, 5, 1, 1, ws));
  EXPECT_EQ(ui.Last(), "Too many outliers. Cannot smooth data.");
  EXPECT_EQ(std::pair(fy, ws.x), std::pair(before, fx));
}

TEST(RobustLocalRegressionTest, Failures) {
  CRecordingUi ui;
  CSmoothingWorkspace ws;
  const double nan = std::nan("");
  // Only three residuals are zero (M = 0), fewer than the window of 5; a
  // NaN x cannot be sorted, a NaN y has no median.
  const std::tuple<Values, Values, std::string> cases[] = {
      {{0, 1, 2, 3, 4}, {0, 0, 0, 0, 1000}, "Too many outliers. Cannot smooth data."},
      {{0, 1, nan, 3, 4, 5}, {1, 2, 3, 4, 5, 6}, "Error when sorting data."},
      {{0, 1, 2, 3, 4, 5}, {1, 2, nan, 4, 5, 6}, "Error in finding median value."}};
  for (auto [x, y, message] : cases) {
    EXPECT_FALSE(
        RobustLocalRegression(x.data(), y.data(), static_cast<int>(x.size()), 5, 1, 1, ws));
    EXPECT_EQ(ui.Last(), message);
  }
  EXPECT_EQ(ui.messages[0].first, MessageKind::Information);  // not an engine error
}

}  // namespace
}  // namespace olm::test
