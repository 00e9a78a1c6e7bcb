#include "app/GraphSettingsSheet.hpp"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "plot/Graph.hpp"
#include "plot/PlotCurves.hpp"
#include "ui/ColourButton.hpp"
#include "ui/StyleComboBoxes.hpp"
#include "ui/UiText.hpp"

namespace olm {

namespace {

QFont ToQFont(const CLogFont& lf, int defaultHeight) {
  QFont font(ui::ToQString(lf.faceName.empty() ? std::string("Arial") : lf.faceName));
  const int h = lf.height == 0 ? defaultHeight : std::abs(lf.height);
  font.setPixelSize(std::clamp(h, 1, 500));
  font.setWeight(static_cast<QFont::Weight>(std::clamp(lf.weight <= 0 ? 400 : lf.weight, 1, 1000)));
  font.setItalic(lf.italic != 0);
  font.setUnderline(lf.underline != 0);
  font.setStrikeOut(lf.strikeOut != 0);
  return font;
}

// The dialog's font into the stored font, keeping the fields Qt has no
// counterpart for.
void FromQFont(const QFont& font, CLogFont& lf) {
  int pixels = font.pixelSize();
  if (pixels <= 0) pixels = static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0));
  lf.height = -std::max(1, pixels);
  lf.weight = static_cast<int32_t>(font.weight());
  lf.italic = font.italic() ? 1 : 0;
  lf.underline = font.underline() ? 1 : 0;
  lf.strikeOut = font.strikeOut() ? 1 : 0;
  lf.faceName = ui::ToStdString(font.family());
}

QString FontText(const CLogFont& lf) {
  const QFont f = ToQFont(lf, 20);
  return QStringLiteral("%1, %2 px%3")
      .arg(f.family())
      .arg(f.pixelSize())
      .arg(f.bold() ? QStringLiteral(", bold") : QString());
}

bool ReadFloat(const QLineEdit* edit, const QString& caption, float& value) {
  bool ok = false;
  const double v = edit->text().trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(static_cast<float>(v))) {
    ShowMessage(ui::ToStdString(QStringLiteral("Enter a number for the %1.").arg(caption)));
    return false;
  }
  value = static_cast<float>(v);
  return true;
}

// The shortest text that reads back as the same float.
QString FloatText(float value) {
  for (int digits = 6; digits < 9; ++digits) {
    const QString text = QString::number(static_cast<double>(value), 'g', digits);
    if (static_cast<float>(text.toDouble()) == value) return text;
  }
  return QString::number(static_cast<double>(value), 'g', 9);
}

const char* const kLimitCaptions[8] = {
    "Min X Plot value",  "Max X Plot value",  "Min Y Plot value",  "Max Y Plot value",
    "Min X Model value", "Max X Model value", "Min Y Model value", "Max Y Model value"};
const char* const kFlagCaptions[8] = {"Show graph markers",    "Show x-axis gridlines",
                                      "Show y-axis gridlines", "Show legend",
                                      "Show x-axis",           "Show y-axis",
                                      "Label curves",          "Show graph ticks outside"};
const char* const kKindNames[3] = {"Raw", "Smoothed", "Fitted"};

}  // namespace

CGraphSettingsSheet::CGraphSettingsSheet(COLMDoc& doc, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_rules(doc.PlotSettings()) {
  setWindowTitle(tr("Graph Settings"));
  m_tabs = new QTabWidget(this);
  m_tabs->addTab(CreateAttributesPage(), tr("Graph Attributes"));
  m_tabs->addTab(CreateLayoutPage(), tr("Graph Layout"));
  connect(m_tabs, &QTabWidget::currentChanged, this, &CGraphSettingsSheet::TabChanging);

  m_buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
  connect(m_buttons, &QDialogButtonBox::accepted, this, [this] {
    if (Commit()) QDialog::done(Accepted);
  });
  connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(m_buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
          &CGraphSettingsSheet::ApplyPreview);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_tabs);
  layout->addWidget(m_buttons);
  LoadFields();
}

CGraphSettingsSheet::~CGraphSettingsSheet() {
  if (m_editing) m_doc.EndEdit(false);
}

QWidget* CGraphSettingsSheet::CreateAttributesPage() {
  auto* page = new QWidget;
  CPlotSettings& s = m_rules.Edit();

  auto* texts = new QGroupBox(tr("Titles"), page);
  auto* grid = new QGridLayout(texts);
  static const char* const kCaptions[4] = {"&Graph title", "&X-axis label", "&Y-axis label (left)",
                                           "Y-axis label (&right)"};
  for (int i = 0; i < 4; ++i) {
    CLabelFields& f = m_labels[static_cast<size_t>(i)];
    f.text = new QLineEdit(texts);
    f.text->setMaxLength(CPlotSettingsRules::kMaxLabelChars);
    f.colour = new ui::CColourButton(texts);
    auto* label = new QLabel(tr(kCaptions[i]), texts);
    label->setBuddy(f.text);
    const QString plain = QString::fromLatin1(kCaptions[i]).remove(QLatin1Char('&'));
    f.text->setAccessibleName(plain);
    f.colour->setAccessibleName(tr("%1 colour").arg(plain));
    grid->addWidget(label, i, 0);
    grid->addWidget(f.text, i, 1);
    grid->addWidget(f.colour, i, 2);
  }
  m_title = m_labels[0].text;
  // Fonts: the title's, the x-axis label's and the y-axis label's.
  m_fontTargets = {&s.graphTitleFont, &s.xAxisLabelFont, &s.thirdFont};
  static const char* const kFontCaptions[3] = {"Title font", "X-axis label font",
                                               "Y-axis label font"};
  static const int kDefaultHeights[3] = {30, 20, 20};
  for (int i = 0; i < 3; ++i) {
    auto* button = new QPushButton(texts);
    button->setAccessibleName(tr(kFontCaptions[i]));
    button->setToolTip(tr(kFontCaptions[i]));
    const auto refresh = [this, button, i] {
      button->setText(FontText(*m_fontTargets[static_cast<size_t>(i)]));
    };
    refresh();
    connect(button, &QPushButton::clicked, this, [this, i, refresh] {
      CLogFont& target = *m_fontTargets[static_cast<size_t>(i)];
      bool ok = false;
      const QFont chosen = QFontDialog::getFont(&ok, ToQFont(target, kDefaultHeights[i]), this,
                                                tr(kFontCaptions[i]));
      if (!ok) return;
      FromQFont(chosen, target);
      refresh();
    });
    grid->addWidget(new QLabel(tr(kFontCaptions[i]), texts), 4 + i, 0);
    grid->addWidget(button, 4 + i, 1, 1, 2);
  }

  // The per-curve style table: the rows of the document's replicates.
  auto* curves = new QGroupBox(tr("Curves"), page);
  m_styles = new QTableWidget(curves);
  m_styles->setAccessibleName(tr("Curve styles"));
  m_styles->setColumnCount(5);
  m_styles->setHorizontalHeaderLabels(
      {tr("Colour"), tr("Marker"), tr("Line style"), tr("Width"), tr("Shown")});
  const CReplicateDB& db = m_doc.Database();
  const int replicates = std::min(db.GetReplicateCount(), CPlotSettings::kCurveRows / 3);
  QStringList rowNames;
  for (int r = 1; r <= replicates; ++r)
    for (int k = 0; k < 3; ++k) {
      CStyleRow row;
      row.replicate = r;
      row.kind = k;
      row.colour = new ui::CPaletteComboBox(s.palette, m_styles);
      row.marker = new ui::CMarkerComboBox(m_styles);
      row.style = new ui::CLineStyleComboBox(m_styles);
      row.width = new ui::CLineWeightComboBox(m_styles);
      row.shown = new QCheckBox(m_styles);
      const QString name = QStringLiteral("%1: %2 %3")
                               .arg(r)
                               .arg(ui::ToQString(db.Replicate(r).GetTitle()))
                               .arg(tr(kKindNames[k]));
      row.shown->setAccessibleName(tr("Show %1").arg(name));
      const int i = static_cast<int>(m_styleRows.size());
      m_styles->setRowCount(i + 1);
      m_styles->setCellWidget(i, 0, row.colour);
      m_styles->setCellWidget(i, 1, row.marker);
      m_styles->setCellWidget(i, 2, row.style);
      m_styles->setCellWidget(i, 3, row.width);
      m_styles->setCellWidget(i, 4, row.shown);
      rowNames << name;
      m_styleRows.push_back(row);
    }
  m_styles->setVerticalHeaderLabels(rowNames);
  m_styles->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  m_styles->horizontalHeader()->setSectionResizeMode(4, QHeaderView::ResizeToContents);
  auto* curveLayout = new QVBoxLayout(curves);
  curveLayout->addWidget(m_styles);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(texts);
  layout->addWidget(curves, 1);
  return page;
}

QWidget* CGraphSettingsSheet::CreateLayoutPage() {
  auto* page = new QWidget;

  auto* axes = new QGroupBox(tr("Axes"), page);
  auto* axesForm = new QFormLayout(axes);
  m_xFormat = new QLineEdit(axes);
  m_yFormat = new QLineEdit(axes);
  m_xFormat->setMaxLength(CPlotSettingsRules::kMaxFormatChars);
  m_yFormat->setMaxLength(CPlotSettingsRules::kMaxFormatChars);
  m_xFormat->setAccessibleName(tr("X-axis number format"));
  m_yFormat->setAccessibleName(tr("Y-axis number format"));
  axesForm->addRow(tr("X-axis number &format"), m_xFormat);
  axesForm->addRow(tr("Y-axis number f&ormat"), m_yFormat);
  m_xDivisions = new QSpinBox(axes);
  m_yDivisions = new QSpinBox(axes);
  for (QSpinBox* box : {m_xDivisions, m_yDivisions})
    box->setRange(CPlotSettingsRules::kDivisionsMin, CPlotSettingsRules::kDivisionsMax);
  m_xDivisions->setAccessibleName(tr("Divisions on the x axis"));
  m_yDivisions->setAccessibleName(tr("Divisions on the y axis"));
  axesForm->addRow(tr("Divisions on the &x axis"), m_xDivisions);
  axesForm->addRow(tr("Divisions on the &y axis"), m_yDivisions);
  m_markerSize = new QSpinBox(axes);
  m_markerSize->setRange(CPlotSettingsRules::kMarkerSizeMin, CPlotSettingsRules::kMarkerSizeMax);
  m_markerSize->setAccessibleName(tr("Marker size"));
  axesForm->addRow(tr("&Marker size"), m_markerSize);
  m_rotation = new QSpinBox(axes);
  m_rotation->setRange(-3599, 3599);
  m_rotation->setSuffix(tr(" tenths of a degree"));
  m_rotation->setAccessibleName(tr("X-axis label rotation"));
  axesForm->addRow(tr("X-axis label &rotation"), m_rotation);

  auto* limits = new QGroupBox(tr("Limits"), page);
  auto* limitGrid = new QGridLayout(limits);
  for (int i = 0; i < 8; ++i) {
    auto* edit = new QLineEdit(limits);
    edit->setAccessibleName(QString::fromLatin1(kLimitCaptions[i]));
    m_limits[static_cast<size_t>(i)] = edit;
    auto* label = new QLabel(QString::fromLatin1(kLimitCaptions[i]), limits);
    label->setBuddy(edit);
    limitGrid->addWidget(label, i % 4, (i / 4) * 2);
    limitGrid->addWidget(edit, i % 4, (i / 4) * 2 + 1);
  }

  auto* borders = new QGroupBox(tr("Plot borders"), page);
  auto* borderForm = new QFormLayout(borders);
  static const char* const kBorderCaptions[4] = {"Left margin", "Bottom margin", "Right edge",
                                                 "Top edge"};
  for (int i = 0; i < 4; ++i) {
    auto* box = new QDoubleSpinBox(borders);
    box->setDecimals(3);
    box->setSingleStep(0.01);
    if (i < 2)
      box->setRange(CPlotSettingsRules::kMarginMin, CPlotSettingsRules::kMarginMax);
    else
      box->setRange(CPlotSettingsRules::kEdgeMin, CPlotSettingsRules::kEdgeMax);
    box->setAccessibleName(tr(kBorderCaptions[i]));
    m_borders[static_cast<size_t>(i)] = box;
    borderForm->addRow(tr(kBorderCaptions[i]), box);
  }

  auto* display = new QGroupBox(tr("Display"), page);
  auto* displayGrid = new QGridLayout(display);
  for (int i = 0; i < 8; ++i) {
    auto* box = new QCheckBox(tr(kFlagCaptions[i]), display);
    m_flags[static_cast<size_t>(i)] = box;
    displayGrid->addWidget(box, i / 2, i % 2);
  }

  auto* grid = new QGridLayout(page);
  grid->addWidget(axes, 0, 0);
  grid->addWidget(borders, 0, 1);
  grid->addWidget(limits, 1, 0, 1, 2);
  grid->addWidget(display, 2, 0, 1, 2);
  grid->setRowStretch(3, 1);
  return page;
}

void CGraphSettingsSheet::LoadFields() {
  const CPlotSettings& s = m_rules.Edit();
  const std::string* texts[4] = {&s.graphTitle, &s.xAxisLabel, &s.yAxisLabelLeft,
                                 &s.yAxisLabelRight};
  const int32_t colours[4] = {s.graphTitleColour, s.xAxisLabelColour, s.yAxisLabelLeftColour,
                              s.yAxisLabelRightColour};
  for (size_t i = 0; i < 4; ++i) {
    m_labels[i].text->setText(ui::ToQString(*texts[i]));
    m_labels[i].colour->SetColour(static_cast<uint32_t>(colours[i]));
  }
  for (CStyleRow& row : m_styleRows) {
    const CCurveStyle& st = s.Style(CPlotSettings::CurveRow(row.replicate, row.kind));
    row.colour->SetValue(st.colourIndex);
    row.marker->SetValue(st.markerKind);
    row.style->SetValue(st.lineStyleIndex);
    row.width->SetWidth(st.lineWidth);
    row.shown->setChecked(st.display != 0);
  }
  m_xFormat->setText(ui::ToQString(s.xAxisFormat));
  m_yFormat->setText(ui::ToQString(s.yAxisFormat));
  const float limits[8] = {s.plotXMin,  s.plotXMax,  s.plotYMin,  s.plotYMax,
                           s.modelXMin, s.modelXMax, s.modelYMin, s.modelYMax};
  for (size_t i = 0; i < 8; ++i) m_limits[i]->setText(FloatText(limits[i]));
  for (size_t i = 0; i < 4; ++i) m_borders[i]->setValue(s.borders[i]);
  m_xDivisions->setValue(s.xDivisions);
  m_yDivisions->setValue(s.yDivisions);
  m_markerSize->setValue(s.markerSize);
  m_rotation->setValue(s.xLabelRotation);
  for (size_t i = 0; i < 8; ++i) m_flags[i]->setChecked(GetDisplayFlag(s, static_cast<int>(i)));
}

bool CGraphSettingsSheet::ReadPage(int page) {
  CPlotSettings& s = m_rules.Edit();
  if (page == kAttributesPage) {
    std::string* texts[4] = {&s.graphTitle, &s.xAxisLabel, &s.yAxisLabelLeft, &s.yAxisLabelRight};
    int32_t* colours[4] = {&s.graphTitleColour, &s.xAxisLabelColour, &s.yAxisLabelLeftColour,
                           &s.yAxisLabelRightColour};
    for (size_t i = 0; i < 4; ++i) {
      *texts[i] = ui::ToStdString(m_labels[i].text->text());
      *colours[i] = static_cast<int32_t>(m_labels[i].colour->Colour());
    }
    for (const CStyleRow& row : m_styleRows) {
      CCurveStyle& st = s.Style(CPlotSettings::CurveRow(row.replicate, row.kind));
      // An entry left unchosen (a stored index beyond the lists) keeps its value.
      if (row.colour->Value() >= 0) st.colourIndex = row.colour->Value();
      if (row.marker->Value() >= 0) st.markerKind = row.marker->Value();
      if (row.style->Value() >= 0) st.lineStyleIndex = row.style->Value();
      if (row.width->Value() >= 0) st.lineWidth = row.width->Width();
      st.display = row.shown->isChecked() ? 1 : 0;
    }
    return true;
  }
  // Number formats: one floating conversion, and nothing else that reads an
  // argument, or the axis numbers could not be written.
  const std::string xFormat = ui::ToStdString(m_xFormat->text());
  const std::string yFormat = ui::ToStdString(m_yFormat->text());
  for (const auto& [format, axis] : {std::pair{&xFormat, "x"}, std::pair{&yFormat, "y"}}) {
    if (format->size() <= static_cast<size_t>(CPlotSettingsRules::kMaxFormatChars) &&
        !IsSafeAxisFormat(*format)) {
      ShowMessage(
          Format("The %s-axis number format needs one floating conversion such as %%-g.", axis));
      return false;
    }
  }
  s.xAxisFormat = xFormat;
  s.yAxisFormat = yFormat;
  float* limits[8] = {&s.plotXMin,  &s.plotXMax,  &s.plotYMin,  &s.plotYMax,
                      &s.modelXMin, &s.modelXMax, &s.modelYMin, &s.modelYMax};
  for (size_t i = 0; i < 8; ++i)
    if (!ReadFloat(m_limits[i], QString::fromLatin1(kLimitCaptions[i]), *limits[i])) return false;
  for (size_t i = 0; i < 4; ++i) s.borders[i] = m_borders[i]->value();
  s.xDivisions = m_xDivisions->value();
  s.yDivisions = m_yDivisions->value();
  s.markerSize = m_markerSize->value();
  s.xLabelRotation = m_rotation->value();
  for (size_t i = 0; i < 8; ++i) SetDisplayFlag(s, static_cast<int>(i), m_flags[i]->isChecked());
  return true;
}

bool CGraphSettingsSheet::CheckPage(int page) {
  if (!ReadPage(page)) return false;
  return page == kAttributesPage ? m_rules.CheckAttributesPage() : m_rules.CheckLayoutPage();
}

void CGraphSettingsSheet::TabChanging(int index) {
  if (m_switching || index == m_currentPage) return;
  if (!CheckPage(m_currentPage)) {
    // The page stays open.
    m_switching = true;
    m_tabs->setCurrentIndex(m_currentPage);
    m_switching = false;
    return;
  }
  m_currentPage = index;
}

bool CGraphSettingsSheet::CheckBothPages() {
  // The current page first; a failing page is shown with its message.
  for (int page : {m_currentPage, 1 - m_currentPage})
    if (!CheckPage(page)) {
      m_switching = true;
      m_tabs->setCurrentIndex(page);
      m_currentPage = page;
      m_switching = false;
      return false;
    }
  return true;
}

bool CGraphSettingsSheet::ApplyPreview() {
  if (!CheckBothPages()) return false;
  if (!m_editing) m_editing = m_doc.BeginEdit("Graph Settings", kChangeSettings | kChangeData);
  if (!m_editing) return false;
  m_doc.EditDatabase().plotSettings = m_rules.Edit();
  m_doc.NotifyEdit(kChangeSettings | kChangeData);
  return true;
}

bool CGraphSettingsSheet::Commit() {
  if (!CheckBothPages()) return false;
  if (m_editing) {
    m_doc.EditDatabase().plotSettings = m_rules.Edit();
    m_editing = false;
    m_doc.EndEdit(true);
    return true;
  }
  if (m_doc.PlotSettings() == m_rules.Edit()) return true;
  return static_cast<bool>(m_doc.SetPlotSettings(m_rules.Edit()));
}

void CGraphSettingsSheet::done(int result) {
  if (result != Accepted && m_editing) {
    m_editing = false;
    m_doc.EndEdit(false);
  }
  QDialog::done(result);
}

bool EditGraphSettings(QWidget* parent, COLMDoc& doc) {
  CGraphSettingsSheet sheet(doc, parent);
  return sheet.exec() == QDialog::Accepted;
}

}  // namespace olm
