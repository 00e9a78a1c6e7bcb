#include "app/DistributionGraphDlg.hpp"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "distribution/DistributionForm.hpp"
#include "ui/UiText.hpp"

namespace olm::app {

CDistributionGraphDlg::CDistributionGraphDlg(std::shared_ptr<const CDistributionAnalysis> analysis,
                                             QWidget* parent)
    : QDialog(parent), m_analysis(std::move(analysis)) {
  setWindowTitle(tr("X-Y Graph"));
  m_title[0] = tr("Cumulative Distribution Function");
  m_title[1] = tr("Probability Density Function");
  m_xTitle = tr("Random variable");
  m_yTitle = tr("Probability");

  auto* distributionLabel = new QLabel(tr("&Distribution"), this);
  m_list = new QListWidget(this);
  m_list->setAccessibleName(tr("Distribution"));
  for (const char* name : CDistributionForm::ChoiceNames()) {
    auto* item = new QListWidgetItem(QString::fromUtf8(name), m_list);
    item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setCheckState(Qt::Unchecked);
  }
  distributionLabel->setBuddy(m_list);
  auto* plotLabel = new QLabel(tr("&Plot"), this);
  m_plot = new QComboBox(this);
  m_plot->addItems({tr("CDF"), tr("PDF")});
  m_plot->setAccessibleName(tr("Plot"));
  plotLabel->setBuddy(m_plot);

  auto* close = new QPushButton(tr("Close"), this);
  auto* customize = new QPushButton(tr("&Customize"), this);
  auto* graph = new QPushButton(tr("&Graph"), this);
  auto* exportButton = new QPushButton(tr("&Export..."), this);
  exportButton->setToolTip(tr("Save the graph as a PNG, SVG or PDF file"));
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  connect(customize, &QPushButton::clicked, this, &CDistributionGraphDlg::Customize);
  connect(graph, &QPushButton::clicked, this, &CDistributionGraphDlg::Redraw);
  connect(exportButton, &QPushButton::clicked, this, &CDistributionGraphDlg::ExportPicture);
  connect(m_list, &QListWidget::itemChanged, this, &CDistributionGraphDlg::Redraw);
  connect(m_plot, &QComboBox::currentIndexChanged, this, &CDistributionGraphDlg::Redraw);

  m_view = new CToolChartView(this);
  m_view->setAccessibleName(tr("Graph"));
  m_view->setMinimumSize(560, 400);

  auto* side = new QVBoxLayout;
  side->addWidget(distributionLabel);
  side->addWidget(m_list);
  side->addWidget(plotLabel);
  side->addWidget(m_plot);
  side->addStretch(1);
  for (QPushButton* b : {graph, customize, exportButton, close}) side->addWidget(b);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(side);
  layout->addWidget(m_view, 1);
  m_list->setMaximumWidth(200);
  Redraw();
  RememberToolGeometry(this, QStringLiteral("DistributionGraph"));
}

CToolChart CDistributionGraphDlg::BuildChart() const {
  CToolChart chart;
  const bool pdf = m_plot->currentIndex() == 1;
  chart.title = ui::ToStdString(m_title[pdf ? 1 : 0]);
  chart.xTitle = ui::ToStdString(m_xTitle);
  chart.yTitle = ui::ToStdString(m_yTitle);
  chart.showLegend = m_legend;
  chart.singlePrecisionWindow = true;
  if (!m_analysis) return chart;
  if (!pdf && !m_analysis->Sample().empty()) {
    // The empirical cumulative distribution: i/n at the i-th smallest value.
    CToolChartSeries empirical;
    empirical.name = "Sample";
    const std::vector<double>& sorted = m_analysis->Sample();
    for (size_t i = 0; i < sorted.size(); ++i) {
      empirical.x.push_back(sorted[i]);
      empirical.y.push_back(static_cast<double>(i + 1) / static_cast<double>(sorted.size()));
    }
    empirical.colour = 0x000000;
    empirical.line = false;
    empirical.markerKind = 9;
    chart.series.push_back(std::move(empirical));
  }
  const CEngVector<double>& grid = m_analysis->Grid();
  for (int row = 0; row < m_list->count(); ++row) {
    if (m_list->item(row)->checkState() != Qt::Checked) continue;
    for (const CDistributionResult& r : m_analysis->Results()) {
      if (r.code != row || !r.fitted) continue;
      const CEngVector<double>& values = pdf ? r.pdfGrid : r.cdfGrid;
      CToolChartSeries s;
      s.name = DistributionName(r.code).display;
      const int n = std::min(grid.GetSize(), values.GetSize());
      s.x.assign(grid.Data(), grid.Data() + n);
      s.y.assign(values.Data(), values.Data() + n);
      s.colour = ToolChartColour(r.code);
      chart.series.push_back(std::move(s));
      break;
    }
  }
  return chart;
}

void CDistributionGraphDlg::Redraw() {
  m_view->SetChart(BuildChart());
}

void CDistributionGraphDlg::Customize() {
  QDialog dialog(this);
  dialog.setWindowTitle(tr("Customize Graph"));
  auto* form = new QFormLayout(&dialog);
  auto* cdfTitle = new QLineEdit(m_title[0], &dialog);
  auto* pdfTitle = new QLineEdit(m_title[1], &dialog);
  auto* xTitle = new QLineEdit(m_xTitle, &dialog);
  auto* yTitle = new QLineEdit(m_yTitle, &dialog);
  auto* legend = new QCheckBox(tr("Show the &legend"), &dialog);
  legend->setChecked(m_legend);
  form->addRow(tr("&CDF title"), cdfTitle);
  form->addRow(tr("&PDF title"), pdfTitle);
  form->addRow(tr("&X-axis title"), xTitle);
  form->addRow(tr("&Y-axis title"), yTitle);
  form->addRow(legend);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted) return;
  m_title[0] = cdfTitle->text();
  m_title[1] = pdfTitle->text();
  m_xTitle = xTitle->text();
  m_yTitle = yTitle->text();
  m_legend = legend->isChecked();
  Redraw();
}

void CDistributionGraphDlg::ExportPicture() {
  const QString path = AskToolFile(this, true, tr("Export Graph"),
                                   tr("Pictures (*.png *.svg *.pdf)"), QStringLiteral("png"));
  if (path.isEmpty()) return;
  QString error;
  if (!ExportToolChart(path, 1200, 900, BuildChart(), &error))
    ShowMessage(ui::ToStdString(error), MessageKind::Error);
}

}  // namespace olm::app
