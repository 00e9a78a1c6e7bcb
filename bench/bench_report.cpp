// The report of 20 processed replicates of 10^5 points each with every
// report flag on: seconds and MB/s of output.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>

#include "engine/Database.hpp"
#include "engine/Report.hpp"

namespace {

std::unique_ptr<olm::CReplicateDB> MakeDatabase(int replicates, int points) {
  auto db = std::make_unique<olm::CReplicateDB>();
  std::mt19937_64 gen(7);
  std::normal_distribution<double> noise(0.0, 1.5);
  for (int r = 1; r <= replicates; ++r) {
    db->AddReplicate();
    olm::CReplicate& rep = db->Replicate(r);
    rep.SetTitle("specimen " + std::to_string(r));
    rep.pointCount = points;
    rep.raw.SetSize(points, 2);
    for (int i = 1; i <= points; ++i) {
      const double x = 0.2 * (i - 1) / (points - 1);
      rep.raw(i, 1) = x;
      rep.raw(i, 2) = 350.0 * std::pow(x / 0.00175 + 1.0, 0.12) + noise(gen);
    }
    rep.zoneCount = 2;
    rep.SetZoneStart(1, 0.0);
    rep.SetZoneEnd(1, 0.1);
    rep.SetZoneStart(2, 0.1);
    rep.SetZoneEnd(2, 0.2);
    for (int z = 1; z <= 2; ++z) {
      rep.Zone(z).smoothing = {1, 5, 3, olm::kSmoothSimpleAverage};
      rep.Zone(z).fit.type = olm::kFitPolynomial;
      rep.Zone(z).fit.degree = 3;
    }
    rep.Zone(1).outliers.method = olm::kOutliersChauvenet;
    for (int k = 0; k < 3; ++k) db->plotSettings.SetShown(r, k, true);
  }
  db->Process();
  for (int f = 1; f <= 6; ++f) db->SetReportFlag(f, true);
  return db;
}

void BM_Report(benchmark::State& state) {
  const auto db = MakeDatabase(20, static_cast<int>(state.range(0)));
  const std::string path = "/tmp/olm_bench_report_" + std::to_string(::getpid()) + ".out";
  long bytes = 0;
  for (auto _ : state) {
    std::remove(path.c_str());
    olm::WriteReport(*db, path);
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) bytes = static_cast<long>(st.st_size);
  }
  std::remove(path.c_str());
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["report_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_Report)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
