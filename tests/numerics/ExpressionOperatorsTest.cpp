#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>

#include "ExpressionTestSupport.hpp"
#include "numerics/ExpressionOperators.hpp"

namespace olm {
namespace {

using test::MakeMatrix;
using test::ScalarOf;
using test::StatusOf;
using test::ValueOf;

// One variable of every kind.
class ExpressionOperatorsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* s :
         {"s = 2", "v = vec(pnt(0,0,0), pnt(1,2,3))", "p = pnt(1,2,3)", "m = mat(1,2,1,2)",
          "w = vec2d(pnt2d(0,0), pnt2d(3,4))", "q = pnt2d(1,1)"})
      ASSERT_EQ(StatusOf(e, s), 0) << s;
  }
  CExpressionEvaluator e;
};

TEST_F(ExpressionOperatorsTest, EveryPairOfKindsUnderEveryOperator) {
  const char* names[] = {"s", "v", "p", "m", "w", "q"};
  // The pairs each operator accepts; every other pair is status 12.
  const std::map<char, std::set<std::string>> accepted = {
      {'+', {"ss", "vv", "pp", "ww", "qq", "ms", "sm", "mm"}},
      {'-', {"ss", "vv", "pp", "ww", "qq", "ms", "sm", "mm"}},
      {'*', {"ss", "sv", "vs", "sp", "ps", "sw", "ws", "sq", "qs", "vv", "ww", "ms", "sm"}},
      {'/', {"ss", "vs", "ps", "ws", "qs", "ms"}},
      {'%', {"ss"}},
      {'@', {"vv", "ww"}},
  };
  for (const auto& [op, pairs] : accepted)
    for (const char* l : names)
      for (const char* r : names) {
        const std::string pair = std::string(l) + r;
        const std::string statement = std::string(l) + " " + op + " " + r;
        EXPECT_EQ(StatusOf(e, statement), pairs.count(pair) ? 0 : 12) << statement;
      }
}

TEST_F(ExpressionOperatorsTest, ScalarsAndComponentArithmetic) {
  EXPECT_EQ(ScalarOf(e, "7 % 3"), 1.0);
  EXPECT_EQ(ScalarOf(e, "7.9 % 3.2"), 1.0);
  EXPECT_EQ(ScalarOf(e, "-7 % 3"), -1.0);
  EXPECT_EQ(StatusOf(e, "2 / 0"), 9);
  EXPECT_EQ(StatusOf(e, "7 % 0.5"), 9);
  EXPECT_EQ(StatusOf(e, "v / 0"), 9);
  EXPECT_EQ(StatusOf(e, "m / 0"), 9);
  // Out-of-range operands of % saturate instead of overflowing.
  EXPECT_EQ(ScalarOf(e, "1e300 % 10"), 7.0);  // 2147483647 % 10
  EXPECT_EQ(ScalarOf(e, "(0-1e300) % (0-1)"), 0.0);

  EXPECT_EQ(ScalarOf(e, "v * v"), 14.0);
  EXPECT_EQ(ScalarOf(e, "w * w"), 25.0);
  const CExpressionValue scaled = ValueOf(e, "2 * p");
  EXPECT_EQ(scaled.GetKind(), kKindPoint);
  EXPECT_EQ(scaled.GetComponents()(3), 6.0);
  const CExpressionValue half = ValueOf(e, "v / 2");
  EXPECT_EQ(half.GetKind(), kKindVector);
  EXPECT_EQ(half.GetComponents()(2), 1.0);
  const CExpressionValue sum = ValueOf(e, "p + p - p");
  EXPECT_EQ(sum.GetKind(), kKindPoint);
  EXPECT_EQ(sum.GetComponents()(1), 1.0);
  const CExpressionValue neg = ValueOf(e, "-w");
  EXPECT_EQ(neg.GetKind(), kKindVector2d);
  EXPECT_EQ(neg.GetComponents()(2), -4.0);
}

TEST_F(ExpressionOperatorsTest, CrossProducts) {
  const CExpressionValue c =
      ValueOf(e, "vec(pnt(0,0,0), pnt(1,0,0)) @ vec(pnt(0,0,0), pnt(0,1,0))");
  ASSERT_EQ(c.GetKind(), kKindVector);
  EXPECT_EQ(c.GetComponents()(1), 0.0);
  EXPECT_EQ(c.GetComponents()(2), 0.0);
  EXPECT_EQ(c.GetComponents()(3), 1.0);
  const CExpressionValue c2 = ValueOf(e, "v @ v");
  EXPECT_EQ(c2.GetComponents().Norm(), 0.0);
  // Two plane vectors give the three-component vector out of the plane.
  const CExpressionValue c3 = ValueOf(e, "w @ vec2d(pnt2d(0,0), pnt2d(1,0))");
  ASSERT_EQ(c3.GetKind(), kKindVector);
  EXPECT_EQ(c3.GetComponents()(3), -4.0);
}

TEST_F(ExpressionOperatorsTest, MatrixArithmetic) {
  const CExpressionValue r = ValueOf(e, "2 - mat(1,2,1,2)");
  ASSERT_TRUE(r.IsMatrix());
  ASSERT_EQ(r.GetRows(), 1);
  ASSERT_EQ(r.GetColumns(), 2);
  EXPECT_EQ(r.GetMatrix()(1, 1), 1.0);
  EXPECT_EQ(r.GetMatrix()(1, 2), 0.0);
  const CExpressionValue p = ValueOf(e, "mat(2,2,1,2,3,4) * mat(2,1,5,6)");
  ASSERT_EQ(p.GetRows(), 2);
  ASSERT_EQ(p.GetColumns(), 1);
  EXPECT_EQ(p.GetMatrix()(1, 1), 17.0);
  EXPECT_EQ(p.GetMatrix()(2, 1), 39.0);
  EXPECT_EQ(StatusOf(e, "m * m"), 12);
  EXPECT_EQ(StatusOf(e, "m + mat(2,1,1,2)"), 12);
  const CExpressionValue d = ValueOf(e, "m / 4 + m * 0.5 - 1");
  EXPECT_EQ(d.GetMatrix()(1, 2), 0.5);
  // The variable m is unchanged by all of that.
  EXPECT_EQ(e.FindVariable("m")->GetMatrix()(1, 2), 2.0);
}

TEST(ExpressionOperatorStorageTest, OnlyHolderIsChangedInPlaceSharedStorageIsCopied) {
  CExpressionValue alone = CExpressionValue::FromMatrix(MakeMatrix(1, 3, {1, 2, 3}));
  const double* before = alone.GetMatrix().Row(1);
  NegateValue(alone);
  EXPECT_EQ(alone.GetMatrix().Row(1), before);
  EXPECT_EQ(alone.GetMatrix()(1, 3), -3.0);

  auto held = std::make_shared<CMatrix<double>>(MakeMatrix(1, 3, {1, 2, 3}));
  CExpressionValue shared = CExpressionValue::FromSharedMatrix(held);
  EXPECT_TRUE(shared.IsMatrixShared());
  CExpressionValue two = CExpressionValue::Scalar(2.0);
  CWorkBudget budget;
  ASSERT_EQ(MultiplyValues(shared, two, budget), 0);
  EXPECT_NE(shared.GetMatrix().Row(1), held->Row(1));
  EXPECT_EQ(shared.GetMatrix()(1, 2), 4.0);
  EXPECT_EQ((*held)(1, 2), 2.0);

  // Sum of a temporary and a shared matrix lands in the temporary's storage.
  CExpressionValue other = CExpressionValue::FromSharedMatrix(held);
  const double* temporary = shared.GetMatrix().Row(1);
  ASSERT_EQ(AddValues(shared, other, false), 0);
  EXPECT_EQ(shared.GetMatrix().Row(1), temporary);
  EXPECT_EQ(shared.GetMatrix()(1, 3), 9.0);
  // ... also when the temporary is on the right.
  CExpressionValue left = CExpressionValue::FromSharedMatrix(held);
  ASSERT_EQ(AddValues(left, shared, true), 0);
  EXPECT_EQ(left.GetMatrix().Row(1), temporary);
  EXPECT_EQ(left.GetMatrix()(1, 3), 3.0 - 9.0);
  EXPECT_EQ((*held)(1, 3), 3.0);
}

TEST(ExpressionOperatorStorageTest, TakeMatrixMovesWhenAloneAndCopiesWhenShared) {
  CExpressionValue v = CExpressionValue::FromMatrix(MakeMatrix(2, 1, {1, 2}));
  const double* data = v.GetMatrix().Row(1);
  CMatrix<double> out = v.TakeMatrix();
  EXPECT_EQ(out.Row(1), data);
  EXPECT_EQ(v.GetRows(), 0);

  auto held = std::make_shared<CMatrix<double>>(MakeMatrix(2, 1, {1, 2}));
  CExpressionValue s = CExpressionValue::FromSharedMatrix(held);
  CMatrix<double> copy = s.TakeMatrix();
  EXPECT_NE(copy.Row(1), held->Row(1));
  EXPECT_EQ(copy(2, 1), 2.0);
  EXPECT_EQ((*held)(2, 1), 2.0);
}

TEST(ExpressionOperatorStorageTest, FurtherScalarKindsBehaveAsScalars) {
  CExpressionValue m = CExpressionValue::FromMatrix(MakeMatrix(1, 2, {1, 2}));
  CExpressionValue k = CExpressionValue::Scalar(10.0);
  k.SetKind(kKindScalar4);
  ASSERT_EQ(AddValues(m, k, false), 0);
  EXPECT_EQ(m.GetMatrix()(1, 2), 12.0);
  CExpressionValue a = CExpressionValue::Scalar(3.0);
  a.SetKind(kKindScalar5);
  ASSERT_EQ(PowerValues(a, k), 0);
  EXPECT_EQ(a.GetKind(), kKindScalar);
  EXPECT_EQ(a.GetScalar(), 59049.0);
}

TEST(ExpressionOperatorStorageTest, OversizedProductsAreRefused) {
  CExpressionValue column = CExpressionValue::FromMatrix(CMatrix<double>(100000, 1));
  column.MutableMatrix().Set(1.0);
  CExpressionValue row = CExpressionValue::FromMatrix(CMatrix<double>(1, 100000));
  row.MutableMatrix().Set(1.0);
  // 10^10 elements would not fit; the product is refused without allocating.
  CWorkBudget budget(1e12);
  EXPECT_EQ(MultiplyValues(column, row, budget), 12);
  EXPECT_EQ(budget.GetUsed(), 0.0);
  // The other way round it is one multiply-add per element pair.
  ASSERT_EQ(MultiplyValues(row, column, budget), 0);
  EXPECT_EQ(row.GetMatrix()(1, 1), 100000.0);
  EXPECT_EQ(budget.GetUsed(), 100000.0);
}

TEST(ExpressionOperatorStorageTest, MatrixWorkOfOneStatementIsBudgeted) {
  CExpressionEvaluator e;
  const std::string four = "mat(4,4, 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1)";
  const std::string five = "mat(5,5, 1,0,0,0,0, 0,1,0,0,0, 0,0,1,0,0, 0,0,0,1,0, 0,0,0,0,1)";
  e.SetWorkLimit(100);
  EXPECT_EQ(StatusOf(e, four + " * " + four), 0);                      // 64
  EXPECT_EQ(StatusOf(e, five + " * " + five), 12);                     // 125
  EXPECT_EQ(StatusOf(e, four + " * " + four + " * " + four), 12);      // 128
  EXPECT_EQ(ScalarOf(e, "det(" + four + ")"), 1.0);                    // 64
  EXPECT_EQ(StatusOf(e, "det(" + five + ")"), 12);                     // 125
  EXPECT_EQ(StatusOf(e, "solve(" + four + ", mat(4,1,1,2,3,4))"), 0);  // 80
  EXPECT_EQ(StatusOf(e, "solve(" + four + ", " + four + ")"), 12);     // 128
  EXPECT_EQ(StatusOf(e, "eigen(mat(1,1,1))"), 12);                     // 240
  e.SetWorkLimit(240);
  EXPECT_EQ(StatusOf(e, "eigen(mat(1,1,1))"), 0);
  // Work inside function texts counts towards the statement's budget.
  e.SetWorkLimit(100);
  EXPECT_EQ(StatusOf(e, "integ(det(" + four + ")*x, 0, 1)"), 17);
}

TEST(ExpressionOperatorStorageTest, TruncationSaturates) {
  EXPECT_EQ(TruncateToInt(7.9), 7);
  EXPECT_EQ(TruncateToInt(-7.9), -7);
  EXPECT_EQ(TruncateToInt(1e20), 2147483647);
  EXPECT_EQ(TruncateToInt(-1e20), -2147483647 - 1);
  EXPECT_EQ(TruncateToInt(std::nan("")), 0);
}

}  // namespace
}  // namespace olm
