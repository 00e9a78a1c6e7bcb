#include "app/ReportSelectionDialog.hpp"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

namespace olm {

CReportSelectionDialog::CReportSelectionDialog(const std::array<bool, kFlags>& flags,
                                               QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(tr("Report Selection"));
  setObjectName("ReportSelection");
  auto* layout = new QVBoxLayout(this);
  const char* texts[kFlags] = {
      "Use only active data sets", "Dump raw data",
      "Dump smoothened data",      "Dump fitted data",
      "Statistical data by zones", "Statistical data over active data sets"};
  for (int i = 0; i < kFlags; ++i) {
    auto* box = new QCheckBox(tr(texts[i]), this);
    box->setChecked(flags[static_cast<size_t>(i)]);
    layout->addWidget(box);
    m_boxes[static_cast<size_t>(i)] = box;
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

std::array<bool, CReportSelectionDialog::kFlags> CReportSelectionDialog::Flags() const {
  std::array<bool, kFlags> flags{};
  for (int i = 0; i < kFlags; ++i)
    flags[static_cast<size_t>(i)] = m_boxes[static_cast<size_t>(i)]->isChecked();
  return flags;
}

}  // namespace olm
