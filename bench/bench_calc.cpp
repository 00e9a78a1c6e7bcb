// Speed of the calculator language.
//
// Column expressions: a stand-in for the editor's database holds R
// replicates of 10^6 rows and two columns each, stored row by row; its
// resolver copies a column out only when a statement names it.  The
// statement ds1_c3_raw = ds1_c2_raw * 2 + ds2_c2_raw then costs the same for
// 1, 5 or 20 replicates.  For comparison, "Eager" copies every column of every
// replicate into the variable table before the statement, as a table without
// a resolver would need.
//
// Scalars: statements per second for short scalar statements, and one
// numeric method.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "numerics/ExpressionEvaluator.hpp"

namespace {

using olm::CExpressionEvaluator;
using olm::CExpressionValue;
using olm::CMatrix;

constexpr int kRows = 1000000;
constexpr int kColumns = 2;
constexpr int kMaxReplicates = 20;

class CBenchDatabase : public olm::IVariableResolver {
 public:
  CBenchDatabase() {
    for (int r = 1; r <= kMaxReplicates; ++r) {
      CMatrix<double> m(kRows, kColumns);
      for (int i = 1; i <= kRows; ++i)
        for (int j = 1; j <= kColumns; ++j) m(i, j) = r + 0.001 * i + j;
      m_replicates.push_back(std::move(m));
    }
  }
  void SetReplicateCount(int n) { m_count = n; }
  int GetReplicateCount() const { return m_count; }

  bool Resolve(std::string_view name, CExpressionValue& value) override {
    int r = 0, c = 0;
    if (!Parse(name, r, c)) return false;
    value = CExpressionValue::FromMatrix(Column(r, c));
    return true;
  }
  bool Describe(std::string_view name, int& kind, int& rows, int& columns) override {
    int r = 0, c = 0;
    if (!Parse(name, r, c)) return false;
    kind = olm::kKindMatrix;
    rows = kRows;
    columns = 1;
    return true;
  }
  CMatrix<double> Column(int r, int c) const {
    const CMatrix<double>& m = m_replicates[r - 1];
    CMatrix<double> column(kRows, 1);
    double* out = column.Row(1);
    const double* in = m.Row(1) + (c - 1);
    for (int i = 0; i < kRows; ++i) out[i] = in[static_cast<std::size_t>(i) * kColumns];
    return column;
  }

 private:
  bool Parse(std::string_view name, int& r, int& c) const {
    const std::string s(name);
    char tail[4] = {};
    if (std::sscanf(s.c_str(), "ds%d_c%d_%3s", &r, &c, tail) != 3) return false;
    return std::string(tail) == "raw" && r >= 1 && r <= m_count && c >= 1 && c <= kColumns;
  }
  std::vector<CMatrix<double>> m_replicates;
  int m_count = kMaxReplicates;
};

CBenchDatabase& Database() {
  static CBenchDatabase db;
  return db;
}

const char* const kColumnStatement = "ds1_c3_raw = ds1_c2_raw * 2 + ds2_c2_raw";

void BM_ColumnExpressionResolved(benchmark::State& state) {
  CBenchDatabase& db = Database();
  db.SetReplicateCount(static_cast<int>(state.range(0)));
  CExpressionEvaluator e;
  e.SetResolver(&db);
  CExpressionValue result;
  for (auto _ : state) {
    if (e.Evaluate(kColumnStatement, result) != 0) state.SkipWithError("evaluation failed");
    // The editor takes the new column out of the table (without a copy).
    result = CExpressionValue();
    CExpressionValue column;
    e.TakeVariable("ds1_c3_raw", column);
    benchmark::DoNotOptimize(column.TakeMatrix());
  }
  state.counters["replicates"] = static_cast<double>(state.range(0));
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_ColumnExpressionResolved)->Arg(2)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond);

void BM_ColumnExpressionEager(benchmark::State& state) {
  CBenchDatabase& db = Database();
  const int replicates = static_cast<int>(state.range(0));
  db.SetReplicateCount(replicates);
  CExpressionEvaluator e;
  CExpressionValue result;
  for (auto _ : state) {
    for (int r = 1; r <= replicates; ++r)
      for (int c = 1; c <= kColumns; ++c)
        e.SetVariable("ds" + std::to_string(r) + "_c" + std::to_string(c) + "_raw",
                      CExpressionValue::FromMatrix(db.Column(r, c)));
    if (e.Evaluate(kColumnStatement, result) != 0) state.SkipWithError("evaluation failed");
    result = CExpressionValue();
    e.ClearVariables();
  }
  state.counters["replicates"] = static_cast<double>(replicates);
}
BENCHMARK(BM_ColumnExpressionEager)->Arg(2)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond);

void BM_Statement(benchmark::State& state, const char* statement) {
  CExpressionEvaluator e;
  CExpressionValue result;
  e.Evaluate("x = 1.25", result);
  for (auto _ : state) {
    if (e.Evaluate(statement, result) != 0) state.SkipWithError("evaluation failed");
    benchmark::DoNotOptimize(result.GetScalar());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK_CAPTURE(BM_Statement, literal, "1+2*3");
BENCHMARK_CAPTURE(BM_Statement, scalar, "y = sin(0.5)*2 + 3^2 - x/7");
BENCHMARK_CAPTURE(BM_Statement, functions, "sqrt(abs(ln(x)*exp(x))) + atan(x) % 3 + fact(6)");
BENCHMARK_CAPTURE(BM_Statement, vectors, "mag(vec(pnt(0,0,0), pnt(x,4,0)) * 2)");
BENCHMARK_CAPTURE(BM_Statement, matrix3, "det(mat(3,3, 2,0,1, 1,3,2, 1,1,x))");
BENCHMARK_CAPTURE(BM_Statement, integ, "integ(sin(x)*x, 0, 3)");
BENCHMARK_CAPTURE(BM_Statement, root, "root(x^3 - 2*x - 5, 2, 0)");

}  // namespace

BENCHMARK_MAIN();
