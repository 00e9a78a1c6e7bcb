#include "engine/LocalRegression.hpp"

#include <algorithm>
#include <numeric>
#include <span>

#include "engine/Statistics.hpp"
#include "numerics/Simd.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

namespace {

using namespace simd;

// A pivot at or below this fraction of its diagonal element is taken as
// zero: the weighted points do not determine that coefficient.
constexpr double kRelativePivot = 1e-12;

// Weighted normal equations of a local polynomial of degree D in
// u = (x - x[i]) / d.
template <int D>
struct CLocalSystem {
  double s[2 * D + 1] = {};  // sum w u^k
  double t[D + 1] = {};      // sum w u^k y

  void Add(double w, double u, double y) {
    double p = w;
    for (int k = 0; k <= D; ++k) {
      s[k] += p;
      t[k] += p * y;
      p *= u;
    }
    for (int k = D + 1; k <= 2 * D; ++k) {
      s[k] += p;
      p *= u;
    }
  }

  // The fitted value at u = 0: elimination without pivoting, back
  // substitution.  A vanishing pivot sets its coefficient and the higher
  // ones to 0.  False when all weights are 0.
  bool Solve(double& value) const;
};

// Accumulates the window's weighted sums.  The window is x[0..n-1] (with
// y and, for robust passes, robustness weights rw) around q with half-width
// d > 0.  Weights without branches: u = (x - q) / d, (1 - |u|^3)^3, exactly
// 0 from distance d on and 1 at distance 0.
template <int D, bool kRobust>
OLM_INLINE void Accumulate(const double* x, const double* y, const double* rw, int n, double q,
                           double d, double inv, CLocalSystem<D>& sys) {
  V4 s[2 * D + 1], t[D + 1];
  const V4 qv = Splat4(q), dv = Splat4(d), iv = Splat4(inv), one = Splat4(1.0), zero = Splat4(0.0);
  for (V4& v : s) v = zero;
  for (V4& v : t) v = zero;
  int j = 0;
  for (; j + 4 <= n; j += 4) {
    const V4 dx = Load4(x + j) - qv, yv = Load4(y + j);
    const V4 u = dx * iv, a = Abs4(u);
    const V4 v = one - a * a * a;
    V4 w = Keep4(v * v * v, (Abs4(dx) < dv) & (v > zero));
    if constexpr (kRobust) w *= Load4(rw + j);
    V4 p = w;
    for (int k = 0; k <= D; ++k) {
      s[k] += p;
      t[k] += p * yv;
      p *= u;
    }
    for (int k = D + 1; k <= 2 * D; ++k) {
      s[k] += p;
      p *= u;
    }
  }
  for (int k = 0; k <= 2 * D; ++k) sys.s[k] = Sum4(s[k]);
  for (int k = 0; k <= D; ++k) sys.t[k] = Sum4(t[k]);
  for (; j < n; ++j) {
    const double dx = x[j] - q;
    double w = TricubeWeight(std::fabs(dx), d, inv);
    if constexpr (kRobust) w *= rw[j];
    if (w > 0.0) sys.Add(w, dx * inv, y[j]);
  }
}

// The local fit at q over x[0..n-1]; d = 0 (every window point at q or
// beyond reach) weighs only the points at q.  False when no weight is left.
template <int D, bool kRobust>
OLM_INLINE bool LocalFit(const double* x, const double* y, const double* rw, int n, double q,
                         double d, double& value) {
  CLocalSystem<D> sys;
  if (d > 0.0) {
    Accumulate<D, kRobust>(x, y, rw, n, q, d, 1.0 / d, sys);
  } else {
    for (int j = 0; j < n; ++j)
      if (x[j] == q) sys.Add(kRobust ? rw[j] : 1.0, 0.0, y[j]);
  }
  return sys.Solve(value);
}

template <>
OLM_INLINE bool CLocalSystem<1>::Solve(double& value) const {
  if (!(s[0] > 0.0)) return false;
  const double l = s[1] / s[0];
  const double p2 = s[2] - l * s[1];
  if (!(p2 > kRelativePivot * s[2])) {
    value = t[0] / s[0];
    return true;
  }
  const double a1 = (t[1] - l * t[0]) / p2;
  value = (t[0] - s[1] * a1) / s[0];
  return true;
}

template <>
OLM_INLINE bool CLocalSystem<2>::Solve(double& value) const {
  if (!(s[0] > 0.0)) return false;
  const double l21 = s[1] / s[0], l31 = s[2] / s[0];
  const double a22 = s[2] - l21 * s[1], a23 = s[3] - l21 * s[2];
  const double a32 = s[3] - l31 * s[1], a33 = s[4] - l31 * s[2];
  const double b2 = t[1] - l21 * t[0], b3 = t[2] - l31 * t[0];
  if (!(a22 > kRelativePivot * s[2])) {
    value = t[0] / s[0];
    return true;
  }
  const double l32 = a32 / a22;
  const double p3 = a33 - l32 * a23;
  double c1, c2 = 0.0;
  if (p3 > kRelativePivot * s[4]) {
    c2 = (b3 - l32 * b2) / p3;
    c1 = (b2 - a23 * c2) / a22;
  } else {
    c1 = b2 / a22;
  }
  value = (t[0] - s[1] * c1 - s[2] * c2) / s[0];
  return true;
}

template <int D>
OLM_INLINE void PlainPass(const double* x, const double* w, double* out, int count, int window) {
  const int h = window / 2;
  for (int i = 0; i < count; ++i) {
    int lo = i - h;
    if (i < h)
      lo = 0;  // the first n points
    else if (i >= count - h)
      lo = count - window;  // the last n points
    const int hi = lo + window - 1;
    const double xi = x[i];
    const double d = std::max(std::fabs(x[lo] - xi), std::fabs(x[hi] - xi));
    double v;
    out[i] = LocalFit<D, false>(x + lo, w + lo, nullptr, window, xi, d, v) ? v : w[i];
  }
}

// One robust pass: every point (visited in x order; next(p) gives the p-th
// point's index and x) is fitted from the n nearest candidates cx/cy/cw (x
// order, non-zero robustness weight).  A point whose neighbours all lie at
// distance d has no weight left and keeps its previous fitted value.
template <int D, class Next>
OLM_INLINE void RobustPassOf(Next&& next, int count, const double* cx, const double* cy,
                             const double* cw, int k, int window, const double* previous,
                             double* out) {
  int lo = 0;
  for (int p = 0; p < count; ++p) {
    const auto [i, q] = next(p);
    lo = AdvanceNearestWindow(cx, k, window, q, lo);
    const int hi = lo + window - 1;
    const double d = std::max(std::fabs(q - cx[lo]), std::fabs(cx[hi] - q));
    double v;
    out[i] = LocalFit<D, true>(cx + lo, cy + lo, cw + lo, window, q, d, v) ? v : previous[i];
  }
}

template <int D>
OLM_INLINE void RobustPass(const double* x, const int* order, int count, const double* cx,
                           const double* cy, const double* cw, int k, int window,
                           const double* previous, double* out) {
  RobustPassOf<D>(
      [&](int p) {
        const int i = order ? order[p] : p;
        return std::pair(i, x[i]);
      },
      count, cx, cy, cw, k, window, previous, out);
}

// The same pass over sorted points whose candidates were packed in place:
// point p is the next candidate unless it is the next of the removed ones.
template <int D>
OLM_INLINE void RobustPassPacked(const CRemovedPoint* removed, int removedCount, int count,
                                 const double* cx, const double* cy, const double* cw, int k,
                                 int window, const double* previous, double* out) {
  int j = 0, kept = 0;
  RobustPassOf<D>(
      [&](int p) {
        if (j < removedCount && removed[j].index == p) return std::pair(p, removed[j++].x);
        return std::pair(p, cx[kept++]);
      },
      count, cx, cy, cw, k, window, previous, out);
}

// Built for current processors and for the baseline (Simd.hpp).
OLM_CLONES void PlainPass1(const double* x, const double* w, double* out, int count, int window) {
  PlainPass<1>(x, w, out, count, window);
}
OLM_CLONES void PlainPass2(const double* x, const double* w, double* out, int count, int window) {
  PlainPass<2>(x, w, out, count, window);
}
OLM_CLONES void RobustPass1(const double* x, const int* order, int count, const double* cx,
                            const double* cy, const double* cw, int k, int window,
                            const double* previous, double* out) {
  RobustPass<1>(x, order, count, cx, cy, cw, k, window, previous, out);
}
OLM_CLONES void RobustPass2(const double* x, const int* order, int count, const double* cx,
                            const double* cy, const double* cw, int k, int window,
                            const double* previous, double* out) {
  RobustPass<2>(x, order, count, cx, cy, cw, k, window, previous, out);
}
OLM_CLONES void RobustPassPacked1(const CRemovedPoint* removed, int removedCount, int count,
                                  const double* cx, const double* cy, const double* cw, int k,
                                  int window, const double* previous, double* out) {
  RobustPassPacked<1>(removed, removedCount, count, cx, cy, cw, k, window, previous, out);
}
OLM_CLONES void RobustPassPacked2(const CRemovedPoint* removed, int removedCount, int count,
                                  const double* cx, const double* cy, const double* cw, int k,
                                  int window, const double* previous, double* out) {
  RobustPassPacked<2>(removed, removedCount, count, cx, cy, cw, k, window, previous, out);
}

}  // namespace

void LocalRegressionPass(const double* x, const double* w, double* out, int count, int window,
                         int degree) {
  if (degree == 1)
    PlainPass1(x, w, out, count, window);
  else
    PlainPass2(x, w, out, count, window);
}

namespace {

// RobustnessWeights with the residuals given by r(i).
template <class Residual>
int RobustnessWeightsOf(const Residual& r, double* weight, double* scratch, int count) {
  for (int i = 0; i < count; ++i) scratch[i] = std::fabs(r(i));
  double m;
  if (!MedianInPlace(std::span<double>(scratch, static_cast<size_t>(count)), m)) {
    ShowMessage("Error in finding median value.", MessageKind::Information);
    return -1;
  }
  int nonZero = 0;
  const double limit = 6.0 * m;
  for (int i = 0; i < count; ++i) {
    const double ri = r(i);
    double wt;
    if (limit > 0.0) {
      const double u = ri / limit;
      wt = std::fabs(ri) < limit ? (1.0 - u * u) * (1.0 - u * u) : 0.0;
    } else {
      wt = ri == 0.0 ? 1.0 : 0.0;
    }
    weight[i] = wt;
    if (wt > 0.0) ++nonZero;
  }
  return nonZero;
}

}  // namespace

int RobustnessWeights(const double* r, double* weight, double* scratch, int count) {
  return RobustnessWeightsOf([r](int i) { return r[i]; }, weight, scratch, count);
}

bool RobustLocalRegression(const double* x, double* y, int count, int window, int degree,
                           int repeats, CSmoothingWorkspace& ws) {
  const size_t n = static_cast<size_t>(count);
  // y keeps the filter's input (the raw y of the robust passes; with outliers
  // removed before it, not the zone's raw points row for row) until the end;
  // then, or on a failure after a finished pass, it receives the last fit.
  const double* raw = y;
  ws.fit.resize(n);
  LocalRegressionPass(x, raw, ws.fit.data(), count, window, degree);

  // Positions in x order (ties in their stored order); none when x is
  // already sorted, as test curves usually are.
  const int* order = nullptr;
  if (std::any_of(x, x + n, [](double v) { return std::isnan(v); })) {
    ShowMessage("Error when sorting data.", MessageKind::Information);
    return false;
  }
  if (!std::is_sorted(x, x + n)) {
    ws.order.resize(n);
    std::iota(ws.order.begin(), ws.order.end(), 0);
    std::stable_sort(ws.order.begin(), ws.order.end(), [x](int a, int b) { return x[a] < x[b]; });
    order = ws.order.data();
  }

  ws.weight.resize(n);
  double* fit = ws.fit.data();
  double* weight = ws.weight.data();
  const auto fail = [&](int pass) {
    if (pass > 1) std::copy(fit, fit + n, y);
    return false;
  };
  // The robustness weights of a pass from the residuals of the last fits
  // (the weights' own array is the median's scratch: the median is taken
  // before any weight is written); -1 after the message when the pass
  // cannot go on.
  const auto weigh = [&] {
    const int kept =
        RobustnessWeightsOf([&](int i) { return raw[i] - fit[i]; }, weight, weight, count);
    if (kept >= 0 && kept < window) {
      ShowMessage("Too many outliers. Cannot smooth data.", MessageKind::Information);
      return -1;
    }
    return kept;
  };
  if (!order && count > 0 && x == ws.x.data()) {
    // Sorted x in the workspace's own column (a zone's smoothing): the
    // candidates are packed into x, y and the weights in place and the
    // removed points set aside, then all put back after the pass, so that
    // two arrays of the zone's size (fits and weights) join x and y.
    double* px = ws.x.data();
    double* py = y;  // the raw values
    for (int pass = 1; pass <= repeats; ++pass) {
      const int kept = weigh();
      if (kept < 0) return fail(pass);
      ws.removed.clear();
      ws.removed.reserve(n - static_cast<size_t>(kept));  // before anything moves
      int k = 0;
      for (int i = 0; i < count; ++i) {
        if (weight[i] > 0.0) {
          px[k] = px[i];
          py[k] = py[i];
          weight[k] = weight[i];
          ++k;
        } else {
          ws.removed.push_back({i, px[i], py[i]});
        }
      }
      const int removed = static_cast<int>(ws.removed.size());
      if (degree == 1)
        RobustPassPacked1(ws.removed.data(), removed, count, px, py, weight, k, window, fit, fit);
      else
        RobustPassPacked2(ws.removed.data(), removed, count, px, py, weight, k, window, fit, fit);
      // x and the raw values back in their places, from the end.
      for (int i = count - 1, from = k - 1, j = removed - 1; i >= 0; --i) {
        if (j >= 0 && ws.removed[static_cast<size_t>(j)].index == i) {
          px[i] = ws.removed[static_cast<size_t>(j)].x;
          py[i] = ws.removed[static_cast<size_t>(j)].y;
          --j;
        } else {
          px[i] = px[from];
          py[i] = py[from];
          --from;
        }
      }
    }
    std::copy(fit, fit + n, y);
    return true;
  }

  // Two more arrays of the zone's size for the candidates when x is sorted.
  ws.cx.resize(n);
  ws.cy.resize(n);
  if (order) ws.cw.resize(n);
  double* cx = ws.cx.data();
  double* cy = ws.cy.data();
  // In x order the candidates' weights move forward within the weights.
  double* cw = order ? ws.cw.data() : weight;
  for (int pass = 1; pass <= repeats; ++pass) {
    const int kept = weigh();
    if (kept < 0) return fail(pass);
    int k = 0;
    for (int p = 0; p < count; ++p) {
      const int i = order ? order[p] : p;
      if (weight[i] > 0.0) {
        cx[k] = x[i];
        cy[k] = raw[i];
        cw[k] = weight[i];
        ++k;
      }
    }
    // Each point's new value replaces its old one, which is only its own
    // fallback.
    if (degree == 1)
      RobustPass1(x, order, count, cx, cy, cw, k, window, fit, fit);
    else
      RobustPass2(x, order, count, cx, cy, cw, k, window, fit, fit);
  }
  std::copy(fit, fit + n, y);
  return true;
}

}  // namespace olm
