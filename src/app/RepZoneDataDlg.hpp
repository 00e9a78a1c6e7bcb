#pragma once
// "Data Set-Zone Data": zones and their processing settings, replicate by
// replicate, and the analysis.
//
// The dialog works on the document in place inside one edit ("Process
// Data"): OK makes the changes one undo step, Cancel puts them back.
// "Analyze" commits the edit first (the zone settings become their step),
// runs the analysis on a worker thread with progress and Cancel as a step of
// its own, and opens a new edit; Cancel of the dialog afterwards puts back
// only what changed since.
#include <QDialog>
#include <memory>

#include "editing/ZoneRules.hpp"

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;

namespace olm {

class COLMDoc;

class CRepZoneDataDlg : public QDialog {
  Q_OBJECT
 public:
  CRepZoneDataDlg(QWidget* parent, COLMDoc& doc);
  ~CRepZoneDataDlg() override;

  // The replicate whose zone borders the plot marks while a zone dialog is
  // open (1-based; 0 when none is open).
  static int MarkedReplicate();
  // How long the analysis runs before its progress dialog appears (tests
  // shorten it to reach Cancel).
  static inline int progressDelayMs = 500;

  CZoneRules& Rules() { return *m_rules; }
  // The controls into the rules' values, and back.
  void ReadControls();
  void LoadControls();

  // The buttons' actions (true when the database changed).
  bool Update();
  bool AddZone();
  bool DeleteZone();
  bool ApplyToAll();
  bool Analyze();

  void accept() override;
  void reject() override;

  QComboBox* dataSet;
  QComboBox* zone;
  QLineEdit* startX;
  QLineEdit* endX;
  QComboBox* fitType;
  QComboBox* outliers;
  QComboBox* smooth;
  QComboBox* order;
  QSpinBox* points;
  QSpinBox* repeats;
  QPushButton* updateButton;
  QPushButton* addZoneButton;
  QPushButton* deleteZoneButton;
  QPushButton* applyAllButton;
  QPushButton* analyzeButton;
  QTreeWidget* list;  // "Current Data"

 private:
  void SelectDataSet(int replicate);
  void SelectZone(int zone);
  void FillSelectors();
  void ApplyEnabling();
  void RefreshList();
  void Changed();
  void Begin();

  COLMDoc& m_doc;
  std::unique_ptr<CZoneRules> m_rules;
  bool m_editing = false;
  bool m_changed = false;  // since the edit began
};

}  // namespace olm
