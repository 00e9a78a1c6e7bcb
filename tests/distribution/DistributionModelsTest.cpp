#include "distribution/DistributionModels.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace olm {
namespace {

CEngVector<double> Points(std::initializer_list<double> values) {
  CEngVector<double> v(static_cast<int>(values.size()), "Points");
  int i = 1;
  for (double x : values) v(i++) = x;
  return v;
}

CEngVector<double> Grid(double lower, double upper, int n) {
  CEngVector<double> v(n, "Grid");
  for (int i = 1; i <= n; ++i) v(i) = lower + (i - 1) * (upper - lower) / (n - 1);
  return v;
}

TEST(DistributionNames, KeywordsToCodesAndUnknownCodes) {
  EXPECT_STREQ(DistributionName(6).keyword, "");
  EXPECT_EQ(DistributionCodeFromKeyword("generalizedexponential"), 5);
  EXPECT_EQ(DistributionCodeFromKeyword("lognormal"), 3);
  EXPECT_EQ(DistributionCodeFromKeyword("Normal"), -1);  // callers lower-case first
}

// Reference values: scipy.special.gamma / gammainc (bench/peers/dist_reference.py).
TEST(DistributionSpecialFunctions, GammaFunctionByTheWeierstrassProduct) {
  // The truncated product is accurate to about 1e-6 relative.
  EXPECT_NEAR(GammaFunction(0.3).ToDouble(), 2.99156898768759, 2.99 * 2e-6);
  EXPECT_NEAR(GammaFunction(1.0).ToDouble(), 1.0, 2e-6);
  EXPECT_NEAR(GammaFunction(1.85).ToDouble(), 0.945611176406196, 2e-6);
  EXPECT_NEAR(GammaFunction(7.5).ToDouble(), 1871.25430579779, 1871.25 * 3e-6);
  // Gamma(61.6791) ~ 1.35e83 and Gamma(1000.5), far beyond a double, stay finite.
  EXPECT_NEAR(GammaFunction(61.6791).Log(), 191.41808337472, 1e-5);
  EXPECT_NEAR(GammaFunction(1000.5).Log(), std::lgamma(1000.5), 1e-5);
  EXPECT_NEAR(GammaFunction(5.0).ToDouble(), 24.0, 24.0 * 2e-6);
  EXPECT_TRUE(std::isnan(GammaFunction(0.0).ToDouble()));
}

TEST(DistributionSpecialFunctions, RegularizedIncompleteGammaBySeriesAndRecurrence) {
  EXPECT_NEAR(RegularizedLowerGamma(0.5, 2.0), 0.954499736103641, 1e-6);
  EXPECT_NEAR(RegularizedLowerGamma(2.0, 1.5), 0.442174599628925, 1e-6);  // whole shape
  EXPECT_NEAR(RegularizedLowerGamma(61.6791, 28.8), 7.03057310497958e-08, 1e-12);
  EXPECT_NEAR(RegularizedLowerGamma(61.6791, 70.0), 0.854810125394522, 2e-6);
  EXPECT_NEAR(RegularizedLowerGamma(1000.5, 990.0), 0.373507878228679, 2e-6);
  EXPECT_EQ(RegularizedLowerGamma(3.5, 0.0), 0.0);
  EXPECT_EQ(RegularizedLowerGamma(3.5, -1.0), 0.0);
  // Far right tail, and a tiny fractional part: both end at 1, never above.
  EXPECT_NEAR(RegularizedLowerGamma(3.5, 5000.0), 1.0, 1e-5);
  EXPECT_LE(RegularizedLowerGamma(3.5, 5000.0), 1.0);
  EXPECT_NEAR(RegularizedLowerGamma(2.0001, 40.0), 1.0, 1e-5);
  EXPECT_NEAR(RegularizedLowerGamma(5.0001, 2.0), 0.0526473262846621, 2e-7);
}

TEST(DistributionSpecialFunctions, ExtendedRealKeepsHugeAndTinyValues) {
  const CExtendedReal big = CExtendedReal::Pow(10.0, 5000.0);
  const CExtendedReal tiny = CExtendedReal::Exp(-20000.0);
  EXPECT_TRUE(std::isinf(big.ToDouble()));
  EXPECT_EQ(tiny.ToDouble(), 0.0);
  EXPECT_NEAR((big / CExtendedReal::Pow(10.0, 4999.0)).ToDouble(), 10.0, 1e-9);
  EXPECT_NEAR((big * tiny).Log(), 5000.0 * std::log(10.0) - 20000.0, 1e-6);
  EXPECT_NEAR((CExtendedReal(3.0) - CExtendedReal(1.25)).ToDouble(), 1.75, 1e-15);
  EXPECT_NEAR((CExtendedReal(1.0) + CExtendedReal::Exp(-100.0)).ToDouble(), 1.0, 1e-15);
  EXPECT_EQ(CExtendedReal::Pow(0.0, 2.0).ToDouble(), 0.0);
  EXPECT_EQ(CExtendedReal::Pow(0.0, 0.0).ToDouble(), 1.0);
}

// Parameters of the 25-value sample (bench/peers/dist_reference.py).
constexpr double kMu = 428.26, kSd = 53.1135340567731;
constexpr double kMedian = 424.802353822455, kSdLog = 0.133359305359918;
constexpr double kGammaShape = 61.6790757693008, kGammaScale = 6.94335955360011;

TEST(DistributionEvaluation, NormalCumulativeByTrapezoidFromZero) {
  const CEngVector<double> x = Points({300.0, 428.26, 500.0, 600.0});
  CEngVector<double> pdf, cdf;
  EvaluateDistribution({kNormal, kMu, kSd, 0.0}, x, PointKind::Grid, pdf, cdf);
  // scipy.stats.norm(428.26, 53.1135): cdf(300) - cdf(0) and cdf(600).  The
  // rule's density uses sqrt(2 * 3.14159265), about 3e-9 relative off.
  EXPECT_NEAR(cdf(1), 0.00787134088183142, 5e-9);
  EXPECT_NEAR(cdf(2), 0.5, 5e-9);
  EXPECT_NEAR(cdf(4), 0.999388478029532, 5e-9);
  EXPECT_NEAR(pdf(2), 1.0 / (kSd * std::sqrt(2 * M_PI)), 1e-12);
}

TEST(DistributionEvaluation, LognormalDensityAndCumulative) {
  const CEngVector<double> x = Points({-5.0, 0.0, 300.0, kMedian, 600.0});
  CEngVector<double> pdf, cdf;
  EvaluateDistribution({kLognormal, kMedian, kSdLog, 0.0}, x, PointKind::Grid, pdf, cdf);
  EXPECT_EQ(std::tuple(pdf(1), pdf(2), cdf(2)), std::tuple(0.0, 0.0, 0.0));  // no NaN outside
  EXPECT_NEAR(cdf(4), 0.5, 5e-9);
  // scipy.stats.lognorm(0.133359, 0, 424.802).cdf(300) and .pdf(600)
  EXPECT_NEAR(cdf(3), 0.00454961253938966, 5e-9);
  EXPECT_NEAR(pdf(5), 0.000174538358666809, 1e-12);
}

TEST(DistributionEvaluation, GammaGridCumulativeStaysAtOrBelowOne) {
  const CEngVector<double> grid = Grid(200.0, 600.0, 1000);
  CEngVector<double> pdf, cdf;
  EvaluateDistribution({kGamma, kGammaScale, kGammaShape, 0.0}, grid, PointKind::Grid, pdf, cdf);
  for (int i = 1; i <= 1000; ++i)
    ASSERT_TRUE(cdf(i) >= (i > 1 ? cdf(i - 1) : 0.0) && cdf(i) <= 1.0) << i;  // rises within [0, 1]
  // scipy.stats.gamma(61.679, 0, 6.94336).cdf(200), cdf(400), cdf(600)
  EXPECT_NEAR(cdf(1), 7.06781060223e-08, 1e-12);
  EXPECT_NEAR(cdf(500), 0.31162608113, 1e-4);  // grid point 399.8
  EXPECT_NEAR(cdf(1000), 0.997793373506, 1e-4);
  // Up to 0.9999 of the mass, and a wide grid keeps the cap at 1.
  const CEngVector<double> wide = Grid(200.0, 5000.0, 1000);
  EvaluateDistribution({kGamma, kGammaScale, kGammaShape, 0.0}, wide, PointKind::Grid, pdf, cdf);
  double largest = 0.0;
  for (int i = 1; i <= 1000; ++i) largest = std::max(largest, cdf(i));
  EXPECT_LE(largest, 1.0);
  EXPECT_GT(largest, 0.999);
}

TEST(DistributionEvaluation, GammaAtSamplePointsUsesTheIncompleteGammaFunction) {
  const CEngVector<double> x = Points({283.2, 339.7, 347.3, 430.0});
  CEngVector<double> pdf, cdf;
  EvaluateDistribution({kGamma, kGammaScale, kGammaShape, 0.0}, x, PointKind::Sample, pdf, cdf);
  // scipy.stats.gamma(...).cdf at the first three sorted sample values; the
  // trapezoid with the first spacing gave 0.0606 and 0.1885 here.
  EXPECT_NEAR(cdf(1), 0.00137225, 1e-7);
  EXPECT_NEAR(cdf(2), 0.04376586, 1e-6);
  EXPECT_NEAR(cdf(3), 0.06093574, 1e-6);
  EXPECT_NEAR(pdf(4), 0.0072728274082218, 1e-8);
}

TEST(DistributionEvaluation, GammaDensityOfALargeShapeStaysFinite) {
  // Gamma(5000) and 500^4999 overflow a double; the ratio does not.
  const CEngVector<double> x = Points({500.0});
  CEngVector<double> pdf, cdf;
  EvaluateDistribution({kGamma, 0.1, 5000.0, 0.0}, x, PointKind::Sample, pdf, cdf);
  EXPECT_NEAR(pdf(1), 0.0564180180468505, 1e-6);  // scipy.stats.gamma(5000, 0, 0.1).pdf(500)
  EXPECT_NEAR(cdf(1), 0.5, 0.01);
}

TEST(DistributionEvaluation, WeibullBelowTheLocationIsZero) {
  const CEngVector<double> x = Points({-10.0, 99.0, 100.0, 150.0});
  CEngVector<double> pdf, cdf;
  EvaluateDistribution({kWeibull3P, 50.0, 2.0, 100.0}, x, PointKind::Grid, pdf, cdf);
  EXPECT_EQ(std::tuple(pdf(1), cdf(1), pdf(2), cdf(2), cdf(3)),
            std::tuple(0.0, 0.0, 0.0, 0.0, 0.0));
  // y = 50 = eta: F = 1 - 1/e, f = (beta/eta) e^-1.
  EXPECT_NEAR(cdf(4), 1.0 - std::exp(-1.0), 1e-15);
  EXPECT_NEAR(pdf(4), 2.0 / 50.0 * std::exp(-1.0), 1e-15);
  // Weibull 2P ignores any location.
  EvaluateDistribution({kWeibull2P, 50.0, 2.0, 100.0}, x, PointKind::Grid, pdf, cdf);
  EXPECT_NEAR(cdf(4), 1.0 - std::exp(-9.0), 1e-15);
}

TEST(DistributionEvaluation, GeneralizedExponentialClosedForms) {
  const CEngVector<double> x = Points({-1.0, 0.0, 20.0, 1e6});
  CEngVector<double> pdf, cdf;
  const double lambda = 0.05, alpha = 3.0;
  EvaluateDistribution({kGeneralizedExponential, lambda, alpha, 0.0}, x, PointKind::Grid, pdf, cdf);
  EXPECT_EQ(std::tuple(pdf(1), cdf(1), cdf(2)), std::tuple(0.0, 0.0, 0.0));
  const double e = std::exp(-1.0);
  EXPECT_NEAR(cdf(3), std::pow(1 - e, 3.0), 1e-15);
  EXPECT_NEAR(pdf(3), alpha * lambda * e * std::pow(1 - e, 2.0), 1e-15);
  EXPECT_EQ(cdf(4), 1.0);
}

}  // namespace
}  // namespace olm
