#pragma once
// The smoothing filters on contiguous arrays.
//
// SmoothZone (ZoneProcessing.hpp) copies a zone's x and y columns into
// contiguous arrays and runs SmoothValues on them.  Every pass reads a copy w
// of the current values and writes new ones; nothing in a pass reads a value
// written earlier in the same pass.  Rows are counted from 1 in the comments
// below (as in the zone), N is the point count, n the window and
// h = (n - 1) / 2 its half width.
//
// End handling:
// - Moving median: the median of the 2h+1 values around i for
//   i = h+1 .. N-h; the first h and last h points keep their values (an even n
//   thus acts as n - 1).  Fewer than 2h+1 points: all keep their values.
// - Simple moving average: the mean of the largest symmetric window around i
//   that fits, at most n points: 2i-1 points near the start, 2(N-i)+1 near
//   the end, so points 1 and N keep their values.
// - Polynomial moving average (Savitzky-Golay, order 3 or 5): points
//   1..e and N-e+1..N keep their values (e = 5 for order 3, 7 for order 5);
//   the others use the largest symmetric window that fits, at most n points,
//   with the coefficient set of that window size.
// - Lowess (local line) and Loess (local quadratic): every point is fitted
//   from a window of n points: the first n near the start, the last n near
//   the end, otherwise the n points centred on i.  d is the larger distance
//   in x from x[i] to the window's two ends; the weights are tricube,
//   (1 - (|x[j] - x[i]| / d)^3)^3, 0 from distance d on, so the farthest end
//   point gets weight 0.  Needs N >= n.
// - Robust Lowess and Loess: one such local pass, then R robust passes: each
//   refits the filter's input values with robustness weights from the
//   residuals of the latest fit (bisquare in r / 6M, M the median of |r|),
//   over the n nearest points in x among those with a non-zero robustness
//   weight.
#include <vector>

#include "engine/Database.hpp"

namespace olm {

// Scratch buffers of the filters, reused between passes and zones; no filter
// allocates per point.
// A point a robust pass leaves out of the candidates (its weight is 0).
struct CRemovedPoint {
  int index;
  double x, y;
};

struct CSmoothingWorkspace {
  std::vector<double> x, y, w;  // SmoothZone's columns, one pass's input
  // Robust passes: the fitted values (each pass writes over the last) and
  // the robustness weights.  When x is this workspace's own sorted column,
  // the candidates are packed into x, y and the weights themselves, the
  // removed points set aside; otherwise they are copied to cx, cy and,
  // when x is not sorted, cw.
  std::vector<double> fit, weight, cx, cy, cw;
  std::vector<int> order;
  std::vector<CRemovedPoint> removed;
};

// The most passes a smoothing filter may repeat: far above any sensible use,
// low enough that a damaged setting cannot ask for days of work (code 31).
constexpr int kMaxSmoothingRepeats = 10000;

// The full filter of a spec on y[0..count-1] (in place) over x: the checks in
// their order (codes 18 to 22 and 31 through CEngineError, 15 for an unknown
// method), then the passes.  Failures report their own message and return
// false, leaving y partly smoothed.
bool SmoothValues(const CSmoothingSpec& spec, const double* x, double* y, int count,
                  CSmoothingWorkspace& ws);

// Single passes: read w[0..count-1], write out[0..count-1] (w and out must
// not overlap).
// Moving median; false after "Error in finding median value." when a window
// holds a NaN (which has no order).
bool MedianPass(const double* w, double* out, int count, int window);
void SimpleAveragePass(const double* w, double* out, int count, int window);
// order 3 or 5; window odd, 5..25 (order 3) or 7..25 (order 5).
void PolynomialAveragePass(const double* w, double* out, int count, int window, int order);

}  // namespace olm
