// The drawing tools on the real plot view: creating each kind by mouse on a
// linear and a log-log plot, moving and reshaping, picking the front-most
// object, the depth commands of the context menu, deleting with its
// question, copy and paste, the attribute dialogs, the drawing-layer zoom
// and pan, undo back to the saved bytes, and save and open.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <fstream>
#include <sstream>

#include "ViewTestSupport.hpp"
#include "app/DrawingAttributesDlg.hpp"
#include "app/DrawingTools.hpp"
#include "app/OLMView.hpp"
#include "ui/ColourButton.hpp"
#include "ui/StyleComboBoxes.hpp"

namespace olm::test {
namespace {

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs fn on the modal dialog of type D as soon as it is shown.
template <class D, class F>
void OnModal(F fn) {
  QTimer::singleShot(0, [fn] {
    auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    fn(*d);
  });
}

class DrawingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ImportSamples(doc));
    QApplication::clipboard()->clear();
    view = std::make_unique<COLMView>(doc);
    view->resize(900, 600);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    view->repaint();
    drawing = &CDrawingController::Of(*view);
    ui.Clear();
  }
  void TearDown() override { view.reset(); }

  const CGraph& Graph() { return view->State().Graph(); }
  // An axis kind; log axes get a window of positive limits first.
  void SetKind(int kind) {
    if (kind != CGraph::kLinear)
      doc.ModifyView(kChangeData, [](CReplicateDB& db, CGEList&) {
        CPlotSettings& s = db.plotSettings;
        s.plotXMin = 1e-4f, s.plotXMax = 1e-1f, s.plotYMin = 10.0f, s.plotYMax = 1000.0f;
        return true;
      });
    view->SetAxisKind(kind);
    view->repaint();
    ui.Clear();
  }
  // The plot frame's point at fractions of its width and height.
  QPoint At(double fx, double fy) {
    view->PreparePlot();
    const CDeviceRect& f = Graph().Frame();
    return {f.left + static_cast<int>(fx * f.Width()), f.top + static_cast<int>(fy * f.Height())};
  }
  QPoint Screen(const CPoint3& p) {
    view->PreparePlot();
    const CDevicePoint d = Graph().WorldToDevice(p.x, p.y);
    return {d.x, d.y};
  }
  void Tool(DrawingTool t) { drawing->ToolAction(t)->trigger(); }
  void Click(QPoint p, Qt::KeyboardModifiers m = {}) {
    QTest::mouseClick(view.get(), Qt::LeftButton, m, p);
  }
  void Drag(QPoint from, QPoint to) {
    QTest::mousePress(view.get(), Qt::LeftButton, {}, from);
    QTest::mouseMove(view.get(), (from + to) / 2);
    QTest::mouseMove(view.get(), to);
    QTest::mouseRelease(view.get(), Qt::LeftButton, {}, to);
  }
  const CGraphicElement& Last() { return doc.Objects().At(doc.Objects().GetCount() - 1); }
  // Draws a filled rectangle between two fractions of the frame.
  void Rectangle(double x0, double y0, double x1, double y1) {
    Tool(DrawingTool::FilledRectangle);
    Drag(At(x0, y0), At(x1, y1));
    Tool(DrawingTool::Select);
  }
  QAction* MenuAction(QMenu& menu, const QString& text) {
    for (QAction* a : menu.actions())
      if (a->text() == text) return a;
    return nullptr;
  }
  void RunContextCommand(QPoint p, const char* text) {
    std::unique_ptr<QMenu> menu(view->CreateContextMenu(p));
    QAction* a = MenuAction(*menu, QString::fromLatin1(text));
    ASSERT_NE(a, nullptr) << text;
    ASSERT_TRUE(a->isEnabled()) << text;
    a->trigger();
  }
  // Each defining point lands on the screen where the mouse put it.
  void ExpectAt(const CGraphicElement& e, const std::vector<QPoint>& screen) {
    const std::vector<CPoint3> points = e.GetEndPoints();
    ASSERT_EQ(points.size(), screen.size());
    for (size_t i = 0; i < points.size(); ++i) {
      const QPoint s = Screen(points[i]);
      // Within rounding of the pixel in each direction.
      EXPECT_LE(std::abs(s.x() - screen[i].x()), 1) << "point " << i;
      EXPECT_LE(std::abs(s.y() - screen[i].y()), 1) << "point " << i;
      EXPECT_EQ(points[i].z, 0.0);
    }
  }

  CRecordingUi ui;
  COLMDoc doc;
  std::unique_ptr<COLMView> view;
  CDrawingController* drawing = nullptr;
  CTempDir temp;
};

// ---------------------------------------------------------------------------
// Creating by mouse on a linear and a log-log plot.

class DrawingCreateTest : public DrawingTest, public ::testing::WithParamInterface<int> {};

TEST_P(DrawingCreateTest, EachKindGetsTheMousePointsInWorldCoordinates) {
  SetKind(GetParam());
  ASSERT_TRUE(view->PreparePlot());
  ui.Clear();
  drawing->Attributes().lineColour = 0x0000FF;
  drawing->Attributes().fillColour = 0x00FF00;
  drawing->Attributes().lineWidth = 3;

  struct Case {
    DrawingTool tool;
    int type;
    int transparent;
  };
  const Case cases[] = {
      {DrawingTool::FilledRectangle, kGERectangle, 0},
      {DrawingTool::FilledCircle, kGECircle, 0},
      {DrawingTool::TransparentRectangle, kGERectangle, 1},
      {DrawingTool::TransparentCircle, kGECircle, 1},
      {DrawingTool::Shape, kGEWingDing, 0},
      {DrawingTool::Line, kGELine, 0},
      {DrawingTool::Arrow, kGELine, 0},
  };
  size_t steps = doc.UndoCount();
  double offset = 0.0;
  for (const Case& c : cases) {
    Tool(c.tool);
    const QPoint a = At(0.1 + offset, 0.2), b = At(0.2 + offset, 0.5);
    Drag(a, b);
    offset += 0.1;
    ASSERT_EQ(doc.UndoCount(), ++steps) << "one undo step per object";
    const CGraphicElement& e = Last();
    EXPECT_EQ(e.TypeCode(), c.type);
    EXPECT_EQ(e.transparent, c.transparent);
    EXPECT_EQ(e.lineColour, 0x0000FFu);
    EXPECT_EQ(e.fillColour, 0x00FF00u);
    EXPECT_EQ(e.lineWidth, 3);
    ExpectAt(e, {a, b});
    // The point is inside the plot window in world units.
    const CPlotSettings& s = doc.PlotSettings();
    for (const CPoint3& p : e.GetEndPoints()) {
      EXPECT_GT(p.x, s.plotXMin);
      EXPECT_LT(p.x, s.plotXMax);
      EXPECT_GT(p.y, s.plotYMin);
      EXPECT_LT(p.y, s.plotYMax);
    }
    if (c.tool == DrawingTool::Line) {
      EXPECT_EQ(dynamic_cast<const CSLine&>(e).arrowMode, kArrowNone);
    }
    if (c.tool == DrawingTool::Arrow) {
      EXPECT_NE(dynamic_cast<const CSLine&>(e).arrowMode, kArrowNone);
    }
  }

  // A click without a drag makes no two-point object.
  Tool(DrawingTool::FilledRectangle);
  Click(At(0.5, 0.5));
  EXPECT_EQ(doc.UndoCount(), steps);

  // Polygon: a click per vertex, a double click closes.
  Tool(DrawingTool::Polygon);
  const std::vector<QPoint> vertices = {At(0.3, 0.6), At(0.5, 0.55), At(0.45, 0.8), At(0.32, 0.75)};
  for (size_t i = 0; i + 1 < vertices.size(); ++i) Click(vertices[i]);
  EXPECT_EQ(doc.UndoCount(), steps) << "no polygon before it is closed";
  QTest::mouseDClick(view.get(), Qt::LeftButton, {}, vertices.back());
  ASSERT_EQ(doc.UndoCount(), ++steps);
  EXPECT_EQ(Last().TypeCode(), kGEPolygon);
  ExpectAt(Last(), vertices);

  // Bezier: four control points.
  Tool(DrawingTool::Bezier);
  const std::vector<QPoint> controls = {At(0.6, 0.9), At(0.65, 0.6), At(0.8, 0.95), At(0.9, 0.7)};
  for (QPoint p : controls) Click(p);
  ASSERT_EQ(doc.UndoCount(), ++steps);
  EXPECT_EQ(Last().TypeCode(), kGECubicBezier);
  ExpectAt(Last(), controls);

  // Text: a click, then typing in place.
  Tool(DrawingTool::Text);
  const QPoint anchor = At(0.7, 0.1);
  Click(anchor);
  QLineEdit* editor = drawing->TextEditor();
  ASSERT_NE(editor, nullptr);
  QTest::keyClicks(editor, QStringLiteral("Yield point"));
  QTest::keyClick(editor, Qt::Key_Return);
  ASSERT_EQ(doc.UndoCount(), ++steps);
  const auto* text = dynamic_cast<const CText*>(&Last());
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->text, "Yield point");
  EXPECT_EQ(text->font.font.faceName, "Arial");
  ExpectAt(*text, {anchor});
  EXPECT_TRUE(ui.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(AxisKinds, DrawingCreateTest,
                         ::testing::Values(CGraph::kLinear, CGraph::kXLogYLog));

TEST_F(DrawingTest, ToolbarHasEveryToolInOrderCheckableAndExclusive) {
  QWidget window;
  QToolBar* bar = CreateDrawingToolBar(&window, *view);
  QStringList tips;
  for (QAction* a : bar->actions()) {
    if (auto* w = qobject_cast<QToolButton*>(bar->widgetForAction(a)); w && w->menu())
      tips << w->defaultAction()->toolTip();
    else if (!a->isSeparator())
      tips << a->toolTip();
  }
  const QStringList expected = {"Select Tool",
                                "Select Point",
                                "Draw Filled Rectangle",
                                "Draw Filled Circle",
                                "Draw Transparent Rectangle",
                                "Draw Transparent Circle",
                                "Polygon",
                                "Specialized shapes",
                                "Draw Line",
                                "Line with arrow",
                                "Text",
                                "Cubic Bezier curve",
                                "Edit line attributes",
                                "Edit all polygon attributes",
                                "Edit text",
                                "Zoom in on drawing objects",
                                "Zoom out",
                                "Pan"};
  EXPECT_EQ(tips, expected);

  // The fly-out holds the 11 shapes in 7 columns; a shape chooses the tool.
  auto* flyout = bar->findChild<QToolButton*>(QStringLiteral("SpecializedShapes"));
  ASSERT_NE(flyout, nullptr);
  ASSERT_NE(flyout->menu(), nullptr);
  EXPECT_EQ(flyout->menu()->findChildren<QToolButton*>().size(), kShapeCount);
  auto* seven = flyout->menu()->findChild<QToolButton*>(QStringLiteral("Shape7"));
  auto* eight = flyout->menu()->findChild<QToolButton*>(QStringLiteral("Shape8"));
  ASSERT_TRUE(seven && eight);
  seven->click();
  EXPECT_EQ(drawing->Tool(), DrawingTool::Shape);
  EXPECT_EQ(drawing->ShapeNumber(), 7);
  Drag(At(0.2, 0.2), At(0.3, 0.3));
  EXPECT_EQ(dynamic_cast<const CWingDing&>(Last()).shape, 7);

  // Exclusive: one tool checked at a time; Escape returns to the select tool.
  Tool(DrawingTool::Polygon);
  int checked = 0;
  for (int t = 0; t < kDrawingToolCount; ++t)
    checked += drawing->ToolAction(static_cast<DrawingTool>(t))->isChecked() ? 1 : 0;
  EXPECT_EQ(checked, 1);
  EXPECT_TRUE(drawing->ToolAction(DrawingTool::Polygon)->isChecked());
  Click(At(0.5, 0.5));
  QTest::keyClick(view.get(), Qt::Key_Escape);  // drops the polygon begun
  QTest::keyClick(view.get(), Qt::Key_Escape);  // leaves the tool
  EXPECT_EQ(drawing->Tool(), DrawingTool::Select);
  EXPECT_TRUE(drawing->ToolAction(DrawingTool::Select)->isChecked());
  EXPECT_EQ(doc.Objects().GetCount(), 1);
}

// ---------------------------------------------------------------------------
// Selecting, moving, reshaping.

class DrawingEditTest : public DrawingTest, public ::testing::WithParamInterface<int> {};

TEST_P(DrawingEditTest, MoveAndReshapeFollowTheMouse) {
  SetKind(GetParam());
  Rectangle(0.2, 0.2, 0.4, 0.5);
  const std::vector<CPoint3> before = Last().GetEndPoints();
  const QPoint c1 = Screen(before[0]), c2 = Screen(before[1]);
  const size_t steps = doc.UndoCount();

  // Drag the body: both corners follow, as one undo step.
  const QPoint delta(40, 25);
  Drag((c1 + c2) / 2, (c1 + c2) / 2 + delta);
  EXPECT_EQ(doc.UndoCount(), steps + 1);
  EXPECT_TRUE(Last().selected);
  ExpectAt(Last(), {c1 + delta, c2 + delta});

  // Drag the second corner's handle: only that corner moves.
  const QPoint handleDelta(30, -15);
  Drag(c2 + delta, c2 + delta + handleDelta);
  EXPECT_EQ(doc.UndoCount(), steps + 2);
  ExpectAt(Last(), {c1 + delta, c2 + delta + handleDelta});
  EXPECT_EQ(doc.UndoNames().back(), "Reshape Object");

  // Arrow keys nudge by one pixel.
  view->setFocus();
  QTest::keyClick(view.get(), Qt::Key_Left);
  QTest::keyClick(view.get(), Qt::Key_Down);
  EXPECT_EQ(doc.UndoCount(), steps + 4);
  ExpectAt(Last(), {c1 + delta + QPoint(-1, 1), c2 + delta + handleDelta + QPoint(-1, 1)});

  // Escape in the middle of a drag puts the object back.
  const std::vector<CPoint3> settled = Last().GetEndPoints();
  const QPoint middle = (Screen(settled[0]) + Screen(settled[1])) / 2;
  QTest::mousePress(view.get(), Qt::LeftButton, {}, middle);
  QTest::mouseMove(view.get(), middle + QPoint(20, 20));
  QTest::keyClick(view.get(), Qt::Key_Escape);
  QTest::mouseRelease(view.get(), Qt::LeftButton, {}, middle + QPoint(20, 20));
  EXPECT_EQ(Last().GetEndPoints(), settled);
  EXPECT_EQ(doc.UndoCount(), steps + 4);

  // Undo of the move gives the corners back exactly.
  while (doc.UndoCount() > steps && doc.UndoIndex() > steps) doc.Undo();
  EXPECT_EQ(Last().GetEndPoints(), before);
}

INSTANTIATE_TEST_SUITE_P(AxisKinds, DrawingEditTest,
                         ::testing::Values(CGraph::kLinear, CGraph::kXLogYLog));

TEST_F(DrawingTest, SelectionByClickShiftClickAndRubberBand) {
  Rectangle(0.1, 0.1, 0.2, 0.2);
  Rectangle(0.3, 0.1, 0.4, 0.2);
  Rectangle(0.6, 0.6, 0.7, 0.7);
  const CGEList& objects = doc.Objects();
  Click(At(0.15, 0.15));
  EXPECT_EQ(objects.SelectedCount(), 1);
  EXPECT_TRUE(objects.At(0).selected);
  Click(At(0.35, 0.15), Qt::ShiftModifier);
  EXPECT_EQ(objects.SelectedCount(), 2);
  EXPECT_EQ(objects.Current(), &objects.At(1));
  Click(At(0.9, 0.9));  // empty space
  EXPECT_EQ(objects.SelectedCount(), 0);
  Drag(At(0.05, 0.05), At(0.45, 0.3));  // the band holds the first two
  EXPECT_TRUE(objects.At(0).selected);
  EXPECT_TRUE(objects.At(1).selected);
  EXPECT_FALSE(objects.At(2).selected);
  // Selection is not an undo step and does not modify the project.
  EXPECT_EQ(doc.UndoNames().back(), "Add Object");
}

TEST_F(DrawingTest, ClickPicksTheFrontMostOfTwoOverlappingObjects) {
  Rectangle(0.2, 0.2, 0.5, 0.5);
  Rectangle(0.3, 0.3, 0.6, 0.6);
  const CGEList& objects = doc.Objects();
  const QPoint overlap = At(0.4, 0.4);
  Click(overlap);
  EXPECT_TRUE(objects.At(1).selected) << "the later of equal depth is in front";
  EXPECT_FALSE(objects.At(0).selected);
  RunContextCommand(overlap, "Push Back One");
  EXPECT_EQ(objects.At(1).depth, 1);
  Click(overlap);
  EXPECT_TRUE(objects.At(0).selected) << "the object in front wins";
  EXPECT_FALSE(objects.At(1).selected);
}

TEST_F(DrawingTest, DepthCommandsFromTheContextMenu) {
  Rectangle(0.1, 0.1, 0.2, 0.2);
  Rectangle(0.3, 0.1, 0.4, 0.2);
  Rectangle(0.5, 0.1, 0.6, 0.2);
  const CGEList& objects = doc.Objects();
  const QPoint second = At(0.35, 0.15);
  const auto depths = [&] {
    return std::vector<int>{objects.At(0).depth, objects.At(1).depth, objects.At(2).depth};
  };
  // The context menu selects the object under it; at the front already,
  // "Bring to Front" pushes the others back.
  RunContextCommand(second, "Bring to Front");
  EXPECT_EQ(depths(), (std::vector<int>{1, 0, 1}));
  RunContextCommand(second, "Push Back One");
  EXPECT_EQ(depths(), (std::vector<int>{1, 1, 1}));
  RunContextCommand(second, "Push Back One");
  EXPECT_EQ(depths(), (std::vector<int>{1, 2, 1}));
  RunContextCommand(second, "Bring to Front");
  EXPECT_EQ(depths(), (std::vector<int>{1, 1, 1}));
  RunContextCommand(second, "Bring to Front of Page");
  EXPECT_EQ(depths(), (std::vector<int>{1, 0, 1}));
  RunContextCommand(second, "Push to Back of Page");
  EXPECT_EQ(depths(), (std::vector<int>{1, objects.GetMaxDepth(), 1}));
  EXPECT_EQ(objects.GetMaxDepth(), 2);
  // Each command is one undo step named after it.
  const std::vector<std::string> names = doc.UndoNames();
  EXPECT_EQ(std::vector<std::string>(names.end() - 6, names.end()),
            (std::vector<std::string>{"Bring to Front", "Push Back One", "Push Back One",
                                      "Bring to Front", "Bring to Front of Page",
                                      "Push to Back of Page"}));
}

TEST_F(DrawingTest, DeleteAsksAndStopAskingCoversTheRest) {
  for (int i = 0; i < 4; ++i) Rectangle(0.1 + 0.2 * i, 0.1, 0.2 + 0.2 * i, 0.2);
  Drag(At(0.02, 0.02), At(0.98, 0.3));
  ASSERT_EQ(doc.Objects().SelectedCount(), 4);
  // No to the first, then Yes with "stop asking": the rest go unasked.
  ui.QueueAnswer(false);
  ui.QueueAnswer(true, true);
  RunContextCommand(At(0.15, 0.15), "Delete");
  EXPECT_EQ(ui.questions, std::vector<std::string>(2, "Delete object. Are you sure?"));
  EXPECT_EQ(doc.Objects().GetCount(), 1);
  EXPECT_EQ(doc.UndoNames().back(), "Delete Objects");
  doc.Undo();
  EXPECT_EQ(doc.Objects().GetCount(), 4);

  // Refusing every one changes nothing and leaves no undo step.
  Drag(At(0.02, 0.02), At(0.98, 0.3));
  const size_t steps = doc.UndoIndex();
  ui.Clear();
  ui.QueueAnswer(false, true);
  drawing->CommandAction(DrawingCommand::Delete)->trigger();
  EXPECT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(doc.Objects().GetCount(), 4);
  EXPECT_EQ(doc.UndoIndex(), steps);
}

TEST_F(DrawingTest, PasteBeforeCopyShowsTheMessageAndAddsNothing) {
  Rectangle(0.1, 0.1, 0.2, 0.2);
  const size_t steps = doc.UndoIndex();
  RunContextCommand(At(0.5, 0.5), "Paste");
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Need to copy a single object before pasting."});
  EXPECT_EQ(doc.Objects().GetCount(), 1);
  EXPECT_EQ(doc.UndoIndex(), steps);
}

TEST_F(DrawingTest, CopyAndPasteWithinAndIntoAnotherProject) {
  Tool(DrawingTool::Arrow);
  Drag(At(0.1, 0.1), At(0.3, 0.4));
  Tool(DrawingTool::Select);
  Click(Screen(Last().GetEndPoints()[0]));
  ASSERT_EQ(doc.Objects().SelectedCount(), 1);
  drawing->CommandAction(DrawingCommand::Copy)->trigger();
  ASSERT_TRUE(QApplication::clipboard()->mimeData()->hasFormat(kDrawingMimeType));
  drawing->CommandAction(DrawingCommand::Paste)->trigger();
  ASSERT_EQ(doc.Objects().GetCount(), 2);
  EXPECT_TRUE(doc.Objects().At(1).selected);
  EXPECT_FALSE(doc.Objects().At(0).selected);
  EXPECT_EQ(doc.Objects().At(1).GetEndPoints(), doc.Objects().At(0).GetEndPoints());
  EXPECT_EQ(doc.UndoNames().back(), "Paste");

  // Another open project pastes it from the system clipboard.
  COLMDoc other;
  ASSERT_TRUE(ImportSamples(other, 1));
  ui.Clear();
  COLMView otherView(other);
  CDrawingController::Of(otherView).CommandAction(DrawingCommand::Paste)->trigger();
  ASSERT_EQ(other.Objects().GetCount(), 1);
  const auto& pasted = dynamic_cast<const CSLine&>(other.Objects().At(0));
  const auto& original = dynamic_cast<const CSLine&>(doc.Objects().At(0));
  EXPECT_EQ(pasted.GetEndPoints(), original.GetEndPoints());
  EXPECT_EQ(pasted.arrowMode, original.arrowMode);
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{});

  // A damaged clipboard entry is refused with a message.
  auto* mime = new QMimeData;
  mime->setData(kDrawingMimeType, QByteArray("\x01\x00", 2));
  QApplication::clipboard()->setMimeData(mime);
  CDrawingController::Of(otherView).Paste();
  EXPECT_EQ(other.Objects().GetCount(), 1);
  EXPECT_EQ(ui.Texts().size(), 1u);
}

// ---------------------------------------------------------------------------
// Attribute dialogs.

TEST_F(DrawingTest, AttributeDialogsApplyToTheSelectedObjects) {
  Tool(DrawingTool::Line);
  Drag(At(0.1, 0.1), At(0.3, 0.4));
  Rectangle(0.5, 0.5, 0.6, 0.6);
  Drag(At(0.02, 0.02), At(0.98, 0.98));
  ASSERT_EQ(doc.Objects().SelectedCount(), 2);

  OnModal<CLineAttributesDlg>([](CLineAttributesDlg& d) {
    EXPECT_EQ(d.windowTitle(), "Line and Arrow Data");
    d.colour->SetColour(0x123456);
    d.width->SetWidth(4);
    d.style->SetValue(2);
    d.arrow->setCurrentIndex(kArrowBoth);
    d.accept();
  });
  drawing->EditLineAttributes();
  const auto& line = dynamic_cast<const CSLine&>(doc.Objects().At(0));
  EXPECT_EQ(line.lineColour, 0x123456u);
  EXPECT_EQ(line.lineWidth, 4);
  EXPECT_EQ(line.lineStyle, 2);
  EXPECT_EQ(line.arrowMode, kArrowBoth);
  EXPECT_EQ(doc.Objects().At(1).lineWidth, 4);
  EXPECT_EQ(doc.UndoNames().back(), "Line Attributes");

  OnModal<CPolygonAttributesDlg>([](CPolygonAttributesDlg& d) {
    EXPECT_EQ(d.windowTitle(), "Polygon Data");
    d.fillColour->SetColour(0x00FFFF);
    d.transparent->setChecked(true);
    d.accept();
  });
  drawing->EditPolygonAttributes();
  EXPECT_EQ(doc.Objects().At(1).fillColour, 0x00FFFFu);
  EXPECT_EQ(doc.Objects().At(1).transparent, 1);

  // Cancel changes nothing.
  const size_t steps = doc.UndoIndex();
  OnModal<CPolygonAttributesDlg>([](CPolygonAttributesDlg& d) {
    d.fillColour->SetColour(0xFF0000);
    d.reject();
  });
  drawing->EditPolygonAttributes();
  EXPECT_EQ(doc.UndoIndex(), steps);
  EXPECT_EQ(doc.Objects().At(1).fillColour, 0x00FFFFu);

  // New objects take the attributes last chosen.
  Tool(DrawingTool::Line);
  Drag(At(0.7, 0.1), At(0.8, 0.2));
  EXPECT_EQ(Last().lineColour, 0x123456u);
  EXPECT_EQ(dynamic_cast<const CSLine&>(Last()).lineStyle, 2);
}

TEST_F(DrawingTest, EditTextChangesTheTextAndFont) {
  Tool(DrawingTool::Text);
  const QPoint anchor = At(0.3, 0.3);
  Click(anchor);
  QTest::keyClicks(drawing->TextEditor(), QStringLiteral("Note"));
  QTest::keyClick(drawing->TextEditor(), Qt::Key_Return);
  Tool(DrawingTool::Select);
  Click(anchor + QPoint(4, 4));
  ASSERT_EQ(doc.Objects().SelectedCount(), 1);
  OnModal<CTextDlg>([](CTextDlg& d) {
    EXPECT_EQ(d.windowTitle(), "Edit Text");
    EXPECT_EQ(d.text->text(), "Note");
    d.text->setText(QStringLiteral("Yield at 0.2 %"));
    d.size->setValue(20);
    d.bold->setChecked(true);
    d.colour->SetColour(0x0000C0);
    d.accept();
  });
  drawing->CommandAction(DrawingCommand::EditText)->trigger();
  const auto& text = dynamic_cast<const CText&>(Last());
  EXPECT_EQ(text.text, "Yield at 0.2 %");
  EXPECT_EQ(text.font.font.height, -20);
  EXPECT_EQ(text.textHeight, -20);
  EXPECT_EQ(text.font.font.weight, 700);
  EXPECT_EQ(text.font.colour, 0x0000C0u);
  EXPECT_EQ(doc.UndoNames().back(), "Edit Text");
}

// ---------------------------------------------------------------------------
// Zoom and pan of the drawing layer.

TEST_F(DrawingTest, DrawingLayerZoomAndPanMoveThePlotWindowNotTheObjects) {
  Rectangle(0.4, 0.4, 0.5, 0.5);
  const std::vector<CPoint3> points = Last().GetEndPoints();
  const CPlotSettings full = doc.PlotSettings();
  const size_t steps = doc.UndoIndex();

  Tool(DrawingTool::ObjectZoom);
  EXPECT_EQ(view->State().GetMode(), CPlotView::kModeObjectZoom);
  Drag(At(0.25, 0.25), At(0.75, 0.75));
  const CPlotSettings zoomed = doc.PlotSettings();
  EXPECT_LT(zoomed.plotXMax - zoomed.plotXMin, full.plotXMax - full.plotXMin);
  EXPECT_EQ(view->State().GetMode(), CPlotView::kModeObjectZoom) << "the tool stays";
  // The object keeps its world points and now covers more of the screen.
  EXPECT_EQ(Last().GetEndPoints(), points);
  const QPoint a = Screen(points[0]), b = Screen(points[1]);
  EXPECT_GT(std::abs(b.x() - a.x()), At(0.5, 0).x() - At(0.4, 0).x() + 10);

  Tool(DrawingTool::ObjectPan);
  EXPECT_EQ(view->State().GetMode(), CPlotView::kModeObjectPan);
  Drag(At(0.5, 0.5), At(0.4, 0.5));
  EXPECT_GT(doc.PlotSettings().plotXMin, zoomed.plotXMin);
  EXPECT_EQ(Last().GetEndPoints(), points);

  drawing->CommandAction(DrawingCommand::ZoomOut)->trigger();
  EXPECT_EQ(doc.PlotSettings().plotXMin, full.plotXMin);
  EXPECT_EQ(doc.PlotSettings().plotXMax, full.plotXMax);
  // View changes: no undo step, the project stays unmodified.
  EXPECT_EQ(doc.UndoIndex(), steps);
  Tool(DrawingTool::Select);
  EXPECT_EQ(view->State().GetMode(), CPlotView::kModeNone);
}

// ---------------------------------------------------------------------------
// Undo back to the saved bytes; save and open.

TEST_F(DrawingTest, UndoOfEachCommandRestoresTheSavedProjectByteForByte) {
  Rectangle(0.1, 0.1, 0.3, 0.3);
  Tool(DrawingTool::Text);
  Click(At(0.5, 0.5));
  QTest::keyClicks(drawing->TextEditor(), QStringLiteral("Label"));
  QTest::keyClick(drawing->TextEditor(), Qt::Key_Return);
  Tool(DrawingTool::Select);
  const QPoint body = At(0.2, 0.2);
  Click(body);
  drawing->CommandAction(DrawingCommand::Copy)->trigger();

  struct Step {
    const char* name;
    std::function<void()> run;
  };
  const std::vector<Step> commands = {
      {"create",
       [&] {
         Tool(DrawingTool::Line);
         Drag(At(0.6, 0.6), At(0.8, 0.7));
         Tool(DrawingTool::Select);
       }},
      {"move",
       [&] {
         Click(body);
         Drag(body, body + QPoint(15, 10));
       }},
      {"reshape",
       [&] {
         Click(body);
         const QPoint corner = Screen(doc.Objects().At(0).GetEndPoints()[0]);
         Drag(corner, corner + QPoint(-10, -10));
       }},
      {"nudge",
       [&] {
         Click(body);
         QTest::keyClick(view.get(), Qt::Key_Right);
       }},
      {"attributes",
       [&] {
         Click(body);
         OnModal<CPolygonAttributesDlg>([](CPolygonAttributesDlg& d) {
           d.width->SetWidth(5);
           d.accept();
         });
         drawing->EditPolygonAttributes();
       }},
      {"depth", [&] { RunContextCommand(body, "Bring to Front"); }},
      {"delete",
       [&] {
         Click(body);
         ui.QueueAnswer(true);
         drawing->DeleteSelected();
       }},
      {"paste", [&] { drawing->Paste(); }},
  };
  for (const Step& step : commands) {
    SCOPED_TRACE(step.name);
    const std::string before = temp.File(std::string(step.name) + "-before.olm");
    const std::string after = temp.File(std::string(step.name) + "-after.olm");
    const std::string undone = temp.File(std::string(step.name) + "-undone.olm");
    ASSERT_TRUE(doc.SaveCopy(before));
    const size_t steps = doc.UndoIndex();
    step.run();
    ASSERT_EQ(doc.UndoIndex(), steps + 1);
    ASSERT_TRUE(doc.SaveCopy(after));
    EXPECT_NE(FileBytes(after), FileBytes(before)) << "the command changed the project";
    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.SaveCopy(undone));
    EXPECT_EQ(FileBytes(undone), FileBytes(before));
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DrawingTest, ObjectsSurviveSaveAndOpen) {
  SetKind(CGraph::kXLogYLog);
  Rectangle(0.1, 0.1, 0.3, 0.3);
  Tool(DrawingTool::Arrow);
  Drag(At(0.4, 0.4), At(0.6, 0.2));
  Tool(DrawingTool::Bezier);
  for (double f : {0.5, 0.6, 0.7, 0.8}) Click(At(f, f));
  Tool(DrawingTool::Select);
  RunContextCommand(At(0.2, 0.2), "Push Back One");
  const std::string path = temp.File("annotated.olm");
  ASSERT_TRUE(doc.SaveAs(path));

  COLMDoc reopened;
  ASSERT_TRUE(reopened.Open(path));
  const CGEList& a = doc.Objects();
  const CGEList& b = reopened.Objects();
  ASSERT_EQ(b.GetCount(), a.GetCount());
  EXPECT_EQ(b.GetMaxDepth(), a.GetMaxDepth());
  for (int i = 0; i < a.GetCount(); ++i) {
    EXPECT_EQ(b.At(i).TypeCode(), a.At(i).TypeCode());
    EXPECT_EQ(b.At(i).GetEndPoints(), a.At(i).GetEndPoints());
    EXPECT_EQ(b.At(i).depth, a.At(i).depth);
    EXPECT_EQ(b.At(i).lineColour, a.At(i).lineColour);
  }
  // Saved again, the reopened project is the same file.
  const std::string again = temp.File("again.olm");
  ASSERT_TRUE(reopened.SaveCopy(again));
  EXPECT_EQ(FileBytes(again), FileBytes(path));
}

}  // namespace
}  // namespace olm::test

namespace olm::test {
namespace {

// The picture of an annotated plot for the documentation: drawn with the
// tools by mouse, in a window with the drawing toolbar.  It is written only
// when OLM_SCREENSHOT_DIR names a folder (scripts/screenshots-drawing.sh).
TEST(DrawingScreenshot, AnnotatedPlot) {
  const QString dir = qEnvironmentVariable("OLM_SCREENSHOT_DIR");
  if (dir.isEmpty()) GTEST_SKIP() << "OLM_SCREENSHOT_DIR is not set";
  CRecordingUi ui;
  COLMDoc doc;
  ASSERT_TRUE(ImportSamples(doc));
  ui.Clear();
  QWidget window;
  auto* layout = new QHBoxLayout(&window);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* view = new COLMView(doc);
  QToolBar* bar = CreateDrawingToolBar(&window, *view);
  bar->setOrientation(Qt::Vertical);
  layout->addWidget(bar);
  layout->addWidget(view, 1);
  window.resize(1100, 700);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  view->repaint();
  ASSERT_TRUE(view->PreparePlot());
  CDrawingController& drawing = CDrawingController::Of(*view);
  const auto tool = [&](DrawingTool t) { drawing.ToolAction(t)->trigger(); };
  const auto drag = [&](QPoint a, QPoint b) {
    QTest::mousePress(view, Qt::LeftButton, {}, a);
    QTest::mouseMove(view, b);
    QTest::mouseRelease(view, Qt::LeftButton, {}, b);
  };
  const CDevicePoint peakDevice = RawPointAt(doc, view->State().Graph(), 1, PeakRow(doc, 1));
  const QPoint peak(peakDevice.x, peakDevice.y);
  const CDeviceRect f = view->State().Graph().Frame();

  // A shaded region under the curves, a ring around the peak, an arrow and
  // a note pointing at it.
  drawing.Attributes().fillColour = 0xF0E8D8;
  drawing.Attributes().lineColour = 0xA08060;
  tool(DrawingTool::FilledRectangle);
  drag(QPoint(f.left + 4, f.top + 4), QPoint(f.left + f.Width() / 6, f.bottom - 4));
  drawing.Attributes().lineColour = 0x2020C0;
  drawing.Attributes().lineWidth = 2;
  tool(DrawingTool::TransparentCircle);
  drag(peak - QPoint(22, 22), peak + QPoint(22, 22));
  tool(DrawingTool::Arrow);
  drag(peak + QPoint(-150, 130), peak + QPoint(-20, 20));
  drawing.Attributes().font.font.height = -18;
  drawing.Attributes().font.colour = 0x2020C0;
  tool(DrawingTool::Text);
  QTest::mouseClick(view, Qt::LeftButton, {}, peak + QPoint(-260, 132));
  QTest::keyClicks(drawing.TextEditor(), QStringLiteral("Peak stress"));
  QTest::keyClick(drawing.TextEditor(), Qt::Key_Return);
  // A polygon, a Bezier curve and a star.
  drawing.Attributes().fillColour = 0xC8F0C8;
  drawing.Attributes().lineColour = 0x208020;
  tool(DrawingTool::Polygon);
  const QPoint base(f.left + f.Width() * 2 / 3, f.top + f.Height() / 2);
  for (QPoint d : {QPoint(0, 0), QPoint(120, -30), QPoint(160, 60)})
    QTest::mouseClick(view, Qt::LeftButton, {}, base + d);
  QTest::mouseDClick(view, Qt::LeftButton, {}, base + QPoint(40, 90));
  drawing.Attributes().lineColour = 0xB04080;
  tool(DrawingTool::Bezier);
  for (QPoint d : {QPoint(-330, 150), QPoint(-270, 60), QPoint(-210, 260), QPoint(-130, 160)})
    QTest::mouseClick(view, Qt::LeftButton, {}, base + d);
  drawing.Attributes().fillColour = 0x30C0F0;
  drawing.Attributes().lineColour = 0x2080B0;
  drawing.SetShapeNumber(5);
  tool(DrawingTool::Shape);
  drag(base + QPoint(-120, -140), base + QPoint(-80, -100));
  // The polygon selected, with its handles.
  tool(DrawingTool::Select);
  QTest::mouseClick(view, Qt::LeftButton, {}, base + QPoint(80, 20));
  ASSERT_EQ(doc.Objects().GetCount(), 7);
  ASSERT_EQ(doc.Objects().SelectedCount(), 1);
  EXPECT_TRUE(ui.messages.empty());
  window.repaint();
  const QString path = dir + QStringLiteral("/drawing-annotated-plot.png");
  EXPECT_TRUE(window.grab().save(path));
}

}  // namespace
}  // namespace olm::test

namespace olm::test {
namespace {

TEST_F(DrawingTest, SelectPointDragsHandlesOnlyAndKeysActOnTheSelection) {
  Rectangle(0.2, 0.2, 0.4, 0.4);
  const std::vector<CPoint3> before = Last().GetEndPoints();
  Tool(DrawingTool::SelectPoint);
  const QPoint middle = (Screen(before[0]) + Screen(before[1])) / 2;
  Drag(middle, middle + QPoint(30, 30));
  EXPECT_TRUE(Last().selected);
  EXPECT_EQ(Last().GetEndPoints(), before) << "Select Point does not move the body";
  const QPoint corner = Screen(before[0]);
  Drag(corner, corner + QPoint(-20, 10));
  ExpectAt(Last(), {corner + QPoint(-20, 10), Screen(before[1])});

  // The Delete key asks and deletes; the undo brings the object back.
  view->setFocus();
  ui.QueueAnswer(true);
  QTest::keyClick(view.get(), Qt::Key_Delete);
  EXPECT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(doc.Objects().GetCount(), 0);
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(doc.Objects().GetCount(), 1);
}

TEST_F(DrawingTest, TextByDialogAndDoubleClickOpensTheObjectsDialog) {
  Tool(DrawingTool::Text);
  const QPoint anchor = At(0.4, 0.6);
  OnModal<CTextDlg>([](CTextDlg& d) {
    EXPECT_EQ(d.windowTitle(), "Edit Text");
    d.text->setText(QStringLiteral("By dialog"));
    d.accept();
  });
  QTest::mouseDClick(view.get(), Qt::LeftButton, {}, anchor);
  ASSERT_EQ(doc.Objects().GetCount(), 1);
  const auto& text = dynamic_cast<const CText&>(Last());
  EXPECT_EQ(text.text, "By dialog");
  ExpectAt(text, {anchor});
  EXPECT_EQ(drawing->TextEditor(), nullptr);

  // Escape drops a text begun in place.
  Click(At(0.7, 0.7));
  ASSERT_NE(drawing->TextEditor(), nullptr);
  QTest::keyClicks(drawing->TextEditor(), QStringLiteral("dropped"));
  QTest::keyClick(drawing->TextEditor(), Qt::Key_Escape);
  EXPECT_EQ(drawing->TextEditor(), nullptr);
  EXPECT_EQ(doc.Objects().GetCount(), 1);

  // With the select tool a double click on a line opens "Line and Arrow Data".
  Tool(DrawingTool::Line);
  Drag(At(0.1, 0.1), At(0.3, 0.1));
  Tool(DrawingTool::Select);
  bool opened = false;
  OnModal<CLineAttributesDlg>([&opened](CLineAttributesDlg& d) {
    opened = true;
    d.width->SetWidth(6);
    d.accept();
  });
  QTest::mouseDClick(view.get(), Qt::LeftButton, {}, At(0.2, 0.1));
  EXPECT_TRUE(opened);
  EXPECT_EQ(Last().lineWidth, 6);
}

}  // namespace
}  // namespace olm::test

namespace olm::test {
namespace {

TEST_F(DrawingTest, ExportedPictureDrawsTheObjectsAndUndoRemovesThem) {
  constexpr uint32_t kFill = 0x3399CC;  // 0x00BBGGRR
  const QRgb rgb = qRgb(0xCC, 0x99, 0x33);
  drawing->Attributes().fillColour = kFill;
  Rectangle(0.6, 0.6, 0.7, 0.7);
  const QSize size(900, 600);
  EXPECT_GT(CountColour(view->RenderImage(size), rgb), 100);
  EXPECT_GT(CountColour(view->grab().toImage(), rgb), 100);
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(CountColour(view->RenderImage(size), rgb), 0);
  EXPECT_EQ(CountColour(view->grab().toImage(), rgb), 0);
}

TEST_F(DrawingTest, TheViewsOwnZoomModeTakesTheMouseFromTheDrawingTools) {
  Tool(DrawingTool::FilledRectangle);
  view->Action(ViewCommand::ZoomIn)->trigger();
  ASSERT_EQ(view->State().GetMode(), CPlotView::kModeZoom);
  const CPlotSettings before = doc.PlotSettings();
  Drag(At(0.2, 0.2), At(0.6, 0.6));
  EXPECT_EQ(doc.Objects().GetCount(), 0) << "the drag zoomed instead";
  EXPECT_LT(doc.PlotSettings().plotXMax - doc.PlotSettings().plotXMin,
            before.plotXMax - before.plotXMin);
  // Choosing a drawing tool again ends the view's mode.
  view->Action(ViewCommand::ZoomIn)->trigger();
  Tool(DrawingTool::FilledCircle);
  EXPECT_EQ(view->State().GetMode(), CPlotView::kModeNone);
  Drag(At(0.2, 0.2), At(0.6, 0.6));
  EXPECT_EQ(doc.Objects().GetCount(), 1);
}

}  // namespace
}  // namespace olm::test
