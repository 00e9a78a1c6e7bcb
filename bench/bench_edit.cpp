// Speed of the raw-data editor's column assignment.
//
// A database of R replicates (2, 5 or 20) of 10^6 points and two columns.
// The editor resolves column names only when a statement uses them, so
//   ds1_c3_raw = ds1_c2_raw * 2 + ds2_c2_raw
// costs time in proportion to one column whatever R is:
// - Assign: the statement overwrites an existing column 3;
// - Append: the statement adds column 3 (the replicate's raw matrix is
//   rebuilt one column wider, so the cost is that of one replicate);
// - Zero: "zero, 1, 2" for comparison with a plain column pass;
// - EagerTable: what a table without a resolver needs before every
//   statement: every column of every replicate copied into the variable
//   table, then the statement.  It grows with R.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "BenchReplicates.hpp"
#include "editing/EditCommands.hpp"
#include "numerics/UserInterface.hpp"

namespace {

using olm::CExpressionEvaluator;
using olm::CExpressionValue;
using olm::CMatrix;
using olm::CRawDataEditor;
using olm::CReplicateDB;

constexpr int kRows = 1000000;
constexpr const char* kStatement = "ds1_c3_raw = ds1_c2_raw * 2 + ds2_c2_raw";

// One database per replicate count, built once; replicate 1 is handed out
// with two columns.
CReplicateDB& Database(int replicates) {
  static std::map<int, std::unique_ptr<CReplicateDB>> cache;
  auto& db = cache[replicates];
  if (!db) {
    db = std::make_unique<CReplicateDB>();
    for (int r = 1; r <= replicates; ++r) {
      olm::CReplicate& rep =
          olm::bench::AddSizedReplicate(*db, olm::Format("r%d", r), 2, 1, 2, kRows);
      for (int i = 1; i <= kRows; ++i) {
        rep.raw(i, 1) = 0.001 * i;
        rep.raw(i, 2) = r + 1e-6 * i;
      }
    }
  }
  while (db->Replicate(1).columnCount > 2) db->Replicate(1).DeleteColumn(3);
  return *db;
}

void Report(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * kRows);
  state.counters["replicates"] = static_cast<double>(state.range(0));
}

void BM_Assign(benchmark::State& state) {
  CReplicateDB& db = Database(static_cast<int>(state.range(0)));
  CRawDataEditor editor(db);
  if (!editor.Apply(kStatement)) state.SkipWithError("the statement failed");
  for (auto _ : state) {
    if (!editor.Apply(kStatement)) state.SkipWithError("the statement failed");
  }
  Report(state);
}

void BM_Append(benchmark::State& state) {
  CReplicateDB& db = Database(static_cast<int>(state.range(0)));
  CRawDataEditor editor(db);
  for (auto _ : state) {
    if (!editor.Apply(kStatement)) state.SkipWithError("the statement failed");
    state.PauseTiming();
    db.Replicate(1).DeleteColumn(3);
    state.ResumeTiming();
  }
  Report(state);
}

void BM_Zero(benchmark::State& state) {
  CReplicateDB& db = Database(static_cast<int>(state.range(0)));
  CRawDataEditor editor(db);
  for (auto _ : state) {
    if (!editor.Apply("zero, 1, 2")) state.SkipWithError("zero failed");
  }
  Report(state);
}

void BM_EagerTable(benchmark::State& state) {
  CReplicateDB& db = Database(static_cast<int>(state.range(0)));
  CExpressionEvaluator evaluator;
  CExpressionValue result;
  for (auto _ : state) {
    for (int r = 1; r <= db.GetReplicateCount(); ++r) {
      const CMatrix<double>& raw = db.Replicate(r).raw;
      for (int c = 1; c <= raw.GetColumns(); ++c) {
        CMatrix<double> column(raw.GetRows(), 1);
        for (int i = 1; i <= raw.GetRows(); ++i) column(i, 1) = raw(i, c);
        evaluator.SetVariable(CRawDataEditor::ColumnVariableName(r, c, olm::kCurveRaw),
                              CExpressionValue::FromMatrix(std::move(column)));
      }
    }
    if (evaluator.Evaluate(kStatement, result) != 0) state.SkipWithError("the statement failed");
  }
  Report(state);
}

#define OLM_EDIT_BENCH(fn) \
  BENCHMARK(fn)->Arg(2)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime()

OLM_EDIT_BENCH(BM_Assign);
OLM_EDIT_BENCH(BM_Append);
OLM_EDIT_BENCH(BM_Zero);
OLM_EDIT_BENCH(BM_EagerTable);

}  // namespace

BENCHMARK_MAIN();
