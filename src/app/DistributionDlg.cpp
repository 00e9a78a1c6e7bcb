#include "app/DistributionDlg.hpp"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/DistributionGraphDlg.hpp"
#include "engine/EngineError.hpp"
#include "numerics/ExpressionValue.hpp"
#include "ui/UiText.hpp"

namespace olm::app {

namespace {

QLineEdit* ResultField(QWidget* parent, const char* label) {
  auto* edit = new QLineEdit(parent);
  edit->setReadOnly(true);
  edit->setAccessibleName(QString::fromUtf8(label));
  return edit;
}

QPushButton* Button(QWidget* parent, const QString& text, const char* tip) {
  auto* button = new QPushButton(text, parent);
  button->setToolTip(QString::fromUtf8(tip));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

const std::array<const char*, 7>& CDistributionDlg::ResultLabels() {
  static const std::array<const char*, 7> labels = {
      "Min. Value",     "KS Distance",     "AD Distance",    "Chi-Square",
      "Loc. Parameter", "Shape Parameter", "Scale Parameter"};
  return labels;
}

const std::array<const char*, 6>& CDistributionDlg::StatisticsLabels() {
  static const std::array<const char*, 6> labels = {
      "Mininum", "Maximum", "Median", "Mean", "Standard Deviation", "Coef of Variation"};
  return labels;
}

CDistributionDlg::CDistributionDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8(CDistributionForm::kCaption));
  m_options[6] = CDistributionOptions{}.generalizedExponentialBound;

  // Input: the sample grid.
  auto* input = new QGroupBox(tr(" Input "), this);
  auto* inputLayout = new QVBoxLayout(input);
  auto* dataLabel = new QLabel(tr("&Data"), input);
  m_grid = new QTableWidget(CDistributionForm::kRows, 1, input);
  m_grid->setHorizontalHeaderLabels({tr("Value")});
  m_grid->horizontalHeader()->setStretchLastSection(true);
  m_grid->setAccessibleName(tr("Data"));
  m_grid->setMinimumWidth(150);
  for (int r = 0; r < CDistributionForm::kRows; ++r) m_grid->setItem(r, 0, new QTableWidgetItem);
  dataLabel->setBuddy(m_grid);
  inputLayout->addWidget(dataLabel);
  inputLayout->addWidget(m_grid);
  connect(m_grid, &QTableWidget::itemChanged, this, &CDistributionDlg::CellChanged);

  // Variable input: the distribution, its extra value and the range.
  auto* variable = new QGroupBox(tr(" Variable Input Data "), this);
  auto* variableLayout = new QFormLayout(variable);
  m_choice = new QComboBox(variable);
  for (const char* name : CDistributionForm::ChoiceNames())
    m_choice->addItem(QString::fromUtf8(name));
  m_choice->setAccessibleName(tr("Distribution"));
  m_additional = new QLineEdit(variable);
  m_additional->setAccessibleName(tr("Additional Data"));
  m_lower = new QLineEdit(ToolNumber(0.0), variable);
  m_lower->setAccessibleName(tr("Lower Bound"));
  m_upper = new QLineEdit(ToolNumber(0.0), variable);
  m_upper->setAccessibleName(tr("Upper Bound"));
  variableLayout->addRow(tr("Dis&tribution"), m_choice);
  variableLayout->addRow(tr("&Additional Data"), m_additional);
  variableLayout->addRow(tr("&Lower Bound"), m_lower);
  variableLayout->addRow(tr("&Upper Bound"), m_upper);

  // Results of the selected distribution.
  auto* results = new QGroupBox(tr(" Results from Distribution Analyses "), this);
  auto* resultsLayout = new QFormLayout(results);
  for (size_t k = 0; k < m_results.size(); ++k) {
    m_results[k] = ResultField(results, ResultLabels()[k]);
    resultsLayout->addRow(QString::fromUtf8(ResultLabels()[k]), m_results[k]);
  }

  // Sample statistics.
  auto* statistics = new QGroupBox(tr(" Statistical Data "), this);
  auto* statisticsLayout = new QFormLayout(statistics);
  for (size_t k = 0; k < m_statistics.size(); ++k) {
    m_statistics[k] = ResultField(statistics, StatisticsLabels()[k]);
    statisticsLayout->addRow(QString::fromUtf8(StatisticsLabels()[k]), m_statistics[k]);
  }

  // Buttons.
  auto* ok = Button(this, tr("OK"), "Click when done");
  ok->setDefault(true);
  auto* compute = Button(this, tr("&Compute"), "Click to compute the distribution properties");
  auto* import = Button(this, tr("&Import"), "Read the model data from a text file");
  auto* exportButton = Button(this, tr("&Export"), "Write the model data to a text file");
  auto* view = Button(this, tr("&View Results"), "View the results file in Notepad");
  auto* graph = Button(this, tr("&Graph"), "Graph the distributions");
  auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
  buttons->addButton(ok, QDialogButtonBox::AcceptRole);
  for (QPushButton* b : {compute, import, exportButton, view, graph})
    buttons->addButton(b, QDialogButtonBox::ActionRole);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(compute, &QPushButton::clicked, this, &CDistributionDlg::Compute);
  connect(import, &QPushButton::clicked, this, &CDistributionDlg::Import);
  connect(exportButton, &QPushButton::clicked, this, &CDistributionDlg::Export);
  connect(view, &QPushButton::clicked, this, &CDistributionDlg::ViewResults);
  connect(graph, &QPushButton::clicked, this, &CDistributionDlg::Graph);

  auto* right = new QVBoxLayout;
  right->addWidget(variable);
  right->addWidget(results);
  right->addWidget(statistics);
  right->addStretch(1);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(input);
  layout->addLayout(right, 1);
  layout->addWidget(buttons);

  setTabOrder(m_grid, m_choice);
  setTabOrder(m_choice, m_additional);
  setTabOrder(m_additional, m_lower);
  setTabOrder(m_lower, m_upper);

  connect(m_choice, &QComboBox::activated, this, &CDistributionDlg::SelectionChanged);
  m_choice->setCurrentIndex(m_selected);
  SelectionChanged(m_selected);
  RememberToolGeometry(this, QStringLiteral("Distribution"));
}

CDistributionDlg::~CDistributionDlg() = default;

void CDistributionDlg::done(int result) {
  KeepResultViewers(this);
  QDialog::done(result);
}

QString CDistributionDlg::ResultText(int field) const {
  return field >= 0 && field < 7 ? m_results[static_cast<size_t>(field)]->text() : QString();
}

QString CDistributionDlg::StatisticsText(int field) const {
  return field >= 0 && field < 6 ? m_statistics[static_cast<size_t>(field)]->text() : QString();
}

void CDistributionDlg::SelectionChanged(int code) {
  if (code < 0 || code >= kDistributionCount) return;
  // The old selection keeps what was typed for it, when that is a number.
  double value = 0.0;
  if (CDistributionForm::HasOption(m_selected) && ReadToolNumber(m_additional->text(), value))
    m_options[static_cast<size_t>(m_selected + 1)] = value;
  m_selected = code;
  const bool hasOption = CDistributionForm::HasOption(code);
  m_additional->setEnabled(hasOption);
  m_additional->setText(ToolNumber(hasOption ? m_options[static_cast<size_t>(code + 1)] : 0.0));
  ShowResults();
}

void CDistributionDlg::CellChanged(QTableWidgetItem* item) {
  // A cell takes a calculator expression and shows its value.
  const QString text = item->text().trimmed();
  if (text.isEmpty()) return;
  double number = 0.0;
  if (ReadToolNumber(text, number)) return;
  CExpressionValue value;
  if (m_evaluator.Evaluate(ui::ToStdString(text), value) == kExprOk && value.IsScalar()) {
    const QSignalBlocker block(m_grid);
    item->setText(ui::ToQString(ShortestNumber(value.GetScalar())));
    item->setToolTip(text);
  }
}

bool CDistributionDlg::StoreOption() {
  if (!CDistributionForm::HasOption(m_selected)) return true;
  double value = 0.0;
  if (!ReadToolField(m_additional, value)) return false;
  m_options[static_cast<size_t>(m_selected + 1)] = value;
  return true;
}

bool CDistributionDlg::ReadRange(double& lower, double& upper) {
  return ReadToolField(m_lower, lower) && ReadToolField(m_upper, upper);
}

bool CDistributionDlg::ReadGrid(std::vector<double>& sample, bool singlePrecision) {
  std::vector<std::string> cells;
  for (int r = 0; r < CDistributionForm::kRows; ++r) {
    const QTableWidgetItem* item = m_grid->item(r, 0);
    cells.push_back(item ? ui::ToStdString(item->text()) : std::string());
  }
  const int bad = CDistributionForm::ReadSample(cells, m_evaluator, sample, singlePrecision);
  if (bad == 0) return true;
  ShowMessage(CDistributionForm::InvalidRowMessage(bad), MessageKind::Information);
  m_grid->setCurrentCell(bad - 1, 0);
  return false;
}

void CDistributionDlg::Compute() {
  double lower = 0.0, upper = 0.0;
  if (!StoreOption() || !ReadRange(lower, upper)) return;
  if (!(lower < upper)) {
    CEngineError::Report(kErrInvalidInput);
    return;
  }
  std::vector<double> sample;
  if (!ReadGrid(sample)) return;
  if (sample.empty()) {
    CEngineError::Report(kErrNoRawData);
    return;
  }
  const QString path = AskToolFile(this, true, tr("Save Project As"), tr("Results (*.out *.txt)"),
                                   QStringLiteral("out"), m_resultsFile);
  if (path.isEmpty()) return;

  ShowStatistics(sample);
  const CDistributionInput input =
      CDistributionForm::BuildInput(sample, CDistributionForm::OptionsOf(m_options), lower, upper);
  auto analysis = std::make_shared<CDistributionAnalysis>();
  const std::string file = ui::ToStdString(path);
  bool ran = false, written = false;
  const bool finished = RunToolWork(this, tr("Fitting the six distributions ..."), [&] {
    ran = analysis->Run(input);
    if (ran) written = WriteDistributionReport(file, *analysis);
  });
  if (!finished) return;  // cancelled: the dialog keeps its earlier results
  if (!ran && !analysis->ErrorMessage().empty())
    ShowMessage(analysis->ErrorMessage(), MessageKind::Error);
  if (ran && !written) ShowMessage("Unable to open results file", MessageKind::Error);
  ShowMessage(
      ran && analysis->AllFitted() ? "Computations complete ..." : "Error in finding solution ...",
      MessageKind::Information);
  m_analysis = std::move(analysis);
  m_resultsFile = path;
  m_haveResults = ran;
  ShowResults();
}

void CDistributionDlg::ShowStatistics(const std::vector<double>& sample) {
  const CSampleStatistics s = CDistributionForm::Statistics(sample);
  const double values[6] = {s.minimum, s.maximum,           s.median,
                            s.mean,    s.standardDeviation, s.coefficientOfVariation};
  for (size_t k = 0; k < m_statistics.size(); ++k) m_statistics[k]->setText(ToolNumber(values[k]));
}

void CDistributionDlg::ShowResults() {
  const CDistributionResult* shown = nullptr;
  if (m_haveResults && m_analysis) {
    for (const CDistributionResult& r : m_analysis->Results())
      if (r.code == m_selected) {
        shown = &r;
        break;
      }
  }
  if (!shown) {
    for (QLineEdit* e : m_results) e->clear();
    return;
  }
  const double values[7] = {shown->minimized,    shown->ks,       shown->ad,
                            shown->chiSquare,    shown->location, shown->parameters(2),
                            shown->parameters(1)};
  for (size_t k = 0; k < m_results.size(); ++k) m_results[k]->setText(ToolNumber(values[k]));
  const QString why = shown->fitted ? QString() : ui::ToQString(shown->message);
  for (QLineEdit* e : m_results) e->setToolTip(why);
}

void CDistributionDlg::Import() {
  const QString path =
      AskToolFile(this, false, tr("Import"), tr("Distribution input (*.dat *.txt *.csv)"));
  if (path.isEmpty()) return;
  QFile probe(path);
  if (!probe.open(QIODevice::ReadOnly)) {
    ShowMessage("Unable to open specified input file.", MessageKind::Information);
    return;
  }
  probe.close();
  const std::string file = ui::ToStdString(path);
  CDistributionInput input;
  try {
    if (SizeDistributionInput(file).sampleSize < CDistributionForm::kMinimumImport) {
      CEngineError::Report(kErrNoRawData);
      return;
    }
    input = ReadDistributionInput(file);
  } catch (const CDistributionError& e) {
    std::string text = e.what();
    if (!e.Detail().empty()) text += "\n" + e.Detail();
    ShowMessage(text, MessageKind::Error);
    return;  // the dialog keeps what it held
  }

  m_lower->setText(ToolNumber(input.lower));
  m_upper->setText(ToolNumber(input.upper));
  {
    const QSignalBlocker block(m_grid);
    for (int r = 0; r < CDistributionForm::kRows; ++r) {
      const bool has = static_cast<size_t>(r) < input.sample.size();
      m_grid->item(r, 0)->setText(
          has ? ui::ToQString(ShortestNumber(input.sample[static_cast<size_t>(r)])) : QString());
      m_grid->item(r, 0)->setToolTip(QString());
    }
  }
  m_options = CDistributionForm::OptionVector(OptionsOf(input));
  m_additional->setText(ToolNumber(CDistributionForm::HasOption(m_selected)
                                       ? m_options[static_cast<size_t>(m_selected + 1)]
                                       : 0.0));
  ShowMessage("Input file has been read and data stored.", MessageKind::Information);
  if (input.sample.size() > CDistributionForm::kRows)
    ShowMessage(Format("The file holds %zu values; the grid takes the first %d.",
                       input.sample.size(), CDistributionForm::kRows),
                MessageKind::Information);
}

void CDistributionDlg::Export() {
  const QString path =
      AskToolFile(this, true, tr("Export"), tr("Distribution input (*.dat *.txt *.csv)"),
                  QStringLiteral("dat"));
  if (path.isEmpty()) return;
  double lower = 0.0, upper = 0.0;
  std::vector<double> sample;
  if (!StoreOption() || !ReadRange(lower, upper) || !ReadGrid(sample, false)) return;
  if (!WriteDistributionInput(ui::ToStdString(path), sample,
                              CDistributionForm::OptionsOf(m_options), lower, upper)) {
    ShowMessage("Unable to open specified output file.", MessageKind::Information);
    return;
  }
  ShowMessage("Data file has been created.", MessageKind::Information);
}

void CDistributionDlg::ViewResults() {
  if (!m_haveResults) return;
  if (!QFileInfo(m_resultsFile).isReadable()) {
    ShowMessage(
        "Unable to execute the viewer: " + ui::ToStdString(m_resultsFile) + " cannot be read.",
        MessageKind::Error);
    return;
  }
  ShowResultFile(this, m_resultsFile);
}

void CDistributionDlg::Graph() {
  if (!m_haveResults || !m_analysis) return;
  CDistributionGraphDlg graph(m_analysis, this);
  graph.exec();
}

}  // namespace olm::app
