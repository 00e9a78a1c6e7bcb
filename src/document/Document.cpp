#include "document/Document.hpp"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

#include "editing/EditCommands.hpp"
#include "engine/EngineError.hpp"
#include "engine/Report.hpp"
#include "engine/Statistics.hpp"
#include "plot/CurveOperations.hpp"
#include "plot/Project.hpp"

namespace olm {

namespace {

// A step that keeps the state before and after its operation.  The
// database snapshots share every replicate the operation did not change;
// the objects are kept only when the operation changed them.
class CSnapshotCommand final : public CDocCommand {
 public:
  CSnapshotCommand(std::string name, unsigned changes, CDatabaseSnapshot before,
                   CDatabaseSnapshot after, std::unique_ptr<CGEList> objectsBefore,
                   std::unique_ptr<CGEList> objectsAfter)
      : CDocCommand(std::move(name), changes),
        m_before(std::move(before)),
        m_after(std::move(after)),
        m_objectsBefore(std::move(objectsBefore)),
        m_objectsAfter(std::move(objectsAfter)) {}

  void Undo(COLMDoc& doc) override { Apply(doc, m_before, m_objectsBefore); }
  void Redo(COLMDoc& doc) override { Apply(doc, m_after, m_objectsAfter); }

  size_t Bytes(const COLMDoc& doc) const override {
    // What the step keeps that the current state does not: the replicates
    // of either snapshot that the document no longer shares.
    const CDatabaseSnapshot now = doc.Database().Snapshot();
    return m_before.UnsharedBytes(now) + m_after.UnsharedBytes(now);
  }

 private:
  static void Apply(COLMDoc& doc, const CDatabaseSnapshot& state,
                    const std::unique_ptr<CGEList>& objects) {
    doc.MutableDatabase().Restore(state);
    if (objects) doc.MutableObjects() = objects->Clone();
  }

  CDatabaseSnapshot m_before, m_after;
  std::unique_ptr<CGEList> m_objectsBefore, m_objectsAfter;
};

constexpr size_t kNoClean = static_cast<size_t>(-1);

// Progress used where the caller gave none.
CNoProgress g_noProgress;

std::unique_ptr<CGEList> CloneIf(bool wanted, const CGEList& objects) {
  return wanted ? std::make_unique<CGEList>(objects.Clone()) : nullptr;
}

std::string FileName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

// ---------------------------------------------------------------- helpers

void ShowProcessedCurves(CReplicateDB& db) {
  // The extents are up to date after the analysis: only the curves shown
  // here are gathered into them.
  CExtents ext = db.Extents();
  const auto show = [&](int r, int kind) {
    if (db.plotSettings.IsShown(r, kind)) return;
    db.plotSettings.SetShown(r, kind, true);
    db.GatherExtents(ext, r, kind);
  };
  for (int r = 1; r <= db.GetReplicateCount(); ++r) {
    const CReplicate& rep = std::as_const(db).Replicate(r);
    if (rep.smoothed && rep.smoothedCount > 0) show(r, kCurveSmoothed);
    if (rep.fitted && rep.fitData.GetRows() > 0) show(r, kCurveFitted);
  }
  db.SetExtents(ext);
  db.RefreshPlotLimits(false);
}

bool ApplyZonesToAll(CReplicateDB& db, const std::vector<CZoneControls>& zones) {
  // Zones may touch but not overlap: their areas would be counted twice.
  for (size_t a = 0; a < zones.size(); ++a) {
    for (size_t b = a + 1; b < zones.size(); ++b) {
      const double lo = std::max(std::min(zones[a].startX, zones[a].endX),
                                 std::min(zones[b].startX, zones[b].endX));
      const double hi = std::min(std::max(zones[a].startX, zones[a].endX),
                                 std::max(zones[b].startX, zones[b].endX));
      if (hi - lo > 1e-6 * std::max({1.0, std::fabs(lo), std::fabs(hi)})) {
        ShowMessage(Format("Zones %zu and %zu overlap.", a + 1, b + 1), MessageKind::Error);
        return false;
      }
    }
  }
  for (const CZoneControls& zone : zones)
    if (!CZoneRules::Check(zone)) return false;
  for (int r = 1; r <= db.GetReplicateCount(); ++r) {
    CReplicate& rep = db.Replicate(r);
    if (zones.empty()) {
      CZoneControls whole;
      ColumnRange(rep.raw, rep.raw.GetRows(), rep.xColumn, whole.startX, whole.endX);
      rep.zoneCount = 1;
      CZoneRules::Store(whole, rep, 1);
      continue;
    }
    rep.zoneCount = static_cast<int>(zones.size());
    for (size_t z = 0; z < zones.size(); ++z) {
      CZoneRules::Store(zones[z], rep, static_cast<int>(z) + 1);
      // Stored as given: a batch command may combine outlier removal with a
      // robust smoother, which the dialog's enabling rule would switch off.
      rep.Zone(static_cast<int>(z) + 1).outliers.method = zones[z].outlierIndex;
    }
  }
  return true;
}

// ---------------------------------------------------------------- tasks

CDocTask::CDocTask(Kind kind, std::string name, unsigned changes, Work work)
    : m_kind(kind), m_name(std::move(name)), m_changes(changes), m_work(std::move(work)) {}

bool CDocTask::Run(IProgress& progress, bool collect) {
  CMessageCollector collector;
  std::unique_ptr<CScopedThreadUserInterface> scope;
  if (collect) scope = std::make_unique<CScopedThreadUserInterface>(collector);
  CEngineError::ClearLast();
  m_succeeded = false;
  try {
    m_succeeded = m_work(*m_db, m_objects, progress);
  } catch (const CCollectedFatal&) {
    m_succeeded = false;
  } catch (const std::bad_alloc&) {
    ShowMessage(Format("%s was stopped: there is not enough memory.", m_name.c_str()),
                MessageKind::Error);
    m_succeeded = false;
  }
  m_code = m_succeeded ? -1 : CEngineError::LastCode();
  scope.reset();
  m_messages = collector.Take();
  return m_succeeded;
}

// ---------------------------------------------------------------- document

struct COLMDoc::CEdit {
  std::string name;
  unsigned changes = 0;
  CDatabaseSnapshot before;
  std::unique_ptr<CGEList> objectsBefore;
};

COLMDoc::COLMDoc() : m_db(std::make_unique<CReplicateDB>()) {}

COLMDoc::~COLMDoc() = default;

std::string COLMDoc::Title() const {
  return m_path.empty() ? kUntitled : FileName(m_path);
}

void COLMDoc::MarkModified() {
  const bool was = IsModified();
  m_forcedModified = true;
  if (!was) Notify(kChangeState);
}

std::string COLMDoc::ReportPath() const {
  return olm::ReportPath(m_path);
}

void COLMDoc::AddObserver(IDocObserver* observer) {
  if (observer && std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
    m_observers.push_back(observer);
}

void COLMDoc::RemoveObserver(IDocObserver* observer) {
  m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer),
                    m_observers.end());
}

void COLMDoc::Notify(unsigned changes) {
  // A copy: an observer may remove itself while being told.
  const std::vector<IDocObserver*> observers = m_observers;
  for (IDocObserver* o : observers) o->DocumentChanged(changes);
}

void COLMDoc::ResetState() {
  ClearUndo();
  m_forcedModified = false;
  ++m_generation;
}

void COLMDoc::SetPath(const std::string& path) {
  m_path = path;
}

void COLMDoc::New() {
  if (m_edit) EndEdit(false);
  const CReplicateDB fresh;
  m_db->Restore(fresh.Snapshot());
  m_db->Clear(false);  // also forgets the calculator's variables
  m_objects = CGEList();
  m_path.clear();
  plotMode = 0;
  ResetState();
  Notify(kChangeAll);
}

// ---- open and save

std::unique_ptr<CDocTask> COLMDoc::PrepareOpen(const std::string& path) {
  auto task = std::unique_ptr<CDocTask>(
      new CDocTask(CDocTask::Kind::kOpen, "Open", kChangeAll,
                   [path](CReplicateDB& db, CGEList& objects, IProgress& progress) {
                     progress.Report(0.0, "Reading " + path);
                     CProject project;
                     if (!project.Open(path)) return false;
                     db.Restore(project.Database().Snapshot());
                     objects = std::move(project.Objects());
                     progress.Report(1.0, "Read " + path);
                     return true;
                   }));
  task->m_path = path;
  task->m_db = std::make_unique<CReplicateDB>();
  task->m_generation = m_generation;
  return task;
}

std::unique_ptr<CDocTask> COLMDoc::PrepareSave(const std::string& path) {
  auto task = std::unique_ptr<CDocTask>(
      new CDocTask(CDocTask::Kind::kSave, "Save", kChangeState,
                   [path](CReplicateDB& db, CGEList& objects, IProgress& progress) {
                     progress.Report(0.0, "Writing " + path);
                     const bool ok = SaveProjectFile(path, db, objects);
                     progress.Report(1.0, ok ? "Saved " + path : "Not saved");
                     return ok;
                   }));
  task->m_path = path;
  task->m_db = std::make_unique<CReplicateDB>();
  task->m_db->Restore(m_db->Snapshot());
  task->m_objects = m_objects.Clone();
  task->m_generation = m_generation;
  return task;
}

CDocResult COLMDoc::RunTaskHere(std::unique_ptr<CDocTask> task, IProgress* progress) {
  if (!m_history && task->m_kind == CDocTask::Kind::kModify && !m_edit) {
    // In place: the task works on the document's own database.
    task->m_db = std::move(m_db);
    task->Run(progress ? *progress : g_noProgress, /*collect=*/false);
    m_db = std::move(task->m_db);
    const bool ok = task->m_succeeded && !(progress && progress->IsCancelled());
    if (ok && (task->m_changes & kChangeObjects)) m_objects = std::move(task->m_objects);
    CDocResult result = Changed(task->m_changes, ok);
    result.messages = task->m_messages;
    result.code = task->m_code;
    return result;
  }
  task->Run(progress ? *progress : g_noProgress, /*collect=*/false);
  return Finish(*task, progress && progress->IsCancelled());
}

CDocResult COLMDoc::Open(const std::string& path, IProgress* progress) {
  return RunTaskHere(PrepareOpen(path), progress);
}

CDocResult COLMDoc::Save(IProgress* progress) {
  if (m_path.empty()) return {};
  return SaveAs(m_path, progress);
}

CDocResult COLMDoc::SaveAs(const std::string& path, IProgress* progress) {
  return RunTaskHere(PrepareSave(path), progress);
}

CDocResult COLMDoc::SaveCopy(const std::string& path, IProgress*) const {
  CReplicateDB copy;
  copy.Restore(m_db->Snapshot());
  CDocResult result;
  CEngineError::ClearLast();
  result.ok = SaveProjectFile(path, copy, m_objects);
  if (!result.ok) result.code = CEngineError::LastCode();
  return result;
}

// ---- tasks

std::unique_ptr<CDocTask> COLMDoc::PrepareTask(const std::string& name, unsigned changes,
                                               CDocTask::Work work) {
  auto task = std::unique_ptr<CDocTask>(
      new CDocTask(CDocTask::Kind::kModify, name, changes, std::move(work)));
  task->m_db = std::make_unique<CReplicateDB>();
  task->m_db->Restore(m_db->Snapshot());
  if (changes & kChangeObjects) task->m_objects = m_objects.Clone();
  task->m_generation = m_generation;
  return task;
}

std::unique_ptr<CDocTask> COLMDoc::PrepareAnalysis() {
  return PrepareTask("Analyse", kChangeData | kChangeSettings,
                     [](CReplicateDB& db, CGEList&, IProgress& progress) {
                       if (!db.Process(&progress)) return false;
                       ShowProcessedCurves(db);
                       return true;
                     });
}

std::unique_ptr<CDocTask> COLMDoc::PrepareImport(CReadRawDataForm form) {
  return PrepareTask(
      "Read Raw Data", kChangeData | kChangeSettings,
      [form](CReplicateDB& db, CGEList&, IProgress&) mutable { return form.Apply(db); });
}

CDocResult COLMDoc::Finish(CDocTask& task, bool cancelled) {
  CDocResult result;
  result.messages = task.m_messages;
  result.code = task.m_code;
  if (cancelled || !task.m_succeeded || !task.m_db) return result;
  if (task.m_generation != m_generation || m_edit) {
    // The document changed while the task ran: its copy is stale.
    result.messages.push_back({MessageKind::Error, "The document changed while \"" + task.m_name +
                                                       "\" ran; its result was not taken."});
    return result;
  }
  result.ok = true;
  switch (task.m_kind) {
    case CDocTask::Kind::kOpen:
      m_db->Restore(task.m_db->Snapshot());
      m_db->Evaluator().ClearVariables();
      m_objects = std::move(task.m_objects);
      m_path = task.m_path;
      plotMode = 0;
      ResetState();
      Notify(kChangeAll);
      break;
    case CDocTask::Kind::kSave:
      m_path = task.m_path;
      m_cleanIndex = m_undoIndex;
      m_forcedModified = false;
      Notify(kChangeState);
      break;
    case CDocTask::Kind::kModify: {
      const bool objects = (task.m_changes & kChangeObjects) != 0;
      auto command = std::make_unique<CSnapshotCommand>(
          task.m_name, task.m_changes, m_db->Snapshot(), task.m_db->Snapshot(),
          CloneIf(objects, m_objects), CloneIf(objects, task.m_objects));
      m_db->Restore(task.m_db->Snapshot());
      if (objects) m_objects = std::move(task.m_objects);
      task.m_db.reset();  // the document alone holds the new replicates
      Push(std::move(command), true);
      break;
    }
  }
  return result;
}

// ---- generic operations

CDocResult COLMDoc::Push(std::unique_ptr<CDocCommand> command, bool ok) {
  const unsigned changes = command->Changes();
  m_undo.resize(m_undoIndex);  // drops the steps that were undone
  if (m_cleanIndex > m_undoIndex && m_cleanIndex != kNoClean) m_cleanIndex = kNoClean;
  m_undo.push_back(std::move(command));
  ++m_undoIndex;
  while (m_undoLimit > 0 && m_undo.size() > static_cast<size_t>(m_undoLimit)) {
    m_undo.erase(m_undo.begin());
    --m_undoIndex;
    if (m_cleanIndex != kNoClean) m_cleanIndex = m_cleanIndex == 0 ? kNoClean : m_cleanIndex - 1;
  }
  ++m_generation;
  Notify(changes | kChangeState);
  CDocResult result;
  result.ok = ok;
  if (!ok) result.code = CEngineError::LastCode();
  return result;
}

namespace {
// Runs a change; running out of memory is reported and ends it (false, and
// *outOfMemory set).
bool RunChange(const std::string& name, const COLMDoc::Change& fn, CReplicateDB& db,
               CGEList& objects, bool* outOfMemory) {
  CEngineError::ClearLast();
  try {
    return fn(db, objects);
  } catch (const std::bad_alloc&) {
    ShowMessage(Format("%s was stopped: there is not enough memory.", name.c_str()),
                MessageKind::Error);
    *outOfMemory = true;
    return false;
  }
}
}  // namespace

CDocResult COLMDoc::Modify(const std::string& name, unsigned changes, const Change& fn,
                           bool keepOnFailure) {
  if (m_edit) return {};
  bool outOfMemory = false;
  if (!m_history) return Changed(changes, RunChange(name, fn, *m_db, m_objects, &outOfMemory));
  const bool objects = (changes & kChangeObjects) != 0;
  CDatabaseSnapshot before = m_db->Snapshot();
  std::unique_ptr<CGEList> objectsBefore = CloneIf(objects, m_objects);
  const bool ok = RunChange(name, fn, *m_db, m_objects, &outOfMemory);
  if (outOfMemory) keepOnFailure = false;
  if (!ok && !keepOnFailure) {
    const int code = CEngineError::LastCode();
    m_db->Restore(before);
    if (objectsBefore) m_objects = std::move(*objectsBefore);
    CDocResult result;
    result.code = code;
    return result;
  }
  auto command =
      std::make_unique<CSnapshotCommand>(name, changes, std::move(before), m_db->Snapshot(),
                                         std::move(objectsBefore), CloneIf(objects, m_objects));
  return Push(std::move(command), ok);
}

void COLMDoc::ModifyView(unsigned changes, const Change& fn) {
  if (fn(*m_db, m_objects)) Notify(changes);
}

bool COLMDoc::BeginEdit(const std::string& name, unsigned changes) {
  if (m_edit) return false;
  m_edit = std::make_unique<CEdit>();
  m_edit->name = name;
  m_edit->changes = changes;
  m_edit->before = m_db->Snapshot();
  m_edit->objectsBefore = CloneIf((changes & kChangeObjects) != 0, m_objects);
  return true;
}

CReplicateDB& COLMDoc::EditDatabase() {
  return *m_db;
}
CGEList& COLMDoc::EditObjects() {
  return m_objects;
}

void COLMDoc::NotifyEdit(unsigned changes) {
  Notify(changes);
}

void COLMDoc::EndEdit(bool commit) {
  if (!m_edit) return;
  std::unique_ptr<CEdit> edit = std::move(m_edit);
  if (!commit) {
    m_db->Restore(edit->before);
    if (edit->objectsBefore) m_objects = std::move(*edit->objectsBefore);
    Notify(edit->changes);
    return;
  }
  const bool objects = edit->objectsBefore != nullptr;
  CDatabaseSnapshot now = m_db->Snapshot();
  // A dialog confirmed without changing anything makes no step.
  if (!objects && now.SameAs(edit->before)) return;
  auto command = std::make_unique<CSnapshotCommand>(
      edit->name, edit->changes, std::move(edit->before), std::move(now),
      std::move(edit->objectsBefore), CloneIf(objects, m_objects));
  Push(std::move(command), true);
}

// ---- typed operations

CDocResult COLMDoc::Import(CReadRawDataForm& form) {
  return Modify("Read Raw Data", kChangeData | kChangeSettings,
                [&form](CReplicateDB& db, CGEList&) { return form.Apply(db); });
}

CDocResult COLMDoc::ApplyZonesToAll(const std::vector<CZoneControls>& zones) {
  return Modify("Set Zones", kChangeData, [&zones](CReplicateDB& db, CGEList&) {
    if (!olm::ApplyZonesToAll(db, zones)) return false;
    // Results that go with the cleared flags leave the extents; raw data
    // alone (nothing processed yet) keep theirs.
    const bool processed = db.IsSmoothed() || db.IsLocked();
    db.ClearProcessed();
    if (processed) db.ComputeExtents(true);
    return true;
  });
}

CDocResult COLMDoc::Analyse(IProgress* progress) {
  return RunTaskHere(PrepareAnalysis(), progress);
}

CDocResult COLMDoc::EditorCommand(std::string_view command) {
  std::string text(command);
  return Modify(
      "Edit Data", kChangeData | kChangeSettings,
      [&text](CReplicateDB& db, CGEList&) {
        bool ok;
        {
          CRawDataEditor editor(db);
          ok = editor.Apply(text);
        }
        CRawDataEditor::UpdateDocument(db);
        return ok;
      },
      /*keepOnFailure=*/true);
}

CDocResult COLMDoc::DeleteCurve(int replicate) {
  if (replicate < 1 || replicate > m_db->GetReplicateCount()) return {};
  return Modify("Delete Curve", kChangeData, [replicate](CReplicateDB& db, CGEList&) {
    db.Replicate(replicate).SetActive(false);
    db.ComputeExtents(true);
    db.RefreshPlotLimits(false);
    return true;
  });
}

CDocResult COLMDoc::ShiftCurve(int replicate, double dx, double dy) {
  if (replicate < 1 || replicate > m_db->GetReplicateCount()) return {};
  return Modify("Move Curve", kChangeData, [=](CReplicateDB& db, CGEList&) {
    ShiftRawCurve(db, replicate, dx, dy);
    db.smoothedFlag = 0;
    db.fittedFlag = 0;
    db.ComputeExtents(true);
    db.RefreshPlotLimits(false);
    return true;
  });
}

CDocResult COLMDoc::BestFit(const CBestFitForm& form) {
  return Modify("Best Fit", kChangeData | kChangeSettings,
                [&form](CReplicateDB& db, CGEList&) { return form.Proceed(db); });
}

CDocResult COLMDoc::SetPlotSettings(const CPlotSettings& settings) {
  return Modify("Graph Settings", kChangeSettings, [&settings](CReplicateDB& db, CGEList&) {
    db.plotSettings = settings;
    return true;
  });
}

CDocResult COLMDoc::SetCurveShown(int replicate, int kind, bool shown) {
  if (replicate < 1 || replicate > m_db->GetReplicateCount() || kind < kCurveRaw ||
      kind > kCurveFitted)
    return {};
  static const char* const kNames[] = {"Show Raw Curve", "Show Smoothed Curve",
                                       "Show Fitted Curve"};
  static const char* const kHideNames[] = {"Hide Raw Curve", "Hide Smoothed Curve",
                                           "Hide Fitted Curve"};
  return Modify(shown ? kNames[kind] : kHideNames[kind], kChangeData | kChangeSettings,
                [=](CReplicateDB& db, CGEList&) {
                  db.plotSettings.SetShown(replicate, kind, shown);
                  db.ComputeExtents(true);
                  db.RefreshPlotLimits(false);
                  return true;
                });
}

CDocResult COLMDoc::ResizePlots() {
  return Modify("Resize the Plots", kChangeData | kChangeSettings, [](CReplicateDB& db, CGEList&) {
    db.ComputeExtents(true);
    db.RefreshPlotLimits(true);
    return true;
  });
}

CDocResult COLMDoc::WriteReport(const std::array<bool, 6>& flags, const std::string& output,
                                std::string* written) {
  CDocResult result;
  if (written) written->clear();
  if (!m_db->IsLocked()) {
    ShowMessage("The project has not been processed; run the analysis first.", MessageKind::Error);
    return result;
  }
  CEngineError::ClearLast();
  // The report reads the database; only the flags it stores change, which
  // the modified mark covers (no undo step).
  // The report never replaces the project it reports.
  std::vector<std::string> inputs;
  if (!m_path.empty()) inputs.push_back(m_path);
  const std::string path = output.empty() ? CreateReport(*m_db, m_path, flags, inputs)
                                          : ReplaceReport(*m_db, output, flags, inputs);
  if (written) *written = path;
  result.ok = !path.empty();
  if (!result.ok) result.code = CEngineError::LastCode();
  MarkModified();
  return result;
}

CDocResult COLMDoc::AddObject(std::unique_ptr<CGraphicElement> object) {
  if (!object) return {};
  auto shared = std::make_shared<std::unique_ptr<CGraphicElement>>(std::move(object));
  return Modify("Add Object", kChangeObjects, [shared](CReplicateDB&, CGEList& objects) {
    objects.Add(std::move(*shared));
    return true;
  });
}

CDocResult COLMDoc::ReplaceObject(int index, std::unique_ptr<CGraphicElement> object,
                                  const std::string& name) {
  if (!object || index < 0 || index >= m_objects.GetCount()) return {};
  auto shared = std::make_shared<std::unique_ptr<CGraphicElement>>(std::move(object));
  return Modify(name, kChangeObjects, [shared, index](CReplicateDB&, CGEList& objects) {
    return objects.Replace(index, std::move(*shared));
  });
}

// ---- undo

std::string COLMDoc::UndoName() const {
  return CanUndo() ? m_undo[m_undoIndex - 1]->Name() : "";
}

std::string COLMDoc::RedoName() const {
  return CanRedo() ? m_undo[m_undoIndex]->Name() : "";
}

bool COLMDoc::Undo() {
  if (!CanUndo() || m_edit) return false;
  CDocCommand& command = *m_undo[--m_undoIndex];
  command.Undo(*this);
  ++m_generation;
  Notify(command.Changes() | kChangeState);
  return true;
}

bool COLMDoc::Redo() {
  if (!CanRedo() || m_edit) return false;
  CDocCommand& command = *m_undo[m_undoIndex++];
  command.Redo(*this);
  ++m_generation;
  Notify(command.Changes() | kChangeState);
  return true;
}

std::vector<std::string> COLMDoc::UndoNames() const {
  std::vector<std::string> names;
  for (const auto& c : m_undo) names.push_back(c->Name());
  return names;
}

size_t COLMDoc::UndoBytes() const {
  size_t bytes = 0;
  for (const auto& c : m_undo) bytes += c->Bytes(*this);
  return bytes;
}

void COLMDoc::SetUndoLimit(int steps) {
  m_undoLimit = steps;
}

void COLMDoc::SetHistory(bool keep) {
  m_history = keep;
  if (!keep) ClearUndo();
}

CDocResult COLMDoc::Changed(unsigned changes, bool ok) {
  // A change without history: the document is modified from now on.
  ++m_generation;
  if (ok) m_forcedModified = true;
  Notify(changes | kChangeState);
  CDocResult result;
  result.ok = ok;
  if (!ok) result.code = CEngineError::LastCode();
  return result;
}

void COLMDoc::ClearUndo() {
  // The modified mark survives losing the steps.
  if (IsModified()) m_forcedModified = true;
  m_undo.clear();
  m_undoIndex = 0;
  m_cleanIndex = 0;
}

}  // namespace olm
