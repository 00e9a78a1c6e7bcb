// Outlier removal of one zone: the Chauvenet criterion.
#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/EngineError.hpp"
#include "engine/Statistics.hpp"
#include "engine/ZoneProcessing.hpp"

namespace olm {

namespace {

// One pass: the mean and sample deviation of the zone's raw y decide which
// points stay; they are not recomputed after removal.  A deviation of 0 (all
// y equal) or a NaN leaves every ratio undefined, so no point passes the test
// and all become outliers.
void Chauvenet(CZone& zone, int xCol, int yCol) {
  const int n = zone.pointCount;
  const CMatrix<double>& raw = zone.rawPoints;
  double mean = 0.0;
  for (int i = 1; i <= n; ++i) mean += raw(i, yCol);
  mean /= n;
  double squares = 0.0;
  for (int i = 1; i <= n; ++i) squares += (raw(i, yCol) - mean) * (raw(i, yCol) - mean);
  const double s = std::sqrt(squares / (n - 1));
  const double limit = ChauvenetRatio(n) * s;  // |y - m| / s <= k  <=>  |y - m| <= k s
  const bool defined = s > 0.0 && std::isfinite(s);

  // Kept rows move to the front of the working points with all their
  // columns; the working points start as the same rows as the raw points.
  CMatrix<double>& work = zone.workingPoints;
  const int cols = work.GetColumns();
  std::vector<int> removed;
  int kept = 0;
  for (int i = 1; i <= n; ++i) {
    if (defined && std::fabs(raw(i, yCol) - mean) <= limit) {
      ++kept;
      if (kept != i) std::copy(work.Row(i), work.Row(i) + cols, work.Row(kept));
    } else {
      removed.push_back(i);
    }
  }
  zone.outlierCount = n - kept;
  zone.pointCount = kept;
  if (zone.outlierCount == 0) {
    zone.outlierPoints.SetSize(0, 0);
    return;
  }
  zone.outlierPoints.SetSize(zone.outlierCount, std::max({cols, xCol, yCol}));
  zone.outlierPoints.Set(0.0);
  int row = 0;
  for (int i : removed) {
    ++row;
    zone.outlierPoints(row, xCol) = raw(i, xCol);
    zone.outlierPoints(row, yCol) = raw(i, yCol);
  }
}

}  // namespace

bool RemoveOutliers(CZone& zone, int xCol, int yCol) {
  const COutlierMethodInfo* method = FindStored(kOutlierMethods, zone.outliers.method);
  if (!method) {
    CEngineError::Report(kErrOutlierMethod);
    return false;
  }
  switch (method->value) {
    case OutlierMethod::kNone:
      zone.outlierCount = 0;
      return true;
    case OutlierMethod::kChauvenet:
      // Three points or fewer are never thinned; nothing is left over from
      // an earlier run either.
      if (zone.pointCount <= 3) {
        zone.outlierCount = 0;
        return true;
      }
      Chauvenet(zone, xCol, yCol);
      return true;
  }
  return false;
}

}  // namespace olm
