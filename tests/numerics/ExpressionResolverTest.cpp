#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "ExpressionTestSupport.hpp"

namespace olm {
namespace {

using test::ScalarOf;
using test::StatusOf;
using test::ValueOf;

// A stand-in for the editor's database: replicates r of rows i and columns c
// holding 1000 r + 10 i + c, handed out as "dsR_cC_raw" one-column matrices
// only when asked.
class CFakeColumns : public IVariableResolver {
 public:
  CFakeColumns(int replicates, int rows, int columns)
      : m_replicates(replicates), m_rows(rows), m_columns(columns) {}

  bool Resolve(std::string_view name, CExpressionValue& value) override {
    int r = 0, c = 0;
    if (!Parse(name, r, c)) return false;
    resolved.emplace_back(name);
    CMatrix<double> column(m_rows, 1);
    for (int i = 1; i <= m_rows; ++i) column(i, 1) = 1000.0 * r + 10.0 * i + c;
    auto& cached = m_cache[std::string(name)];
    if (!shareColumns) {
      value = CExpressionValue::FromMatrix(std::move(column));
    } else {
      if (!cached) cached = std::make_shared<CMatrix<double>>(std::move(column));
      value = CExpressionValue::FromSharedMatrix(cached);
    }
    return true;
  }

  bool Describe(std::string_view name, int& kind, int& rows, int& columns) override {
    int r = 0, c = 0;
    if (!Parse(name, r, c)) return false;
    described.emplace_back(name);
    kind = kKindMatrix, rows = m_rows, columns = 1;
    return true;
  }

  std::shared_ptr<CMatrix<double>> Cached(const std::string& name) { return m_cache[name]; }

  std::vector<std::string> resolved, described;
  bool shareColumns = false;

 private:
  bool Parse(std::string_view name, int& r, int& c) const {
    static const std::regex pattern("ds([1-9][0-9]{0,5})_c([1-9][0-9]{0,5})_raw");
    std::match_results<std::string_view::const_iterator> m;
    if (!std::regex_match(name.begin(), name.end(), m, pattern)) return false;
    r = std::stoi(m[1].str()), c = std::stoi(m[2].str());
    return r <= m_replicates && c <= m_columns;
  }

  int m_replicates, m_rows, m_columns;
  std::map<std::string, std::shared_ptr<CMatrix<double>>> m_cache;
};

TEST(ExpressionResolverTest, StatementsResolveOnlyTheNamesTheyUse) {
  CFakeColumns db(20, 5, 2);
  CExpressionEvaluator e;
  e.SetResolver(&db);
  const CExpressionValue v = ValueOf(e, "ds1_c3_raw = ds1_c2_raw * 2 + ds2_c2_raw");
  EXPECT_EQ(db.resolved, (std::vector<std::string>{"ds1_c2_raw", "ds2_c2_raw"}));
  ASSERT_TRUE(v.IsMatrix() && v.GetRows() == 5 && v.GetColumns() == 1);
  for (int i = 1; i <= 5; ++i)
    EXPECT_EQ(v.GetMatrix()(i, 1), 2 * (1000.0 + 10 * i + 2) + (2000.0 + 10 * i + 2));
  // Only the assigned name entered the table.
  EXPECT_EQ(e.GetVariables().size(), 1u);
  ASSERT_NE(e.FindVariable("ds1_c3_raw"), nullptr);
  // ds1_c3_raw is unknown to the resolver, so nothing constrains its shape.
  EXPECT_TRUE(db.described.empty());
  test::ExpectStatuses({{"ds21_c1_raw", 4}, {"ds1_c9_raw", 4}}, &e);
  // Function texts do not see resolved names.
  db.resolved.clear();
  EXPECT_EQ(StatusOf(e, "integ(max(ds1_c1_raw)*x, 0, 1)"), 17);
  EXPECT_TRUE(db.resolved.empty());
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
  test::ExpectStatuses(
      {{"ds1_c2_raw = 3", 0}, {"ds1_c2_raw = mat(1,1,1)", 0}, {"ds1_c2_raw = mat(1,2,1,1)", 12}},
      &e);
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
  EXPECT_EQ(std::pair(e.FindVariable("b")->GetMatrix()(3, 1), (*cached)(3, 1)),
            std::pair(-1031.0, 1031.0));
  ASSERT_EQ(StatusOf(e, "a = a + 1"), 0);
  EXPECT_EQ(std::pair(e.FindVariable("a")->GetMatrix()(1, 1), (*cached)(1, 1)),
            std::pair(1012.0, 1011.0));
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
