#pragma once
// CDistributionGraphDlg: the modal "X-Y Graph" window of the distribution
// analysis.  The checked distributions' cumulative (CDF) or density (PDF)
// curves on the analysis grid, with the sample's empirical cumulative
// distribution beside the CDF curves; "&Customize" sets the titles,
// "&Graph" redraws, "&Export..." writes the picture as PNG, SVG or PDF.
#include <QDialog>
#include <memory>

#include "app/ToolCommandsSupport.hpp"
#include "distribution/DistributionAnalysis.hpp"

class QComboBox;
class QListWidget;

namespace olm::app {

class CDistributionGraphDlg : public QDialog {
  Q_OBJECT
 public:
  CDistributionGraphDlg(std::shared_ptr<const CDistributionAnalysis> analysis,
                        QWidget* parent = nullptr);

  // The chart of the current choices.
  CToolChart BuildChart() const;
  CToolChartView* View() const { return m_view; }
  QListWidget* DistributionList() const { return m_list; }
  QComboBox* PlotChoice() const { return m_plot; }

 public slots:
  void Redraw();
  void Customize();
  void ExportPicture();

 private:
  std::shared_ptr<const CDistributionAnalysis> m_analysis;
  QListWidget* m_list = nullptr;
  QComboBox* m_plot = nullptr;
  CToolChartView* m_view = nullptr;
  QString m_title[2];  // CDF, PDF titles
  QString m_xTitle, m_yTitle;
  bool m_legend = true;
};

}  // namespace olm::app
