// Distribution analysis of the 25-value strength sample (samples/dist/strength25.dat,
// grid 200..600): all six models at once, and each model alone.
#include <benchmark/benchmark.h>

#include "distribution/DistributionAnalysis.hpp"

namespace {

using namespace olm;

// The values of samples/dist/strength25.dat.
const std::vector<double> kSample = {434.7, 451.1, 425.3, 445.0, 384.3, 508.3, 283.2, 499.0, 425.8,
                                     399.0, 423.2, 400.5, 445.3, 453.2, 479.4, 387.1, 504.6, 436.4,
                                     405.0, 444.5, 347.3, 339.7, 459.2, 438.6, 486.8};

CDistributionInput Input(std::vector<CDistributionRequest> requests) {
  CDistributionInput in;
  in.sample = kSample;
  in.requests = std::move(requests);
  in.lower = 200.0;
  in.upper = 600.0;
  return in;
}

void Analyse(benchmark::State& state, const CDistributionInput& in) {
  for (auto _ : state) {
    CDistributionAnalysis a;
    benchmark::DoNotOptimize(a.Run(in));
    if (!a.AllFitted()) state.SkipWithError("a model was not fitted");
    benchmark::DoNotOptimize(a.Results().data());
  }
}

void BM_SixDistributions(benchmark::State& state) {
  Analyse(state, Input({{kWeibull2P, 0},
                        {kWeibull3P, 0},
                        {kNormal, 0},
                        {kLognormal, 0},
                        {kGamma, 0},
                        {kGeneralizedExponential, 1.0}}));
}
BENCHMARK(BM_SixDistributions)->Unit(benchmark::kMillisecond);

void BM_OneDistribution(benchmark::State& state) {
  const int code = static_cast<int>(state.range(0));
  state.SetLabel(DistributionName(code).display);
  Analyse(state, Input({{code, code == kGeneralizedExponential ? 1.0 : 0.0}}));
}
BENCHMARK(BM_OneDistribution)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
