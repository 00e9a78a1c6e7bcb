#pragma once
// The "Report Selection" dialog: the six report flags as check boxes.
#include <QDialog>
#include <array>

class QCheckBox;

namespace olm {

class CReportSelectionDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kFlags = 6;
  explicit CReportSelectionDialog(const std::array<bool, kFlags>& flags, QWidget* parent = nullptr);
  std::array<bool, kFlags> Flags() const;
  QCheckBox* CheckBox(int i) const { return m_boxes[static_cast<size_t>(i)]; }

 private:
  std::array<QCheckBox*, kFlags> m_boxes{};
};

}  // namespace olm
