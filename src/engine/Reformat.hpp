#pragma once
// Resampling of a block of rows of a data matrix.
#include "engine/Database.hpp"

namespace olm {

// Replaces rows firstRow..lastRow of m by `points` rows whose xCol values are
// evenly spaced from the block's first to its last x; every other column is
// interpolated linearly between the two block rows that bracket the new x
// (the block is expected in ascending x; outside its range the nearest end
// row is used).  When fit is given, column yCol takes the fitted curve's
// value at the new x instead.  Rows outside the block are kept, shifted so the
// block occupies `points` rows.  Fails with code 41 for fewer than 1 point and
// code 42 for a matrix of fewer than 2 columns; false too for a block that is
// not inside the matrix.  More than kMaxReformatPoints points, or a result
// that does not fit in memory, is refused with a message before anything
// changes.
constexpr int kMaxReformatPoints = 1000000;

// The number of points a reformat or a best-fit curve may ask for: 1 to
// kMaxReformatPoints; otherwise false after code 41 (below 1) or a message
// naming the limit.
bool CheckReformatPoints(int points);
bool Reformat(CMatrix<double>& m, int firstRow, int lastRow, int xCol, int points,
              const CFitSpec* fit = nullptr, int yCol = 0);

}  // namespace olm
