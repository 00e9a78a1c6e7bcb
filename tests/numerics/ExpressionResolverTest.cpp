#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ExpressionTestSupport.hpp"

namespace olm {
namespace {

using test::ScalarOf;
using test::StatusOf;
using test::ValueOf;

// A stand-in for the editor's database: replicates of row-major data, whose
// columns it hands out as "ds%d_c%d_raw" one-column matrices only when asked.
class CFakeColumns : public IVariableResolver {
 public:
  CFakeColumns(int replicates, int rows, int columns) {
    for (int r = 1; r <= replicates; ++r) {
      CMatrix<double> m(rows, columns);
      for (int i = 1; i <= rows; ++i)
        for (int j = 1; j <= columns; ++j) m(i, j) = 1000.0 * r + 10.0 * i + j;
      m_data.push_back(std::move(m));
    }
  }

  bool Resolve(std::string_view name, CExpressionValue& value) override {
    int r = 0, c = 0;
    if (!Parse(name, r, c)) return false;
    resolved.emplace_back(name);
    if (shareColumns) {
      auto& cached = m_cache[std::string(name)];
      if (!cached) cached = std::make_shared<CMatrix<double>>(Column(r, c));
      value = CExpressionValue::FromSharedMatrix(cached);
    } else {
      value = CExpressionValue::FromMatrix(Column(r, c));
    }
    return true;
  }

  bool Describe(std::string_view name, int& kind, int& rows, int& columns) override {
    int r = 0, c = 0;
    if (!Parse(name, r, c)) return false;
    described.emplace_back(name);
    kind = kKindMatrix;
    rows = m_data[r - 1].GetRows();
    columns = 1;
    return true;
  }

  std::shared_ptr<CMatrix<double>> Cached(const std::string& name) { return m_cache[name]; }

  std::vector<std::string> resolved, described;
  bool shareColumns = false;

 private:
  bool Parse(std::string_view name, int& r, int& c) const {
    char tail[8] = {};
    const std::string s(name);
    if (std::sscanf(s.c_str(), "ds%d_c%d_%3s", &r, &c, tail) != 3) return false;
    if (std::string(tail) != "raw" ||
        s != "ds" + std::to_string(r) + "_c" + std::to_string(c) + "_raw")
      return false;
    return r >= 1 && r <= static_cast<int>(m_data.size()) && c >= 1 &&
           c <= m_data[r - 1].GetColumns();
  }
  CMatrix<double> Column(int r, int c) const {
    const CMatrix<double>& m = m_data[r - 1];
    CMatrix<double> col(m.GetRows(), 1);
    for (int i = 1; i <= m.GetRows(); ++i) col(i, 1) = m(i, c);
    return col;
  }

  std::vector<CMatrix<double>> m_data;
  std::map<std::string, std::shared_ptr<CMatrix<double>>> m_cache;
};

TEST(ExpressionResolverTest, ColumnExpressionResolvesOnlyTheNamesItUses) {
  CFakeColumns db(20, 5, 2);
  CExpressionEvaluator e;
  e.SetResolver(&db);
  const CExpressionValue v = ValueOf(e, "ds1_c3_raw = ds1_c2_raw * 2 + ds2_c2_raw");
  EXPECT_EQ(db.resolved, (std::vector<std::string>{"ds1_c2_raw", "ds2_c2_raw"}));
  ASSERT_TRUE(v.IsMatrix());
  ASSERT_EQ(v.GetRows(), 5);
  ASSERT_EQ(v.GetColumns(), 1);
  for (int i = 1; i <= 5; ++i)
    EXPECT_EQ(v.GetMatrix()(i, 1), 2 * (1000.0 + 10 * i + 2) + (2000.0 + 10 * i + 2));
  // Only the assigned name entered the table.
  EXPECT_EQ(e.GetVariables().size(), 1u);
  ASSERT_NE(e.FindVariable("ds1_c3_raw"), nullptr);
  // ds1_c3_raw is unknown to the resolver, so nothing constrains its shape.
  EXPECT_TRUE(db.described.empty());
  EXPECT_EQ(StatusOf(e, "ds21_c1_raw"), 4);
  EXPECT_EQ(StatusOf(e, "ds1_c9_raw"), 4);
}

TEST(ExpressionResolverTest, AssignmentKeepsTheShapeOfAResolvedColumn) {
  CFakeColumns db(2, 4, 2);
  CExpressionEvaluator e;
  e.SetResolver(&db);
  EXPECT_EQ(StatusOf(e, "ds1_c2_raw = mat(2,1,1,2)"), 12);
  EXPECT_EQ(db.described, (std::vector<std::string>{"ds1_c2_raw"}));
  EXPECT_TRUE(db.resolved.empty());  // the shape came without producing the column
  EXPECT_EQ(e.FindVariable("ds1_c2_raw"), nullptr);
  // The right shape is stored and then hides the resolver's column...
  ASSERT_EQ(StatusOf(e, "ds1_c2_raw = ds2_c1_raw - 2000"), 0);
  EXPECT_EQ(ScalarOf(e, "max(ds1_c2_raw)"), 41.0);
  // ... until the caller removes it.
  EXPECT_TRUE(e.RemoveVariable("ds1_c2_raw"));
  EXPECT_EQ(ScalarOf(e, "max(ds1_c2_raw)"), 1042.0);
  // A scalar may replace a column's name in the table (only matrices keep shapes).
  EXPECT_EQ(StatusOf(e, "ds1_c2_raw = 3"), 0);
  EXPECT_EQ(StatusOf(e, "ds1_c2_raw = mat(1,1,1)"), 0);
  EXPECT_EQ(StatusOf(e, "ds1_c2_raw = mat(1,2,1,1)"), 12);
}

TEST(ExpressionResolverTest, SharedColumnsAreReadNeverWritten) {
  CFakeColumns db(2, 3, 2);
  db.shareColumns = true;
  CExpressionEvaluator e;
  e.SetResolver(&db);
  ASSERT_EQ(StatusOf(e, "a = ds1_c1_raw"), 0);
  const auto cached = db.Cached("ds1_c1_raw");
  // The variable shares the resolver's storage: no element was copied.
  EXPECT_EQ(e.FindVariable("a")->GetMatrix().Row(1), cached->Row(1));
  ASSERT_EQ(StatusOf(e, "b = -ds1_c1_raw * 2 + ds1_c1_raw"), 0);
  EXPECT_EQ(e.FindVariable("b")->GetMatrix()(3, 1), -1031.0);
  EXPECT_EQ((*cached)(3, 1), 1031.0);
  ASSERT_EQ(StatusOf(e, "a = a + 1"), 0);
  EXPECT_EQ((*cached)(1, 1), 1011.0);
  EXPECT_EQ(e.FindVariable("a")->GetMatrix()(1, 1), 1012.0);
}

TEST(ExpressionResolverTest, AssignedColumnCanBeTakenWithoutCopying) {
  CFakeColumns db(1, 1000, 2);
  CExpressionEvaluator e;
  e.SetResolver(&db);
  CExpressionValue result;
  ASSERT_EQ(e.Evaluate("ds1_c3_raw = ds1_c1_raw * 2 + ds1_c2_raw", result), 0);
  const double* data = result.GetMatrix().Row(1);
  result = CExpressionValue();
  CExpressionValue taken;
  ASSERT_TRUE(e.TakeVariable("ds1_c3_raw", taken));
  EXPECT_EQ(e.FindVariable("ds1_c3_raw"), nullptr);
  CMatrix<double> column = taken.TakeMatrix();
  EXPECT_EQ(column.Row(1), data);
  EXPECT_EQ(column(1000, 1), 2 * (1000.0 + 10000 + 1) + (1000.0 + 10000 + 2));
}

TEST(ExpressionResolverTest, FunctionTextsDoNotSeeResolvedNames) {
  CFakeColumns db(1, 3, 1);
  CExpressionEvaluator e;
  e.SetResolver(&db);
  EXPECT_EQ(StatusOf(e, "integ(max(ds1_c1_raw)*x, 0, 1)"), 17);
  EXPECT_TRUE(db.resolved.empty());
}

TEST(ExpressionResolverTest, VariablesSetByTheCallerAreUsedAsGiven) {
  CExpressionEvaluator e;
  e.SetVariable("v", CExpressionValue::Components(kKindVector, 1, 2, 2));
  EXPECT_EQ(e.FindVariable("v")->GetComponents().GetName(), "v");
  EXPECT_EQ(ScalarOf(e, "mag(v)"), 3.0);
  CExpressionValue k = CExpressionValue::Scalar(4.0);
  k.SetKind(kKindScalar5);
  e.SetVariable("k", k);
  EXPECT_EQ(ScalarOf(e, "k^0.5"), 2.0);
  // A value of a kind outside the list cannot be stored by assignment.
  CExpressionValue odd = CExpressionValue::Scalar(1.0);
  odd.SetKind(9);
  e.SetVariable("odd", odd);
  EXPECT_EQ(StatusOf(e, "w = odd"), 26);
  EXPECT_EQ(e.FindVariable("w"), nullptr);
  e.ClearVariables();
  EXPECT_EQ(StatusOf(e, "v"), 4);
}

TEST(ExpressionResolverTest, EvaluationLimitStopsExpensiveStatements) {
  CExpressionEvaluator e;
  e.SetEvaluationLimit(10);
  EXPECT_EQ(StatusOf(e, "integ(x^2, 0, 1)"), 0);                      // 6 evaluations
  EXPECT_EQ(StatusOf(e, "integ(x^2, 0, 1) + integ(x^2, 0, 1)"), 17);  // 12
  EXPECT_EQ(StatusOf(e, "integ(x^2, 0, 1)"), 0);  // the count starts again per statement
  EXPECT_EQ(StatusOf(e, "root(x^2-2, 1, 1)"), 18);
  EXPECT_EQ(StatusOf(e, "diff(x^2, 1) + diff(x^2, 1) + diff(x^2, 1)"), 16);
}

}  // namespace
}  // namespace olm
