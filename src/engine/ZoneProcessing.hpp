#pragma once
// The per-zone stages of an analysis run.  Each works on one zone's working
// points in place, with the replicate's x and y column numbers, reports its
// own failure through CEngineError (or a plain message) and returns false.
#include "engine/Database.hpp"

namespace olm {

// Outlier removal on the zone's raw points: kept rows go to the front of the
// working points, the zone's point count becomes the number kept, removed
// points go to the zone's outlier points.  Method 0 only zeroes the count.
bool RemoveOutliers(CZone& zone, int xCol, int yCol);

// Smooths the y column of the zone's working points (rows 1..point count)
// with the zone's smoothing spec.  Method 0 leaves them unchanged.
bool SmoothZone(CZone& zone, int xCol, int yCol);

// Fits the zone's working points with its fit settings: stores the coefficients
// with them and writes x and the fitted y into the zone's fit points.
bool FitZone(CZone& zone, int xCol, int yCol);

// The fitted curve of a spec at x: y and dy/dx (either pointer may be null).
// False when the curve is not defined there (a logarithm at x <= 0, a power
// of x <= 0 that has none, an overflow): y or dy/dx is then not finite.
bool EvaluateFit(const CFitSpec& spec, double x, double* y, double* dydx);

}  // namespace olm
