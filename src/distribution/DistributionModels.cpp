#include "distribution/DistributionModels.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "numerics/Simd.hpp"

namespace olm {

namespace {
const CDistributionName kNames[kDistributionCount] = {
    {"weibull2p", "2P-Weibull", "W-2P"},
    {"weibull3p", "3P-Weibull", "W-3P"},
    {"normal", "Normal", "N"},
    {"lognormal", "Log Normal", "LN"},
    {"gamma", "Gamma", "G"},
    {"generalizedexponential", "Gen. Exponential", "G_E"},
};
const CDistributionName kNoName = {"", "", ""};

constexpr double kTwoPi = 6.28318530718;         // density constant
constexpr double kTwoPiRule = 2.0 * 3.14159265;  // constant inside the trapezoid rule
constexpr double kEulerGamma = 0.5772156649;
constexpr double kFactorLimit = 0.999999999999;
constexpr int kTrapezoidSteps = 10000;
constexpr double kTrapezoidStart = 1e-20;

double Clamp01(double v) {
  return v > 1.0 ? 1.0 : (v < 0.0 ? 0.0 : v);
}

using simd::V4;

// Sum of f(a + j h) for j = 1 .. kTrapezoidSteps - 1, four at a time; f
// maps four abscissae to their densities.
template <class Density4>
OLM_INLINE double InteriorSum(double a, double h, Density4 f) {
  V4 sum = simd::Splat4(0.0);
  const V4 steps = {0, 1, 2, 3};
  int j = 1;
  for (; j + 3 < kTrapezoidSteps; j += 4) sum += f(a + (static_cast<double>(j) + steps) * h);
  // The last steps, with the lanes beyond them dropped.
  const V4 last = f(a + (static_cast<double>(j) + steps) * h);
  for (int l = 0; j + l < kTrapezoidSteps; ++l) sum[l] += last[l];
  return simd::Sum4(sum);
}

// The interior sums of the normal and lognormal densities (the hot loops of
// the analysis: kTrapezoidSteps densities per grid point).
OLM_CLONES double NormalInterior(double a, double h, double mu, double q, double c) {
  return InteriorSum(a, h, [=](V4 t) OLM_INLINE_LAMBDA {
    const V4 d = t - mu;
    return c * simd::Exp4(-d * d * q);
  });
}

OLM_CLONES double LognormalInterior(double a, double h, double lm, double q, double c) {
  return InteriorSum(a, h, [=](V4 t) OLM_INLINE_LAMBDA {
    // Zero density at t <= 0; a subnormal t would give infinity times 0.
    const simd::M4 positive = t >= std::numeric_limits<double>::min();
    const V4 u = positive ? t : simd::Splat4(1.0);
    const V4 d = simd::Ln4(u) - lm;
    return simd::Keep4(c / u * simd::Exp4(-d * d * q), positive);
  });
}

// Running cumulative value by the composite trapezoid rule: f is the
// density at the ends of a step, interior(a, h) the sum inside it.
template <class Density, class Interior>
void TrapezoidCumulative(const CEngVector<double>& x, Density f, Interior interior,
                         CEngVector<double>& cdf) {
  double running = 0.0;
  double a = kTrapezoidStart;
  for (int i = 1; i <= x.GetSize(); ++i) {
    const double b = x(i);
    if (b != a) {
      const double h = (b - a) / kTrapezoidSteps;
      double s = f(a) + f(b);
      s += 2.0 * interior(a, h);
      running += h / 2.0 * s;
      if (running > 1.0) running = 1.0;
    }
    cdf(i) = running;
    a = b;
  }
}

void EvaluateNormal(double mu, double sigma, const CEngVector<double>& x, CEngVector<double>& pdf,
                    CEngVector<double>& cdf) {
  const double c = 1.0 / (sigma * std::sqrt(kTwoPi));
  for (int i = 1; i <= x.GetSize(); ++i) {
    const double d = x(i) - mu;
    pdf(i) = c * std::exp(-d * d / (2.0 * sigma * sigma));
  }
  const double cr = 1.0 / (sigma * std::sqrt(kTwoPiRule));
  const double q = 1.0 / (2.0 * sigma * sigma);
  TrapezoidCumulative(
      x,
      [=](double t) {
        const double d = t - mu;
        return cr * std::exp(-d * d * q);
      },
      [=](double a, double h) { return NormalInterior(a, h, mu, q, cr); }, cdf);
}

void EvaluateLognormal(double median, double s, const CEngVector<double>& x,
                       CEngVector<double>& pdf, CEngVector<double>& cdf) {
  const double lm = std::log(median);
  const double q = 1.0 / (2.0 * s * s);
  const double c = 1.0 / (s * std::sqrt(kTwoPi));
  for (int i = 1; i <= x.GetSize(); ++i) {
    const double t = x(i);
    if (t <= 0.0) {
      pdf(i) = 0.0;
    } else {
      const double d = std::log(t) - lm;
      pdf(i) = c / t * std::exp(-d * d * q);
    }
  }
  const double cr = 1.0 / (s * std::sqrt(kTwoPiRule));
  TrapezoidCumulative(
      x,
      [=](double t) {
        if (t < std::numeric_limits<double>::min()) return 0.0;
        const double d = std::log(t) - lm;
        return cr / t * std::exp(-d * d * q);
      },
      [=](double a, double h) { return LognormalInterior(a, h, lm, q, cr); }, cdf);
}

void EvaluateGeneralizedExponential(double lambda, double alpha, const CEngVector<double>& x,
                                    CEngVector<double>& pdf, CEngVector<double>& cdf) {
  for (int i = 1; i <= x.GetSize(); ++i) {
    const double t = x(i);
    if (t < 0.0) {
      pdf(i) = 0.0;
      cdf(i) = 0.0;
      continue;
    }
    const double e = std::exp(-lambda * t);
    const double one = -std::expm1(-lambda * t);  // 1 - e, accurately
    pdf(i) = alpha * lambda * e * std::pow(one, alpha - 1.0);
    cdf(i) = Clamp01(std::pow(one, alpha));
  }
}

void EvaluateWeibull(double eta, double beta, double gamma, const CEngVector<double>& x,
                     CEngVector<double>& pdf, CEngVector<double>& cdf) {
  for (int i = 1; i <= x.GetSize(); ++i) {
    const double y = x(i) - gamma;
    if (y < 0.0) {
      pdf(i) = 0.0;
      cdf(i) = 0.0;
      continue;
    }
    const double u = y / eta;
    const double ub = std::pow(u, beta);
    // beta eta^-beta y^(beta-1), written so that large shapes do not overflow.
    const double f = beta / eta * std::pow(u, beta - 1.0) * std::exp(-ub);
    pdf(i) = f < 0.0 ? 0.0 : f;
    const double F = -std::expm1(-ub);
    cdf(i) = F < 0.0 ? 0.0 : F;
  }
}

void EvaluateGamma(double theta, double k, const CEngVector<double>& x, PointKind kind,
                   CEngVector<double>& pdf, CEngVector<double>& cdf) {
  const CExtendedReal gammaK = GammaFunction(k);
  const CExtendedReal denominator = gammaK * CExtendedReal::Pow(theta, k);
  for (int i = 1; i <= x.GetSize(); ++i) {
    const double t = x(i);
    if (t < 0.0) {
      pdf(i) = 0.0;
    } else {
      pdf(i) = (CExtendedReal::Pow(t, k - 1.0) * CExtendedReal::Exp(-t / theta) / denominator)
                   .ToDouble();
    }
  }
  const int n = x.GetSize();
  if (n == 0) return;
  if (kind == PointKind::Sample) {
    for (int i = 1; i <= n; ++i) cdf(i) = RegularizedLowerGamma(k, x(i) / theta, gammaK);
    return;
  }
  double running = RegularizedLowerGamma(k, x(1) / theta, gammaK);
  cdf(1) = running;
  for (int i = 2; i <= n; ++i) {
    running += (pdf(i - 1) + pdf(i)) / 2.0 * (x(i) - x(i - 1));
    running = Clamp01(running);
    cdf(i) = running;
  }
}
}  // namespace

const CDistributionName& DistributionName(int code) {
  if (code < 0 || code >= kDistributionCount) return kNoName;
  return kNames[code];
}

int DistributionCodeFromKeyword(std::string_view keyword) {
  for (int c = 0; c < kDistributionCount; ++c) {
    if (keyword == kNames[c].keyword) return c;
  }
  return -1;
}

bool NeedsPositiveValues(int code) {
  return code == kWeibull2P || code == kLognormal || code == kGamma ||
         code == kGeneralizedExponential;
}

double ReciprocalGammaWeierstrass(double z) {
  auto factorReached = [z](double n) {
    const double y = z / n;
    return (1.0 + y) * std::exp(-y) >= kFactorLimit;
  };
  // The factors grow toward 1 with n; find the first one at the limit.
  double hi = 1.0;
  while (!factorReached(hi)) hi *= 2.0;
  double lo = hi / 2.0;  // factor(lo) below the limit unless hi == 1
  long long last = static_cast<long long>(hi);
  if (hi > 1.0) {
    long long a = static_cast<long long>(lo), b = static_cast<long long>(hi);
    while (b - a > 1) {
      const long long mid = a + (b - a) / 2;
      if (factorReached(static_cast<double>(mid))) {
        b = mid;
      } else {
        a = mid;
      }
    }
    last = b;
  }
  // Product of (1 + z/n) e^(-z/n) for n = 1..last, as prod(1 + z/n) e^(-z sum 1/n).
  double product = 1.0, logScale = 0.0, harmonic = 0.0;
  for (long long n = 1; n <= last; ++n) {
    const double inv = 1.0 / static_cast<double>(n);
    product *= 1.0 + z * inv;
    harmonic += inv;
    if (product > 1e200) {
      product *= 1e-200;
      logScale += 200.0 * std::log(10.0);
    }
  }
  return z * std::exp(kEulerGamma * z + std::log(product) + logScale - z * harmonic);
}

CExtendedReal GammaFunction(double z) {
  if (!(z > 0.0)) return CExtendedReal(std::numeric_limits<double>::quiet_NaN());
  if (z <= 1.0) return CExtendedReal(1.0 / ReciprocalGammaWeierstrass(z));
  const double whole = std::floor(z);
  const double f = z - whole;
  CExtendedReal g(1.0 / ReciprocalGammaWeierstrass(f + 1.0));
  const long long steps = static_cast<long long>(whole) - 1;
  for (long long j = 1; j <= steps; ++j) g *= f + static_cast<double>(j);
  return g;
}

CExtendedReal LowerIncompleteGammaSeries(double a, double x) {
  if (!(x > 0.0)) return CExtendedReal(0.0);
  // Far in the right tail gamma(a, x) equals Gamma(a) to double precision
  // (for a <= 1 the rest is below x^(a-1) e^-x); the series would need
  // thousands of terms there.
  if (x > 1000.0) return GammaFunction(a);
  CExtendedReal term(1.0 / a);
  CExtendedReal sum = term;
  const CExtendedReal limit = CExtendedReal::Exp(-60.0 * std::log(2.0));
  for (int n = 0; n < 100000; ++n) {
    term *= x / (a + n + 1.0);
    if (term.IsZero()) break;
    sum += term;
    // Past the largest term the terms only shrink; stop once they no longer
    // change the sum.
    if (n > x && (term / sum).ToDouble() < limit.ToDouble()) break;
  }
  return CExtendedReal::Exp(a * std::log(x) - x) * sum;
}

double RegularizedLowerGamma(double k, double x, const CExtendedReal& gammaK) {
  if (!(x > 0.0)) return 0.0;
  const double whole = std::floor(k);
  const double f = k - whole;
  double a;
  long long steps;
  CExtendedReal g;
  if (f == 0.0) {
    a = 1.0;  // gamma(1, x) = 1 - e^-x
    g = CExtendedReal(-std::expm1(-x));
    steps = static_cast<long long>(whole) - 1;
  } else {
    a = f;
    g = LowerIncompleteGammaSeries(f, x);
    steps = static_cast<long long>(whole);
  }
  const double lx = std::log(x);
  for (long long s = 0; s < steps; ++s) {
    g = CExtendedReal(a) * g - CExtendedReal::Exp(a * lx - x);
    a += 1.0;
  }
  const double p = (g / gammaK).ToDouble();
  return std::isnan(p) ? p : Clamp01(p);
}

double RegularizedLowerGamma(double k, double x) {
  return RegularizedLowerGamma(k, x, GammaFunction(k));
}

void EvaluateDistribution(const CDistributionParameters& p, const CEngVector<double>& x,
                          PointKind kind, CEngVector<double>& pdf, CEngVector<double>& cdf) {
  const int n = x.GetSize();
  if (n > 0 && pdf.GetSize() != n) pdf.SetSize(n);
  if (n > 0 && cdf.GetSize() != n) cdf.SetSize(n);
  switch (p.code) {
    case kNormal:
      EvaluateNormal(p.p1, p.p2, x, pdf, cdf);
      break;
    case kLognormal:
      EvaluateLognormal(p.p1, p.p2, x, pdf, cdf);
      break;
    case kGamma:
      EvaluateGamma(p.p1, p.p2, x, kind, pdf, cdf);
      break;
    case kGeneralizedExponential:
      EvaluateGeneralizedExponential(p.p1, p.p2, x, pdf, cdf);
      break;
    case kWeibull2P:
      EvaluateWeibull(p.p1, p.p2, 0.0, x, pdf, cdf);
      break;
    case kWeibull3P:
      EvaluateWeibull(p.p1, p.p2, p.location, x, pdf, cdf);
      break;
    default:
      break;
  }
}

}  // namespace olm
