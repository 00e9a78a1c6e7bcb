// Distribution analysis of the 25-value strength sample (samples/dist/strength25.dat,
// grid 200..600): all six models at once, and each model alone; and all six
// on Weibull-like samples of 10^3 to 10^5 values, to show how the time grows
// with the sample (the optimizer's evaluations do not depend on it, each
// runs over the whole sample).
#include <benchmark/benchmark.h>

#include <cmath>

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

void BM_SixDistributionsBySampleSize(benchmark::State& state) {
  CDistributionInput in = Input({{kWeibull2P, 1},
                                 {kWeibull3P, 11},
                                 {kNormal, 0},
                                 {kLognormal, 0},
                                 {kGamma, 0},
                                 {kGeneralizedExponential, 0.5}});
  // Weibull strengths (shape 8, scale 400, shifted by 50) by inversion of
  // evenly spread probabilities, in a scrambled order.
  const auto n = static_cast<size_t>(state.range(0));
  in.sample.resize(n);
  for (size_t i = 0; i < n; ++i) {
    const double p = (static_cast<double>((i * 7919) % n) + 0.5) / static_cast<double>(n);
    in.sample[i] = 50.0 + 400.0 * std::pow(-std::log1p(-p), 1.0 / 8.0);
  }
  Analyse(state, in);
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SixDistributionsBySampleSize)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Complexity();

}  // namespace

BENCHMARK_MAIN();
