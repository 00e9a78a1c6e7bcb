// Saving and opening a large project beside a plain copy of a file of the
// same size on the same disk.
//
// The project: 20 replicates of 10^6 points, raw, smoothed and fitted data of
// three columns each (about 1.44 GB on disk).  Files go to $OLM_BENCH_DIR, or
// the system temporary folder.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "BenchReplicates.hpp"
#include "plot/Project.hpp"

namespace {

namespace fs = std::filesystem;
using olm::CProject;

constexpr int kReplicates = 20;
constexpr int kPoints = 1000000;
constexpr int kColumns = 3;

const fs::path& Folder() {
  static const fs::path folder = [] {
    const char* env = std::getenv("OLM_BENCH_DIR");
    fs::path f = fs::path(env ? env : fs::temp_directory_path().string()) /
                 ("olm-bench-project-" + std::to_string(::getpid()));
    fs::create_directories(f);
    return f;
  }();
  return folder;
}
std::string ProjectPath() {
  return (Folder() / "project.olm").string();
}

void FillMatrix(olm::CMatrix<double>& m, int replicate, double shift) {
  if (m.GetRows() != kPoints || m.GetColumns() != kColumns) m.SetSize(kPoints, kColumns);
  for (int i = 1; i <= kPoints; ++i) {
    double* row = m.Row(i);
    const double x = 1e-6 * i;
    row[0] = i;
    row[1] = x;
    row[2] = replicate * std::sin(x * 40.0) + shift;
  }
}

CProject& Project() {
  static std::unique_ptr<CProject> project = [] {
    auto p = std::make_unique<CProject>();
    olm::CReplicateDB& db = p->Database();
    for (int r = 1; r <= kReplicates; ++r) {
      olm::CReplicate& rep = olm::bench::AddSizedReplicate(db, "Replicate " + std::to_string(r),
                                                           kColumns, 2, 3, kPoints);
      rep.smoothedCount = kPoints;
      FillMatrix(rep.raw, r, 0.0);
      FillMatrix(rep.smoothedData, r, 0.01);
      FillMatrix(rep.fitData, r, 0.02);
      rep.smoothed = rep.fitted = true;
    }
    db.smoothedFlag = db.fittedFlag = 1;
    return p;
  }();
  return *project;
}

uint64_t EnsureSaved() {
  if (!fs::exists(ProjectPath())) Project().Save(ProjectPath());
  return fs::file_size(ProjectPath());
}

void BM_SaveProject(benchmark::State& state) {
  CProject& project = Project();
  for (auto _ : state)
    if (!project.Save(ProjectPath())) state.SkipWithError("save failed");
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fs::file_size(ProjectPath())));
}

void BM_OpenProject(benchmark::State& state) {
  const uint64_t bytes = EnsureSaved();
  for (auto _ : state) {
    CProject project;
    if (!project.Open(ProjectPath())) state.SkipWithError("open failed");
    benchmark::DoNotOptimize(project.Database().Replicate(kReplicates).raw(kPoints, 3));
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

// std::filesystem::copy_file: what `cp` does (in-kernel copy where possible).
void BM_CopyFile(benchmark::State& state) {
  const uint64_t bytes = EnsureSaved();
  const fs::path copy = Folder() / "copy.olm";
  for (auto _ : state) fs::copy_file(ProjectPath(), copy, fs::copy_options::overwrite_existing);
  fs::remove(copy);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

// A copy through user memory: read and write in 1 MiB blocks.
void BM_CopyFileReadWrite(benchmark::State& state) {
  const uint64_t bytes = EnsureSaved();
  const std::string copy = (Folder() / "copy.olm").string();
  std::vector<char> buffer(1 << 20);
  for (auto _ : state) {
    const int in = ::open(ProjectPath().c_str(), O_RDONLY);
    const int out = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ssize_t n;
    while ((n = ::read(in, buffer.data(), buffer.size())) > 0)
      if (::write(out, buffer.data(), size_t(n)) != n) state.SkipWithError("write failed");
    ::close(in);
    ::close(out);
  }
  fs::remove(copy);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4);
BENCHMARK(BM_OpenProject)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4);
BENCHMARK(BM_CopyFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4);
BENCHMARK(BM_CopyFileReadWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(4);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ec;
  fs::remove_all(Folder(), ec);
  return 0;
}
