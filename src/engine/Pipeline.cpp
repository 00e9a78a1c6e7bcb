// The analysis run: validate the zones, then smooth and fit every active
// replicate zone by zone, gather the zones' results into the replicate and
// lock the database.
#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/Database.hpp"
#include "engine/EngineError.hpp"
#include "engine/Statistics.hpp"
#include "engine/ZoneProcessing.hpp"
#include "numerics/Parallel.hpp"
#include "numerics/Progress.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

namespace {

// Maximum allowed distance between a zone's start and the previous zone's end.
constexpr double kZoneGapTolerance = 1e-6;

bool InZone(double x, double start, double end) {
  return start <= x && x <= end;
}

// R-squared of the working points against the fitted points.  SStot uses the
// mean of the fitted values.  When all values equal that mean SStot is 0 and
// the ratio is undefined: a zone reproduced exactly (SSres 0) then gets 1, any
// other 0, so no NaN or infinity is ever stored.
double RSquared(const CZone& zone, int yCol) {
  const int n = zone.pointCount;
  if (n < 1) return 0.0;
  double mean = 0.0;
  for (int i = 1; i <= n; ++i) mean += zone.fitPoints(i, yCol);
  mean /= n;
  double ssRes = 0.0, ssTot = 0.0;
  for (int i = 1; i <= n; ++i) {
    const double y = zone.workingPoints(i, yCol);
    const double r = y - zone.fitPoints(i, yCol);
    ssRes += r * r;
    ssTot += (y - mean) * (y - mean);
  }
  if (ssTot == 0.0 || !std::isfinite(ssTot)) return ssRes == 0.0 ? 1.0 : 0.0;
  const double r2 = 1.0 - ssRes / ssTot;
  return std::isfinite(r2) ? r2 : 0.0;
}

}  // namespace

namespace {
// Reports replicate r of n of a stage (two stages) and tells whether to stop.
bool Cancelled(IProgress* progress, int stage, int r, int n, const char* what) {
  if (!progress) return false;
  const double done = (stage + static_cast<double>(r) / std::max(n, 1)) / 2.0;
  progress->Report(done, Format("%s data set %d of %d", what, r, n));
  return progress->IsCancelled();
}
}  // namespace

bool CReplicateDB::Process(IProgress* progress) {
  if (!Validate()) return false;
  if (!SmoothAll(progress)) return false;
  // The extents are gathered once, after the last stage that ran: fitting
  // leaves the raw and smoothed data as smoothing left them.
  const bool fitted = FitAll(progress);
  ComputeExtents(true);
  if (fitted && progress) progress->Report(1.0, "Analysis complete");
  return fitted;
}

bool CReplicateDB::Validate() {
  int active = 0;
  for (int r = 1; r <= m_replicateCount; ++r) {
    const CReplicate& rep = Replicate(r);
    if (!rep.IsActive()) continue;
    ++active;
    if (rep.zoneCount == 0) {
      CEngineError::Report(kErrNoZones);
      return false;
    }
    double previousStart = 0.0, previousEnd = 0.0;
    int previous = 0;
    bool first = true;
    for (int z = 1; z <= rep.zoneCount; ++z) {
      const CZone& zone = rep.Zone(z);
      if (zone.fit.type == kFitNone && zone.smoothing.method == kSmoothNone) continue;
      const double start = rep.GetZoneStart(z), end = rep.GetZoneEnd(z);
      if (start == end) {
        CEngineError::Report(kErrSameStartEnd);
        return false;
      }
      // Gaps are measured from the previous checked zone; a zone without
      // smoothing or fit takes no part, so the first checked zone has no gap.
      // Zones that share more than a border are an overlap, not a gap.
      if (!first && std::min(std::max(start, end), std::max(previousStart, previousEnd)) -
                            std::max(std::min(start, end), std::min(previousStart, previousEnd)) >
                        kZoneGapTolerance) {
        ShowMessage(Format("Zones %d and %d overlap.", previous, z), MessageKind::Error);
        return false;
      }
      if (!first && std::fabs(start - previousEnd) > kZoneGapTolerance) {
        CEngineError::Report(kErrZoneGap);
        return false;
      }
      previousStart = start;
      previousEnd = end;
      previous = z;
      first = false;
    }
  }
  if (active == 0) {
    CEngineError::Report(kErrNoRawData);
    return false;
  }
  return true;
}

bool CReplicateDB::SmoothAll(IProgress* progress) {
  for (int r = 1; r <= m_replicateCount; ++r) {
    if (Cancelled(progress, 0, r - 1, m_replicateCount, "Smoothing")) return false;
    CReplicate& rep = Replicate(r);
    if (rep.IsActive() && !SmoothReplicate(rep)) return false;
  }
  smoothedFlag = 1;
  fittedFlag = 0;
  thirdFlag = 0;
  return true;
}

bool CReplicateDB::FitAll(IProgress* progress) {
  for (int r = 1; r <= m_replicateCount; ++r) {
    if (Cancelled(progress, 1, r - 1, m_replicateCount, "Fitting")) return false;
    CReplicate& rep = Replicate(r);
    if (rep.IsActive() && !FitReplicate(rep)) return false;
  }
  smoothedFlag = 1;
  fittedFlag = 1;
  thirdFlag = 0;
  return true;
}

bool CReplicateDB::SmoothReplicate(CReplicate& rep) {
  rep.smoothed = false;
  const int xc = rep.xColumn, yc = rep.yColumn, cols = rep.columnCount;
  const int rows = rep.raw.GetRows();
  std::vector<int> taken;
  int total = 0;
  for (int z = 1; z <= rep.zoneCount; ++z) {
    CZone& zone = rep.Zone(z);
    const double start = rep.GetZoneStart(z), end = rep.GetZoneEnd(z);
    if (zone.outliers.method == kOutliersNone && start == end) {
      // A skipped zone contributes nothing to this run.
      zone.pointCount = zone.outlierCount = 0;
      zone.smoothedArea = 0.0;
      continue;
    }
    taken.push_back(z);
    int count = 0;
    for (int i = 1; i <= rows; ++i) {
      if (!InZone(rep.raw(i, xc), start, end)) continue;
      ++count;
      // A NaN or infinite value would spread through the filters and fits
      // and come out as a misleading solver or median failure (or as an
      // infinite area): refused here, naming the point.
      if (!std::isfinite(rep.raw(i, xc)) || !std::isfinite(rep.raw(i, yc))) {
        ShowMessage(Format("Data set \"%s\", zone %d: the point on row %d is not a finite "
                           "number (x %g, y %g).",
                           rep.GetTitle().c_str(), z, i, rep.raw(i, xc), rep.raw(i, yc)),
                    MessageKind::Error);
        return false;
      }
    }
    if (count == 0) {
      CEngineError::Report(kErrZoneNoData);
      return false;
    }
    // Every element is written below: no zero fill.
    if (zone.workingPoints.GetRows() != count || zone.workingPoints.GetColumns() != cols)
      zone.workingPoints.SetSize(count, cols);
    zone.pointCount = count;
    if (count == rows) {
      // The zone takes every row: one block copy, in parts on several
      // threads for long curves (the fresh pages it fills cost more than
      // the copying).
      const double* from = rep.raw.Row(1);
      double* to = zone.workingPoints.Row(1);
      const size_t n = static_cast<size_t>(rows) * static_cast<size_t>(cols);
      ParallelRanges(n, kMinItemsPerThread, [&](size_t, size_t first, size_t last) {
        std::copy(from + first, from + last, to + first);
      });
    } else {
      double* dst = zone.workingPoints.Row(1);
      for (int i = 1; i <= rows; ++i) {
        const double* src = rep.raw.Row(i);
        if (!InZone(src[xc - 1], start, end)) continue;
        for (int c = 0; c < cols; ++c) dst[c] = src[c];
        dst += cols;
      }
    }
    if (!RemoveOutliers(zone, xc, yc)) return false;
    if (!SmoothZone(zone, xc, yc)) return false;
    zone.smoothedArea = TrapezoidArea(zone.workingPoints, zone.pointCount, xc, yc);
    total += zone.pointCount;
  }
  if (total == 0 && !taken.empty()) {
    CEngineError::Report(kErrZoneNoSmoothed);
    return false;
  }

  rep.smoothedCount = total;
  // The fitted curve is built by the fitting stage; until then there is none.
  rep.fitData.SetSize(0, 0);
  if (taken.size() == 1 && rep.Zone(taken.front()).workingPoints.GetRows() == total) {
    // One zone whose rows all stayed: its rows are the smoothed data.  The
    // zone's working points are refilled by the fitting stage.
    rep.smoothedData.Swap(rep.Zone(taken.front()).workingPoints);
  } else {
    // Every row is copied whole below: no zero fill.
    rep.smoothedData.SetSize(total, cols);
    int row = 0;
    for (int z : taken) {
      const CZone& zone = rep.Zone(z);
      for (int i = 1; i <= zone.pointCount; ++i) {
        ++row;
        std::copy(zone.workingPoints.Row(i), zone.workingPoints.Row(i) + cols,
                  rep.smoothedData.Row(row));
      }
    }
  }

  double rawLo, rawHi, smoothLo, smoothHi;
  ColumnRange(rep.raw, rows, yc, rawLo, rawHi);
  ColumnRange(rep.smoothedData, total, yc, smoothLo, smoothHi);
  for (int z = 1; z <= rep.zoneCount; ++z) {
    rep.rawYMin(z) = rawLo;
    rep.rawYMax(z) = rawHi;
    rep.smoothedYMin(z) = smoothLo;
    rep.smoothedYMax(z) = smoothHi;
  }

  int outlierTotal = 0;
  for (int z : taken) outlierTotal += rep.Zone(z).outlierCount;
  rep.outliers.SetSize(outlierTotal, cols);
  rep.outliers.Set(0.0);
  int row = 0;
  for (int z : taken) {
    const CZone& zone = rep.Zone(z);
    for (int i = 1; i <= zone.outlierCount; ++i) {
      ++row;
      rep.outliers(row, xc) = zone.outlierPoints(i, xc);
      rep.outliers(row, yc) = zone.outlierPoints(i, yc);
    }
  }
  rep.outlierCount = outlierTotal;
  rep.smoothed = true;

  rep.smoothedAreaTotal = 0.0;
  for (int z = 1; z <= rep.zoneCount; ++z) {
    rep.zoneSmoothedArea(z) = rep.Zone(z).smoothedArea;
    rep.smoothedAreaTotal += rep.Zone(z).smoothedArea;
  }
  return true;
}

bool CReplicateDB::FitReplicate(CReplicate& rep) {
  rep.fitted = false;
  const int xc = rep.xColumn, yc = rep.yColumn, cols = rep.columnCount;
  const int rows = rep.smoothedData.GetRows();
  int fittedRows = 0;
  for (int z = 1; z <= rep.zoneCount; ++z) {
    CZone& zone = rep.Zone(z);
    if (zone.fit.type == kFitNone) {
      // Without a fit a zone has no fitted area or R-squared in this run.
      zone.fittedArea = 0.0;
      zone.fitQuality = 0.0;
      continue;
    }
    const double start = rep.GetZoneStart(z), end = rep.GetZoneEnd(z);
    int count = 0;
    for (int i = 1; i <= rows; ++i)
      if (InZone(rep.smoothedData(i, xc), start, end)) ++count;
    if (count == 0) {
      CEngineError::Report(kErrZoneNoFitted);
      return false;
    }
    zone.workingPoints.SetSize(count, cols);
    zone.workingPoints.Set(0.0);
    zone.fitPoints.SetSize(count, cols);
    zone.fitPoints.Set(0.0);
    zone.work.SetSize(count);
    zone.work.Set(0.0);
    zone.pointCount = count;
    int k = 0;
    for (int i = 1; i <= rows; ++i) {
      const double x = rep.smoothedData(i, xc);
      if (!InZone(x, start, end)) continue;
      ++k;
      zone.workingPoints(k, xc) = zone.fitPoints(k, xc) = x;
      zone.workingPoints(k, yc) = zone.fitPoints(k, yc) = rep.smoothedData(i, yc);
    }
    if (!FitZone(zone, xc, yc)) return false;
    zone.fittedArea = TrapezoidArea(zone.fitPoints, count, xc, yc);
    zone.fitQuality = RSquared(zone, yc);
    fittedRows += count;
  }

  // The fitted curve holds exactly the fitted zones' points, zone after zone.
  rep.fitData.SetSize(fittedRows, cols);
  rep.fitData.Set(0.0);
  int row = 0;
  for (int z = 1; z <= rep.zoneCount; ++z) {
    const CZone& zone = rep.Zone(z);
    if (zone.fit.type == kFitNone) continue;
    for (int i = 1; i <= zone.pointCount; ++i) {
      ++row;
      rep.fitData(row, xc) = zone.fitPoints(i, xc);
      rep.fitData(row, yc) = zone.fitPoints(i, yc);
    }
  }
  double fitLo, fitHi;
  ColumnRange(rep.fitData, fittedRows, yc, fitLo, fitHi);
  for (int z = 1; z <= rep.zoneCount; ++z) {
    rep.fittedYMin(z) = fitLo;
    rep.fittedYMax(z) = fitHi;
  }
  rep.fitted = true;

  rep.fittedAreaTotal = 0.0;
  for (int z = 1; z <= rep.zoneCount; ++z) {
    const CZone& zone = rep.Zone(z);
    rep.fittedAreaTotal += zone.fittedArea;
    rep.zoneFittedArea(z) = zone.fittedArea;
    if (zone.fit.type == kFitNone) continue;
    const int n = std::min(zone.fit.CoefficientCount(), CReplicate::kMaxCoefficients);
    for (int c = 1; c <= n; ++c) rep.coefficients(c, z) = zone.fit.coefficients(c);
    rep.rSquared(z) = zone.fitQuality;
  }
  return true;
}

}  // namespace olm
