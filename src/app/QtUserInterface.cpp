#include "app/QtUserInterface.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QMetaObject>
#include <QThread>
#include <cstdio>
#include <cstdlib>

#include "ui/UiText.hpp"

namespace olm {

namespace {

// Runs fn on the application's thread and waits for it.
template <typename Fn>
void OnUiThread(Fn&& fn) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || QThread::currentThread() == app->thread()) {
    fn();
    return;
  }
  QMetaObject::invokeMethod(app, std::forward<Fn>(fn), Qt::BlockingQueuedConnection);
}

}  // namespace

CQtUserInterface::CQtUserInterface(std::function<QWidget*()> parent)
    : m_parent(std::move(parent)) {}

QWidget* CQtUserInterface::Parent() const {
  if (m_parent) return m_parent();
  return QApplication::activeWindow();
}

void CQtUserInterface::Show(MessageKind kind, std::string_view text) {
  if (kind == MessageKind::Diagnostic) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    return;
  }
  const QString message = ui::ToQString(text);
  OnUiThread([&] { ShowHere(kind, message); });
}

void CQtUserInterface::ShowHere(MessageKind kind, const QString& text) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    return;
  }
  QMessageBox box(kind == MessageKind::Error ? QMessageBox::Warning : QMessageBox::Information,
                  Caption(), text, QMessageBox::Ok, Parent());
  box.exec();
}

bool CQtUserInterface::Ask(std::string_view text, QuestionKind kind, std::string_view title,
                           bool* stopAsking) {
  const QString message = ui::ToQString(text);
  const QString caption = title.empty() ? Caption() : ui::ToQString(title);
  bool answer = true;
  OnUiThread([&] { answer = AskHere(message, kind, caption, stopAsking); });
  return answer;
}

bool CQtUserInterface::AskHere(const QString& text, QuestionKind kind, const QString& title,
                               bool* stopAsking) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return true;
  const bool yesNo = kind == QuestionKind::YesNo;
  QMessageBox box(
      QMessageBox::Question, title, text,
      yesNo ? (QMessageBox::Yes | QMessageBox::No) : (QMessageBox::Ok | QMessageBox::Cancel),
      Parent());
  box.setDefaultButton(yesNo ? QMessageBox::Yes : QMessageBox::Ok);
  QCheckBox* dontAsk = nullptr;
  if (stopAsking) {
    dontAsk = new QCheckBox(QObject::tr("Don't ask again"), &box);
    box.setCheckBox(dontAsk);
  }
  const int button = box.exec();
  if (stopAsking) *stopAsking = dontAsk->isChecked();
  return button == QMessageBox::Yes || button == QMessageBox::Ok;
}

void CQtUserInterface::Fatal(std::string_view text) {
  const QString message = ui::ToQString(text);
  std::fprintf(stderr, "FATAL ERROR: %.*s\n", static_cast<int>(text.size()), text.data());
  std::fflush(stderr);
  OnUiThread([&] {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
      QMessageBox::critical(Parent(), Caption(), QObject::tr("FATAL ERROR: %1").arg(message));
  });
  std::exit(1);
}

void CQtUserInterface::Terminate(int status) {
  std::fflush(stderr);
  std::exit(status);
}

}  // namespace olm
