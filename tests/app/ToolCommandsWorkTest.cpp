// Long work of the tool dialogs: run on a worker thread, its engine
// messages collected and shown afterwards on the user-interface thread,
// Cancel dropping the result.
#include <gtest/gtest.h>

#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <atomic>

#include "ToolCommandsTestSupport.hpp"
#include "app/ToolCommandsSupport.hpp"

namespace olm::test {
namespace {

using app::RunToolWork;

TEST(ToolCommandsWorkTest, MessagesOfTheWorkerAreShownAfterwardsOnTheGuiThread) {
  QWidget owner;
  owner.show();
  app::CScopedToolMessages boxes(&owner);
  QThread* workerThread = nullptr;
  bool askedAnswer = false;
  CModalAnswers answers;
  answers.Message().Message().Message();
  const bool finished = RunToolWork(&owner, "Working ...", [&] {
    workerThread = QThread::currentThread();
    ShowMessage("Curve 3 has insufficient data.", MessageKind::Error);
    askedAnswer = AskUser("Go on?");  // the default answer: no window off the GUI thread
    ShowMessage("Done.", MessageKind::Information);
  });
  EXPECT_TRUE(finished);
  EXPECT_NE(workerThread, QThread::currentThread());
  EXPECT_TRUE(askedAnswer);
  // The question is reported with the messages, in order.
  EXPECT_EQ(answers.messages, (QStringList{"Curve 3 has insufficient data.", "Go on?", "Done."}));
  EXPECT_TRUE(answers.unexpected.isEmpty());
}

TEST(ToolCommandsWorkTest, AFatalMessageOrAnExceptionEndsTheWorkNotTheProgram) {
  QWidget owner;
  app::CScopedToolMessages boxes(&owner);
  bool after = false;
  {
    CModalAnswers answers;
    answers.Message();
    EXPECT_TRUE(RunToolWork(&owner, "Working ...", [&] {
      FatalError("Invalid data.");
      after = true;
    }));
    EXPECT_EQ(answers.messages, QStringList{"Invalid data."});
  }
  EXPECT_FALSE(after);
  CModalAnswers answers;
  answers.Message();
  EXPECT_TRUE(
      RunToolWork(&owner, "Working ...", [] { throw std::runtime_error("Out of range."); }));
  EXPECT_EQ(answers.messages, QStringList{"Out of range."});
}

TEST(ToolCommandsWorkTest, CancelDropsTheResultAndItsMessages) {
  QWidget owner;
  owner.show();
  app::CScopedToolMessages boxes(&owner);
  std::atomic<bool> release{false};
  // Cancel as soon as the progress dialog shows, then let the work end.
  QTimer watcher;
  watcher.setInterval(5);
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
    if (!progress || !progress->isVisible() || progress->wasCanceled()) return;
    QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
    release = true;
  });
  watcher.start();
  CModalAnswers answers;  // no message may be shown
  const bool finished = RunToolWork(&owner, "Working ...", [&] {
    while (!release) QThread::msleep(2);
    ShowMessage("Computations complete ...");
  });
  EXPECT_FALSE(finished);
  EXPECT_TRUE(answers.unexpected.isEmpty());
}

}  // namespace
}  // namespace olm::test
