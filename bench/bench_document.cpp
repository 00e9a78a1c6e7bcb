// Memory of the document's undo steps.
//
// A project of 20 replicates of 10^6 points (three columns: time, x, y).
// One editor command changes one replicate; the undo step keeps that
// replicate's previous state and shares the other 19 with the document.
// Counters:
// - undo_bytes: what the held steps keep beside the current state;
// - replicate_bytes: the size of the touched replicate;
// - ratio: undo_bytes / replicate_bytes (goal: under 1.5);
// - rss_added: growth of the process's resident memory over the command
//   (the new column plus the kept copy of the replicate).
// The time is that of the command with its undo step.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <memory>

#include "BenchReplicates.hpp"
#include "document/Document.hpp"
#include "numerics/UserInterface.hpp"

namespace {

using olm::COLMDoc;

constexpr int kReplicates = 20;
constexpr int kRows = 1000000;

double ResidentBytes() {
  long pages = 0, resident = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

std::unique_ptr<COLMDoc> MakeProject() {
  auto doc = std::make_unique<COLMDoc>();
  doc->Modify("Build", olm::kChangeData, [](olm::CReplicateDB& db, olm::CGEList&) {
    for (int r = 1; r <= kReplicates; ++r) {
      olm::CReplicate& rep =
          olm::bench::AddSizedReplicate(db, "rep" + std::to_string(r), 3, 2, 3, kRows);
      for (int i = 1; i <= kRows; ++i) {
        rep.raw(i, 1) = i * 0.1;
        rep.raw(i, 2) = i * 1e-7;
        rep.raw(i, 3) = 500.0 * (1.0 - 1.0 / (1.0 + i * 1e-5)) + r;
      }
    }
    return true;
  });
  doc->ClearUndo();
  return doc;
}

void BM_UndoStepOfOneEditorCommand(benchmark::State& state) {
  std::unique_ptr<COLMDoc> doc = MakeProject();
  double undoBytes = 0, replicateBytes = 0, rssAdded = 0;
  for (auto _ : state) {
    state.PauseTiming();
    doc->ClearUndo();
    replicateBytes = static_cast<double>(olm::ReplicateBytes(doc->Database().Replicate(1)));
    const double before = ResidentBytes();
    state.ResumeTiming();
    if (!doc->EditorCommand("ds1_c3_raw = ds1_c3_raw * 1.01"))
      state.SkipWithError("command failed");
    state.PauseTiming();
    rssAdded = ResidentBytes() - before;
    undoBytes = static_cast<double>(doc->UndoBytes());
    state.ResumeTiming();
  }
  state.counters["undo_bytes"] = undoBytes;
  state.counters["replicate_bytes"] = replicateBytes;
  state.counters["ratio"] = undoBytes / replicateBytes;
  state.counters["rss_added"] = rssAdded;
  state.counters["project_bytes"] = replicateBytes * kReplicates;
}
BENCHMARK(BM_UndoStepOfOneEditorCommand)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
