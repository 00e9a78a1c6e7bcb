#pragma once
// Local weighted regression: Lowess (local line, degree 1) and Loess (local
// quadratic, degree 2), plain and robust.  See Smoothing.hpp for the windows
// and weights.  The small least-squares problems are solved in coordinates
// centred on x[i] and scaled by the window's d, so tiny strain values keep
// their digits; a pivot that vanishes relative to its diagonal drops the
// highest coefficients (the fit falls back to a lower degree).
#include <cmath>

#include "engine/Smoothing.hpp"

namespace olm {

// Tricube weight of a point at distance adx from x[i] in a window of
// half-width d (inv = 1/d): 1 at distance 0, 0 from distance d on.
inline double TricubeWeight(double adx, double d, double inv) {
  if (adx == 0.0) return 1.0;
  if (adx >= d) return 0.0;
  const double t = adx * inv;
  const double v = 1.0 - t * t * t;
  return v > 0.0 ? v * v * v : 0.0;
}

// The n nearest neighbours of q among candidates cx[0..k-1] sorted ascending
// (k >= n) form the window cx[lo .. lo+n-1].  For queries in non-decreasing
// order the window only moves right: call with the previous lo (0 at the
// start) and get the window of q.  Among equally distant candidates the left
// one is kept, so for n or more candidates equal to q the window is the first
// n of them.
inline int AdvanceNearestWindow(const double* cx, int k, int n, double q, int lo) {
  while (lo + n < k && cx[lo + n] - q < q - cx[lo]) ++lo;
  return lo;
}

// One plain pass on points x[0..count-1] (count >= window, window odd): out
// receives the local fit of degree 1 or 2 to w at every x[i].
void LocalRegressionPass(const double* x, const double* w, double* out, int count, int window,
                         int degree);

// The robust filter: one plain pass, then `repeats` robust passes, all on the
// values y holds on entry; y receives the result.  False after "Too many
// outliers. Cannot smooth data." (fewer than `window` points keep a weight),
// "Error in finding median value." (NaN residuals) or "Error when sorting
// data." (NaN x); y then holds the input values or the last finished pass.
bool RobustLocalRegression(const double* x, double* y, int count, int window, int degree,
                           int repeats, CSmoothingWorkspace& ws);

// Robustness weights of residuals r[0..count-1] with M = median of |r|:
// 0 for |r| >= 6M, else (1 - (r / 6M)^2)^2; with M = 0 (at least half the
// points reproduced exactly) the limit: 1 for r = 0, else 0.  scratch holds
// count values and may be weight itself.  Returns the number of non-zero
// weights, or -1 after "Error in finding median value.".
int RobustnessWeights(const double* r, double* weight, double* scratch, int count);

}  // namespace olm
