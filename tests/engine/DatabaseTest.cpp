#include <gtest/gtest.h>

#include "EngineTestUtil.hpp"
#include "TestSupport.hpp"
#include "engine/Database.hpp"
#include "engine/Reformat.hpp"
#include "numerics/ExpressionEvaluator.hpp"

namespace olm {
namespace {

using test::AddXY;

TEST(DatabaseTest, FreshDatabaseIsClear) {
  CReplicateDB db;
  EXPECT_EQ(db.title, "Untitled");
  EXPECT_EQ(db.GetReplicateCount(), 0);
  EXPECT_FALSE(db.IsSmoothed());
  EXPECT_FALSE(db.IsLocked());
  for (int e = 1; e <= 2; ++e) {
    for (int k : {kRawMin, kSmoothedMin, kFittedMin, kOverallMin}) EXPECT_EQ(db.GetExtent(k, e), 1e20);
    for (int k : {kRawMax, kSmoothedMax, kFittedMax, kOverallMax}) EXPECT_EQ(db.GetExtent(k, e), -1e20);
  }
  for (int i = 1; i <= 10; ++i) EXPECT_FALSE(db.GetReportFlag(i));
  EXPECT_EQ(db.plotSettings.xAxisFormat, "%-g");
  EXPECT_EQ(db.plotSettings.yAxisFormat, "%-g");
  EXPECT_EQ(db.plotSettings.borders, (std::array<double, 4>{0.1, 0.1, 0.9, 0.9}));
}

TEST(DatabaseTest, ClearWithoutKeepingDataResetsEverythingButKeepsReportFlags) {
  CReplicateDB db;
  AddXY(db, {{0, 1}, {1, 2}});
  db.title = "T";
  db.smoothedFlag = db.fittedFlag = db.thirdFlag = 1;
  db.outlierReplicates = {2};
  db.SetExtent(kRawMin, 1, 0.0);
  db.plotSettings.graphTitle = "x";
  db.Clear(true);
  EXPECT_EQ(db.GetReplicateCount(), 1);
  EXPECT_EQ(db.GetExtent(kRawMin, 1), 1e20);
  EXPECT_EQ(db.title, "T");
  db.Clear(false);
  EXPECT_EQ(db.GetReplicateCount(), 0);
  EXPECT_EQ(db.title, "Untitled");
  EXPECT_FALSE(db.IsLocked());
  EXPECT_EQ(db.thirdFlag, 0);
  EXPECT_TRUE(db.outlierReplicates.empty());
  EXPECT_EQ(db.plotSettings.graphTitle, "");
}

TEST(DatabaseTest, ReplicateSlotsDefaultsAndLimit) {
  CReplicateDB db;
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(db.AddReplicate(), i);
  EXPECT_EQ(db.AddReplicate(), 0);
  EXPECT_EQ(db.GetReplicateCount(), 20);
  const CReplicate& rep = db.Replicate(20);
  EXPECT_TRUE(rep.IsActive());
  EXPECT_EQ(rep.columnCount, 2);
  EXPECT_EQ(rep.zoneCount, 1);
  EXPECT_EQ(rep.coefficients.GetRows(), 6);
  EXPECT_EQ(rep.coefficients.GetColumns(), 5);
  EXPECT_EQ(rep.coefficients.Max(0), 0.0);
  EXPECT_EQ(rep.rSquared.GetSize(), 5);
  EXPECT_EQ(rep.Zone(3).tolerance, 1e-20);
  EXPECT_EQ(rep.Zone(3).smoothing.repeats, 1);
  EXPECT_EQ(rep.Zone(3).smoothing.order, 3);
  EXPECT_EQ(rep.Zone(3).fit.coefficients.GetSize(), 6);
}

TEST(DatabaseTest, SettingTheTitleActivates) {
  CReplicate rep;
  rep.SetActive(false);
  rep.SetTitle("A");
  EXPECT_TRUE(rep.IsActive());
}

TEST(DatabaseTest, DeleteReplicateMovesLaterOnesDownWithTheirDisplaySwitches) {
  CReplicateDB db;
  AddXY(db, {{0, 1}}, "one");
  AddXY(db, {{0, 2}}, "two");
  AddXY(db, {{0, 3}}, "three");
  db.plotSettings.SetShown(2, kCurveRaw, false);
  db.plotSettings.SetShown(3, kCurveFitted, true);
  db.plotSettings.Style(CPlotSettings::CurveRow(3, kCurveRaw)).colourIndex = 9;
  EXPECT_FALSE(db.DeleteReplicate(4));
  ASSERT_TRUE(db.DeleteReplicate(2));
  EXPECT_EQ(db.GetReplicateCount(), 2);
  EXPECT_EQ(db.Replicate(1).GetTitle(), "one");
  EXPECT_EQ(db.Replicate(2).GetTitle(), "three");
  EXPECT_EQ(db.Replicate(2).raw(1, 2), 3.0);
  EXPECT_TRUE(db.plotSettings.IsShown(2, kCurveRaw));
  EXPECT_TRUE(db.plotSettings.IsShown(2, kCurveFitted));
  EXPECT_EQ(db.plotSettings.Style(CPlotSettings::CurveRow(2, kCurveRaw)).colourIndex, 9);
  EXPECT_FALSE(db.plotSettings.IsShown(3, kCurveRaw));
  EXPECT_EQ(db.Replicate(3).GetTitle(), "");
}

TEST(DatabaseTest, DeleteColumnKeepsOtherColumnsWithTheirTexts) {
  CReplicate rep;
  rep.columnCount = 3;
  rep.ResizeColumnTexts(3);
  rep.raw.SetSize(2, 3);
  for (int i = 1; i <= 2; ++i)
    for (int j = 1; j <= 3; ++j) rep.raw(i, j) = 10 * i + j;
  rep.headings(1) = "a";
  rep.headings(2) = "b";
  rep.headings(3) = "c";
  rep.units(3) = "mm";
  EXPECT_FALSE(rep.DeleteColumn(4));
  ASSERT_TRUE(rep.DeleteColumn(2));
  EXPECT_EQ(rep.columnCount, 2);
  ASSERT_EQ(rep.raw.GetColumns(), 2);
  EXPECT_EQ(rep.raw(2, 1), 21.0);
  EXPECT_EQ(rep.raw(2, 2), 23.0);
  EXPECT_EQ(rep.headings(2), "c");
  EXPECT_EQ(rep.units(2), "mm");
}

TEST(DatabaseTest, ExtentsFollowTheShownCurves) {
  CReplicateDB db;
  AddXY(db, {{0, 5}, {2, -1}});
  AddXY(db, {{-3, 10}, {1, 0}});
  db.ComputeExtents(true);
  EXPECT_EQ(db.GetExtent(kRawMin, 1), -3.0);
  EXPECT_EQ(db.GetExtent(kRawMax, 2), 10.0);
  EXPECT_EQ(db.GetExtent(kOverallMin, 2), -1.0);
  db.plotSettings.SetShown(2, kCurveRaw, false);
  db.ComputeExtents(true);
  EXPECT_EQ(db.GetExtent(kOverallMin, 1), 0.0);
  EXPECT_EQ(db.GetExtent(kOverallMax, 2), 5.0);
  db.Replicate(1).SetActive(false);
  db.ComputeExtents(true);
  EXPECT_EQ(db.GetExtent(kOverallMin, 1), 1e20);
}

TEST(DatabaseTest, PlotLimitsFollowDataUntilTheUserChangesThem) {
  CReplicateDB db;
  AddXY(db, {{0, 0}, {10, 5}});
  db.ComputeExtents(true);
  db.RefreshPlotLimits(false);
  EXPECT_EQ(db.plotSettings.plotXMax, 10.0f);
  EXPECT_EQ(db.plotSettings.modelYMax, 5.0f);
  AddXY(db, {{0, 0}, {20, 8}});
  db.ComputeExtents(true);
  db.RefreshPlotLimits(false);
  EXPECT_EQ(db.plotSettings.plotXMax, 20.0f);
  db.plotSettings.plotXMax = 15.0f;  // the user zoomed
  AddXY(db, {{0, 0}, {30, 8}});
  db.ComputeExtents(true);
  db.RefreshPlotLimits(false);
  EXPECT_EQ(db.plotSettings.plotXMax, 15.0f);
  db.RefreshPlotLimits(true);
  EXPECT_EQ(db.plotSettings.plotXMax, 30.0f);
}

TEST(PlotSettingsTest, DefaultsAndStyleRows) {
  CPlotSettings s;
  EXPECT_EQ(s.Style(1).colourIndex, 1);
  EXPECT_EQ(s.Style(4).colourIndex, 4);
  EXPECT_EQ(s.Style(5).colourIndex, 0);
  EXPECT_EQ(s.Style(60).lineStyleIndex, 2);
  EXPECT_EQ(s.Style(60).lineWidth, 2);
  EXPECT_EQ(s.Style(7).display, 0);
  EXPECT_EQ(CPlotSettings::CurveRow(3, kCurveFitted), 9);
  EXPECT_EQ(s.graphTitleFont.height, -30);
  EXPECT_EQ(s.graphTitleFont.weight, 700);
  EXPECT_EQ(s.graphTitleFont.faceName, "Arial");
  EXPECT_EQ(s.xAxisLabelFont.height, -20);
  EXPECT_EQ(s.layout[0], 10);
  EXPECT_EQ(s.layout[3], 3);
  EXPECT_EQ(s.displayFlags[0], 0);
  EXPECT_EQ(s.displayFlags[7], 1);
  EXPECT_EQ(s.palette[1], 0x0000FFu);
  EXPECT_EQ(s.palette[15], 0xFFFFFFu);
  EXPECT_EQ(s.xDivisions, 5);
  EXPECT_EQ(s.markerSize, 5);
  EXPECT_FALSE(s.IsShown(21, kCurveRaw));
  s.SetShown(20, kCurveFitted, true);
  EXPECT_TRUE(s.IsReplicateShown(20));
  s.graphTitle = "changed";
  s.Reset();
  EXPECT_EQ(s, CPlotSettings());
}

TEST(ReformatTest, ResamplesABlockAndShiftsTheRest) {
  test::CRecordingUi ui;
  CMatrix<double> m(5, 2);
  const double xs[] = {0, 1, 2, 4, 100}, ys[] = {0, 10, 20, 40, -1};
  for (int i = 1; i <= 5; ++i) {
    m(i, 1) = xs[i - 1];
    m(i, 2) = ys[i - 1];
  }
  // Rows 1..4 (x from 0 to 4) to 9 points: step 0.5, y = 10 x by interpolation.
  ASSERT_TRUE(Reformat(m, 1, 4, 1, 9));
  ASSERT_EQ(m.GetRows(), 10);
  for (int k = 1; k <= 9; ++k) {
    EXPECT_DOUBLE_EQ(m(k, 1), 0.5 * (k - 1));
    EXPECT_DOUBLE_EQ(m(k, 2), 5.0 * (k - 1));
  }
  EXPECT_EQ(m(10, 1), 100.0);
  EXPECT_EQ(m(10, 2), -1.0);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(ReformatTest, RefusesBadCounts) {
  test::CRecordingUi ui;
  CMatrix<double> m(3, 2);
  m.Set(1.0);
  EXPECT_FALSE(Reformat(m, 1, 3, 1, 0));
  EXPECT_EQ(ui.Last(), "Number of reformatted points must be greater than 0");
  CMatrix<double> one(3, 1);
  one.Set(0.0);
  EXPECT_FALSE(Reformat(one, 1, 3, 1, 5));
  EXPECT_EQ(ui.Last(), "Number of data columns must be greater than 0 for reformatting");
  EXPECT_EQ(m.GetRows(), 3);
}

TEST(DatabaseTest, EvaluatorKeepsVariablesUntilTheDatabaseIsCleared) {
  CReplicateDB db;
  double v = 0.0;
  ASSERT_EQ(db.Evaluator().EvaluateScalar("k = 4", v), 0);
  ASSERT_EQ(db.Evaluator().EvaluateScalar("k * 2", v), 0);
  EXPECT_EQ(v, 8.0);
  db.ComputeExtents(true);
  EXPECT_NE(db.Evaluator().FindVariable("k"), nullptr);
  db.Clear(false);
  EXPECT_EQ(db.Evaluator().FindVariable("k"), nullptr);
}

}  // namespace
}  // namespace olm
