#pragma once
// CDistributionDlg: the modal "Distribution Analysis" dialog.  A sample of up
// to 25 values (typed as calculator expressions or imported), the
// distribution to look at, its extra value and the range limits; "Compute"
// fits all six distributions on a worker thread and writes the results
// file; the selected distribution's results and the sample statistics are
// shown in the dialog.
#include <QDialog>
#include <array>
#include <memory>
#include <vector>

#include "app/ToolCommandsSupport.hpp"
#include "distribution/DistributionForm.hpp"
#include "numerics/ExpressionEvaluator.hpp"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace olm::app {

class CDistributionDlg : public QDialog {
  Q_OBJECT
 public:
  // Names of the result and statistics fields, in order.
  static const std::array<const char*, 7>& ResultLabels();
  static const std::array<const char*, 6>& StatisticsLabels();

  explicit CDistributionDlg(QWidget* parent = nullptr);
  ~CDistributionDlg() override;

  bool HasResults() const { return m_haveResults; }
  const CDistributionAnalysis* Analysis() const { return m_analysis.get(); }
  const QString& ResultsFile() const { return m_resultsFile; }
  // The text of a result (0..6) or statistics (0..5) field.
  QString ResultText(int field) const;
  QString StatisticsText(int field) const;

 public slots:
  void Compute();
  void Import();
  void Export();
  void ViewResults();
  void Graph();

 protected:
  void done(int result) override;

 private:
  void SelectionChanged(int code);
  void CellChanged(QTableWidgetItem* item);
  // Keeps the "Additional Data" text as the option of the selection; false
  // (with the field's message) when it is not a number.
  bool StoreOption();
  bool ReadRange(double& lower, double& upper);
  // The sample from the grid; false (message shown) on an invalid cell.
  bool ReadGrid(std::vector<double>& sample, bool singlePrecision = true);
  void ShowResults();
  void ShowStatistics(const std::vector<double>& sample);

  CScopedToolMessages m_messages{this};
  CExpressionEvaluator m_evaluator;
  QTableWidget* m_grid = nullptr;
  QComboBox* m_choice = nullptr;
  QLineEdit* m_additional = nullptr;
  QLineEdit* m_lower = nullptr;
  QLineEdit* m_upper = nullptr;
  std::array<QLineEdit*, 7> m_results{};
  std::array<QLineEdit*, 6> m_statistics{};

  std::array<double, kDistributionCount + 1> m_options{};  // 1-based
  int m_selected = kWeibull2P;
  QString m_resultsFile;
  bool m_haveResults = false;
  std::shared_ptr<CDistributionAnalysis> m_analysis;
};

}  // namespace olm::app
