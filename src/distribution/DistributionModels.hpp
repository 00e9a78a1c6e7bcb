#pragma once
// The six distribution models of the distribution analysis: their codes and
// names, their parameters, and the evaluation of density and cumulative
// values at a vector of points.
//
// Parameters (parameter 1, parameter 2, location):
//   normal                  mean mu,            standard deviation sigma
//   lognormal               median m,           standard deviation s of ln x
//   gamma                   scale theta,        shape k
//   generalized exponential rate lambda,        shape alpha
//   Weibull 2P              scale eta,          shape beta,   location 0
//   Weibull 3P              scale eta,          shape beta,   fitted location gamma
//
// Cumulative values are accumulated along the points in their order, so the
// points must be sorted ascending:
//   - normal and lognormal: composite trapezoid rule with 10000 subintervals
//     per step, the first step from 1e-20 (the normal value is therefore the
//     probability between 0 and x, not from minus infinity);
//   - gamma on the evaluation grid: the regularised lower incomplete gamma
//     function at the first point, then the trapezoid of the densities over
//     each step; at sample points (PointKind::Sample) the incomplete gamma
//     function at every point, because a trapezoid over the wide, uneven gaps
//     of a sample is not accurate;
//   - Weibull and generalized exponential: closed forms.
// Every cumulative value is held to [0, 1].  Points outside a model's
// support (x <= 0 for lognormal and gamma, x < 0 for the generalized
// exponential, x below the location for Weibull) get density 0 and
// cumulative value 0.
#include <string_view>

#include "distribution/ExtendedReal.hpp"
#include "numerics/EngVector.hpp"

namespace olm {

enum DistributionCode {
  kWeibull2P = 0,
  kWeibull3P = 1,
  kNormal = 2,
  kLognormal = 3,
  kGamma = 4,
  kGeneralizedExponential = 5,
};
constexpr int kDistributionCount = 6;

struct CDistributionName {
  const char* keyword;  // input-file keyword
  const char* display;  // display name
  const char* tag;      // short tag
};

// Names of a code 0..5; an empty record for any other code.
const CDistributionName& DistributionName(int code);
// The code of a (lower-case) input-file keyword, or -1.
int DistributionCodeFromKeyword(std::string_view keyword);
// Whether a model needs strictly positive sample values (logarithms).
bool NeedsPositiveValues(int code);

struct CDistributionParameters {
  int code = kNormal;
  double p1 = 0.0;
  double p2 = 0.0;
  double location = 0.0;
};

enum class PointKind { Grid, Sample };

// Densities and cumulative values of a model at the (ascending) points; pdf
// and cdf are sized to the points.
void EvaluateDistribution(const CDistributionParameters& parameters, const CEngVector<double>& x,
                          PointKind kind, CEngVector<double>& pdf, CEngVector<double>& cdf);

// Special functions.
// 1 / Gamma(z) for z > 0 by the Weierstrass product, which stops after the
// first factor (1 + z/n) e^(-z/n) that is not below 0.999999999999.
double ReciprocalGammaWeierstrass(double z);
// Gamma(z) for z > 0: the product above for z <= 1, and for z > 1
// Gamma(f + 1) (f + 1)(f + 2)...(f + floor(z) - 1) with f the fractional part.
CExtendedReal GammaFunction(double z);
// The lower incomplete gamma function gamma(a, x) for 0 < a <= 1 by its series
// x^a e^-x sum t_n, t_0 = 1/a, t_(n+1) = t_n x / (a + n + 1).
CExtendedReal LowerIncompleteGammaSeries(double a, double x);
// P(k, x) = gamma(k, x) / Gamma(k): the series for the fractional part of k,
// then the upward recurrence gamma(a + 1, x) = a gamma(a, x) - x^a e^-x.
// gammaK is Gamma(k) (pass it to avoid recomputing); the result is held to
// [0, 1].
double RegularizedLowerGamma(double k, double x, const CExtendedReal& gammaK);
double RegularizedLowerGamma(double k, double x);

}  // namespace olm
