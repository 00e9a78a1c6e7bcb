#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <tuple>

#include "ExpressionTestSupport.hpp"
#include "TestSupport.hpp"

namespace olm {
namespace {

using test::ExpectScalars;
using test::ExpectStatuses;
using test::Numbers;
using test::NumbersOf;
using test::ScalarOf;
using test::StatusOf;
using test::ValueOf;

constexpr double kPi = std::numbers::pi;

TEST(ExpressionFunctionsTest, ScalarFunctionsAndDomains) {
  const double ex = std::exp(0.7), e2x = std::exp(1.4);
  const test::Scalars trigonometric = {
      {"sin(1)", std::sin(1.0), 1e-15}, {"cos(1)", std::cos(1.0), 1e-15},
      {"tan(1)", std::tan(1.0), 1e-15}, {"atan(1)*4", kPi, 1e-15},
      {"asin(1)*2", kPi, 1e-15},        {"acos(0-1)", kPi, 1e-15},
      {"ln(exp(2))", 2, 1e-15}};
  ExpectScalars(trigonometric);
  // fact: past 170! the product overflows; a huge argument returns at once (below 0 is a
  // domain error, see HonestNumbersTest).
  const test::Scalars exact = {{"sqrt(16)", 4},         {"abs(0-3)", 3},
                               {"log(1000)", 3},        {"log(0)", -INFINITY},
                               {"ln(0)", -INFINITY},    {"int(0-2.7)", -2},
                               {"int(2.7)", 2},         {"sgn(0-5)", -1},
                               {"sgn(0)", 0},           {"sgn(3)", 1},
                               {"fact(0)", 1},          {"fact(1)", 1},
                               {"fact(5.9)", 120},      {"fact(10)", 3628800},
                               {"fact(171)", INFINITY}, {"fact(1e300)", INFINITY}};
  ExpectScalars(exact);
  // Hyperbolic functions from e^x and e^2x, finite for large arguments.
  const test::Scalars hyperbolic = {
      {"sinh(0.7)", (e2x - 1) / (2 * ex), 1e-14},  {"cosh(0.7)", (e2x + 1) / (2 * ex), 1e-14},
      {"tanh(0.7)", (e2x - 1) / (e2x + 1), 1e-14}, {"coth(0.7)", (e2x + 1) / (e2x - 1), 1e-14},
      {"sech(0.7)", 2 * ex / (e2x + 1), 1e-14},    {"csch(0.7)", 2 * ex / (e2x - 1), 1e-14}};
  ExpectScalars(hyperbolic);
  const test::Scalars saturated = {{"tanh(400)", 1},
                                   {"coth(400)", 1},
                                   {"tanh(0-800)", -1},
                                   {"sech(800)", 0},
                                   {"csch(0)", INFINITY}};
  ExpectScalars(saturated);
  const test::Statuses domains = {
      {"asin(1.0001)", 7}, {"acos(0-2)", 7}, {"sqrt(0-1)", 7}, {"log(0-1)", 7}, {"ln(0-1)", 7}};
  ExpectStatuses(domains);
}

TEST(ExpressionFunctionsTest, FunctionsRefuseKindsAndValuesOutsideTheirDomains) {
  for (const char* s : {"sin(vec(pnt(0,0,0), pnt(1,0,0)))", "sqrt(mat(1,1,4))", "mag(pnt(1,2,3))",
                        "mag(3)", "tpose(3)", "avg(pnt(1,2,3))", "ang(pnt(1,0,0), pnt(0,1,0))",
                        "uv(vec(pnt(0,0,0), pnt(1,0,0)), pnt(0,1,0))", "pnt(1, mat(1,1,1), 2)",
                        "ran(pnt(1,2,3), 2)", "vec(pnt(0,0,0), pnt2d(1,1))",
                        "normalize(vec(pnt(1,1,1), pnt(1,1,1)))", "uv(pnt(1,2,3), pnt(1,2,3))",
                        "ang(vec(pnt(0,0,0), pnt(0,0,0)), vec(pnt(0,0,0), pnt(1,0,0)))"})
    EXPECT_EQ(StatusOf(s), 7) << s;
}

TEST(ExpressionFunctionsTest, VectorsAndPoints) {
  EXPECT_EQ(ScalarOf("mag(vec(pnt(0,0,0), pnt(3,4,0)))"), 5.0);
  EXPECT_EQ(ScalarOf("mag(vec2d(pnt2d(1,1), pnt2d(4,5)))"), 5.0);
  CExpressionEvaluator e;
  const Numbers n = NumbersOf(e, "normalize(vec(pnt(0,0,0), pnt(0,3,4)))");
  EXPECT_EQ(n.first, kKindVector);
  test::ExpectAllNear(n.second, {0, 0.6, 0.8}, 1e-15);
  EXPECT_NEAR(ScalarOf("ang(vec(pnt(0,0,0), pnt(1,0,0)), vec(pnt(0,0,0), pnt(1,1,0)))"), kPi / 4,
              1e-15);
  // Parallel vectors: the cosine is clamped to 1 before acos.
  EXPECT_EQ(ScalarOf("ang(vec(pnt(0,0,0), pnt(0.1,0.2,0.3)), vec(pnt(0,0,0), pnt(0.3,0.6,0.9)))"),
            0.0);
  const CExpressionValue u = ValueOf(e, "uv(pnt2d(1,1), pnt2d(4,5))");
  EXPECT_EQ(u.GetKind(), kKindVector2d);
  EXPECT_NEAR(u.GetComponents()(1), 0.6, 1e-15);
}

TEST(ExpressionFunctionsTest, ComponentTextsFollowTheArguments) {
  CExpressionEvaluator e;
  const CExpressionValue p = ValueOf(e, "p = pnt( 1+1 , 2 , 3)");
  EXPECT_EQ(std::tuple(p.GetComponentText(1), p.GetComponentText(2), p.GetComponentText(3)),
            std::tuple("1+1", "2", "3"));
  // The texts are evaluated too.
  ExpectStatuses({{"pnt(1, a2, 3)", 4},
                  {"a = pnt(0, 1, 2)", 0},
                  {"b = pnt(x1, 5, 6)", 4},
                  {"b = pnt(4, 5, 6)", 0}},
                 &e);
  const CExpressionValue v = ValueOf(e, "v = vec(a, b)");
  EXPECT_EQ(std::tuple(v.GetComponentText(1), v.GetComponentText(3), v.GetComponents().GetName()),
            std::tuple("( 4) - (0)", "( 6) - (2)", "v"));
  const CExpressionValue s = ValueOf(e, "vec(v, 2*3)");
  EXPECT_EQ(NumbersOf(s), (Numbers{kKindVector, {24, 24, 24}}));
  EXPECT_EQ(s.GetComponentText(2), "( 2*3) * (( 5) - (1))");
}

TEST(ExpressionFunctionsTest, MatBuildsRowByRowAndChecksItsDimensions) {
  CExpressionEvaluator e;
  const CExpressionValue m = ValueOf(e, "mat(2, 3, 1, 2, 3, 4, 5, 2*3)");
  EXPECT_EQ(NumbersOf(m), (Numbers{kKindMatrix, {2, 3, 1, 2, 3, 4, 5, 6}}));
  ASSERT_NE(m.GetElementTexts(), nullptr);
  EXPECT_EQ((*m.GetElementTexts())(2, 3), "2*3");
  // Elements missing, failing, not scalars, or more than the cells; dimensions
  // far beyond what the statement can hold are refused at once.
  // clang-format off
  const test::Statuses cases = {
      {"mat(0, 1, 5)", 15}, {"mat(1, 0-1, 5)", 15}, {"mat(pnt(1,1,1), 1, 5)", 15},
      {"mat(2, 2, 1, 2, 3)", 7}, {"mat(1, 1)", 7}, {"mat(1, 1, 1/0)", 7},
      {"mat(1, 1, pnt(1,2,3))", 7}, {"mat(1, 1, 1, 2)", 2}, {"mat(1)", 10},
      {"mat(2,2,1,2,3)", 7}, {"mat(2,2,1,2,3+)", 7}, {"mat(3,3,1)", 7}, {"mat(20, 20, 1)", 7},
      {"mat(2,2,1,2 3)", 10},
      {"mat(1e9, 1e9, 1)", 15}, {"mat(100000, 100000, 1, 2, 3)", 15}, {"mat(1e300, 1, 1)", 15}};
  // clang-format on
  ExpectStatuses(cases);
  // Non-integral dimensions are truncated.
  EXPECT_EQ(ValueOf(e, "mat(1.9, 2, 7, 8)").GetColumns(), 2);
}

TEST(ExpressionFunctionsTest, StatisticsOfColumnOne) {
  CExpressionEvaluator e;
  ASSERT_EQ(StatusOf(e, "m = mat(4,1,1,2,3,4)"), 0);
  // Only column 1 counts for the statistics; max and min see every element.
  // A single value has no sample deviation.
  // clang-format off
  const test::Scalars cases = {
      {"stdev(m)", std::sqrt(5.0 / 3.0), 1e-15}, {"stdevp(m)", std::sqrt(5.0 / 4.0), 1e-15},
      {"median(m)", 2.5}, {"avg(m)", 2.5}, {"max(m)", 4}, {"min(m)", 1},
      {"median(mat(5,1,9,1,7,3,5))", 5}, {"avg(mat(2,2,1,100,3,100))", 2},
      {"max(mat(2,2,1,100,3,-100))", 100}, {"min(mat(2,2,1,100,3,0-100))", -100},
      {"stdevp(mat(1,1,5))", 0}};
  // clang-format on
  ExpectScalars(cases, &e);
  EXPECT_EQ(StatusOf(e, "stdev(mat(1,1,5))"), 7);
}

TEST(ExpressionFunctionsTest, MatrixFunctionsAndSolve) {
  EXPECT_EQ(NumbersOf("tpose(mat(2,3,1,2,3,4,5,6))"),
            (Numbers{kKindMatrix, {3, 2, 1, 4, 2, 5, 3, 6}}));
  // A zero leading pivot stops the unpivoted factorization; the determinant
  // still comes out right.
  const test::Scalars cases = {
      {"tnorm(mat(1,2,3,4))", 5},           {"tnorm(mat(2,1,3,4))", 5},
      {"det(mat(2,2,1,2,3,4))", -2, 1e-12}, {"det(mat(3,3,2,0,1,1,3,2,1,1,2))", 6, 1e-12},
      {"det(mat(2,2,0,1,1,0))", -1, 1e-15}, {"det(mat(2,2,1,2,2,4))", 0}};
  ExpectScalars(cases);
  // 2a + b = 3, a + 3b = 4 -> a = b = 1; 2a + b = 5, a + 3b = 5 -> a = 2, b = 1.
  const CExpressionValue x = ValueOf("solve(mat(2,2,2,1,1,3), mat(2,2,3,5,4,5))");
  // A 2 x 2 result whose columns are the two solutions (a, b).
  test::ExpectAllNear(NumbersOf(x).second, {2, 2, 1, 2, 1, 1}, 1e-14);
  // solve uses the unpivoted factorization: a zero or vanishing pivot is 21.
  // clang-format off
  const test::Statuses refused = {
      {"tnorm(mat(1,1,3))", 12}, {"tnorm(mat(2,2,1,2,3,4))", 12}, {"det(mat(1,2,1,2))", 12},
      {"solve(mat(2,2,0,1,1,0), mat(2,1,1,1))", 21}, {"solve(mat(2,2,1,2,2,4), mat(2,1,1,1))", 21},
      {"solve(mat(1,2,1,2), mat(1,1,1))", 12}, {"solve(mat(2,2,1,0,0,1), mat(3,1,1,1,1))", 12},
      {"solve(2, mat(1,1,1))", 12}};
  // clang-format on
  ExpectStatuses(refused);
}

TEST(ExpressionFunctionsTest, EigenOfASymmetricMatrix) {
  // Row 1 holds the eigenvalues 3 and 3 +- sqrt(3), largest first; row k + 1
  // the unit eigenvector of eigenvalue k: for 3, (1, -1, -1) / sqrt(3) up to
  // its sign.  (The general properties are checked in NumericMethodsTest.)
  const CExpressionValue r = ValueOf("eigen(mat(3,3, 4,1,0, 1,3,1, 0,1,2))");
  ASSERT_EQ(std::pair(r.GetRows(), r.GetColumns()), std::pair(4, 3));
  const CMatrix<double>& m = r.GetMatrix();
  test::ExpectAllNear({m(1, 1), m(1, 2), m(1, 3)}, {3 + std::sqrt(3.0), 3.0, 3 - std::sqrt(3.0)},
                      1e-6);
  const double sign = m(3, 1) > 0 ? 1.0 : -1.0;
  for (int i = 1; i <= 3; ++i)
    EXPECT_NEAR(sign * m(3, i), (i == 1 ? 1.0 : -1.0) / std::sqrt(3.0), 1e-5) << i;
  // Not symmetric, not square.
  ExpectStatuses({{"eigen(mat(2,2,1,2,3,4))", 12}, {"eigen(mat(1,2,1,2))", 12}});
  EXPECT_EQ(NumbersOf("eigen(mat(1,1,5))"), (Numbers{kKindMatrix, {2, 1, 5, 1}}));
}

TEST(ExpressionFunctionsTest, PolynomialRoots) {
  EXPECT_EQ(NumbersOf("root2(1, 0-3, 2)"), (Numbers{kKindMatrix, {1, 2, 2, 1}}));
  EXPECT_EQ(NumbersOf("root2(0, 2, 0-4)"), (Numbers{kKindMatrix, {1, 2, 2, 2}}));  // linear
  ExpectStatuses({{"root2(1, 0, 1)", 18}, {"root2(0, 0, 1)", 18}});
  const CExpressionValue c = ValueOf("root3(1, 0-6, 11, 0-6)");
  ASSERT_EQ(c.GetColumns(), 3);
  for (int k = 1; k <= 3; ++k) EXPECT_NEAR(c.GetMatrix()(1, k), k, 1e-12);
  const CExpressionValue one = ValueOf("root3(1, 0, 0, 0-8)");
  ASSERT_EQ(one.GetColumns(), 1);
  EXPECT_NEAR(one.GetMatrix()(1, 1), 2.0, 1e-12);
}

TEST(ExpressionFunctionsTest, RandomNumbersLieInTheRangeAndRepeat) {
  CExpressionEvaluator a, b;
  for (int k = 0; k < 200; ++k) {
    const double x = ScalarOf(a, "ran(1e-3 ,2)");
    EXPECT_GE(x, 1e-3);
    EXPECT_LT(x, 2.0);
    EXPECT_EQ(ScalarOf(b, "ran(1e-3,2)"), x);  // same fixed seed, same sequence
  }
  ExpectStatuses({{"ran(2, 2)", 12}, {"ran(3, 2)", 12}}, &a);
  a.SeedRandom(CCombinedRandom::kDefaultSeed);
  CExpressionEvaluator c;
  EXPECT_EQ(ScalarOf(a, "ran(0,1)"), ScalarOf(c, "ran(0,1)"));
}

}  // namespace
}  // namespace olm
