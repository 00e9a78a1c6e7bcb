// Curve operations on the plot: the one-pixel pick, "Delete Curve", the
// typed and the dragged shift, and the best-fit request.
#include "plot/CurveOperations.hpp"

#include <gtest/gtest.h>

#include "RecordingCanvas.hpp"
#include "TestSupport.hpp"
#include "plot/PlotView.hpp"

namespace olm::test {
namespace {

// Three lines y = 10 r + x, x = 0..10, on a window 0..10 x 0..40 laid out
// in the frame (172, 152)-(876, 672): 10/704 and 40/520 world units a pixel.
class CurveOperationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto x = Generate(11, [](int i) { return i; });
    for (int r = 1; r <= 3; ++r)
      AddCurve(db, Format("line %d", r), x, Generate(11, [&](int i) { return 10 * r + i; }));
    db.ComputeExtents(true);
    db.RefreshPlotLimits(true);
    db.plotSettings.plotYMin = db.plotSettings.modelYMin = 0;
    db.plotSettings.plotYMax = db.plotSettings.modelYMax = 40;
    ASSERT_TRUE(graph.SetWorldWindow(0, 0, 10, 40));
    graph.Layout({0, 0, 1000, 800}, {8, 16, 36, 0});
  }
  CDevicePoint At(double x, double y) const { return graph.WorldToDevice(x, y); }

  CRecordingUi ui;
  CReplicateDB db;
  CLinear<double> graph;
};

TEST_F(CurveOperationsTest, OnePixelToleranceAndHitTest) {
  const CPickTolerance t = OnePixelTolerance(graph, 500, 400);
  EXPECT_NEAR(t.x, 10.0 / 704, 1e-12);
  EXPECT_NEAR(t.y, 40.0 / 520, 1e-12);
  // On a log axis a pixel is wider to the right; the larger side counts.
  CXLogYLinear<double> log;
  ASSERT_TRUE(log.SetWorldWindow(1, 0, 1000, 40));
  log.Layout({0, 0, 1000, 800}, {8, 16, 36, 0});
  EXPECT_NEAR(OnePixelTolerance(log, 406, 400).x,
              log.DeviceToWorld(407, 400).x - log.DeviceToWorld(406, 400).x, 1e-12);
  EXPECT_EQ(HitTestCurve(db, graph, At(5, 25)), 2);
  EXPECT_EQ(HitTestCurve(db, graph, At(7, 37)), 3);
  const CDevicePoint p = At(5, 25);
  EXPECT_EQ(HitTestCurve(db, graph, {p.x + 2, p.y}), 0);  // two pixels from every point
  EXPECT_EQ(HitTestCurve(db, graph, At(5, 3)), 0);
}

TEST_F(CurveOperationsTest, DeleteCurveFindsAsksAndTakesTheReplicateOutOfProcessing) {
  EXPECT_FALSE(DeleteCurveAt(db, graph, At(5, 3)));
  EXPECT_EQ(std::tuple(ui.Texts(), ui.questions.size()),
            std::tuple(std::vector<std::string>{"Cannot find a curve"}, 0ul));
  ui.QueueAnswer(false);
  EXPECT_FALSE(DeleteCurveAt(db, graph, At(4, 34)));
  EXPECT_EQ(ui.questions, (std::vector<std::string>{"Deleting curve: 3."}));
  EXPECT_TRUE(db.Replicate(3).IsActive());
  EXPECT_TRUE(DeleteCurveAt(db, graph, At(4, 34)));  // Yes
  // The data stay; extents and limits now end at replicate 2's top, 30.
  EXPECT_EQ(std::tuple(db.Replicate(3).IsActive(), db.Replicate(3).pointCount,
                       db.GetExtent(kOverallMax, 2), db.plotSettings.plotYMax),
            std::tuple(false, 11, 30.0, 30.0f));
  EXPECT_EQ(HitTestCurve(db, graph, At(4, 34)), 0);
}

TEST_F(CurveOperationsTest, TypedShiftMovesTheRawCurveAndClearsTheProcessedFlags) {
  CCurveMoveForm nowhere;
  nowhere.OpenAt(db, graph, At(5, 3));
  EXPECT_FALSE(nowhere.Apply(db));
  EXPECT_EQ(ui.Last(), "Choose the replicate to move.");
  db.smoothedFlag = db.fittedFlag = 1;  // "DB::Locked"
  CCurveMoveForm form;
  form.OpenAt(db, graph, At(5, 25));
  EXPECT_EQ(form.replicate, 2);
  EXPECT_NEAR(form.x, 5.0, 1e-12);
  EXPECT_NEAR(form.y, 25.0, 40.0 / 520);  // within a pixel
  EXPECT_EQ(form.AccuracyText(), "(0.0142045, 0.0769231)");
  EXPECT_EQ(CCurveMoveForm::ReplicateChoices(db), (std::vector<std::string>{"1", "2", "3"}));
  form.x = 1.5, form.y = -2;
  ASSERT_TRUE(form.Apply(db));
  EXPECT_FALSE(db.IsSmoothed() || db.IsLocked());
  for (int i = 1; i <= 11; ++i) {
    EXPECT_DOUBLE_EQ(db.Replicate(2).raw(i, 1), i - 1 + 1.5);
    EXPECT_DOUBLE_EQ(db.Replicate(2).raw(i, 2), 20 + i - 1 - 2);
    EXPECT_DOUBLE_EQ(db.Replicate(1).raw(i, 1), i - 1);
  }
  EXPECT_DOUBLE_EQ(db.GetExtent(kOverallMax, 1), 11.5);
}

TEST_F(CurveOperationsTest, DraggingByANetZeroMovementLeavesThePoints) {
  CCurveDrag drag;
  EXPECT_FALSE(drag.Press(db, graph, At(8, 2)));
  EXPECT_EQ(ui.Last(), "Cannot find a curve");
  EXPECT_FALSE(drag.IsDragging() || drag.Release());
  const CDevicePoint p = At(3, 13);
  ASSERT_TRUE(drag.Press(db, graph, p));
  EXPECT_EQ(drag.Replicate(), 1);
  ASSERT_TRUE(drag.Move(db, graph, {p.x + 40, p.y + 13}));
  // 40 pixels right is 40 * 10/704 in x; 13 down is -1 in y.
  EXPECT_NEAR(db.Replicate(1).raw(4, 1), 3 + 400.0 / 704, 1e-12);
  EXPECT_NEAR(db.Replicate(1).raw(4, 2), 12.0, 1e-12);
  EXPECT_NEAR(db.GetExtent(kRawMax, 1), 10 + 400.0 / 704, 1e-12);
  EXPECT_FALSE(drag.Move(db, graph, {p.x + 40, p.y + 13}));  // no movement
  ASSERT_TRUE(drag.Move(db, graph, {p.x - 7, p.y + 2}));
  ASSERT_TRUE(drag.Move(db, graph, p));
  for (int i = 1; i <= 11; ++i) {
    EXPECT_NEAR(db.Replicate(1).raw(i, 1), i - 1, 1e-12);
    EXPECT_NEAR(db.Replicate(1).raw(i, 2), 10 + i - 1, 1e-12);
  }
  EXPECT_TRUE(drag.Release());
  EXPECT_FALSE(drag.Release());
  EXPECT_FALSE(drag.Move(db, graph, {p.x + 5, p.y}));
}

TEST_F(CurveOperationsTest, BestFitRequestFollowsTheDialogRules) {
  CPlotView view;
  CBestFitForm form;
  form.points = 9;
  EXPECT_EQ(RequestBestFit(db, form, view), BestFitOutcome::kRefused);
  EXPECT_EQ(ui.Last(), "Enter an integer between 10 and 100 for the number of data points.");
  EXPECT_EQ(std::tuple(db.GetReplicateCount(), view.GetPlotKind()), std::tuple(3, kRawDataPlot));
  form.points = 100;
  form.name = "";
  EXPECT_EQ(RequestBestFit(db, form, view), BestFitOutcome::kRefused);
  EXPECT_EQ(ui.Last(), "Data set name cannot be blank");
  form.name = "mean";
  EXPECT_EQ(RequestBestFit(db, form, view), BestFitOutcome::kBuilt);
  EXPECT_EQ(ui.Last(), "Best fit procedure was successful");
  EXPECT_EQ(std::tuple(db.bestFitX.GetSize(), db.GetReplicateCount(), view.GetPlotKind()),
            std::tuple(100, 4, kBestFitPlot));
  // The mean of y = 10 + x, 20 + x and 30 + x is 20 + x.
  EXPECT_NEAR(db.bestFitY(51), 20 + db.bestFitX(51), 1e-9);
  // On a full database the procedure is not successful.
  while (db.GetReplicateCount() < CReplicateDB::kMaxReplicates)
    AddCurve(db, "more", {0, 1}, {0, 1});
  CPlotView other;
  EXPECT_EQ(RequestBestFit(db, form, other), BestFitOutcome::kFailed);
  EXPECT_EQ(ui.Last(), "Best fit procedure was not successful");
  EXPECT_EQ(other.GetPlotKind(), kRawDataPlot);
}

}  // namespace
}  // namespace olm::test
