// The database: defaults, clearing, replicate slots, deletion, extents and plot
// limits, the evaluator's variables, reformatting, and the error codes.
#include <gtest/gtest.h>

#include "EngineTestUtil.hpp"
#include "TestSupport.hpp"
#include "engine/Database.hpp"
#include "engine/EngineError.hpp"
#include "engine/Reformat.hpp"
#include "numerics/ExpressionEvaluator.hpp"

namespace olm::test {
namespace {

using Strings = std::vector<std::string>;

// The stored defaults of the plot settings are checked byte by byte in
// ProjectFileTest; here the state that is not stored.
TEST(DatabaseTest, FreshDatabaseAndClearing) {
  CReplicateDB db;
  EXPECT_FALSE(db.IsSmoothed() || db.IsLocked());
  EXPECT_FALSE(db.plotSettings.IsShown(21, kCurveRaw));
  db.plotSettings.SetShown(20, kCurveFitted, true);
  EXPECT_TRUE(db.plotSettings.IsReplicateShown(20));
  db.plotSettings.Reset();
  EXPECT_EQ(db.plotSettings, CPlotSettings());

  AddXY(db, {{0, 1}, {1, 2}});
  db.title = "T";
  db.smoothedFlag = db.fittedFlag = db.thirdFlag = 1;
  db.outlierReplicates = {2};
  db.SetExtent(kRawMin, 1, 0.0);
  db.plotSettings.graphTitle = "x";
  db.Clear(true);  // keeping the data
  EXPECT_EQ(std::tuple(db.GetReplicateCount(), db.GetExtent(kRawMin, 1), db.title),
            std::tuple(1, 1e20, std::string("T")));
  db.Clear(false);
  EXPECT_EQ(std::tuple(db.GetReplicateCount(), db.title, db.IsLocked(), db.thirdFlag,
                       db.outlierReplicates.empty(), db.plotSettings.graphTitle),
            std::tuple(0, std::string("Untitled"), false, 0, true, std::string()));
}

TEST(DatabaseTest, ReplicateSlotsAndLimit) {
  CReplicateDB db;
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(db.AddReplicate(), i);
  EXPECT_EQ(db.AddReplicate(), 0);
  EXPECT_EQ(db.GetReplicateCount(), 20);
  EXPECT_TRUE(db.Replicate(20).IsActive());
  CReplicate lone;
  lone.SetActive(false);
  lone.SetTitle("A");  // setting the title activates
  EXPECT_TRUE(lone.IsActive());
}

TEST(DatabaseTest, DeletingReplicatesAndColumnsMovesTheRestDown) {
  CReplicateDB db;
  AddXY(db, {{0, 1}}, "one");
  AddXY(db, {{0, 2}}, "two");
  AddXY(db, {{0, 3}}, "three");
  db.plotSettings.SetShown(2, kCurveRaw, false);
  db.plotSettings.SetShown(3, kCurveFitted, true);
  db.plotSettings.Style(CPlotSettings::CurveRow(3, kCurveRaw)).colourIndex = 9;
  EXPECT_FALSE(db.DeleteReplicate(4));
  ASSERT_TRUE(db.DeleteReplicate(2));
  EXPECT_EQ(
      std::tuple(db.GetReplicateCount(), db.Replicate(1).GetTitle(), db.Replicate(2).GetTitle(),
                 db.Replicate(2).raw(1, 2), db.Replicate(3).GetTitle()),
      std::tuple(2, "one", "three", 3.0, ""));
  // The display switches and styles move with their replicate.
  const CPlotSettings& ps = db.plotSettings;
  EXPECT_EQ(std::tuple(ps.IsShown(2, kCurveRaw), ps.IsShown(2, kCurveFitted),
                       ps.Style(CPlotSettings::CurveRow(2, kCurveRaw)).colourIndex,
                       ps.IsShown(3, kCurveRaw)),
            std::tuple(true, true, 9, false));

  CReplicate rep;
  rep.columnCount = 3;
  rep.ResizeColumnTexts(3);
  rep.raw.SetSize(2, 3);
  for (int i = 1; i <= 2; ++i)
    for (int j = 1; j <= 3; ++j) rep.raw(i, j) = 10 * i + j;
  rep.headings(3) = "c";
  rep.units(3) = "mm";
  EXPECT_FALSE(rep.DeleteColumn(4));
  ASSERT_TRUE(rep.DeleteColumn(2));
  ASSERT_EQ(std::pair(rep.columnCount, rep.raw.GetColumns()), std::pair(2, 2));
  EXPECT_EQ(std::tuple(rep.raw(2, 1), rep.raw(2, 2), rep.headings(2), rep.units(2)),
            std::tuple(21.0, 23.0, "c", "mm"));
}

TEST(DatabaseTest, ExtentsAndPlotLimitsFollowTheShownCurvesUntilTheUserZooms) {
  CReplicateDB db;
  AddXY(db, {{0, 5}, {2, -1}});
  AddXY(db, {{-3, 10}, {1, 0}});
  db.ComputeExtents(true);
  EXPECT_EQ(
      std::tuple(db.GetExtent(kRawMin, 1), db.GetExtent(kRawMax, 2), db.GetExtent(kOverallMin, 2)),
      std::tuple(-3.0, 10.0, -1.0));
  db.plotSettings.SetShown(2, kCurveRaw, false);
  db.ComputeExtents(true);
  db.RefreshPlotLimits(false);
  EXPECT_EQ(std::tuple(db.GetExtent(kOverallMin, 1), db.GetExtent(kOverallMax, 2),
                       db.plotSettings.plotXMax, db.plotSettings.modelYMax),
            std::tuple(0.0, 5.0, 2.0f, 5.0f));
  AddXY(db, {{0, 0}, {20, 8}});
  db.ComputeExtents(true);
  db.RefreshPlotLimits(false);
  EXPECT_EQ(db.plotSettings.plotXMax, 20.0f);
  db.plotSettings.plotXMax = 15.0f;  // the user zoomed
  db.WidenExtents(0, 30, -1, 5);     // as an import does
  db.RefreshPlotLimits(false);
  EXPECT_EQ(std::pair(db.plotSettings.plotXMax, db.plotSettings.modelXMax),
            std::pair(15.0f, 20.0f));
  db.RefreshPlotLimits(true);
  EXPECT_EQ(db.plotSettings.plotXMax, 30.0f);
  for (int r = 1; r <= 3; ++r) db.Replicate(r).SetActive(false);
  db.ComputeExtents(true);
  EXPECT_EQ(db.GetExtent(kOverallMin, 1), 1e20);
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

TEST(ReformatTest, ResamplesABlockShiftsTheRestAndRefusesBadCounts) {
  CRecordingUi ui;
  CMatrix<double> m(5, 2);
  const double xs[] = {0, 1, 2, 4, 100}, ys[] = {0, 10, 20, 40, -1};
  for (int i = 1; i <= 5; ++i) m(i, 1) = xs[i - 1], m(i, 2) = ys[i - 1];
  // Rows 1..4 (x from 0 to 4) to 9 points: step 0.5, y = 10 x by interpolation.
  ASSERT_TRUE(Reformat(m, 1, 4, 1, 9));
  ASSERT_EQ(m.GetRows(), 10);
  for (int k = 1; k <= 9; ++k)
    EXPECT_EQ(std::pair(m(k, 1), m(k, 2)), std::pair(0.5 * (k - 1), 5.0 * (k - 1))) << k;
  EXPECT_EQ(std::pair(m(10, 1), m(10, 2)), std::pair(100.0, -1.0));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(Reformat(m, 1, 3, 1, 0));
  EXPECT_EQ(ui.Last(), "Number of reformatted points must be greater than 0");
  EXPECT_EQ(m.GetRows(), 10);
  CMatrix<double> one(3, 1);
  one.Set(0.0);
  EXPECT_FALSE(Reformat(one, 1, 3, 1, 5));
  EXPECT_EQ(ui.Last(), "Number of data columns must be greater than 0 for reformatting");
}

TEST(EngineErrorTest, MessagesAndLineNumbers) {
  EXPECT_STREQ(CEngineError::Message(1), "No raw data defined.");
  EXPECT_STREQ(CEngineError::Message(4), "Gap between zones.");
  EXPECT_STREQ(CEngineError::Message(21),
               "Number of points for smoothing must be odd and between 5 and 25 \nfor 3rd degree "
               "polynomial and between 7 and 25 for 5th order polynomial.");
  EXPECT_STREQ(CEngineError::Message(43), "Text in one replicate title exceeds character limit");
  for (int code : {26, 29, 44, 100, -1})
    EXPECT_STREQ(CEngineError::Message(code), "Unknown error.") << code;
  // The line number follows the message's own period.
  EXPECT_EQ(CEngineError::Text(14, 12), "Input file needs *end as last line. on line number 12.");
  EXPECT_EQ(CEngineError::Text(13, 0), "Invalid input.");
  CRecordingUi ui;
  CEngineError::Report(13, 7);
  EXPECT_EQ(ui.messages,
            (decltype(ui.messages){{MessageKind::Error, "Invalid input. on line number 7."}}));
  // Code 0 shows both messages and terminates with status 1.
  ui.Clear();
  try {
    CEngineError::Report(0);
    FAIL() << "code 0 must not return";
  } catch (const TerminateCalled& t) {
    EXPECT_EQ(t.status, 1);
  }
  EXPECT_EQ(ui.Texts(), (Strings{"Invalid database.", "Severe error. Terminating program."}));
}

TEST(EngineErrorDeathTest, CodeZeroEndsTheProcessByDefault) {
  EXPECT_EXIT(CEngineError::Report(0), ::testing::ExitedWithCode(1),
              "Severe error. Terminating program.");
}

TEST(DatabaseTest, SnapshotAndRestoreCarryTheBestFitVectorsAtAnySize) {
  CRecordingUi ui;
  CReplicateDB db;
  AddXY(db, {{0, 1}, {1, 2}});
  const CDatabaseSnapshot empty = db.Snapshot();
  db.bestFitX.SetSize(3);
  db.bestFitY.SetSize(3);
  for (int i = 1; i <= 3; ++i) db.bestFitX(i) = i, db.bestFitY(i) = 10.0 * i;
  const CDatabaseSnapshot built = db.Snapshot();
  db.Restore(empty);
  EXPECT_EQ(std::pair(db.bestFitX.GetSize(), db.bestFitY.GetSize()), std::pair(0, 0));
  db.Restore(built);
  ASSERT_EQ(std::pair(db.bestFitX.GetSize(), db.bestFitY.GetSize()), std::pair(3, 3));
  EXPECT_EQ(std::pair(db.bestFitX(3), db.bestFitY(2)), std::pair(3.0, 20.0));
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace olm::test
