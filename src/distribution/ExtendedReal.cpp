#include "distribution/ExtendedReal.hpp"

#include <cmath>
#include <limits>

namespace olm {

namespace {
constexpr double kLog2E = 1.4426950408889634074;
constexpr double kLn2 = 0.69314718055994530942;
}  // namespace

CExtendedReal::CExtendedReal(double value) : m_mantissa(value) {
  Normalize();
}

CExtendedReal::CExtendedReal(double mantissa, std::int64_t exponent)
    : m_mantissa(mantissa), m_exponent(exponent) {
  Normalize();
}

void CExtendedReal::Normalize() {
  if (m_mantissa == 0.0 || !std::isfinite(m_mantissa)) {
    m_exponent = 0;
    return;
  }
  int e = 0;
  m_mantissa = std::frexp(m_mantissa, &e);
  m_exponent += e;
}

CExtendedReal CExtendedReal::Exp(double x) {
  if (std::isnan(x)) return CExtendedReal(x);
  if (std::isinf(x)) return CExtendedReal(x > 0 ? x : 0.0);
  const double t = x * kLog2E;
  const double whole = std::floor(t);
  return CExtendedReal(std::exp2(t - whole), static_cast<std::int64_t>(whole));
}

CExtendedReal CExtendedReal::Pow(double base, double exponent) {
  if (base == 0.0) {
    if (exponent == 0.0) return CExtendedReal(1.0);
    return CExtendedReal(exponent > 0 ? 0.0 : std::numeric_limits<double>::infinity());
  }
  if (base < 0.0) return CExtendedReal(std::numeric_limits<double>::quiet_NaN());
  // Split base into m * 2^e so that large exponents keep their precision.
  int e = 0;
  const double m = std::frexp(base, &e);
  const double t = exponent * (std::log2(m) + e);
  const double whole = std::floor(t);
  if (!std::isfinite(t)) return CExtendedReal(t > 0 ? t : 0.0);
  return CExtendedReal(std::exp2(t - whole), static_cast<std::int64_t>(whole));
}

double CExtendedReal::ToDouble() const {
  if (m_mantissa == 0.0 || !std::isfinite(m_mantissa)) return m_mantissa;
  if (m_exponent > 4096) return std::copysign(std::numeric_limits<double>::infinity(), m_mantissa);
  if (m_exponent < -4096) return std::copysign(0.0, m_mantissa);
  return std::ldexp(m_mantissa, static_cast<int>(m_exponent));
}

double CExtendedReal::Log() const {
  return std::log(m_mantissa) + static_cast<double>(m_exponent) * kLn2;
}

CExtendedReal CExtendedReal::operator-() const {
  return CExtendedReal(-m_mantissa, m_exponent);
}

CExtendedReal operator*(const CExtendedReal& a, const CExtendedReal& b) {
  return CExtendedReal(a.m_mantissa * b.m_mantissa, a.m_exponent + b.m_exponent);
}

CExtendedReal operator/(const CExtendedReal& a, const CExtendedReal& b) {
  return CExtendedReal(a.m_mantissa / b.m_mantissa, a.m_exponent - b.m_exponent);
}

CExtendedReal operator+(const CExtendedReal& a, const CExtendedReal& b) {
  if (a.m_mantissa == 0.0 || !std::isfinite(b.m_mantissa)) return b;
  if (b.m_mantissa == 0.0 || !std::isfinite(a.m_mantissa)) return a;
  const std::int64_t d = a.m_exponent - b.m_exponent;
  if (d > 64) return a;
  if (d < -64) return b;
  if (d >= 0) {
    return CExtendedReal(a.m_mantissa + std::ldexp(b.m_mantissa, static_cast<int>(-d)),
                         a.m_exponent);
  }
  return CExtendedReal(std::ldexp(a.m_mantissa, static_cast<int>(d)) + b.m_mantissa, b.m_exponent);
}

CExtendedReal operator-(const CExtendedReal& a, const CExtendedReal& b) {
  return a + (-b);
}

}  // namespace olm
