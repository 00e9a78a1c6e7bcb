#pragma once
// The best-fit curve over the shown curves of all replicates, and the search
// for the replicate whose curve passes nearest a point.
//
// Rules for what the curves themselves do not settle:
// - A curve's point list is its matrix rows (x and y columns) sorted by x;
//   points with equal x are merged into one with the mean of their y.
// - Raw and smoothed curves are resampled linearly between neighbouring list
//   points.  Below the first x and beyond the last x (the curve's reach,
//   which "Extend" and "Average" may pass) the curve keeps its end value.
// - A fitted curve is evaluated with the fit of the first fitted zone whose
//   [start, end] holds the grid x; elsewhere (gaps, or beyond the fitted
//   zones) its fitted points are resampled like a raw curve.
#include <string>

#include "engine/Database.hpp"

namespace olm {

// Builds the best-fit curve of `points` grid points from 0 to the reference
// reach of the end type (a stored number of kCurveEnds), stores it in the
// database's best-fit vectors and appends a replicate named `name` holding
// the grid, every resampled curve and their mean.  Refuses (false, with a
// message) for an unknown end type, when no curve is shown (code 40), when
// points < 1 (code 41) or when all 20 replicate slots are in use.
bool BuildBestFit(CReplicateDB& db, const std::string& name, int points, int endType);

// The rules of the "Best Fit Input" dialog, free of any widget.
class CBestFitForm {
 public:
  static constexpr int kMaxNameLength = 12;
  static constexpr int kMinPoints = 10;
  static constexpr int kMaxPoints = 100;
  static constexpr auto kEndTypes = ColumnOf(kCurveEnds, &CCurveEndInfo::choice);

  std::string name = "Untitled";  // "Data Set Name"
  int endIndex = 1;               // "Curve end type": entry of kEndTypes (Average)
  int points = 100;               // "# of data points"

  // The field checks of the dialog; shows the first failing one.
  bool Validate() const;
  // "Proceed": checks the fields, runs the best-fit procedure and reports
  // "Best fit procedure was successful" or "... was not successful".  True
  // when the database changed (the caller then marks the document modified).
  bool Proceed(CReplicateDB& db) const;
};

// The replicate whose raw (then smoothed, then fitted) curve has a point
// within tx, ty of (x, y), nearest first; 0 when there is none.  Only active
// replicates with the curve shown take part; equal distances go to the later
// point.
int FindReplicateAt(const CReplicateDB& db, double x, double y, double tx, double ty);

}  // namespace olm
