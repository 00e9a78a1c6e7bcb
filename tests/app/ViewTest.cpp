// The plot view as the user drives it: rubber-band zoom and zoom out, the
// log-axis warning, the coordinate read-out on log axes, deleting a curve
// from the context menu, dragging a curve and the best-fit dialog.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRubberBand>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "ViewTestSupport.hpp"
#include "app/OLMView.hpp"
#include "app/OLMViewDialogs.hpp"
#include "plot/PlotPainter.hpp"

namespace olm::test {
namespace {

struct CLimits {
  float xMin, xMax, yMin, yMax;
  bool operator==(const CLimits&) const = default;
};

CLimits PlotLimits(const COLMDoc& doc) {
  const CPlotSettings& s = doc.PlotSettings();
  return {s.plotXMin, s.plotXMax, s.plotYMin, s.plotYMax};
}

std::pair<double, double> ParseCoordinates(const QString& text) {
  const QStringList parts = text.split(QLatin1Char(','));
  if (parts.size() != 2) return {NAN, NAN};
  return {parts[0].trimmed().toDouble(), parts[1].trimmed().toDouble()};
}

class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ImportSamples(doc));
    view = std::make_unique<COLMView>(doc);
    view->resize(900, 600);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    view->repaint();
    ui.Clear();
  }
  void TearDown() override { view.reset(); }

  const CGraph& Graph() { return view->State().Graph(); }
  void Drag(QPoint from, QPoint to) {
    QTest::mousePress(view.get(), Qt::LeftButton, {}, from);
    QTest::mouseMove(view.get(), (from + to) / 2);
    QTest::mouseMove(view.get(), to);
    QTest::mouseRelease(view.get(), Qt::LeftButton, {}, to);
  }

  CRecordingUi ui;
  COLMDoc doc;
  std::unique_ptr<COLMView> view;
};

TEST_F(ViewTest, RubberBandZoomEitherWayGivesOneWindowAndZoomOutRestoresIt) {
  const CLimits full = PlotLimits(doc);
  const size_t steps = doc.UndoCount();
  const QPoint a(250, 180), b(600, 420);
  // The world points under the corners become the window's corners.
  const auto [ax, ay] = ParseCoordinates(view->CoordinateText(a));
  const auto [bx, by] = ParseCoordinates(view->CoordinateText(b));

  view->Action(ViewCommand::ZoomIn)->trigger();
  EXPECT_TRUE(view->Action(ViewCommand::ZoomIn)->isChecked());
  QTest::mousePress(view.get(), Qt::LeftButton, {}, a);
  QTest::mouseMove(view.get(), b);
  auto* band = view->findChild<QRubberBand*>();
  ASSERT_NE(band, nullptr);
  EXPECT_TRUE(band->isVisible());
  EXPECT_EQ(band->geometry(), QRect(a, b).normalized());
  QTest::mouseRelease(view.get(), Qt::LeftButton, {}, b);
  EXPECT_FALSE(band->isVisible());
  EXPECT_FALSE(view->Action(ViewCommand::ZoomIn)->isChecked());  // back to no mode
  const CLimits zoomed = PlotLimits(doc);
  EXPECT_NEAR(zoomed.xMin, ax, 1e-6 * (full.xMax - full.xMin));
  EXPECT_NEAR(zoomed.xMax, bx, 1e-6 * (full.xMax - full.xMin));
  EXPECT_NEAR(zoomed.yMin, by, 1e-6 * (full.yMax - full.yMin));
  EXPECT_NEAR(zoomed.yMax, ay, 1e-6 * (full.yMax - full.yMin));
  // A view change: no undo step.
  EXPECT_EQ(doc.UndoCount(), steps);

  view->Action(ViewCommand::ZoomOut)->trigger();
  EXPECT_EQ(PlotLimits(doc), full);

  // Dragged from lower right to upper left.
  view->Action(ViewCommand::ZoomIn)->trigger();
  Drag(b, a);
  EXPECT_EQ(PlotLimits(doc), zoomed);
  view->Action(ViewCommand::ZoomOut)->trigger();
  EXPECT_EQ(PlotLimits(doc), full);
}

TEST_F(ViewTest, WheelZoomKeepsThePointUnderTheCursorAndPanningMovesTheWindow) {
  const CLimits full = PlotLimits(doc);
  const CDeviceRect f = Graph().Frame();
  const QPoint p(f.left + f.Width() / 3, f.top + f.Height() / 4);
  const auto [wx, wy] = ParseCoordinates(view->CoordinateText(p));
  view->ZoomAbout(p, 2.0);
  const CLimits zoomed = PlotLimits(doc);
  EXPECT_NEAR(zoomed.xMax - zoomed.xMin, (full.xMax - full.xMin) / 2,
              1e-3 * (full.xMax - full.xMin));
  view->repaint();
  const auto [x2, y2] = ParseCoordinates(view->CoordinateText(p));
  EXPECT_NEAR(x2, wx, 2 * (zoomed.xMax - zoomed.xMin) / f.Width());
  EXPECT_NEAR(y2, wy, 2 * (zoomed.yMax - zoomed.yMin) / f.Height());

  // The middle button drags the picture: the point under it follows.
  const QPoint q = p + QPoint(60, 40);
  QTest::mousePress(view.get(), Qt::MiddleButton, {}, p);
  QTest::mouseMove(view.get(), q);
  QTest::mouseRelease(view.get(), Qt::MiddleButton, {}, q);
  view->repaint();
  const auto [x3, y3] = ParseCoordinates(view->CoordinateText(q));
  EXPECT_NEAR(x3, wx, 2 * (zoomed.xMax - zoomed.xMin) / f.Width());
  EXPECT_NEAR(y3, wy, 2 * (zoomed.yMax - zoomed.yMin) / f.Height());
  // Zoom out still restores the full extent.
  view->Action(ViewCommand::ZoomOut)->trigger();
  EXPECT_EQ(PlotLimits(doc), full);
}

TEST_F(ViewTest, LogXWithZeroMinimumWarnsOnceAndKeepsTheWindow) {
  const CLimits before = PlotLimits(doc);
  ASSERT_LE(before.xMin, 0.0f);  // strain starts at 0
  const CGraph& logX = view->State().Graph(CGraph::kXLogYLinear);
  const double windowMin = logX.WindowXMin(), windowMax = logX.WindowXMax();
  view->Action(ViewCommand::GraphLogX)->trigger();
  view->repaint();
  view->repaint();
  EXPECT_EQ(ui.Texts(),
            std::vector<std::string>{"The X minimum value must be larger than 0.000001"});
  EXPECT_EQ(PlotLimits(doc), before);
  EXPECT_EQ(std::pair(logX.WindowXMin(), logX.WindowXMax()), std::pair(windowMin, windowMax));
}

TEST_F(ViewTest, CoordinatePaneShowsTheWorldPointUnderTheMouseOnALogLogPlot) {
  doc.ModifyView(kChangeData, [](CReplicateDB& db, CGEList&) {
    CPlotSettings& s = db.plotSettings;
    s.plotXMin = 1e-4f, s.plotXMax = 1e-2f, s.plotYMin = 10.0f, s.plotYMax = 1000.0f;
    return true;
  });
  view->Action(ViewCommand::GraphLogLog)->trigger();
  view->repaint();
  EXPECT_TRUE(ui.Texts().empty());
  QSignalSpy spy(view.get(), &COLMView::coordinatesChanged);
  const CDeviceRect f = Graph().Frame();
  // The frame's centre is the geometric middle of each log axis, its lower
  // left corner the window's minima.
  QTest::mouseMove(view.get(), QPoint((f.left + f.right) / 2, (f.top + f.bottom) / 2));
  ASSERT_FALSE(spy.isEmpty());
  const auto [x, y] = ParseCoordinates(spy.last().at(0).toString());
  EXPECT_NEAR(x, 1e-3, 1e-3 * 0.02);
  EXPECT_NEAR(y, 100.0, 100.0 * 0.02);
  QTest::mouseMove(view.get(), QPoint(f.left, f.bottom));
  const auto [x0, y0] = ParseCoordinates(spy.last().at(0).toString());
  EXPECT_NEAR(x0, 1e-4, 1e-4 * 1e-3);
  EXPECT_NEAR(y0, 10.0, 10.0 * 1e-3);
}

TEST_F(ViewTest, DeleteCurveFromTheContextMenuAsksAndTakesTheReplicateOutOfProcessing) {
  const CDevicePoint p = RawPointAt(doc, Graph(), 2, PeakRow(doc, 2));
  const auto chooseDelete = [&](QPoint at) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->mapToGlobal(at));
    QApplication::sendEvent(view.get(), &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return false;
    QAction* del = nullptr;
    for (QAction* a : menu->actions())
      if (a->text() == "Delete Curve") del = a;
    const bool ok = del && del->isEnabled();
    menu->close();
    if (ok) del->trigger();
    return ok;
  };
  // No: replicate 2 keeps taking part.
  ui.QueueAnswer(false);
  ASSERT_TRUE(chooseDelete(QPoint(p.x, p.y)));
  EXPECT_EQ(ui.questions, std::vector<std::string>{"Deleting curve: 2."});
  EXPECT_TRUE(doc.Database().Replicate(2).IsActive());
  // Yes: it leaves processing, its data stay, one undo step.
  const size_t steps = doc.UndoCount();
  ui.QueueAnswer(true);
  ASSERT_TRUE(chooseDelete(QPoint(p.x, p.y)));
  EXPECT_FALSE(doc.Database().Replicate(2).IsActive());
  EXPECT_GT(CurvePoints(doc.Database(), 2, kCurveRaw).count, 0u);
  EXPECT_EQ(doc.UndoCount(), steps + 1);
  doc.Undo();
  EXPECT_TRUE(doc.Database().Replicate(2).IsActive());
  // An empty corner: nothing there.
  ui.Clear();
  ASSERT_TRUE(chooseDelete(QPoint(3, 3)));
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Cannot find a curve"});
  EXPECT_TRUE(ui.questions.empty());
}

TEST_F(ViewTest, DraggingACurveShiftsItByTheDraggedWorldDistanceAsOneUndoStep) {
  const CCurveView c = CurvePoints(doc.Database(), 1, kCurveRaw);
  std::vector<double> xs, ys;
  for (size_t i = 0; i < c.count; ++i)
    xs.push_back(c.x[i * c.stride]), ys.push_back(c.y[i * c.stride]);
  const size_t steps = doc.UndoCount();
  const CLimits w = PlotLimits(doc);
  const int frameWidth = Graph().FrameWidth(), frameHeight = Graph().FrameHeight();

  view->Action(ViewCommand::MoveCurve)->trigger();
  ASSERT_EQ(view->State().GetMode(), CPlotView::kModeMoveCurve);
  const CDevicePoint d = RawPointAt(doc, Graph(), 1, PeakRow(doc, 1));
  const QPoint from(d.x, d.y), to = from + QPoint(40, -30);
  QTest::mousePress(view.get(), Qt::LeftButton, {}, from);
  QTest::mouseMove(view.get(), from + QPoint(20, -10));
  // The preview: the document shows the curve moved while the drag goes on.
  EXPECT_TRUE(doc.IsEditing());
  EXPECT_NE(CurvePoints(doc.Database(), 1, kCurveRaw).x[0], xs[0]);
  // The picture shows the moved curve (drawn over the others while it is
  // dragged) where its points now are, and the extents are those of the
  // moved data.
  {
    const QImage shown = view->grab().toImage();
    // A point in the middle of the curve (its peak has left the window).
    const CDevicePoint middle = RawPointAt(doc, Graph(), 1, PeakRow(doc, 1) / 2);
    const QColor pen = CQtPlotCanvas::Colour(CurvePen(doc.PlotSettings(), 1, kCurveRaw).colour);
    ASSERT_TRUE(Graph().Frame().Contains(middle));
    EXPECT_EQ(shown.pixelColor(middle.x, middle.y), pen);
    std::vector<double> during, fresh;
    for (int e = kRawMin; e <= kOverallMax; ++e)
      during.push_back(doc.Database().GetExtent(e, 1)),
          during.push_back(doc.Database().GetExtent(e, 2));
    doc.EditDatabase().ComputeExtents(true);
    for (int e = kRawMin; e <= kOverallMax; ++e)
      fresh.push_back(doc.Database().GetExtent(e, 1)),
          fresh.push_back(doc.Database().GetExtent(e, 2));
    EXPECT_EQ(during, fresh);
  }
  QTest::mouseMove(view.get(), to);
  QTest::mouseRelease(view.get(), Qt::LeftButton, {}, to);
  EXPECT_FALSE(doc.IsEditing());

  const double dx = 40.0 * (double(w.xMax) - double(w.xMin)) / frameWidth;
  const double dy = 30.0 * (double(w.yMax) - double(w.yMin)) / frameHeight;
  const CCurveView moved = CurvePoints(doc.Database(), 1, kCurveRaw);
  ASSERT_EQ(moved.count, xs.size());
  for (size_t i = 0; i < moved.count; i += 97) {
    EXPECT_NEAR(moved.x[i * moved.stride], xs[i] + dx, 1e-9 * (w.xMax - w.xMin));
    EXPECT_NEAR(moved.y[i * moved.stride], ys[i] + dy, 1e-9 * (w.yMax - w.yMin));
  }
  EXPECT_EQ(doc.UndoCount(), steps + 1);
  ASSERT_TRUE(doc.Undo());
  const CCurveView back = CurvePoints(doc.Database(), 1, kCurveRaw);
  for (size_t i = 0; i < back.count; ++i) {
    ASSERT_EQ(back.x[i * back.stride], xs[i]);
    ASSERT_EQ(back.y[i * back.stride], ys[i]);
  }

  // Escape during a drag puts the curve back without a step.
  QTest::mousePress(view.get(), Qt::LeftButton, {}, from);
  QTest::mouseMove(view.get(), to);
  QTest::keyClick(view.get(), Qt::Key_Escape);
  EXPECT_FALSE(doc.IsEditing());
  EXPECT_EQ(CurvePoints(doc.Database(), 1, kCurveRaw).x[0], xs[0]);
  EXPECT_EQ(doc.UndoCount(), steps + 1);
  QTest::mouseRelease(view.get(), Qt::LeftButton, {}, to);

  // Leaving the mode; once the data are smoothed the mode is refused.
  view->Action(ViewCommand::MoveCurve)->trigger();
  EXPECT_EQ(view->State().GetMode(), CPlotView::kModeNone);
  doc.Modify("smoothed", kChangeData, [](CReplicateDB& db, CGEList&) {
    db.smoothedFlag = 1;
    return true;
  });
  EXPECT_FALSE(view->Action(ViewCommand::MoveCurve)->isEnabled());
  view->ToggleMoveCurveMode();
  EXPECT_EQ(view->State().GetMode(), CPlotView::kModeNone);
}

TEST_F(ViewTest, PointModeOpensTheMoveDialogWhoseApplyShiftsTheChosenReplicate) {
  view->Action(ViewCommand::PointCoordinates)->trigger();
  const CDevicePoint d = RawPointAt(doc, Graph(), 3, PeakRow(doc, 3));
  QTest::mouseClick(view.get(), Qt::LeftButton, {}, QPoint(d.x, d.y));
  CCurveMoveDlg* dialog = view->CurveMoveDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->ReplicateBox()->currentText(), "3");
  const double x0 = CurvePoints(doc.Database(), 3, kCurveRaw).x[0];
  dialog->XEdit()->setText("0.5");
  dialog->YEdit()->setText("-2");
  const size_t steps = doc.UndoCount();
  QTest::mouseClick(dialog->ApplyButton(), Qt::LeftButton);
  EXPECT_DOUBLE_EQ(CurvePoints(doc.Database(), 3, kCurveRaw).x[0], x0 + 0.5);
  EXPECT_EQ(doc.UndoCount(), steps + 1);
  EXPECT_TRUE(dialog->isVisible());  // stays open until "Done"
  // No replicate chosen: refused.
  dialog->ReplicateBox()->setCurrentIndex(-1);
  QTest::mouseClick(dialog->ApplyButton(), Qt::LeftButton);
  EXPECT_EQ(ui.Last(), "Choose the replicate to move.");
  EXPECT_EQ(doc.UndoCount(), steps + 1);
  dialog->close();
}

TEST(BestFitDialogTest, RefusesNinePointsAndABlankNameWithTheirMessagesAndStaysOpen) {
  CRecordingUi ui;
  CBestFitDlg dialog;
  dialog.show();
  EXPECT_EQ(dialog.NameEdit()->text(), "Untitled");
  dialog.PointsEdit()->setText("9");
  QTest::mouseClick(dialog.ProceedButton(), Qt::LeftButton);
  EXPECT_EQ(ui.Last(), "Enter an integer between 10 and 100 for the number of data points.");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  dialog.PointsEdit()->setText("100");
  dialog.NameEdit()->clear();
  QTest::mouseClick(dialog.ProceedButton(), Qt::LeftButton);
  EXPECT_EQ(ui.Last(), "Data set name cannot be blank");
  EXPECT_TRUE(dialog.isVisible());
  dialog.NameEdit()->setText("mean");
  QTest::mouseClick(dialog.ProceedButton(), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(std::tuple(dialog.Form().name, dialog.Form().points, dialog.Form().endIndex),
            std::tuple(std::string("mean"), 100, 1));
}

TEST_F(ViewTest, BestFitPlotBuildsTheCurveAsOneStepAndShowsTheBestFitPlot) {
  const size_t steps = doc.UndoCount();
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<CBestFitDlg*>(QApplication::activeModalWidget());
    if (!dialog) return;
    dialog->NameEdit()->setText("mean");
    dialog->PointsEdit()->setText("50");
    QTest::mouseClick(dialog->ProceedButton(), Qt::LeftButton);
  });
  view->Action(ViewCommand::BestFitPlot)->trigger();
  EXPECT_EQ(ui.Last(), "Best fit procedure was successful");
  EXPECT_EQ(view->State().GetPlotKind(), kBestFitPlot);
  EXPECT_EQ(BestFitPoints(doc.Database()).count, 50u);
  EXPECT_EQ(doc.UndoCount(), steps + 1);
  EXPECT_EQ(ui.Texts(MessageKind::Diagnostic), std::vector<std::string>{});
  // Undo takes the curve and its replicate away again; redo brings them back.
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(std::pair(BestFitPoints(doc.Database()).count, doc.Database().GetReplicateCount()),
            std::pair(size_t{0}, 3));
  ASSERT_TRUE(doc.Redo());
  EXPECT_EQ(std::pair(BestFitPoints(doc.Database()).count, doc.Database().GetReplicateCount()),
            std::pair(size_t{50}, 4));
}

}  // namespace
}  // namespace olm::test
