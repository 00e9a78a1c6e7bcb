#pragma once
// Bounded minimisation behind a narrow interface.
//
// The flow-rule program finds its shear terms through IBoundedMinimiser, so
// the search can be exchanged (for instance for an adapter around the
// differential evolution optimizer) without touching the program.
#include <functional>
#include <vector>

namespace olm {

// Minimise objective(x) subject to lower(i) <= x(i) <= upper(i).
struct CBoundedProblem {
  std::function<double(const std::vector<double>&)> objective;
  std::vector<double> lower;
  std::vector<double> upper;
  std::vector<double> start;  // inside the bounds; the middle of the box when empty
};

struct CMinimiserResult {
  std::vector<double> x;
  double value = 0.0;
  int evaluations = 0;
  bool converged = false;
};

class IBoundedMinimiser {
 public:
  virtual ~IBoundedMinimiser() = default;
  // Returns the best point found; converged is false when the search stopped
  // at its iteration limit before meeting its tolerance.
  virtual CMinimiserResult Minimise(const CBoundedProblem& problem) = 0;
};

// Cyclic coordinate search: each sweep minimises along every coordinate in
// turn by golden-section search over its whole bound interval (the ends
// included), and the sweeps stop when no coordinate moved by more than the
// tolerance times its interval width.  Exact for separable objectives that
// are unimodal along each coordinate; a local method otherwise.
class CCoordinateSearch : public IBoundedMinimiser {
 public:
  explicit CCoordinateSearch(double relativeTolerance = 1e-10, int maxSweeps = 50)
      : m_tolerance(relativeTolerance), m_maxSweeps(maxSweeps) {}
  CMinimiserResult Minimise(const CBoundedProblem& problem) override;

 private:
  double m_tolerance;
  int m_maxSweeps;
};

}  // namespace olm
