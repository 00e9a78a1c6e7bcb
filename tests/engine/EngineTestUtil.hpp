#pragma once
// Builders of small databases for engine tests.
#include <initializer_list>
#include <utility>
#include <vector>

#include "engine/Database.hpp"

namespace olm::test {

// Adds an active replicate with columns x and y (x column 1, y column 2).
inline int AddXY(CReplicateDB& db, const std::vector<std::pair<double, double>>& points,
                 const char* title = "rep") {
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
