#pragma once
// Descriptive statistics of a column of values and the Chauvenet criterion
// table used by outlier removal.
#include <span>

#include "numerics/Containers.hpp"

namespace olm {

struct CDescriptiveStatistics {
  int count = 0;
  double minimum = 0.0;
  double maximum = 0.0;
  double mean = 0.0;
  double median = 0.0;
  double standardDeviation = 0.0;  // population form: divides by the count
};

// Maximum, minimum, mean, median (middle element of the sorted values, mean
// of the two middle ones for an even count) and population standard
// deviation.  An empty input gives false and a zeroed result.
bool ComputeStatistics(std::span<const double> values, CDescriptiveStatistics& out);
bool ComputeStatistics(const CVector<double>& values, CDescriptiveStatistics& out);

// Smallest and largest value of column col over the first rows rows of m
// (at most all of them).  False, with both 0, when there is no such value.
bool ColumnRange(const CMatrix<double>& m, int rows, int col, double& lo, double& hi);

// Median of values (reordered in place), the mean of the two middle elements
// for an even count.  False for an empty input or one holding a NaN, which
// has no order.
bool MedianInPlace(std::span<double> values, double& median);

// Linear interpolation between (a, ka) and (b, kb) at n; 0 when a >= b.
double InterpolateRatio(int n, int a, double ka, int b, double kb);

// The Chauvenet critical ratio k(N): 1.65 at N = 4, interpolated between the
// table's anchors up to 500 points, 3.29 from there on.  Below 4 points no
// point is ever removed and the value is 0.
double ChauvenetRatio(int n);

}  // namespace olm
