#pragma once
// Helpers of the tool dialogs' widget tests: modal boxes and file dialogs
// answered as a user would, in the order they are expected, and pixel
// counts of painted frames.
#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>
#include <QtTest/QtTest>
#include <deque>
#include <functional>
#include <string>

namespace olm::test {

// Answers the modal windows that open, one step per window, in order.  The
// progress dialog of long work is left alone.  A window that no step
// expects is recorded in `unexpected` and closed, so a test fails instead
// of waiting forever.
class CModalAnswers : public QObject {
 public:
  using Step = std::function<void(QWidget*)>;

  CModalAnswers() {
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &CModalAnswers::Tick);
    m_timer.start();
  }

  // The next modal window is handed to step.
  CModalAnswers& Then(Step step) {
    m_steps.push_back(std::move(step));
    return *this;
  }
  // The next modal window is a message box: its text is recorded, then OK.
  CModalAnswers& Message() {
    return Then([this](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      messages << (box ? box->text()
                       : QStringLiteral("<not a message box: %1>")
                             .arg(QString::fromLatin1(w->metaObject()->className())));
      if (box)
        box->accept();
      else
        w->close();
    });
  }
  // The next modal window is a file dialog: the file is chosen (an empty
  // path cancels).  The dialog's own proposal is kept in `proposed`.
  CModalAnswers& File(const QString& path) {
    return Then([this, path](QWidget* w) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      if (!dialog) {
        messages << QStringLiteral("<not a file dialog>");
        w->close();
        return;
      }
      proposed << dialog->selectedFiles().value(0);
      titles << dialog->windowTitle();
      if (path.isEmpty()) {
        dialog->reject();
        return;
      }
      dialog->selectFile(path);
      static_cast<QDialog*>(dialog)->accept();  // QFileDialog's own accept, as Enter gives
    });
  }

  bool Done() const { return m_steps.empty(); }

  QStringList messages;    // texts of the message boxes answered
  QStringList proposed;    // what each file dialog proposed
  QStringList titles;      // file dialog titles
  QStringList unexpected;  // windows no step expected

 private:
  void Tick() {
    QWidget* w = QApplication::activeModalWidget();
    if (!w || !w->isVisible() || qobject_cast<QProgressDialog*>(w)) return;
    if (m_steps.empty()) {
      auto* box = qobject_cast<QMessageBox*>(w);
      unexpected << (box ? box->text() : QString::fromLatin1(w->metaObject()->className()));
      w->close();
      return;
    }
    Step step = std::move(m_steps.front());
    m_steps.pop_front();
    step(w);
  }

  std::deque<Step> m_steps;
  QTimer m_timer;
};

// Pixels of the image that differ from the background colour.
inline int CountNonBackground(const QImage& image, QRgb background = qRgb(255, 255, 255)) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  int n = 0;
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x)
      if ((rgb.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF)) ++n;
  return n;
}

inline QString SamplePath(const char* relative) {
  return QStringLiteral(OLM_SAMPLES_DIR "/") + QString::fromUtf8(relative);
}

}  // namespace olm::test
