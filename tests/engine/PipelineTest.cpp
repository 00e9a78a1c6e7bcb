#include <gtest/gtest.h>

#include "EngineTestUtil.hpp"
#include "TestSupport.hpp"
#include "engine/Database.hpp"

namespace olm {
namespace {

using test::AddXY;
using test::CRecordingUi;
using test::SetZones;

// y = x sampled at 0, 0.5, ..., 2.
std::vector<std::pair<double, double>> Line() {
  return {{0, 0}, {0.5, 0.5}, {1, 1}, {1.5, 1.5}, {2, 2}};
}

TEST(ValidateTest, NoActiveReplicateIsCode1) {
  CRecordingUi ui;
  CReplicateDB db;
  EXPECT_FALSE(db.Process());
  EXPECT_EQ(ui.Last(), "No raw data defined.");
  AddXY(db, Line());
  db.Replicate(1).SetActive(false);
  ui.Clear();
  EXPECT_FALSE(db.Process());
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"No raw data defined."});
}

TEST(ValidateTest, ActiveReplicateWithoutZonesIsCode2) {
  CRecordingUi ui;
  CReplicateDB db;
  AddXY(db, Line());
  db.Replicate(1).zoneCount = 0;
  EXPECT_FALSE(db.Validate());
  EXPECT_EQ(ui.Last(), "No zones defined.");
}

TEST(ValidateTest, ProcessedZoneWithEqualEndsIsCode3) {
  CRecordingUi ui;
  CReplicateDB db;
  AddXY(db, Line());
  SetZones(db.Replicate(1), {{1, 1}});
  EXPECT_TRUE(db.Validate());  // neither smoothing nor fit: not checked
  db.Replicate(1).Zone(1).fit.type = kFitPolynomial;
  EXPECT_FALSE(db.Validate());
  EXPECT_EQ(ui.Last(), "Zone has same start and end point.");
}

TEST(ValidateTest, GapsAboveOneMillionthAreCode4) {
  CRecordingUi ui;
  CReplicateDB db;
  AddXY(db, Line());
  CReplicate& rep = db.Replicate(1);
  SetZones(rep, {{0, 1}, {1.0000005, 2}});
  rep.Zone(1).fit.type = rep.Zone(2).fit.type = kFitPolynomial;
  EXPECT_TRUE(db.Validate());
  EXPECT_TRUE(ui.messages.empty());
  rep.SetZoneStart(2, 1.1);
  EXPECT_FALSE(db.Validate());
  EXPECT_EQ(ui.Last(), "Gap between zones.");
  // A zone with neither smoothing nor fit takes no part in the gap check.
  ui.Clear();
  SetZones(rep, {{0, 0.5}, {5, 6}, {6, 7}});
  rep.Zone(1).fit.type = kFitNone;
  rep.Zone(3).smoothing.method = kSmoothMedian;
  EXPECT_TRUE(db.Validate());
  rep.SetZoneStart(3, 6.5);
  EXPECT_FALSE(db.Validate());
}

TEST(PipelineTest, BorderPointBelongsToBothZones) {
  CRecordingUi ui;
  CReplicateDB db;
  AddXY(db, Line());
  SetZones(db.Replicate(1), {{0, 1}, {1, 2}});
  ASSERT_TRUE(db.Process()) << ui.Last();
  const CReplicate& rep = db.Replicate(1);
  ASSERT_EQ(rep.smoothedCount, 6);
  ASSERT_EQ(rep.smoothedData.GetRows(), 6);
  const double xs[] = {0, 0.5, 1, 1, 1.5, 2};
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(rep.smoothedData(i, 1), xs[i - 1]);
  // Trapezoid areas under y = x: 0.5 on [0, 1] and 1.5 on [1, 2].
  EXPECT_DOUBLE_EQ(rep.zoneSmoothedArea(1), 0.5);
  EXPECT_DOUBLE_EQ(rep.zoneSmoothedArea(2), 1.5);
  EXPECT_DOUBLE_EQ(rep.smoothedAreaTotal, 2.0);
  EXPECT_TRUE(rep.smoothed);
  EXPECT_TRUE(rep.fitted);
  EXPECT_TRUE(db.IsSmoothed());
  EXPECT_TRUE(db.IsLocked());
  EXPECT_EQ(db.thirdFlag, 0);
  EXPECT_EQ(rep.fitData.GetRows(), 0);  // no zone is fitted
  EXPECT_EQ(rep.fittedAreaTotal, 0.0);
}

TEST(PipelineTest, PerZoneRawAndSmoothedRangesAreThoseOfTheWholeReplicate) {
  CRecordingUi ui;
  CReplicateDB db;
  AddXY(db, {{0, 5}, {1, -2}, {2, 7}, {3, 1}, {4, 0}});
  SetZones(db.Replicate(1), {{0, 1}, {1, 2}, {3, 4}});
  ASSERT_TRUE(db.Process());
  const CReplicate& rep = db.Replicate(1);
  for (int z = 1; z <= 3; ++z) {
    EXPECT_EQ(rep.rawYMin(z), -2.0);
    EXPECT_EQ(rep.rawYMax(z), 7.0);
    EXPECT_EQ(rep.smoothedYMin(z), -2.0);
    EXPECT_EQ(rep.smoothedYMax(z), 7.0);
  }
  // The gap between x = 2 and 3 is not part of any zone's smoothed data.
  EXPECT_EQ(rep.smoothedCount, 2 + 2 + 2);
}

TEST(PipelineTest, AllColumnsTravelWithTheSmoothedPoints) {
  CRecordingUi ui;
  CReplicateDB db;
  const int r = db.AddReplicate();
  CReplicate& rep = db.Replicate(r);
  rep.SetTitle("three");
  rep.columnCount = 3;
  rep.ResizeColumnTexts(3);
  rep.raw.SetSize(4, 3);
  for (int i = 1; i <= 4; ++i) {
    rep.raw(i, 1) = 100 + i;  // time
    rep.raw(i, 2) = i;        // x
    rep.raw(i, 3) = i * i;    // y
  }
  rep.pointCount = 4;
  rep.SetXYColumns(2, 3);
  SetZones(rep, {{2, 4}});
  ASSERT_TRUE(db.Process());
  ASSERT_EQ(rep.smoothedCount, 3);
  EXPECT_EQ(rep.smoothedData(1, 1), 102.0);
  EXPECT_EQ(rep.smoothedData(3, 3), 16.0);
  EXPECT_DOUBLE_EQ(rep.zoneSmoothedArea(1), (4 + 9) * 0.5 + (9 + 16) * 0.5);
}

TEST(PipelineTest, ZoneWithoutRawPointsIsCode37AndLeavesFlags) {
  CRecordingUi ui;
  CReplicateDB db;
  AddXY(db, Line());
  SetZones(db.Replicate(1), {{5, 6}});
  EXPECT_FALSE(db.Process());
  EXPECT_EQ(ui.Last(), "Zone contains no data points");
  EXPECT_FALSE(db.IsSmoothed());
  EXPECT_FALSE(db.Replicate(1).smoothed);
}

TEST(PipelineTest, ZonesWithEqualEndsAndNoOutlierRemovalAreSkipped) {
  CRecordingUi ui;
  CReplicateDB db;
  AddXY(db, Line());  // the fresh zone [0, 0] is skipped
  ASSERT_TRUE(db.Process());
  EXPECT_EQ(db.Replicate(1).smoothedCount, 0);
  EXPECT_EQ(db.Replicate(1).smoothedData.GetRows(), 0);
}

TEST(PipelineTest, InactiveReplicatesAreLeftAlone) {
  CRecordingUi ui;
  CReplicateDB db;
  AddXY(db, Line());
  AddXY(db, Line());
  SetZones(db.Replicate(1), {{0, 2}});
  SetZones(db.Replicate(2), {{0, 2}});
  db.Replicate(2).SetActive(false);
  ASSERT_TRUE(db.Process());
  EXPECT_EQ(db.Replicate(1).smoothedCount, 5);
  EXPECT_EQ(db.Replicate(2).smoothedCount, 0);
  EXPECT_FALSE(db.Replicate(2).smoothed);
}

TEST(PipelineTest, ExtentsAfterProcessingIncludeShownSmoothedCurves) {
  CRecordingUi ui;
  CReplicateDB db;
  AddXY(db, Line());
  SetZones(db.Replicate(1), {{0.5, 1.5}});
  db.plotSettings.SetShown(1, kCurveRaw, false);
  db.plotSettings.SetShown(1, kCurveSmoothed, true);
  ASSERT_TRUE(db.Process());
  EXPECT_EQ(db.GetExtent(kSmoothedMin, 1), 0.5);
  EXPECT_EQ(db.GetExtent(kOverallMax, 2), 1.5);
  EXPECT_EQ(db.GetExtent(kRawMin, 1), 1e20);
}

TEST(PipelineTest, ClearProcessedResetsFlagsAndCounts) {
  CRecordingUi ui;
  CReplicateDB db;
  AddXY(db, Line());
  SetZones(db.Replicate(1), {{0, 2}});
  ASSERT_TRUE(db.Process());
  db.ClearProcessed();
  EXPECT_FALSE(db.IsSmoothed());
  EXPECT_FALSE(db.IsLocked());
  EXPECT_FALSE(db.Replicate(1).smoothed);
  EXPECT_EQ(db.Replicate(1).smoothedCount, 0);
}

TEST(TrapezoidAreaTest, SumsTrapezoidsOverTheFirstNRows) {
  CMatrix<double> m(4, 2);
  const double xs[] = {0, 1, 3, 10}, ys[] = {2, 4, 0, 100};
  for (int i = 1; i <= 4; ++i) {
    m(i, 1) = xs[i - 1];
    m(i, 2) = ys[i - 1];
  }
  EXPECT_DOUBLE_EQ(TrapezoidArea(m, 3, 1, 2), 3.0 + 4.0);
  EXPECT_EQ(TrapezoidArea(m, 1, 1, 2), 0.0);
}

}  // namespace
}  // namespace olm
