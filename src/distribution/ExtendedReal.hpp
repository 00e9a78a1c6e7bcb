#pragma once
// CExtendedReal: a real number m * 2^e with a double mantissa and a 64-bit
// exponent, so that gamma functions, large powers and their ratios stay
// finite far beyond the range of a double (Gamma(1000) ~ 1e2565).
//
// The mantissa is 0 or has 0.5 <= |m| < 1; infinities and NaN are kept in the
// mantissa.  Precision is that of a double; converting back to double gives
// 0 on underflow and infinity on overflow.
#include <cstdint>

namespace olm {

class CExtendedReal {
 public:
  CExtendedReal() = default;
  CExtendedReal(double value);  // NOLINT: implicit, so doubles mix in freely

  // e^x for any finite x.
  static CExtendedReal Exp(double x);
  // base^exponent for base >= 0 (0^0 = 1, 0^negative = infinity).
  static CExtendedReal Pow(double base, double exponent);

  double Mantissa() const { return m_mantissa; }
  std::int64_t Exponent() const { return m_exponent; }
  bool IsZero() const { return m_mantissa == 0.0; }
  double ToDouble() const;
  // Natural logarithm of a positive value.
  double Log() const;

  CExtendedReal operator-() const;
  friend CExtendedReal operator*(const CExtendedReal& a, const CExtendedReal& b);
  friend CExtendedReal operator/(const CExtendedReal& a, const CExtendedReal& b);
  friend CExtendedReal operator+(const CExtendedReal& a, const CExtendedReal& b);
  friend CExtendedReal operator-(const CExtendedReal& a, const CExtendedReal& b);
  CExtendedReal& operator*=(const CExtendedReal& b) { return *this = *this * b; }
  CExtendedReal& operator+=(const CExtendedReal& b) { return *this = *this + b; }

 private:
  CExtendedReal(double mantissa, std::int64_t exponent);
  void Normalize();

  double m_mantissa = 0.0;
  std::int64_t m_exponent = 0;
};

}  // namespace olm
