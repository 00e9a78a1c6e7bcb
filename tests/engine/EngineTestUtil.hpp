#pragma once
// Builders of small databases for engine tests.
#include <initializer_list>
#include <utility>
#include <vector>

#include "engine/Database.hpp"

namespace olm::test {

using XY = std::vector<std::pair<double, double>>;

// Adds an active replicate with columns x and y (x column 1, y column 2).
inline int AddXY(CReplicateDB& db, const XY& points, const char* title = "rep") {
  const int r = db.AddReplicate();
  CReplicate& rep = db.Replicate(r);
  rep.SetTitle(title);
  rep.columnCount = 2;
  rep.ResizeColumnTexts(2);
  rep.headings(1) = "x";
  rep.headings(2) = "y";
  rep.pointCount = static_cast<int>(points.size());
  rep.raw.SetSize(rep.pointCount, 2);
  for (int i = 1; i <= rep.pointCount; ++i) {
    rep.raw(i, 1) = points[static_cast<size_t>(i - 1)].first;
    rep.raw(i, 2) = points[static_cast<size_t>(i - 1)].second;
  }
  rep.SetXYColumns(1, 2);
  db.plotSettings.SetShown(r, kCurveRaw, true);
  return r;
}

// Adds a replicate of three columns (0.1 i, x, y) with one zone over
// [x.front(), x.back()].
inline CReplicate& AddCurve(CReplicateDB& db, const std::vector<double>& x,
                            const std::vector<double>& y) {
  CReplicate& rep = db.Replicate(db.AddReplicate());
  rep.SetTitle("curve");
  const int n = static_cast<int>(x.size());
  rep.columnCount = 3;
  rep.ResizeColumnTexts(3);
  rep.raw.SetSize(n, 3);
  for (int i = 1; i <= n; ++i) {
    rep.raw(i, 1) = 0.1 * i;
    rep.raw(i, 2) = x[static_cast<size_t>(i - 1)];
    rep.raw(i, 3) = y[static_cast<size_t>(i - 1)];
  }
  rep.pointCount = n;
  rep.SetXYColumns(2, 3);
  rep.SetZoneStart(1, x.front());
  rep.SetZoneEnd(1, x.back());
  return rep;
}

// Sets the zones of a replicate: {start, end} pairs, no processing.
inline void SetZones(CReplicate& rep, std::initializer_list<std::pair<double, double>> zones) {
  rep.zoneCount = static_cast<int>(zones.size());
  int z = 0;
  for (const auto& [s, e] : zones) {
    ++z;
    rep.SetZoneStart(z, s);
    rep.SetZoneEnd(z, e);
  }
}

}  // namespace olm::test
