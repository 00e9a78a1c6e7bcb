#pragma once
// The plot view's dialogs: "Move Curve" (the typed shift of the
// point-coordinates mode) and "Best Fit Input".
#include <QDialog>

#include "document/Document.hpp"
#include "plot/CurveOperations.hpp"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace olm {

// "Move Curve": "Replicate", "X", "Y" and the read-only "1-pixel accuracy";
// "Apply" shifts the chosen replicate's raw points by X and Y as one undo
// step and keeps the dialog open, "Done" closes it.
class CCurveMoveDlg : public QDialog {
  Q_OBJECT

 public:
  CCurveMoveDlg(COLMDoc& doc, QWidget* parent = nullptr);

  // Fills the fields from a form (the clicked point and the curve there).
  void Open(const CCurveMoveForm& form);
  // The fields as a form; false (with a message) when X or Y is no number.
  bool ReadForm(CCurveMoveForm& form) const;
  // "Apply"; true when the curve moved.
  bool Apply();

  QComboBox* ReplicateBox() const { return m_replicate; }
  QLineEdit* XEdit() const { return m_x; }
  QLineEdit* YEdit() const { return m_y; }
  QPushButton* ApplyButton() const { return m_apply; }

 private:
  COLMDoc& m_doc;
  CCurveMoveForm m_form;
  QComboBox* m_replicate;
  QLineEdit* m_x;
  QLineEdit* m_y;
  QLabel* m_accuracy;
  QPushButton* m_apply;
};

// "Best Fit Input": "Data Set Name", "Curve end type" and "# of data
// points"; "Proceed" checks the fields (a failed check shows its message and
// keeps the dialog open) and accepts.
class CBestFitDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CBestFitDlg(QWidget* parent = nullptr);

  // The fields as a form (an unreadable number of points reads as 0, which
  // the range check refuses).
  CBestFitForm Form() const;
  // "Proceed": true (and the dialog accepted) when the fields pass.
  bool Proceed();

  QLineEdit* NameEdit() const { return m_name; }
  QComboBox* EndTypeBox() const { return m_endType; }
  QLineEdit* PointsEdit() const { return m_points; }
  QPushButton* ProceedButton() const { return m_proceed; }

 private:
  QLineEdit* m_name;
  QComboBox* m_endType;
  QLineEdit* m_points;
  QPushButton* m_proceed;
};

}  // namespace olm
