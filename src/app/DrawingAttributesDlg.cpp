#include "app/DrawingAttributesDlg.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/ColourButton.hpp"
#include "ui/StyleComboBoxes.hpp"

namespace olm {

namespace {

// Lays out the form with OK and Cancel under it.
QFormLayout* FormWithButtons(QDialog* dialog) {
  auto* outer = new QVBoxLayout(dialog);
  auto* form = new QFormLayout;
  outer->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  outer->addWidget(buttons);
  return form;
}

}  // namespace

CLineAttributesDlg::CLineAttributesDlg(const CDrawingAttributes& values, QWidget* parent)
    : QDialog(parent), m_values(values) {
  setWindowTitle(tr("Line and Arrow Data"));
  QFormLayout* form = FormWithButtons(this);
  colour = new ui::CColourButton(this);
  colour->SetColour(values.lineColour);
  width = new ui::CLineWeightComboBox(this);
  width->SetWidth(std::clamp<int>(values.lineWidth, 1, ui::CLineWeightComboBox::kMaxWidth));
  style = new ui::CLineStyleComboBox(this);
  style->SetValue(values.lineStyle);
  arrow = new QComboBox(this);
  arrow->addItems({tr("No arrow"), tr("Arrow at the start"), tr("Arrow at the end"),
                   tr("Arrows at both ends")});
  arrow->setCurrentIndex(std::clamp<int>(values.arrowMode, 0, 3));
  form->addRow(tr("Line &colour:"), colour);
  form->addRow(tr("Line &width:"), width);
  form->addRow(tr("Line &style:"), style);
  form->addRow(tr("&Arrows:"), arrow);
}

CDrawingAttributes CLineAttributesDlg::Values() const {
  CDrawingAttributes v = m_values;
  v.lineColour = colour->Colour();
  v.lineWidth = width->Width();
  v.lineStyle = std::max(0, style->Value());
  v.arrowMode = arrow->currentIndex();
  return v;
}

CPolygonAttributesDlg::CPolygonAttributesDlg(const CDrawingAttributes& values, bool isTransparent,
                                             QWidget* parent)
    : QDialog(parent), m_values(values) {
  setWindowTitle(tr("Polygon Data"));
  QFormLayout* form = FormWithButtons(this);
  lineColour = new ui::CColourButton(this);
  lineColour->SetColour(values.lineColour);
  width = new ui::CLineWeightComboBox(this);
  width->SetWidth(std::clamp<int>(values.lineWidth, 1, ui::CLineWeightComboBox::kMaxWidth));
  fillColour = new ui::CColourButton(this);
  fillColour->SetColour(values.fillColour);
  transparent = new QCheckBox(tr("&Transparent (not filled)"), this);
  transparent->setChecked(isTransparent);
  form->addRow(tr("Line &colour:"), lineColour);
  form->addRow(tr("Line &width:"), width);
  form->addRow(tr("&Fill colour:"), fillColour);
  form->addRow(QString(), transparent);
}

CDrawingAttributes CPolygonAttributesDlg::Values() const {
  CDrawingAttributes v = m_values;
  v.lineColour = lineColour->Colour();
  v.lineWidth = width->Width();
  v.fillColour = fillColour->Colour();
  return v;
}

bool CPolygonAttributesDlg::Transparent() const {
  return transparent->isChecked();
}

CTextDlg::CTextDlg(const CDrawingAttributes& values, const std::string& initial, QWidget* parent)
    : QDialog(parent), m_values(values) {
  setWindowTitle(tr("Edit Text"));
  QFormLayout* form = FormWithButtons(this);
  text = new QLineEdit(QString::fromStdString(initial), this);
  face = new QFontComboBox(this);
  face->setCurrentFont(QFont(QString::fromStdString(values.font.font.faceName)));
  size = new QSpinBox(this);
  size->setRange(4, 200);
  size->setSuffix(tr(" px"));
  const int height = values.font.font.height;
  size->setValue(height == 0 ? 12 : std::abs(height));
  bold = new QCheckBox(tr("&Bold"), this);
  bold->setChecked(values.font.font.weight >= 600);
  italic = new QCheckBox(tr("&Italic"), this);
  italic->setChecked(values.font.font.italic != 0);
  colour = new ui::CColourButton(this);
  colour->SetColour(values.font.colour);
  form->addRow(tr("&Text:"), text);
  form->addRow(tr("&Font:"), face);
  form->addRow(tr("&Size:"), size);
  form->addRow(QString(), bold);
  form->addRow(QString(), italic);
  form->addRow(tr("&Colour:"), colour);
}

CDrawingAttributes CTextDlg::Values() const {
  CDrawingAttributes v = m_values;
  v.font.font.faceName = face->currentFont().family().toStdString();
  v.font.font.height = -size->value();
  v.font.font.weight = bold->isChecked() ? 700 : 400;
  v.font.font.italic = italic->isChecked() ? 1 : 0;
  v.font.colour = colour->Colour();
  return v;
}

std::string CTextDlg::Text() const {
  return text->text().toStdString();
}

}  // namespace olm
