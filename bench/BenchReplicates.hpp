#pragma once
// Replicates built in memory for the benchmark programs.
#include <cmath>
#include <cstdint>
#include <string>

#include "engine/Database.hpp"

namespace olm::bench {

// A new replicate with `columns` columns, x and y in the given columns and
// a raw matrix of `points` rows for the caller to fill.
inline CReplicate& AddSizedReplicate(CReplicateDB& db, const std::string& title, int columns,
                                     int xColumn, int yColumn, int points) {
  CReplicate& rep = db.Replicate(db.AddReplicate());
  rep.SetTitle(title);
  rep.columnCount = columns;
  rep.ResizeColumnTexts(columns);
  rep.SetXYColumns(xColumn, yColumn);
  rep.pointCount = points;
  rep.raw.SetSize(points, columns);
  return rep;
}

// Adds `curves` tensile-like curves of `points` points with noise, shown as
// raw curves, for the plot benchmarks: a steep elastic rise, hardening and
// necking, above zero for the log axes.  The same numbers on every run
// (xorshift noise with a fixed seed).
inline void AddTensileCurves(CReplicateDB& db, int curves, int points) {
  uint64_t state = 88172645463325252ull;
  for (int r = 1; r <= curves; ++r) {
    CReplicate& rep = AddSizedReplicate(db, "Specimen " + std::to_string(r), 2, 1, 2, points);
    const double scale = 1.0 + 0.03 * r;
    for (int i = 1; i <= points; ++i) {
      state ^= state << 13, state ^= state >> 7, state ^= state << 17;
      const double noise = (static_cast<double>(state >> 11) * 0x1p-53 - 0.5) * 8.0;
      const double x = 0.2 * i / points + 1e-5;
      const double y = x < 0.002 ? 2e5 * x : 400 * std::pow(x / 0.002, 0.12) * (1 - 3 * x * x);
      double* row = rep.raw.Row(i);
      row[0] = x;
      row[1] = scale * y + noise + 5.0;
    }
    db.plotSettings.SetShown(r, kCurveRaw, true);
  }
}

}  // namespace olm::bench
