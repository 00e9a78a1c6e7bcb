#include "app/FailureSurfaceDlg.hpp"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/UiText.hpp"

namespace olm::app {

namespace {

float* FieldOf(CFailureSurfaceInput& in, int k) {
  float* fields[12] = {&in.s1t, &in.s1c, &in.s2t, &in.s2c, &in.s3t,      &in.s3c,
                       &in.s12, &in.s23, &in.s13, &in.n,   &in.s12Value, &in.s33Value};
  return fields[k];
}

}  // namespace

CFailureSurfaceDlg::CFailureSurfaceDlg(const QString& projectPath, QWidget* parent)
    : QDialog(parent), m_projectPath(projectPath) {
  setWindowTitle(QString::fromUtf8(CFailureSurfaceForm::kCaption));

  auto* group = new QGroupBox(QString::fromUtf8(CFailureSurfaceForm::kGroup), this);
  auto* grid = new QGridLayout(group);
  auto* typeLabel = new QLabel(tr("&Type"), group);
  m_type = new QComboBox(group);
  m_type->addItem(QString::fromUtf8(CFailureSurfaceForm::kTypeEntry));
  m_type->setCurrentIndex(0);
  m_type->setAccessibleName(tr("Type"));
  typeLabel->setBuddy(m_type);
  grid->addWidget(typeLabel, 0, 0);
  grid->addWidget(m_type, 0, 1, 1, 3);
  const auto& labels = CFailureSurfaceForm::PromptLabels();
  CFailureSurfaceInput& in = m_form.Input();
  for (int k = 0; k < 12; ++k) {
    auto* label = new QLabel(QString::fromUtf8(labels[static_cast<size_t>(k)]), group);
    auto* edit = new QLineEdit(group);
    edit->setAccessibleName(QString::fromUtf8(labels[static_cast<size_t>(k)]));
    edit->setText(ToolNumber(*FieldOf(in, k)));
    label->setBuddy(edit);
    m_fields[static_cast<size_t>(k)] = edit;
    // Two columns: the nine strengths, then n and the applied stresses.
    const int row = 1 + k % 6, column = 2 * (k / 6);
    grid->addWidget(label, row, column);
    grid->addWidget(edit, row, column + 1);
  }

  m_plot = new CToolChartView(this);
  m_plot->setAccessibleName(tr("Failure surface plot"));
  m_plot->setMinimumSize(520, 400);
  m_plot->setToolTip(tr("Right-click to choose the plot"));
  CToolChart empty;
  empty.emptyText = CFailureSurfaceForm::kNothingToPlot;
  m_plot->SetChart(empty);

  auto* compute = new QPushButton(tr("&Compute"), this);
  compute->setAutoDefault(false);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->addButton(compute, QDialogButtonBox::ActionRole);
  connect(compute, &QPushButton::clicked, this, &CFailureSurfaceDlg::Compute);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* left = new QVBoxLayout;
  left->addWidget(group);
  auto* hint = new QLabel(tr("Right-click for the \"%1\" menu of plot types.")
                              .arg(QString::fromUtf8(CFailureSurfaceForm::kPopup)),
                          this);
  hint->setWordWrap(true);
  left->addWidget(hint);
  left->addStretch(1);
  auto* top = new QHBoxLayout;
  top->addLayout(left);
  top->addWidget(m_plot, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addWidget(buttons);
  m_form.SetOutputPath(ui::ToStdString(DefaultOutputPath()));
  RememberToolGeometry(this, QStringLiteral("FailureSurface"));
}

QString CFailureSurfaceDlg::DefaultOutputPath() const {
  const QString folder =
      m_projectPath.isEmpty() ? QDir::currentPath() : QFileInfo(m_projectPath).absolutePath();
  return QDir(folder).filePath(QString::fromUtf8(CFailureSurfaceForm::kDefaultOutput));
}

bool CFailureSurfaceDlg::ReadFields() {
  CFailureSurfaceInput values = m_form.Input();
  for (int k = 0; k < 12; ++k) {
    double v = 0.0;
    if (!ReadToolField(m_fields[static_cast<size_t>(k)], v)) return false;
    *FieldOf(values, k) = static_cast<float>(v);
  }
  const std::string problem = CFailureSurfaceForm::Check(values);
  if (!problem.empty()) {
    ShowMessage(problem, MessageKind::Information);
    return false;
  }
  m_form.Input() = values;
  return true;
}

bool CFailureSurfaceDlg::ChooseOutput() {
  // Never over a file the user did not choose: ask once where test.txt goes.
  if (m_outputChosen) return true;
  const QString path = AskToolFile(this, true, tr("Save Failure Surface As"),
                                   tr("Text files (*.txt);;All files (*)"), QStringLiteral("txt"),
                                   ui::ToQString(m_form.OutputPath()));
  if (path.isEmpty()) return false;
  m_form.SetOutputPath(ui::ToStdString(path));
  m_outputChosen = true;
  return true;
}

bool CFailureSurfaceDlg::Compute() {
  if (!ReadFields()) return false;
  if (!ChooseOutput()) return false;
  const bool ok = m_form.Compute();
  UpdatePlot();
  return ok;
}

bool CFailureSurfaceDlg::ChoosePlotType(int type) {
  if (type < 0 || type >= kFailurePlotTypeCount) return false;
  if (!ReadFields()) return false;
  if (!ChooseOutput()) return false;
  const bool ok = m_form.ChoosePlotType(type);
  UpdatePlot();
  return ok;
}

void CFailureSurfaceDlg::UpdatePlot() {
  CToolChart chart;
  chart.emptyText = CFailureSurfaceForm::kNothingToPlot;
  chart.title = m_form.PlotTitle();
  if (const std::vector<CPlotSeries>* series = m_form.SeriesToDraw()) {
    const auto type = static_cast<FailurePlotType>(m_form.PlotType());
    switch (type) {
      case FailurePlotType::S22S11:
        chart.xTitle = "S11", chart.yTitle = "S22";
        break;
      case FailurePlotType::S23S13:
        chart.xTitle = "S23", chart.yTitle = "S13";
        break;
      case FailurePlotType::S22S11Scaled:
        chart.xTitle = "S11 / S1T", chart.yTitle = "S22 / S2T";
        break;
      case FailurePlotType::S22S11ScaledCentered:
        chart.xTitle = "S11 / S1T - centre", chart.yTitle = "S22 / S2T - centre";
        break;
      default:
        chart.xTitle = "Theta (degrees)", chart.yTitle = "R";
        break;
    }
    int k = 0;
    for (const CPlotSeries& s : *series) {
      CToolChartSeries c;
      c.name = s.name;
      c.x = s.x;
      c.y = s.y;
      c.colour = ToolChartColour(k++);
      chart.series.push_back(std::move(c));
    }
  }
  m_plot->SetChart(std::move(chart));
}

void CFailureSurfaceDlg::contextMenuEvent(QContextMenuEvent* event) {
  if (!m_menu) {
    m_menu = new QMenu(QString::fromUtf8(CFailureSurfaceForm::kPopup), this);
    m_menu->setTitle(QString::fromUtf8(CFailureSurfaceForm::kPopup));
    const auto& types = CFailureSurfaceForm::PlotTypes();
    for (const CFailurePlotTypeInfo& info : types) {
      QAction* action = m_menu->addAction(QString::fromUtf8(info.menuEntry));
      const int type = static_cast<int>(info.type);
      action->setData(type);
      connect(action, &QAction::triggered, this, [this, type] { ChoosePlotType(type); });
    }
  }
  m_menu->popup(event->globalPos());
  event->accept();
}

}  // namespace olm::app
