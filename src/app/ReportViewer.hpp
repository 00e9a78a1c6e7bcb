#pragma once
// The report viewer: a read-only window on a text file in a monospace font,
// with Find (Ctrl+F, F3 for the next match) and "Open in external editor".
#include <QMainWindow>

class QLineEdit;
class QPlainTextEdit;

namespace olm {

class CReportViewer : public QMainWindow {
  Q_OBJECT

 public:
  explicit CReportViewer(QWidget* parent = nullptr);
  // Loads the file; false (with the window empty) when it cannot be read.
  bool LoadFile(const QString& path);
  const QString& Path() const { return m_path; }
  QPlainTextEdit* Text() const { return m_text; }
  // Finds the next match from the cursor (wrapping once); false when none.
  bool Find(const QString& text);
  // Opens the file in the desktop's editor for its type.
  bool OpenExternal();

 private:
  QString m_path;
  QPlainTextEdit* m_text = nullptr;
  QLineEdit* m_find = nullptr;
};

}  // namespace olm
