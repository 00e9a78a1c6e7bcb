#include "app/OLMViewDialogs.hpp"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/UiText.hpp"

namespace olm {

namespace {

// A number in the "C" locale; false when the text is none.
bool ReadNumber(const QString& text, double& value) {
  bool ok = false;
  const double v = text.trimmed().toDouble(&ok);
  if (ok) value = v;
  return ok;
}

}  // namespace

CCurveMoveDlg::CCurveMoveDlg(COLMDoc& doc, QWidget* parent) : QDialog(parent), m_doc(doc) {
  setWindowTitle(tr("Move Curve"));
  m_replicate = new QComboBox(this);
  m_x = new QLineEdit(this);
  m_y = new QLineEdit(this);
  m_accuracy = new QLabel(this);
  m_accuracy->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* form = new QFormLayout;
  form->addRow(tr("&Replicate"), m_replicate);
  form->addRow(tr("&X"), m_x);
  form->addRow(tr("&Y"), m_y);
  form->addRow(tr("1-pixel accuracy"), m_accuracy);
  m_replicate->setAccessibleName(tr("Replicate"));
  m_x->setAccessibleName(tr("X"));
  m_y->setAccessibleName(tr("Y"));
  m_accuracy->setAccessibleName(tr("1-pixel accuracy"));

  auto* buttons = new QDialogButtonBox(this);
  m_apply = buttons->addButton(tr("Apply"), QDialogButtonBox::ApplyRole);
  QPushButton* done = buttons->addButton(tr("Done"), QDialogButtonBox::AcceptRole);
  m_apply->setDefault(true);
  connect(m_apply, &QPushButton::clicked, this, [this] { Apply(); });
  connect(done, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

void CCurveMoveDlg::Open(const CCurveMoveForm& form) {
  m_form = form;
  m_replicate->clear();
  for (const std::string& choice : CCurveMoveForm::ReplicateChoices(m_doc.Database()))
    m_replicate->addItem(ui::ToQString(choice));
  m_replicate->setCurrentIndex(
      form.replicate >= 1 && form.replicate <= m_replicate->count() ? form.replicate - 1 : -1);
  m_x->setText(ui::NumberText(form.x));
  m_y->setText(ui::NumberText(form.y));
  m_accuracy->setText(ui::ToQString(form.AccuracyText()));
}

bool CCurveMoveDlg::ReadForm(CCurveMoveForm& form) const {
  form = m_form;
  form.replicate = m_replicate->currentIndex() + 1;
  if (!ReadNumber(m_x->text(), form.x)) {
    ShowMessage("Enter a number for X.");
    return false;
  }
  if (!ReadNumber(m_y->text(), form.y)) {
    ShowMessage("Enter a number for Y.");
    return false;
  }
  return true;
}

bool CCurveMoveDlg::Apply() {
  CCurveMoveForm form;
  if (!ReadForm(form)) return false;
  if (form.replicate < 1 || form.replicate > m_doc.Database().GetReplicateCount()) {
    ShowMessage("Choose the replicate to move.");
    return false;
  }
  return static_cast<bool>(m_doc.ShiftCurve(form.replicate, form.x, form.y));
}

CBestFitDlg::CBestFitDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Best Fit Input"));
  const CBestFitForm defaults;
  m_name = new QLineEdit(ui::ToQString(defaults.name), this);
  m_name->setMaxLength(CBestFitForm::kMaxNameLength);
  m_endType = new QComboBox(this);
  for (const char* type : CBestFitForm::kEndTypes) m_endType->addItem(QString::fromLatin1(type));
  m_endType->setCurrentIndex(defaults.endIndex);
  m_points = new QLineEdit(QString::number(defaults.points), this);
  auto* form = new QFormLayout;
  form->addRow(tr("Data Set &Name"), m_name);
  form->addRow(tr("Curve &end type"), m_endType);
  form->addRow(tr("# of data &points"), m_points);
  m_name->setAccessibleName(tr("Data Set Name"));
  m_endType->setAccessibleName(tr("Curve end type"));
  m_points->setAccessibleName(tr("# of data points"));

  auto* buttons = new QDialogButtonBox(this);
  m_proceed = buttons->addButton(tr("Proceed"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QDialogButtonBox::Cancel);
  m_proceed->setDefault(true);
  connect(m_proceed, &QPushButton::clicked, this, [this] { Proceed(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

CBestFitForm CBestFitDlg::Form() const {
  CBestFitForm form;
  form.name = ui::ToStdString(m_name->text().trimmed());
  form.endIndex = m_endType->currentIndex();
  bool ok = false;
  const int points = m_points->text().trimmed().toInt(&ok);
  form.points = ok ? points : 0;
  return form;
}

bool CBestFitDlg::Proceed() {
  if (!Form().Validate()) return false;
  accept();
  return true;
}

}  // namespace olm
