// Descriptive statistics, the Chauvenet ratio table and outlier removal.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "TestSupport.hpp"
#include "engine/Statistics.hpp"
#include "engine/ZoneProcessing.hpp"

namespace olm::test {
namespace {

TEST(StatisticsTest, MedianMeanExtremesAndPopulationDeviation) {
  struct Case {
    std::vector<double> v;
    double median, mean, minimum, maximum, deviation;
  };
  const Case cases[] = {// Squares of the deviations 16+16+4+4+0 = 40 over 5.
                        {{9, 1, 5, 3, 7}, 5.0, 5.0, 1.0, 9.0, std::sqrt(8.0)},
                        // An even count takes the mean of the two middle values; deviations
                        // -3.5 -0.5 -1.5 5.5: squares 12.25 + 0.25 + 2.25 + 30.25 = 45 over 4.
                        {{4, 1, 3, 10}, 3.5, 4.5, 1.0, 10.0, 1.5 * std::sqrt(5.0)},
                        {{2.5}, 2.5, 2.5, 2.5, 2.5, 0.0}};
  for (const Case& c : cases) {
    CDescriptiveStatistics s;
    ASSERT_TRUE(ComputeStatistics(c.v, s));
    EXPECT_EQ(s.count, static_cast<int>(c.v.size()));
    ExpectAllNear({s.median, s.mean, s.minimum, s.maximum, s.standardDeviation},
                  {c.median, c.mean, c.minimum, c.maximum, c.deviation}, 1e-14);
  }
  CDescriptiveStatistics s;
  ASSERT_TRUE(ComputeStatistics(CVector<double>(2, 1.5), s));  // the CVector overload
  EXPECT_EQ(std::pair(s.median, s.standardDeviation), std::pair(1.5, 0.0));
  s.mean = 7;
  EXPECT_FALSE(ComputeStatistics(std::vector<double>{}, s));
  EXPECT_EQ(std::pair(s.count, s.mean), std::pair(0, 0.0));
  std::vector<double> withNaN = {1, std::numeric_limits<double>::quiet_NaN(), 3};
  double m = 9;
  EXPECT_FALSE(MedianInPlace(withNaN, m));
  std::vector<double> w = {8, 2, 6, 4};
  ASSERT_TRUE(MedianInPlace(w, m));
  EXPECT_DOUBLE_EQ(m, 5.0);
}

TEST(StatisticsTest, ColumnRangeOverTheFirstRowsOnly) {
  CMatrix<double> m(4, 2);
  for (int i = 1; i <= 4; ++i) m(i, 1) = i, m(i, 2) = 10.0 - 3 * i;  // 7, 4, 1, -2
  double lo = -1, hi = -1;
  ASSERT_TRUE(ColumnRange(m, 3, 2, lo, hi));
  EXPECT_EQ(std::pair(lo, hi), std::pair(1.0, 7.0));
  ASSERT_TRUE(ColumnRange(m, 99, 2, lo, hi));  // no further than the matrix
  EXPECT_EQ(std::pair(lo, hi), std::pair(-2.0, 7.0));
  for (const auto& [rows, col] : {std::pair(0, 1), std::pair(4, 3), std::pair(4, 0)}) {
    EXPECT_FALSE(ColumnRange(m, rows, col, lo, hi)) << rows << " " << col;
    EXPECT_EQ(std::pair(lo, hi), std::pair(0.0, 0.0));
  }
}

TEST(StatisticsTest, ColumnRangeOfALongColumnIsTheOnePassResult) {
  // Long columns are taken in parts on several threads; wherever the parts
  // begin, ties keep the earlier value and a NaN counts only as the first.
  const int rows = 1000003;
  CMatrix<double> m(rows, 2);
  std::mt19937 gen(7);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  // Column 1: 0.0, then -0.0 (equal to it) on every row: the first 0.0 stays.
  for (int i = 1; i <= rows; ++i) m(i, 1) = i == 1 ? 0.0 : -0.0, m(i, 2) = value(gen);
  for (int i = 2; i <= rows; i += 997) m(i, 2) = std::nan("");
  const auto onePass = [&](int col) {
    double lo = m(1, col), hi = lo;
    for (int i = 2; i <= rows; ++i) lo = std::min(lo, m(i, col)), hi = std::max(hi, m(i, col));
    return std::pair(lo, hi);
  };
  double lo, hi;
  ASSERT_TRUE(ColumnRange(m, rows, 2, lo, hi));
  EXPECT_EQ(std::pair(lo, hi), onePass(2));
  ASSERT_TRUE(ColumnRange(m, rows, 1, lo, hi));
  EXPECT_FALSE(std::signbit(lo) || std::signbit(hi));
  m(1, 2) = std::nan("");  // a NaN as the first value is kept
  ASSERT_TRUE(ColumnRange(m, rows, 2, lo, hi));
  EXPECT_TRUE(std::isnan(lo) && std::isnan(hi));
}

TEST(StatisticsTest, ChauvenetRatioTableAndInterpolation) {
  // The segment from 100 restarts at 2.82, not at the 2.81 the one below aims for.
  const std::pair<int, double> table[] = {{4, 1.65},
                                          {5, 1.65},
                                          {6, 1.725},
                                          {7, 1.8},
                                          {10, 1.96},
                                          {15, 2.13},
                                          {20, 2.23},
                                          {25, 2.33},
                                          {40, 2.474},
                                          {50, 2.57},
                                          {75, 2.69},
                                          {99, 2.57 + 49 * 0.24 / 50},
                                          {100, 2.82},
                                          {200, 2.98},
                                          {300, 3.14},
                                          {400, 3.215},
                                          {500, 3.29},
                                          {1000, 3.29}};
  for (const auto& [n, k] : table) EXPECT_DOUBLE_EQ(ChauvenetRatio(n), k) << n;
  EXPECT_EQ(InterpolateRatio(5, 7, 1.8, 7, 2.0), 0.0);  // an empty segment
  EXPECT_EQ(InterpolateRatio(5, 8, 1.8, 7, 2.0), 0.0);
  EXPECT_DOUBLE_EQ(InterpolateRatio(6, 5, 1.0, 7, 2.0), 1.5);
}

// A zone as the pipeline leaves it before outlier removal: three columns
// (time, x, y), the working points holding the zone's raw rows.
CZone ZoneOf(const std::vector<double>& ys, int method = kOutliersChauvenet) {
  CZone zone;
  const int n = static_cast<int>(ys.size());
  zone.workingPoints.SetSize(n, 3);
  for (int i = 1; i <= n; ++i) {
    zone.workingPoints(i, 1) = 100.0 + i;  // time column
    zone.workingPoints(i, 2) = 0.5 * i;
    zone.workingPoints(i, 3) = ys[static_cast<size_t>(i - 1)];
  }
  zone.pointCount = n;
  zone.outlierCount = 7;  // left over from an earlier run
  zone.outliers.method = method;
  return zone;
}

TEST(ChauvenetTest, RemovesASpikeAndKeepsWholeRowsInOrder) {
  CRecordingUi ui;
  // 10 points: mean 14.5, sample sd sqrt(1826.5 / 9) = 14.25: the spike's ratio
  // 40.5 / 14.25 = 2.84 exceeds k(10) = 1.96, the others stay below 0.4.
  CZone zone = ZoneOf({10, 11, 9, 10, 10, 55, 11, 9, 10, 10});
  ASSERT_TRUE(RemoveOutliers(zone, 2, 3));
  EXPECT_EQ(std::pair(zone.pointCount, zone.outlierCount), std::pair(9, 1));
  // Row 6 was removed: rows 6..9 now hold what were rows 7..10, all columns.
  const auto& w = zone.workingPoints;
  EXPECT_EQ(std::tuple(w(5, 1), w(6, 1), w(6, 2), w(6, 3), w(9, 1)),
            std::tuple(105.0, 107.0, 3.5, 11.0, 110.0));
  ASSERT_EQ(zone.outlierPoints.GetRows(), 1);
  EXPECT_EQ(std::pair(zone.outlierPoints(1, 2), zone.outlierPoints(1, 3)), std::pair(3.0, 55.0));
  EXPECT_TRUE(ui.messages.empty());
}

// A point exactly k s from the mean stays: the last y of {0, 0, 0, 1, t} is
// moved, one double at a time, to where |t - m| equals k(5) s to the last
// bit (m the mean, s the sample deviation, summed in row order); the next
// double up is removed.
TEST(ChauvenetTest, PointAtExactlyTheCriticalRatioIsKept) {
  const auto excess = [](double t) {
    const double y[5] = {0, 0, 0, 1, t};
    double m = 0.0, squares = 0.0;
    for (double v : y) m += v;
    m /= 5;
    for (double v : y) squares += (v - m) * (v - m);
    return std::fabs(t - m) - ChauvenetRatio(5) * std::sqrt(squares / 4);
  };
  double lo = 1.0, hi = 100.0;  // kept at 1, removed at 100
  ASSERT_TRUE(excess(lo) < 0 && excess(hi) > 0);
  while (std::nextafter(lo, hi) < hi) {
    const double mid = lo + (hi - lo) / 2;
    (excess(mid) <= 0 ? lo : hi) = mid;
  }
  // Rounding makes the boundary ragged: look a few hundred doubles around it.
  double t = lo;
  for (int step = 0; step < 200; ++step) t = std::nextafter(t, 0.0);
  for (int step = 0; step < 400 && excess(t) != 0; ++step) t = std::nextafter(t, 100.0);
  ASSERT_EQ(excess(t), 0.0) << "no double at the boundary near " << lo;
  CRecordingUi ui;
  CZone at = ZoneOf({0, 0, 0, 1, t});
  ASSERT_TRUE(RemoveOutliers(at, 2, 3));
  EXPECT_EQ(std::pair(at.pointCount, at.outlierCount), std::pair(5, 0));
  double above = std::nextafter(t, 100.0);
  while (excess(above) <= 0) above = std::nextafter(above, 100.0);
  CZone beyond = ZoneOf({0, 0, 0, 1, above});
  ASSERT_TRUE(RemoveOutliers(beyond, 2, 3));
  EXPECT_EQ(std::pair(beyond.pointCount, beyond.outlierCount), std::pair(4, 1));
}

TEST(ChauvenetTest, SampleDeviationTableRatioAndSmallZones) {
  struct Case {
    std::vector<double> y;
    int method, left, removed;
  };
  const Case cases[] = {
      // N = 4, k = 1.65: mean 1, s = sqrt((1+1+1+9)/3) = 2; ratios 0.5 and 1.5: kept.
      {{0, 0, 0, 4}, kOutliersChauvenet, 4, 0},
      // N = 5, k = 1.65: mean 1, s = sqrt((4+16)/4) = sqrt 5; 4 / 2.236 = 1.789: removed.
      {{0, 0, 0, 0, 5}, kOutliersChauvenet, 4, 1},
      {{0, 0, 1e6}, kOutliersChauvenet, 3, 0},         // three points are never thinned
      {{5, 5, 5, 5, 5, 5}, kOutliersChauvenet, 0, 6},  // no spread: every point goes
      {{1, 2, 100, 1, 2}, kOutliersNone, 5, 0}};       // only clears the count
  for (const Case& c : cases) {
    CRecordingUi ui;
    CZone zone = ZoneOf(c.y, c.method);
    ASSERT_TRUE(RemoveOutliers(zone, 2, 3));
    EXPECT_EQ(std::pair(zone.pointCount, zone.outlierCount), std::pair(c.left, c.removed))
        << c.y.size();
    // The removed values are the last ones in these cases.
    for (int i = 1; i <= c.removed; ++i) EXPECT_EQ(zone.outlierPoints(i, 3), c.y.back());
    EXPECT_TRUE(ui.messages.empty());
  }
  CRecordingUi ui;
  CZone zone = ZoneOf({1, 2, 3, 4}, 2);
  EXPECT_FALSE(RemoveOutliers(zone, 2, 3));
  EXPECT_EQ(ui.Last(), "Invalid method for removing outliers.");
}

}  // namespace
}  // namespace olm::test
