#pragma once
// The user manual (Markdown) in a QTextBrowser window.
#include <QMainWindow>

class QTextBrowser;

namespace olm {

class CHelpWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit CHelpWindow(QWidget* parent = nullptr);
  QTextBrowser* Browser() const { return m_browser; }
  // The manual's text: the installed or source copy, or the built-in one.
  static QString ManualText();

 private:
  QTextBrowser* m_browser = nullptr;
};

}  // namespace olm
