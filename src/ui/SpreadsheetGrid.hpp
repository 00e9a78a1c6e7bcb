#pragma once
// A spreadsheet grid for large numeric tables: a QTableView over a model that
// asks a source for each shown cell, so that millions of rows open at once
// and nothing is copied into item objects.  Selections copy to the clipboard
// as tab-separated text.
#include <QAbstractTableModel>
#include <QTableView>

namespace olm::ui {

// Where the grid's texts come from (rows and columns from 0).
class IGridSource {
 public:
  virtual ~IGridSource() = default;
  virtual int GridRowCount() const = 0;
  virtual int GridColumnCount() const = 0;
  virtual QString GridCell(int row, int column) const = 0;
  virtual QString GridColumnHeader(int column) const = 0;
  virtual QString GridRowHeader(int row) const = 0;
};

class CGridModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit CGridModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
  // The source (not owned; null for an empty grid).
  void SetSource(const IGridSource* source);
  // Reads the source again (its size or contents changed).
  void Refresh();

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  const IGridSource* m_source = nullptr;
};

class CSpreadsheetGrid : public QTableView {
  Q_OBJECT
 public:
  explicit CSpreadsheetGrid(QWidget* parent = nullptr);
  CGridModel& Model() { return *m_model; }
  // The selected cells as tab-separated text: one line per row of the
  // selection's bounding box, cells outside the selection left empty.
  QString SelectionText() const;
  // Puts SelectionText on the clipboard.
  void CopySelection();
  // The bounding box of the selection (rows and columns from 0); false
  // without a selection.
  bool SelectionBox(int& top, int& left, int& bottom, int& right) const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  CGridModel* m_model;
};

}  // namespace olm::ui
