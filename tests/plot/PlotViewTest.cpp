// The plot view's state and commands: axis kinds, modes, zoom, zoom out,
// zero-line switches, hide graph and resize.
#include "plot/PlotView.hpp"

#include <gtest/gtest.h>

#include "RecordingCanvas.hpp"
#include "TestSupport.hpp"

namespace olm::test {
namespace {

// Replicate 1 runs from (0, 0) to (10, 20); the plot limits follow it.
class PlotViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddCurve(db, "line", {0, 5, 10}, {0, 10, 20});
    db.ComputeExtents(true);
    db.RefreshPlotLimits(true);
  }
  // The current graph laid out as a paint lays it out: window 0..10 x 0..20,
  // frame (172, 152)-(876, 672).
  void LayOut() {
    const CPlotSettings& s = db.plotSettings;
    ASSERT_TRUE(view.Graph().SetWorldWindow(s.plotXMin, s.plotYMin, s.plotXMax, s.plotYMax));
    view.Graph().Layout({0, 0, 1000, 800}, {8, 16, 36, 0});
  }
  std::tuple<float, float, float, float> Window() const {
    const CPlotSettings& s = db.plotSettings;
    return {s.plotXMin, s.plotXMax, s.plotYMin, s.plotYMax};
  }
  // The window within float rounding.
  void ExpectWindow(float x0, float x1, float y0, float y1) const {
    const CPlotSettings& s = db.plotSettings;
    EXPECT_FLOAT_EQ(s.plotXMin, x0);
    EXPECT_FLOAT_EQ(s.plotXMax, x1);
    EXPECT_FLOAT_EQ(s.plotYMin, y0);
    EXPECT_FLOAT_EQ(s.plotYMax, y1);
  }

  CRecordingUi ui;
  CReplicateDB db;
  CPlotView view;
};

TEST_F(PlotViewTest, AxisKindCommandsAndModeButtons) {
  const auto Logs = [&] { return std::tuple(view.Graph().IsXLog(), view.Graph().IsYLog()); };
  EXPECT_EQ(std::tuple(view.GetAxisKind(), Logs()),
            std::tuple(int(CGraph::kLinear), std::tuple(false, false)));
  ASSERT_TRUE(view.SetAxisKind(CGraph::kXLinearYLog));
  EXPECT_EQ(Logs(), std::tuple(false, true));
  ASSERT_TRUE(view.SetAxisKind(CGraph::kXLogYLog));
  EXPECT_EQ(Logs(), std::tuple(true, true));
  EXPECT_FALSE(view.SetAxisKind(4) || view.SetAxisKind(-1));
  EXPECT_EQ(view.GetAxisKind(), CGraph::kXLogYLog);
  EXPECT_STREQ(CGraph::KindCommand(1), "Graph: Log X - Linear Y");
  EXPECT_STREQ(CGraph::KindCommand(2), "Graph: Linear X - Log Y");
  view.ToggleZoomMode();
  EXPECT_EQ(view.GetMode(), CPlotView::kModeZoom);
  view.ToggleZoomMode();
  EXPECT_EQ(view.GetMode(), CPlotView::kModeNone);
  view.TogglePointMode();
  view.ToggleZoomMode();  // another button switches to its mode
  EXPECT_EQ(view.GetMode(), CPlotView::kModeZoom);
  view.ToggleObjectMode(CPlotView::kModeObjectPan);
  EXPECT_EQ(view.GetMode(), CPlotView::kModeObjectPan);
  view.ToggleObjectMode(CPlotView::kModeObjectPan);
  EXPECT_EQ(view.GetMode(), CPlotView::kModeNone);
}

TEST_F(PlotViewTest, ZoomDraggedEitherWayGivesTheSameWindow) {
  LayOut();
  view.ToggleZoomMode();
  EXPECT_FALSE(view.Zoom(db, {400, 400}, {400, 300}));  // no drag: nothing changes
  EXPECT_EQ(view.GetMode(), CPlotView::kModeNone);
  EXPECT_EQ(Window(), std::tuple(0.0f, 10.0f, 0.0f, 20.0f));
  // x: (348 - 172) * 10/704 = 2.5 and (700 - 172) * 10/704 = 7.5;
  // y: (672 - 542) * 20/520 = 5 and (672 - 282) * 20/520 = 15.
  view.ToggleZoomMode();
  ASSERT_TRUE(view.Zoom(db, {348, 542}, {700, 282}));
  EXPECT_EQ(view.GetMode(), CPlotView::kModeNone);
  ExpectWindow(2.5f, 7.5f, 5.0f, 15.0f);
  EXPECT_EQ(db.plotSettings.modelXMax, 10.0f);  // the full extent stays
  const auto first = Window();
  view.ZoomOut(db);  // restores the full extent
  EXPECT_EQ(Window(), std::tuple(0.0f, 10.0f, 0.0f, 20.0f));
  LayOut();
  ASSERT_TRUE(view.Zoom(db, {700, 282}, {348, 542}));  // lower right to upper left
  EXPECT_EQ(Window(), first);
  // Corners beyond the frame are clamped to the window.
  view.ZoomOut(db);
  LayOut();
  ASSERT_TRUE(view.Zoom(db, {0, 0}, {348, 542}));
  ExpectWindow(0.0f, 2.5f, 5.0f, 20.0f);
}

TEST_F(PlotViewTest, ZoomOnALogAxisStoresWorldValues) {
  db.Clear(false);
  AddCurve(db, "decay", {1, 10, 1000}, {1, 5, 10});
  db.ComputeExtents(true);
  db.RefreshPlotLimits(true);
  ASSERT_TRUE(view.SetAxisKind(CGraph::kXLogYLinear));
  LayOut();
  // 234.67 pixels a decade: the columns 406 and 641 are 10^(234/234.67) and
  // 10^(469/234.67).
  ASSERT_TRUE(view.Zoom(db, {406, 600}, {641, 300}));
  EXPECT_NEAR(db.plotSettings.plotXMin, std::pow(10.0, 234 * 3.0 / 704), 1e-5);
  EXPECT_NEAR(db.plotSettings.plotXMax, std::pow(10.0, 469 * 3.0 / 704), 1e-4);
}

TEST_F(PlotViewTest, AxisSwitchesHideGraphResizeAndMoveCurveMode) {
  const auto Axes = [&] {
    return std::tuple(GetDisplayFlag(db.plotSettings, kFlagShowXAxis),
                      GetDisplayFlag(db.plotSettings, kFlagShowYAxis));
  };
  ASSERT_EQ(Axes(), std::tuple(true, true));
  view.ToggleXAxis(db);
  EXPECT_EQ(Axes(), std::tuple(false, true));
  view.ToggleYAxis(db);
  view.ToggleXAxis(db);
  EXPECT_EQ(Axes(), std::tuple(true, false));
  EXPECT_FALSE(view.IsGraphHidden());
  view.ToggleGraphDisplay();
  EXPECT_TRUE(view.IsGraphHidden() && view.PaintOptions().hideGraph);
  // "Resize the plots" drops the user's zoom and follows new data.
  db.plotSettings.plotXMax = 3.0f;
  db.Replicate(1).raw(3, 1) = 40.0;
  view.ResizePlots(db);
  EXPECT_EQ(std::tuple(db.plotSettings.plotXMax, db.plotSettings.modelXMax),
            std::tuple(40.0f, 40.0f));
  // Moving curves: pressed again, back to none, the raw-data plot and the
  // full extent; only before processing.
  db.plotSettings.plotXMax = 3.0f;  // zoomed
  ASSERT_TRUE(view.ToggleMoveCurveMode(db));
  EXPECT_EQ(view.GetMode(), CPlotView::kModeMoveCurve);
  view.SetPlotKind(kBestFitPlot);
  ASSERT_TRUE(view.ToggleMoveCurveMode(db));
  EXPECT_EQ(std::tuple(view.GetMode(), view.GetPlotKind(), db.plotSettings.plotXMax),
            std::tuple(CPlotView::kModeNone, int(kRawDataPlot), 40.0f));
  for (auto flag : {&CReplicateDB::smoothedFlag, &CReplicateDB::fittedFlag}) {
    db.smoothedFlag = db.fittedFlag = 0;
    db.*flag = 1;
    EXPECT_FALSE(CPlotView::CanMoveCurves(db) || view.ToggleMoveCurveMode(db));
    EXPECT_EQ(view.GetMode(), CPlotView::kModeNone);
  }
}

TEST_F(PlotViewTest, PaintUsesTheCurrentKindAndPlotKind) {
  CGEList objects;
  CRecordingCanvas canvas;
  CPlotPaintResult r = view.Paint(canvas, {0, 0, 1000, 800}, db, objects);
  EXPECT_EQ(std::tuple(r.drewPlot, r.visibleCurves), std::tuple(true, 1));
  // The line starts at x = 0: a log x axis refuses the window and keeps the
  // previous one.
  ASSERT_TRUE(view.SetAxisKind(CGraph::kXLogYLinear));
  r = view.Paint(canvas, {0, 0, 1000, 800}, db, objects);
  EXPECT_FALSE(r.windowAccepted);
  EXPECT_EQ(ui.Last(), "The X minimum value must be larger than 0.000001");
  view.SetPlotKind(7);
  EXPECT_FALSE(view.Paint(canvas, {0, 0, 1000, 800}, db, objects).drewPlot);
}

}  // namespace
}  // namespace olm::test
