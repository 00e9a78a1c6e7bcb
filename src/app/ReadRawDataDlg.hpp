#pragma once
// "Read Raw Data": the import dialog.  The fields of the import form, the
// preview of the file's first lines beside a parsed table that follows the
// settings, a suggested layout when files are chosen, and "Apply", which
// imports every chosen file as a replicate (one undo step each) and keeps
// the dialog open.
#include <QDialog>
#include <QStringList>

#include "editing/ReadRawDataForm.hpp"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTreeWidget;

namespace olm {

class COLMDoc;

class CReadRawDataDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kPreviewLines = 10;
  // Files at least this large are read on a worker thread with progress.
  static constexpr qint64 kTaskBytes = 4 << 20;

  CReadRawDataDlg(QWidget* parent, COLMDoc& doc);
  ~CReadRawDataDlg() override;

  // What "Browse" does with the files chosen: the first file's preview, the
  // suggested layout (when suggest), and the Data ID from its name.
  void SetFiles(const QStringList& files, bool suggest = true);
  const QStringList& Files() const { return m_files; }
  // The form as the controls describe it (path: the first file).
  CReadRawDataForm Form() const;
  void SetForm(const CReadRawDataForm& form);
  // "Apply": imports every chosen file with the same settings; returns the
  // number of replicates created.  A file that fails shows its message and
  // the others are still imported.
  int Apply();

  // Controls (named for tests and screen readers).
  QCheckBox* blank;
  QCheckBox* comma;
  QCheckBox* tab;
  QLineEdit* other;
  QCheckBox* decimalComma;
  QSpinBox* columns;
  QSpinBox* xColumn;
  QSpinBox* yColumn;
  QSpinBox* headerLines;
  QLineEdit* dataId;
  QLineEdit* fileField;
  QPushButton* browseButton;
  QPushButton* notepadButton;
  QPushButton* suggestButton;
  QPushButton* applyButton;
  QTreeWidget* preview;  // "Line #", "Contents"
  QTableWidget* parsed;  // the preview split into fields

 private:
  void Browse();
  void Suggest();
  void Notepad();
  void UpdateParsed();
  bool ImportOne(CReadRawDataForm& form);

  COLMDoc& m_doc;
  QStringList m_files;
  std::vector<std::string> m_lines;  // the first file's first lines, as read
};

}  // namespace olm
