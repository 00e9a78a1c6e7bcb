// Curve fits of one zone and their evaluation.
#include "engine/Fitting.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/EngineError.hpp"
#include "engine/ZoneProcessing.hpp"

namespace olm {

namespace {

constexpr int kMaxDegree = Info(FitType::kPolynomial).maxDegree;

bool AllFinite(const CFitCoefficients& c, int n) {
  for (int k = 0; k < n; ++k)
    if (!std::isfinite(c[static_cast<size_t>(k)])) return false;
  return true;
}

// At least `needed` distinct values among x[0..count-1] (stops early).
bool HasDistinct(const double* x, int count, int needed) {
  double seen[kMaxDegree + 1];
  int found = 0;
  for (int i = 0; i < count && found < needed; ++i) {
    if (std::find(seen, seen + found, x[i]) == seen + found) seen[found++] = x[i];
  }
  return found >= needed;
}

// Weighted least-squares line v = p + q t (weights wt, all 1 when null),
// computed about the weighted means so that nothing cancels.  False when the
// t values do not vary.
bool WeightedLine(const double* t, const double* v, const double* wt, int count, double& p,
                  double& q) {
  double sw = 0.0, st = 0.0, sv = 0.0;
  for (int i = 0; i < count; ++i) {
    const double w = wt ? wt[i] : 1.0;
    sw += w;
    st += w * t[i];
    sv += w * v[i];
  }
  const double tm = st / sw, vm = sv / sw;
  double stt = 0.0, stv = 0.0;
  for (int i = 0; i < count; ++i) {
    const double w = wt ? wt[i] : 1.0;
    stt += w * (t[i] - tm) * (t[i] - tm);
    stv += w * (t[i] - tm) * (v[i] - vm);
  }
  if (!(stt > 0.0)) return false;
  q = stv / stt;
  p = vm - q * tm;
  return true;
}

bool AllXEqual(const double* x, int count) {
  return std::all_of(x, x + count, [&](double v) { return v == x[0]; });
}

}  // namespace

int FitPolynomial(const double* x, const double* y, int count, int degree, double tolerance,
                  CFitCoefficients& c, double* fitted) {
  c.fill(0.0);
  const int m = degree + 1;
  if (count < m) return kErrTooFewPointsForFit;
  // A singular system whatever the arithmetic: too few distinct x.
  if (!HasDistinct(x, count, m)) return kErrFitSolver;
  const auto [lo, hi] = std::minmax_element(x, x + count);
  const double centre = 0.5 * (*lo + *hi), half = 0.5 * (*hi - *lo);
  const double inv = 1.0 / half;

  // Normal equations in u: A(a, b) = sum u^(a+b), r(a) = sum u^a y.
  double pw[2 * kMaxDegree + 1] = {}, r[kMaxDegree + 1] = {};
  for (int i = 0; i < count; ++i) {
    const double u = (x[i] - centre) * inv;
    double p = 1.0;
    for (int k = 0; k <= degree; ++k) {
      pw[k] += p;
      r[k] += p * y[i];
      p *= u;
    }
    for (int k = m; k <= 2 * degree; ++k) {
      pw[k] += p;
      p *= u;
    }
  }
  double a[kMaxDegree + 1][kMaxDegree + 1];
  for (int i = 0; i < m; ++i)
    for (int j = 0; j < m; ++j) a[i][j] = pw[i + j];
  // Elimination without pivoting; every pivot, the last diagonal element
  // included, must exceed the tolerance.
  for (int p = 0; p < m; ++p) {
    if (!(std::fabs(a[p][p]) > tolerance)) return kErrFitSolver;
    for (int i = p + 1; i < m; ++i) {
      const double l = a[i][p] / a[p][p];
      for (int j = p; j < m; ++j) a[i][j] -= l * a[p][j];
      r[i] -= l * r[p];
    }
  }
  double b[kMaxDegree + 1] = {};
  for (int i = m - 1; i >= 0; --i) {
    double v = r[i];
    for (int j = i + 1; j < m; ++j) v -= a[i][j] * b[j];
    b[i] = v / a[i][i];
  }

  // Powers of x: sum b_k ((x - centre) / half)^k by Horner's rule on
  // polynomials, multiplying by (x - centre) / half = inv x - centre inv.
  double poly[kMaxDegree + 1] = {};
  poly[0] = b[degree];
  for (int k = degree - 1; k >= 0; --k) {
    double next[kMaxDegree + 1] = {};
    for (int j = 0; j < m - 1; ++j) {
      next[j + 1] += poly[j] * inv;
      next[j] -= poly[j] * centre * inv;
    }
    next[0] += b[k];
    std::copy(next, next + m, poly);
  }
  for (int k = 0; k < m; ++k) c[static_cast<size_t>(k)] = poly[k];
  if (!AllFinite(c, m)) return kErrFitSolver;
  if (fitted) {
    for (int i = 0; i < count; ++i) {
      const double u = (x[i] - centre) * inv;
      double v = b[degree];
      for (int k = degree - 1; k >= 0; --k) v = v * u + b[k];
      fitted[i] = v;
    }
  }
  return 0;
}

int FitExponential(const double* x, const double* y, int count, CFitCoefficients& c,
                   double* fitted) {
  c.fill(0.0);
  if (count < 2) return kErrTooFewPointsForFit;
  std::vector<double> ly(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    if (!(y[i] > 0.0)) return kErrExpFitNotPositive;
    ly[static_cast<size_t>(i)] = std::log(y[i]);
  }
  double lnA, b;
  if (AllXEqual(x, count) || !WeightedLine(x, ly.data(), y, count, lnA, b)) return kErrFitSolver;
  c[0] = std::exp(lnA);
  c[1] = b;
  // a must be a normal number: 0 or infinity cannot represent the curve.
  if (!std::isnormal(c[0]) || !std::isfinite(b)) return kErrFitSolver;
  if (fitted)
    for (int i = 0; i < count; ++i) fitted[i] = std::exp(lnA + b * x[i]);
  return 0;
}

int FitLogarithmic(const double* x, const double* y, int count, CFitCoefficients& c,
                   double* fitted) {
  c.fill(0.0);
  if (count < 2) return kErrTooFewPointsForFit;
  std::vector<double> lx(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    if (!(x[i] > 0.0)) return kErrLogFitNotPositive;
    lx[static_cast<size_t>(i)] = std::log(x[i]);
  }
  double a, b;
  if (AllXEqual(x, count) || !WeightedLine(lx.data(), y, nullptr, count, a, b))
    return kErrFitSolver;
  c[0] = a;
  c[1] = b;
  if (!AllFinite(c, 2)) return kErrFitSolver;
  if (fitted)
    for (int i = 0; i < count; ++i) fitted[i] = b * lx[static_cast<size_t>(i)] + a;
  return 0;
}

int FitPowerLaw(const double* x, const double* y, int count, CFitCoefficients& c, double* fitted) {
  c.fill(0.0);
  if (count < 2) return kErrTooFewPointsForFit;
  std::vector<double> lx(static_cast<size_t>(count)), ly(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    if (!(x[i] > 0.0) || !(y[i] > 0.0)) return kErrPowerFitNotPositive;
    lx[static_cast<size_t>(i)] = std::log(x[i]);
    ly[static_cast<size_t>(i)] = std::log(y[i]);
  }
  double lnA, b;
  if (AllXEqual(x, count) || !WeightedLine(lx.data(), ly.data(), nullptr, count, lnA, b))
    return kErrFitSolver;
  c[0] = std::exp(lnA);
  c[1] = b;
  if (!std::isnormal(c[0]) || !std::isfinite(b)) return kErrFitSolver;
  if (fitted)
    for (int i = 0; i < count; ++i) fitted[i] = std::exp(lnA + b * lx[static_cast<size_t>(i)]);
  return 0;
}

bool FitZone(CZone& zone, int xCol, int yCol) {
  CFitSpec& spec = zone.fit;
  const CFitTypeInfo* type = FindStored(kFitTypes, spec.type);
  if (!type) {
    CEngineError::Report(kErrRegressionType);
    return false;
  }
  if (type->value == FitType::kNone) return true;
  if (HasDegree(*type) && (spec.degree < type->minDegree || spec.degree > type->maxDegree)) {
    CEngineError::Report(kErrPolynomialDegree);
    return false;
  }
  const int n = zone.pointCount;
  std::vector<double> x(static_cast<size_t>(n)), y(static_cast<size_t>(n)),
      fitted(static_cast<size_t>(n));
  for (int i = 1; i <= n; ++i) {
    x[static_cast<size_t>(i - 1)] = zone.workingPoints(i, xCol);
    y[static_cast<size_t>(i - 1)] = zone.workingPoints(i, yCol);
  }
  CFitCoefficients c{};
  int code = 0;
  switch (type->value) {
    case FitType::kNone:
      return true;
    case FitType::kPolynomial:
      code = FitPolynomial(x.data(), y.data(), n, spec.degree, zone.tolerance, c, fitted.data());
      break;
    case FitType::kExponential:
      code = FitExponential(x.data(), y.data(), n, c, fitted.data());
      break;
    case FitType::kLogarithmic:
      code = FitLogarithmic(x.data(), y.data(), n, c, fitted.data());
      break;
    case FitType::kPowerLaw:
      code = FitPowerLaw(x.data(), y.data(), n, c, fitted.data());
      break;
  }
  if (code != 0) {
    CEngineError::Report(code);
    return false;
  }
  if (spec.coefficients.GetSize() < CReplicate::kMaxCoefficients)
    spec.coefficients.SetSize(CReplicate::kMaxCoefficients);
  spec.coefficients.Set(0.0);
  for (int k = 1; k <= spec.CoefficientCount(); ++k)
    spec.coefficients(k) = c[static_cast<size_t>(k - 1)];
  if (zone.fitPoints.GetRows() < n || zone.fitPoints.GetColumns() < std::max(xCol, yCol)) {
    zone.fitPoints.SetSize(n, std::max(xCol, yCol));
    zone.fitPoints.Set(0.0);
  }
  for (int i = 1; i <= n; ++i) {
    zone.fitPoints(i, xCol) = x[static_cast<size_t>(i - 1)];
    zone.fitPoints(i, yCol) = fitted[static_cast<size_t>(i - 1)];
  }
  return true;
}

bool EvaluateFit(const CFitSpec& spec, double x, double* y, double* dydx) {
  double v = 0.0, slope = 0.0;
  const CVector<double>& c = spec.coefficients;
  const auto coef = [&](int k) { return k <= c.GetSize() ? c(k) : 0.0; };
  // No fit, and a stored type that no fit has, give the zero curve.
  const CFitTypeInfo* type = FindStored(kFitTypes, spec.type);
  switch (type ? type->value : FitType::kNone) {
    case FitType::kNone:
      break;
    case FitType::kPolynomial: {
      const int d = std::clamp(spec.degree, 0, kMaxDegree);
      v = coef(d + 1);
      for (int k = d; k >= 1; --k) {
        slope = slope * x + v;
        v = v * x + coef(k);
      }
      break;
    }
    case FitType::kExponential:
      v = coef(1) * std::exp(coef(2) * x);
      slope = v * coef(2);
      break;
    case FitType::kLogarithmic:
      v = coef(1) + coef(2) * std::log(x);
      slope = coef(2) / x;
      break;
    case FitType::kPowerLaw:
      v = coef(1) * std::pow(x, coef(2));
      slope = coef(1) * coef(2) * std::pow(x, coef(2) - 1.0);
      break;
  }
  if (y) *y = v;
  if (dydx) *dydx = slope;
  return std::isfinite(v) && std::isfinite(slope);
}

}  // namespace olm
