#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>

#include "ExpressionTestSupport.hpp"
#include "numerics/ExpressionOperators.hpp"

namespace olm {
namespace {

using test::ExpectScalars;
using test::ExpectStatuses;
using test::MakeMatrix;
using test::Numbers;
using test::NumbersOf;
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
  // % truncates both operands; out-of-range operands saturate instead of
  // overflowing (1e300 % 10 is 2147483647 % 10).
  const test::Scalars scalars = {{"7 % 3", 1},      {"7.9 % 3.2", 1},         {"-7 % 3", -1},
                                 {"1e300 % 10", 7}, {"(0-1e300) % (0-1)", 0}, {"v * v", 14},
                                 {"w * w", 25}};
  ExpectScalars(scalars, &e);
  ExpectStatuses({{"2 / 0", 9}, {"7 % 0.5", 9}, {"v / 0", 9}, {"m / 0", 9}}, &e);
  EXPECT_EQ(NumbersOf(e, "2 * p"), (Numbers{kKindPoint, {2, 4, 6}}));
  EXPECT_EQ(NumbersOf(e, "v / 2"), (Numbers{kKindVector, {0.5, 1, 1.5}}));
  EXPECT_EQ(NumbersOf(e, "p + p - p"), (Numbers{kKindPoint, {1, 2, 3}}));
  EXPECT_EQ(NumbersOf(e, "-w"), (Numbers{kKindVector2d, {-3, -4}}));
}

TEST_F(ExpressionOperatorsTest, CrossProducts) {
  EXPECT_EQ(NumbersOf(e, "vec(pnt(0,0,0), pnt(1,0,0)) @ vec(pnt(0,0,0), pnt(0,1,0))"),
            (Numbers{kKindVector, {0, 0, 1}}));
  EXPECT_EQ(NumbersOf(e, "v @ v"), (Numbers{kKindVector, {0, 0, 0}}));
  // Two plane vectors give the three-component vector out of the plane.
  EXPECT_EQ(NumbersOf(e, "w @ vec2d(pnt2d(0,0), pnt2d(1,0))"), (Numbers{kKindVector, {0, 0, -4}}));
}

TEST_F(ExpressionOperatorsTest, MatrixArithmetic) {
  EXPECT_EQ(NumbersOf(e, "2 - mat(1,2,1,2)"), (Numbers{kKindMatrix, {1, 2, 1, 0}}));
  EXPECT_EQ(NumbersOf(e, "mat(2,2,1,2,3,4) * mat(2,1,5,6)"),
            (Numbers{kKindMatrix, {2, 1, 17, 39}}));
  ExpectStatuses({{"m * m", 12}, {"m + mat(2,1,1,2)", 12}}, &e);
  EXPECT_EQ(NumbersOf(e, "m / 4 + m * 0.5 - 1"), (Numbers{kKindMatrix, {1, 2, -0.25, 0.5}}));
  // The variable m is unchanged by all of that.
  EXPECT_EQ(NumbersOf(*e.FindVariable("m")), (Numbers{kKindMatrix, {1, 2, 1, 2}}));
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
  EXPECT_EQ((std::vector<int>{TruncateToInt(7.9), TruncateToInt(-7.9), TruncateToInt(1e20),
                              TruncateToInt(-1e20), TruncateToInt(std::nan(""))}),
            (std::vector<int>{7, -7, 2147483647, -2147483647 - 1, 0}));
}

}  // namespace
}  // namespace olm
