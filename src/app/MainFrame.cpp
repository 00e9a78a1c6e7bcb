#include "app/MainFrame.hpp"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QWhatsThis>
#include <QWidgetAction>
#include <cstdio>

#include "app/DataDialogs.hpp"
#include "app/DocUndoStack.hpp"
#include "app/DrawingTools.hpp"
#include "app/GraphSettingsSheet.hpp"
#include "app/HelpWindow.hpp"
#include "app/NavigationView.hpp"
#include "app/OLMView.hpp"
#include "app/OLMViewLegend.hpp"
#include "app/ReportSelectionDialog.hpp"
#include "app/TaskRunner.hpp"
#include "app/ToolCommands.hpp"
#include "plot/PlotPainter.hpp"
#include "ui/TextViewer.hpp"
#include "ui/UiText.hpp"

// The icons and the manual are compiled into the program's library.
static void InitResources() {
  Q_INIT_RESOURCE(olm);
}

namespace olm {

namespace {

const char* const kFileFilter = "OLM Files (*.olm)";
const char* const kRecentSection = "Recent File List";

QIcon Icon(const QString& name, const QString& theme) {
  const QIcon ours(QStringLiteral(":/icons/%1.svg").arg(name));
  return theme.isEmpty() ? ours : QIcon::fromTheme(theme, ours);
}

QString ToolTipText(QString text) {
  return text.remove('&').remove(QStringLiteral("..."));
}

}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent), m_doc(std::make_unique<COLMDoc>()) {
  InitResources();
  setObjectName("MainFrame");
  setWindowIcon(QIcon(":/icons/olm.svg"));
  setAcceptDrops(true);
  m_undo = new CDocUndoStack(*m_doc, this);

  m_splitter = new QSplitter(Qt::Horizontal, this);
  m_splitter->setObjectName("PaneSplitter");
  m_splitter->setChildrenCollapsible(false);
  m_tree = new CNavigationView(*m_doc, m_splitter);
  m_view = new COLMView(*m_doc, m_splitter);
  m_legend = new COLMViewLegend(*m_doc, m_splitter);
  for (QWidget* pane : {static_cast<QWidget*>(m_tree), static_cast<QWidget*>(m_view),
                        static_cast<QWidget*>(m_legend)})
    pane->setMinimumWidth(kPaneMinimum);
  m_splitter->addWidget(m_tree);
  m_splitter->addWidget(m_view);
  m_splitter->addWidget(m_legend);
  setCentralWidget(m_splitter);

  CreateActions();
  CreateToolBars();
  CreateMenus();
  CreateStatusBar();

  connect(m_tree, &CNavigationView::editRequested, this, [this](int replicate, int kind) {
    OpenRawDataEditor(this, *m_doc, replicate, kind);
    UpdateCommandState();
  });
  connect(m_view, &COLMView::coordinatesChanged, m_coordinates, &QLabel::setText);
  connect(m_view, &COLMView::statusMessage, this,
          [this](const QString& text) { statusBar()->showMessage(text); });

  m_doc->AddObserver(this);
  resize(1200, 800);
  UpdateCommandState();
}

CMainFrame::~CMainFrame() {
  m_doc->RemoveObserver(this);
  // The panes and the undo mirror observe the document: they go first.
  delete m_splitter;
  delete m_undo;
}

QAction* CMainFrame::Action(const QString& name) const {
  return findChild<QAction*>(name);
}

QAction* CMainFrame::MakeAction(const char* name, const QString& text, const QString& icon,
                                const QString& themeIcon) {
  auto* action = new QAction(text, this);
  action->setObjectName(QString::fromLatin1(name));
  if (!icon.isEmpty()) action->setIcon(Icon(icon, themeIcon));
  action->setToolTip(ToolTipText(text));
  addAction(action);  // shortcuts work while a toolbar is hidden
  return action;
}

void CMainFrame::ViewAction(olm::ViewCommand command) {
  m_view->Action(command)->trigger();
  UpdateCommandState();
}

void CMainFrame::CreateActions() {
  // ---- File
  QAction* a = MakeAction("actionNew", tr("&New"), "new", "document-new");
  a->setShortcut(QKeySequence::New);
  a->setStatusTip(tr("Create a new project"));
  connect(a, &QAction::triggered, this, [this] { NewDocument(); });
  a = MakeAction("actionOpen", tr("&Open..."), "open", "document-open");
  a->setShortcut(QKeySequence::Open);
  a->setStatusTip(tr("Open an existing project"));
  connect(a, &QAction::triggered, this, [this] {
    if (!MaybeSave()) return;
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Open"), FileDialogFolder(), tr(kFileFilter));
    if (!path.isEmpty()) OpenProject(path);
  });
  a = MakeAction("actionSave", tr("&Save"), "save", "document-save");
  a->setShortcut(QKeySequence::Save);
  a->setStatusTip(tr("Save the project"));
  connect(a, &QAction::triggered, this, [this] { Save(); });
  a = MakeAction("actionSaveAs", tr("Save &As..."), "save-as", "document-save-as");
  a->setShortcut(QKeySequence::SaveAs);
  a->setStatusTip(tr("Save the project under a new name"));
  connect(a, &QAction::triggered, this, [this] { SaveAs(); });
  a = MakeAction("actionExportPlot", tr("&Export plot..."), "export");
  a->setStatusTip(tr("Write the plot as a PNG, SVG or PDF file"));
  connect(a, &QAction::triggered, this, &CMainFrame::ExportPlot);
  a = MakeAction("actionPrint", tr("&Print..."), "print", "document-print");
  a->setShortcut(QKeySequence::Print);
  a->setStatusTip(tr("Print the plot"));
  connect(a, &QAction::triggered, this, &CMainFrame::Print);
  a = MakeAction("actionPrintPreview", tr("Print Pre&view"), "print-preview",
                 "document-print-preview");
  a->setStatusTip(tr("Show the printed plot"));
  connect(a, &QAction::triggered, this, &CMainFrame::PrintPreview);
  a = MakeAction("actionPrintSetup", tr("P&rint Setup..."), "", "document-page-setup");
  a->setStatusTip(tr("Choose the printer and the page"));
  connect(a, &QAction::triggered, this, &CMainFrame::PrintSetup);
  a = MakeAction("actionExit", tr("E&xit"), "", "application-exit");
  a->setShortcut(QKeySequence::Quit);
  a->setStatusTip(tr("Quit the program"));
  connect(a, &QAction::triggered, this, &QWidget::close);

  // ---- Edit
  QAction* undo = m_undo->createUndoAction(this, tr("&Undo"));
  undo->setObjectName("actionUndo");
  undo->setIcon(Icon("undo", "edit-undo"));
  undo->setShortcut(QKeySequence::Undo);
  addAction(undo);
  QAction* redo = m_undo->createRedoAction(this, tr("&Redo"));
  redo->setObjectName("actionRedo");
  redo->setIcon(Icon("redo", "edit-redo"));
  redo->setShortcut(QKeySequence::Redo);
  addAction(redo);
  // Cut, Copy and Paste work on the selected drawing objects; the drawing
  // commands' own keys are taken over here so that no key is ambiguous.
  const CDrawingController& drawing = CDrawingController::Of(*m_view);
  QAction* copy = drawing.CommandAction(DrawingCommand::Copy);
  QAction* paste = drawing.CommandAction(DrawingCommand::Paste);
  QAction* remove = drawing.CommandAction(DrawingCommand::Delete);
  copy->setShortcut(QKeySequence());
  paste->setShortcut(QKeySequence());
  a = MakeAction("actionCut", tr("Cu&t"), "cut", "edit-cut");
  a->setShortcut(QKeySequence::Cut);
  connect(a, &QAction::triggered, this, [copy, remove] {
    copy->trigger();
    remove->trigger();
  });
  a = MakeAction("actionCopy", tr("&Copy"), "copy", "edit-copy");
  a->setShortcut(QKeySequence::Copy);
  connect(a, &QAction::triggered, copy, &QAction::trigger);
  a = MakeAction("actionPaste", tr("&Paste"), "paste", "edit-paste");
  a->setShortcut(QKeySequence::Paste);
  connect(a, &QAction::triggered, paste, &QAction::trigger);

  // ---- Help
  a = MakeAction("actionHelpTopics", tr("&Help Topics"), "help", "help-contents");
  a->setShortcut(QKeySequence::HelpContents);
  a->setStatusTip(tr("Show the user manual"));
  connect(a, &QAction::triggered, this, [this] { ShowHelpWindow(); });
  a = MakeAction("actionAbout", tr("&About OLM..."), "about", "help-about");
  a->setStatusTip(tr("Show the program's version and the libraries it uses"));
  connect(a, &QAction::triggered, this, &CMainFrame::ShowAbout);
  QAction* whatsThis = QWhatsThis::createAction(this);
  whatsThis->setObjectName("actionContextHelp");
  whatsThis->setIcon(Icon("context-help", "help-whatsthis"));
  addAction(whatsThis);

  // ---- Data commands (the tool tips are the commands' names).
  a = MakeAction("actionReadRawData", tr("Read raw data"), "read-raw-data");
  a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
  connect(a, &QAction::triggered, this, [this] {
    OpenReadRawDataDialog(this, *m_doc);
    UpdateCommandState();
  });
  a = MakeAction("actionEditData", tr("Edit or view data"), "edit-data");
  a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  connect(a, &QAction::triggered, this, [this] {
    if (m_doc->Database().GetReplicateCount() < 1) return;
    OpenRawDataEditor(this, *m_doc);
    UpdateCommandState();
  });
  a = MakeAction("actionGraphSettings", tr("Edit graph settings"), "graph-settings");
  a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  connect(a, &QAction::triggered, this, [this] {
    EditGraphSettings(this, *m_doc);
    UpdateCommandState();
  });
  a = MakeAction("actionZoomIn", tr("Zoom in"), "zoom-in", "zoom-in");
  a->setShortcut(QKeySequence::ZoomIn);
  a->setCheckable(true);
  connect(a, &QAction::triggered, this, [this] { ViewAction(ViewCommand::ZoomIn); });
  a = MakeAction("actionZoomOut", tr("Zoom out"), "zoom-out", "zoom-out");
  a->setShortcuts({QKeySequence::ZoomOut, QKeySequence(Qt::CTRL | Qt::Key_0)});
  connect(a, &QAction::triggered, this, [this] { ViewAction(ViewCommand::ZoomOut); });
  a = MakeAction("actionPointCoordinates", tr("Get point coordinates"), "point-coordinates");
  a->setCheckable(true);
  connect(a, &QAction::triggered, this, [this] { ViewAction(ViewCommand::PointCoordinates); });
  a = MakeAction("actionMoveCurve", tr("Move curve (Raw data)"), "move-curve");
  a->setCheckable(true);
  connect(a, &QAction::triggered, this, [this] { ViewAction(ViewCommand::MoveCurve); });
  a = MakeAction("actionShowYAxis", tr("Show Y-axis"), "y-axis");
  connect(a, &QAction::triggered, this, [this] { ViewAction(ViewCommand::ShowYAxis); });
  a = MakeAction("actionShowXAxis", tr("Show X-axis"), "x-axis");
  connect(a, &QAction::triggered, this, [this] { ViewAction(ViewCommand::ShowXAxis); });
  a = MakeAction("actionProcessData", tr("Process data"), "process-data");
  a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  connect(a, &QAction::triggered, this, [this] {
    OpenZoneDataDialog(this, *m_doc);
    UpdateCommandState();
  });
  a = MakeAction("actionReport", tr("Create and View Report"), "report");
  a->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
  connect(a, &QAction::triggered, this, &CMainFrame::CreateReport);
  a = MakeAction("actionBestFit", tr("Best fit plot"), "best-fit");
  connect(a, &QAction::triggered, this, [this] { ViewAction(ViewCommand::BestFitPlot); });
  a = MakeAction("actionCopyToClipboard", tr("Copy to clipboard"), "clipboard");
  connect(a, &QAction::triggered, this, [this] { ViewAction(ViewCommand::CopyToClipboard); });
  a = MakeAction("actionResizePlots", tr("Resize the plots"), "resize-plots");
  connect(a, &QAction::triggered, this, [this] { ViewAction(ViewCommand::ResizePlots); });
  // The view's own keys of these commands go to the frame's actions.
  for (ViewCommand c :
       {ViewCommand::ZoomIn, ViewCommand::ZoomOut, ViewCommand::PointCoordinates,
        ViewCommand::MoveCurve, ViewCommand::ShowXAxis, ViewCommand::ShowYAxis,
        ViewCommand::ResizePlots, ViewCommand::BestFitPlot, ViewCommand::CopyToClipboard})
    m_view->Action(c)->setShortcuts({});
}

void CMainFrame::CreateToolBars() {
  m_standardBar = addToolBar(tr("Standard"));
  m_standardBar->setObjectName("StandardBar");
  for (const char* name :
       {"actionNew", "actionOpen", "actionSave", "", "actionCut", "actionCopy", "actionPaste", "",
        "actionPrint", "actionAbout", "actionContextHelp", "", "actionRedo", "actionUndo"}) {
    if (!*name)
      m_standardBar->addSeparator();
    else
      m_standardBar->addAction(Action(name));
  }

  m_dataBar = addToolBar(tr("Data"));
  m_dataBar->setObjectName("DataBar");
  for (const char* name :
       {"actionReadRawData", "actionEditData", "actionGraphSettings", "", "actionZoomIn",
        "actionZoomOut", "actionPointCoordinates", "actionMoveCurve", "actionShowYAxis",
        "actionShowXAxis", "", "actionProcessData", "actionReport", "actionBestFit", "",
        "actionCopyToClipboard", "actionResizePlots"}) {
    if (!*name)
      m_dataBar->addSeparator();
    else
      m_dataBar->addAction(Action(name));
  }

  m_drawingBar = CreateDrawingToolBar(this, *m_view);
  m_drawingBar->setObjectName("DrawingBar");
  m_drawingBar->setWindowTitle(tr("Drawing"));
  addToolBar(Qt::LeftToolBarArea, m_drawingBar);
  for (QToolBar* bar : {m_standardBar, m_dataBar, m_drawingBar}) {
    bar->setAllowedAreas(Qt::AllToolBarAreas);
    bar->setIconSize(QSize(24, 24));
  }
}

void CMainFrame::CreateMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->addAction(Action("actionNew"));
  file->addAction(Action("actionOpen"));
  file->addAction(Action("actionSave"));
  file->addAction(Action("actionSaveAs"));
  file->addSeparator();
  file->addAction(Action("actionExportPlot"));
  file->addSeparator();
  file->addAction(Action("actionPrint"));
  file->addAction(Action("actionPrintPreview"));
  file->addAction(Action("actionPrintSetup"));
  file->addSeparator();
  m_recentMenu = file->addMenu(tr("Recent &Files"));
  m_recentMenu->setObjectName("RecentFilesMenu");
  file->addSeparator();
  file->addAction(Action("actionExit"));
  UpdateRecentMenu();

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  edit->addAction(Action("actionUndo"));
  edit->addAction(Action("actionRedo"));
  edit->addSeparator();
  edit->addAction(Action("actionCut"));
  edit->addAction(Action("actionCopy"));
  edit->addAction(Action("actionPaste"));
  edit->addSeparator();
  const QList<QAction*> drawing = DrawingEditActions(*m_view);
  for (int k = 0; k < 5; ++k) edit->addAction(drawing.value(k));  // depth commands, Delete

  QMenu* view = menuBar()->addMenu(tr("&View"));
  QAction* toolbar = m_standardBar->toggleViewAction();
  toolbar->setText(tr("&Toolbar"));
  toolbar->setObjectName("actionToggleToolbar");
  view->addAction(toolbar);
  QAction* dataBar = m_dataBar->toggleViewAction();
  dataBar->setText(tr("&Data Toolbar"));
  view->addAction(dataBar);
  QAction* drawingBar = m_drawingBar->toggleViewAction();
  drawingBar->setText(tr("D&rawing Toolbar"));
  view->addAction(drawingBar);
  auto* statusAction = new QAction(tr("&Status Bar"), this);
  statusAction->setObjectName("actionToggleStatusBar");
  statusAction->setCheckable(true);
  statusAction->setChecked(true);
  connect(statusAction, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
  view->addAction(statusAction);

  app::AddToolMenus(
      menuBar(), this, [this]() -> const CReplicateDB& { return m_doc->Database(); },
      [this] { return m_doc->Path(); });

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  help->addAction(Action("actionHelpTopics"));
  help->addAction(Action("actionContextHelp"));
  help->addSeparator();
  help->addAction(Action("actionAbout"));
}

void CMainFrame::CreateStatusBar() {
  m_dbState = new QLabel(this);
  m_dbState->setObjectName("DatabaseState");
  m_dbState->setAccessibleName(tr("Database state"));
  m_coordinates = new QLabel(this);
  m_coordinates->setObjectName("Coordinates");
  m_coordinates->setAccessibleName(tr("Point coordinates"));
  m_coordinates->setMinimumWidth(
      fontMetrics().horizontalAdvance(QStringLiteral("X: -0.000000e+00  Y: -0.000000e+00")));
  statusBar()->addPermanentWidget(m_dbState);
  statusBar()->addPermanentWidget(m_coordinates);
  statusBar()->showMessage(tr("Ready"));
}

// ---- State

void CMainFrame::DocumentChanged(unsigned) {
  UpdateCommandState();
}

void CMainFrame::UpdateCommandState() {
  const CReplicateDB& db = m_doc->Database();
  setWindowTitle(tr("%1[*] - OLM").arg(ui::ToQString(m_doc->Title())));
  setWindowModified(m_doc->IsModified());
  m_dbState->setText(db.IsLocked() ? QStringLiteral("DB::Locked") : QStringLiteral("DB::Open"));
  Action("actionEditData")->setEnabled(db.GetReplicateCount() >= 1);
  Action("actionReport")->setEnabled(db.IsLocked());
  const int mode = m_view->State().GetMode();
  Action("actionZoomIn")->setChecked(mode == CPlotView::kModeZoom);
  Action("actionPointCoordinates")->setChecked(mode == CPlotView::kModePointCoordinates);
  Action("actionMoveCurve")->setChecked(mode == CPlotView::kModeMoveCurve);
}

// ---- Life cycle

QString CMainFrame::FileDialogFolder() const {
  if (!m_doc->Path().empty()) return QFileInfo(ui::ToQString(m_doc->Path())).absolutePath();
  const QStringList recent = RecentFiles();
  if (!recent.isEmpty()) return QFileInfo(recent.first()).absolutePath();
  return QDir::currentPath();
}

bool CMainFrame::MaybeSave() {
  if (!m_doc->IsModified()) return true;
  QMessageBox box(QMessageBox::Warning, tr("OLM"),
                  tr("Save changes to %1?").arg(ui::ToQString(m_doc->Title())),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
  box.setObjectName("SavePrompt");
  box.setDefaultButton(QMessageBox::Save);
  switch (box.exec()) {
    case QMessageBox::Save:
      return Save();
    case QMessageBox::Discard:
      return true;
    default:
      return false;
  }
}

bool CMainFrame::NewDocument() {
  if (!MaybeSave()) return false;
  m_doc->New();
  m_view->State().SetPlotKind(0);
  statusBar()->showMessage(tr("New project"), 3000);
  return true;
}

bool CMainFrame::OpenProject(const QString& path) {
  CTaskOptions options;
  options.label = tr("Opening %1...").arg(QFileInfo(path).fileName());
  const CDocResult result =
      RunDocTask(this, *m_doc, m_doc->PrepareOpen(ui::ToStdString(path)), options);
  if (!result) return false;
  m_view->State().SetPlotKind(0);
  AddRecentFile(QFileInfo(path).absoluteFilePath());
  statusBar()->showMessage(tr("Opened %1").arg(QDir::toNativeSeparators(path)), 5000);
  return true;
}

bool CMainFrame::Save() {
  if (m_doc->Path().empty()) return SaveAs();
  return SaveTo(ui::ToQString(m_doc->Path()));
}

bool CMainFrame::SaveAs() {
  QString suggested = ui::ToQString(m_doc->Path());
  if (suggested.isEmpty()) suggested = QDir(FileDialogFolder()).filePath(tr("Untitled.olm"));
  QString path = QFileDialog::getSaveFileName(this, tr("Save As"), suggested, tr(kFileFilter));
  if (path.isEmpty()) return false;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".olm");
  return SaveTo(path);
}

bool CMainFrame::SaveTo(const QString& path) {
  CTaskOptions options;
  options.label = tr("Saving %1...").arg(QFileInfo(path).fileName());
  const CDocResult result =
      RunDocTask(this, *m_doc, m_doc->PrepareSave(ui::ToStdString(path)), options);
  if (!result) return false;
  AddRecentFile(QFileInfo(path).absoluteFilePath());
  statusBar()->showMessage(tr("Saved %1").arg(QDir::toNativeSeparators(path)), 5000);
  return true;
}

void CMainFrame::OpenFiles(const QStringList& paths) {
  QStringList data;
  for (const QString& path : paths) {
    if (QFileInfo(path).suffix().compare(QLatin1String("olm"), Qt::CaseInsensitive) == 0) {
      if (MaybeSave()) OpenProject(path);
    } else {
      data << path;
    }
  }
  if (!data.isEmpty()) ImportDataFiles(data);
}

int CMainFrame::ImportDataFiles(const QStringList& paths) {
  int imported = 0;
  for (const QString& path : paths) {
    CReadRawDataForm form;
    form.path = ui::ToStdString(path);
    form.dataId = CReadRawDataForm::DataIdOf(form.path);
    CTaskOptions options;
    options.label = tr("Reading %1...").arg(QFileInfo(path).fileName());
    options.showMessages = false;  // the status bar says it; failures get a box
    const CDocResult result = RunDocTask(this, *m_doc, m_doc->PrepareImport(form), options);
    QString line;
    for (const CCollectedMessage& message : result.messages) {
      if (!result.ok && message.kind != MessageKind::Information)
        UserInterface().Show(message.kind, message.text);
      line = ui::ToQString(message.text);
    }
    if (result) {
      ++imported;
      statusBar()->showMessage(
          tr("%1: %2").arg(QFileInfo(path).fileName(), line.isEmpty() ? tr("imported") : line));
    } else {
      statusBar()->showMessage(tr("%1: not imported").arg(QFileInfo(path).fileName()));
    }
  }
  return imported;
}

bool CMainFrame::RunAnalysis() {
  CTaskOptions options;
  options.label = tr("Analysing...");
  const CDocResult result = RunDocTask(this, *m_doc, m_doc->PrepareAnalysis(), options);
  statusBar()->showMessage(result ? tr("Analysis complete") : tr("Analysis not done"), 5000);
  return result.ok;
}

// ---- Recent files

QStringList CMainFrame::RecentFiles() const {
  QSettings settings;
  settings.beginGroup(kRecentSection);
  QStringList files;
  for (int i = 1; i <= kRecentFiles; ++i) {
    const QString path = settings.value(QStringLiteral("File%1").arg(i)).toString();
    if (!path.isEmpty()) files << path;
  }
  return files;
}

static void WriteRecentFiles(const QStringList& files) {
  QSettings settings;
  settings.beginGroup(kRecentSection);
  for (int i = 1; i <= CMainFrame::kRecentFiles; ++i) {
    const QString key = QStringLiteral("File%1").arg(i);
    if (i <= files.size())
      settings.setValue(key, files[i - 1]);
    else
      settings.remove(key);
  }
}

void CMainFrame::AddRecentFile(const QString& path) {
  QStringList files = RecentFiles();
  files.removeAll(path);
  files.prepend(path);
  while (files.size() > kRecentFiles) files.removeLast();
  WriteRecentFiles(files);
  UpdateRecentMenu();
}

void CMainFrame::RemoveRecentFile(const QString& path) {
  QStringList files = RecentFiles();
  files.removeAll(path);
  WriteRecentFiles(files);
  UpdateRecentMenu();
}

bool CMainFrame::OpenRecentFile(int index) {
  const QStringList files = RecentFiles();
  if (index < 0 || index >= files.size()) return false;
  if (!MaybeSave()) return false;
  const QString path = files[index];
  if (OpenProject(path)) return true;
  RemoveRecentFile(path);
  return false;
}

void CMainFrame::UpdateRecentMenu() {
  if (!m_recentMenu) return;
  m_recentMenu->clear();
  const QStringList files = RecentFiles();
  for (int i = 0; i < files.size(); ++i) {
    QAction* action = m_recentMenu->addAction(
        QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(files[i])));
    action->setObjectName(QStringLiteral("actionRecent%1").arg(i + 1));
    connect(action, &QAction::triggered, this, [this, i] { OpenRecentFile(i); });
  }
  m_recentMenu->setEnabled(!files.isEmpty());
}

// ---- Window

void CMainFrame::ApplyPaneWidths() {
  const int width = m_splitter->width() > 0 ? m_splitter->width() : this->width();
  const auto part = [width](int percent) { return std::max(kPaneMinimum, width * percent / 100); };
  m_splitter->setSizes({part(10), part(70), part(20)});
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (!isMinimized()) ApplyPaneWidths();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (!MaybeSave()) {
    event->ignore();
    return;
  }
  SaveWindowSettings();
  event->accept();
}

void CMainFrame::SaveWindowSettings() {
  QSettings settings;
  settings.setValue("General/WindowState", saveState());
  settings.setValue("Settings/WindowGeometry", saveGeometry());
  // The placement as ten numbers: flags (2 when maximised), show state,
  // minimised and maximised positions (unused), then the normal rectangle.
  const QRect r = normalGeometry();
  settings.setValue("Settings/WindowPos", QStringLiteral("%1,%2,-1,-1,-1,-1,%3,%4,%5,%6")
                                              .arg(isMaximized() ? 2 : 0)
                                              .arg(isMaximized() ? 3 : 1)
                                              .arg(r.left())
                                              .arg(r.top())
                                              .arg(r.right() + 1)
                                              .arg(r.bottom() + 1));
}

void CMainFrame::RestoreWindowSettings() {
  QSettings settings;
  const QStringList fields = settings.value("Settings/WindowPos").toString().split(',');
  bool parsed = fields.size() == 10;
  std::array<int, 10> n{};
  for (int i = 0; parsed && i < 10; ++i) n[static_cast<size_t>(i)] = fields[i].toInt(&parsed);
  if (parsed) {
    const QRect rect(QPoint(n[6], n[7]), QPoint(n[8] - 1, n[9] - 1));
    bool onScreen = false;
    for (const QScreen* screen : QGuiApplication::screens())
      onScreen = onScreen || screen->availableGeometry().intersects(rect);
    if (onScreen && rect.width() >= 100 && rect.height() >= 100) {
      if (!restoreGeometry(settings.value("Settings/WindowGeometry").toByteArray()))
        setGeometry(rect);
    }
  }
  restoreState(settings.value("General/WindowState").toByteArray());
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths << url.toLocalFile();
  if (paths.isEmpty()) return;
  event->acceptProposedAction();
  // After the drop has returned, so that the source is not kept waiting.
  QMetaObject::invokeMethod(
      this, [this, paths] { OpenFiles(paths); }, Qt::QueuedConnection);
}

// ---- Report

void CMainFrame::CreateReport() {
  const std::string output = m_doc->ReportPath();
  if (output.empty()) {
    ShowMessage("Save the project first.");
    return;
  }
  std::remove(output.c_str());
  std::array<bool, CReportSelectionDialog::kFlags> flags{};
  for (int i = 0; i < CReportSelectionDialog::kFlags; ++i)
    flags[static_cast<size_t>(i)] = m_doc->Database().GetReportFlag(i + 1);
  CReportSelectionDialog dialog(flags, this);
  if (dialog.exec() != QDialog::Accepted) return;
  std::string written;
  const CDocResult result = m_doc->WriteReport(dialog.Flags(), "", &written);
  if (!result || written.empty()) {
    statusBar()->showMessage(tr("The report was not written."), 5000);
    return;
  }
  ShowReportFile(ui::ToQString(written));
}

QWidget* CMainFrame::ShowReportFile(const QString& path) {
  // The viewer says in its window when the file cannot be read.
  auto* viewer = ui::CTextViewer::ShowFile(path, this);
  statusBar()->showMessage(tr("Report written to %1").arg(QDir::toNativeSeparators(path)), 5000);
  emit reportShown(viewer);
  return viewer;
}

// ---- Printing, export, clipboard

QPrinter& CMainFrame::Printer() {
  if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *m_printer;
}

void CMainFrame::PaintPlot(QPrinter* printer) {
  QPainter painter(printer);
  const QRect rect = painter.viewport();
  CGEList objects = m_doc->Objects().Clone();
  RenderPlot(painter, rect, m_view->State(), m_doc->Database(), objects,
             PrintOptions(m_view->State(), *printer, rect));
}

void CMainFrame::Print() {
  QPrintDialog dialog(&Printer(), this);
  if (dialog.exec() == QDialog::Accepted) PaintPlot(&Printer());
}

void CMainFrame::PrintPreview() {
  QPrintPreviewDialog dialog(&Printer(), this);
  connect(&dialog, &QPrintPreviewDialog::paintRequested, this, &CMainFrame::PaintPlot);
  dialog.exec();
}

void CMainFrame::PrintSetup() {
  QPageSetupDialog dialog(&Printer(), this);
  dialog.exec();
}

void CMainFrame::ExportPlot() {
  QString base = ui::ToQString(m_doc->Path());
  base = base.isEmpty()
             ? QDir(FileDialogFolder()).filePath(QStringLiteral("plot.png"))
             : QFileInfo(base).path() + '/' + QFileInfo(base).completeBaseName() + ".png";
  QString selected;
  QString path = QFileDialog::getSaveFileName(
      this, tr("Export plot"), base,
      tr("PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)"), &selected);
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) {
    if (selected.contains("svg"))
      path += ".svg";
    else if (selected.contains("pdf"))
      path += ".pdf";
    else
      path += ".png";
  }
  ExportPlotTo(path);
}

bool CMainFrame::ExportPlotTo(const QString& path, QSize size) {
  if (!size.isValid() || size.width() < 100 || size.height() < 100)
    size = m_view->width() >= 100 && m_view->height() >= 100 ? m_view->size() : QSize(1200, 800);
  CGEList objects = m_doc->Objects().Clone();
  const bool ok =
      olm::ExportPlot(ui::ToStdString(path), size.width(), size.height(), m_view->State(),
                      m_doc->Database(), objects, m_view->State().PaintOptions());
  if (ok)
    statusBar()->showMessage(tr("Plot written to %1").arg(QDir::toNativeSeparators(path)), 5000);
  return ok;
}

// ---- Help

QWidget* CMainFrame::ShowHelpWindow() {
  auto* help = new CHelpWindow(this);
  help->setWindowFlag(Qt::Window);
  help->show();
  return help;
}

void CMainFrame::ShowAbout() {
  QMessageBox::about(
      this, tr("About OLM"),
      tr("<h3>OLM %1</h3><p>Reduction of experimental test data: import, zones, outliers, "
         "smoothing, fitting, reports, best fit and plots.</p>"
         "<p>Built with Qt %2 (running on Qt %3): Widgets, Print Support, SVG and "
         "Concurrent. The command-line tool <tt>olm</tt> beside it uses CLI11 and "
         "nlohmann/json.</p>")
          .arg(QStringLiteral(OLM_VERSION), QStringLiteral(QT_VERSION_STR), qVersion()));
}

}  // namespace olm
