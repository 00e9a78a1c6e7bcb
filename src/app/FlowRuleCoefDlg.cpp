#include "app/FlowRuleCoefDlg.hpp"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "engine/Database.hpp"
#include "ui/UiText.hpp"

namespace olm::app {

namespace {

constexpr int kMasterFirst = kTension1, kMasterLast = kCompression3;
constexpr int kSlaveFirst = kShear12, kSlaveLast = kShear13;

}  // namespace

CFlowRuleCoefDlg::CFlowRuleCoefDlg(const CReplicateDB& db, QWidget* parent)
    : QDialog(parent), m_db(db) {
  setWindowTitle(QString::fromUtf8(CFlowRuleCoefForm::kCaption));

  // Output information: the two output files.
  auto* output = new QGroupBox(tr(" Output Information "), this);
  auto* outputLayout = new QFormLayout(output);
  m_results = new QLineEdit(output);
  m_results->setAccessibleName(tr("Results File Name"));
  m_card = new QLineEdit(output);
  m_card->setAccessibleName(tr("MAT213 Material Card"));
  outputLayout->addRow(tr("&Results File Name"), m_results);
  outputLayout->addRow(tr("MAT213 &Material Card"), m_card);
  auto* modelRow = new QHBoxLayout;
  m_modelLabel = new QLabel(tr("(none)"), output);
  m_modelLabel->setAccessibleName(tr("OLM model file"));
  m_modelLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_selectFile = new QPushButton(tr("&Select file"), output);
  m_selectFile->setAutoDefault(false);
  modelRow->addWidget(m_modelLabel, 1);
  modelRow->addWidget(m_selectFile);
  outputLayout->addRow(tr("OLM model file"), modelRow);
  m_output = new QLabel(output);
  m_output->setWordWrap(true);
  m_output->setAccessibleName(tr("Output"));
  outputLayout->addRow(m_output);

  // Current data: which data set supplies which curve.
  auto* current = new QGroupBox(tr(" Current Data "), this);
  auto* currentLayout = new QFormLayout(current);
  m_dataSet = new QComboBox(current);
  m_dataSet->setAccessibleName(tr("Data set name"));
  for (int r = 1; r <= db.GetReplicateCount(); ++r)
    m_dataSet->addItem(ui::ToQString(db.Replicate(r).GetTitle()), r);
  m_useAs = new QComboBox(current);
  m_useAs->setAccessibleName(tr("Use as"));
  for (int id = 1; id <= kFlowRuleCurveCount; ++id)
    m_useAs->addItem(
        QString::fromUtf8(CFlowRuleCoefForm::UseAsChoices()[static_cast<size_t>(id - 1)]), id);
  m_update = new QPushButton(tr("&Update"), current);
  m_update->setAutoDefault(false);
  currentLayout->addRow(tr("&Data set name"), m_dataSet);
  currentLayout->addRow(tr("Use &as"), m_useAs);
  currentLayout->addRow(QString(), m_update);

  // Basic curve data: master and slave curves.
  auto* basic = new QGroupBox(tr(" Basic Curve Data "), this);
  auto* basicLayout = new QFormLayout(basic);
  m_master = new QComboBox(basic);
  m_master->setAccessibleName(tr("Master curve"));
  for (int id = kMasterFirst; id <= kMasterLast; ++id)
    m_master->addItem(QString::fromUtf8(FlowRuleCurveName(id)), id);
  m_slave = new QComboBox(basic);
  m_slave->setAccessibleName(tr("Slave curve"));
  for (int id = kSlaveFirst; id <= kSlaveLast; ++id)
    m_slave->addItem(QString::fromUtf8(FlowRuleCurveName(id)), id);
  m_master->setCurrentIndex(m_master->findData(m_model.master));
  m_slave->setCurrentIndex(m_slave->findData(m_model.slave));
  basicLayout->addRow(tr("Mas&ter curve"), m_master);
  basicLayout->addRow(tr("S&lave curve"), m_slave);

  // The twelve curves and where each comes from.
  auto* coefficients = new QGroupBox(tr(" Flow Rule Coefficients "), this);
  auto* listLayout = new QVBoxLayout(coefficients);
  m_list = new QTreeWidget(coefficients);
  m_list->setRootIsDecorated(false);
  m_list->setAccessibleName(tr("Curves"));
  m_list->setColumnCount(3);
  QStringList headers;
  for (const char* h : CFlowRuleCoefForm::ListColumns()) headers << QString::fromUtf8(h);
  m_list->setHeaderLabels(headers);
  for (int c = 0; c < 3; ++c) m_list->setColumnWidth(c, CFlowRuleCoefForm::kListColumnWidth);
  m_list->setMinimumHeight(260);
  listLayout->addWidget(m_list);
  m_coefficients = new QLabel(coefficients);
  m_coefficients->setAccessibleName(tr("Calculated coefficients"));
  m_coefficients->setTextInteractionFlags(Qt::TextSelectableByMouse);
  listLayout->addWidget(m_coefficients);

  m_compute = new QPushButton(tr("&Compute"), this);
  m_compute->setAutoDefault(false);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->addButton(m_compute, QDialogButtonBox::ActionRole);

  auto* left = new QVBoxLayout;
  left->addWidget(output);
  left->addWidget(current);
  left->addWidget(basic);
  left->addStretch(1);
  auto* top = new QHBoxLayout;
  top->addLayout(left);
  top->addWidget(coefficients, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addWidget(buttons);

  QWidget* order[] = {m_results, m_card,   m_selectFile, m_dataSet, m_useAs,
                      m_update,  m_master, m_slave,      m_list,    m_compute};
  for (size_t k = 0; k + 1 < std::size(order); ++k) setTabOrder(order[k], order[k + 1]);
  setTabOrder(m_compute, buttons->button(QDialogButtonBox::Ok));
  setTabOrder(buttons->button(QDialogButtonBox::Ok), buttons->button(QDialogButtonBox::Cancel));

  connect(m_selectFile, &QPushButton::clicked, this, &CFlowRuleCoefDlg::SelectFile);
  connect(m_update, &QPushButton::clicked, this, &CFlowRuleCoefDlg::Update);
  connect(m_compute, &QPushButton::clicked, this, &CFlowRuleCoefDlg::Compute);
  connect(m_list, &QTreeWidget::itemClicked, this, &CFlowRuleCoefDlg::ListClicked);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  FillList();
  resize(860, 560);
  RememberToolGeometry(this, QStringLiteral("Mat213"));
}

void CFlowRuleCoefDlg::done(int result) {
  KeepResultViewers(this);
  QDialog::done(result);
}

void CFlowRuleCoefDlg::FillList() {
  const QString project = ui::ToQString(m_db.title);
  const QString model = m_modelFile.isEmpty() ? QString() : QFileInfo(m_modelFile).fileName();
  m_list->clear();
  for (int id = 1; id <= kFlowRuleCurveCount; ++id) {
    const int r = m_assigned[static_cast<size_t>(id - 1)];
    QStringList row;
    row << QString::fromUtf8(CFlowRuleCoefForm::UseAsChoices()[static_cast<size_t>(id - 1)]);
    if (r > 0 && r <= m_db.GetReplicateCount()) {
      row << project << ui::ToQString(m_db.Replicate(r).GetTitle());
    } else {
      row << model << QString();
    }
    auto* item = new QTreeWidgetItem(m_list, row);
    item->setData(0, Qt::UserRole, id);
    for (int c = 0; c < 3; ++c) item->setToolTip(c, row[c]);
  }
}

void CFlowRuleCoefDlg::ListClicked(QTreeWidgetItem* item) {
  m_form.ListClicked();
  if (!item) return;
  // The row's curve becomes the "Use as" choice, ready for Update.
  const int index = m_useAs->findData(item->data(0, Qt::UserRole));
  if (index >= 0) m_useAs->setCurrentIndex(index);
}

void CFlowRuleCoefDlg::SelectFile() {
  m_form.SelectFile();
  const QString start = m_modelFile.isEmpty() ? QDir::currentPath() : m_modelFile;
  const QString path =
      AskToolFile(this, false, tr("OLM model file"),
                  tr("Model files (*.txt *.k *.key *.dat);;All files (*)"), {}, start);
  if (!path.isEmpty()) LoadModel(path);
}

bool CFlowRuleCoefDlg::LoadModel(const QString& path) {
  CFlowRuleModel model;
  const std::string problem = ReadFlowRuleModel(ui::ToStdString(path), model);
  if (!problem.empty()) {
    ShowMessage(problem, MessageKind::Error);
    return false;  // the dialog keeps the model it had
  }
  m_model = model;
  m_haveModel = true;
  m_modelFile = QFileInfo(path).absoluteFilePath();
  m_modelLabel->setText(QFileInfo(path).fileName());
  m_modelLabel->setToolTip(m_modelFile);
  m_master->setCurrentIndex(std::max(0, m_master->findData(m_model.master)));
  m_slave->setCurrentIndex(std::max(0, m_slave->findData(m_model.slave)));
  FillList();
  return true;
}

void CFlowRuleCoefDlg::Update() {
  // The controls must name a data set and a curve.
  const bool valid = m_dataSet->currentIndex() >= 0 && m_useAs->currentIndex() >= 0;
  if (!valid) {
    ShowMessage(
        m_dataSet->count() == 0 ? "The project holds no data sets." : "Please select a data set.",
        MessageKind::Information);
    return;
  }
  if (!m_form.Update(valid)) return;
  const int curve = m_useAs->currentData().toInt();
  m_assigned[static_cast<size_t>(curve - 1)] = m_dataSet->currentData().toInt();
  FillList();
}

bool CFlowRuleCoefDlg::ChoicesChangeModel() const {
  for (int r : m_assigned)
    if (r > 0) return true;
  return m_master->currentData().toInt() != m_model.master ||
         m_slave->currentData().toInt() != m_model.slave;
}

CFlowRuleModel CFlowRuleCoefDlg::ModelWithChoices() const {
  CFlowRuleModel model = m_model;
  model.master = m_master->currentData().toInt();
  model.slave = m_slave->currentData().toInt();
  for (int id = 1; id <= kFlowRuleCurveCount; ++id) {
    const int r = m_assigned[static_cast<size_t>(id - 1)];
    if (r <= 0 || r > m_db.GetReplicateCount()) continue;
    const CReplicate& rep = m_db.Replicate(r);
    const int rows = std::min(rep.pointCount, rep.raw.GetRows());
    const bool columns = rep.xColumn >= 1 && rep.yColumn >= 1 &&
                         rep.xColumn <= rep.raw.GetColumns() && rep.yColumn <= rep.raw.GetColumns();
    const int n = columns ? std::max(0, rows) : 0;
    CVector<double>& x = model.x[static_cast<size_t>(id - 1)];
    CVector<double>& y = model.y[static_cast<size_t>(id - 1)];
    x.SetSize(n);
    y.SetSize(n);
    for (int i = 1; i <= n; ++i) {
      x(i) = rep.raw(i, rep.xColumn);
      y(i) = rep.raw(i, rep.yColumn);
    }
    model.defined[static_cast<size_t>(id - 1)] = true;
  }
  return model;
}

QString CFlowRuleCoefDlg::ResolveOutput(const QString& name) const {
  const QString trimmed = name.trimmed();
  if (trimmed.isEmpty() || QFileInfo(trimmed).isAbsolute()) return trimmed;
  // A bare name goes beside the model file.
  const QString folder =
      m_modelFile.isEmpty() ? QDir::currentPath() : QFileInfo(m_modelFile).absolutePath();
  return QDir(folder).filePath(trimmed);
}

void CFlowRuleCoefDlg::Compute() {
  const QString results = ResolveOutput(m_results->text());
  const QString card = ResolveOutput(m_card->text());
  m_form.resultsFile = ui::ToStdString(results);
  m_form.cardFile = ui::ToStdString(card);
  m_form.modelFile = ui::ToStdString(m_modelFile);
  if (!m_form.AnnounceCompute()) return;

  CFlowRuleCoefForm job = m_form;
  QTemporaryDir scratch;
  if (m_haveModel && ChoicesChangeModel()) {
    // The program reads files: the changed model goes to a temporary one.
    const CFlowRuleModel model = ModelWithChoices();
    const QString path = scratch.filePath(QStringLiteral("model.txt"));
    QSaveFile file(path);
    const std::string text = FormatFlowRuleCurves(model) + FormatFlowRuleSettings(model) + "*end\n";
    if (!scratch.isValid() || !file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.commit()) {
      ShowMessage("Unable to open input file.\n", MessageKind::Error);
      return;
    }
    job.modelFile = ui::ToStdString(path);
  }

  int status = 1;
  CFlowRuleResult result;
  const bool finished = RunToolWork(this, tr("Computing the flow-rule coefficients ..."),
                                    [&] { status = job.RunProgram(&result); });
  if (!finished) {
    m_output->setText(tr("Computation cancelled; its results were not opened."));
    return;
  }
  m_lastStatus = status;
  if (status != 0) {
    m_output->setText(tr("The flow-rule program failed; see its message."));
    return;
  }
  m_output->setText(tr("Results written to %1, material card to %2.")
                        .arg(QFileInfo(results).fileName(), QFileInfo(card).fileName()));
  m_output->setToolTip(results + "\n" + card);
  QStringList lines;
  for (int k = 0; k < kFlowRuleCoefficientCount; ++k)
    lines << QStringLiteral("%1: %2").arg(QString::fromUtf8(FlowRuleCoefficientName(k)),
                                          ToolNumber(result.g[static_cast<size_t>(k)]));
  m_coefficients->setText(lines.mid(0, 3).join("   ") + "\n" + lines.mid(3, 3).join("   ") + "\n" +
                          lines.mid(6).join("   "));
  ShowResultFile(this, results);
  ShowResultFile(this, card);
}

}  // namespace olm::app
