// Speed of the smoothing filters, the quintic fit and Chauvenet removal on a
// test curve of 10^6 points, window 25 (robust variants: 3 robust passes).
//
// The curve is read from OLM_BENCH_CURVE when set: a file of little-endian
// doubles, column after column (time[N], strain[N], stress[N]), as the peer
// comparison's generator writes it (bench/peers/compare_numerics.sh).
// Otherwise a similar curve is generated here.
//
//   build/default/bench/bench_numerics [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "BenchData.hpp"
#include "engine/Fitting.hpp"
#include "engine/LocalRegression.hpp"
#include "engine/Smoothing.hpp"
#include "engine/ZoneProcessing.hpp"

namespace {

using namespace olm;

struct Curve {
  std::vector<double> x, y;
};

// Strain 0 .. 0.2 in jittered steps; stress elastic (200 GPa) to 350 MPa,
// power-law hardening, softening after 0.15; noise 1.5 MPa and 0.1 % spikes.
Curve Generate(int n) {
  std::mt19937_64 rng(20261206);
  std::uniform_real_distribution<double> jitter(-0.3, 0.3), spike(30.0, 150.0);
  std::normal_distribution<double> noise(0.0, 1.5);
  Curve c;
  c.x.resize(static_cast<size_t>(n));
  c.y.resize(static_cast<size_t>(n));
  double e = 0.0;
  for (int i = 0; i < n; ++i) {
    c.x[static_cast<size_t>(i)] = e;
    e += 1.0 + jitter(rng);
  }
  for (double& v : c.x) v *= 0.2 / c.x.back();
  const double ey = 350.0 / 200000.0;
  for (int i = 0; i < n; ++i) {
    const double eps = c.x[static_cast<size_t>(i)];
    double s = eps <= ey ? 200000.0 * eps : 350.0 * std::pow(eps / ey, 0.12);
    const double u = std::max(0.0, (eps - 0.15) / 0.05);
    s *= 1.0 - 0.3 * u * u;
    s += noise(rng);
    if (rng() % 1000 == 0) s += (rng() % 2 ? 1 : -1) * spike(rng);
    c.y[static_cast<size_t>(i)] = s;
  }
  return c;
}

bool Load(const char* path, Curve& c) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return false;
  const std::streamoff bytes = in.tellg();
  if (bytes <= 0 || bytes % 24 != 0) return false;
  const size_t n = static_cast<size_t>(bytes / 24);
  std::vector<double> all(3 * n);
  in.seekg(0);
  in.read(reinterpret_cast<char*>(all.data()), bytes);
  c.x.assign(all.begin() + static_cast<std::ptrdiff_t>(n),
             all.begin() + static_cast<std::ptrdiff_t>(2 * n));
  c.y.assign(all.begin() + static_cast<std::ptrdiff_t>(2 * n), all.end());
  return true;
}

const Curve& TheCurve() {
  static const Curve curve = [] {
    Curve c;
    const char* path = std::getenv("OLM_BENCH_CURVE");
    if (path && *path) {
      if (!Load(path, c)) {
        std::fprintf(stderr, "cannot read curve %s\n", path);
        std::exit(1);
      }
      return c;
    }
    return Generate(1000000);
  }();
  return curve;
}

// One filter call on the whole curve; the input is restored every time.
void BM_Filter(benchmark::State& state, CSmoothingSpec spec) {
  const Curve& c = TheCurve();
  const int n = static_cast<int>(c.x.size());
  std::vector<double> y(c.y.size());
  CSmoothingWorkspace ws;
  for (auto _ : state) {
    std::copy(c.y.begin(), c.y.end(), y.begin());
    if (!SmoothValues(spec, c.x.data(), y.data(), n, ws)) state.SkipWithError("filter failed");
    benchmark::DoNotOptimize(y.data());
  }
  state.SetItemsProcessed(state.iterations() * n);
}

CSmoothingSpec Spec(int method, int repeats = 1, int order = 3) {
  CSmoothingSpec s;
  s.method = method;
  s.points = 25;
  s.repeats = repeats;
  s.order = order;
  return s;
}

void BM_QuinticFit(benchmark::State& state) {
  const Curve& c = TheCurve();
  const int n = static_cast<int>(c.x.size());
  std::vector<double> fitted(c.x.size());
  CFitCoefficients coef;
  for (auto _ : state) {
    if (FitPolynomial(c.x.data(), c.y.data(), n, 5, 1e-20, coef, fitted.data()) != 0)
      state.SkipWithError("fit failed");
    benchmark::DoNotOptimize(coef.data());
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_Chauvenet(benchmark::State& state) {
  const Curve& c = TheCurve();
  const int n = static_cast<int>(c.x.size());
  CZone zone;
  zone.outliers.method = kOutliersChauvenet;
  CMatrix<double> rows(n, 2);
  for (int i = 1; i <= n; ++i) {
    rows(i, 1) = c.x[static_cast<size_t>(i - 1)];
    rows(i, 2) = c.y[static_cast<size_t>(i - 1)];
  }
  for (auto _ : state) {
    // The removal thins the rows in place: start each run from the zone's rows.
    state.PauseTiming();
    zone.workingPoints = rows;
    state.ResumeTiming();
    zone.pointCount = n;
    RemoveOutliers(zone, 1, 2);
    benchmark::DoNotOptimize(zone.outlierCount);
  }
  state.SetItemsProcessed(state.iterations() * n);
}

// Memory of the robust filter on a zone of n points (x and y): the arrays of
// the zone's size that smoothing holds (SmoothZone's x and y columns, the
// filter's own and the points it set aside), and the process's peak
// resident memory.
void BM_RobustLowessMemory(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  CZone zone;
  {
    const Curve c = Generate(n);
    zone.workingPoints.SetSize(n, 2);
    for (int i = 1; i <= n; ++i) {
      zone.workingPoints(i, 1) = c.x[static_cast<size_t>(i - 1)];
      zone.workingPoints(i, 2) = c.y[static_cast<size_t>(i - 1)];
    }
  }
  zone.smoothing = Spec(kSmoothRobustLowess, 1);
  zone.smoothing.points = 5;
  const long before = olm::bench::MaxRssKiB();
  for (auto _ : state) {
    zone.pointCount = n;
    if (!SmoothZone(zone, 1, 2)) state.SkipWithError("filter failed");
  }
  // The workspace lives inside SmoothZone; the same one, kept, gives its size.
  CSmoothingWorkspace ws;
  ws.x.resize(static_cast<size_t>(n));
  ws.y.resize(static_cast<size_t>(n));
  for (int i = 1; i <= n; ++i) ws.y[static_cast<size_t>(i - 1)] = zone.workingPoints(i, 2);
  for (int i = 1; i <= n; ++i) ws.x[static_cast<size_t>(i - 1)] = zone.workingPoints(i, 1);
  RobustLocalRegression(ws.x.data(), ws.y.data(), n, 5, 1, 1, ws);
  double doubles = 0.0;
  for (const auto* v : {&ws.x, &ws.y, &ws.w, &ws.fit, &ws.weight, &ws.cx, &ws.cy, &ws.cw})
    doubles += static_cast<double>(v->capacity());
  doubles += 0.5 * static_cast<double>(ws.order.capacity());
  doubles += 2.0 * static_cast<double>(ws.removed.capacity());  // index + x + y, 24 bytes
  state.counters["zone_arrays"] = doubles / n;
  state.counters["peak_rss_MiB"] = static_cast<double>(olm::bench::MaxRssKiB()) / 1024.0;
  state.counters["added_rss_MiB"] = static_cast<double>(olm::bench::MaxRssKiB() - before) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const auto filter = [](const char* name, CSmoothingSpec spec) {
    benchmark::RegisterBenchmark(name, BM_Filter, spec)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  };
  filter("Median", Spec(kSmoothMedian));
  filter("SimpleAverage", Spec(kSmoothSimpleAverage));
  filter("SavitzkyGolay3", Spec(kSmoothPolynomialAverage, 1, 3));
  filter("SavitzkyGolay5", Spec(kSmoothPolynomialAverage, 1, 5));
  filter("Lowess", Spec(kSmoothLowess));
  filter("RobustLowess3", Spec(kSmoothRobustLowess, 3));
  filter("Loess", Spec(kSmoothLoess));
  filter("RobustLoess3", Spec(kSmoothRobustLoess, 3));
  benchmark::RegisterBenchmark("QuinticFit", BM_QuinticFit)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("Chauvenet", BM_Chauvenet)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("RobustLowessMemory", BM_RobustLowessMemory)
      ->Arg(10000000)
      ->Iterations(1)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  std::fprintf(stderr, "curve: %zu points\n", TheCurve().x.size());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
