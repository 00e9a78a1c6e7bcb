// The main window: panes, toolbars and menus, the enabling rules of the data
// commands, undo and redo through the Edit menu, cancelling a long
// analysis, imports of data files, and the window placement.
#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QUndoStack>
#include <QUrl>

#include "MainFrameTestSupport.hpp"
#include "app/DocUndoStack.hpp"
#include "app/TaskRunner.hpp"

namespace olm::test {
namespace {

std::string ReadFile(const std::string& path) {
  QFile file(QString::fromStdString(path));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
  return file.readAll().toStdString();
}

QStringList ActionNames(const QToolBar* bar) {
  QStringList names;
  for (QAction* action : bar->actions())
    if (!action->isSeparator()) {
      // A fly-out button sits in a widget action: name it by its default action.
      const QString name = action->objectName();
      names << (name.isEmpty() ? QStringLiteral("widget") : name);
    }
  return names;
}

TEST(MainFrameLayout, PanesKeepTheirProportionsOnResize) {
  CMainFrame frame;
  frame.show();
  for (int width : {1000, 1600, 700}) {
    frame.resize(width, 600);
    QApplication::processEvents();
    const QList<int> sizes = frame.Splitter()->sizes();
    ASSERT_EQ(sizes.size(), 3);
    const int total = sizes[0] + sizes[1] + sizes[2];
    EXPECT_NEAR(sizes[0], total * 0.10, total * 0.02) << width;
    EXPECT_NEAR(sizes[1], total * 0.70, total * 0.02) << width;
    EXPECT_NEAR(sizes[2], total * 0.20, total * 0.02) << width;
  }
  // A narrow window keeps every pane at least 50 pixels wide.
  frame.resize(300, 400);
  QApplication::processEvents();
  for (int size : frame.Splitter()->sizes()) EXPECT_GE(size, CMainFrame::kPaneMinimum);
  // The user may drag the splitter; the next resize brings the proportions back.
  frame.resize(1000, 600);
  QApplication::processEvents();
  frame.Splitter()->setSizes({400, 400, 200});
  frame.resize(1200, 600);
  QApplication::processEvents();
  const QList<int> sizes = frame.Splitter()->sizes();
  EXPECT_LT(sizes[0], sizes[2]);
  EXPECT_GT(sizes[1], 3 * sizes[2]);
}

TEST(MainFrameLayout, ToolbarsAndMenusInTheirOrder) {
  CMainFrame frame;
  EXPECT_EQ(ActionNames(frame.StandardBar()),
            (QStringList{"actionNew", "actionOpen", "actionSave", "actionCut", "actionCopy",
                         "actionPaste", "actionPrint", "actionAbout", "actionContextHelp",
                         "actionRedo", "actionUndo"}));
  EXPECT_EQ(
      ActionNames(frame.DataBar()),
      (QStringList{"actionReadRawData", "actionEditData", "actionGraphSettings", "actionZoomIn",
                   "actionZoomOut", "actionPointCoordinates", "actionMoveCurve", "actionShowYAxis",
                   "actionShowXAxis", "actionProcessData", "actionReport", "actionBestFit",
                   "actionCopyToClipboard", "actionResizePlots"}));
  // The drawing bar: its 18 entries in order, the tools one exclusive group.
  const QList<QAction*> drawing = frame.DrawingBar()->actions();
  ASSERT_EQ(drawing.size(), 18);
  EXPECT_EQ(drawing.first()->toolTip(), "Select Tool");
  EXPECT_EQ(drawing.last()->toolTip(), "Pan");
  EXPECT_EQ(frame.toolBarArea(frame.DrawingBar()), Qt::LeftToolBarArea);
  EXPECT_EQ(frame.toolBarArea(frame.DataBar()), Qt::TopToolBarArea);
  // The data commands' tool tips are their names.
  EXPECT_EQ(ActionOf(frame, "actionReport")->toolTip(), "Create and View Report");
  EXPECT_EQ(ActionOf(frame, "actionReadRawData")->shortcut(), QKeySequence("Ctrl+I"));
  QAction* line = drawing[8];
  QAction* text = drawing[10];
  EXPECT_EQ(line->toolTip(), "Draw Line");
  EXPECT_EQ(text->toolTip(), "Text");
  line->trigger();
  text->trigger();
  EXPECT_TRUE(text->isChecked());
  EXPECT_FALSE(line->isChecked());

  QStringList menus;
  for (QAction* action : frame.menuBar()->actions()) menus << action->text().remove('&');
  EXPECT_EQ(menus, (QStringList{"File", "Edit", "View", "Statistics", "Composites", "Help"}));
}

TEST(MainFrameCommands, DataCommandsFollowTheDatabase) {
  CRecordingUi ui;
  CTempDir dir;
  CMainFrame frame;
  QAction* edit = ActionOf(frame, "actionEditData");
  QAction* report = ActionOf(frame, "actionReport");
  QAction* process = ActionOf(frame, "actionProcessData");
  QAction* read = ActionOf(frame, "actionReadRawData");
  // Empty: only reading and processing.
  EXPECT_FALSE(edit->isEnabled());
  EXPECT_FALSE(report->isEnabled());
  EXPECT_TRUE(process->isEnabled());
  EXPECT_TRUE(read->isEnabled());
  EXPECT_EQ(frame.DatabaseStatePane()->text(), "DB::Open");
  // A replicate: editing, still no report.
  ASSERT_EQ(frame.ImportDataFiles({QString::fromStdString(WriteCurve(dir, "a.csv", 50, 1.0))}), 1);
  EXPECT_TRUE(edit->isEnabled());
  EXPECT_FALSE(report->isEnabled());
  // Processed and locked: the report.
  ASSERT_TRUE(frame.Document().ApplyZonesToAll({}).ok);
  ASSERT_TRUE(frame.RunAnalysis());
  EXPECT_TRUE(report->isEnabled());
  EXPECT_EQ(frame.DatabaseStatePane()->text(), "DB::Locked");
  // Deleting the last replicate through an editor command leaves nothing to edit.
  ASSERT_TRUE(frame.Document().EditorCommand("deleterep, 1").ok);
  EXPECT_EQ(frame.Document().Database().GetReplicateCount(), 0);
  EXPECT_FALSE(edit->isEnabled());
  ASSERT_TRUE(frame.Document().Undo());
  EXPECT_TRUE(edit->isEnabled());
  // New: back to the empty state.
  AnswerMessageBox(QMessageBox::Discard);
  ASSERT_TRUE(frame.NewDocument());
  EXPECT_FALSE(edit->isEnabled());
  EXPECT_FALSE(report->isEnabled());
  EXPECT_TRUE(frame.windowTitle().startsWith("Untitled[*]"));
}

TEST(MainFrameUndo, AnalysisAndImportAreUndoneAndRedoneFromTheEditMenu) {
  CRecordingUi ui;
  CTempDir dir;
  CMainFrame frame;
  COLMDoc& doc = frame.Document();
  QAction* undo = ActionOf(frame, "actionUndo");
  QAction* redo = ActionOf(frame, "actionRedo");
  EXPECT_FALSE(undo->isEnabled());

  // Import: one step per file, named after the command.
  const QStringList files{QString::fromStdString(WriteCurve(dir, "a.csv", 80, 1.0)),
                          QString::fromStdString(WriteCurve(dir, "b.csv", 90, 2.0))};
  ASSERT_EQ(frame.ImportDataFiles(files), 2);
  EXPECT_EQ(doc.Database().GetReplicateCount(), 2);
  EXPECT_EQ(doc.Database().Replicate(2).GetTitle(), "b");
  EXPECT_TRUE(undo->isEnabled());
  EXPECT_TRUE(undo->text().contains("Read Raw Data"));
  EXPECT_TRUE(frame.isWindowModified());
  undo->trigger();
  EXPECT_EQ(doc.Database().GetReplicateCount(), 1);
  undo->trigger();
  EXPECT_EQ(doc.Database().GetReplicateCount(), 0);
  EXPECT_FALSE(undo->isEnabled());
  EXPECT_FALSE(frame.isWindowModified());  // back at the clean state
  EXPECT_TRUE(frame.UndoStack().isClean());
  redo->trigger();
  redo->trigger();
  EXPECT_EQ(doc.Database().GetReplicateCount(), 2);
  EXPECT_FALSE(redo->isEnabled());

  // Analysis.
  ASSERT_TRUE(doc.ApplyZonesToAll({}).ok);
  ASSERT_TRUE(frame.RunAnalysis());
  EXPECT_TRUE(doc.Database().IsLocked());
  EXPECT_EQ(undo->text().remove('&'), "Undo Analyse");
  undo->trigger();
  EXPECT_FALSE(doc.Database().IsLocked());
  EXPECT_EQ(frame.DatabaseStatePane()->text(), "DB::Open");
  EXPECT_EQ(redo->text().remove('&'), "Redo Analyse");
  redo->trigger();
  EXPECT_TRUE(doc.Database().IsLocked());
  EXPECT_EQ(frame.DatabaseStatePane()->text(), "DB::Locked");
  EXPECT_EQ(frame.UndoStack().count(), static_cast<int>(doc.UndoCount()));
  EXPECT_EQ(frame.UndoStack().index(), static_cast<int>(doc.UndoIndex()));

  // A save makes the current step the clean one.
  ASSERT_TRUE(frame.SaveTo(QString::fromStdString(dir.File("u.olm"))));
  EXPECT_TRUE(frame.UndoStack().isClean());
  EXPECT_FALSE(frame.isWindowModified());
  undo->trigger();
  EXPECT_TRUE(frame.isWindowModified());
  EXPECT_FALSE(frame.UndoStack().isClean());
  // The keyboard reaches the same command.
  frame.show();
  frame.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  QTest::keySequence(&frame, QKeySequence::Redo);
  EXPECT_TRUE(doc.Database().IsLocked());
  EXPECT_FALSE(frame.isWindowModified());
}

TEST(MainFrameUndo, CancelledAnalysisLeavesTheDatabaseAsItWas) {
  CRecordingUi ui;
  CTempDir dir;
  CMainFrame frame;
  frame.show();
  COLMDoc& doc = frame.Document();
  // Twelve replicates smoothed by robust loess, repeated: seconds of work,
  // with the cancel request seen between replicates.
  QStringList files;
  for (int r = 1; r <= 12; ++r)
    files << QString::fromStdString(WriteCurve(dir, Format("big%d.csv", r), 30000, r));
  ASSERT_EQ(frame.ImportDataFiles(files), 12);
  CZoneControls zone;
  zone.startX = 0.0;
  zone.endX = 299.99;
  zone.smoothIndex = 5;
  zone.points = 25;
  zone.repeats = 20;
  ASSERT_TRUE(doc.ApplyZonesToAll({zone}).ok);
  const size_t steps = doc.UndoCount();
  ASSERT_TRUE(doc.SaveCopy(dir.File("before.olm")).ok);
  bool dialogShown = false;
  SetProgressDialogHook([&](QProgressDialog* dialog) {
    dialogShown = true;
    EXPECT_TRUE(dialog->isVisible());
    QPushButton* cancel = dialog->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    cancel->click();
  });
  const bool done = frame.RunAnalysis();
  SetProgressDialogHook({});
  ASSERT_TRUE(dialogShown) << "the analysis ended before its progress dialog showed";
  EXPECT_FALSE(done);
  EXPECT_FALSE(doc.Database().IsLocked());
  EXPECT_EQ(doc.UndoCount(), steps);
  EXPECT_EQ(frame.DatabaseStatePane()->text(), "DB::Open");
  EXPECT_FALSE(doc.Database().IsSmoothed());
  // Byte for byte the project it was.
  ASSERT_TRUE(doc.SaveCopy(dir.File("after.olm")).ok);
  EXPECT_TRUE(ReadFile(dir.File("before.olm")) == ReadFile(dir.File("after.olm")));
}

TEST(MainFrameCommands, DataFilesAndProjectsOpenFromTheirPaths) {
  CRecordingUi ui;
  CTempDir dir;
  CMainFrame frame;
  const QString project = QString::fromStdString(WriteProject(dir, "p.olm", 2, false));
  const QString data = QString::fromStdString(WriteCurve(dir, "extra.csv", 30, 3.0));
  const QString missing = QString::fromStdString(dir.File("missing.csv"));
  frame.OpenFiles({project, data, missing});
  EXPECT_EQ(frame.Document().Path(), project.toStdString());
  EXPECT_EQ(frame.Document().Database().GetReplicateCount(), 3);
  EXPECT_EQ(frame.Document().Database().Replicate(3).GetTitle(), "extra");
  // The missing file was reported and nothing else changed.
  EXPECT_FALSE(ui.Texts(MessageKind::Error).empty());
  EXPECT_TRUE(frame.statusBar()->currentMessage().contains("missing.csv"));
  EXPECT_EQ(frame.Document().UndoCount(), 1u);
}

TEST(MainFrameCommands, DroppedFilesOpenOrImport) {
  CRecordingUi ui;
  CTempDir dir;
  CMainFrame frame;
  frame.show();
  const QString project = QString::fromStdString(WriteProject(dir, "d.olm", 1, false));
  const QString data = QString::fromStdString(WriteCurve(dir, "dropped.csv", 40, 2.0));
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(project), QUrl::fromLocalFile(data)});
  QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&frame, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&frame, &drop);
  // The files open after the drop has returned.
  for (int i = 0; i < 100 && frame.Document().Database().GetReplicateCount() < 2; ++i)
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(frame.Document().Path(), project.toStdString());
  ASSERT_EQ(frame.Document().Database().GetReplicateCount(), 2);
  EXPECT_EQ(frame.Document().Database().Replicate(2).GetTitle(), "dropped");
}

TEST(MainFrameWindow, PlacementIsRestoredUnlessItIsOffEveryScreen) {
  QSettings settings;
  settings.remove("Settings");
  settings.remove("General");
  QRect saved;
  {
    CMainFrame frame;
    frame.setGeometry(120, 90, 900, 640);
    frame.show();
    QApplication::processEvents();
    saved = frame.normalGeometry();
    frame.DataBar()->hide();
    frame.SaveWindowSettings();
  }
  {
    CMainFrame frame;
    frame.RestoreWindowSettings();
    frame.show();
    EXPECT_EQ(frame.size(), saved.size());
    EXPECT_FALSE(frame.DataBar()->isVisible());
  }
  // A placement off every screen is ignored.
  QSettings().setValue("Settings/WindowPos", "0,1,-1,-1,-1,-1,50000,50000,50900,50640");
  QSettings().setValue("Settings/WindowGeometry", QByteArray());
  {
    CMainFrame frame;
    const QRect before = frame.geometry();
    frame.RestoreWindowSettings();
    EXPECT_EQ(frame.geometry(), before);
  }
  // So is one that does not parse.
  QSettings().setValue("Settings/WindowPos", "1,2,3");
  {
    CMainFrame frame;
    const QRect before = frame.geometry();
    frame.RestoreWindowSettings();
    EXPECT_EQ(frame.geometry(), before);
  }
  settings.remove("Settings");
  settings.remove("General");
}

}  // namespace
}  // namespace olm::test
