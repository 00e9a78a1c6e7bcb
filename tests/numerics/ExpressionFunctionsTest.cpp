#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "ExpressionTestSupport.hpp"

namespace olm {
namespace {

using test::ScalarOf;
using test::StatusOf;
using test::ValueOf;

TEST(ExpressionFunctionsTest, ScalarFunctionsAndDomains) {
  EXPECT_NEAR(ScalarOf("sin(1)"), std::sin(1.0), 1e-15);
  EXPECT_NEAR(ScalarOf("cos(1)"), std::cos(1.0), 1e-15);
  EXPECT_NEAR(ScalarOf("tan(1)"), std::tan(1.0), 1e-15);
  EXPECT_NEAR(ScalarOf("atan(1)*4"), std::numbers::pi, 1e-15);
  EXPECT_NEAR(ScalarOf("asin(1)*2"), std::numbers::pi, 1e-15);
  EXPECT_NEAR(ScalarOf("acos(0-1)"), std::numbers::pi, 1e-15);
  EXPECT_EQ(StatusOf("asin(1.0001)"), 7);
  EXPECT_EQ(StatusOf("acos(0-2)"), 7);
  EXPECT_EQ(ScalarOf("sqrt(16)"), 4.0);
  EXPECT_EQ(StatusOf("sqrt(0-1)"), 7);
  EXPECT_EQ(ScalarOf("abs(0-3)"), 3.0);
  EXPECT_EQ(ScalarOf("log(1000)"), 3.0);
  EXPECT_EQ(ScalarOf("log(0)"), -INFINITY);
  EXPECT_EQ(StatusOf("log(0-1)"), 7);
  EXPECT_EQ(ScalarOf("ln(0)"), -INFINITY);
  EXPECT_EQ(StatusOf("ln(0-1)"), 7);
  EXPECT_NEAR(ScalarOf("ln(exp(2))"), 2.0, 1e-15);
  EXPECT_EQ(ScalarOf("int(0-2.7)"), -2.0);
  EXPECT_EQ(ScalarOf("int(2.7)"), 2.0);
  EXPECT_EQ(ScalarOf("sgn(0-5)"), -1.0);
  EXPECT_EQ(ScalarOf("sgn(0)"), 0.0);
  EXPECT_EQ(ScalarOf("sgn(3)"), 1.0);
}

TEST(ExpressionFunctionsTest, Factorial) {
  EXPECT_EQ(ScalarOf("fact(0-1)"), 0.0);
  EXPECT_EQ(ScalarOf("fact(0)"), 1.0);
  EXPECT_EQ(ScalarOf("fact(1)"), 1.0);
  EXPECT_EQ(ScalarOf("fact(5.9)"), 120.0);
  EXPECT_EQ(ScalarOf("fact(10)"), 3628800.0);
  // Past 170! the product overflows; a huge argument returns at once.
  EXPECT_EQ(ScalarOf("fact(171)"), INFINITY);
  EXPECT_EQ(ScalarOf("fact(1e300)"), INFINITY);
}

TEST(ExpressionFunctionsTest, HyperbolicFunctionsStayFiniteForLargeArguments) {
  const double x = 0.7;
  const double ex = std::exp(x), e2x = std::exp(2 * x);
  EXPECT_NEAR(ScalarOf("sinh(0.7)"), (e2x - 1) / (2 * ex), 1e-14);
  EXPECT_NEAR(ScalarOf("cosh(0.7)"), (e2x + 1) / (2 * ex), 1e-14);
  EXPECT_NEAR(ScalarOf("tanh(0.7)"), (e2x - 1) / (e2x + 1), 1e-14);
  EXPECT_NEAR(ScalarOf("coth(0.7)"), (e2x + 1) / (e2x - 1), 1e-14);
  EXPECT_NEAR(ScalarOf("sech(0.7)"), 2 * ex / (e2x + 1), 1e-14);
  EXPECT_NEAR(ScalarOf("csch(0.7)"), 2 * ex / (e2x - 1), 1e-14);
  EXPECT_EQ(ScalarOf("tanh(400)"), 1.0);
  EXPECT_EQ(ScalarOf("coth(400)"), 1.0);
  EXPECT_EQ(ScalarOf("tanh(0-800)"), -1.0);
  EXPECT_EQ(ScalarOf("sech(800)"), 0.0);
  EXPECT_EQ(ScalarOf("csch(0)"), INFINITY);
}

TEST(ExpressionFunctionsTest, FunctionsRefuseKindsTheyDoNotTake) {
  EXPECT_EQ(StatusOf("sin(vec(pnt(0,0,0), pnt(1,0,0)))"), 7);
  EXPECT_EQ(StatusOf("sqrt(mat(1,1,4))"), 7);
  EXPECT_EQ(StatusOf("mag(pnt(1,2,3))"), 7);
  EXPECT_EQ(StatusOf("mag(3)"), 7);
  EXPECT_EQ(StatusOf("tpose(3)"), 7);
  EXPECT_EQ(StatusOf("avg(pnt(1,2,3))"), 7);
  EXPECT_EQ(StatusOf("ang(pnt(1,0,0), pnt(0,1,0))"), 7);
  EXPECT_EQ(StatusOf("uv(vec(pnt(0,0,0), pnt(1,0,0)), pnt(0,1,0))"), 7);
  EXPECT_EQ(StatusOf("pnt(1, mat(1,1,1), 2)"), 7);
  EXPECT_EQ(StatusOf("ran(pnt(1,2,3), 2)"), 7);
  EXPECT_EQ(StatusOf("vec(pnt(0,0,0), pnt2d(1,1))"), 7);
}

TEST(ExpressionFunctionsTest, VectorsAndPoints) {
  EXPECT_EQ(ScalarOf("mag(vec(pnt(0,0,0), pnt(3,4,0)))"), 5.0);
  EXPECT_EQ(ScalarOf("mag(vec2d(pnt2d(1,1), pnt2d(4,5)))"), 5.0);
  CExpressionEvaluator e;
  const CExpressionValue n = ValueOf(e, "normalize(vec(pnt(0,0,0), pnt(0,3,4)))");
  EXPECT_EQ(n.GetKind(), kKindVector);
  EXPECT_NEAR(n.GetComponents()(2), 0.6, 1e-15);
  EXPECT_NEAR(n.GetComponents()(3), 0.8, 1e-15);
  EXPECT_EQ(StatusOf("normalize(vec(pnt(1,1,1), pnt(1,1,1)))"), 7);
  EXPECT_NEAR(ScalarOf("ang(vec(pnt(0,0,0), pnt(1,0,0)), vec(pnt(0,0,0), pnt(1,1,0)))"),
              std::numbers::pi / 4, 1e-15);
  // Parallel vectors: the cosine is clamped to 1 before acos.
  EXPECT_EQ(ScalarOf("ang(vec(pnt(0,0,0), pnt(0.1,0.2,0.3)), vec(pnt(0,0,0), pnt(0.3,0.6,0.9)))"),
            0.0);
  EXPECT_EQ(StatusOf("ang(vec(pnt(0,0,0), pnt(0,0,0)), vec(pnt(0,0,0), pnt(1,0,0)))"), 7);
  const CExpressionValue u = ValueOf(e, "uv(pnt2d(1,1), pnt2d(4,5))");
  EXPECT_EQ(u.GetKind(), kKindVector2d);
  EXPECT_NEAR(u.GetComponents()(1), 0.6, 1e-15);
  EXPECT_EQ(StatusOf("uv(pnt(1,2,3), pnt(1,2,3))"), 7);
}

TEST(ExpressionFunctionsTest, ComponentTextsFollowTheArguments) {
  CExpressionEvaluator e;
  const CExpressionValue p = ValueOf(e, "p = pnt( 1+1 , 2 , 3)");
  EXPECT_EQ(p.GetComponentText(1), "1+1");
  EXPECT_EQ(p.GetComponentText(2), "2");
  EXPECT_EQ(p.GetComponentText(3), "3");
  EXPECT_EQ(StatusOf(e, "pnt(1, a2, 3)"), 4);  // the texts are evaluated too
  ASSERT_EQ(StatusOf(e, "a = pnt(0, 1, 2)"), 0);
  ASSERT_EQ(StatusOf(e, "b = pnt(x1, 5, 6)"), 4);
  ASSERT_EQ(StatusOf(e, "b = pnt(4, 5, 6)"), 0);
  const CExpressionValue v = ValueOf(e, "v = vec(a, b)");
  EXPECT_EQ(v.GetComponentText(1), "( 4) - (0)");
  EXPECT_EQ(v.GetComponentText(3), "( 6) - (2)");
  EXPECT_EQ(v.GetComponents().GetName(), "v");
  const CExpressionValue s = ValueOf(e, "vec(v, 2*3)");
  EXPECT_EQ(s.GetKind(), kKindVector);
  EXPECT_EQ(s.GetComponents()(1), 24.0);
  EXPECT_EQ(s.GetComponentText(2), "( 2*3) * (( 5) - (1))");
}

TEST(ExpressionFunctionsTest, MatBuildsRowByRowAndChecksItsDimensions) {
  CExpressionEvaluator e;
  const CExpressionValue m = ValueOf(e, "mat(2, 3, 1, 2, 3, 4, 5, 2*3)");
  ASSERT_EQ(m.GetRows(), 2);
  ASSERT_EQ(m.GetColumns(), 3);
  EXPECT_EQ(m.GetMatrix()(1, 3), 3.0);
  EXPECT_EQ(m.GetMatrix()(2, 1), 4.0);
  EXPECT_EQ(m.GetMatrix()(2, 3), 6.0);
  ASSERT_NE(m.GetElementTexts(), nullptr);
  EXPECT_EQ((*m.GetElementTexts())(2, 3), "2*3");
  EXPECT_EQ(StatusOf("mat(0, 1, 5)"), 15);
  EXPECT_EQ(StatusOf("mat(1, 0-1, 5)"), 15);
  EXPECT_EQ(StatusOf("mat(pnt(1,1,1), 1, 5)"), 15);
  EXPECT_EQ(StatusOf("mat(2, 2, 1, 2, 3)"), 7);  // an element missing
  EXPECT_EQ(StatusOf("mat(1, 1)"), 7);
  EXPECT_EQ(StatusOf("mat(1, 1, 1/0)"), 7);         // an element that fails
  EXPECT_EQ(StatusOf("mat(1, 1, pnt(1,2,3))"), 7);  // elements are scalars
  EXPECT_EQ(StatusOf("mat(1, 1, 1, 2)"), 2);        // more elements than cells
  EXPECT_EQ(StatusOf("mat(1)"), 10);
  // Dimensions far beyond what the statement can hold are refused at once.
  EXPECT_EQ(StatusOf("mat(1e9, 1e9, 1)"), 15);
  EXPECT_EQ(StatusOf("mat(100000, 100000, 1, 2, 3)"), 15);
  EXPECT_EQ(StatusOf("mat(1e300, 1, 1)"), 15);
  // Non-integral dimensions are truncated.
  EXPECT_EQ(ValueOf(e, "mat(1.9, 2, 7, 8)").GetColumns(), 2);
}

TEST(ExpressionFunctionsTest, StatisticsOfColumnOne) {
  CExpressionEvaluator e;
  ASSERT_EQ(StatusOf(e, "m = mat(4,1,1,2,3,4)"), 0);
  EXPECT_NEAR(ScalarOf(e, "stdev(m)"), std::sqrt(5.0 / 3.0), 1e-15);
  EXPECT_NEAR(ScalarOf(e, "stdevp(m)"), std::sqrt(5.0 / 4.0), 1e-15);
  EXPECT_EQ(ScalarOf(e, "median(m)"), 2.5);
  EXPECT_EQ(ScalarOf(e, "avg(m)"), 2.5);
  EXPECT_EQ(ScalarOf(e, "max(m)"), 4.0);
  EXPECT_EQ(ScalarOf(e, "min(m)"), 1.0);
  EXPECT_EQ(ScalarOf(e, "median(mat(5,1,9,1,7,3,5))"), 5.0);
  // Only column 1 counts for the statistics; max and min see every element.
  EXPECT_EQ(ScalarOf(e, "avg(mat(2,2,1,100,3,100))"), 2.0);
  EXPECT_EQ(ScalarOf(e, "max(mat(2,2,1,100,3,-100))"), 100.0);
  EXPECT_EQ(ScalarOf(e, "min(mat(2,2,1,100,3,0-100))"), -100.0);
  // A single value has no sample deviation.
  EXPECT_EQ(StatusOf(e, "stdev(mat(1,1,5))"), 7);
  EXPECT_EQ(ScalarOf(e, "stdevp(mat(1,1,5))"), 0.0);
}

TEST(ExpressionFunctionsTest, MatrixFunctions) {
  CExpressionEvaluator e;
  const CExpressionValue t = ValueOf(e, "tpose(mat(2,3,1,2,3,4,5,6))");
  ASSERT_EQ(t.GetRows(), 3);
  ASSERT_EQ(t.GetColumns(), 2);
  EXPECT_EQ(t.GetMatrix()(3, 1), 3.0);
  EXPECT_EQ(t.GetMatrix()(1, 2), 4.0);
  EXPECT_EQ(ScalarOf(e, "tnorm(mat(1,2,3,4))"), 5.0);
  EXPECT_EQ(ScalarOf(e, "tnorm(mat(2,1,3,4))"), 5.0);
  EXPECT_EQ(StatusOf(e, "tnorm(mat(1,1,3))"), 12);
  EXPECT_EQ(StatusOf(e, "tnorm(mat(2,2,1,2,3,4))"), 12);
  EXPECT_NEAR(ScalarOf(e, "det(mat(2,2,1,2,3,4))"), -2.0, 1e-12);
  EXPECT_NEAR(ScalarOf(e, "det(mat(3,3,2,0,1,1,3,2,1,1,2))"), 6.0, 1e-12);
  EXPECT_EQ(StatusOf(e, "det(mat(1,2,1,2))"), 12);
  // A zero leading pivot stops the unpivoted factorization; the determinant
  // still comes out right.
  EXPECT_NEAR(ScalarOf(e, "det(mat(2,2,0,1,1,0))"), -1.0, 1e-15);
  EXPECT_EQ(ScalarOf(e, "det(mat(2,2,1,2,2,4))"), 0.0);
}

TEST(ExpressionFunctionsTest, SolveUsesTheUnpivotedFactorization) {
  CExpressionEvaluator e;
  const CExpressionValue x = ValueOf(e, "solve(mat(2,2,2,1,1,3), mat(2,2,3,5,4,5))");
  ASSERT_EQ(x.GetRows(), 2);
  ASSERT_EQ(x.GetColumns(), 2);
  // 2a + b = 3, a + 3b = 4 -> a = b = 1; 2a + b = 5, a + 3b = 5 -> a = 2, b = 1.
  EXPECT_NEAR(x.GetMatrix()(1, 1), 1.0, 1e-14);
  EXPECT_NEAR(x.GetMatrix()(2, 1), 1.0, 1e-14);
  EXPECT_NEAR(x.GetMatrix()(1, 2), 2.0, 1e-14);
  EXPECT_NEAR(x.GetMatrix()(2, 2), 1.0, 1e-14);
  EXPECT_EQ(StatusOf(e, "solve(mat(2,2,0,1,1,0), mat(2,1,1,1))"), 21);
  EXPECT_EQ(StatusOf(e, "solve(mat(2,2,1,2,2,4), mat(2,1,1,1))"), 21);
  EXPECT_EQ(StatusOf(e, "solve(mat(1,2,1,2), mat(1,1,1))"), 12);
  EXPECT_EQ(StatusOf(e, "solve(mat(2,2,1,0,0,1), mat(3,1,1,1,1))"), 12);
  EXPECT_EQ(StatusOf(e, "solve(2, mat(1,1,1))"), 12);
}

TEST(ExpressionFunctionsTest, EigenOfASymmetricMatrix) {
  CExpressionEvaluator e;
  const CExpressionValue r = ValueOf(e, "eigen(mat(3,3, 4,1,0, 1,3,1, 0,1,2))");
  ASSERT_EQ(r.GetRows(), 4);
  ASSERT_EQ(r.GetColumns(), 3);
  const CMatrix<double>& m = r.GetMatrix();
  const double a[3][3] = {{4, 1, 0}, {1, 3, 1}, {0, 1, 2}};
  // Eigenvalues 3 and 3 +- sqrt(3), largest first; A v = lambda v, |v| = 1.
  EXPECT_NEAR(m(1, 1), 3 + std::sqrt(3.0), 1e-6);
  EXPECT_NEAR(m(1, 2), 3.0, 1e-6);
  EXPECT_NEAR(m(1, 3), 3 - std::sqrt(3.0), 1e-6);
  for (int k = 1; k <= 3; ++k) {
    double norm = 0.0;
    for (int i = 0; i < 3; ++i) {
      double av = 0.0;
      for (int j = 0; j < 3; ++j) av += a[i][j] * m(k + 1, j + 1);
      EXPECT_NEAR(av, m(1, k) * m(k + 1, i + 1), 1e-5);
      norm += m(k + 1, i + 1) * m(k + 1, i + 1);
    }
    EXPECT_NEAR(norm, 1.0, 1e-12);
  }
  EXPECT_EQ(StatusOf(e, "eigen(mat(2,2,1,2,3,4))"), 12);  // not symmetric
  EXPECT_EQ(StatusOf(e, "eigen(mat(1,2,1,2))"), 12);
  const CExpressionValue one = ValueOf(e, "eigen(mat(1,1,5))");
  EXPECT_EQ(one.GetMatrix()(1, 1), 5.0);
  EXPECT_EQ(one.GetMatrix()(2, 1), 1.0);
}

TEST(ExpressionFunctionsTest, PolynomialRoots) {
  CExpressionEvaluator e;
  const CExpressionValue q = ValueOf(e, "root2(1, 0-3, 2)");
  ASSERT_EQ(q.GetColumns(), 2);
  EXPECT_EQ(q.GetMatrix()(1, 1), 2.0);
  EXPECT_EQ(q.GetMatrix()(1, 2), 1.0);
  const CExpressionValue lin = ValueOf(e, "root2(0, 2, 0-4)");
  EXPECT_EQ(lin.GetMatrix()(1, 1), 2.0);
  EXPECT_EQ(lin.GetMatrix()(1, 2), 2.0);
  EXPECT_EQ(StatusOf(e, "root2(1, 0, 1)"), 18);
  EXPECT_EQ(StatusOf(e, "root2(0, 0, 1)"), 18);
  const CExpressionValue c = ValueOf(e, "root3(1, 0-6, 11, 0-6)");
  ASSERT_EQ(c.GetColumns(), 3);
  for (int k = 1; k <= 3; ++k) EXPECT_NEAR(c.GetMatrix()(1, k), k, 1e-12);
  const CExpressionValue one = ValueOf(e, "root3(1, 0, 0, 0-8)");
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
  EXPECT_EQ(StatusOf(a, "ran(2, 2)"), 12);
  EXPECT_EQ(StatusOf(a, "ran(3, 2)"), 12);
  a.SeedRandom(CCombinedRandom::kDefaultSeed);
  CExpressionEvaluator c;
  EXPECT_EQ(ScalarOf(a, "ran(0,1)"), ScalarOf(c, "ran(0,1)"));
}

}  // namespace
}  // namespace olm
