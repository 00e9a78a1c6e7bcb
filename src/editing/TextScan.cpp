#include "editing/TextScan.hpp"

#include <charconv>
#include <cstring>
#include <string>

namespace olm {

CFieldSplitter::CFieldSplitter(const CDelimiterSet& d) {
  m_class.fill(kNormal);
  m_class[static_cast<unsigned char>('"')] = kSoft;
  if (d.blank) m_class[static_cast<unsigned char>(' ')] = kSoft;
  if (d.tab) m_class[static_cast<unsigned char>('\t')] = kSoft;
  if (d.comma) m_class[static_cast<unsigned char>(',')] = kHard;
  if (d.other != '\0' && d.other != '"') {
    const unsigned char o = static_cast<unsigned char>(d.other);
    m_class[o] = (o == ' ' || o == '\t') ? kSoft : kHard;
  }
}

namespace {

constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                             1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                             1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Eight characters at once (little-endian load): true when all are digits.
inline uint64_t LoadEight(const char* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}
inline bool AllDigits(uint64_t v) {
  // Each byte minus '0' must stay below 10: no borrow out of 0x30..0x39.
  return (((v & 0xF0F0F0F0F0F0F0F0) | (((v + 0x0606060606060606) & 0xF0F0F0F0F0F0F0F0) >> 4)) ==
          0x3333333333333333);
}
// The value of eight digit characters, first character most significant.
inline uint64_t EightDigits(uint64_t v) {
  v -= 0x3030303030303030;
  v = (v * 10) + (v >> 8);  // pairs
  v = (((v & 0x000000FF000000FF) * (100 + (uint64_t(1000000) << 32))) +
       (((v >> 16) & 0x000000FF000000FF) * (1 + (uint64_t(10000) << 32)))) >>
      32;
  return v;
}

// Appends the digits from p to the mantissa, eight at a time while it can;
// returns the first character that is not a digit.
inline const char* TakeDigits(const char* p, const char* const e, uint64_t& m) {
  while (e - p >= 8) {
    const uint64_t v = LoadEight(p);
    if (!AllDigits(v)) break;
    m = m * 100000000 + EightDigits(v);
    p += 8;
  }
  for (; p < e; ++p) {
    const unsigned d = static_cast<unsigned char>(*p) - '0';
    if (d > 9) break;
    m = m * 10 + d;
  }
  return p;
}

}  // namespace

// The careful parser: any number of digits, then from_chars when the fast
// path does not apply.
static bool ParseDecimalCareful(std::string_view field, double& value) {
  const char* p = field.data();
  const char* const e = p + field.size();
  bool negative = false;
  if (p < e && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  const char* const body = p;
  uint64_t mantissa = 0;
  int digits = 0;     // significant digits taken into the mantissa
  int exponent = 0;   // decimal exponent applied to the mantissa
  bool any = false;   // at least one digit in the integer or fraction part
  bool exact = true;  // the mantissa holds every significant digit
  for (; p < e && IsDigit(*p); ++p) {
    any = true;
    const int d = *p - '0';
    if (mantissa == 0 && d == 0) continue;
    if (digits < 19) {
      mantissa = mantissa * 10 + static_cast<uint64_t>(d);
      ++digits;
    } else {
      exact = false;
      ++exponent;
    }
  }
  if (p < e && *p == '.') {
    for (++p; p < e && IsDigit(*p); ++p) {
      any = true;
      const int d = *p - '0';
      if (mantissa == 0 && d == 0) {
        --exponent;
        continue;
      }
      if (digits < 19) {
        mantissa = mantissa * 10 + static_cast<uint64_t>(d);
        ++digits;
        --exponent;
      } else {
        exact = false;
      }
    }
  }
  if (!any) return false;
  if (p < e && (*p == 'e' || *p == 'E')) {
    ++p;
    bool expNegative = false;
    if (p < e && (*p == '+' || *p == '-')) {
      expNegative = *p == '-';
      ++p;
    }
    if (p == e || !IsDigit(*p)) return false;
    int v = 0;
    for (; p < e && IsDigit(*p); ++p)
      if (v < 100000) v = v * 10 + (*p - '0');
    exponent += expNegative ? -v : v;
  }
  if (p != e) return false;

  if (mantissa == 0) {
    value = negative ? -0.0 : 0.0;
    return true;
  }
  // Exact fast path: an integer below 2^53 and a power of ten below 10^23
  // are both exact doubles, so one multiplication or division rounds right.
  if (exact && mantissa <= (uint64_t(1) << 53) && exponent >= -22 && exponent <= 22) {
    double v = static_cast<double>(mantissa);
    v = exponent < 0 ? v / kPow10[-exponent] : v * kPow10[exponent];
    value = negative ? -v : v;
    return true;
  }
  double v = 0.0;
  const auto [end, ec] = std::from_chars(body, e, v, std::chars_format::general);
  if (ec != std::errc() || end != e) return false;
  value = negative ? -v : v;
  return true;
}

namespace {

enum class Parsed { kOk, kInvalid, kCareful };

// Numbers of at most 19 significant digits with a decimal exponent that
// keeps the exact fast path; everything else is left to the careful parser.
inline Parsed ParseCommon(const char* p, const char* const e, double& value) {
  bool negative = false;
  if (p < e && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  // Mantissa digits, leading zeros included in the count (a number with more
  // than 19 digits in all goes to the careful parser; m may then have wrapped,
  // which does not matter).
  uint64_t m = 0;
  const char* q = TakeDigits(p, e, m);
  int digits = static_cast<int>(q - p);
  int exponent = 0;
  if (q < e && *q == '.') {
    const char* f = ++q;
    q = TakeDigits(q, e, m);
    exponent = -static_cast<int>(q - f);
    digits -= exponent;
  }
  if (digits == 0) return Parsed::kInvalid;
  if (digits > 19) return Parsed::kCareful;
  if (q < e && (*q == 'e' || *q == 'E')) {
    ++q;
    bool expNegative = false;
    if (q < e && (*q == '+' || *q == '-')) {
      expNegative = *q == '-';
      ++q;
    }
    if (q == e || !IsDigit(*q)) return Parsed::kInvalid;
    int v = 0;
    for (; q < e && IsDigit(*q); ++q)
      if (v < 100000) v = v * 10 + (*q - '0');
    exponent += expNegative ? -v : v;
  }
  if (q != e) return Parsed::kInvalid;
  if (m == 0) {
    value = negative ? -0.0 : 0.0;
    return Parsed::kOk;
  }
  if (m > (uint64_t(1) << 53) || exponent < -22 || exponent > 22) return Parsed::kCareful;
  // An integer below 2^53 and a power of ten below 10^23 are both exact
  // doubles, so one multiplication or division rounds correctly.
  double v = static_cast<double>(m);
  v = exponent < 0 ? v / kPow10[-exponent] : v * kPow10[exponent];
  value = negative ? -v : v;
  return Parsed::kOk;
}

}  // namespace

bool ParseDecimal(std::string_view field, double& value) {
  switch (ParseCommon(field.data(), field.data() + field.size(), value)) {
    case Parsed::kOk: return true;
    case Parsed::kInvalid: return false;
    default: return ParseDecimalCareful(field, value);
  }
}

bool IsBlankLine(std::string_view line) {
  for (char c : line)
    if (c != ' ' && c != '\t' && c != '\r') return false;
  return true;
}

}  // namespace olm
