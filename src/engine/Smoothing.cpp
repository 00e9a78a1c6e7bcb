// Smoothing filters of one zone: the checks of each method, the passes of
// the moving median and the simple and polynomial moving averages, and the
// dispatch to local regression.
#include "engine/Smoothing.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/EngineError.hpp"
#include "engine/LocalRegression.hpp"
#include "engine/SavitzkyGolay.hpp"
#include "engine/ZoneProcessing.hpp"
#include "numerics/Simd.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

namespace {

constexpr int kMaxWindow = kMaxSmoothingWindow;

// out[i] = sum over j = -h..h of c[j + h] * w[i + j], divided by divisor, for
// i in [first, last).  Four outputs at a time, each summing its terms in the
// order j = -h..h.
OLM_CLONES void Convolve(const double* w, double* out, int first, int last, const double* c, int h,
                         double divisor) {
  using namespace simd;
  const V4 dv = Splat4(divisor);
  int i = first;
  for (; i + 4 <= last; i += 4) {
    V4 acc = Splat4(0.0);
    for (int j = -h; j <= h; ++j) acc += Splat4(c[j + h]) * Load4(w + i + j);
    const V4 r = acc / dv;
    std::memcpy(out + i, &r, sizeof r);
  }
  for (; i < last; ++i) {
    double sum = 0.0;
    for (int j = -h; j <= h; ++j) sum += c[j + h] * w[i + j];
    out[i] = sum / divisor;
  }
}

bool Repeats(const CSmoothingSpec& spec) {
  if (spec.repeats >= kMinRepeats && spec.repeats <= kMaxSmoothingRepeats) return true;
  CEngineError::Report(kErrRepeats);
  return false;
}

// The checks of a filter in their order; true when the passes may run.
bool Check(const CSmoothingFilterInfo& f, const CSmoothingSpec& spec, int count) {
  const int n = spec.points;
  if (!f.windowBeforeRepeats && !Repeats(spec)) return false;
  if (n < f.minWindow || n > f.maxWindow || (f.oddWindow && n % 2 != 1)) {
    CEngineError::Report(f.windowError);
    return false;
  }
  if (f.windowBeforeRepeats && !Repeats(spec)) return false;
  if (f.enabling.order) {
    const CPolynomialOrderInfo* order = FindPolynomialOrder(spec.order);
    if (!order) {
      CEngineError::Report(kErrPmaOrder);
      return false;
    }
    if (n < order->minWindow) {
      CEngineError::Report(f.windowError);
      return false;
    }
  }
  // Every point is fitted from n points of the zone.
  if (f.wholeWindow && count < n) {
    CEngineError::Report(kErrWindowTooLarge);
    return false;
  }
  return true;
}

}  // namespace

bool MedianPass(const double* w, double* out, int count, int window) {
  const int h = (window - 1) / 2, m = 2 * h + 1;
  std::copy(w, w + count, out);
  if (count < m || h < 1) return true;
  for (int i = 0; i < count; ++i)
    if (std::isnan(w[i])) {
      ShowMessage("Error in finding median value.", MessageKind::Information);
      return false;
    }
  // The window's values kept sorted; sliding replaces the value that leaves
  // by the one that enters and moves it to its place.
  double buf[kMaxWindow];
  std::copy(w, w + m, buf);
  std::sort(buf, buf + m);
  for (int i = h;; ++i) {
    out[i] = buf[h];
    if (i + h + 1 >= count) break;
    const double leaving = w[i - h], entering = w[i + h + 1];
    int p = static_cast<int>(std::lower_bound(buf, buf + m, leaving) - buf);
    if (entering > leaving) {
      while (p + 1 < m && buf[p + 1] < entering) {
        buf[p] = buf[p + 1];
        ++p;
      }
    } else {
      while (p > 0 && buf[p - 1] > entering) {
        buf[p] = buf[p - 1];
        --p;
      }
    }
    buf[p] = entering;
  }
  return true;
}

void SimpleAveragePass(const double* w, double* out, int count, int window) {
  const int h = (window - 1) / 2;
  // The largest symmetric window around i that fits, up to n points.
  const auto ends = [&](int i) {
    const int r = std::min({h, i, count - 1 - i});
    double sum = 0.0;
    for (int j = i - r; j <= i + r; ++j) sum += w[j];
    out[i] = sum / (2 * r + 1);
  };
  const int first = std::min(h, count), last = std::max(first, count - h);
  for (int i = 0; i < first; ++i) ends(i);
  static const double kOnes[kMaxWindow] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                           1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  Convolve(w, out, first, last, kOnes, h, 2 * h + 1);
  for (int i = last; i < count; ++i) ends(i);
}

void PolynomialAveragePass(const double* w, double* out, int count, int window, int order) {
  const int h = (window - 1) / 2, e = order == 5 ? 7 : 5;
  std::copy(w, w + count, out);
  // Points 1..e and N-e+1..N keep their values; full windows between
  // max(h, e) and N-1-max(h, e) (0-based), smaller symmetric windows between.
  const int edge = std::max(h, e);
  const auto partial = [&](int i) {
    const int r = std::min({h, i, count - 1 - i});
    const CSavitzkyGolaySet& set = SavitzkyGolaySet(2 * r + 1, order);
    double sum = 0.0;
    for (int j = -r; j <= r; ++j) sum += set.c[static_cast<size_t>(j + r)] * w[i + j];
    out[i] = sum / set.sum;
  };
  for (int i = e; i < std::min(edge, count - e); ++i) partial(i);
  const CSavitzkyGolaySet& full = SavitzkyGolaySet(2 * h + 1, order);
  if (edge < count - edge) Convolve(w, out, edge, count - edge, full.c.data(), h, full.sum);
  for (int i = std::max(count - edge, edge); i < count - e; ++i) partial(i);
}

bool SmoothValues(const CSmoothingSpec& spec, const double* x, double* y, int count,
                  CSmoothingWorkspace& ws) {
  const CSmoothingFilterInfo* f = FindStored(kSmoothingFilters, spec.method);
  if (!f) {
    CEngineError::Report(kErrSmoothingFilterName);
    return false;
  }
  if (f->value == SmoothingFilter::kNone) return true;
  if (!Check(*f, spec, count)) return false;
  const int n = spec.points;
  // `repeats` passes, each reading a copy w of the current values.
  const auto passes = [&](auto&& pass) {
    ws.w.resize(static_cast<size_t>(count));
    for (int p = 1; p <= spec.repeats; ++p) {
      std::copy(y, y + count, ws.w.begin());
      if (!pass(static_cast<const double*>(ws.w.data()))) return false;
    }
    return true;
  };
  switch (f->value) {
    case SmoothingFilter::kNone:
      return true;
    case SmoothingFilter::kMedian:
      return passes([&](const double* w) { return MedianPass(w, y, count, n); });
    case SmoothingFilter::kSimpleAverage:
      return passes([&](const double* w) {
        SimpleAveragePass(w, y, count, n);
        return true;
      });
    case SmoothingFilter::kPolynomialAverage:
      return passes([&](const double* w) {
        PolynomialAveragePass(w, y, count, n, spec.order);
        return true;
      });
    case SmoothingFilter::kLoess:
      return passes([&](const double* w) {
        LocalRegressionPass(x, w, y, count, n, 2);
        return true;
      });
    case SmoothingFilter::kLowess:
      return passes([&](const double* w) {
        LocalRegressionPass(x, w, y, count, n, 1);
        return true;
      });
    // The robust filters run their own passes.
    case SmoothingFilter::kRobustLoess:
      return RobustLocalRegression(x, y, count, n, 2, spec.repeats, ws);
    case SmoothingFilter::kRobustLowess:
      return RobustLocalRegression(x, y, count, n, 1, spec.repeats, ws);
  }
  return false;
}

bool SmoothZone(CZone& zone, int xCol, int yCol) {
  if (zone.smoothing.method == Info(SmoothingFilter::kNone).stored) return true;
  const int count = zone.pointCount;
  CSmoothingWorkspace ws;
  ws.x.resize(static_cast<size_t>(count));
  ws.y.resize(static_cast<size_t>(count));
  CMatrix<double>& m = zone.workingPoints;
  for (int i = 1; i <= count; ++i) {
    ws.x[static_cast<size_t>(i - 1)] = m(i, xCol);
    ws.y[static_cast<size_t>(i - 1)] = m(i, yCol);
  }
  const bool ok = SmoothValues(zone.smoothing, ws.x.data(), ws.y.data(), count, ws);
  // Also after a failure: the zone keeps what the filter got to.
  for (int i = 1; i <= count; ++i) m(i, yCol) = ws.y[static_cast<size_t>(i - 1)];
  return ok;
}

}  // namespace olm
