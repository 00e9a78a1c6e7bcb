#pragma once
// Curve fits on plain arrays (FitZone in ZoneProcessing.hpp applies them to a
// zone).  Each returns 0 on success or the engine error code of the failure,
// without reporting it; FitZone reports.
#include <array>

namespace olm {

// Result of a fit: coefficients c[0..5] as stored in a fit spec (c[0] is the
// constant term or the factor a), and the fitted values written by the fit.
using CFitCoefficients = std::array<double, 6>;

// Least-squares polynomial of degree 1..5 through (x[i], y[i]), i < count.
// The normal equations are formed and solved (elimination without pivoting,
// pivots at or below `tolerance` fail with code 6) in u = (x - centre) /
// half-range, which lies in [-1, 1]; the coefficients are then converted to
// powers of x.  Code 5 for fewer points than coefficients, code 6 for fewer
// distinct x values than coefficients or a non-finite result.  fitted (may
// be null) receives the fitted value at every x, evaluated in the centred
// form.
int FitPolynomial(const double* x, const double* y, int count, int degree, double tolerance,
                  CFitCoefficients& c, double* fitted);

// y = a e^(b x): least-squares line through ln y weighted by y.  Codes 5
// (count < 2), 8 (a y <= 0), 6 (all x equal, non-finite or underflowing a).
int FitExponential(const double* x, const double* y, int count, CFitCoefficients& c,
                   double* fitted);
// y = a + b ln x.  Codes 5 (count < 2), 9 (an x <= 0), 6 (all x equal).
int FitLogarithmic(const double* x, const double* y, int count, CFitCoefficients& c,
                   double* fitted);
// y = a x^b: least-squares line of ln y against ln x.  Codes 5 (count < 2),
// 7 (an x or y <= 0), 6 (all x equal, non-finite or underflowing a).
int FitPowerLaw(const double* x, const double* y, int count, CFitCoefficients& c, double* fitted);

}  // namespace olm
