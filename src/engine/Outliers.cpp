// Outlier removal of one zone: the Chauvenet criterion.
#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/EngineError.hpp"
#include "engine/Statistics.hpp"
#include "engine/ZoneProcessing.hpp"

namespace olm {

namespace {

// One pass over the zone's rows as taken from the raw data: the mean and
// sample deviation of y decide which points stay; they are not recomputed
// after removal.  A deviation of 0 (all y equal) or a NaN leaves every ratio
// undefined, so no point passes the test and all become outliers.
void Chauvenet(CZone& zone, int xCol, int yCol) {
  const int n = zone.pointCount;
  CMatrix<double>& work = zone.workingPoints;
  double mean = 0.0;
  for (int i = 1; i <= n; ++i) mean += work(i, yCol);
  mean /= n;
  double squares = 0.0;
  for (int i = 1; i <= n; ++i) squares += (work(i, yCol) - mean) * (work(i, yCol) - mean);
  const double s = std::sqrt(squares / (n - 1));
  const double limit = ChauvenetRatio(n) * s;  // |y - m| / s <= k  <=>  |y - m| <= k s
  const bool defined = s > 0.0 && std::isfinite(s);

  // Kept rows move to the front with all their columns.  Row i is read
  // before anything is written to it (rows are only ever moved forward), so
  // the removed points' x and y are taken as they are met.
  const int cols = work.GetColumns();
  std::vector<std::pair<double, double>> removed;
  int kept = 0;
  for (int i = 1; i <= n; ++i) {
    if (defined && std::fabs(work(i, yCol) - mean) <= limit) {
      ++kept;
      if (kept != i) std::copy(work.Row(i), work.Row(i) + cols, work.Row(kept));
    } else {
      removed.emplace_back(work(i, xCol), work(i, yCol));
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
  for (const auto& [x, y] : removed) {
    ++row;
    zone.outlierPoints(row, xCol) = x;
    zone.outlierPoints(row, yCol) = y;
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
