#include "plot/Graph.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "numerics/Simd.hpp"
#include "numerics/UserInterface.hpp"

// x86-64 builds carry a second copy of the two block routines for processors
// with AVX2, chosen at run time: lane masks are read with movemask and the
// inside points are packed by a shuffle, where the portable vector code goes
// through memory lane by lane (several times slower on a curve of 10^6
// points).
// (GCC only, as the other clones in Simd.hpp: clang refuses the portable
// vector helpers inlined into a function built for AVX2.)
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#include <immintrin.h>
#define OLM_PLOT_AVX2 1
#define OLM_TARGET_V3 __attribute__((target("arch=x86-64-v3")))
#else
#define OLM_PLOT_AVX2 0
#endif

namespace olm {

CCurveView CurveColumns(const CMatrix<double>& m, int rows, int xColumn, int yColumn) {
  CCurveView c;
  rows = std::min(rows, m.GetRows());
  if (rows < 1 || xColumn < 1 || yColumn < 1 || xColumn > m.GetColumns() ||
      yColumn > m.GetColumns())
    return c;
  const double* row1 = m.Row(1);
  c.x = row1 + (xColumn - 1);
  c.y = row1 + (yColumn - 1);
  c.stride = m.GetColumns();
  c.count = static_cast<size_t>(rows);
  return c;
}

CCurveView CurveVectors(const CVector<double>& x, const CVector<double>& y) {
  CCurveView c;
  const int n = std::min(x.GetSize(), y.GetSize());
  if (n < 1) return c;
  c.x = x.Data();
  c.y = y.Data();
  c.stride = 1;
  c.count = static_cast<size_t>(n);
  return c;
}

// ---------------------------------------------------------------------------
// Axis formats.

bool IsSafeAxisFormat(const std::string& format) {
  int conversions = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') continue;
    ++i;
    if (i < format.size() && format[i] == '%') continue;
    while (i < format.size() && std::strchr("-+ #0", format[i]) && format[i] != '\0') ++i;
    int digits = 0;
    while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i]))) ++i, ++digits;
    if (digits > 2) return false;
    if (i < format.size() && format[i] == '.') {
      ++i;
      digits = 0;
      while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i])))
        ++i, ++digits;
      if (digits > 2) return false;
    }
    if (i >= format.size() || !std::strchr("eEfFgGaA", format[i]) || format[i] == '\0')
      return false;
    ++conversions;
  }
  return conversions == 1;
}

std::string FormatAxisValue(const std::string& format, double value) {
  const std::string& f = IsSafeAxisFormat(format) ? format : std::string("%-g");
  char buffer[128];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  const int n = std::snprintf(buffer, sizeof buffer, f.c_str(), value);
#pragma GCC diagnostic pop
  if (n < 0) return std::string();
  return std::string(buffer, static_cast<size_t>(std::min<int>(n, sizeof buffer - 1)));
}

// ---------------------------------------------------------------------------
// Markers.

void DrawMarker(IPlotCanvas& canvas, CDevicePoint p, int kind, int size, uint32_t colour) {
  if (kind <= 0) return;
  const int h = std::max(1, size / 2);
  const CDeviceRect box{p.x - h, p.y - h, p.x + h, p.y + h};
  const bool filled = kind >= 8 && kind <= 10;
  canvas.SetPen({kPenSolid, 1, colour});
  canvas.SetBrush(filled, colour);
  switch (kind) {
    case 2:
    case 9:
      canvas.Ellipse(box);
      break;
    case 3:
    case 10: {
      const CDevicePoint t[3] = {{p.x, p.y - h}, {p.x + h, p.y + h}, {p.x - h, p.y + h}};
      canvas.Polygon(t, 3);
      break;
    }
    case 4: {
      const CDevicePoint d[4] = {{p.x, p.y - h}, {p.x + h, p.y}, {p.x, p.y + h}, {p.x - h, p.y}};
      canvas.Polygon(d, 4);
      break;
    }
    case 5:
      canvas.Line(p.x - h, p.y - h, p.x + h, p.y + h);
      canvas.Line(p.x - h, p.y + h, p.x + h, p.y - h);
      break;
    case 6:
      canvas.Line(p.x - h, p.y, p.x + h, p.y);
      canvas.Line(p.x, p.y - h, p.x, p.y + h);
      break;
    case 7:
      canvas.Line(p.x - h, p.y, p.x + h, p.y);
      canvas.Line(p.x, p.y - h, p.x, p.y + h);
      canvas.Line(p.x - h, p.y - h, p.x + h, p.y + h);
      canvas.Line(p.x - h, p.y + h, p.x + h, p.y - h);
      break;
    default:
      canvas.Rectangle(box);
      break;
  }
  canvas.SetBrush(false);
}

// ---------------------------------------------------------------------------
// CGraph.

CGraph::CGraph(bool xLog, bool yLog) : m_xLog(xLog), m_yLog(yLog) {}

const char* CGraph::KindCommand(int kind) {
  const CAxisKindInfo* info = FindStored(kGraphAxes, kind);
  return info ? info->command : "";
}

namespace {

// Widens an empty range around its value.
void Widen(double& lo, double& hi, bool log) {
  if (lo > hi) std::swap(lo, hi);
  if (lo != hi) return;
  const double half = log ? 0.5 : lo == 0.0 ? 0.5 : std::fabs(lo) * 0.05;
  lo -= half;
  hi += half;
}

int DecadeCount(double lo, double hi) {
  const double d = hi - lo + 1e-6;
  return d < 0 ? 0 : d > 1e6 ? 1000000 : static_cast<int>(d);
}

}  // namespace

bool CGraph::StoreWindow(double xMin, double yMin, double xMax, double yMax) {
  if (!std::isfinite(xMin) || !std::isfinite(xMax) || !std::isfinite(yMin) || !std::isfinite(yMax))
    return false;
  if (m_xLog) {
    xMin = std::log10(xMin);
    xMax = std::log10(xMax);
  }
  if (m_yLog) {
    yMin = std::log10(yMin);
    yMax = std::log10(yMax);
  }
  Widen(xMin, xMax, m_xLog);
  Widen(yMin, yMax, m_yLog);
  m_xMin = xMin;
  m_xMax = xMax;
  m_yMin = yMin;
  m_yMax = yMax;
  m_xDecades = m_xLog ? DecadeCount(m_xMin, m_xMax) : 0;
  m_yDecades = m_yLog ? DecadeCount(m_yMin, m_yMax) : 0;
  UpdateScales();
  return true;
}

template <class T, bool XLog, bool YLog>
bool CAxisGraph<T, XLog, YLog>::SetWorldWindow(double xMin, double yMin, double xMax, double yMax) {
  if constexpr (XLog) {
    if (xMin < kLogMinimum || xMax < kLogMinimum) {
      ShowMessage("The X minimum value must be larger than 0.000001", MessageKind::Error);
      return false;
    }
  }
  if constexpr (YLog) {
    if (yMin < kLogMinimum || yMax < kLogMinimum) {
      ShowMessage("The Y minimum value must be larger than 0.000001", MessageKind::Error);
      return false;
    }
  }
  return StoreWindow(xMin, yMin, xMax, yMax);
}

template <class T, bool XLog, bool YLog>
void CAxisGraph<T, XLog, YLog>::AppendMarkerPoints(const CCurveView& curve,
                                                   std::vector<CDevicePoint>& out) const {
  // Each device position once: a bitmap over the frame and a small border
  // (inside points may lie a pixel beyond the frame).
  constexpr int kBorder = 2;
  const int left = m_frame.left - kBorder, top = m_frame.top - kBorder;
  const int w = m_frame.Width() + 2 * kBorder + 1, h = m_frame.Height() + 2 * kBorder + 1;
  std::vector<uint8_t> seen(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
  this->ForEachInsideBlock(curve, [&](const int* px, const int* py, size_t n) {
    for (size_t i = 0; i < n; ++i) {
      const int cx = px[i] - left, cy = py[i] - top;
      if (cx >= 0 && cy >= 0 && cx < w && cy < h) {
        uint8_t& s =
            seen[static_cast<size_t>(cy) * static_cast<size_t>(w) + static_cast<size_t>(cx)];
        if (s) continue;
        s = 1;
      }
      out.push_back({px[i], py[i]});
    }
  });
}

namespace {

using V4 = simd::V4;
using M4 = simd::M4;
using I4 = int __attribute__((vector_size(16)));

OLM_INLINE V4 Gather4(const double* p, std::ptrdiff_t stride) {
  return V4{p[0], p[stride], p[2 * stride], p[3 * stride]};
}

}  // namespace

namespace {

// Absolute error bound of FastLog10 (with margin): the series and its
// rounding stay near 2e-16, the exponent term adds up to |e| * 1e-16.
constexpr double kLogError = 1e-12;

// log10 of four positive normal doubles.
OLM_INLINE V4 FastLog10(V4 x) {
  V4 exponent;
  const V4 lnm = simd::LogMantissa4(x, &exponent);
  constexpr double kLog10E = 0.43429448190325182765;
  constexpr double kLog10Of2 = 0.30102999566398119521;
  return exponent * kLog10Of2 + kLog10E * lnm;
}

// Whether the mapping could tell l from the exact logarithm: l lies within
// the error of the window's ends or of a pixel boundary.
// The position is taken with the inverse scale; the margin covers the
// difference from the mapping's division.
OLM_INLINE M4 NearBoundary(V4 l, const CLogAxisBlock& a, double inverseScale, double margin) {
  const V4 f = (l - a.origin) * inverseScale;
  constexpr double kMagic = simd::kRoundingMagic;  // rounds |f| < 2^51 to an integer
  const V4 d = simd::Abs4(f - ((f + kMagic) - kMagic));
  return (d < margin) | (simd::Abs4(f) > 1e12) | (simd::Abs4(l - a.lo) < 2 * kLogError) |
         (simd::Abs4(l - a.hi) < 2 * kLogError);
}

}  // namespace

// What the two copies of Log10Block share: the pixel distance the error can
// move a value (with room for the rounding of the mapping's own
// arithmetic), and the fast logarithm of four values with the mask of those
// that must be taken exactly.
struct CLogBlockSetup {
  explicit CLogBlockSetup(const CLogAxisBlock& a)
      : axis(a), inverseScale(1 / a.scale), margin(2 * kLogError * std::fabs(1 / a.scale) + 1e-6) {}
  OLM_INLINE V4 Log(V4 v, M4& exact) const {
    const M4 normal = (v >= simd::Splat4(std::numeric_limits<double>::min())) &
                      (v <= simd::Splat4(std::numeric_limits<double>::max()));
    const V4 l = FastLog10(normal ? v : simd::Splat4(1.0));
    exact = ~normal | NearBoundary(l, axis, inverseScale, margin);
    return l;
  }
  CLogAxisBlock axis;
  double inverseScale, margin;
};

static void Log10BlockPortable(const double* x, std::ptrdiff_t stride, size_t n,
                               const CLogAxisBlock& axis, double* out) {
  const CLogBlockSetup setup(axis);
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const V4 v = Gather4(x + static_cast<std::ptrdiff_t>(i) * stride, stride);
    M4 exact;
    const V4 l = setup.Log(v, exact);
    std::memcpy(out + i, &l, sizeof l);
    if (exact[0] | exact[1] | exact[2] | exact[3])
      for (int j = 0; j < 4; ++j)
        if (exact[j]) out[i + j] = std::log10(v[j]);
  }
  for (; i < n; ++i) out[i] = std::log10(x[static_cast<std::ptrdiff_t>(i) * stride]);
}

// Four points at a time: the window test and the mapping without branches;
// four inside points are stored at once, others one by one.
static size_t MapInsideBlockPortable(const double* u, const double* v, std::ptrdiff_t stride,
                                     size_t n, const CBlockMapping& m, int* px, int* py) {
  const V4 x0 = simd::Splat4(m.x0), y0 = simd::Splat4(m.y0);
  const V4 sx = simd::Splat4(m.sx), sy = simd::Splat4(m.sy);
  const V4 uLo = simd::Splat4(m.uLo), uHi = simd::Splat4(m.uHi);
  const V4 vLo = simd::Splat4(m.vLo), vHi = simd::Splat4(m.vHi);
  const V4 left = simd::Splat4(m.left), bottom = simd::Splat4(m.bottom);
  const V4 half = simd::Splat4(0.5);
  // Held within the device range (a window far narrower than the outside
  // tolerance lets inside points lie far off the frame).
  const V4 lim = simd::Splat4(CGraph::kCoordinateLimit);
  const I4 leftI = {static_cast<int>(m.left), static_cast<int>(m.left), static_cast<int>(m.left),
                    static_cast<int>(m.left)};
  const I4 bottomI = {static_cast<int>(m.bottom), static_cast<int>(m.bottom),
                      static_cast<int>(m.bottom), static_cast<int>(m.bottom)};
  size_t k = 0, i = 0;
  for (; i + 4 <= n; i += 4) {
    const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(i) * stride;
    const V4 a = Gather4(u + at, stride), b = Gather4(v + at, stride);
    const M4 inside = (a >= uLo) & (a <= uHi) & (b >= vLo) & (b <= vHi);
    if (!(inside[0] | inside[1] | inside[2] | inside[3])) continue;
    V4 fx, fy;
    if (m.rounded) {
      fx = (a - x0) / sx + left + half;
      fy = (b - y0) / sy + half;
    } else {
      fx = (a - x0) / sx;
      fy = bottom - (b - y0) / sy;
    }
    fx = fx < -lim ? -lim : fx;
    fx = fx > lim ? lim : fx;
    fy = fy < -lim ? -lim : fy;
    fy = fy > lim ? lim : fy;
    I4 jx = __builtin_convertvector(simd::Keep4(fx, inside), I4);
    I4 jy = __builtin_convertvector(simd::Keep4(fy, inside), I4);
    if (m.rounded)
      jy = bottomI - jy;
    else
      jx = jx + leftI;
    if (inside[0] & inside[1] & inside[2] & inside[3]) {
      std::memcpy(px + k, &jx, sizeof jx);
      std::memcpy(py + k, &jy, sizeof jy);
      k += 4;
      continue;
    }
    for (int l = 0; l < 4; ++l) {
      if (!inside[l]) continue;
      px[k] = jx[l];
      py[k] = jy[l];
      ++k;
    }
  }
  constexpr double kLim = CGraph::kCoordinateLimit;
  for (; i < n; ++i) {
    const double a = u[static_cast<std::ptrdiff_t>(i) * stride];
    const double b = v[static_cast<std::ptrdiff_t>(i) * stride];
    if (!(a >= m.uLo && a <= m.uHi && b >= m.vLo && b <= m.vHi)) continue;
    if (m.rounded) {
      px[k] = static_cast<int>(std::clamp((a - m.x0) / m.sx + m.left + 0.5, -kLim, kLim));
      py[k] = static_cast<int>(m.bottom) -
              static_cast<int>(std::clamp((b - m.y0) / m.sy + 0.5, -kLim, kLim));
    } else {
      px[k] =
          static_cast<int>(std::clamp((a - m.x0) / m.sx, -kLim, kLim)) + static_cast<int>(m.left);
      py[k] = static_cast<int>(std::clamp(m.bottom - (b - m.y0) / m.sy, -kLim, kLim));
    }
    ++k;
  }
  return k;
}

#if OLM_PLOT_AVX2

namespace {

// Lane orders that move the set lanes of a 4-bit mask to the front.
alignas(16) constexpr int kPackLanes[16][4] = {
    {0, 1, 2, 3}, {0, 1, 2, 3}, {1, 0, 2, 3}, {0, 1, 2, 3}, {2, 0, 1, 3}, {0, 2, 1, 3},
    {1, 2, 0, 3}, {0, 1, 2, 3}, {3, 0, 1, 2}, {0, 3, 1, 2}, {1, 3, 0, 2}, {0, 1, 3, 2},
    {2, 3, 0, 1}, {0, 2, 3, 1}, {1, 2, 3, 0}, {0, 1, 2, 3}};

// p[0], p[stride], p[2 stride], p[3 stride].  Every second value (two
// interleaved columns) takes two loads and a shuffle, as building the vector
// value by value is several times slower there; the loads reach p[7] when
// `more` says that the next point is there, and else overlap so as to read
// no further than p[6] (the second of them then crosses a cache line more
// often, which costs).
OLM_TARGET_V3 inline __m256d LoadColumn4(const double* p, std::ptrdiff_t stride, bool more) {
  if (stride == 1) return _mm256_loadu_pd(p);
  if (stride == 2) {
    if (more)
      return _mm256_permute4x64_pd(_mm256_unpacklo_pd(_mm256_loadu_pd(p), _mm256_loadu_pd(p + 4)),
                                   0xD8);
    const __m256d first = _mm256_permute4x64_pd(_mm256_loadu_pd(p), 0x08);       // p0 p2 . .
    const __m256d second = _mm256_permute4x64_pd(_mm256_loadu_pd(p + 3), 0xD0);  // . . p4 p6
    return _mm256_blend_pd(first, second, 0xC);
  }
  return _mm256_setr_pd(p[0], p[stride], p[2 * stride], p[3 * stride]);
}

OLM_TARGET_V3 __m256d Clamp(__m256d f, __m256d lim) {
  // NaN stays NaN, as in the portable code.
  const __m256d low = _mm256_sub_pd(_mm256_setzero_pd(), lim);
  f = _mm256_blendv_pd(f, low, _mm256_cmp_pd(f, low, _CMP_LT_OQ));
  return _mm256_blendv_pd(f, lim, _mm256_cmp_pd(f, lim, _CMP_GT_OQ));
}

OLM_TARGET_V3 size_t MapInsideBlockV3(const double* u, const double* v, std::ptrdiff_t stride,
                                      size_t n, const CBlockMapping& m, int* px, int* py) {
  const __m256d x0 = _mm256_set1_pd(m.x0), y0 = _mm256_set1_pd(m.y0);
  const __m256d sx = _mm256_set1_pd(m.sx), sy = _mm256_set1_pd(m.sy);
  const __m256d uLo = _mm256_set1_pd(m.uLo), uHi = _mm256_set1_pd(m.uHi);
  const __m256d vLo = _mm256_set1_pd(m.vLo), vHi = _mm256_set1_pd(m.vHi);
  const __m256d left = _mm256_set1_pd(m.left), bottom = _mm256_set1_pd(m.bottom);
  const __m256d half = _mm256_set1_pd(0.5);
  const __m256d lim = _mm256_set1_pd(CGraph::kCoordinateLimit);
  const __m128i leftI = _mm_set1_epi32(static_cast<int>(m.left));
  const __m128i bottomI = _mm_set1_epi32(static_cast<int>(m.bottom));
  size_t k = 0, i = 0;
  for (; i + 4 <= n; i += 4) {
    const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(i) * stride;
    const bool more = i + 4 < n;
    const __m256d a = LoadColumn4(u + at, stride, more), b = LoadColumn4(v + at, stride, more);
    const __m256d inside = _mm256_and_pd(
        _mm256_and_pd(_mm256_cmp_pd(a, uLo, _CMP_GE_OQ), _mm256_cmp_pd(a, uHi, _CMP_LE_OQ)),
        _mm256_and_pd(_mm256_cmp_pd(b, vLo, _CMP_GE_OQ), _mm256_cmp_pd(b, vHi, _CMP_LE_OQ)));
    const int bits = _mm256_movemask_pd(inside);
    if (bits == 0) continue;
    __m256d fx, fy;
    if (m.rounded) {
      fx = _mm256_add_pd(_mm256_add_pd(_mm256_div_pd(_mm256_sub_pd(a, x0), sx), left), half);
      fy = _mm256_add_pd(_mm256_div_pd(_mm256_sub_pd(b, y0), sy), half);
    } else {
      fx = _mm256_div_pd(_mm256_sub_pd(a, x0), sx);
      fy = _mm256_sub_pd(bottom, _mm256_div_pd(_mm256_sub_pd(b, y0), sy));
    }
    __m128i jx = _mm256_cvttpd_epi32(Clamp(fx, lim));
    __m128i jy = _mm256_cvttpd_epi32(Clamp(fy, lim));
    if (m.rounded)
      jy = _mm_sub_epi32(bottomI, jy);
    else
      jx = _mm_add_epi32(jx, leftI);
    if (bits != 15) {
      // Pack the inside lanes to the front; the lanes after them are
      // overwritten by the next store (k + 4 <= i + 4 <= n).
      const __m128i order = _mm_load_si128(reinterpret_cast<const __m128i*>(kPackLanes[bits]));
      jx = _mm_castps_si128(_mm_permutevar_ps(_mm_castsi128_ps(jx), order));
      jy = _mm_castps_si128(_mm_permutevar_ps(_mm_castsi128_ps(jy), order));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(px + k), jx);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(py + k), jy);
    k += static_cast<size_t>(__builtin_popcount(static_cast<unsigned>(bits)));
  }
  if (i < n) {
    const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(i) * stride;
    k += MapInsideBlockPortable(u + at, v + at, stride, n - i, m, px + k, py + k);
  }
  return k;
}

OLM_TARGET_V3 void Log10BlockV3(const double* x, std::ptrdiff_t stride, size_t n,
                                const CLogAxisBlock& axis, double* out) {
  const CLogBlockSetup setup(axis);
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const double* p = x + static_cast<std::ptrdiff_t>(i) * stride;
    M4 exact;
    const V4 l = setup.Log(reinterpret_cast<V4>(LoadColumn4(p, stride, i + 4 < n)), exact);
    _mm256_storeu_pd(out + i, reinterpret_cast<__m256d>(l));
    if (int bits = _mm256_movemask_pd(reinterpret_cast<__m256d>(exact)))
      for (; bits; bits &= bits - 1) {
        const int j = __builtin_ctz(static_cast<unsigned>(bits));
        out[i + static_cast<size_t>(j)] = std::log10(p[j * stride]);
      }
  }
  for (; i < n; ++i) out[i] = std::log10(x[static_cast<std::ptrdiff_t>(i) * stride]);
}

bool HasX86_64V3() {
  static const bool has = __builtin_cpu_supports("x86-64-v3");
  return has;
}

}  // namespace

#endif

void Log10Block(const double* x, std::ptrdiff_t stride, size_t n, const CLogAxisBlock& axis,
                double* out) {
#if OLM_PLOT_AVX2
  if (HasX86_64V3()) return Log10BlockV3(x, stride, n, axis, out);
#endif
  Log10BlockPortable(x, stride, n, axis, out);
}

size_t MapInsideBlock(const double* u, const double* v, std::ptrdiff_t stride, size_t n,
                      const CBlockMapping& m, int* px, int* py) {
#if OLM_PLOT_AVX2
  if (HasX86_64V3()) return MapInsideBlockV3(u, v, stride, n, m, px, py);
#endif
  return MapInsideBlockPortable(u, v, stride, n, m, px, py);
}

template class CAxisGraph<double, false, false>;
template class CAxisGraph<double, true, false>;
template class CAxisGraph<double, false, true>;
template class CAxisGraph<double, true, true>;

void CGraph::SetPlacement(double left, double top, double right, double bottom) {
  m_placeLeft = left;
  m_placeTop = top;
  m_placeRight = right;
  m_placeBottom = bottom;
}

void CGraph::Layout(const CDeviceRect& rect, const CGraphFontMeasures& measures) {
  m_measures = measures;
  const double w = rect.Width(), h = rect.Height();
  m_plotRect.left = static_cast<int>(rect.left + m_placeLeft * w);
  m_plotRect.top = static_cast<int>(rect.top + m_placeTop * h);
  m_plotRect.right = static_cast<int>(rect.right - (1.0 - m_placeRight) * w);
  m_plotRect.bottom = static_cast<int>(rect.bottom - (1.0 - m_placeBottom) * h);
  m_frame.left = m_plotRect.left + 9 * measures.charWidth;
  m_frame.top = m_plotRect.top + 2 * measures.titleLineHeight;
  m_frame.bottom = m_plotRect.bottom - 3 * measures.lineHeight;
  m_frame.right =
      m_plotRect.right - 3 * measures.charWidth - (showLegend ? measures.legendWidth : 0);
  // A drawing rectangle too small for the margins still gets a frame of one
  // pixel, so that the scales stay finite.
  if (m_frame.right <= m_frame.left) m_frame.right = m_frame.left + 1;
  if (m_frame.bottom <= m_frame.top) m_frame.bottom = m_frame.top + 1;
  UpdateScales();
}

void CGraph::UpdateScales() {
  m_xScale = (m_xMax - m_xMin) / m_frame.Width();
  m_yScale = (m_yMax - m_yMin) / m_frame.Height();
}

void CGraph::SetTicks(int xTicks, int yTicks, int ticksPerLabel) {
  m_xTicks = std::max(1, xTicks);
  m_yTicks = std::max(1, yTicks);
  m_ticksPerLabel = std::max(1, ticksPerLabel);
}

void CGraph::SetGridDivisions(int x, int y) {
  m_xGridDivisions = std::max(1, x);
  m_yGridDivisions = std::max(1, y);
}

void CGraph::SetGridLines(bool vertical, bool horizontal) {
  m_verticalGrid = vertical;
  m_horizontalGrid = horizontal;
}

void CGraph::SetAxisFormats(const std::string& x, const std::string& y) {
  m_xFormat = IsSafeAxisFormat(x) ? x : "%-g";
  m_yFormat = IsSafeAxisFormat(y) ? y : "%-g";
}

int CGraph::PrintLineWidthFactor(int width, int height, int resolutionX, int resolutionY) {
  const long long resolution = static_cast<long long>(resolutionX) + resolutionY;
  if (resolution <= 0) return 1;
  const long long f = (static_cast<long long>(width) + height) / resolution;
  return f < 1 ? 1 : f > 1000 ? 1000 : static_cast<int>(f);
}

void CGraph::SetPrinting(bool printing, int lineWidthFactor) {
  m_printing = printing;
  m_lineWidthFactor = std::max(1, lineWidthFactor);
}

int CGraph::MajorTickLength() const {
  return std::max(4, m_measures.lineHeight / 7);
}

int CGraph::MinorTickLength() const {
  return std::max(2, m_measures.lineHeight / 14);
}

// ---------------------------------------------------------------------------
// Marks.

CAxisMarks CGraph::LinearMarks(bool xAxis) const {
  CAxisMarks marks;
  const int n = xAxis ? m_xTicks : m_yTicks;
  const double lo = xAxis ? m_xMin : m_yMin, hi = xAxis ? m_xMax : m_yMax;
  const int extent = xAxis ? m_frame.Width() : m_frame.Height();
  const std::string& format = xAxis ? m_xFormat : m_yFormat;
  for (int i = 0; i <= n; ++i) {
    const int offset = static_cast<int>(static_cast<double>(i) * extent / n + 0.5);
    const int pos = xAxis ? m_frame.left + offset : m_frame.bottom - offset;
    const bool major = i % m_ticksPerLabel == 0;
    marks.ticks.push_back({pos, major});
    if (!major) continue;
    double value = lo + i * (hi - lo) / n;
    if (std::fabs(value) < 1e-12 * std::fabs(hi - lo)) value = 0.0;
    marks.labels.push_back({pos, value, FormatAxisValue(format, value)});
  }
  return marks;
}

CAxisMarks CGraph::LogMarks(bool xAxis) const {
  CAxisMarks marks;
  const double lo = xAxis ? m_xMin : m_yMin, hi = xAxis ? m_xMax : m_yMax;
  const std::string& format = xAxis ? m_xFormat : m_yFormat;
  constexpr double kEps = 1e-6;
  const auto map = [&](double t) { return xAxis ? MapU(t - lo) : MapV(t - lo); };
  // Decades start at the window minimum; at most a few hundred are drawn.
  for (int d = 1; d <= 400 && lo + d - 1 <= hi + kEps; ++d) {
    const double start = lo + d - 1;
    marks.labels.push_back({map(start), std::pow(10.0, lo) * std::pow(10.0, d - 1),
                            FormatAxisValue(format, std::pow(10.0, lo) * std::pow(10.0, d - 1))});
    for (int k = 1; k <= 9; ++k) {
      const double t = start + std::log10(static_cast<double>(k));
      if (t > hi + kEps) break;
      // The ends of the window lie on the frame.
      if (t < lo + kEps || t > hi - kEps) continue;
      marks.ticks.push_back({map(t), k == 1});
    }
  }
  return marks;
}

CAxisMarks CGraph::XAxisMarks() const {
  return m_xLog ? LogMarks(true) : LinearMarks(true);
}

CAxisMarks CGraph::YAxisMarks() const {
  return m_yLog ? LogMarks(false) : LinearMarks(false);
}

std::vector<int> CGraph::GridLines(bool xAxis) const {
  std::vector<int> lines;
  if (xAxis ? m_xLog : m_yLog) {
    for (const CAxisTick& t : LogMarks(xAxis).ticks) lines.push_back(t.position);
  } else if (xAxis ? m_verticalGrid : m_horizontalGrid) {
    const int n = xAxis ? m_xGridDivisions : m_yGridDivisions;
    const int extent = xAxis ? m_frame.Width() : m_frame.Height();
    for (int i = 1; i < n; ++i) {
      const int offset = static_cast<int>(static_cast<double>(i) * extent / n + 0.5);
      lines.push_back(xAxis ? m_frame.left + offset : m_frame.bottom - offset);
    }
  }
  return lines;
}

// ---------------------------------------------------------------------------
// Drawing.

void CGraph::DrawBackground(IPlotCanvas& canvas, const CDeviceRect& rect) const {
  canvas.FillRect(rect, m_appearance.background);
}

void CGraph::DrawGrid(IPlotCanvas& canvas) const {
  canvas.SetPen({kPenDot, 1, m_appearance.gridColour});
  for (int x : VerticalGridLines()) {
    if (x <= m_frame.left || x >= m_frame.right) continue;
    canvas.Line(x, m_frame.top + 1, x, m_frame.bottom - 1);
  }
  for (int y : HorizontalGridLines()) {
    if (y <= m_frame.top || y >= m_frame.bottom) continue;
    canvas.Line(m_frame.left + 1, y, m_frame.right - 1, y);
  }
}

void CGraph::DrawXAxis(IPlotCanvas& canvas) const {
  const CAxisMarks marks = XAxisMarks();
  const int out = m_appearance.ticksOutside ? 1 : -1;
  const int major = MajorTickLength(), minor = MinorTickLength();
  canvas.SetPen({kPenSolid, LineWidthFactor(), m_appearance.frameColour});
  for (const CAxisTick& t : marks.ticks)
    canvas.Line(t.position, m_frame.bottom, t.position,
                m_frame.bottom + out * (t.major ? major : minor));
  CFontSpec font = m_appearance.numberFont;
  font.escapement = m_appearance.xLabelRotation;
  const int top =
      m_frame.bottom + (m_appearance.ticksOutside ? major : 0) + m_measures.lineHeight / 5;
  const int align =
      font.escapement != 0 ? (kAlignRight | kAlignVCenter) : (kAlignHCenter | kAlignTop);
  for (const CAxisLabel& l : marks.labels)
    canvas.Text(l.position, top, l.text, font, m_appearance.numberColour, align);
}

void CGraph::DrawYAxis(IPlotCanvas& canvas) const {
  const CAxisMarks marks = YAxisMarks();
  const int out = m_appearance.ticksOutside ? 1 : -1;
  const int major = MajorTickLength(), minor = MinorTickLength();
  canvas.SetPen({kPenSolid, LineWidthFactor(), m_appearance.frameColour});
  for (const CAxisTick& t : marks.ticks)
    canvas.Line(m_frame.left, t.position, m_frame.left - out * (t.major ? major : minor),
                t.position);
  const int right = m_frame.left - (m_appearance.ticksOutside ? major : 0) -
                    std::max(2, m_measures.charWidth / 2);
  for (const CAxisLabel& l : marks.labels)
    canvas.Text(right, l.position, l.text, m_appearance.numberFont, m_appearance.numberColour,
                kAlignRight | kAlignVCenter);
}

void CGraph::DrawFrame(IPlotCanvas& canvas) const {
  const CGraphAppearance& a = m_appearance;
  canvas.SetPen({kPenSolid, LineWidthFactor(), a.frameColour});
  canvas.SetBrush(false);
  canvas.Rectangle(m_frame);
  const int centreX = (m_frame.left + m_frame.right) / 2;
  const int centreY = (m_frame.top + m_frame.bottom) / 2;
  if (!a.title.empty())
    canvas.Text(centreX, m_frame.top - m_measures.titleLineHeight / 2, a.title, a.titleFont,
                a.titleColour, kAlignHCenter | kAlignBottom);
  if (!a.xTitle.empty()) {
    // Below the numbers: tick, a fifth of a line, the numbers, a third of a line.
    const int top = m_frame.bottom + (a.ticksOutside ? MajorTickLength() : 0) +
                    m_measures.lineHeight / 5 + m_measures.lineHeight + m_measures.lineHeight / 3;
    canvas.Text(centreX, top, a.xTitle, a.axisTitleFont, a.xTitleColour, kAlignHCenter | kAlignTop);
  }
  if (!a.yTitle.empty()) {
    // Left of the widest y number.
    int widest = 0;
    for (const CAxisLabel& l : YAxisMarks().labels)
      widest = std::max(widest, canvas.TextWidth(l.text, a.numberFont));
    const int right = m_frame.left - (a.ticksOutside ? MajorTickLength() : 0) -
                      std::max(2, m_measures.charWidth / 2) - widest - m_measures.lineHeight / 2;
    CFontSpec font = a.yTitleFont;
    font.escapement = 900;
    canvas.Text(right, centreY, a.yTitle, font, a.yTitleColour, kAlignHCenter | kAlignBottom);
  }
  if (!a.yRightTitle.empty()) {
    CFontSpec font = a.yTitleFont;
    font.escapement = 900;
    canvas.Text(m_frame.right + m_measures.charWidth, centreY, a.yRightTitle, font,
                a.yRightTitleColour, kAlignHCenter | kAlignTop);
  }
}

void CGraph::DrawZeroLines(IPlotCanvas& canvas, bool showX, bool showY) const {
  canvas.SetPen({kPenSolid, LineWidthFactor(), m_appearance.zeroLineColour});
  if (showX && !m_yLog && m_yMin <= 0.0 && 0.0 <= m_yMax) {
    const CDevicePoint a = WorldToDevice(XMin(), 0.0), b = WorldToDevice(XMax(), 0.0);
    canvas.Line(a.x, a.y, b.x, b.y);
  }
  if (showY && !m_xLog && m_xMin <= 0.0 && 0.0 <= m_xMax) {
    const CDevicePoint a = WorldToDevice(0.0, YMin()), b = WorldToDevice(0.0, YMax());
    canvas.Line(a.x, a.y, b.x, b.y);
  }
}

void CGraph::DrawLegend(IPlotCanvas& canvas) const {
  if (!showLegend || legend.empty()) return;
  const CFontSpec& font = m_appearance.legendFont;
  const CTextMetrics tm = canvas.Metrics(font);
  const int lineHeight = std::max(1, tm.LineHeight());
  const int sample = 3 * std::max(1, tm.averageCharWidth);
  const int left = m_frame.right + 2 * m_measures.charWidth;
  int y = m_frame.top + lineHeight / 2;
  for (const CGraphLegendEntry& e : legend) {
    CPenSpec pen = e.pen;
    pen.width *= LineWidthFactor();
    canvas.SetPen(pen);
    canvas.Line(left, y, left + sample, y);
    if (e.markerKind > 0)
      DrawMarker(canvas, {left + sample / 2, y}, e.markerKind, markerSize, e.pen.colour);
    canvas.Text(left + sample + tm.averageCharWidth, y, e.text, font, e.pen.colour,
                kAlignLeft | kAlignVCenter);
    y += lineHeight + lineHeight / 4;
  }
}

}  // namespace olm
