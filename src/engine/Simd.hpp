#pragma once
// Helpers of the filters' inner loops: four doubles as one vector value, and
// the attribute that builds a hot function twice, for x86-64 processors with
// AVX2 and FMA (x86-64-v3) and for the baseline, chosen when the program
// loads.  Elsewhere a vector is two SSE2 or NEON registers (or plain code).
#include <cstring>

// Vectors only ever pass between always-inlined functions, so their calling
// convention does not matter.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

#define OLM_INLINE [[gnu::always_inline]] inline

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

}  // namespace olm::simd
