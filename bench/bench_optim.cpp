// Differential evolution on the 2-D Rosenbrock function, population 20, all
// 1000 generations (the peer run of scipy.optimize.differential_evolution with
// tol=-1 evaluates 20,020 designs).
#include <benchmark/benchmark.h>

#include <sstream>

#include "optim/DifferentialEvolution.hpp"

namespace {

using namespace olm;

void Rosenbrock(void*, int request, double& f, CEngVector<double>& x, CEngVector<double>& lo,
                CEngVector<double>& up, CEngVector<double>&, CEngVector<int>&, CEngVector<int>&,
                CEngVector<int>&, CEngVector<int>&, int&, CEngVector<double>& g, char&, int,
                std::ostream*) {
  if (request == CDifferentialEvolution::kRequestInitialize) {
    for (int i = 1; i <= 2; ++i) {
      lo(i) = -5.0;
      up(i) = 5.0;
      x(i) = 0.0;
    }
  } else if (request == CDifferentialEvolution::kRequestEvaluate) {
    const double a = 1.0 - x(1), b = x(2) - x(1) * x(1);
    f = a * a + 100.0 * b * b;
    g(1) = -1.0;
  }
}

void BM_RosenbrockDE(benchmark::State& state) {
  const char* level = state.range(0) == 0 ? "silent" : "detailed";
  state.SetLabel(level);
  int evaluations = 0;
  for (auto _ : state) {
    CDifferentialEvolution de;
    de.Initialize(nullptr, Rosenbrock, 2, 0, 0, 1, 1000, 20);
    de.SetOutputLevel(1, level);
    std::ostream discard(nullptr);
    if (de.Optimize(discard) != 0) state.SkipWithError("optimizer failed");
    evaluations = de.GetEvaluations();
  }
  state.counters["evaluations"] = evaluations;
  state.counters["evals/s"] = benchmark::Counter(static_cast<double>(evaluations),
                                                 benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RosenbrockDE)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
