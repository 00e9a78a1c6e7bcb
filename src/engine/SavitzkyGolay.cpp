#include "engine/SavitzkyGolay.hpp"

#include <array>
#include <numeric>

namespace olm {

namespace {

// Sum of j^p over j = -k..k.
long long PowerSum(int k, int p) {
  long long s = 0;
  for (long long j = -k; j <= k; ++j) {
    long long t = 1;
    for (int e = 0; e < p; ++e) t *= j;
    s += t;
  }
  return s;
}

std::vector<long long> Reduced(std::vector<long long> c) {
  long long g = 0;
  for (long long v : c) g = std::gcd(g, v);
  if (g > 1)
    for (long long& v : c) v /= g;
  return c;
}

// At the middle point only the even powers of the fitted polynomial matter:
// with the moment matrix M(a, b) = sum j^(2a + 2b), the weights are
// c(j) = sum over m of (M^-1)(0, m) j^(2m).  Scaled by det M they are the
// first row of the adjugate, which is exact in integers.
std::vector<long long> QuarticSet(int k) {
  std::array<long long, 9> s{};
  for (int p = 0; p <= 8; p += 2) s[p] = PowerSum(k, p);
  const long long m00 = s[0], m01 = s[2], m02 = s[4], m11 = s[4], m12 = s[6], m22 = s[8];
  const long long a0 = m11 * m22 - m12 * m12;
  const long long a1 = -(m01 * m22 - m02 * m12);
  const long long a2 = m01 * m12 - m02 * m11;
  (void)m00;
  std::vector<long long> c;
  for (long long j = -k; j <= k; ++j) c.push_back(a0 + a1 * j * j + a2 * j * j * j * j);
  return c;
}

}  // namespace

std::vector<long long> SavitzkyGolayIntegers(int window, int order) {
  if (window > kSavitzkyGolayMaxWindow || window % 2 == 0) return {};
  const int k = window / 2;
  if (order == 3 && window >= 5) {
    std::vector<long long> c;
    for (long long j = -k; j <= k; ++j) c.push_back(3LL * k * (k + 1) - 1 - 5 * j * j);
    return Reduced(std::move(c));
  }
  if (order == 5 && window >= 7) return Reduced(QuarticSet(k));
  return {};
}

const CSavitzkyGolaySet& SavitzkyGolaySet(int window, int order) {
  // Index: [order == 5][window]; built once, thread-safe by static init.
  static const auto tables = [] {
    std::array<std::array<CSavitzkyGolaySet, kSavitzkyGolayMaxWindow + 1>, 2> t;
    for (int o = 0; o < 2; ++o)
      for (int w = 5; w <= kSavitzkyGolayMaxWindow; w += 2) {
        CSavitzkyGolaySet& set = t[o][w];
        for (long long v : SavitzkyGolayIntegers(w, o ? 5 : 3)) {
          set.c.push_back(static_cast<double>(v));
          set.sum += static_cast<double>(v);
        }
      }
    return t;
  }();
  static const CSavitzkyGolaySet empty;
  if (window < 0 || window > kSavitzkyGolayMaxWindow || (order != 3 && order != 5)) return empty;
  return tables[order == 5][window];
}

}  // namespace olm
