#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <set>

#include "ExpressionTestSupport.hpp"
#include "numerics/NumericMethods.hpp"

namespace olm {
namespace {

using test::ExpectScalars;
using test::ExpectStatuses;
using test::MakeMatrix;
using test::ScalarOf;
using test::StatusOf;

constexpr double kPi = std::numbers::pi;

TEST(GaussLegendreTest, TablesMatchTheKnownRules) {
  const CGaussLegendre& gl = CGaussLegendre::Instance();
  EXPECT_EQ(gl.Node(1, 1), 0.0);
  EXPECT_EQ(gl.Weight(1, 1), 2.0);
  EXPECT_NEAR(std::fabs(gl.Node(2, 1)), 0.5773502692, 1e-10);
  EXPECT_NEAR(gl.Weight(2, 1), 1.0, 1e-14);
  std::set<double> three;
  for (int i = 1; i <= 3; ++i) three.insert(std::round(gl.Node(3, i) * 1e10) / 1e10);
  EXPECT_EQ(three, (std::set<double>{-0.7745966692, 0.0, 0.7745966692}));
  // Order 4: nodes +-0.3399810436 (weight 0.6521451549) and +-0.8611363116 (0.3478548451).
  for (int i = 1; i <= 4; ++i) {
    const double x = std::fabs(gl.Node(4, i));
    const double w = gl.Weight(4, i);
    if (x < 0.5) {
      EXPECT_NEAR(x, 0.3399810436, 1e-10);
      EXPECT_NEAR(w, 0.6521451549, 1e-10);
    } else {
      EXPECT_NEAR(x, 0.8611363116, 1e-10);
      EXPECT_NEAR(w, 0.3478548451, 1e-10);
    }
  }
  // Every rule integrates 1 to 2 and is exact for x^(2n-2) (even powers).
  for (int n = 1; n <= 8; ++n) {
    double sum = 0.0, moment = 0.0;
    for (int i = 1; i <= n; ++i) {
      sum += gl.Weight(n, i);
      moment += gl.Weight(n, i) * std::pow(gl.Node(n, i), 2 * n - 2);
    }
    EXPECT_NEAR(sum, 2.0, 1e-14) << n;
    EXPECT_NEAR(moment, 2.0 / (2 * n - 1), 1e-13) << n;
  }
}

// A function of x that always evaluates; counts its calls in *calls when given.
RealFunction Of(std::function<double(double)> f, int* calls = nullptr) {
  return [f, calls](double x, double& y) {
    if (calls) ++*calls;
    y = f(x);
    return true;
  };
}

TEST(GaussLegendreTest, StoppingRule) {
  int calls = 0;
  double result = 0.0;
  ASSERT_TRUE(
      IntegrateGaussLegendre(Of([](double x) { return x * x * x; }, &calls), 0.0, 2.0, result));
  EXPECT_NEAR(result, 4.0, 1e-14);
  EXPECT_EQ(calls, 1 + 2 + 3);  // orders 2 and 3 agree; order 1 was off
  calls = 0;
  // No two orders agree: all eight are tried and the value is not trusted.
  EXPECT_FALSE(IntegrateGaussLegendre(Of([](double x) { return std::sin(50 * x); }, &calls), 0.0,
                                      10.0, result));
  EXPECT_EQ(calls, 36);
  // A value that is not finite is a failure, not a result.
  EXPECT_FALSE(IntegrateGaussLegendre(Of([](double x) { return 1.0 / x; }, &calls), -1.0, 1.0,
                                      result));
  const RealFunction failing = [](double x, double& y) { return x < 0.5; };
  result = 7.0;
  EXPECT_FALSE(IntegrateGaussLegendre(failing, 0.0, 1.0, result));
  EXPECT_EQ(result, 0.0);
}

TEST(NumericMethodsTest, FivePointDerivativeAndNewton) {
  const RealFunction cube = Of([](double x) { return x * x * x; });
  double d = 0.0;
  ASSERT_TRUE(DifferentiateFivePoint(cube, 2.0, d));
  EXPECT_NEAR(d, 12.0, 1e-9);  // exact for polynomials up to degree 4
  ASSERT_TRUE(DifferentiateFivePoint(cube, 1000.0, d));
  EXPECT_NEAR(d, 3e6, 1e-3);
  double root = 0.0;
  ASSERT_EQ(NewtonRoot(Of([](double x) { return x * x - 2.0; }), 1.0, root), RootResult::kFound);
  EXPECT_NEAR(root, std::sqrt(2.0), 1e-9);
  EXPECT_EQ(NewtonRoot(Of([](double) { return 5.0; }), 0.0, root), RootResult::kFlatDerivative);
  // x^3 - 2x + 2 sends Newton from 0 to 1 and back for ever.
  EXPECT_EQ(NewtonRoot(Of([](double x) { return x * x * x - 2 * x + 2; }), 0.0, root),
            RootResult::kNoConvergence);
  const RealFunction fails = [](double, double&) { return false; };
  EXPECT_EQ(NewtonRoot(fails, 0.0, root), RootResult::kEvaluationFailed);
}

TEST(NumericMethodsTest, CubicRootsInEveryCase) {
  auto near = [](const std::vector<double>& got, const std::vector<double>& want, double tol) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], tol) << i;
  };
  near(CubicRoots(2, -12, 22, -12), {1, 2, 3}, 1e-12);
  near(CubicRoots(1, -4, 5, -2), {1, 1, 2}, 1e-7);    // double root
  near(CubicRoots(1, -6, 12, -8), {2, 2, 2}, 1e-12);  // triple root
  near(CubicRoots(1, 0, 1, 10), {-2}, 1e-12);         // one real root
  near(CubicRoots(0, 1, -3, 2), {1, 2}, 1e-12);       // a quadratic
  EXPECT_TRUE(CubicRoots(0, 0, 0, 1).empty());
}

TEST(NumericMethodsTest, DoolittleFactorizationLayout) {
  // U in and above the diagonal, L (unit diagonal) below it.
  CMatrix<double> a = MakeMatrix(2, 2, {4, 3, 6, 3});
  ASSERT_TRUE(FactorizeDoolittle(a));
  EXPECT_EQ(std::vector<double>({a(1, 1), a(1, 2), a(2, 1), a(2, 2)}),
            (std::vector<double>{4, 3, 1.5, -1.5}));
  CMatrix<double> small = MakeMatrix(1, 1, {1e-7});
  EXPECT_FALSE(FactorizeDoolittle(small));
  EXPECT_NEAR(Determinant(MakeMatrix(1, 1, {1e-7})), 1e-7, 1e-22);
}

TEST(NumericMethodsTest, EigenOfALargerSymmetricMatrix) {
  const int n = 6;
  CMatrix<double> a(n, n);
  for (int i = 1; i <= n; ++i)
    for (int j = i; j <= n; ++j) a(i, j) = a(j, i) = 1.0 / (i + j - 1) + (i == j ? i : 0);
  CMatrix<double> out;
  ASSERT_TRUE(SymmetricEigen(a, out));
  for (int k = 1; k <= n; ++k) {
    if (k > 1) {
      EXPECT_GE(out(1, k - 1), out(1, k));
    }
    for (int i = 1; i <= n; ++i) {
      double av = 0.0;
      for (int j = 1; j <= n; ++j) av += a(i, j) * out(k + 1, j);
      EXPECT_NEAR(av, out(1, k) * out(k + 1, i), 1e-5);
    }
    for (int l = 1; l <= n; ++l) {
      double dot = 0.0;
      for (int i = 1; i <= n; ++i) dot += out(k + 1, i) * out(l + 1, i);
      EXPECT_NEAR(dot, k == l ? 1.0 : 0.0, 1e-9);
    }
  }
  a(1, 1) = NAN;
  EXPECT_FALSE(SymmetricEigen(a, out));
}

TEST(CombinedRandomTest, DeviatesAreUniformAndRepeatable) {
  CCombinedRandom a, b, c(12345);
  int bins[10] = {};
  bool differs = false;
  const int n = 100000;
  for (int k = 0; k < n; ++k) {
    const double x = a.Next();
    ASSERT_GT(x, 0.0);
    ASSERT_LE(x, 0.99999988);
    ASSERT_EQ(b.Next(), x);
    differs = differs || c.Next() != x;
    ++bins[static_cast<int>(x * 10)];
  }
  EXPECT_TRUE(differs);
  // Chi-square with 9 degrees of freedom; 27.9 is the 0.1 % point.
  double chi2 = 0.0;
  for (int count : bins) chi2 += (count - n / 10.0) * (count - n / 10.0) / (n / 10.0);
  EXPECT_LT(chi2, 27.9);
  a.Seed(CCombinedRandom::kDefaultSeed);
  CCombinedRandom fresh;
  EXPECT_EQ(a.Next(), fresh.Next());
}

// ---- The methods on function texts ---------------------------------------------

TEST(FunctionTextMethodsTest, IntegDiffAndRoot) {
  // integ: orders 2 and 3 agree for x^2 within the six-digit rounding of x;
  // a double integral's inner upper limit is the outer x.
  // clang-format off
  const test::Scalars values = {
      {"integ(x^2, 0, 1)", 1.0 / 3.0, 1e-6}, {"integ(sin(x), 0, 3.14159265)", 2.0, 1e-5},
      {"integ(integ(x^2, 0, x), 0, 1)", 1.0 / 12.0, 1e-6},
      {"diff(x^3, 2)", 12.0, 1e-4}, {"diff(sin(x), 0)", 1.0, 1e-9},
      {"root(x^2-2, 1, 1)", std::sqrt(2.0), 1e-5}, {"root(cos(x), 1, 0)", kPi / 2, 1e-5}};
  // f must give a number; a flat derivative is 19, no convergence 20.
  const test::Statuses refused = {
      {"integ(x^2, 1, 1)", 12}, {"integ(x^2, 2, 1)", 12}, {"integ(, 0, 1)", 17},
      {"integ(x^2, pnt(1,1,1), 1)", 12}, {"integ(sqrt(x), 0-1, 1)", 17},
      {"integ(pnt(x,x,x), 0, 1)", 17}, {"diff(sqrt(x), 0)", 16}, {"diff(x, pnt(1,1,1))", 7},
      {"root(5, 0, 0)", 19}, {"root(x^3-2*x+2, 0, 0)", 20}, {"root(sqrt(x), 0-1, 0)", 18},
      {"root(x, mat(1,1,1), 0)", 21}, {"root(x, 1, pnt(1,1,1))", 21}};
  // clang-format on
  ExpectScalars(values);
  ExpectStatuses(refused);
  // The function sees x and nothing else of the caller.
  CExpressionEvaluator e;
  ASSERT_EQ(StatusOf(e, "k = 2"), 0);
  EXPECT_EQ(StatusOf(e, "integ(k*x, 0, 1)"), 17);
  EXPECT_EQ(e.FindVariable("x"), nullptr);
}

TEST(FunctionTextMethodsTest, NestingOfMethodsIsBounded) {
  // Three methods deep evaluate; a fourth is refused with its method's status.
  EXPECT_NEAR(ScalarOf("integ(integ(integ(1, 0, 1), 0, 1), 0, 1)"), 1.0, 1e-9);
  EXPECT_NEAR(ScalarOf("diff(diff(diff(x^3, x), x), 1)"), 6.0, 1e-3);
  // A deep chain written out to the statement limit still ends quickly.
  std::string deep = "x";
  while (deep.size() + 12 < 500) deep = "integ(" + deep + ",0,1)";
  ExpectStatuses({{"integ(integ(integ(integ(1, 0, 1), 0, 1), 0, 1), 0, 1)", 17},
                  {"diff(diff(diff(diff(x^4, x), x), x), 1)", 16},
                  {"root(root(root(root(x-1, 0, 0), 0, 0)+x, 0, 0)+x, 0, 0)", 18},
                  {deep, 17}});
}

}  // namespace
}  // namespace olm

namespace olm {
namespace {

// Values that were once reported as success although plainly wrong.
TEST(HonestNumbersTest, WrongValuesAreStatusesNotResults) {
  // integ(sin(x), 0, 100) is 0.1377 and integ(1/x, 1e-9, 1) is 20.72; no order
  // up to 8 reaches either, so both are failures rather than 10.59 and 5.44.
  // clang-format off
  const test::Statuses refused = {
      {"integ(sin(x), 0, 100)", 17}, {"integ(1/x, 1e-9, 1)", 17},
      {"(0-8)^(1/3)", 7}, {"(0-2)^0.5", 7}, {"fact(0-1)", 7}, {"fact(0-0.5)", 7}};
  const test::Scalars values = {
      {"int(1e300)", 1e300, 0.0}, {"int(0-1e300)", -1e300, 0.0}, {"int(0-2.7)", -2.0, 0.0},
      {"int(3e9)", 3e9, 0.0}, {"(0-8)^3", -512.0, 0.0}, {"(0-2)^(0-2)", 0.25, 0.0},
      {"fact(5)", 120.0, 0.0}, {"fact(0)", 1.0, 0.0}};
  // clang-format on
  test::ExpectStatuses(refused);
  test::ExpectScalars(values);
}

}  // namespace
}  // namespace olm
