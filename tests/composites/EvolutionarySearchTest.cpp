#include <gtest/gtest.h>

#include <cmath>

#include "composites/EvolutionarySearch.hpp"

namespace olm {
namespace {

// Rastrigin in two variables, shifted so the global minimum 0 lies at
// (1.5, -0.5): many local minima one unit apart trap a local search.
double Rastrigin(const std::vector<double>& x) {
  double f = 20.0;
  const double c[] = {1.5, -0.5};
  for (size_t i = 0; i < 2; ++i) {
    const double d = x[i] - c[i];
    f += d * d - 10.0 * std::cos(2.0 * M_PI * d);
  }
  return f;
}

TEST(EvolutionarySearchTest, FindsTheGlobalMinimumWhereTheCoordinateSearchStops) {
  CBoundedProblem p;
  p.objective = Rastrigin;
  p.lower = {-5.0, -5.0};
  p.upper = {5.0, 5.0};
  p.start = {-4.0, 4.0};
  const CMinimiserResult local = CCoordinateSearch().Minimise(p);
  EXPECT_GT(local.value, 0.5);  // a local minimum
  const CMinimiserResult global = CEvolutionarySearch().Minimise(p);
  EXPECT_NEAR(global.x[0], 1.5, 1e-6);
  EXPECT_NEAR(global.x[1], -0.5, 1e-6);
  EXPECT_NEAR(global.value, 0.0, 1e-9);
  EXPECT_GT(global.evaluations, local.evaluations);
}

TEST(EvolutionarySearchTest, StaysInsideTheBoundsAndHandlesFixedVariables) {
  CBoundedProblem p;
  p.objective = [](const std::vector<double>& x) { return (x[0] + 3) * (x[0] + 3) + x[1]; };
  p.lower = {0.0, 2.0};
  p.upper = {1.0, 2.0};  // the second variable is fixed
  const CMinimiserResult r = CEvolutionarySearch().Minimise(p);
  EXPECT_NEAR(r.x[0], 0.0, 1e-9);
  EXPECT_EQ(r.x[1], 2.0);
}

}  // namespace
}  // namespace olm
