#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.hpp"
#include "engine/ZoneProcessing.hpp"

namespace olm::test {
namespace {

// A zone as the pipeline leaves it before outlier removal: three columns
// (time, x, y), raw points with x and y, working points with all columns.
void FillZone(CZone& zone, const std::vector<double>& ys) {
  const int n = static_cast<int>(ys.size());
  zone.rawPoints.SetSize(n, 3);
  zone.rawPoints.Set(0.0);
  zone.workingPoints.SetSize(n, 3);
  for (int i = 1; i <= n; ++i) {
    zone.workingPoints(i, 1) = 100.0 + i;  // time column
    zone.workingPoints(i, 2) = zone.rawPoints(i, 2) = 0.5 * i;
    zone.workingPoints(i, 3) = zone.rawPoints(i, 3) = ys[static_cast<size_t>(i - 1)];
  }
  zone.pointCount = n;
  zone.outliers.method = kOutliersChauvenet;
}

TEST(Chauvenet, RemovesASpikeAndKeepsWholeRowsInOrder) {
  CRecordingUi ui;
  CZone zone;
  // 10 points: mean 14.5, sample sd sqrt(1826.5 / 9) = 14.25: the spike's ratio
  // 40.5 / 14.25 = 2.84 exceeds k(10) = 1.96, the others stay below 0.4.
  FillZone(zone, {10, 11, 9, 10, 10, 55, 11, 9, 10, 10});
  ASSERT_TRUE(RemoveOutliers(zone, 2, 3));
  EXPECT_EQ(zone.pointCount, 9);
  EXPECT_EQ(zone.outlierCount, 1);
  // Row 6 was removed: rows 6..9 now hold what were rows 7..10, all columns.
  EXPECT_EQ(zone.workingPoints(5, 1), 105.0);
  EXPECT_EQ(zone.workingPoints(6, 1), 107.0);
  EXPECT_EQ(zone.workingPoints(6, 2), 3.5);
  EXPECT_EQ(zone.workingPoints(6, 3), 11.0);
  EXPECT_EQ(zone.workingPoints(9, 1), 110.0);
  ASSERT_EQ(zone.outlierPoints.GetRows(), 1);
  EXPECT_EQ(zone.outlierPoints(1, 2), 3.0);
  EXPECT_EQ(zone.outlierPoints(1, 3), 55.0);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(Chauvenet, KeepTestUsesTheSampleDeviationAndTheTableRatio) {
  // N = 4, k = 1.65: y = 0, 0, 0, 4: mean 1, s = sqrt((1+1+1+9)/3) = 2;
  // ratios 0.5, 0.5, 0.5, 1.5 -> all kept.
  CZone keep;
  FillZone(keep, {0, 0, 0, 4});
  ASSERT_TRUE(RemoveOutliers(keep, 2, 3));
  EXPECT_EQ(keep.pointCount, 4);
  EXPECT_EQ(keep.outlierCount, 0);
  // N = 5, k = 1.65: y = 0, 0, 0, 0, 5: mean 1, s = sqrt((4+16)/4) = sqrt 5;
  // the last ratio 4 / 2.236 = 1.789 > 1.65 -> removed.
  CZone drop;
  FillZone(drop, {0, 0, 0, 0, 5});
  ASSERT_TRUE(RemoveOutliers(drop, 2, 3));
  EXPECT_EQ(drop.pointCount, 4);
  EXPECT_EQ(drop.outlierCount, 1);
}

TEST(Chauvenet, ThreePointsAreNeverThinned) {
  CZone zone;
  FillZone(zone, {0, 0, 1e6});
  zone.outlierCount = 7;  // left over from an earlier run
  ASSERT_TRUE(RemoveOutliers(zone, 2, 3));
  EXPECT_EQ(zone.pointCount, 3);
  EXPECT_EQ(zone.outlierCount, 0);
}

TEST(Chauvenet, IdenticalValuesMakeEveryPointAnOutlier) {
  CRecordingUi ui;
  CZone zone;
  FillZone(zone, {5, 5, 5, 5, 5, 5});
  ASSERT_TRUE(RemoveOutliers(zone, 2, 3));
  EXPECT_EQ(zone.pointCount, 0);
  EXPECT_EQ(zone.outlierCount, 6);
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(zone.outlierPoints(i, 3), 5.0);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(Chauvenet, MethodNoneOnlyClearsTheCount) {
  CZone zone;
  FillZone(zone, {1, 2, 100, 1, 2});
  zone.outliers.method = kOutliersNone;
  zone.outlierCount = 3;
  ASSERT_TRUE(RemoveOutliers(zone, 2, 3));
  EXPECT_EQ(zone.outlierCount, 0);
  EXPECT_EQ(zone.pointCount, 5);
}

TEST(Chauvenet, UnknownMethodIsReported) {
  CRecordingUi ui;
  CZone zone;
  FillZone(zone, {1, 2, 3, 4});
  zone.outliers.method = 2;
  EXPECT_FALSE(RemoveOutliers(zone, 2, 3));
  EXPECT_EQ(ui.Last(), "Invalid method for removing outliers.");
}

}  // namespace
}  // namespace olm::test
