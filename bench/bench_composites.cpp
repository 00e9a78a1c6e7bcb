// Speed of the composite tools: the Tsai-Wu tables with their output text,
// and the flow-rule computation on twelve curves.
#include <benchmark/benchmark.h>

#include "composites/FailureSurface.hpp"
#include "composites/FlowRuleSolver.hpp"

namespace {

void BM_FailureSurfaceTablesAndText(benchmark::State& state) {
  olm::CFailureSurfaceInput in;
  in.s1t = 1500, in.s1c = 1200, in.s2t = 50, in.s2c = 200, in.s3t = 50, in.s3c = 200;
  in.s12 = 70, in.s23 = 40, in.s13 = 70, in.n = 2, in.s12Value = 20, in.s33Value = 10;
  olm::CFailureSurface fs;
  for (auto _ : state) {
    fs.Compute(in);
    benchmark::DoNotOptimize(fs.FormatTables());
  }
}
BENCHMARK(BM_FailureSurfaceTablesAndText);

// Twelve generated curves of state.range(0) points each.
void BM_FlowRuleSolve(benchmark::State& state) {
  olm::CFlowRuleMaterial m;
  m.g11 = 0.1, m.nu12 = 0.3, m.nu13 = 0.3, m.g44 = 2.0, m.g66 = 2.0;
  m.points.fill(static_cast<int>(state.range(0)));
  olm::CFlowRuleModel model = olm::GenerateFlowRuleModel(m);
  model.master = olm::kTension2;
  olm::CCoordinateSearch search;
  olm::CFlowRuleSolver solver(search);
  for (auto _ : state) {
    olm::CFlowRuleResult result;
    std::vector<std::string> messages;
    benchmark::DoNotOptimize(solver.Solve(model, result, messages));
  }
  state.SetItemsProcessed(state.iterations() * 12 * state.range(0));
}
BENCHMARK(BM_FlowRuleSolve)->Arg(30)->Arg(1000)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
