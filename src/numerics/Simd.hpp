#pragma once
// Helpers of the filters' inner loops: four doubles as one vector value, and
// the attribute that builds a hot function twice, for x86-64 processors with
// AVX2 and FMA (x86-64-v3) and for the baseline, chosen when the program
// loads.  Elsewhere a vector is two SSE2 or NEON registers (or plain code).
#include <cstring>
#include <initializer_list>

// Vectors only ever pass between always-inlined functions, so their calling
// convention does not matter.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

#define OLM_INLINE [[gnu::always_inline]] inline
// The same for a lambda: [](V4 v) OLM_INLINE_LAMBDA { ... }.
#define OLM_INLINE_LAMBDA __attribute__((always_inline))

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define OLM_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define OLM_CLONES
#endif

namespace olm::simd {

using V4 = double __attribute__((vector_size(32)));
using M4 = long long __attribute__((vector_size(32)));

OLM_INLINE V4 Load4(const double* p) {
  V4 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
OLM_INLINE V4 Splat4(double v) {
  return V4{v, v, v, v};
}
OLM_INLINE V4 Abs4(V4 v) {
  return reinterpret_cast<V4>(reinterpret_cast<M4>(v) & 0x7fffffffffffffffLL);
}
// v where the mask is set, 0 elsewhere.
OLM_INLINE V4 Keep4(V4 v, M4 mask) {
  return reinterpret_cast<V4>(reinterpret_cast<M4>(v) & mask);
}
OLM_INLINE double Sum4(V4 v) {
  return (v[0] + v[1]) + (v[2] + v[3]);
}

using U4 = unsigned long long __attribute__((vector_size(32)));

// 1.5 * 2^52: adding it rounds a double below 2^51 to an integer, which then
// sits in the low bits of the sum.
constexpr double kRoundingMagic = 6755399441055744.0;

// For positive normal doubles x = m 2^e with m in [sqrt(1/2), sqrt(2)):
// returns ln m (the atanh series in s = (m - 1) / (m + 1), |s| < 0.172, to
// the s^19 term, truncation below 1e-17) and e in *exponent.
OLM_INLINE V4 LogMantissa4(V4 x, V4* exponent) {
  const U4 bits = reinterpret_cast<U4>(x);
  V4 m = reinterpret_cast<V4>((bits & 0x000fffffffffffffULL) | 0x3ff0000000000000ULL);
  U4 e = (bits >> 52) & 0x7ffULL;
  const M4 big = m > Splat4(1.4142135623730951);
  m = big ? m * 0.5 : m;
  e = e + (reinterpret_cast<U4>(big) & 1ULL);
  // The biased exponent added into the low bits of the magic number.
  const U4 magicBits = reinterpret_cast<U4>(Splat4(kRoundingMagic));
  *exponent = reinterpret_cast<V4>(magicBits + e) - Splat4(kRoundingMagic + 1023.0);
  const V4 s = (m - 1.0) / (m + 1.0);
  const V4 z = s * s;
  // Estrin's scheme: pairs of terms, then powers of z, for a short
  // dependency chain.
  const V4 z2 = z * z, z4 = z2 * z2, z8 = z4 * z4;
  const V4 p01 = z * (1.0 / 3) + 1.0, p23 = z * (1.0 / 7) + 1.0 / 5;
  const V4 p45 = z * (1.0 / 11) + 1.0 / 9, p67 = z * (1.0 / 15) + 1.0 / 13;
  const V4 p89 = z * (1.0 / 19) + 1.0 / 17;
  const V4 p03 = z2 * p23 + p01, p47 = z2 * p67 + p45;
  const V4 p = z8 * p89 + (z4 * p47 + p03);
  return 2.0 * s * p;
}

// Natural logarithm of positive normal doubles (other values: garbage).
OLM_INLINE V4 Ln4(V4 x) {
  V4 e;
  const V4 lnm = LogMantissa4(x, &e);
  return e * 0.69314718055994530942 + lnm;
}

// e^x within a few units in the last place; 0 below -708 (where the true
// value is below the smallest normal double), infinity above 709.78, NaN
// kept.  x = k ln 2 + r, |r| <= ln 2 / 2, e^r by its Taylor series to r^13
// (truncation below 1e-17), 2^k put into the exponent bits.
OLM_INLINE V4 Exp4(V4 x) {
  const M4 tiny = x<-708.0, huge = x> 709.78, nan = x != x;
  const V4 xc = tiny ? Splat4(0.0) : (huge ? Splat4(0.0) : (nan ? Splat4(0.0) : x));
  const V4 shifted = xc * 1.4426950408889634 + kRoundingMagic;
  const V4 k = shifted - kRoundingMagic;
  // ln 2 in two parts, the first exact in few bits, so k * hi is exact.
  const V4 r = (xc - k * 0.693147180369123816490) - k * 1.90821492927058770002e-10;
  V4 p = Splat4(1.0 / 6227020800.0);  // 1/13!
  for (const double c :
       {1.0 / 479001600.0, 1.0 / 39916800.0, 1.0 / 3628800.0, 1.0 / 362880.0, 1.0 / 40320.0,
        1.0 / 5040.0, 1.0 / 720.0, 1.0 / 120.0, 1.0 / 24.0, 1.0 / 6.0, 0.5, 1.0, 1.0})
    p = p * r + c;
  const U4 kInt = reinterpret_cast<U4>(shifted) - reinterpret_cast<U4>(Splat4(kRoundingMagic));
  // 2^(k - 1) then times 2, so k = 1024 (x near the top) stays finite.
  const V4 scale = reinterpret_cast<V4>((kInt + 1022ULL) << 52);
  V4 y = p * scale * 2.0;
  y = tiny ? Splat4(0.0) : y;
  y = huge ? Splat4(__builtin_inf()) : y;
  return nan ? x : y;
}

}  // namespace olm::simd
