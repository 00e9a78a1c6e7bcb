#include "app/ReadRawDataDlg.hpp"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "app/TaskRunner.hpp"
#include "app/ToolCommandsSupport.hpp"
#include "document/Document.hpp"
#include "editing/ReadRawDataSuggestion.hpp"
#include "editing/TextScan.hpp"
#include "numerics/UserInterface.hpp"
#include "ui/UiText.hpp"

namespace olm {

namespace {

QSpinBox* SpinBox(int lo, int hi, const QString& name) {
  auto* box = new QSpinBox;
  box->setRange(lo, hi);
  box->setAccessibleName(name);
  return box;
}

QCheckBox* CheckBox(const QString& text) {
  auto* box = new QCheckBox(text);
  box->setAccessibleName(QString(text).remove(QLatin1Char('&')));
  return box;
}

}  // namespace

CReadRawDataDlg::CReadRawDataDlg(QWidget* parent, COLMDoc& doc) : QDialog(parent), m_doc(doc) {
  setWindowTitle(tr("Read Raw Data"));
  setObjectName(QStringLiteral("ReadRawDataDlg"));

  // Delimiters.
  auto* delimiterBox = new QGroupBox(tr("Delimiters"));
  blank = CheckBox(tr("&Blank space(s)"));
  comma = CheckBox(tr("&Comma"));
  tab = CheckBox(tr("&Tab"));
  other = new QLineEdit;
  other->setMaxLength(1);
  other->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("MMM")) + 12);
  other->setAccessibleName(tr("Other"));
  auto* otherLabel = new QLabel(tr("&Other"));
  otherLabel->setBuddy(other);
  decimalComma = CheckBox(tr("&Decimal comma"));
  decimalComma->setToolTip(tr("Read \"3,9\" as 3.9 (only when the comma is not a delimiter)"));
  auto* delimiterLayout = new QGridLayout(delimiterBox);
  delimiterLayout->addWidget(blank, 0, 0);
  delimiterLayout->addWidget(comma, 0, 1);
  delimiterLayout->addWidget(tab, 0, 2);
  delimiterLayout->addWidget(otherLabel, 1, 0, Qt::AlignRight);
  delimiterLayout->addWidget(other, 1, 1);
  delimiterLayout->addWidget(decimalComma, 1, 2);

  // Layout of the file.
  columns = SpinBox(1, CReadRawDataForm::kMaxColumns, tr("# of  columns"));
  xColumn = SpinBox(0, CReadRawDataForm::kMaxColumns, tr("X-data column"));
  yColumn = SpinBox(0, CReadRawDataForm::kMaxColumns, tr("Y-data column"));
  headerLines = SpinBox(0, 100000, tr("# of header lines"));
  dataId = new QLineEdit;
  dataId->setMaxLength(CReadRawDataForm::kMaxDataIdLength);
  dataId->setAccessibleName(tr("Data ID"));
  auto* fields = new QFormLayout;
  fields->addRow(tr("# of  &columns"), columns);
  fields->addRow(tr("&X-data column"), xColumn);
  fields->addRow(tr("&Y-data column"), yColumn);
  fields->addRow(tr("# of &header lines"), headerLines);
  fields->addRow(tr("Data &ID"), dataId);

  // The file.
  fileField = new QLineEdit;
  fileField->setReadOnly(true);
  fileField->setAccessibleName(tr("File"));
  browseButton = new QPushButton(tr("B&rowse..."));
  notepadButton = new QPushButton(tr("&Notepad"));
  suggestButton = new QPushButton(tr("&Suggest"));
  suggestButton->setToolTip(tr("Guess the delimiters, header lines and columns from the file"));
  auto* fileRow = new QHBoxLayout;
  auto* fileLabel = new QLabel(tr("&File"));
  fileLabel->setBuddy(fileField);
  fileRow->addWidget(fileLabel);
  fileRow->addWidget(fileField, 1);
  fileRow->addWidget(browseButton);
  fileRow->addWidget(suggestButton);
  fileRow->addWidget(notepadButton);

  // The previews.
  preview = new QTreeWidget;
  preview->setAccessibleName(tr("Preview"));
  preview->setRootIsDecorated(false);
  preview->setHeaderLabels({tr("Line #"), tr("Contents")});
  preview->setColumnWidth(0, 80);
  preview->setColumnWidth(1, 400);
  parsed = new QTableWidget;
  parsed->setAccessibleName(tr("Parsed preview"));
  parsed->setEditTriggers(QAbstractItemView::NoEditTriggers);
  parsed->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  auto* splitter = new QSplitter;
  splitter->addWidget(preview);
  splitter->addWidget(parsed);
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 1);

  auto* tip = new QLabel(QString::fromUtf8(CReadRawDataForm::kTip));
  tip->setWordWrap(true);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  applyButton = buttons->addButton(tr("Apply"), QDialogButtonBox::ApplyRole);
  applyButton->setDefault(true);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* top = new QHBoxLayout;
  top->addWidget(delimiterBox);
  top->addLayout(fields);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fileRow);
  layout->addLayout(top);
  layout->addWidget(splitter, 1);
  layout->addWidget(tip);
  layout->addWidget(buttons);

  SetForm(CReadRawDataForm());

  connect(browseButton, &QPushButton::clicked, this, &CReadRawDataDlg::Browse);
  connect(suggestButton, &QPushButton::clicked, this, &CReadRawDataDlg::Suggest);
  connect(notepadButton, &QPushButton::clicked, this, &CReadRawDataDlg::Notepad);
  connect(applyButton, &QPushButton::clicked, this, [this] { Apply(); });
  for (QCheckBox* box : {blank, comma, tab, decimalComma})
    connect(box, &QCheckBox::toggled, this, &CReadRawDataDlg::UpdateParsed);
  for (QSpinBox* box : {columns, xColumn, yColumn, headerLines})
    connect(box, &QSpinBox::valueChanged, this, &CReadRawDataDlg::UpdateParsed);
  connect(other, &QLineEdit::textChanged, this, &CReadRawDataDlg::UpdateParsed);

  resize(900, 600);
  app::RememberDialogGeometry(this, QStringLiteral("OLM/ReadRawData/geometry"));
}

CReadRawDataDlg::~CReadRawDataDlg() {}

CReadRawDataForm CReadRawDataDlg::Form() const {
  CReadRawDataForm form;
  form.blank = blank->isChecked();
  form.comma = comma->isChecked();
  form.tab = tab->isChecked();
  form.other =
      other->text().isEmpty() ? std::string() : std::string(1, other->text().at(0).toLatin1());
  form.decimalComma = decimalComma->isChecked();
  form.columns = columns->value();
  form.xColumn = xColumn->value();
  form.yColumn = yColumn->value();
  form.headerLines = headerLines->value();
  form.dataId = ui::ToStdString(dataId->text());
  form.path = m_files.isEmpty() ? std::string() : ui::ToStdString(m_files.first());
  return form;
}

void CReadRawDataDlg::SetForm(const CReadRawDataForm& form) {
  const QSignalBlocker b1(blank), b2(comma), b3(tab), b4(other), b5(decimalComma), b6(columns),
      b7(xColumn), b8(yColumn), b9(headerLines);
  blank->setChecked(form.blank);
  comma->setChecked(form.comma);
  tab->setChecked(form.tab);
  other->setText(ui::ToQString(form.other));
  decimalComma->setChecked(form.decimalComma);
  columns->setValue(form.columns);
  xColumn->setValue(form.xColumn);
  yColumn->setValue(form.yColumn);
  headerLines->setValue(form.headerLines);
  dataId->setText(ui::ToQString(form.dataId));
  UpdateParsed();
}

void CReadRawDataDlg::Browse() {
  QSettings settings;
  const QString dir = settings.value(QStringLiteral("OLM/ReadRawData/folder")).toString();
  const QStringList files = QFileDialog::getOpenFileNames(
      this, tr("Read Raw Data"), dir, tr("Data Files (*.dat *.txt *.csv);;All Files (*)"));
  if (files.isEmpty()) return;
  settings.setValue(QStringLiteral("OLM/ReadRawData/folder"),
                    QFileInfo(files.first()).absolutePath());
  SetFiles(files);
}

void CReadRawDataDlg::SetFiles(const QStringList& files, bool suggest) {
  m_files = files;
  preview->clear();
  m_lines.clear();
  if (files.size() == 1)
    fileField->setText(files.first());
  else
    fileField->setText(tr("%n files", nullptr, static_cast<int>(files.size())));
  if (files.isEmpty()) {
    UpdateParsed();
    return;
  }
  CReadRawDataForm form = Form();
  for (auto& [number, text] : form.Browse(ui::ToStdString(files.first()))) {
    auto* item = new QTreeWidgetItem(preview);
    item->setText(0, QString::number(number));
    item->setText(1, ui::ToQString(text));
  }
  m_lines = FirstLines(form.path, 30);
  // Several files take their own names as titles.
  dataId->setEnabled(files.size() == 1);
  dataId->setText(files.size() == 1 ? ui::ToQString(CReadRawDataForm::DataIdOf(ui::ToStdString(files.first()))) : QString());
  if (suggest)
    Suggest();
  else
    UpdateParsed();
}

void CReadRawDataDlg::Suggest() {
  if (m_lines.empty()) return;
  const CLayoutSuggestion suggestion = SuggestLayout(m_lines);
  if (!suggestion.found) return;
  CReadRawDataForm form = Form();
  ApplySuggestion(suggestion, form);
  SetForm(form);
}

void CReadRawDataDlg::Notepad() {
  const QUrl url = m_files.isEmpty() ? QUrl() : QUrl::fromLocalFile(m_files.first());
  if (url.isEmpty() || !QDesktopServices::openUrl(url)) ShowMessage("Unable to find Notepad.");
}

void CReadRawDataDlg::UpdateParsed() {
  // A comma that separates fields is never a decimal comma.
  decimalComma->setEnabled(!comma->isChecked());
  parsed->clear();
  const CReadRawDataForm form = Form();
  const CFieldSplitter splitter(form.Delimiters());
  const int shown = std::min<int>(static_cast<int>(m_lines.size()), 20);
  parsed->setRowCount(shown);
  int width = std::max(form.columns, 1);
  int content = 0;  // non-comment, non-blank lines so far
  QFont headerFont = parsed->font();
  headerFont.setItalic(true);
  QFont xyFont = parsed->font();
  xyFont.setBold(true);
  const QBrush headerBrush = palette().brush(QPalette::AlternateBase);
  QColor xyColor = palette().color(QPalette::Highlight);
  xyColor.setAlpha(60);  // a tint of the palette's highlight, legible in light and dark themes
  const QBrush xyBrush(xyColor);
  for (int i = 0; i < shown; ++i) {
    const std::string& line = m_lines[static_cast<size_t>(i)];
    QString role;
    bool header = false, data = false;
    if (IsCommentLine(line)) {
      role = tr("comment");
    } else if (IsBlankLine(line)) {
      role = tr("blank");
    } else {
      ++content;
      header = content <= form.headerLines;
      data = !header;
      role = content == form.headerLines - 1 ? tr("headings")
             : content == form.headerLines   ? tr("units")
             : header                        ? tr("header")
                                             : tr("data");
    }
    parsed->setVerticalHeaderItem(
        i, new QTableWidgetItem(QStringLiteral("%1 %2").arg(i + 1).arg(role)));
    if (!header && !data) continue;
    splitter.Split(line, [&](int index, std::string_view field) {
      if (index > 200) return false;
      width = std::max(width, index);
      if (parsed->columnCount() < width) parsed->setColumnCount(width);
      auto* item = new QTableWidgetItem(ui::ToQString(field));
      if (header) {
        item->setFont(headerFont);
        item->setBackground(headerBrush);
      } else {
        double v;
        std::string text(field);
        if (form.decimalComma) std::replace(text.begin(), text.end(), ',', '.');
        if (!field.empty() && !ParseDecimal(text, v)) item->setToolTip(tr("Not a number"));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      }
      if (index > form.columns)
        item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
      if (index == form.xColumn || index == form.yColumn) {
        item->setFont(xyFont);
        if (data) item->setBackground(xyBrush);
      }
      parsed->setItem(i, index - 1, item);
      return true;
    });
  }
  parsed->setColumnCount(width);
  for (int c = 0; c < width; ++c) {
    QString label = QString::number(c + 1);
    if (c + 1 == form.xColumn) label += tr(" (x)");
    if (c + 1 == form.yColumn) label += tr(" (y)");
    parsed->setHorizontalHeaderItem(c, new QTableWidgetItem(label));
  }
}

bool CReadRawDataDlg::ImportOne(CReadRawDataForm& form) {
  const QFileInfo info(ui::ToQString(form.path));
  if (info.size() < kTaskBytes) return static_cast<bool>(m_doc.Import(form));
  // A large file: read on a worker thread with progress and Cancel.
  CTaskOptions options;
  options.label = tr("Reading %1...").arg(info.fileName());
  return static_cast<bool>(RunDocTask(this, m_doc, m_doc.PrepareImport(form), options));
}

int CReadRawDataDlg::Apply() {
  if (m_files.isEmpty()) {
    // The form's checks still come first; then the missing file is code 10.
    CReadRawDataForm form = Form();
    return ImportOne(form) ? 1 : 0;
  }
  int created = 0;
  const bool several = m_files.size() > 1;
  for (const QString& file : m_files) {
    CReadRawDataForm form = Form();
    form.path = ui::ToStdString(file);
    if (several) form.dataId = CReadRawDataForm::DataIdOf(form.path);
    if (ImportOne(form))
      ++created;
    else if (form.columns <= 0 || form.xColumn < 1 || form.xColumn > form.columns ||
             form.yColumn < 1 || form.yColumn > form.columns || form.headerLines < 2)
      break;  // the fields are wrong for every file: one message is enough
  }
  if (created > 0) {
    // The preview is cleared; the settings stay for the next files.
    SetFiles({}, false);
    dataId->clear();
    dataId->setEnabled(true);
  }
  return created;
}

}  // namespace olm
