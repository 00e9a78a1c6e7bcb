// Curve fits of a zone: polynomials on badly scaled x, the two-parameter
// curves, failure messages, evaluation, names and the NIST reference sets.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "TestSupport.hpp"
#include "XYData.hpp"
#include "engine/Fitting.hpp"
#include "engine/ZoneProcessing.hpp"

namespace olm::test {
namespace {

using Values = std::vector<double>;

// A zone holding points (x, y) in columns 1 and 2, as the pipeline sets it up.
CZone Zone(const Values& x, const Values& y, int type, int degree = 1) {
  CZone zone;
  const int n = zone.pointCount = static_cast<int>(x.size());
  zone.workingPoints.SetSize(n, 2);
  zone.fitPoints.SetSize(n, 2);
  zone.fitPoints.Set(0.0);
  for (int i = 1; i <= n; ++i)
    zone.workingPoints(i, 1) = x[i - 1u], zone.workingPoints(i, 2) = y[i - 1u];
  zone.fit.type = type;
  zone.fit.degree = degree;
  return zone;
}

// Fits the zone and returns the message shown ("" when the fit succeeds).
std::string FitMessage(CZone& zone) {
  CRecordingUi ui;
  const bool ok = FitZone(zone, 1, 2);
  EXPECT_EQ(ok, ui.messages.empty());
  return ok ? "" : ui.Last();
}
std::string FitMessage(const Values& x, const Values& y, int type, int degree = 1) {
  CZone zone = Zone(x, y, type, degree);
  return FitMessage(zone);
}

Values Grid(double a, double b, int n) {
  Values x;
  for (int i = 0; i < n; ++i) x.push_back(a + (b - a) * i / (n - 1));
  return x;
}

// Normal equations on raw strain values fail for the quintic over [0, 0.02]
// and the quartic over [0, 0.005] (last pivot below the 1e-20 tolerance);
// centred and scaled they are well posed.  Far from zero, the digits of a
// cubic must survive the shift.
TEST(PolynomialFitTest, BadlyScaledXKeepTheirDigits) {
  struct Case {
    Values c;
    double a, b;
    int n;
    double coefTol, valueTol, valueAbs;
  };
  const Case cases[] = {{{5, 2e5, -3e6, 4e7, -5e8, 6e9}, 0.0, 0.02, 201, 1e-8, 1e-10, 1e-12},
                        {{-1, 3e5, 2e7, -8e9, 1e12}, 0.0, 0.005, 120, 1e-7, 1e-10, 1e-12},
                        {{2, -3e-3, 4e-6, 1e-9}, 1000, 1010, 101, 1e-6, 1e-12, 0.0}};
  for (const Case& c : cases) {
    const int degree = static_cast<int>(c.c.size()) - 1;
    SCOPED_TRACE("degree " + std::to_string(degree));
    const Values x = Grid(c.a, c.b, c.n);
    Values y;
    for (double xi : x) {
      double v = 0.0;
      for (size_t k = c.c.size(); k-- > 0;) v = v * xi + c.c[k];
      y.push_back(v);
    }
    CZone zone = Zone(x, y, kFitPolynomial, degree);
    ASSERT_EQ(FitMessage(zone), "");
    for (int k = 1; k <= degree + 1; ++k) {
      const double want = c.c[static_cast<size_t>(k - 1)];
      EXPECT_NEAR(zone.fit.coefficients(k), want, c.coefTol * std::fabs(want)) << k;
    }
    for (int i = 1; i <= c.n; ++i) {
      const double want = y[static_cast<size_t>(i - 1)],
                   tol = c.valueTol * std::fabs(want) + c.valueAbs;
      double v;
      ASSERT_TRUE(EvaluateFit(zone.fit, x[static_cast<size_t>(i - 1)], &v, nullptr));
      EXPECT_NEAR(v, want, tol);
      EXPECT_NEAR(zone.fitPoints(i, 2), want, tol);
    }
  }
}

TEST(PolynomialFitTest, LeastSquaresAndTheZonesTolerance) {
  // Residuals +1, -1 alternating are orthogonal to a line through symmetric
  // x: the fitted line is the underlying one, y = 3 + 2x.
  CZone noisy =
      Zone({-2, -1, 0, 1, 2}, {3 - 4 + 1, 3 - 2 - 2, 3, 3 + 2 + 2, 3 + 4 - 1}, kFitPolynomial);
  ASSERT_EQ(FitMessage(noisy), "");
  EXPECT_NEAR(noisy.fit.coefficients(1), 3.0, 1e-14);
  EXPECT_NEAR(noisy.fit.coefficients(2), 2.0, 1e-14);
  // The tolerance applies to the scaled system: three points scaled to
  // [-1, 1] give the first pivot sum u^0 = 3.
  CZone zone = Zone({0.001, 0.002, 0.003}, {1, 2, 4}, kFitPolynomial);
  zone.tolerance = 3.0;
  EXPECT_EQ(FitMessage(zone), "Cannot fit data. Error in equation solver.");
  zone.tolerance = 1.0;
  EXPECT_EQ(FitMessage(zone), "");
}

TEST(TwoParameterFitTest, ExactCurves) {
  struct Case {
    int type;
    double (*f)(double);
    double a, b, from, to;
    int n;
    double tolA, tolB;
  };
  const auto exponential = [](double x) { return 2.0 * std::exp(3.0 * x); };
  const auto logarithmic = [](double x) { return 1.0 + 2.0 * std::log(x); };
  const auto power = [](double x) { return 700.0 * std::pow(x, 0.12); };
  const Case cases[] = {{kFitExponential, exponential, 2, 3, 0, 1, 11, 1e-12, 1e-12},
                        {kFitLogarithmic, logarithmic, 1, 2, 0.5, 10, 20, 1e-13, 1e-13},
                        {kFitPowerLaw, power, 700, 0.12, 0.01, 0.2, 30, 1e-10, 1e-13}};
  for (const Case& c : cases) {
    const Values x = Grid(c.from, c.to, c.n);
    Values y;
    for (double xi : x) y.push_back(c.f(xi));
    CZone zone = Zone(x, y, c.type);
    ASSERT_EQ(FitMessage(zone), "") << c.type;
    EXPECT_NEAR(zone.fit.coefficients(1), c.a, c.tolA) << c.type;
    EXPECT_NEAR(zone.fit.coefficients(2), c.b, c.tolB) << c.type;
    EXPECT_NEAR(zone.fitPoints(c.n, 2), y.back(), 1e-10 * std::fabs(y.back())) << c.type;
  }
}

TEST(TwoParameterFitTest, ExponentialIsWeightedByY) {
  // Two points determine the curve whatever the weights.
  // Points (0, 1), (1, 1), (1, e^2): with weights y the weighted mean of ln y
  // at x = 1 is (0 * 1 + 2 e^2) / (1 + e^2), and the line passes through it.
  const double e2 = std::exp(2.0);
  const std::tuple<Values, Values, double> cases[] = {{{0, 1}, {1, std::exp(1.0)}, 1.0},
                                                      {{0, 1, 1}, {1, 1, e2}, 2 * e2 / (1 + e2)}};
  for (const auto& [x, y, b] : cases) {
    CZone zone = Zone(x, y, kFitExponential);
    ASSERT_EQ(FitMessage(zone), "");
    EXPECT_NEAR(zone.fit.coefficients(1), 1.0, 1e-13);
    EXPECT_NEAR(zone.fit.coefficients(2), b, 1e-13);
  }
}

TEST(FitTest, FailureMessages) {
  const std::string tooFew = "Number of points after removing outliers are not enough for fit.";
  const std::string solver = "Cannot fit data. Error in equation solver.";
  const std::string power = "All x and y values must be positive for power fit.";
  const std::string degree = "Degree of polynomial must be between 1 and 5.";
  const std::string type =
      "The type of regression curve must be polynomial, exponential, or logarithmic.";
  const std::string expY = "Y values must be positive for exponential fit.";
  const std::string logX = "All x values must be positive for logarithmic fit.";
  const double nan = std::nan("");
  struct Case {
    Values x, y;
    int type, degree;
    std::string message;
  };
  const Case cases[] = {
      {{1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}, kFitPolynomial, 5, tooFew},
      {{2, 2, 2}, {1, 2, 3}, kFitPolynomial, 1, solver},
      // Ten points on three distinct x cannot determine a cubic.
      {{1, 1, 1, 2, 2, 2, 3, 3, 3, 3}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0}, kFitPolynomial, 3, solver},
      {{1, 2, 3}, {1, nan, 3}, kFitPolynomial, 1, solver},
      {{1, 2, 3}, {1, 2, 3}, kFitPolynomial, 6, degree},
      {{1, 2, 3}, {1, 2, 3}, 7, 1, type},
      {{1}, {1}, kFitExponential, 1, tooFew},
      {{1, 2, 3}, {1, 0, 3}, kFitExponential, 1, expY},
      {{4, 4, 4}, {1, 2, 3}, kFitExponential, 1, solver},
      {{1000, 1001}, {1, std::exp(2.0)}, kFitExponential, 1, solver},  // a = e^-2000
      {{1}, {1}, kFitLogarithmic, 1, tooFew},
      {{0, 1, 2}, {1, 2, 3}, kFitLogarithmic, 1, logX},
      {{3, 3}, {1, 2}, kFitLogarithmic, 1, solver},
      {{0, 1, 2}, {1, 2, 3}, kFitPowerLaw, 1, power},
      {{1, 2, 3}, {1, -2, 3}, kFitPowerLaw, 1, power},
      {{2}, {5}, kFitPowerLaw, 1, tooFew},
      {{2, 2, 2}, {5, 6, 7}, kFitPowerLaw, 1, solver}};
  for (const Case& c : cases)
    EXPECT_EQ(FitMessage(c.x, c.y, c.type, c.degree), c.message)
        << "type " << c.type << " degree " << c.degree << " x0 " << c.x[0];
}

TEST(FitTest, ValueSlopeAndNameOfEveryType) {
  struct Case {
    int type, degree;
    Values c;
    double x, y, dy;
    const char* name;
  };
  const Case cases[] = {
      {kFitNone, 1, {}, 4, 0, 0, "None"},
      {kFitPolynomial, 3, {1, -2, 0.5, 3}, 2, 1 - 4 + 2 + 24, -2 + 2 + 36, "Cubic Polynomial"},
      {kFitExponential, 1, {2, -0.5}, 2, 2 * std::exp(-1.0), -std::exp(-1.0), "Exponential"},
      {kFitLogarithmic, 1, {2, -0.5}, 4, 2 - 0.5 * std::log(4.0), -0.125, "Logarithmic"},
      {kFitPowerLaw, 1, {2, 0.5}, 4, 4, 0.5, "Power Law"}};
  for (const Case& c : cases) {
    CFitSpec spec;
    spec.type = c.type;
    spec.degree = c.degree;
    for (size_t k = 0; k < c.c.size(); ++k) spec.coefficients(static_cast<int>(k) + 1) = c.c[k];
    EXPECT_EQ(spec.Name(), c.name);
    double y, dy;
    ASSERT_TRUE(EvaluateFit(spec, c.x, &y, &dy)) << c.name;
    EXPECT_DOUBLE_EQ(y, c.y) << c.name;
    EXPECT_DOUBLE_EQ(dy, c.dy) << c.name;
  }
  CFitSpec spec;
  spec.type = kFitPolynomial;
  const char* degrees[] = {"Linear", "Quadratic", "Cubic", "Quartic", "Quintic"};
  for (int d = 1; d <= 5; ++d) {
    spec.degree = d;
    EXPECT_EQ(spec.Name(), std::string(degrees[d - 1]) + " Polynomial");
    EXPECT_EQ(spec.CoefficientCount(), d + 1);
  }
  // Two coefficients otherwise; outside its domain a curve is undefined.
  spec.type = kFitPowerLaw;
  EXPECT_EQ(spec.CoefficientCount(), 2);
  spec.coefficients(1) = 2;
  spec.coefficients(2) = 0.5;
  double v;
  EXPECT_FALSE(EvaluateFit(spec, -1.0, nullptr, &v));
  spec.type = kFitLogarithmic;
  EXPECT_FALSE(EvaluateFit(spec, 0.0, &v, nullptr));
}

// NIST StRD linear least-squares reference sets against their certified
// coefficients.  Norris and Pontius are easy; Wampler1/2 are exact quintics;
// Wampler3..5 add ever larger residuals that the solution must see through.
// The quintics' y reach 3.4e6 at x = 20, so B0 = 1 sits ~6 digits below the
// data and cannot be resolved to much better than 1e-9 in double precision.
TEST(NistReferenceTest, CertifiedCoefficients) {
  std::ifstream cert(DataPath("nist/certified.json"));
  ASSERT_TRUE(cert) << DataPath("nist/certified.json");
  const nlohmann::json all = nlohmann::json::parse(cert);
  const std::pair<const char*, double> sets[] = {
      {"Norris", 1e-12},  {"Pontius", 1e-10}, {"Wampler1", 5e-9}, {"Wampler2", 1e-10},
      {"Wampler3", 5e-9}, {"Wampler4", 2e-8}, {"Wampler5", 1e-7}};
  for (const auto& [name, tolerance] : sets) {
    SCOPED_TRACE(name);
    const nlohmann::json& set = all.at(name);
    const int degree = set.at("degree");
    Values x, y;
    ASSERT_TRUE(ReadXY(std::string("nist/") + name + ".csv", x, y));
    ASSERT_EQ(static_cast<int>(x.size()), set.at("observations").get<int>());
    CFitCoefficients got;
    const int n = static_cast<int>(x.size());
    ASSERT_EQ(FitPolynomial(x.data(), y.data(), n, degree, 1e-20, got, nullptr), 0);
    const Values certified = set.at("coefficients");
    for (size_t k = 0; k <= static_cast<size_t>(degree); ++k)
      EXPECT_NEAR(got[k], certified[k], tolerance * std::fabs(certified[k])) << "B" << k;
  }
}

}  // namespace
}  // namespace olm::test
