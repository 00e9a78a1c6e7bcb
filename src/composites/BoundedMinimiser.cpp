#include "composites/BoundedMinimiser.hpp"

#include <algorithm>
#include <cmath>

namespace olm {

namespace {

// Golden-section search of f on [lo, hi] down to a bracket of width tol;
// returns the best of the final bracket's interior points and the two ends.
template <class F>
double GoldenSection(F& f, double lo, double hi, double tol, double& best) {
  const double invPhi = (std::sqrt(5.0) - 1.0) / 2.0;
  double a = lo, b = hi;
  double c = b - invPhi * (b - a), d = a + invPhi * (b - a);
  double fc = f(c), fd = f(d);
  while (b - a > tol) {
    if (fc <= fd) {
      b = d;
      d = c;
      fd = fc;
      c = b - invPhi * (b - a);
      fc = f(c);
    } else {
      a = c;
      c = d;
      fc = fd;
      d = a + invPhi * (b - a);
      fd = f(d);
    }
  }
  double x = fc <= fd ? c : d;
  best = std::min(fc, fd);
  for (double end : {lo, hi}) {
    const double fe = f(end);
    if (fe < best) {
      best = fe;
      x = end;
    }
  }
  return x;
}

}  // namespace

CMinimiserResult CCoordinateSearch::Minimise(const CBoundedProblem& problem) {
  CMinimiserResult result;
  const size_t n = std::min(problem.lower.size(), problem.upper.size());
  std::vector<double> x(n);
  for (size_t i = 0; i < n; ++i) {
    const double lo = problem.lower[i], hi = problem.upper[i];
    x[i] = i < problem.start.size() ? std::clamp(problem.start[i], lo, hi) : 0.5 * (lo + hi);
  }
  auto evaluate = [&](const std::vector<double>& p) {
    ++result.evaluations;
    return problem.objective(p);
  };
  result.value = evaluate(x);

  for (int sweep = 1; sweep <= m_maxSweeps; ++sweep) {
    double largestMove = 0.0;
    for (size_t i = 0; i < n; ++i) {
      const double lo = problem.lower[i], hi = problem.upper[i];
      const double width = hi - lo;
      if (!(width > 0.0)) continue;
      std::vector<double> trial = x;
      auto along = [&](double v) {
        trial[i] = v;
        return evaluate(trial);
      };
      double best = 0.0;
      const double xi = GoldenSection(along, lo, hi, 0.25 * m_tolerance * width, best);
      if (best < result.value) {
        largestMove = std::max(largestMove, std::fabs(xi - x[i]) / width);
        x[i] = xi;
        result.value = best;
      }
    }
    if (largestMove <= m_tolerance) {
      result.converged = true;
      break;
    }
  }
  result.x = x;
  return result;
}

}  // namespace olm
