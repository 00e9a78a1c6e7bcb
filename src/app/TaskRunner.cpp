#include "app/TaskRunner.hpp"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QtConcurrent/QtConcurrent>

#include "ui/UiText.hpp"

namespace olm {

namespace {
std::function<void(QProgressDialog*)> g_hook;
}  // namespace

void SetProgressDialogHook(std::function<void(QProgressDialog*)> hook) {
  g_hook = std::move(hook);
}

void CSharedProgress::Report(double fraction, std::string_view message) {
  m_fraction = fraction;
  std::lock_guard<std::mutex> lock(m_mutex);
  m_message.assign(message);
}

QString CSharedProgress::Message() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return ui::ToQString(m_message);
}

bool RunWork(QWidget* parent, const std::function<bool(IProgress&)>& work,
             const CTaskOptions& options, std::vector<CCollectedMessage>* messages) {
  CSharedProgress progress;
  CMessageCollector collector;
  QFutureWatcher<bool> watcher;
  QEventLoop loop;
  QObject::connect(&watcher, &QFutureWatcher<bool>::finished, &loop, &QEventLoop::quit);
  watcher.setFuture(QtConcurrent::run([&]() {
    CScopedThreadUserInterface scope(collector);
    try {
      return work(progress);
    } catch (const CCollectedFatal&) {
      return false;
    } catch (const std::bad_alloc&) {
      collector.Show(MessageKind::Error, "The work was stopped: there is not enough memory.");
      return false;
    }
  }));

  QProgressDialog dialog(options.label, QObject::tr("Cancel"), 0, options.busy ? 0 : 1000, parent);
  if (!options.title.isEmpty()) dialog.setWindowTitle(options.title);
  dialog.setWindowModality(Qt::WindowModal);
  dialog.setMinimumDuration(options.showAfterMs);
  dialog.setAutoClose(false);
  dialog.setAutoReset(false);
  dialog.setValue(0);
  QObject::connect(&dialog, &QProgressDialog::canceled, [&] {
    progress.Cancel();
    // The dialog stays until the work has ended, so that nothing else is
    // started meanwhile.
    if (auto* button = dialog.findChild<QPushButton*>()) button->setEnabled(false);
    dialog.setLabelText(QObject::tr("Cancelling: the result will be discarded ..."));
    dialog.show();
  });
  bool hooked = false;
  QTimer poll;
  poll.setInterval(50);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    // cancel() called on the dialog (rather than its button) emits nothing.
    if (dialog.wasCanceled()) {
      progress.Cancel();
      return;
    }
    // (Setting the value also shows the dialog once the work has run
    // longer than showAfterMs.)
    dialog.setValue(options.busy ? 0 : static_cast<int>(progress.Fraction() * 999.0));
    const QString text = progress.Message();
    if (!text.isEmpty()) dialog.setLabelText(options.label + "\n" + text);
    if (!hooked && dialog.isVisible() && g_hook) {
      hooked = true;
      g_hook(&dialog);
    }
  });
  poll.start();
  if (!watcher.isFinished()) loop.exec();
  poll.stop();
  dialog.reset();
  dialog.hide();
  const bool ok = watcher.result() && !progress.IsCancelled();
  std::vector<CCollectedMessage> collected = collector.Take();
  if (messages) *messages = collected;
  if (options.showMessages)
    for (const CCollectedMessage& m : collected) UserInterface().Show(m.kind, m.text);
  return ok;
}

CDocResult RunDocTask(QWidget* parent, COLMDoc& doc, std::unique_ptr<CDocTask> task,
                      const CTaskOptions& options) {
  CDocTask* raw = task.get();
  CTaskOptions quiet = options;
  quiet.showMessages = false;
  bool cancelled = false;
  RunWork(
      parent,
      [raw, &cancelled](IProgress& progress) {
        // The task collects its own messages; Finish hands them back.
        const bool ok = raw->Run(progress, /*collect=*/true);
        cancelled = progress.IsCancelled();
        return ok;
      },
      quiet);
  CDocResult result = doc.Finish(*raw, cancelled);
  if (options.showMessages)
    for (const CCollectedMessage& m : result.messages) UserInterface().Show(m.kind, m.text);
  return result;
}

}  // namespace olm
