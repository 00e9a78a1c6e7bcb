#include "engine/LocalRegression.hpp"

#include <algorithm>
#include <numeric>
#include <span>

#include "engine/Statistics.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

namespace {

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
  bool Solve(double& value) const {
    constexpr int m = D + 1;
    double a[m][m], b[m];
    for (int r = 0; r < m; ++r) {
      for (int c = 0; c < m; ++c) a[r][c] = s[r + c];
      b[r] = t[r];
    }
    if (!(a[0][0] > 0.0)) return false;
    int used = m;
    for (int p = 0; p < m; ++p) {
      if (p > 0 && !(a[p][p] > kRelativePivot * s[2 * p])) {
        used = p;
        break;
      }
      for (int r = p + 1; r < m; ++r) {
        const double l = a[r][p] / a[p][p];
        for (int c = p; c < m; ++c) a[r][c] -= l * a[p][c];
        b[r] -= l * b[p];
      }
    }
    double coef[m] = {};
    for (int r = used - 1; r >= 0; --r) {
      double v = b[r];
      for (int c = r + 1; c < used; ++c) v -= a[r][c] * coef[c];
      coef[r] = v / a[r][r];
    }
    value = coef[0];
    return true;
  }
};

template <int D>
void PlainPass(const double* x, const double* w, double* out, int count, int window) {
  const int h = window / 2;
  for (int i = 0; i < count; ++i) {
    int lo = i - h;
    if (i < h) lo = 0;                                   // the first n points
    else if (i >= count - h) lo = count - window;        // the last n points
    const int hi = lo + window - 1;
    const double xi = x[i];
    const double d = std::max(std::fabs(x[lo] - xi), std::fabs(x[hi] - xi));
    const double inv = d > 0.0 ? 1.0 / d : 0.0;
    CLocalSystem<D> sys;
    for (int j = lo; j <= hi; ++j) {
      const double dx = x[j] - xi;
      const double wt = TricubeWeight(std::fabs(dx), d, inv);
      if (wt > 0.0) sys.Add(wt, dx * inv, w[j]);
    }
    double v;
    out[i] = sys.Solve(v) ? v : w[i];
  }
}

// One robust pass: every point (visited in x order) is fitted from the n
// nearest candidates cx/cy/cw (x order, non-zero robustness weight).  A
// point whose neighbours all lie at distance d has no weight left and keeps
// its previous fitted value.
template <int D>
void RobustPass(const double* x, const int* order, int count, const double* cx,
                const double* cy, const double* cw, int k, int window, const double* previous,
                double* out) {
  int lo = 0;
  for (int p = 0; p < count; ++p) {
    const int i = order ? order[p] : p;
    const double q = x[i];
    lo = AdvanceNearestWindow(cx, k, window, q, lo);
    const int hi = lo + window - 1;
    const double d = std::max(std::fabs(q - cx[lo]), std::fabs(cx[hi] - q));
    const double inv = d > 0.0 ? 1.0 / d : 0.0;
    CLocalSystem<D> sys;
    for (int j = lo; j <= hi; ++j) {
      const double dx = cx[j] - q;
      const double wt = TricubeWeight(std::fabs(dx), d, inv) * cw[j];
      if (wt > 0.0) sys.Add(wt, dx * inv, cy[j]);
    }
    double v;
    out[i] = sys.Solve(v) ? v : previous[i];
  }
}

}  // namespace

void LocalRegressionPass(const double* x, const double* w, double* out, int count, int window,
                         int degree) {
  if (degree == 1)
    PlainPass<1>(x, w, out, count, window);
  else
    PlainPass<2>(x, w, out, count, window);
}

int RobustnessWeights(const double* r, double* weight, double* scratch, int count) {
  for (int i = 0; i < count; ++i) scratch[i] = std::fabs(r[i]);
  double m;
  if (!MedianInPlace(std::span<double>(scratch, static_cast<size_t>(count)), m)) {
    ShowMessage("Error in finding median value.", MessageKind::Error);
    return -1;
  }
  int nonZero = 0;
  const double limit = 6.0 * m;
  for (int i = 0; i < count; ++i) {
    double wt;
    if (limit > 0.0) {
      const double u = r[i] / limit;
      wt = std::fabs(r[i]) < limit ? (1.0 - u * u) * (1.0 - u * u) : 0.0;
    } else {
      wt = r[i] == 0.0 ? 1.0 : 0.0;
    }
    weight[i] = wt;
    if (wt > 0.0) ++nonZero;
  }
  return nonZero;
}

bool RobustLocalRegression(const double* x, double* y, int count, int window, int degree,
                           int repeats, CSmoothingWorkspace& ws) {
  const size_t n = static_cast<size_t>(count);
  // The filter's input is the raw y of the robust passes; with outliers
  // removed before it, it is not the zone's raw points row for row.
  ws.raw.assign(y, y + n);
  ws.fit.resize(n);
  LocalRegressionPass(x, ws.raw.data(), ws.fit.data(), count, window, degree);

  // Positions in x order (ties in their stored order); none when x is
  // already sorted, as test curves usually are.
  const int* order = nullptr;
  if (std::any_of(x, x + n, [](double v) { return std::isnan(v); })) {
    ShowMessage("Error when sorting data.", MessageKind::Error);
    return false;
  }
  if (!std::is_sorted(x, x + n)) {
    ws.order.resize(n);
    std::iota(ws.order.begin(), ws.order.end(), 0);
    std::stable_sort(ws.order.begin(), ws.order.end(), [x](int a, int b) { return x[a] < x[b]; });
    order = ws.order.data();
  }

  ws.residual.resize(n);
  ws.weight.resize(n);
  ws.next.resize(n);
  ws.cx.resize(n);
  ws.cy.resize(n);
  ws.cw.resize(n);
  for (int pass = 1; pass <= repeats; ++pass) {
    for (size_t i = 0; i < n; ++i) ws.residual[i] = ws.raw[i] - ws.fit[i];
    const int kept = RobustnessWeights(ws.residual.data(), ws.weight.data(), ws.next.data(), count);
    if (kept < 0) return false;
    if (kept < window) {
      ShowMessage("Too many outliers. Cannot smooth data.", MessageKind::Error);
      return false;
    }
    int k = 0;
    for (int p = 0; p < count; ++p) {
      const int i = order ? order[p] : p;
      if (ws.weight[i] > 0.0) {
        ws.cx[k] = x[i];
        ws.cy[k] = ws.raw[i];
        ws.cw[k] = ws.weight[i];
        ++k;
      }
    }
    if (degree == 1)
      RobustPass<1>(x, order, count, ws.cx.data(), ws.cy.data(), ws.cw.data(), k, window,
                    ws.fit.data(), ws.next.data());
    else
      RobustPass<2>(x, order, count, ws.cx.data(), ws.cy.data(), ws.cw.data(), k, window,
                    ws.fit.data(), ws.next.data());
    ws.fit.swap(ws.next);
    std::copy(ws.fit.begin(), ws.fit.end(), y);
  }
  return true;
}

}  // namespace olm
