// The desktop message routine (message boxes, the "don't ask again" check
// box, messages raised on a worker thread) and the plot's way out of the
// window: export files and the clipboard.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QTextBrowser>
#include <QThread>
#include <atomic>
#include <thread>

#include "MainFrameTestSupport.hpp"
#include "app/HelpWindow.hpp"
#include "app/OLMView.hpp"
#include "app/QtUserInterface.hpp"

namespace olm::test {
namespace {

TEST(MainFrameMessages, QuestionsOfferDontAskAgainOnlyWhenAsked) {
  CQtUserInterface ui;
  bool stop = false;
  AnswerModal([](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Replace the zones?");
    ASSERT_NE(box->checkBox(), nullptr);
    box->checkBox()->setChecked(true);
    box->button(QMessageBox::No)->click();
  });
  EXPECT_FALSE(ui.Ask("Replace the zones?", QuestionKind::YesNo, "Zones", &stop));
  EXPECT_TRUE(stop);

  AnswerModal([](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->checkBox(), nullptr);
    ASSERT_NE(box->button(QMessageBox::Ok), nullptr);
    box->button(QMessageBox::Ok)->click();
  });
  EXPECT_TRUE(ui.Ask("Proceed?", QuestionKind::OkCancel, {}, nullptr));
}

TEST(MainFrameMessages, AMessageFromAWorkerThreadIsShownOnTheInterfaceThread) {
  CQtUserInterface ui;
  std::atomic<bool> done{false};
  bool shownOnUiThread = false;
  QString text;
  AnswerModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    shownOnUiThread = QThread::currentThread() == qApp->thread();
    text = box->text();
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    box->button(QMessageBox::Ok)->click();
  });
  std::thread worker([&] {
    ui.Show(MessageKind::Error, "Gap between zones.");
    done = true;
  });
  while (!done) QApplication::processEvents(QEventLoop::AllEvents, 20);
  worker.join();
  EXPECT_TRUE(shownOnUiThread);
  EXPECT_EQ(text, "Gap between zones.");
}

TEST(MainFrameExport, PlotFilesAndClipboard) {
  CRecordingUi recorder;
  CTempDir dir;
  CMainFrame frame;
  frame.resize(1000, 700);
  frame.show();
  ASSERT_TRUE(frame.OpenProject(QString::fromStdString(WriteProject(dir, "e.olm", 2, true))));
  const QString png = QString::fromStdString(dir.File("plot.png"));
  ASSERT_TRUE(frame.ExportPlotTo(png, QSize(640, 480)));
  const QImage image(png);
  EXPECT_EQ(image.size(), QSize(640, 480));
  for (const char* name : {"plot.svg", "plot.pdf"}) {
    const QString path = QString::fromStdString(dir.File(name));
    ASSERT_TRUE(frame.ExportPlotTo(path, QSize(640, 480))) << name;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray head = file.read(5);
    EXPECT_TRUE(head.startsWith(QByteArray(name[5] == 's' ? "<?xml" : "%PDF-"))) << name;
  }
  // An unknown kind of file is refused with a message.
  EXPECT_FALSE(frame.ExportPlotTo(QString::fromStdString(dir.File("plot.bmpx"))));
  EXPECT_FALSE(recorder.Texts().empty());
  EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.File("plot.bmpx"))));
  // The clipboard gets the picture at the plot view's size.
  QApplication::clipboard()->clear();
  ActionOf(frame, "actionCopyToClipboard")->trigger();
  const QImage copied = QApplication::clipboard()->image();
  EXPECT_EQ(copied.size(), frame.View()->size());
}

TEST(MainFrameHelp, ManualAndAbout) {
  CMainFrame frame;
  frame.show();
  ActionOf(frame, "actionHelpTopics")->trigger();
  auto* help = frame.findChild<CHelpWindow*>();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  // The manual covers the program's subjects.
  const QString manual = help->Browser()->toPlainText();
  for (const char* topic : {"Importing data", "Zones and analysis", "Editing data", "Report",
                            "Best fit", "The plot", "Drawing", "Tools", "Files"})
    EXPECT_TRUE(manual.contains(topic)) << topic;
  help->close();

  QString about;
  AnswerModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    about = box->text();
    box->accept();
  });
  ActionOf(frame, "actionAbout")->trigger();
  EXPECT_TRUE(about.contains(QStringLiteral("OLM " OLM_VERSION)));
  EXPECT_TRUE(about.contains(qVersion()));
}

}  // namespace
}  // namespace olm::test
