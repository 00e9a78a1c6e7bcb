#pragma once
// "Edit Raw Data & View Smoothened and Fitted Data": the replicate list, a
// spreadsheet grid over one replicate's raw, smoothed or fitted data (read
// straight from the database, so a replicate of millions of rows opens at
// once), the command box with the "Action" templates, and the grid's cell
// operations.  Every applied command and cell operation is one undo step of
// the document.
#include <QDialog>
#include <memory>

#include "document/Document.hpp"
#include "ui/SpreadsheetGrid.hpp"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace olm {

class CRawDataEditor;
namespace ui {
class CCommandBox;
}

class CEditRawData : public QDialog, public IDocObserver, private ui::IGridSource {
  Q_OBJECT
 public:
  // replicate: 1-based (0: the first); kind: kCurveRaw, kCurveSmoothed or kCurveFitted.
  CEditRawData(QWidget* parent, COLMDoc& doc, int replicate = 0, int kind = 0);
  ~CEditRawData() override;

  int ShownReplicate() const;
  int ShownKind() const;
  void Show(int replicate, int kind);

  // "Apply": runs a command as one undo step; true on success.
  bool ApplyCommand(const QString& command);
  // Cell operations on the selected cells of the raw data.
  bool DeleteRows();
  bool DeleteColumns();
  bool Paste(const QString& text);
  // "Export" to a path (the button asks for it).
  bool ExportTo(const QString& path);
  // The selection as "r%dc%d:r%dc%d" or "r%dc%d"; empty without one.
  QString RangeText() const;
  // Re-reads the database into the list, the grid and the completions.
  void Refresh();

  void DocumentChanged(unsigned changes) override;

  QTreeWidget* list;
  ui::CSpreadsheetGrid* grid;
  QRadioButton* rawButton;
  QRadioButton* smoothedButton;
  QRadioButton* fittedButton;
  QComboBox* action;
  ui::CCommandBox* command;
  QPushButton* applyButton;
  QLineEdit* status;
  QLabel* range;
  QPushButton* exportButton;
  QPushButton* updateButton;

 private:
  int GridRowCount() const override;
  int GridColumnCount() const override;
  QString GridCell(int row, int column) const override;
  QString GridColumnHeader(int column) const override;
  QString GridRowHeader(int row) const override;

  void Export();
  void ShowContextMenu(const QPoint& pos);
  bool CheckRawSelection(int& top, int& left, int& bottom, int& right);
  void UpdateWords();

  COLMDoc& m_doc;
  std::unique_ptr<CRawDataEditor> m_editor;
};

}  // namespace olm
