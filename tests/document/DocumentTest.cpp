// The document: one owner of the project's state, its operations, undo and
// redo, notifications and worker tasks.
#include "document/Document.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.hpp"
#include "engine/Database.hpp"
#include "plot/GraphicElements.hpp"

namespace olm {
namespace {

using test::CRecordingUi;
using test::CTempDir;

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Counts notices and remembers their change bits.
class CObserver : public IDocObserver {
 public:
  void DocumentChanged(unsigned changes) override { notices.push_back(changes); }
  std::vector<unsigned> notices;
};

// A document with the three sample tests imported (one step each), saved
// to a temporary folder.
class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& [name, headers] :
         {std::pair{"tensile_1.csv", 2}, {"tensile_2.dat", 2}, {"tensile_3.txt", 3}}) {
      CReadRawDataForm form;
      form.columns = 3;
      form.xColumn = 2;
      form.yColumn = 3;
      form.headerLines = headers;
      form.Browse(test::SourcePath(std::string("samples/") + name));
      ASSERT_TRUE(doc.Import(form)) << name;
    }
    ASSERT_TRUE(doc.SaveAs(dir.File("p.olm")));
    doc.AddObserver(&observer);
  }
  void TearDown() override { doc.RemoveObserver(&observer); }

  // Bytes of the project as saved now (to a side file, so the document's
  // path and mark stay).
  std::string Saved() {
    const std::string path = dir.File("copy.olm");
    EXPECT_TRUE(doc.SaveCopy(path));
    return ReadBytes(path);
  }

  CTempDir dir;
  CRecordingUi ui;
  COLMDoc doc;
  CObserver observer;
};

TEST_F(DocumentTest, NewProjectIsUntitledEmptyAndClean) {
  COLMDoc fresh;
  EXPECT_EQ(fresh.Title(), "Untitled");
  EXPECT_EQ(fresh.Database().GetReplicateCount(), 0);
  EXPECT_FALSE(fresh.IsModified());
  EXPECT_EQ(fresh.ReportPath(), "");
  EXPECT_EQ(doc.Title(), "p.olm");
  EXPECT_EQ(doc.ReportPath(), dir.File("p.out"));
  EXPECT_FALSE(doc.IsModified());

  doc.plotMode = 3;
  doc.New();
  EXPECT_EQ(doc.Title(), "Untitled");
  EXPECT_EQ(doc.Path(), "");
  EXPECT_EQ(doc.Database().GetReplicateCount(), 0);
  EXPECT_EQ(doc.plotMode, 0);
  EXPECT_FALSE(doc.CanUndo());
  EXPECT_EQ(observer.notices, std::vector<unsigned>{kChangeAll});
}

// Every operation: one notice with its change bits, the modified mark, one
// undo step whose undo brings back the saved bytes exactly and whose redo
// brings back the changed bytes exactly.
struct OperationCase {
  const char* name;
  unsigned changes;
  std::function<CDocResult(COLMDoc&)> run;
  // Brings the document to where the operation makes sense (then saved).
  std::function<void(COLMDoc&)> prepare = {};
};

CZoneControls Zone(double start, double end, int smooth, int points, int fit) {
  CZoneControls z;
  z.startX = start;
  z.endX = end;
  z.smoothIndex = smooth;
  z.points = points;
  z.fitIndex = fit;
  return z;
}

// One zone over every sample, median-smoothed and fitted by a line, analysed.
void Processed(COLMDoc& d) {
  ASSERT_TRUE(d.ApplyZonesToAll({Zone(0, 1, 1, 5, 1)}));
  ASSERT_TRUE(d.Analyse());
}

class DocumentOperations : public DocumentTest,
                           public ::testing::WithParamInterface<OperationCase> {};

TEST_P(DocumentOperations, MarkNotifyUndoRedoByteForByte) {
  const OperationCase& c = GetParam();
  if (c.prepare) {
    c.prepare(doc);
    ASSERT_TRUE(doc.Save());
    observer.notices.clear();
  }
  const std::string before = Saved();
  const size_t steps = doc.UndoIndex();

  ASSERT_TRUE(c.run(doc)) << ui.Last();
  EXPECT_TRUE(doc.IsModified());
  ASSERT_EQ(observer.notices.size(), 1u);
  EXPECT_EQ(observer.notices[0], c.changes | kChangeState);
  EXPECT_EQ(doc.UndoIndex(), steps + 1);
  const std::string after = Saved();
  EXPECT_TRUE(after != before) << "the operation changed nothing that is saved";

  ASSERT_TRUE(doc.Undo());
  EXPECT_TRUE(Saved() == before) << "undo did not restore the saved bytes";
  EXPECT_FALSE(doc.IsModified());
  ASSERT_TRUE(doc.Redo());
  EXPECT_TRUE(Saved() == after) << "redo did not restore the changed bytes";
  EXPECT_TRUE(doc.IsModified());
}

INSTANTIATE_TEST_SUITE_P(
    Each, DocumentOperations,
    ::testing::Values(
        OperationCase{
            "Zones", kChangeData,
            [](COLMDoc& d) {
              return d.ApplyZonesToAll({Zone(0, 0.0017, 0, 0, 1), Zone(0.0017, 0.2, 1, 5, 3)});
            }},
        OperationCase{"Analyse", kChangeData | kChangeSettings,
                      [](COLMDoc& d) { return d.Analyse(); },
                      [](COLMDoc& d) { d.ApplyZonesToAll({}); }},
        OperationCase{"Editor", kChangeData | kChangeSettings,
                      [](COLMDoc& d) { return d.EditorCommand("ds2_c4_raw = ds2_c3_raw * 2"); }},
        OperationCase{"DeleteCurve", kChangeData, [](COLMDoc& d) { return d.DeleteCurve(2); }},
        OperationCase{"Shift", kChangeData, [](COLMDoc& d) { return d.ShiftCurve(1, 0.5, 10); }},
        OperationCase{"BestFit", kChangeData | kChangeSettings,
                      [](COLMDoc& d) {
                        CBestFitForm form;
                        form.name = "Mean";
                        form.points = 50;
                        return d.BestFit(form);
                      },
                      Processed},
        OperationCase{"Settings", kChangeSettings,
                      [](COLMDoc& d) {
                        CPlotSettings s = d.PlotSettings();
                        s.graphTitle = "Tensile tests";
                        return d.SetPlotSettings(s);
                      }},
        OperationCase{"HideRaw", kChangeData | kChangeSettings,
                      [](COLMDoc& d) { return d.SetCurveShown(3, kCurveRaw, false); }},
        OperationCase{"HideFitted", kChangeData | kChangeSettings,
                      [](COLMDoc& d) { return d.SetCurveShown(1, kCurveFitted, false); },
                      Processed},
        OperationCase{"Resize", kChangeData | kChangeSettings,
                      [](COLMDoc& d) { return d.ResizePlots(); },
                      [](COLMDoc& d) {
                        // A zoom: the plot limits change without a step.
                        d.ModifyView(kChangeSettings, [](CReplicateDB& db, CGEList&) {
                          db.plotSettings.plotXMin = 0.01f;
                          return true;
                        });
                      }},
        OperationCase{"AddObject", kChangeObjects,
                      [](COLMDoc& d) {
                        auto line = std::make_unique<CSLine>();
                        line->SetEndPoints({{0.01, 100, 0}, {0.05, 300, 0}});
                        return d.AddObject(std::move(line));
                      }}),
    [](const ::testing::TestParamInfo<OperationCase>& info) { return info.param.name; });

TEST_F(DocumentTest, ReplacingAnObjectIsOneStepAndUndoRestoresIt) {
  auto line = std::make_unique<CSLine>();
  line->SetEndPoints({{0.01, 100, 0}, {0.05, 300, 0}});
  ASSERT_TRUE(doc.AddObject(std::move(line)));
  std::unique_ptr<CGraphicElement> moved = doc.Objects().At(0).Clone();
  moved->SetEndPoints({{0.02, 150, 0}, {0.06, 350, 0}});
  ASSERT_TRUE(doc.ReplaceObject(0, std::move(moved), "Move Object"));
  EXPECT_EQ(doc.UndoName(), "Move Object");
  EXPECT_EQ(doc.Objects().At(0).GetEndPoints()[0].x, 0.02);
  doc.Undo();
  EXPECT_EQ(doc.Objects().At(0).GetEndPoints()[0].x, 0.01);
  EXPECT_FALSE(doc.ReplaceObject(5, doc.Objects().At(0).Clone()));
}

TEST_F(DocumentTest, FailedOperationsLeaveTheDocumentAsItWasWithTheirCode) {
  const std::string before = Saved();
  // An analysis without zones fails validation: no step, no mark.
  doc.MutableDatabase().Replicate(1).zoneCount = 0;
  const std::string withoutZones = Saved();
  CDocResult r = doc.Analyse();
  EXPECT_FALSE(r);
  EXPECT_EQ(r.code, 2);  // "Zones are not defined."-style validation code
  EXPECT_EQ(Saved(), withoutZones);
  EXPECT_FALSE(doc.CanRedo());
  EXPECT_EQ(doc.UndoIndex(), 3u);
  doc.MutableDatabase().Replicate(1).zoneCount = 1;
  EXPECT_EQ(Saved(), before);

  // A bad editor expression reports and changes nothing; an out-of-range
  // replicate is refused without a step.
  ui.Clear();
  EXPECT_FALSE(doc.EditorCommand("ds1_c4_raw = nosuchname * 2"));
  EXPECT_FALSE(ui.messages.empty());
  EXPECT_FALSE(doc.DeleteCurve(9));
  EXPECT_FALSE(doc.SetCurveShown(1, 7, true));
  EXPECT_EQ(Saved(), before);
}

TEST_F(DocumentTest, FailedOpenLeavesEverythingAsItWas) {
  auto line = std::make_unique<CSLine>();
  line->SetEndPoints({{0.01, 100, 0}, {0.05, 300, 0}});
  doc.AddObject(std::move(line));
  const std::string before = Saved();
  const std::string path = doc.Path();
  const size_t steps = doc.UndoIndex();

  // A damaged file: the saved project cut short.
  const std::string whole = ReadBytes(path);
  std::ofstream(dir.File("cut.olm"), std::ios::binary) << whole.substr(0, whole.size() / 2);
  ui.Clear();
  EXPECT_FALSE(doc.Open(dir.File("cut.olm")));
  EXPECT_FALSE(doc.Open(dir.File("missing.olm")));
  EXPECT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(doc.Path(), path);
  EXPECT_EQ(doc.Title(), "p.olm");
  EXPECT_EQ(doc.Objects().GetCount(), 1);
  EXPECT_EQ(doc.UndoIndex(), steps);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(Saved(), before);
}

TEST_F(DocumentTest, OpenTakesTheFileAndStartsClean) {
  doc.ApplyZonesToAll({});
  doc.Analyse();
  ASSERT_TRUE(doc.SaveAs(dir.File("q.olm")));
  const std::string saved = ReadBytes(dir.File("q.olm"));
  COLMDoc other;
  ASSERT_TRUE(other.Open(dir.File("q.olm")));
  EXPECT_EQ(other.Title(), "q.olm");
  EXPECT_FALSE(other.IsModified());
  EXPECT_FALSE(other.CanUndo());
  EXPECT_TRUE(other.Database().IsLocked());
  EXPECT_EQ(other.Database().GetReplicateCount(), 3);
  ASSERT_TRUE(other.SaveAs(dir.File("r.olm")));
  EXPECT_EQ(ReadBytes(dir.File("r.olm")), saved);
}

TEST_F(DocumentTest, ModifiedMarkFollowsTheSavedStep) {
  doc.DeleteCurve(1);
  doc.DeleteCurve(2);
  EXPECT_TRUE(doc.IsModified());
  ASSERT_TRUE(doc.Save());
  EXPECT_FALSE(doc.IsModified());
  doc.Undo();
  EXPECT_TRUE(doc.IsModified());
  doc.Redo();
  EXPECT_FALSE(doc.IsModified());
  // A new step after undoing past the saved one can never be clean again.
  doc.Undo();
  doc.ShiftCurve(3, 1, 1);
  doc.Undo();
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(doc.RedoName(), "Move Curve");
  // The report command marks without a step.
  ASSERT_TRUE(doc.Save());
  doc.MarkModified();
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(doc.RedoName(), "Move Curve");
}

TEST_F(DocumentTest, UndoLimitDropsTheOldestSteps) {
  doc.SetUndoLimit(2);
  doc.ShiftCurve(1, 1, 0);
  doc.ShiftCurve(1, 1, 0);
  doc.ShiftCurve(1, 1, 0);
  EXPECT_EQ(doc.UndoCount(), 2u);
  EXPECT_TRUE(doc.Undo());
  EXPECT_TRUE(doc.Undo());
  EXPECT_FALSE(doc.Undo());
  // The saved state was dropped with the oldest steps: still modified.
  EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocumentTest, EditCommitsOneStepOrPutsEverythingBack) {
  const std::string before = Saved();
  ASSERT_TRUE(doc.BeginEdit("Process Data", kChangeData));
  EXPECT_FALSE(doc.BeginEdit("Another", kChangeData));
  doc.EditDatabase().Replicate(1).zoneCount = 2;
  doc.EditDatabase().Replicate(2).SetActive(false);
  EXPECT_FALSE(doc.Undo());  // no undo while a dialog edits
  doc.EndEdit(false);
  EXPECT_EQ(Saved(), before);
  EXPECT_FALSE(doc.IsModified());

  // Confirmed without a change: no step.
  ASSERT_TRUE(doc.BeginEdit("Process Data", kChangeData));
  doc.EndEdit(true);
  EXPECT_EQ(doc.UndoIndex(), 3u);
  EXPECT_FALSE(doc.IsModified());

  ASSERT_TRUE(doc.BeginEdit("Process Data", kChangeData));
  doc.EditDatabase().Replicate(2).SetActive(false);
  doc.EndEdit(true);
  EXPECT_EQ(doc.UndoName(), "Process Data");
  EXPECT_FALSE(doc.Database().Replicate(2).IsActive());
  doc.Undo();
  EXPECT_EQ(Saved(), before);
}

TEST_F(DocumentTest, UndoStepKeepsOnlyTheTouchedReplicate) {
  const size_t one = ReplicateBytes(doc.Database().Replicate(2));
  doc.ClearUndo();
  ASSERT_TRUE(doc.EditorCommand("ds2_c3_raw = ds2_c3_raw * 2"));
  // The step keeps replicate 2 as it was; replicates 1 and 3 are shared.
  const size_t kept = doc.UndoBytes();
  EXPECT_GE(kept, one);
  EXPECT_LT(kept, one + one / 2);
  EXPECT_EQ(&doc.Database().Replicate(1), &std::as_const(doc.Database()).Replicate(1));
}

TEST_F(DocumentTest, WithoutHistoryOperationsChangeTheReplicatesInPlace) {
  // The command-line tool's mode: no replicate is copied before it changes
  // (its raw storage stays where it was), no step is kept, the document is
  // modified and told so.
  doc.SetHistory(false);
  EXPECT_EQ(doc.UndoCount(), 0u);
  const double* raw = std::as_const(doc.Database()).Replicate(2).raw.Row(1);
  std::vector<CZoneControls> zones(1);
  zones[0].startX = 0.0;
  zones[0].endX = 0.21;
  zones[0].fitIndex = 1;  // linear
  ASSERT_TRUE(doc.ApplyZonesToAll(zones)) << ui.Last();
  ASSERT_TRUE(doc.Analyse()) << ui.Last();
  ASSERT_TRUE(doc.EditorCommand("ds2_c3_raw = ds2_c3_raw * 2"));
  EXPECT_EQ(std::as_const(doc.Database()).Replicate(2).raw.Row(1), raw);
  EXPECT_EQ(doc.UndoCount(), 0u);
  EXPECT_FALSE(doc.CanUndo());
  EXPECT_TRUE(doc.IsModified());
  EXPECT_TRUE(doc.Database().IsLocked());
  EXPECT_GE(observer.notices.size(), 3u);
  // A failed operation reports as before.
  EXPECT_FALSE(doc.EditorCommand("ds9_c1_raw = 1"));
}

// A task run on another thread, as the desktop program runs it.
CDocResult RunOnThread(COLMDoc& doc, std::unique_ptr<CDocTask> task, IProgress& progress) {
  std::thread worker([&] { task->Run(progress); });
  worker.join();
  return doc.Finish(*task, progress.IsCancelled());
}

class CCancelAfter : public IProgress {
 public:
  explicit CCancelAfter(int reports) : m_left(reports) {}
  void Report(double fraction, std::string_view message) override {
    fractions.push_back(fraction);
    --m_left;
  }
  bool IsCancelled() const override { return m_left <= 0; }
  std::vector<double> fractions;

 private:
  std::atomic<int> m_left;
};

TEST_F(DocumentTest, CancelledAnalysisOnAWorkerLeavesTheDatabase) {
  doc.ApplyZonesToAll({});
  const std::string before = Saved();
  const size_t steps = doc.UndoIndex();
  CCancelAfter cancel(2);
  CDocResult r = RunOnThread(doc, doc.PrepareAnalysis(), cancel);
  EXPECT_FALSE(r);
  EXPECT_EQ(Saved(), before);
  EXPECT_EQ(doc.UndoIndex(), steps);
  EXPECT_FALSE(doc.Database().IsLocked());

  CCancelAfter never(1000);
  ASSERT_TRUE(RunOnThread(doc, doc.PrepareAnalysis(), never));
  EXPECT_TRUE(doc.Database().IsLocked());
  EXPECT_EQ(doc.UndoName(), "Analyse");
  ASSERT_FALSE(never.fractions.empty());
  EXPECT_EQ(never.fractions.back(), 1.0);
  for (size_t i = 1; i < never.fractions.size(); ++i)
    EXPECT_GE(never.fractions[i], never.fractions[i - 1]);
}

TEST_F(DocumentTest, WorkerMessagesComeBackInOrderAndOpenNoWindow) {
  std::unique_ptr<CDocTask> task =
      doc.PrepareTask("Two notes", kChangeData, [](CReplicateDB&, CGEList&, IProgress&) {
        ShowMessage("first");
        ShowMessage("second", MessageKind::Error);
        return false;
      });
  CNoProgress progress;
  ui.Clear();
  CDocResult r = RunOnThread(doc, std::move(task), progress);
  EXPECT_FALSE(r);
  EXPECT_TRUE(ui.messages.empty());  // nothing reached the program's routine
  ASSERT_EQ(r.messages.size(), 2u);
  EXPECT_EQ(r.messages[0], (CCollectedMessage{MessageKind::Information, "first"}));
  EXPECT_EQ(r.messages[1], (CCollectedMessage{MessageKind::Error, "second"}));
}

TEST_F(DocumentTest, StaleTaskResultIsRefused) {
  doc.ApplyZonesToAll({});
  std::unique_ptr<CDocTask> task = doc.PrepareAnalysis();
  CNoProgress progress;
  task->Run(progress);
  doc.DeleteCurve(1);  // the document moved on while the task ran
  CDocResult r = doc.Finish(*task);
  EXPECT_FALSE(r);
  EXPECT_FALSE(doc.Database().IsLocked());
  EXPECT_EQ(doc.UndoName(), "Delete Curve");
}

TEST_F(DocumentTest, ReportNeedsASavedProjectAndMarksModified) {
  COLMDoc unsaved;
  std::string written = "x";
  EXPECT_FALSE(unsaved.WriteReport({}, "", &written));
  EXPECT_TRUE(ui.Saw("The project has not been processed; run the analysis first."));
  EXPECT_FALSE(unsaved.IsModified());
  unsaved.MutableDatabase().fittedFlag = 1;
  EXPECT_FALSE(unsaved.WriteReport({true, true, false, false, true, false}, "", &written));
  EXPECT_TRUE(ui.Saw("Save the project first."));
  EXPECT_EQ(written, "");

  doc.ApplyZonesToAll({});
  doc.Analyse();
  doc.Save();
  ASSERT_TRUE(doc.WriteReport({true, true, false, false, true, false}, "", &written));
  EXPECT_EQ(written, dir.File("p.out"));
  EXPECT_NE(ReadBytes(written).find("Zone"), std::string::npos);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_TRUE(doc.Database().GetReportFlag(2));
  EXPECT_FALSE(doc.Database().GetReportFlag(3));
}

}  // namespace
}  // namespace olm
