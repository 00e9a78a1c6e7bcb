#pragma once
// COLMDoc: the one owner of a project's state, free of any toolkit.
//
// The document owns the database (with its plot settings), the annotation
// objects, the project path and title, the modified mark and the undo stack.
// Every change goes through it as one operation: the operation runs, the
// document recomputes the extents and plot limits where the program's rules
// say so, pushes one undo step, marks itself modified and tells its
// observers once what changed.  The desktop program and `olm` both drive it.
//
// Undo keeps snapshots (CDatabaseSnapshot): the replicates an operation did
// not touch are shared between steps, so a step costs about one copy of the
// replicates it changed.  Undoing brings back exactly the state before, so a
// project saved after an undo is byte-identical to the one saved before the
// undone operation.
//
// Long work (analysis, import, open, save) can run on a worker thread as a
// CDocTask: the task works on its own copy of the state (sharing the
// replicates until it changes them), collects the messages it raises, and
// the document takes its result on the calling thread only when it
// completed; a cancelled or failed task leaves the document as it was.
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editing/ReadRawDataForm.hpp"
#include "editing/ZoneRules.hpp"
#include "engine/BestFit.hpp"
#include "engine/Database.hpp"
#include "numerics/Progress.hpp"
#include "numerics/UserInterface.hpp"
#include "plot/GraphicList.hpp"

namespace olm {

class COLMDoc;

// What an operation changed: the bits of an observer's notice.
enum DocChange : unsigned {
  kChangeData = 1u << 0,      // replicates, zones, results, extents, plot limits
  kChangeSettings = 1u << 1,  // the plot settings record
  kChangeObjects = 1u << 2,   // the annotation objects (or their selection)
  kChangeState = 1u << 3,     // path, title, modified mark, undo and redo
  kChangeMarks = 1u << 4,     // marks views draw over the data (zone borders); nothing stored
  kChangeAll = kChangeData | kChangeSettings | kChangeObjects | kChangeState | kChangeMarks,
};

class IDocObserver {
 public:
  virtual ~IDocObserver() = default;
  // Called once per operation, on the thread that ran it, after the change.
  virtual void DocumentChanged(unsigned changes) = 0;
};

// The outcome of an operation: success, and for a failure the engine's
// error code (-1 when the failure was not an engine error) and the messages
// it raised (filled for tasks, whose messages are collected).
struct CDocResult {
  bool ok = false;
  int code = -1;
  std::vector<CCollectedMessage> messages;
  explicit operator bool() const { return ok; }
};

// One undoable step.
class CDocCommand {
 public:
  CDocCommand(std::string name, unsigned changes) : m_name(std::move(name)), m_changes(changes) {}
  virtual ~CDocCommand() = default;
  const std::string& Name() const { return m_name; }
  unsigned Changes() const { return m_changes; }
  virtual void Undo(COLMDoc& doc) = 0;
  virtual void Redo(COLMDoc& doc) = 0;
  // Bytes of memory the step keeps beside the document's current state.
  virtual size_t Bytes(const COLMDoc& doc) const = 0;

 private:
  std::string m_name;
  unsigned m_changes;
};

// Long work on a copy of the document's state.  Prepared by the document on
// its thread; Run() may be called on any thread; COLMDoc::Finish() takes the
// result back on the document's thread.
class CDocTask {
 public:
  using Work = std::function<bool(CReplicateDB& db, CGEList& objects, IProgress& progress)>;

  // Runs the work.  With collect, every message is collected (for a worker
  // thread; shown later by the caller), otherwise messages go to the
  // program's message routine as they come.  True on success.
  bool Run(IProgress& progress, bool collect = true);

  const std::string& Name() const { return m_name; }
  bool Succeeded() const { return m_succeeded; }
  // Collected messages, in the order they were raised.
  const std::vector<CCollectedMessage>& Messages() const { return m_messages; }

 private:
  friend class COLMDoc;
  enum class Kind { kModify, kOpen, kSave };

  CDocTask(Kind kind, std::string name, unsigned changes, Work work);

  Kind m_kind;
  std::string m_name;
  unsigned m_changes;
  Work m_work;
  std::string m_path;  // open and save
  unsigned long long m_generation = 0;
  std::unique_ptr<CReplicateDB> m_db;
  CGEList m_objects;
  bool m_succeeded = false;
  int m_code = -1;
  std::vector<CCollectedMessage> m_messages;
};

class COLMDoc {
 public:
  static constexpr const char* kUntitled = "Untitled";
  static constexpr int kDefaultUndoLimit = 100;

  COLMDoc();
  ~COLMDoc();
  COLMDoc(const COLMDoc&) = delete;
  COLMDoc& operator=(const COLMDoc&) = delete;

  // ---- State (read only; change it through the operations below).
  const CReplicateDB& Database() const { return *m_db; }
  const CGEList& Objects() const { return m_objects; }
  const CPlotSettings& PlotSettings() const { return m_db->plotSettings; }
  // The project file's path; empty for a project never saved.
  const std::string& Path() const { return m_path; }
  // The file name of the path without its folder, or "Untitled".
  std::string Title() const;
  bool IsModified() const { return m_forcedModified || m_undoIndex != m_cleanIndex; }
  // Marks the document modified without an undo step (the report command).
  void MarkModified();
  // The report's path: the project path with ".out" for its extension;
  // empty for a project never saved.
  std::string ReportPath() const;

  // Plot mode (reset to 0 by New) and the three style integers.
  int plotMode = 0;
  std::array<int, 3> styles = {1, 2, 2};

  // ---- Observers (not owned; remove before destroying them).
  void AddObserver(IDocObserver* observer);
  void RemoveObserver(IDocObserver* observer);

  // ---- Life cycle.
  // A new, empty project: no replicates, "Untitled", no objects, no path,
  // plot mode 0, an empty undo stack, not modified.
  void New();
  // Opens a project file.  On failure the reason has been shown and the
  // document is exactly as it was.
  CDocResult Open(const std::string& path, IProgress* progress = nullptr);
  // Saves to the document's path (false without one) or to a new path,
  // which becomes the document's.  A failed save keeps the previous file and
  // the document's path and modified mark.
  CDocResult Save(IProgress* progress = nullptr);
  CDocResult SaveAs(const std::string& path, IProgress* progress = nullptr);
  // Writes a copy to path; the document's path and mark stay.
  CDocResult SaveCopy(const std::string& path, IProgress* progress = nullptr) const;

  // ---- Operations.  Each is one undo step named as given.
  // "Read raw data": the import form's "Apply" (checks, import, curve shown,
  // extents and plot limits, its message).
  CDocResult Import(CReadRawDataForm& form);
  // Applies zone settings to every replicate (as `olm reduce --zone` does;
  // one zone over the whole x range without any), unprocessed.
  CDocResult ApplyZonesToAll(const std::vector<CZoneControls>& zones);
  // "Analyze": the analysis of every active replicate; afterwards the
  // smoothed and fitted curves of processed replicates are shown and the
  // extents and plot limits refreshed.  A failed or cancelled analysis
  // leaves the document as it was.
  CDocResult Analyse(IProgress* progress = nullptr);
  // One raw-data editor command ("ds1_c3_raw = ...", "deleterep, 2", ...).
  // Changes made before a failure are kept (as one step), as the editor
  // does.  The extents and plot limits are refreshed afterwards.
  CDocResult EditorCommand(std::string_view command);
  // "Delete Curve": replicate r leaves processing.
  CDocResult DeleteCurve(int replicate);
  // Adds dx and dy to every raw point of a replicate (the move-curve drag
  // and the "Move Curve" dialog); the smoothed and fitted flags are cleared.
  CDocResult ShiftCurve(int replicate, double dx, double dy);
  // "Best fit plot" after "Proceed".
  CDocResult BestFit(const CBestFitForm& form);
  // The graph settings sheet's OK: the edited copy replaces the record.
  CDocResult SetPlotSettings(const CPlotSettings& settings);
  // A display switch of a replicate's curve (kind 0 raw, 1 smoothed, 2
  // fitted); extents and plot limits follow.
  CDocResult SetCurveShown(int replicate, int kind, bool shown);
  // "Resize the plots": extents recomputed, plot limits forced to them.
  CDocResult ResizePlots();
  // The report of a processed project: the six flags are stored and the
  // report written to `output`, or without one to ReportPath() ("Save the
  // project first." for a project never saved); an old report there is
  // replaced.  Refused with a message before the analysis.  Marks the
  // document modified (the flags are part of it; no undo step).  The path
  // written is returned in `written`.
  CDocResult WriteReport(const std::array<bool, 6>& flags, const std::string& output = "",
                         std::string* written = nullptr);

  // Annotation objects.
  CDocResult AddObject(std::unique_ptr<CGraphicElement> object);
  // Replaces object `index` (0-based, insertion order) with a changed copy.
  CDocResult ReplaceObject(int index, std::unique_ptr<CGraphicElement> object,
                           const std::string& name = "Change Object");

  // ---- Generic operations for dialogs and views built on the rule classes.
  // Runs fn on the database and objects as one undo step named `name`.  fn
  // returns success; on failure the state is put back unless keepOnFailure
  // (then whatever fn changed is kept as the step).  Only the parts named
  // in `changes` are snapshotted for objects (kChangeObjects); the database
  // is always snapshotted (cheap: replicates are shared).
  using Change = std::function<bool(CReplicateDB& db, CGEList& objects)>;
  CDocResult Modify(const std::string& name, unsigned changes, const Change& fn,
                    bool keepOnFailure = false);
  // A change that is not undone and does not mark the document modified
  // (zooming, selection of objects); observers are told.
  void ModifyView(unsigned changes, const Change& fn);

  // A dialog that works on the document in place until the user confirms:
  // Begin takes the state, the dialog changes it through Database(), End
  // with commit true makes it one undo step (when anything changed), with
  // false puts the state back.  Begin while another edit is open fails.
  // An edit confirmed without a change of the database makes no step.
  bool BeginEdit(const std::string& name, unsigned changes);
  CReplicateDB& EditDatabase();  // only between BeginEdit and EndEdit
  CGEList& EditObjects();
  bool IsEditing() const { return m_edit != nullptr; }
  // Tells observers of changes made during the edit, before it ends.
  void NotifyEdit(unsigned changes);
  void EndEdit(bool commit);

  // ---- Tasks for worker threads.
  std::unique_ptr<CDocTask> PrepareTask(const std::string& name, unsigned changes,
                                        CDocTask::Work work);
  std::unique_ptr<CDocTask> PrepareAnalysis();
  // The import of one file with the form's settings, for a worker thread.
  std::unique_ptr<CDocTask> PrepareImport(CReadRawDataForm form);
  std::unique_ptr<CDocTask> PrepareOpen(const std::string& path);
  std::unique_ptr<CDocTask> PrepareSave(const std::string& path);
  // Takes the result of a task that ran: on success (and unless cancelled)
  // the document takes it as one undo step (open: the new project; save:
  // the new path and clean mark).  A task prepared before the document
  // changed otherwise is refused.  The task's messages are in the result.
  CDocResult Finish(CDocTask& task, bool cancelled = false);

  // ---- Undo and redo.
  bool CanUndo() const { return m_undoIndex > 0; }
  bool CanRedo() const { return m_undoIndex < m_undo.size(); }
  std::string UndoName() const;
  std::string RedoName() const;
  bool Undo();
  bool Redo();
  // Steps done (the undo index) and held.
  size_t UndoIndex() const { return m_undoIndex; }
  size_t UndoCount() const { return m_undo.size(); }
  // Names of the steps held, oldest first.
  std::vector<std::string> UndoNames() const;
  // Memory the held steps keep beside the current state.
  size_t UndoBytes() const;
  void SetUndoLimit(int steps);
  void ClearUndo();
  // Without history (the command-line tool, which saves only after every
  // operation succeeded): operations and tasks run here change the database
  // in place, keep no state from before and push no step, so that changing
  // a replicate does not copy it first.  A failed operation may then leave
  // the document partly changed.  Clears the undo stack.
  void SetHistory(bool keep);

  // For the undo steps themselves.
  CReplicateDB& MutableDatabase() { return *m_db; }
  CGEList& MutableObjects() { return m_objects; }
  void Notify(unsigned changes);

 private:
  CDocResult Push(std::unique_ptr<CDocCommand> command, bool ok);
  // After an operation without history: generation, modified mark, notice.
  CDocResult Changed(unsigned changes, bool ok);
  void SetPath(const std::string& path);
  void ResetState();
  CDocResult RunTaskHere(std::unique_ptr<CDocTask> task, IProgress* progress);

  std::unique_ptr<CReplicateDB> m_db;
  CGEList m_objects;
  std::string m_path;
  std::vector<IDocObserver*> m_observers;
  std::vector<std::unique_ptr<CDocCommand>> m_undo;
  size_t m_undoIndex = 0;
  // The undo index of the saved state; npos when no state is clean.
  size_t m_cleanIndex = 0;
  bool m_forcedModified = false;
  int m_undoLimit = kDefaultUndoLimit;
  bool m_history = true;
  unsigned long long m_generation = 0;  // counts changes, to refuse stale tasks

  struct CEdit;
  std::unique_ptr<CEdit> m_edit;
};

// After an analysis (whose extents are current): the smoothed and fitted
// curves of every processed replicate are shown.
void ShowProcessedCurves(CReplicateDB& db);

// Applies zone settings to every replicate: each is checked like the zone
// dialog's "Update" and stored as given; without any, each replicate gets
// one zone over its whole x range.  Processed results are cleared.
bool ApplyZonesToAll(CReplicateDB& db, const std::vector<CZoneControls>& zones);

}  // namespace olm
