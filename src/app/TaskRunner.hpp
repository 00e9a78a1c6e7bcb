#pragma once
// Runs a document task on a worker thread while the window keeps
// repainting: a QProgressDialog appears after half a second with the task's
// progress and a Cancel button; the document takes the result on the
// user-interface thread, and the messages the task raised are shown there
// afterwards, in order, through the program's message routine.
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "document/Document.hpp"

class QProgressDialog;
class QWidget;

namespace olm {

// The progress a task reports and the cancel request, shared between the
// worker and the dialog.
class CSharedProgress final : public IProgress {
 public:
  void Report(double fraction, std::string_view message) override;
  bool IsCancelled() const override { return m_cancelled.load(); }
  void Cancel() { m_cancelled = true; }
  double Fraction() const { return m_fraction.load(); }
  QString Message() const;

 private:
  std::atomic<double> m_fraction{0.0};
  std::atomic<bool> m_cancelled{false};
  mutable std::mutex m_mutex;
  std::string m_message;
};

struct CTaskOptions {
  QString label;             // the progress dialog's text
  QString title;             // its window title (empty: the application's)
  int showAfterMs = 500;     // the dialog appears only for longer work
  bool showMessages = true;  // replay the collected messages afterwards
  bool busy = false;         // a moving bar: the work reports no progress
};

// Runs the task and hands it to doc.Finish.  Blocks the caller in a local
// event loop (so the window repaints) until the task ends.
CDocResult RunDocTask(QWidget* parent, COLMDoc& doc, std::unique_ptr<CDocTask> task,
                      const CTaskOptions& options);

// Runs any work on a worker thread the same way (tools that do not touch
// the document).  Returns the work's result; false when cancelled.  After
// Cancel the dialog stays, its button disabled, until the work has ended
// (work that cannot stop early runs to its end and its result is dropped).
bool RunWork(QWidget* parent, const std::function<bool(IProgress&)>& work,
             const CTaskOptions& options, std::vector<CCollectedMessage>* messages = nullptr);

// The test hook: when set, called with each progress dialog once it is
// shown (tests press Cancel through it).
void SetProgressDialogHook(std::function<void(QProgressDialog*)> hook);

}  // namespace olm
