// The main window's document life cycle: open, refusal of a damaged
// project, the save prompt on close, the recent-file list and the report.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "MainFrameTestSupport.hpp"
#include "app/NavigationView.hpp"
#include "ui/TextViewer.hpp"

namespace olm::test {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The items under a top-level-or-nested item with the given text.
const QModelIndex FindItem(const QAbstractItemModel& model, const QString& text,
                           const QModelIndex& parent = {}) {
  for (int row = 0; row < model.rowCount(parent); ++row) {
    const QModelIndex index = model.index(row, 0, parent);
    if (index.data().toString() == text) return index;
    const QModelIndex inner = FindItem(model, text, index);
    if (inner.isValid()) return inner;
  }
  return {};
}

class MainFrameDocument : public ::testing::Test {
 protected:
  void SetUp() override { ClearRecentFiles(); }
  void TearDown() override { ClearRecentFiles(); }
  CTempDir dir;
  CRecordingUi ui;
};

TEST_F(MainFrameDocument, OpenShowsTheReplicatesAndTheTitle) {
  const std::string path = WriteProject(dir, "three.olm", 3, true);
  CMainFrame frame;
  frame.show();
  ASSERT_TRUE(frame.OpenProject(QString::fromStdString(path)));
  const COLMDoc& doc = frame.Document();
  EXPECT_EQ(doc.Database().GetReplicateCount(), 3);
  EXPECT_EQ(doc.Path(), path);
  EXPECT_FALSE(doc.IsModified());
  EXPECT_TRUE(frame.windowTitle().startsWith("three.olm[*]"));
  EXPECT_FALSE(frame.isWindowModified());
  EXPECT_EQ(frame.DatabaseStatePane()->text(), "DB::Locked");
  // The tree lists every replicate under "Raw Data" as "r: name".
  if (const QAbstractItemModel* model = frame.Navigation()->model()) {
    const QModelIndex raw = FindItem(*model, "Raw Data");
    ASSERT_TRUE(raw.isValid());
    ASSERT_EQ(model->rowCount(raw), 3);
    for (int r = 1; r <= 3; ++r)
      EXPECT_EQ(model->index(r - 1, 0, raw).data().toString(), QString("%1: coupon%1").arg(r));
  }
}

TEST_F(MainFrameDocument, DamagedProjectIsRefusedAndTheDocumentStays) {
  const std::string good = WriteProject(dir, "good.olm", 2, false);
  std::string bytes = ReadAll(good);
  const std::string damaged = dir.Write("damaged.olm", bytes.substr(0, bytes.size() / 2));
  const std::string garbage = dir.Write("garbage.olm", "this is not a project\n");
  CMainFrame frame;
  ASSERT_TRUE(frame.OpenProject(QString::fromStdString(good)));
  ASSERT_TRUE(frame.Document()
                  .Modify("Change", kChangeData,
                          [](CReplicateDB& db, CGEList&) {
                            db.Replicate(1).SetTitle("changed");
                            return true;
                          })
                  .ok);
  for (const std::string& bad : {damaged, garbage}) {
    ui.Clear();
    EXPECT_FALSE(frame.OpenProject(QString::fromStdString(bad))) << bad;
    EXPECT_FALSE(ui.Texts(MessageKind::Error).empty()) << bad;
    EXPECT_EQ(frame.Document().Path(), good);
    EXPECT_EQ(frame.Document().Database().GetReplicateCount(), 2);
    EXPECT_EQ(frame.Document().Database().Replicate(1).GetTitle(), "changed");
    EXPECT_TRUE(frame.Document().IsModified());
    EXPECT_TRUE(frame.Document().CanUndo());
  }
  // The failure did not enter the recent files.
  EXPECT_EQ(frame.RecentFiles(), QStringList{QString::fromStdString(good)});
}

TEST_F(MainFrameDocument, CloseAsksToSaveAModifiedProject) {
  const std::string path = WriteProject(dir, "close.olm", 1, false);
  const std::string before = ReadAll(path);
  const auto modify = [](CMainFrame& frame) {
    ASSERT_TRUE(frame.Document()
                    .Modify("Rename", kChangeData,
                            [](CReplicateDB& db, CGEList&) {
                              db.Replicate(1).SetTitle("renamed");
                              return true;
                            })
                    .ok);
  };
  {
    // Cancel: the window stays open with the changes.
    CMainFrame frame;
    frame.show();
    ASSERT_TRUE(frame.OpenProject(QString::fromStdString(path)));
    modify(frame);
    EXPECT_TRUE(frame.isWindowModified());
    AnswerMessageBox(QMessageBox::Cancel);
    EXPECT_FALSE(frame.close());
    EXPECT_TRUE(frame.isVisible());
    EXPECT_TRUE(frame.Document().IsModified());
    EXPECT_EQ(ReadAll(path), before);
    // Discard: the window closes and the file is untouched.
    AnswerMessageBox(QMessageBox::Discard);
    EXPECT_TRUE(frame.close());
    EXPECT_EQ(ReadAll(path), before);
  }
  {
    // Save: the file holds the change, and the document is clean.
    CMainFrame frame;
    frame.show();
    ASSERT_TRUE(frame.OpenProject(QString::fromStdString(path)));
    modify(frame);
    AnswerMessageBox(QMessageBox::Save);
    EXPECT_TRUE(frame.close());
    EXPECT_FALSE(frame.Document().IsModified());
    EXPECT_NE(ReadAll(path), before);
    CMainFrame again;
    ASSERT_TRUE(again.OpenProject(QString::fromStdString(path)));
    EXPECT_EQ(again.Document().Database().Replicate(1).GetTitle(), "renamed");
  }
  {
    // An unmodified project closes without a question.
    CMainFrame frame;
    frame.show();
    ASSERT_TRUE(frame.OpenProject(QString::fromStdString(path)));
    EXPECT_TRUE(frame.close());
  }
}

TEST_F(MainFrameDocument, RecentFilesAreKeptAndAFailingEntryIsRemoved) {
  std::vector<QString> paths;
  for (int i = 1; i <= 5; ++i)
    paths.push_back(QString::fromStdString(WriteProject(dir, Format("p%d.olm", i), 1, false)));
  CMainFrame frame;
  for (const QString& path : paths) ASSERT_TRUE(frame.OpenProject(path));
  // Newest first, at most four.
  const QStringList expected{paths[4], paths[3], paths[2], paths[1]};
  EXPECT_EQ(frame.RecentFiles(), expected);
  // Reopening moves an entry to the front without doubling it.
  ASSERT_TRUE(frame.OpenProject(paths[2]));
  EXPECT_EQ(frame.RecentFiles(), (QStringList{paths[2], paths[4], paths[3], paths[1]}));
  // The menu entries open their projects.
  QAction* third = frame.Action("actionRecent3");
  ASSERT_NE(third, nullptr);
  third->trigger();
  EXPECT_EQ(QString::fromStdString(frame.Document().Path()), paths[3]);
  EXPECT_EQ(frame.RecentFiles().first(), paths[3]);
  // A project that no longer opens leaves the list; the document stays.
  ASSERT_TRUE(QFile::remove(paths[1]));
  QAction* last = frame.Action("actionRecent4");
  ASSERT_NE(last, nullptr);
  last->trigger();
  EXPECT_FALSE(ui.Texts(MessageKind::Error).empty());
  EXPECT_EQ(QString::fromStdString(frame.Document().Path()), paths[3]);
  EXPECT_EQ(frame.RecentFiles(), (QStringList{paths[3], paths[2], paths[4]}));
  EXPECT_EQ(frame.Action("actionRecent4"), nullptr);
  // Another window (the next start) reads the same list.
  CMainFrame next;
  EXPECT_EQ(next.RecentFiles(), (QStringList{paths[3], paths[2], paths[4]}));
}

TEST_F(MainFrameDocument, ReportOnANeverSavedProjectAsksToSaveFirst) {
  CMainFrame frame;
  COLMDoc& doc = frame.Document();
  CReadRawDataForm form;
  form.path = WriteCurve(dir, "c.csv", 100, 2.0);
  form.dataId = "c";
  ASSERT_TRUE(doc.Import(form).ok);
  ASSERT_TRUE(doc.ApplyZonesToAll({}).ok);
  ASSERT_TRUE(frame.RunAnalysis());
  QAction* report = ActionOf(frame, "actionReport");
  ASSERT_TRUE(report->isEnabled());
  const size_t steps = doc.UndoCount();
  QSignalSpy shown(&frame, &CMainFrame::reportShown);
  ui.Clear();
  report->trigger();
  EXPECT_TRUE(ui.Saw("Save the project first."));
  EXPECT_EQ(shown.count(), 0);
  EXPECT_EQ(doc.UndoCount(), steps);
  EXPECT_FALSE(std::filesystem::exists(dir.File("c.out")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("Untitled.out")));
}

TEST_F(MainFrameDocument, ReportIsWrittenAndShownAfterTheSelection) {
  const std::string path = WriteProject(dir, "rep.olm", 2, true);
  CMainFrame frame;
  ASSERT_TRUE(frame.OpenProject(QString::fromStdString(path)));
  const std::string output = dir.File("rep.out");
  dir.Write("rep.out", "old report\n");
  const bool flag2 = frame.Document().Database().GetReportFlag(2);

  // Cancel: no report, flags kept, not modified, but the old output is gone.
  QSignalSpy shown(&frame, &CMainFrame::reportShown);
  AnswerModal([](QWidget* modal) {
    ASSERT_EQ(modal->windowTitle(), "Report Selection");
    static_cast<QDialog*>(modal)->reject();
  });
  ActionOf(frame, "actionReport")->trigger();
  EXPECT_EQ(shown.count(), 0);
  EXPECT_FALSE(frame.Document().IsModified());
  EXPECT_FALSE(std::filesystem::exists(output));

  // OK with "Dump raw data" flipped: the report is written and shown.
  AnswerModal([](QWidget* modal) {
    auto boxes = modal->findChildren<QCheckBox*>();
    ASSERT_EQ(boxes.size(), 6);
    EXPECT_EQ(boxes[1]->text(), "Dump raw data");
    boxes[1]->toggle();
    static_cast<QDialog*>(modal)->accept();
  });
  ActionOf(frame, "actionReport")->trigger();
  ASSERT_EQ(shown.count(), 1);
  EXPECT_TRUE(std::filesystem::exists(output));
  EXPECT_EQ(frame.Document().Database().GetReportFlag(2), !flag2);
  EXPECT_TRUE(frame.Document().IsModified());
  auto* viewer = qobject_cast<ui::CTextViewer*>(shown.at(0).at(0).value<QWidget*>());
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(viewer->Text().toStdString(), ReadAll(output));
  EXPECT_EQ(viewer->Path().toStdString(), output);
  viewer->close();
}

}  // namespace
}  // namespace olm::test
