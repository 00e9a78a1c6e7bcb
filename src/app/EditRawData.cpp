#include "app/EditRawData.hpp"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "app/ToolCommandsSupport.hpp"
#include "editing/EditCommands.hpp"
#include "editing/TextScan.hpp"
#include "numerics/UserInterface.hpp"
#include "ui/CommandBox.hpp"
#include "ui/UiText.hpp"

namespace olm {

namespace {

constexpr unsigned kEditChanges = kChangeData | kChangeSettings;

const CMatrix<double>* ShownData(const COLMDoc& doc, int replicate, int kind) {
  const CReplicateDB& db = doc.Database();
  if (replicate < 1 || replicate > db.GetReplicateCount()) return nullptr;
  return db.Replicate(replicate).CurveData(kind);
}

// Rows (or columns) of a selection, as flags over [0, n).
std::vector<bool> SelectedLines(const QItemSelection& selection, int n, bool rows) {
  std::vector<bool> flags(static_cast<size_t>(std::max(n, 0)), false);
  for (const QItemSelectionRange& range : selection) {
    const int from = rows ? range.top() : range.left(), to = rows ? range.bottom() : range.right();
    for (int i = std::max(from, 0); i <= to && i < n; ++i) flags[static_cast<size_t>(i)] = true;
  }
  return flags;
}

}  // namespace

CEditRawData::CEditRawData(QWidget* parent, COLMDoc& doc, int replicate, int kind)
    : QDialog(parent), m_doc(doc) {
  setWindowTitle(QString::fromUtf8(CRawDataEditor::kCaption));
  setObjectName(QStringLiteral("EditRawData"));
  // The editor works on the document's database object, whose identity
  // never changes; each command runs inside a document operation.
  m_editor = std::make_unique<CRawDataEditor>(m_doc.MutableDatabase());

  list = new QTreeWidget;
  list->setAccessibleName(tr("Data sets"));
  list->setRootIsDecorated(false);
  QStringList headings;
  for (const std::string& h : CRawDataEditor::ListHeadings()) headings << ui::ToQString(h);
  list->setHeaderLabels(headings);
  list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

  rawButton = new QRadioButton(tr("&Raw"));
  smoothedButton = new QRadioButton(tr("&Smoothened"));
  fittedButton = new QRadioButton(tr("&Fitted"));
  auto* kinds = new QHBoxLayout;
  for (QRadioButton* b : {rawButton, smoothedButton, fittedButton}) kinds->addWidget(b);
  kinds->addStretch(1);
  range = new QLabel;
  range->setAccessibleName(tr("Selection"));
  kinds->addWidget(range);

  grid = new ui::CSpreadsheetGrid;
  grid->setContextMenuPolicy(Qt::CustomContextMenu);

  action = new QComboBox;
  action->setAccessibleName(tr("Action"));
  for (const std::string& t : CRawDataEditor::ActionTemplates()) action->addItem(ui::ToQString(t));
  command = new ui::CCommandBox;
  command->setAccessibleName(tr("Command"));
  command->setPlaceholderText(tr("Command, e.g. ds1_c3_raw = ds1_c2_raw * 2"));
  applyButton = new QPushButton(tr("&Apply"));
  status = new QLineEdit;
  status->setReadOnly(true);
  status->setAccessibleName(tr("Status"));
  exportButton = new QPushButton(tr("&Export..."));
  updateButton = new QPushButton(tr("&Update"));

  auto* actionLabel = new QLabel(tr("Ac&tion"));
  actionLabel->setBuddy(action);
  auto* commandLabel = new QLabel(tr("&Command"));
  commandLabel->setBuddy(command);
  auto* statusLabel = new QLabel(tr("Stat&us"));
  statusLabel->setBuddy(status);
  auto* commandGrid = new QGridLayout;
  commandGrid->addWidget(actionLabel, 0, 0);
  commandGrid->addWidget(action, 0, 1, 1, 2);
  commandGrid->addWidget(commandLabel, 1, 0);
  commandGrid->addWidget(command, 1, 1);
  commandGrid->addWidget(applyButton, 1, 2);
  commandGrid->addWidget(statusLabel, 2, 0);
  commandGrid->addWidget(status, 2, 1);
  commandGrid->setColumnStretch(1, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  buttons->addButton(exportButton, QDialogButtonBox::ActionRole);
  buttons->addButton(updateButton, QDialogButtonBox::ActionRole);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // Return in the command box applies the command; no button takes it too.
  for (QAbstractButton* b : buttons->buttons())
    if (auto* push = qobject_cast<QPushButton*>(b)) push->setAutoDefault(false);
  applyButton->setAutoDefault(false);

  auto* lower = new QWidget;
  auto* lowerLayout = new QVBoxLayout(lower);
  lowerLayout->setContentsMargins(0, 0, 0, 0);
  lowerLayout->addLayout(kinds);
  lowerLayout->addWidget(grid, 1);
  auto* splitter = new QSplitter(Qt::Vertical);
  splitter->addWidget(list);
  splitter->addWidget(lower);
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 3);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(splitter, 1);
  layout->addLayout(commandGrid);
  layout->addWidget(buttons);

  connect(list, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (item) Show(list->indexOfTopLevelItem(item) + 1, ShownKind());
  });
  connect(rawButton, &QRadioButton::clicked, this, [this] { Show(ShownReplicate(), kCurveRaw); });
  connect(smoothedButton, &QRadioButton::clicked, this,
          [this] { Show(ShownReplicate(), kCurveSmoothed); });
  connect(fittedButton, &QRadioButton::clicked, this,
          [this] { Show(ShownReplicate(), kCurveFitted); });
  connect(action, &QComboBox::activated, this, [this](int i) {
    command->setText(action->itemText(i));
    command->setFocus();
    command->selectAll();
  });
  connect(applyButton, &QPushButton::clicked, this, [this] { ApplyCommand(command->text()); });
  connect(command, &QLineEdit::returnPressed, this, [this] { ApplyCommand(command->text()); });
  connect(exportButton, &QPushButton::clicked, this, &CEditRawData::Export);
  connect(updateButton, &QPushButton::clicked, this, &CEditRawData::Refresh);
  connect(grid, &QWidget::customContextMenuRequested, this, &CEditRawData::ShowContextMenu);

  auto* paste = new QAction(tr("Paste"), grid);
  paste->setShortcut(QKeySequence::Paste);
  paste->setShortcutContext(Qt::WidgetShortcut);
  grid->addAction(paste);
  connect(paste, &QAction::triggered, this, [this] { Paste(QApplication::clipboard()->text()); });

  grid->Model().SetSource(this);
  connect(grid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { range->setText(RangeText()); });
  m_doc.AddObserver(this);
  Show(replicate < 1 ? 1 : replicate, kind);

  resize(1000, 700);
  app::RememberDialogGeometry(this, QStringLiteral("OLM/EditRawData/geometry"));
}

CEditRawData::~CEditRawData() {
  m_doc.RemoveObserver(this);
  grid->Model().SetSource(nullptr);
  m_editor.reset();
}

int CEditRawData::ShownReplicate() const {
  return m_editor->GetShownReplicate();
}
int CEditRawData::ShownKind() const {
  return m_editor->GetShownKind();
}

void CEditRawData::Show(int replicate, int kind) {
  const int count = m_doc.Database().GetReplicateCount();
  m_editor->SetShownReplicate(std::clamp(replicate, count > 0 ? 1 : 0, count));
  m_editor->SetShownKind(std::clamp(kind, 0, 2));
  Refresh();
}

void CEditRawData::Refresh() {
  const int count = m_doc.Database().GetReplicateCount();
  if (ShownReplicate() > count || (ShownReplicate() < 1 && count > 0))
    m_editor->SetShownReplicate(std::clamp(ShownReplicate(), 1, std::max(count, 1)));
  {
    const QSignalBlocker block(list);
    list->clear();
    for (int r = 1; r <= count; ++r) {
      auto* item = new QTreeWidgetItem(list);
      const std::vector<std::string> row = m_editor->ListRow(r);
      for (size_t i = 0; i < row.size(); ++i)
        item->setText(static_cast<int>(i), ui::ToQString(row[i]));
    }
    if (ShownReplicate() >= 1 && ShownReplicate() <= count)
      list->setCurrentItem(list->topLevelItem(ShownReplicate() - 1));
  }
  rawButton->setChecked(ShownKind() == kCurveRaw);
  smoothedButton->setChecked(ShownKind() == kCurveSmoothed);
  fittedButton->setChecked(ShownKind() == kCurveFitted);
  grid->Model().Refresh();
  range->setText(RangeText());
  UpdateWords();
}

void CEditRawData::UpdateWords() {
  QStringList words = {
      QStringLiteral("deleterep"), QStringLiteral("reformat"), QStringLiteral("zero"),
      QStringLiteral("createrep"), QStringLiteral("inv"),      QStringLiteral("zeroinv"),
      QStringLiteral("raw"),       QStringLiteral("smt"),      QStringLiteral("fit")};
  const CReplicateDB& db = m_doc.Database();
  for (int r = 1; r <= db.GetReplicateCount(); ++r)
    for (int c = 1; c <= db.Replicate(r).columnCount; ++c)
      for (int k : {kCurveRaw, kCurveSmoothed, kCurveFitted})
        words << ui::ToQString(CRawDataEditor::ColumnVariableName(r, c, k));
  command->SetWords(words);
}

void CEditRawData::DocumentChanged(unsigned changes) {
  if (changes & kChangeData) Refresh();
}

// ---- the grid's source: cells read straight from the replicate's matrix

int CEditRawData::GridRowCount() const {
  return m_editor->GridRows();
}
int CEditRawData::GridColumnCount() const {
  return m_editor->GridColumns();
}

QString CEditRawData::GridCell(int row, int column) const {
  const CMatrix<double>* m = ShownData(m_doc, ShownReplicate(), ShownKind());
  if (!m || row < 0 || row >= m->GetRows() || column < 0 || column >= m->GetColumns()) return {};
  char buf[40];
  std::snprintf(buf, sizeof buf, "%-g", (*m)(row + 1, column + 1));
  return QString::fromLatin1(buf);
}

QString CEditRawData::GridColumnHeader(int column) const {
  const int c = column + 1;
  return ui::ToQString(m_editor->ColumnVariable(c)) + QLatin1Char('\n') +
         ui::ToQString(m_editor->ColumnHeading(c)) + QLatin1Char('\n') +
         ui::ToQString(m_editor->ColumnUnits(c));
}

QString CEditRawData::GridRowHeader(int row) const {
  return QStringLiteral("ds%1_r%2").arg(ShownReplicate()).arg(row + 1);
}

// ---- commands

bool CEditRawData::ApplyCommand(const QString& text) {
  const std::string line = ui::ToStdString(text.trimmed());
  if (line.empty()) return false;
  command->AddToHistory(text);
  // A command that fails keeps what it changed before the failure as its
  // step; one that changed nothing leaves no step.  Modify shares every
  // replicate with its snapshot, so a replicate written to is a new object.
  bool ok = false, changed = false;
  m_doc.Modify("Edit Data", kEditChanges, [&](CReplicateDB& db, CGEList&) {
    std::vector<const CReplicate*> before;
    for (int r = 1; r <= db.GetReplicateCount(); ++r)
      before.push_back(&std::as_const(db).Replicate(r));
    ok = m_editor->Apply(line);
    changed = ok || db.GetReplicateCount() != static_cast<int>(before.size());
    for (int r = 1; !changed && r <= db.GetReplicateCount(); ++r)
      changed = &std::as_const(db).Replicate(r) != before[static_cast<size_t>(r - 1)];
    if (changed) CRawDataEditor::UpdateDocument(db);
    return changed;
  });
  status->setText(ui::ToQString(m_editor->GetStatusText()));
  if (ok) command->clear();
  if (!changed) Refresh();  // a step refreshes through the document's notice
  return ok;
}

QString CEditRawData::RangeText() const {
  int top, left, bottom, right;
  if (!grid->SelectionBox(top, left, bottom, right)) return {};
  if (top == bottom && left == right)
    return QString::fromStdString(Format("r%dc%d", top + 1, left + 1));
  return QString::fromStdString(Format("r%dc%d:r%dc%d", top + 1, left + 1, bottom + 1, right + 1));
}

bool CEditRawData::CheckRawSelection(int& top, int& left, int& bottom, int& right) {
  if (!grid->SelectionBox(top, left, bottom, right)) {
    ShowMessage("Nothing selected");
    return false;
  }
  if (ShownKind() != kCurveRaw) {
    ShowMessage("Cannot modify smoothened or fitted data.");
    return false;
  }
  return true;
}

bool CEditRawData::DeleteRows() {
  int top, left, bottom, right;
  if (!CheckRawSelection(top, left, bottom, right)) return false;
  const int rows = GridRowCount();
  const std::vector<bool> gone = SelectedLines(grid->selectionModel()->selection(), rows, true);
  const int n = static_cast<int>(std::count(gone.begin(), gone.end(), true));
  if (n == 0) {
    ShowMessage("Nothing selected");
    return false;
  }
  if (n >= rows) {
    ShowMessage("Cannot delete all rows");
    return false;
  }
  if (!AskUser(Format("%d row(s) will be deleted?", n))) return false;
  const int r = ShownReplicate();
  const bool ok =
      static_cast<bool>(m_doc.Modify("Delete Rows", kEditChanges, [&](CReplicateDB& db, CGEList&) {
        CReplicate& rep = db.Replicate(r);
        const int columns = rep.raw.GetColumns();
        CMatrix<double> kept(rows - n, columns);
        int k = 0;
        for (int i = 1; i <= rows; ++i) {
          if (gone[static_cast<size_t>(i - 1)]) continue;
          ++k;
          std::copy(rep.raw.Row(i), rep.raw.Row(i) + columns, kept.Row(k));
        }
        rep.raw.Assign(kept);
        rep.pointCount = rows - n;
        CRawDataEditor::UpdateDocument(db);
        return true;
      }));
  grid->clearSelection();
  return ok;
}

bool CEditRawData::DeleteColumns() {
  int top, left, bottom, right;
  if (!CheckRawSelection(top, left, bottom, right)) return false;
  const int columns = GridColumnCount();
  const std::vector<bool> gone = SelectedLines(grid->selectionModel()->selection(), columns, false);
  const int n = static_cast<int>(std::count(gone.begin(), gone.end(), true));
  if (n >= columns) {
    ShowMessage("Cannot delete all columns");
    return false;
  }
  const int r = ShownReplicate();
  const CReplicate& shown = m_doc.Database().Replicate(r);
  // The x and y columns carry the curve: they stay.
  if (gone[static_cast<size_t>(shown.xColumn - 1)] ||
      gone[static_cast<size_t>(shown.yColumn - 1)]) {
    ShowMessage("Invalid column");
    return false;
  }
  if (!AskUser(Format("%d column(s) will be deleted?", n))) return false;
  const bool ok = static_cast<bool>(
      m_doc.Modify("Delete Columns", kEditChanges, [&](CReplicateDB& db, CGEList&) {
        CReplicate& rep = db.Replicate(r);
        for (int c = columns; c >= 1; --c) {
          if (!gone[static_cast<size_t>(c - 1)]) continue;
          rep.DeleteColumn(c);
          if (rep.xColumn > c) --rep.xColumn;
          if (rep.yColumn > c) --rep.yColumn;
        }
        CRawDataEditor::UpdateDocument(db);
        return true;
      }));
  grid->clearSelection();
  return ok;
}

bool CEditRawData::Paste(const QString& text) {
  int top, left, bottom, right;
  if (!CheckRawSelection(top, left, bottom, right)) return false;
  // Tab-separated rows, as the grid copies them.
  QStringList lines = text.split(QLatin1Char('\n'));
  while (!lines.isEmpty() && lines.last().trimmed().isEmpty()) lines.removeLast();
  std::vector<std::vector<double>> cells;
  int width = 0;
  for (int i = 0; i < lines.size(); ++i) {
    const QStringList fields = lines[i].split(QLatin1Char('\t'));
    std::vector<double> row;
    for (int j = 0; j < fields.size(); ++j) {
      double v = 0.0;
      const std::string field = ui::ToStdString(fields[j].trimmed());
      if (!ParseDecimal(field, v)) {
        ShowMessage(Format("Invalid input in pasted row %d, column %d", i + 1, j + 1));
        return false;
      }
      row.push_back(v);
    }
    width = std::max(width, static_cast<int>(row.size()));
    cells.push_back(std::move(row));
  }
  if (cells.empty()) return false;
  if (top + static_cast<int>(cells.size()) > GridRowCount() || left + width > GridColumnCount()) {
    ShowMessage("Paste boundary exceeds current number of rows or columns");
    return false;
  }
  const int r = ShownReplicate();
  const bool ok =
      static_cast<bool>(m_doc.Modify("Paste", kEditChanges, [&](CReplicateDB& db, CGEList&) {
        CReplicate& rep = db.Replicate(r);
        for (size_t i = 0; i < cells.size(); ++i)
          for (size_t j = 0; j < cells[i].size(); ++j)
            rep.raw(top + 1 + static_cast<int>(i), left + 1 + static_cast<int>(j)) = cells[i][j];
        CRawDataEditor::UpdateDocument(db);
        return true;
      }));
  return ok;
}

bool CEditRawData::ExportTo(const QString& path) {
  return m_editor->Export(ShownReplicate(), ui::ToStdString(path), ShownKind());
}

void CEditRawData::Export() {
  QString path =
      QFileDialog::getSaveFileName(this, tr("Export"), QString(), tr("Text Files (*.txt)"));
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".txt");
  ExportTo(path);
}

void CEditRawData::ShowContextMenu(const QPoint& pos) {
  QMenu menu(this);
  menu.addAction(tr("&Copy"), grid, &ui::CSpreadsheetGrid::CopySelection);
  menu.addAction(tr("&Paste"), this, [this] { Paste(QApplication::clipboard()->text()); });
  menu.addSeparator();
  menu.addAction(tr("Delete &Rows"), this, [this] { DeleteRows(); });
  menu.addAction(tr("Delete C&olumns"), this, [this] { DeleteColumns(); });
  menu.exec(grid->viewport()->mapToGlobal(pos));
}

}  // namespace olm
