// The plot view's state and commands: axis kinds, modes, zoom, zoom out,
// zero-line switches, hide graph and resize.
#include "plot/PlotView.hpp"

#include <gtest/gtest.h>

#include "RecordingCanvas.hpp"
#include "TestSupport.hpp"

namespace olm::test {
namespace {

// Replicate 1 runs from (0, 0) to (10, 20); the plot limits follow it.
void FillLine(CReplicateDB& db) {
  AddCurve(db, "line", {0, 5, 10}, {0, 10, 20});
  db.ComputeExtents(true);
  db.RefreshPlotLimits(true);
}

// The current graph laid out as a paint lays it out: window 0..10 x 0..20,
// frame (172, 152)-(876, 672).
void LayOut(CPlotView& view, const CReplicateDB& db) {
  CGraph& g = view.Graph();
  const CPlotSettings& s = db.plotSettings;
  ASSERT_TRUE(g.SetWorldWindow(s.plotXMin, s.plotYMin, s.plotXMax, s.plotYMax));
  g.Layout({0, 0, 1000, 800}, {8, 16, 36, 0});
}

TEST(PlotViewTest, AxisKindCommandsSelectTheGraph) {
  CPlotView view;
  EXPECT_EQ(view.GetAxisKind(), CGraph::kLinear);
  EXPECT_FALSE(view.Graph().IsXLog());
  ASSERT_TRUE(view.SetAxisKind(CGraph::kXLinearYLog));
  EXPECT_FALSE(view.Graph().IsXLog());
  EXPECT_TRUE(view.Graph().IsYLog());
  ASSERT_TRUE(view.SetAxisKind(CGraph::kXLogYLog));
  EXPECT_TRUE(view.Graph().IsXLog() && view.Graph().IsYLog());
  EXPECT_FALSE(view.SetAxisKind(4));
  EXPECT_FALSE(view.SetAxisKind(-1));
  EXPECT_EQ(view.GetAxisKind(), CGraph::kXLogYLog);
  EXPECT_STREQ(CGraph::KindCommand(1), "Graph: Log X - Linear Y");
  EXPECT_STREQ(CGraph::KindCommand(2), "Graph: Linear X - Log Y");
}

TEST(PlotViewTest, ModeButtonsToggle) {
  CPlotView view;
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

TEST(PlotViewTest, ZoomDraggedEitherWayGivesTheSameWindow) {
  CReplicateDB db;
  FillLine(db);
  CPlotView view;
  LayOut(view, db);
  view.ToggleZoomMode();
  // x: (348 - 172) * 10/704 = 2.5 and (700 - 172) * 10/704 = 7.5;
  // y: (672 - 542) * 20/520 = 5 and (672 - 282) * 20/520 = 15.
  ASSERT_TRUE(view.Zoom(db, {348, 542}, {700, 282}));
  EXPECT_EQ(view.GetMode(), CPlotView::kModeNone);
  const CPlotSettings first = db.plotSettings;
  EXPECT_FLOAT_EQ(first.plotXMin, 2.5f);
  EXPECT_FLOAT_EQ(first.plotXMax, 7.5f);
  EXPECT_FLOAT_EQ(first.plotYMin, 5.0f);
  EXPECT_FLOAT_EQ(first.plotYMax, 15.0f);
  // The full extent stays as it was.
  EXPECT_EQ(first.modelXMax, 10.0f);

  ASSERT_TRUE(view.Zoom(db, {700, 282}, {348, 542}));  // lower right to upper left
  EXPECT_EQ(db.plotSettings.plotXMin, first.plotXMin);
  EXPECT_EQ(db.plotSettings.plotXMax, first.plotXMax);
  EXPECT_EQ(db.plotSettings.plotYMin, first.plotYMin);
  EXPECT_EQ(db.plotSettings.plotYMax, first.plotYMax);
}

TEST(PlotViewTest, ZoomCornersBeyondTheFrameAreClampedToTheWindow) {
  CReplicateDB db;
  FillLine(db);
  CPlotView view;
  LayOut(view, db);
  ASSERT_TRUE(view.Zoom(db, {0, 0}, {348, 542}));
  EXPECT_FLOAT_EQ(db.plotSettings.plotXMin, 0.0f);
  EXPECT_FLOAT_EQ(db.plotSettings.plotXMax, 2.5f);
  EXPECT_FLOAT_EQ(db.plotSettings.plotYMin, 5.0f);
  EXPECT_FLOAT_EQ(db.plotSettings.plotYMax, 20.0f);
}

TEST(PlotViewTest, ZoomWithoutADragChangesNothing) {
  CReplicateDB db;
  FillLine(db);
  CPlotView view;
  LayOut(view, db);
  view.ToggleZoomMode();
  EXPECT_FALSE(view.Zoom(db, {400, 400}, {400, 300}));
  EXPECT_EQ(view.GetMode(), CPlotView::kModeNone);
  EXPECT_EQ(db.plotSettings.plotXMax, 10.0f);
  EXPECT_EQ(db.plotSettings.plotYMax, 20.0f);
}

TEST(PlotViewTest, ZoomOnALogAxisStoresWorldValues) {
  CReplicateDB db;
  AddCurve(db, "decay", {1, 10, 1000}, {1, 5, 10});
  db.ComputeExtents(true);
  db.RefreshPlotLimits(true);
  CPlotView view;
  ASSERT_TRUE(view.SetAxisKind(CGraph::kXLogYLinear));
  LayOut(view, db);
  // 234.67 pixels a decade: the columns 406 and 641 are 10^(234/234.67) and
  // 10^(469/234.67).
  ASSERT_TRUE(view.Zoom(db, {406, 600}, {641, 300}));
  EXPECT_NEAR(db.plotSettings.plotXMin, std::pow(10.0, 234 * 3.0 / 704), 1e-5);
  EXPECT_NEAR(db.plotSettings.plotXMax, std::pow(10.0, 469 * 3.0 / 704), 1e-4);
}

TEST(PlotViewTest, ZoomOutRestoresTheFullExtent) {
  CReplicateDB db;
  FillLine(db);
  CPlotView view;
  LayOut(view, db);
  ASSERT_TRUE(view.Zoom(db, {348, 542}, {700, 282}));
  view.ZoomOut(db);
  EXPECT_EQ(db.plotSettings.plotXMin, 0.0f);
  EXPECT_EQ(db.plotSettings.plotXMax, 10.0f);
  EXPECT_EQ(db.plotSettings.plotYMin, 0.0f);
  EXPECT_EQ(db.plotSettings.plotYMax, 20.0f);
}

TEST(PlotViewTest, AxisSwitchesHideGraphAndResize) {
  CReplicateDB db;
  FillLine(db);
  CPlotView view;
  ASSERT_TRUE(GetDisplayFlag(db.plotSettings, kFlagShowXAxis));
  view.ToggleXAxis(db);
  EXPECT_FALSE(GetDisplayFlag(db.plotSettings, kFlagShowXAxis));
  EXPECT_TRUE(GetDisplayFlag(db.plotSettings, kFlagShowYAxis));
  view.ToggleYAxis(db);
  view.ToggleXAxis(db);
  EXPECT_TRUE(GetDisplayFlag(db.plotSettings, kFlagShowXAxis));
  EXPECT_FALSE(GetDisplayFlag(db.plotSettings, kFlagShowYAxis));

  EXPECT_FALSE(view.IsGraphHidden());
  view.ToggleGraphDisplay();
  EXPECT_TRUE(view.IsGraphHidden());
  EXPECT_TRUE(view.PaintOptions().hideGraph);

  // The user's zoom is dropped by "Resize the plots", which follows new data.
  db.plotSettings.plotXMax = 3.0f;
  db.Replicate(1).raw(3, 1) = 40.0;
  view.ResizePlots(db);
  EXPECT_EQ(db.plotSettings.plotXMax, 40.0f);
  EXPECT_EQ(db.plotSettings.modelXMax, 40.0f);
}

TEST(PlotViewTest, MoveCurveModeOnlyBeforeProcessing) {
  CReplicateDB db;
  FillLine(db);
  CPlotView view;
  db.plotSettings.plotXMax = 3.0f;  // zoomed
  ASSERT_TRUE(view.ToggleMoveCurveMode(db));
  EXPECT_EQ(view.GetMode(), CPlotView::kModeMoveCurve);
  view.SetPlotKind(kBestFitPlot);
  // Pressed again: back to none, the raw-data plot and the full extent.
  ASSERT_TRUE(view.ToggleMoveCurveMode(db));
  EXPECT_EQ(view.GetMode(), CPlotView::kModeNone);
  EXPECT_EQ(view.GetPlotKind(), kRawDataPlot);
  EXPECT_EQ(db.plotSettings.plotXMax, 10.0f);

  db.smoothedFlag = 1;
  EXPECT_FALSE(CPlotView::CanMoveCurves(db));
  EXPECT_FALSE(view.ToggleMoveCurveMode(db));
  EXPECT_EQ(view.GetMode(), CPlotView::kModeNone);
  db.smoothedFlag = 0;
  db.fittedFlag = 1;
  EXPECT_FALSE(view.ToggleMoveCurveMode(db));
  EXPECT_EQ(view.GetMode(), CPlotView::kModeNone);
}

TEST(PlotViewTest, PaintUsesTheCurrentKindAndPlotKind) {
  CRecordingUi ui;
  CReplicateDB db;
  FillLine(db);
  CGEList objects;
  CPlotView view;
  CRecordingCanvas canvas;
  CPlotPaintResult r = view.Paint(canvas, {0, 0, 1000, 800}, db, objects);
  EXPECT_TRUE(r.drewPlot);
  EXPECT_EQ(r.visibleCurves, 1);
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
