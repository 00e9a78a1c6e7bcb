// The best-fit curve over the shown curves, its form, and finding the
// replicate under a point.
#include "engine/BestFit.hpp"

#include <gtest/gtest.h>

#include "EngineTestUtil.hpp"
#include "TestSupport.hpp"

namespace olm::test {
namespace {

// y = slope * x from 0 to reach in unit steps.
XY Ramp(double slope, int reach) {
  XY pts;
  for (int i = 0; i <= reach; ++i) pts.emplace_back(i, slope * i);
  return pts;
}

// Three ramps reaching 10, 12 and 14.
void AddRamps(CReplicateDB& db) {
  AddXY(db, Ramp(1, 10), "a");
  AddXY(db, Ramp(2, 12), "b");
  AddXY(db, Ramp(3, 14), "c");
}

class BestFitTest : public ::testing::Test {
 protected:
  void SetUp() override { AddRamps(db); }
  CRecordingUi ui;
  CReplicateDB db;
};

TEST_F(BestFitTest, GridOfEachEndTypeAndTheNewReplicate) {
  // Extend reaches the farthest end 14, Average the mean 12, Cut the nearest 10.
  for (const auto& [end, step] : {std::pair{kEndExtend, 1.4}, {kEndAverage, 1.2}, {kEndCut, 1.0}}) {
    CReplicateDB fresh;
    AddRamps(fresh);
    ASSERT_TRUE(BuildBestFit(fresh, "best", 11, end));
    ASSERT_EQ(fresh.bestFitX.GetSize(), 11);
    for (int j = 1; j <= 11; ++j) EXPECT_NEAR(fresh.bestFitX(j), (j - 1) * step, 1e-12) << end;
  }
  db.Replicate(1).headings(1) = "strain";
  db.Replicate(2).headings(2) = "stress b";
  db.Replicate(1).units(2) = "MPa";
  ASSERT_TRUE(BuildBestFit(db, "mean", 11, kEndCut));
  ASSERT_EQ(db.GetReplicateCount(), 4);
  const CReplicate& rep = db.Replicate(4);
  // The grid, three curves, the mean; headings and units come from the curves.
  EXPECT_EQ(std::tuple(rep.GetTitle(), rep.IsActive(), db.plotSettings.IsShown(4, kCurveRaw),
                       rep.columnCount, rep.xColumn, rep.yColumn, rep.pointCount),
            std::tuple(std::string("mean"), true, true, 5, 1, 5, 11));
  EXPECT_EQ(std::tuple(rep.headings(1), rep.headings(3), rep.headings(5), rep.units(5)),
            std::tuple("strain", "stress b", "y", "MPa"));
  for (int j = 1; j <= 11; ++j) {
    const double x = j - 1.0;
    EXPECT_DOUBLE_EQ(rep.raw(j, 1), x);
    EXPECT_DOUBLE_EQ(rep.raw(j, 2), x);
    EXPECT_DOUBLE_EQ(rep.raw(j, 4), 3 * x);
    EXPECT_DOUBLE_EQ(rep.raw(j, 5), db.bestFitY(j));  // the last column is the best fit
    EXPECT_NEAR(db.bestFitY(j), 2 * x, 1e-12);
  }
}

TEST_F(BestFitTest, CurvesKeepTheirEndValueBeyondTheirReach) {
  ASSERT_TRUE(BuildBestFit(db, "ext", 11, kEndExtend));
  const CReplicate& rep = db.Replicate(4);
  // Row 11 is x = 14: the ramp reaching 10 stays at its last y.
  EXPECT_EQ(std::tuple(rep.raw(11, 1), rep.raw(11, 2), rep.raw(11, 3), rep.raw(11, 4)),
            std::tuple(14.0, 10.0, 24.0, 42.0));
  EXPECT_DOUBLE_EQ(rep.raw(2, 4), 4.2);  // interpolated at x = 1.4
}

TEST_F(BestFitTest, ShownSmoothedCurveIsASecondCurveAndHiddenOnesAreLeftOut) {
  for (int r = 1; r <= 3; ++r) SetZones(db.Replicate(r), {{0, 8.0 + 2 * r}});
  ASSERT_TRUE(db.Process());
  db.plotSettings.SetShown(1, kCurveSmoothed, true);
  db.plotSettings.SetShown(3, kCurveRaw, false);
  ASSERT_TRUE(BuildBestFit(db, "two", 11, kEndCut));
  EXPECT_EQ(db.Replicate(4).columnCount, 3 + 2);  // raw 1, smoothed 1, raw 2
  EXPECT_NEAR(db.bestFitY(11), (10 + 10 + 20) / 3.0, 1e-12);
}

TEST_F(BestFitTest, EqualXAreMergedAndUnsortedXAreOrdered) {
  CReplicateDB d;
  AddXY(d, {{2, 20}, {0, 0}, {1, 8}, {1, 12}});
  ASSERT_TRUE(BuildBestFit(d, "m", 5, kEndCut));
  for (int j = 1; j <= 5; ++j) EXPECT_DOUBLE_EQ(d.Replicate(2).raw(j, 2), 5.0 * (j - 1));
}

TEST_F(BestFitTest, RefusesWithoutCurvesWithBadCountsAndWhenFull) {
  for (int r = 1; r <= 3; ++r) db.plotSettings.SetShown(r, kCurveRaw, false);
  EXPECT_FALSE(BuildBestFit(db, "x", 11, kEndCut));
  EXPECT_EQ(ui.Last(), "No data available for best fit.");
  db.plotSettings.SetShown(1, kCurveRaw, true);
  EXPECT_FALSE(BuildBestFit(db, "x", -2, kEndCut));
  EXPECT_EQ(ui.Last(), "Number of reformatted points must be greater than 0");
  while (db.GetReplicateCount() < 20) AddXY(db, Ramp(1, 3));
  EXPECT_FALSE(BuildBestFit(db, "x", 11, kEndCut));
  EXPECT_NE(ui.Last().find("already holds 20 data sets"), std::string::npos);
  EXPECT_EQ(db.GetReplicateCount(), 20);
}

TEST_F(BestFitTest, FormChecksItsFieldsAndReportsTheOutcome) {
  CBestFitForm form;
  form.name = "";
  EXPECT_FALSE(form.Proceed(db));
  EXPECT_EQ(ui.Last(), "Data set name cannot be blank");
  for (auto [name, points] : {std::pair{"thirteen char", 100}, {"mean", 9}}) {
    form.name = name;
    form.points = points;
    EXPECT_FALSE(form.Proceed(db)) << name << " " << points;
  }
  EXPECT_EQ(db.GetReplicateCount(), 3);
  form.points = 100;
  ASSERT_TRUE(form.Proceed(db));
  EXPECT_EQ(ui.Last(), "Best fit procedure was successful");
  ASSERT_EQ(db.bestFitX.GetSize(), 100);
  EXPECT_NEAR(db.bestFitX(100), 12.0, 1e-12);  // by default "Average" of 10, 12 and 14
  for (int r = 1; r <= 4; ++r) db.plotSettings.SetShown(r, kCurveRaw, false);
  EXPECT_FALSE(form.Proceed(db));
  EXPECT_EQ(ui.Last(), "Best fit procedure was not successful");
}

TEST(FindReplicateAtTest, RawFirstThenSmoothedOnceProcessed) {
  CRecordingUi ui;
  CReplicateDB db;
  AddXY(db, {{0, 0}, {1, 1}});
  AddXY(db, {{0, 0.5}, {1, 3}});
  EXPECT_EQ(FindReplicateAt(db, 1.0, 1.1, 0.2, 0.2), 1);
  EXPECT_EQ(FindReplicateAt(db, 1.0, 2.9, 0.2, 0.2), 2);
  EXPECT_EQ(FindReplicateAt(db, 5.0, 5.0, 0.2, 0.2), 0);
  EXPECT_EQ(FindReplicateAt(db, 0.0, 0.25, 0.3, 0.3), 2);  // equal distances: the later point
  db.Replicate(2).SetActive(false);
  EXPECT_EQ(FindReplicateAt(db, 0.0, 0.25, 0.3, 0.3), 1);
  // Smoothed points count only once the database is smoothed.
  CReplicateDB s;
  AddXY(s, {{0, 0}, {1, 1}, {2, 2}});
  SetZones(s.Replicate(1), {{1, 2}});
  s.plotSettings.SetShown(1, kCurveRaw, false);
  s.plotSettings.SetShown(1, kCurveSmoothed, true);
  EXPECT_EQ(FindReplicateAt(s, 2.0, 2.0, 0.1, 0.1), 0);
  ASSERT_TRUE(s.Process());
  EXPECT_EQ(FindReplicateAt(s, 2.0, 2.0, 0.1, 0.1), 1);
  EXPECT_EQ(FindReplicateAt(s, 0.0, 0.0, 0.1, 0.1), 0);  // not in the smoothed zone
}

}  // namespace
}  // namespace olm::test
