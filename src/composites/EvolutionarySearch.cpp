#include "composites/EvolutionarySearch.hpp"

#include <algorithm>
#include <ostream>

#include "optim/DifferentialEvolution.hpp"

namespace olm {

namespace {

struct CContext {
  const CBoundedProblem* problem = nullptr;
  std::vector<double> start;
  std::vector<double> point;
  int evaluations = 0;
};

// The optimizer's callback: bounds and start on request, the objective and
// one always-satisfied constraint on evaluation.
void Objective(void* context, int request, double& f, CEngVector<double>& x,
               CEngVector<double>& lower, CEngVector<double>& upper, CEngVector<double>&,
               CEngVector<int>&, CEngVector<int>&, CEngVector<int>&, CEngVector<int>&, int&,
               CEngVector<double>& g, char&, int, std::ostream*) {
  CContext& c = *static_cast<CContext*>(context);
  const size_t n = c.start.size();
  if (request == CDifferentialEvolution::kRequestInitialize) {
    for (size_t i = 0; i < n; ++i) {
      const int k = static_cast<int>(i) + 1;
      lower(k) = c.problem->lower[i];
      upper(k) = c.problem->upper[i];
      x(k) = c.start[i];
    }
    return;
  }
  if (request != CDifferentialEvolution::kRequestEvaluate) return;
  for (size_t i = 0; i < n; ++i) c.point[i] = x(static_cast<int>(i) + 1);
  f = c.problem->objective(c.point);
  ++c.evaluations;
  g(1) = -1.0;
}

// A stream that discards everything (the optimizer's progress is not wanted).
class CNullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
};

}  // namespace

CMinimiserResult CEvolutionarySearch::Minimise(const CBoundedProblem& problem) {
  const size_t n = std::min(problem.lower.size(), problem.upper.size());
  CContext context;
  context.problem = &problem;
  context.point.resize(n);
  context.start.resize(n);
  bool spread = n > 0;
  for (size_t i = 0; i < n; ++i) {
    const double lo = problem.lower[i], hi = problem.upper[i];
    context.start[i] = i < problem.start.size() ? std::clamp(problem.start[i], lo, hi)
                                                : 0.5 * (lo + hi);
    spread = spread && hi > lo;
  }

  CBoundedProblem refine = problem;
  int evaluations = 0;
  if (spread) {
    CDifferentialEvolution de;
    const int members = std::max(20, m_membersPerVariable * static_cast<int>(n));
    if (de.Initialize(&context, Objective, static_cast<int>(n), 0, 0, 1, m_generations, members)) {
      CNullBuffer sink;
      std::ostream quiet(&sink);
      de.SetOutputLevel(1, "silent");
      if (de.Optimize(quiet) == CDifferentialEvolution::kSuccess) {
        double f = 0.0, gMax = 0.0;
        CEngVector<double> x(static_cast<int>(n)), gv(1);
        CEngVector<int> xd, xb;
        int evals = 0, generations = 0;
        de.GetResults(f, gMax, x, xd, xb, gv, evals, generations);
        refine.start.assign(n, 0.0);
        for (size_t i = 0; i < n; ++i) refine.start[i] = x(static_cast<int>(i) + 1);
      }
    }
    evaluations = context.evaluations;
  }
  CMinimiserResult result = CCoordinateSearch().Minimise(refine);
  result.evaluations += evaluations;
  return result;
}

}  // namespace olm
