#pragma once
// CMainFrame: the main window.  It owns the document and shows it in three
// panes (navigation tree, plot, legend) under a menu bar, three toolbars and
// a status bar; it runs the document's life cycle (New, Open, Save, Save As
// with the save prompt, recent files, drag and drop), the data commands, the
// report, printing and export, undo and redo, and help.
#include <QMainWindow>
#include <QStringList>
#include <memory>

#include "app/OLMView.hpp"
#include "document/Document.hpp"

class QActionGroup;
class QLabel;
class QPrinter;
class QSplitter;
class QToolBar;

namespace olm {

class CDocUndoStack;
class CNavigationView;
class COLMView;
class COLMViewLegend;

class CMainFrame : public QMainWindow, public IDocObserver {
  Q_OBJECT

 public:
  static constexpr int kRecentFiles = 4;
  static constexpr int kPaneMinimum = 50;

  explicit CMainFrame(QWidget* parent = nullptr);
  ~CMainFrame() override;

  COLMDoc& Document() { return *m_doc; }
  CDocUndoStack& UndoStack() { return *m_undo; }
  CNavigationView* Navigation() const { return m_tree; }
  COLMView* View() const { return m_view; }
  COLMViewLegend* Legend() const { return m_legend; }
  QSplitter* Splitter() const { return m_splitter; }
  QToolBar* StandardBar() const { return m_standardBar; }
  QToolBar* DataBar() const { return m_dataBar; }
  QToolBar* DrawingBar() const { return m_drawingBar; }
  // The drawing tools' actions (checkable, one group), in toolbar order
  // followed by the eleven specialized shapes; the drawing tools bind them.
  // An action by its object name ("actionSave", "actionReport", ...).
  QAction* Action(const QString& name) const;
  QLabel* DatabaseStatePane() const { return m_dbState; }
  QLabel* CoordinatePane() const { return m_coordinates; }

  // ---- Life cycle (each asks to save a modified document first where it
  // replaces it; false when the user cancelled or the work failed).
  bool NewDocument();
  bool OpenProject(const QString& path);
  bool Save();
  bool SaveAs();
  bool SaveTo(const QString& path);
  // "Save changes to ...?" with Save, Discard and Cancel; true to go on.
  bool MaybeSave();
  // Opens the files given on the command line or dropped on the window:
  // a project (.olm) opens, other files are imported as replicates.
  void OpenFiles(const QStringList& paths);
  // Imports data files with the default import settings, one undo step and
  // one status message per file; returns the number imported.
  int ImportDataFiles(const QStringList& paths);
  // The analysis of every active replicate on a worker thread.
  bool RunAnalysis();

  // ---- Recent files (the settings store's list, newest first).
  QStringList RecentFiles() const;
  void AddRecentFile(const QString& path);
  void RemoveRecentFile(const QString& path);
  bool OpenRecentFile(int index);

  // ---- Commands.
  void CreateReport();
  // Opens the report viewer on a file (a window of its own) and returns it.
  QWidget* ShowReportFile(const QString& path);
  // Opens the manual's window and returns it.
  QWidget* ShowHelpWindow();
  bool ExportPlotTo(const QString& path, QSize size = QSize());
  // Re-applies the 10 / 70 / 20 % pane widths to the window's width.
  void ApplyPaneWidths();
  // Enables the commands by the document's state and refreshes the title
  // and the status panes.
  void UpdateCommandState();

  void DocumentChanged(unsigned changes) override;

  // Window placement and toolbar layout in the settings store.
  void SaveWindowSettings();
  void RestoreWindowSettings();

 signals:
  // The report viewer opened on a report (tests look at it).
  void reportShown(QWidget* viewer);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBars();
  void CreateStatusBar();
  void UpdateRecentMenu();
  void ShowAbout();
  void Print();
  void PrintPreview();
  void PrintSetup();
  void ExportPlot();
  void PaintPlot(QPrinter* printer);
  QPrinter& Printer();
  // Runs one of the plot view's commands and refreshes the frame's actions.
  void ViewAction(ViewCommand command);
  QAction* MakeAction(const char* name, const QString& text, const QString& icon,
                      const QString& themeIcon = QString());
  QString FileDialogFolder() const;

  std::unique_ptr<COLMDoc> m_doc;
  CDocUndoStack* m_undo = nullptr;
  QSplitter* m_splitter = nullptr;
  CNavigationView* m_tree = nullptr;
  COLMView* m_view = nullptr;
  COLMViewLegend* m_legend = nullptr;
  QToolBar* m_standardBar = nullptr;
  QToolBar* m_dataBar = nullptr;
  QToolBar* m_drawingBar = nullptr;
  QMenu* m_recentMenu = nullptr;
  QLabel* m_dbState = nullptr;
  QLabel* m_coordinates = nullptr;
  std::unique_ptr<QPrinter> m_printer;
};

}  // namespace olm
