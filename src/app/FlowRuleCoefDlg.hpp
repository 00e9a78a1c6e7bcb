#pragma once
// CFlowRuleCoefDlg: the modal "MAT213 Input Data" dialog.  The model file,
// the two output files and which of the project's data sets supplies which
// of the twelve test curves; "Compute" runs the flow-rule program on a
// worker thread and opens its results and material card in the text viewer.
//
// The program reads the chosen model file as it is, unless data sets were
// assigned to curves or the master or slave curve was changed here: then a
// model of the file's settings and curves with those changes is written to
// a temporary file and the program runs on that.
#include <QDialog>
#include <QString>
#include <array>

#include "app/ToolCommandsSupport.hpp"
#include "composites/FlowRuleCoefForm.hpp"
#include "composites/FlowRuleModel.hpp"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace olm {
class CReplicateDB;
}

namespace olm::app {

class CFlowRuleCoefDlg : public QDialog {
  Q_OBJECT
 public:
  // The database is only read, and only while the dialog is open.
  explicit CFlowRuleCoefDlg(const CReplicateDB& db, QWidget* parent = nullptr);

  QLineEdit* ResultsEdit() const { return m_results; }
  QLineEdit* CardEdit() const { return m_card; }
  QComboBox* DataSetList() const { return m_dataSet; }
  QComboBox* UseAsList() const { return m_useAs; }
  QComboBox* MasterList() const { return m_master; }
  QComboBox* SlaveList() const { return m_slave; }
  QTreeWidget* CurveList() const { return m_list; }
  QPushButton* SelectFileButton() const { return m_selectFile; }
  QPushButton* UpdateButton() const { return m_update; }
  QPushButton* ComputeButton() const { return m_compute; }
  const QString& ModelFile() const { return m_modelFile; }
  // The data set (1-based, 0 none) assigned to curve id 1..12.
  int AssignedDataSet(int curve) const { return m_assigned[static_cast<size_t>(curve - 1)]; }
  // Status of the last program run (-1 before any).
  int LastStatus() const { return m_lastStatus; }

 public slots:
  void SelectFile();
  // Reads the model file (false, with its message, when it cannot be used).
  bool LoadModel(const QString& path);
  void Update();
  void Compute();

 protected:
  void done(int result) override;

 private:
  void ListClicked(QTreeWidgetItem* item);
  void FillList();
  // The model the program should run on: the file's, with this dialog's choices.
  bool ChoicesChangeModel() const;
  CFlowRuleModel ModelWithChoices() const;
  QString ResolveOutput(const QString& name) const;

  CScopedToolMessages m_messages{this};
  const CReplicateDB& m_db;
  CFlowRuleCoefForm m_form;
  CFlowRuleModel m_model;
  bool m_haveModel = false;
  QString m_modelFile;
  std::array<int, kFlowRuleCurveCount> m_assigned{};
  int m_lastStatus = -1;

  QLineEdit* m_results = nullptr;
  QLineEdit* m_card = nullptr;
  QLabel* m_modelLabel = nullptr;
  QPushButton* m_selectFile = nullptr;
  QComboBox* m_dataSet = nullptr;
  QComboBox* m_useAs = nullptr;
  QPushButton* m_update = nullptr;
  QComboBox* m_master = nullptr;
  QComboBox* m_slave = nullptr;
  QTreeWidget* m_list = nullptr;
  QPushButton* m_compute = nullptr;
  QLabel* m_output = nullptr;
  QLabel* m_coefficients = nullptr;
};

}  // namespace olm::app
