#include "ui/SpreadsheetGrid.hpp"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>
#include <climits>

namespace olm::ui {

void CGridModel::SetSource(const IGridSource* source) {
  beginResetModel();
  m_source = source;
  endResetModel();
}

void CGridModel::Refresh() {
  beginResetModel();
  endResetModel();
}

int CGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || !m_source ? 0 : m_source->GridRowCount();
}

int CGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() || !m_source ? 0 : m_source->GridColumnCount();
}

QVariant CGridModel::data(const QModelIndex& index, int role) const {
  if (!m_source || !index.isValid()) return {};
  if (role == Qt::DisplayRole) return m_source->GridCell(index.row(), index.column());
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QVariant CGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (!m_source || role != Qt::DisplayRole)
    return QAbstractTableModel::headerData(section, orientation, role);
  return orientation == Qt::Horizontal ? m_source->GridColumnHeader(section)
                                       : m_source->GridRowHeader(section);
}

CSpreadsheetGrid::CSpreadsheetGrid(QWidget* parent)
    : QTableView(parent), m_model(new CGridModel(this)) {
  setModel(m_model);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  // Fixed row heights keep a grid of millions of rows as cheap as a small one:
  // the header never measures its sections.
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  verticalHeader()->setMinimumWidth(
      fontMetrics().horizontalAdvance(QStringLiteral("ds20_r0000000")));
  horizontalHeader()->setDefaultSectionSize(
      fontMetrics().horizontalAdvance(QStringLiteral("-0.000000e+000")) + 8);
  horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  setAccessibleName(tr("Data grid"));
}

bool CSpreadsheetGrid::SelectionBox(int& top, int& left, int& bottom, int& right) const {
  const QItemSelection selection =
      selectionModel() ? selectionModel()->selection() : QItemSelection();
  if (selection.isEmpty()) return false;
  top = left = INT_MAX;
  bottom = right = -1;
  for (const QItemSelectionRange& range : selection) {
    top = std::min(top, range.top());
    left = std::min(left, range.left());
    bottom = std::max(bottom, range.bottom());
    right = std::max(right, range.right());
  }
  return bottom >= 0;
}

QString CSpreadsheetGrid::SelectionText() const {
  int top, left, bottom, right;
  if (!SelectionBox(top, left, bottom, right)) return {};
  const QItemSelection selection = selectionModel()->selection();
  QString text;
  for (int r = top; r <= bottom; ++r) {
    for (int c = left; c <= right; ++c) {
      if (c > left) text += QLatin1Char('\t');
      const QModelIndex index = m_model->index(r, c);
      if (selection.contains(index)) text += m_model->data(index).toString().trimmed();
    }
    text += QLatin1Char('\n');
  }
  return text;
}

void CSpreadsheetGrid::CopySelection() {
  const QString text = SelectionText();
  if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

void CSpreadsheetGrid::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    CopySelection();
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

}  // namespace olm::ui

// The widgets' meta-object code (the folder's library lists only .cpp files).
#include "moc_SpreadsheetGrid.cpp"
