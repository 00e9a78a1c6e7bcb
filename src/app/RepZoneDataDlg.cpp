#include "app/RepZoneDataDlg.hpp"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/TaskRunner.hpp"
#include "app/ToolCommandsSupport.hpp"
#include "document/Document.hpp"
#include "numerics/UserInterface.hpp"
#include "ui/UiText.hpp"

namespace olm {

namespace {

int g_markedReplicate = 0;

template <size_t N>
QComboBox* Choices(const std::array<const char*, N>& entries, const QString& name) {
  auto* box = new QComboBox;
  for (const char* entry : entries) box->addItem(QString::fromUtf8(entry));
  box->setAccessibleName(name);
  return box;
}

QString Number(double v) {
  return ui::NumberText(v, "%.10g");
}

}  // namespace

int CRepZoneDataDlg::MarkedReplicate() {
  return g_markedReplicate;
}

CRepZoneDataDlg::CRepZoneDataDlg(QWidget* parent, COLMDoc& doc) : QDialog(parent), m_doc(doc) {
  setWindowTitle(tr("Data Set-Zone Data"));
  setObjectName(QStringLiteral("RepZoneDataDlg"));

  dataSet = new QComboBox;
  dataSet->setAccessibleName(tr("Data Set"));
  zone = new QComboBox;
  zone->setAccessibleName(tr("Zone"));
  auto* validator = new QDoubleValidator(this);
  validator->setLocale(QLocale::c());
  validator->setNotation(QDoubleValidator::ScientificNotation);
  startX = new QLineEdit;
  startX->setValidator(validator);
  startX->setAccessibleName(tr("Start X"));
  endX = new QLineEdit;
  endX->setValidator(validator);
  endX->setAccessibleName(tr("End X"));
  fitType = Choices(CZoneRules::kFitTypeChoices, tr("Fit Type"));
  outliers = Choices(CZoneRules::kOutlierChoices, tr("Remove Outliers"));
  smooth = Choices(CZoneRules::kSmoothChoices, tr("Smooth Data"));
  order = Choices(CZoneRules::kOrderChoices, tr("Order"));
  points = new QSpinBox;
  points->setRange(0, 9999);
  points->setAccessibleName(tr("# of points"));
  repeats = new QSpinBox;
  repeats->setRange(0, 999);
  repeats->setAccessibleName(tr("# repeats"));

  auto* left = new QFormLayout;
  left->addRow(tr("&Data Set"), dataSet);
  left->addRow(tr("&Zone"), zone);
  left->addRow(tr("&Start X"), startX);
  left->addRow(tr("&End X"), endX);
  auto* right = new QFormLayout;
  right->addRow(tr("&Fit Type"), fitType);
  right->addRow(tr("&Remove Outliers"), outliers);
  right->addRow(tr("S&mooth Data"), smooth);
  auto* smoothRow = new QHBoxLayout;
  smoothRow->addWidget(order);
  auto* pointsLabel = new QLabel(tr("# of &points"));
  pointsLabel->setBuddy(points);
  smoothRow->addWidget(pointsLabel);
  smoothRow->addWidget(points);
  auto* repeatsLabel = new QLabel(tr("# re&peats"));
  repeatsLabel->setBuddy(repeats);
  smoothRow->addWidget(repeatsLabel);
  smoothRow->addWidget(repeats);
  right->addRow(smoothRow);

  updateButton = new QPushButton(tr("&Update"));
  addZoneButton = new QPushButton(tr("&Add Zone"));
  deleteZoneButton = new QPushButton(tr("De&lete Zone"));
  applyAllButton = new QPushButton(tr("Apply to all &data sets"));
  applyAllButton->setToolTip(tr("Give every data set the zones of this one"));
  analyzeButton = new QPushButton(tr("Analy&ze"));
  auto* actions = new QVBoxLayout;
  for (QPushButton* b :
       {updateButton, addZoneButton, deleteZoneButton, applyAllButton, analyzeButton})
    actions->addWidget(b);
  actions->addStretch(1);

  list = new QTreeWidget;
  list->setAccessibleName(tr("Current Data"));
  list->setRootIsDecorated(false);
  QStringList headings;
  for (const char* h : CZoneRules::kListColumns) headings << QString::fromUtf8(h);
  list->setHeaderLabels(headings);
  list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  auto* listBox = new QGroupBox(tr("Current Data"));
  (new QVBoxLayout(listBox))->addWidget(list);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* top = new QHBoxLayout;
  top->addLayout(left);
  top->addLayout(right);
  top->addLayout(actions);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(listBox, 1);
  layout->addWidget(buttons);

  connect(dataSet, &QComboBox::activated, this, [this](int i) { SelectDataSet(i + 1); });
  connect(zone, &QComboBox::activated, this, [this](int i) { SelectZone(i + 1); });
  connect(smooth, &QComboBox::currentIndexChanged, this, [this] { ApplyEnabling(); });
  connect(updateButton, &QPushButton::clicked, this, [this] { Update(); });
  connect(addZoneButton, &QPushButton::clicked, this, [this] { AddZone(); });
  connect(deleteZoneButton, &QPushButton::clicked, this, [this] { DeleteZone(); });
  connect(applyAllButton, &QPushButton::clicked, this, [this] { ApplyToAll(); });
  connect(analyzeButton, &QPushButton::clicked, this, [this] { Analyze(); });

  Begin();
  SelectDataSet(1);

  resize(980, 520);
  app::RememberDialogGeometry(this, QStringLiteral("OLM/ZoneData/geometry"));
}

CRepZoneDataDlg::~CRepZoneDataDlg() {
  if (m_editing) m_doc.EndEdit(false);
  g_markedReplicate = 0;
}

void CRepZoneDataDlg::Begin() {
  m_editing = m_doc.BeginEdit("Process Data", kChangeData | kChangeSettings);
  // The rules work on the document's database object, whose identity never
  // changes (an undo or a task's result replaces its contents).
  if (!m_rules) m_rules = std::make_unique<CZoneRules>(m_doc.MutableDatabase());
}

void CRepZoneDataDlg::FillSelectors() {
  const CReplicateDB& db = m_doc.Database();
  const QSignalBlocker b1(dataSet), b2(zone);
  dataSet->clear();
  for (int r = 1; r <= db.GetReplicateCount(); ++r)
    dataSet->addItem(
        QStringLiteral("%1  %2").arg(r).arg(ui::ToQString(db.Replicate(r).GetTitle())));
  zone->clear();
  const int r = m_rules->DataSet();
  if (r >= 1 && r <= db.GetReplicateCount()) {
    dataSet->setCurrentIndex(r - 1);
    for (int z = 1; z <= db.Replicate(r).zoneCount; ++z) zone->addItem(QString::number(z));
    zone->setCurrentIndex(m_rules->CurrentZone() - 1);
  }
  const bool any = db.GetReplicateCount() > 0;
  for (QWidget* w : std::initializer_list<QWidget*>{
           dataSet, zone, startX, endX, fitType, outliers, smooth, order, points, repeats,
           updateButton, addZoneButton, deleteZoneButton, applyAllButton})
    w->setEnabled(any);
}

void CRepZoneDataDlg::SelectDataSet(int replicate) {
  if (replicate >= 1 && replicate <= m_doc.Database().GetReplicateCount())
    m_rules->SelectDataSet(replicate);
  g_markedReplicate = m_rules->DataSet();
  FillSelectors();
  LoadControls();
  RefreshList();
  m_doc.NotifyEdit(kChangeMarks);  // the plot marks the zone borders of this replicate
}

void CRepZoneDataDlg::SelectZone(int z) {
  m_rules->SelectZone(z);
  FillSelectors();
  LoadControls();
}

void CRepZoneDataDlg::LoadControls() {
  const CZoneControls& c = m_rules->controls;
  const QSignalBlocker block(smooth);
  startX->setText(Number(c.startX));
  endX->setText(Number(c.endX));
  fitType->setCurrentIndex(c.fitIndex);
  outliers->setCurrentIndex(c.outlierIndex);
  smooth->setCurrentIndex(c.smoothIndex);
  order->setCurrentIndex(c.orderIndex);
  points->setValue(c.points);
  repeats->setValue(c.repeats);
  ApplyEnabling();
}

void CRepZoneDataDlg::ReadControls() {
  CZoneControls& c = m_rules->controls;
  bool ok = false;
  double v = QLocale::c().toDouble(startX->text().trimmed(), &ok);
  if (ok) c.startX = v;
  v = QLocale::c().toDouble(endX->text().trimmed(), &ok);
  if (ok) c.endX = v;
  c.fitIndex = fitType->currentIndex();
  c.outlierIndex = outliers->currentIndex();
  c.smoothIndex = smooth->currentIndex();
  c.orderIndex = order->currentIndex();
  c.points = points->value();
  c.repeats = repeats->value();
}

void CRepZoneDataDlg::ApplyEnabling() {
  const CZoneEnabling e = CZoneRules::EnablingFor(smooth->currentIndex());
  const bool any = m_doc.Database().GetReplicateCount() > 0;
  order->setEnabled(any && e.order);
  points->setEnabled(any && e.points);
  repeats->setEnabled(any && e.repeats);
  outliers->setEnabled(any && e.outliers);
  if (!e.outliers) outliers->setCurrentIndex(0);
}

void CRepZoneDataDlg::RefreshList() {
  list->clear();
  for (const auto& row : m_rules->ListRows()) {
    auto* item = new QTreeWidgetItem(list);
    for (size_t i = 0; i < row.size(); ++i)
      item->setText(static_cast<int>(i), ui::ToQString(row[i]));
  }
}

void CRepZoneDataDlg::Changed() {
  FillSelectors();
  LoadControls();
  RefreshList();
  m_changed = true;
  m_doc.NotifyEdit(kChangeData);
}

bool CRepZoneDataDlg::Update() {
  if (!m_editing || m_doc.Database().GetReplicateCount() == 0) return false;
  ReadControls();
  if (!m_rules->Update()) return false;
  Changed();
  return true;
}

bool CRepZoneDataDlg::AddZone() {
  if (!m_editing || m_doc.Database().GetReplicateCount() == 0) return false;
  if (!m_rules->AddZone()) return false;
  Changed();
  return true;
}

bool CRepZoneDataDlg::DeleteZone() {
  if (!m_editing || m_doc.Database().GetReplicateCount() == 0) return false;
  if (!m_rules->DeleteZone()) return false;
  Changed();
  return true;
}

bool CRepZoneDataDlg::ApplyToAll() {
  if (!m_editing || m_doc.Database().GetReplicateCount() == 0) return false;
  // The current zone's controls first, as "Update" takes them.
  ReadControls();
  if (!m_rules->Update()) return false;
  const CReplicate& rep = m_doc.Database().Replicate(m_rules->DataSet());
  std::vector<CZoneControls> zones;
  for (int z = 1; z <= rep.zoneCount; ++z) {
    zones.push_back(CZoneRules::Load(rep, z));
    zones.back().outlierIndex = rep.Zone(z).outliers.method;
  }
  CReplicateDB& db = m_doc.EditDatabase();
  if (!olm::ApplyZonesToAll(db, zones)) return false;
  db.ClearProcessed();
  db.ComputeExtents(true);
  Changed();
  return true;
}

bool CRepZoneDataDlg::Analyze() {
  if (!m_editing) return false;
  const CReplicateDB& db = m_doc.Database();
  if ((db.IsSmoothed() || db.IsLocked()) &&
      !AskUser("All processed data will be lost. Proceed?", QuestionKind::OkCancel))
    return false;
  // The zone settings so far become one step; the analysis runs on a copy
  // on a worker thread and becomes the next step only when it completes.
  m_doc.EndEdit(m_changed);
  m_editing = false;
  auto task = m_doc.PrepareTask("Analyze", kChangeData | kChangeSettings,
                                [](CReplicateDB& copy, CGEList&, IProgress& progress) {
                                  copy.ClearProcessed();
                                  if (!copy.Process(&progress)) return false;
                                  ShowProcessedCurves(copy);
                                  return true;
                                });
  CTaskOptions options;
  options.label = tr("Analyzing...");
  options.showAfterMs = progressDelayMs;
  const CDocResult result = RunDocTask(this, m_doc, std::move(task), options);
  if (result.ok) ShowMessage("Analysis complete");
  Begin();
  Changed();
  m_changed = false;  // the analysis is its own step
  return result.ok;
}

void CRepZoneDataDlg::accept() {
  if (m_editing) m_doc.EndEdit(m_changed);  // no empty step when nothing changed
  m_editing = false;
  g_markedReplicate = 0;
  m_doc.Notify(kChangeMarks);
  QDialog::accept();
}

void CRepZoneDataDlg::reject() {
  if (m_editing) m_doc.EndEdit(false);
  m_editing = false;
  g_markedReplicate = 0;
  m_doc.Notify(kChangeMarks);
  QDialog::reject();
}

}  // namespace olm
