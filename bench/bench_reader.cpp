// Throughput of the raw-data reader on a generated 1,000,000-row,
// 3-column file (about 41 MB), and its peak memory.
//
//   bench_reader                    Google Benchmark run (MB/s)
//   bench_reader --memory [FILE]    one import; prints the peak resident memory
//                                   it added beside the size of the parsed doubles
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstring>
#include <memory>

#include "BenchData.hpp"
#include "editing/RawDataReader.hpp"

namespace {

olm::CRawDataRequest Request(const std::string& path) {
  olm::CRawDataRequest r;
  r.path = path;
  r.columns = 3;
  r.xColumn = 2;
  r.yColumn = 3;
  r.delimiters = {false, true, false, '\0'};
  r.title = "curve";
  return r;
}

long FileSize(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : 0;
}

void BM_ReadRawData(benchmark::State& state) {
  const std::string path = olm::bench::CurveFile(state.range(0));
  const auto request = Request(path);
  for (auto _ : state) {
    auto db = std::make_unique<olm::CReplicateDB>();
    if (!olm::ReadRawData(*db, request)) state.SkipWithError("import failed");
    benchmark::DoNotOptimize(db->Replicate(1).raw(1, 1));
  }
  state.SetBytesProcessed(state.iterations() * FileSize(path));
  state.counters["rows"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_ReadRawData)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

// What `olm reduce` does with one file: import, one zone over the whole x
// range without smoothing or fit, the analysis and the extents.
void BM_ImportAndProcessOneZone(benchmark::State& state) {
  const std::string path = olm::bench::CurveFile(state.range(0));
  const auto request = Request(path);
  for (auto _ : state) {
    auto db = std::make_unique<olm::CReplicateDB>();
    if (!olm::ReadRawData(*db, request)) state.SkipWithError("import failed");
    olm::CReplicate& rep = db->Replicate(1);
    rep.zoneCount = 1;
    rep.SetZoneStart(1, rep.raw.Min(2));
    rep.SetZoneEnd(1, rep.raw.Max(2));
    if (!db->Process()) state.SkipWithError("analysis failed");
    benchmark::DoNotOptimize(rep.smoothedData(1, 1));
  }
  state.SetBytesProcessed(state.iterations() * FileSize(path));
}
BENCHMARK(BM_ImportAndProcessOneZone)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

int MeasureMemory(const std::string& file) {
  const std::string path = file.empty() ? olm::bench::CurveFile(1000000) : file;
  auto db = std::make_unique<olm::CReplicateDB>();
  const long before = olm::bench::MaxRssKiB();
  if (!olm::ReadRawData(*db, Request(path))) return 1;
  const long after = olm::bench::MaxRssKiB();
  const auto& raw = db->Replicate(1).raw;
  const double doubles = static_cast<double>(raw.GetRows()) * raw.GetColumns() * 8.0 / 1048576.0;
  std::printf("file %.1f MB, %d rows x %d columns\n", FileSize(path) / 1e6, raw.GetRows(),
              raw.GetColumns());
  std::printf("parsed doubles %.1f MiB, peak resident memory added %.1f MiB (ratio %.2f)\n",
              doubles, (after - before) / 1024.0, (after - before) / 1024.0 / doubles);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--memory") == 0)
    return MeasureMemory(argc >= 3 ? argv[2] : "");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
