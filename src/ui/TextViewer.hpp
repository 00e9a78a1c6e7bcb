#pragma once
// CTextViewer: the program's own read-only text viewer for reports and
// result files.  An ordinary window (not modal) in a monospace font, with a
// find bar (Ctrl+F; Enter or F3 finds the next match, Shift+Enter or
// Shift+F3 the previous one; Escape closes the bar), "Reload" and "Open in
// external editor" (the desktop's application for the file).
#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolBar;

namespace olm::ui {

class CTextViewer : public QWidget {
  Q_OBJECT
 public:
  explicit CTextViewer(QWidget* parent = nullptr);

  // Creates a viewer window (deleted when closed) on the file and shows it.
  // parent keeps the window above it; it is still a window of its own.
  static CTextViewer* ShowFile(const QString& path, QWidget* parent = nullptr);

  // Reads the file; false, with the reason shown in the window, when it
  // cannot be read.
  bool Open(const QString& path);
  const QString& Path() const { return m_path; }
  QString Text() const;
  // The status line under the text ("Not found", read errors).
  QString Status() const;
  // A file longer than this is shown up to the last whole line within it,
  // with a note: a report of several data tables of 10^6 rows would
  // otherwise keep the program busy for a long time and take gigabytes.
  static constexpr qint64 kDefaultShownBytes = qint64(16) << 20;
  void SetShownBytes(qint64 bytes) { m_shownBytes = bytes; }

 public slots:
  bool Reload();
  void ShowFindBar();
  // Select the next (previous) match of the find text; false when there is none.
  bool FindNext();
  bool FindPrevious();
  // Hands the file to the desktop's application for it.
  bool OpenExternally();

 private:
  bool Find(bool backwards);

  QString m_path;
  QPlainTextEdit* m_text = nullptr;
  QWidget* m_findBar = nullptr;
  QLineEdit* m_findEdit = nullptr;
  QLabel* m_status = nullptr;
  qint64 m_shownBytes = kDefaultShownBytes;
};

}  // namespace olm::ui
