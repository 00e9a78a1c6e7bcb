// The raw-data editor's command language.
#include "editing/EditCommands.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ByteBuilder.hpp"
#include "TestSupport.hpp"
#include "engine/ProjectFile.hpp"

namespace olm::test {
namespace {

using Columns = std::vector<std::vector<double>>;
using Values = std::vector<double>;
using Strings = std::vector<std::string>;

// Adds a replicate whose raw data are the given columns (x column 1, y 2),
// headings "h<r>_<c>" and units "u<r>_<c>".
void AddReplicate(CReplicateDB& db, const std::string& title, const Columns& columns) {
  const int r = db.AddReplicate();
  CReplicate& rep = db.Replicate(r);
  rep.SetTitle(title);
  const int cols = static_cast<int>(columns.size()), rows = static_cast<int>(columns[0].size());
  rep.columnCount = cols;
  rep.pointCount = rows;
  rep.ResizeColumnTexts(cols);
  rep.raw.SetSize(rows, cols);
  for (int j = 1; j <= cols; ++j) {
    rep.headings(j) = Format("h%d_%d", r, j);
    rep.units(j) = Format("u%d_%d", r, j);
    for (int i = 1; i <= rows; ++i) rep.raw(i, j) = columns[j - 1][i - 1];
  }
  rep.SetXYColumns(1, 2);
  db.plotSettings.SetShown(r, kCurveRaw, true);
}

Values Column(const CReplicate& rep, int c) {
  Values v;
  for (int i = 1; i <= rep.raw.GetRows(); ++i) v.push_back(rep.raw(i, c));
  return v;
}

// Three replicates: A and B with 4 points, C with 3.
class EditorTest : public ::testing::Test {
 protected:
  EditorTest() {
    AddReplicate(db, "A", {{1, 2, 3, 4}, {3, 5, -1, 3}});
    AddReplicate(db, "B", {{10, 20, 30, 40}, {0, 7, 0, -2}});
    AddReplicate(db, "C", {{1, 2, 3}, {4, 5, 6}});
  }
  // Applies a command expecting failure with exactly one message.
  void ExpectRefused(const std::string& command, const std::string& message) {
    ui.Clear();
    EXPECT_FALSE(editor.Apply(command)) << command;
    EXPECT_EQ(ui.Texts(), Strings{message}) << command;
  }
  void ExpectApplied(const std::string& command) {
    ui.Clear();
    EXPECT_TRUE(editor.Apply(command)) << command << ": " << ui.Last();
  }
  Values Col(int r, int c) const { return Column(db.Replicate(r), c); }

  CRecordingUi ui;
  CReplicateDB db;
  CRawDataEditor editor{db};
};

TEST_F(EditorTest, RefusedCommandsChangeNothing) {
  // The commands in order, by message.  A blank does not separate tokens; the
  // replicate is checked before the column is evaluated; createrep checks in
  // order; only the next column and only raw data can be assigned, the name
  // checked first; a failing statement withdraws the column it added
  // (replicate 3 has 3 rows, not 4), which is then no variable either.
  const std::pair<std::string, Strings> cases[] = {
      {"Unrecognized command", {"deleterep 1", "", "delete,1", "(,)"}},
      {"Invalid number of inputs for delete replicate command",
       {"deleterep", "deleterep,1,2", "deleterep,mat(1,1,1)"}},
      {"Invalid replicate number",
       {"deleterep,4", "deleterep,0", "deleterep,0.9", "deleterep,x", "deleterep,1/0",
        "deleterep,1e300", "inv,0,1", "inv,9,q"}},
      {"Invalid number of inputs for this command",
       {"zero, 1, 2, 1", "zero,1", "inv", "zeroinv,1,2,3"}},
      {"Invalid input", {"inv,q,1", "inv,1,q"}},
      {"Invalid column number", {"inv,1,3", "inv,1,0"}},
      {"Invalid number of inputs for create command", {"createrep, n, raw, 1, 1, 1"}},
      {"Invalid data type", {"createrep, n, Raw, 1, 1, 1, 2", "createrep, A, smooth, 9, 1, 1, 2"}},
      {"Duplicate replicate name", {"createrep, A, raw, 9, 1, 1, 2"}},
      {"Invalid x data set input",
       {"createrep, n, raw, 9, 9, 9, 9", "createrep, n, raw, q, 1, 1, 2"}},
      {"Invalid x column input", {"createrep, n, raw, 1, 3, 9, 9"}},
      {"Invalid y data set input", {"createrep, n, raw, 1, 1, 0, 9"}},
      {"Invalid y column input", {"createrep, n, raw, 1, 1, 2, 3"}},
      {"Unequal number of points in the two replicates", {"createrep, n, raw, 1, 1, 3, 2"}},
      {"Number of points must be > 1.", {"createrep, n, smt, 1, 1, 2, 2"}},  // nothing smoothed
      {"Cannot modify smoothened or fitted data.", {"ds1_c2_smt = ds1_c2_raw", "ds1_c3_fit = 1"}},
      {"Invalid variable name.",
       {"ds2_c4_raw = 1", "ds1_c4_smt = 1", "ds4_c1_raw = 1", "ds0_c1_raw = 1", "ds01_c1_raw = 1",
        "DS1_c1_raw = 1", "ds1_c1_Raw = 1", "ds1_c1_raw2 = 1", "ds1_c1 = 1", "x = 1",
        "ds1_c1_raw x = 1", "ds1_r1 = 1", "= 1", "ds99999999999_c1_raw = 1"}},
      {"Invalid expression",
       {"ds1_c3_raw = ds3_c2_raw", "ds1_c3_raw = nosuchname + 1", "ds1_c3_raw = (1",
        "ds1_c3_raw = vec(pnt(0,0,0), pnt(1,1,1))", "ds1_c3_raw = mat(4,2,1,2,3,4,5,6,7,8)",
        "ds1_c2_raw = ds3_c2_raw", "ds1_c2_raw = ds1_c3_raw",
        "ds1_c1_raw = ds1_c1_raw + max(ds2_r5)"}}};
  for (const auto& [message, commands] : cases)
    for (const std::string& command : commands) ExpectRefused(command, message);
  EXPECT_EQ(db.GetReplicateCount(), 3);
  const CReplicate& a = db.Replicate(1);
  EXPECT_EQ(std::tuple(a.columnCount, a.raw.GetColumns(), a.headings.GetSize()),
            std::tuple(2, 2, 2));
  EXPECT_EQ(Col(1, 2), (Values{3, 5, -1, 3}));
  EXPECT_EQ(Col(2, 1), (Values{10, 20, 30, 40}));
  EXPECT_TRUE(db.Evaluator().GetVariables().empty());
  EXPECT_FALSE(editor.IsModified());
}

TEST_F(EditorTest, DeleteRepWordIsComparedInLowerCaseAndTakesExpressions) {
  ExpectApplied("DeleteRep,1");
  EXPECT_EQ(ui.Texts(MessageKind::Information),
            Strings{"Replicate 1 has been deleted. There are 2 remaining replicates."});
  ASSERT_EQ(db.GetReplicateCount(), 2);
  EXPECT_EQ(db.Replicate(1).GetTitle(), "B");
  EXPECT_TRUE(editor.IsModified());
  // Later edits see the new numbering: replicate 1 is the former B.
  ExpectApplied("ds1_c1_raw = ds1_c1_raw / 10");
  EXPECT_EQ(Col(1, 1), (Values{1, 2, 3, 4}));
  ExpectRefused("ds3_c1_raw = 1", "Invalid variable name.");
  AddReplicate(db, "D", {{1}, {1}});
  ExpectApplied("deleterep,1+1");  // removes C, the second of B, C, D
  ASSERT_EQ(db.GetReplicateCount(), 2);
  EXPECT_EQ(std::pair(db.Replicate(1).GetTitle(), db.Replicate(2).GetTitle()),
            std::pair(std::string("B"), std::string("D")));
  ExpectApplied("deleterep(4^0.5 + 0.9)");  // truncated toward zero: 2.9 is 2
  ASSERT_EQ(db.GetReplicateCount(), 1);
  EXPECT_EQ(db.Replicate(1).GetTitle(), "B");
  using V = Strings;
  EXPECT_EQ(CRawDataEditor::Tokenize("zero(1,2)"), (V{"zero", "1", "2"}));
  EXPECT_EQ(CRawDataEditor::Tokenize(" createrep , a b ,raw "), (V{"createrep", "a b", "raw"}));
  EXPECT_EQ(CRawDataEditor::Tokenize("zero,1,,2, "), (V{"zero", "1", "2"}));
  EXPECT_EQ(CRawDataEditor::Tokenize("deleterep 1"), (V{"deleterep 1"}));
  EXPECT_TRUE(CRawDataEditor::Tokenize(" ,() ").empty());
}

TEST_F(EditorTest, ZeroInvAndZeroInvWorkOnPairsInOrder) {
  // A failing pair stops, but earlier pairs stay.
  ExpectRefused("zero,1,1,4,1", "Invalid replicate number");
  EXPECT_EQ(Col(1, 1), (Values{0, 1, 2, 3}));
  EXPECT_TRUE(editor.IsModified());
  ExpectApplied("zero,1,2");
  EXPECT_TRUE(ui.Texts().empty());
  EXPECT_EQ(Col(1, 2), (Values{0, 2, -4, 0}));
  EXPECT_EQ(Col(1, 1), (Values{0, 1, 2, 3}));  // the other column is untouched
  ExpectApplied("inv(2,2)");                   // zeros stay positive
  EXPECT_EQ(Col(2, 2), (Values{0, -7, 0, 2}));
  EXPECT_FALSE(std::signbit(Col(2, 2)[0]) || std::signbit(Col(2, 2)[2]));
  ExpectApplied("zeroinv,3,2");  // 4 5 6 minus 4, negated
  EXPECT_EQ(Col(3, 2), (Values{0, -1, -2}));
  EXPECT_FALSE(std::signbit(Col(3, 2)[0]));
  ExpectApplied("zero, 2, 1, 3, 1");
  EXPECT_EQ(Col(2, 1), (Values{0, 10, 20, 30}));
  EXPECT_EQ(Col(3, 1), (Values{0, 1, 2}));
}

TEST_F(EditorTest, CreateRepCopiesTheChosenColumnsUpToTwentyReplicates) {
  ExpectApplied("createrep, AB, raw, 1, 2, 2, 1");
  EXPECT_EQ(ui.Texts(), Strings{"Creating new replicate 4."});
  ASSERT_EQ(db.GetReplicateCount(), 4);
  const CReplicate& rep = db.Replicate(4);
  EXPECT_EQ(rep.GetTitle(), "AB");
  EXPECT_TRUE(rep.IsActive() && db.plotSettings.IsShown(4, kCurveRaw));
  EXPECT_EQ(std::tuple(rep.columnCount, rep.pointCount, rep.xColumn, rep.yColumn),
            std::tuple(2, 4, 1, 2));
  EXPECT_EQ(Column(rep, 1), (Values{3, 5, -1, 3}));
  EXPECT_EQ(Column(rep, 2), (Values{10, 20, 30, 40}));
  // Each column keeps the heading and units of its source.
  EXPECT_EQ((Strings{rep.headings(1), rep.units(1), rep.headings(2), rep.units(2)}),
            (Strings{"h1_2", "u1_2", "h2_1", "u2_1"}));
  EXPECT_TRUE(editor.IsModified());
  for (int k = 5; k <= CReplicateDB::kMaxReplicates; ++k)
    ExpectApplied(Format("createrep, r%d, raw, 1, 1, 1, 2", k));
  ExpectRefused("createrep, last, raw, 1, 1, 1, 2", "Cannot create more than 20 replicates.");
  EXPECT_EQ(db.GetReplicateCount(), 20);
}

TEST_F(EditorTest, AssignmentsAppendTheNextColumnOrFillAColumn) {
  ExpectApplied("ds1_c3_raw = ds1_c2_raw * 2 + ds2_c1_raw");
  EXPECT_TRUE(ui.Texts().empty());
  const CReplicate& a = db.Replicate(1);
  ASSERT_EQ(std::pair(a.columnCount, a.raw.GetColumns()), std::pair(3, 3));
  EXPECT_EQ(Col(1, 3), (Values{16, 30, 28, 46}));
  EXPECT_EQ(Col(1, 2), (Values{3, 5, -1, 3}));
  EXPECT_EQ(std::pair(a.headings(3), a.units(3)),
            std::pair(std::string("ds1_c2_raw * 2 + ds2_c1_raw"), std::string()));
  EXPECT_TRUE(editor.IsModified());
  // Column 4 of replicate 1 is the next one now.
  ExpectApplied("ds1_c4_raw = ds1_c3_raw / 2");
  EXPECT_EQ(Col(1, 4), (Values{8, 15, 14, 23}));
  // A scalar fills the column.
  ExpectApplied("ds3_c3_raw = 2 ^ 3");
  EXPECT_EQ(Col(3, 3), (Values{8, 8, 8}));
  EXPECT_EQ(editor.GetStatusText(), "8");
  ExpectApplied("ds3_c1_raw = 0.5");
  EXPECT_EQ(Col(3, 1), (Values{0.5, 0.5, 0.5}));
  EXPECT_EQ(db.Replicate(3).columnCount, 3);
  // Columns of other replicates combine; later statements see assigned
  // columns; the variable table holds none of them.
  ExpectApplied("ds2_c3_raw = ds1_c2_raw * 2");
  EXPECT_EQ(Col(2, 3), (Values{6, 10, -2, 6}));
  ExpectApplied("ds1_c1_raw = ds2_c3_raw - ds1_c1_raw");
  EXPECT_EQ(Col(1, 1), (Values{5, 8, -5, 2}));
  EXPECT_TRUE(db.Evaluator().GetVariables().empty());
  // The calculator's functions work on columns and rows.
  ExpectApplied("ds2_c1_raw = ds2_c1_raw * 0 + max(ds1_c2_raw)");
  EXPECT_EQ(Col(2, 1), (Values{5, 5, 5, 5}));
  ExpectApplied("ds1_c1_raw = ds1_c1_raw * 0 + max(ds2_r2)");
  EXPECT_EQ(Col(1, 1), (Values{10, 10, 10, 10}));  // row 2 of B: 5, 7, 10
}

TEST_F(EditorTest, ListGridExportAndDocumentUpdate) {
  // Set #, data set, count, columns, zones, x min, x max, y min, y max.
  EXPECT_EQ(editor.ListRow(2), (Strings{"2", "B", "4", "2", "1", "10", "40", "-2", "7"}));
  EXPECT_TRUE(editor.ListRow(4).empty());
  editor.SetShownReplicate(2);
  EXPECT_EQ(std::pair(editor.GridRows(), editor.GridColumns()), std::pair(4, 2));
  EXPECT_EQ((Strings{editor.ColumnVariable(2), editor.ColumnHeading(2), editor.ColumnUnits(1),
                     editor.RowLabel(3), editor.CellText(4, 2), editor.CellText(5, 1)}),
            (Strings{"ds2_c2_raw", "h2_2", "u2_1", "ds2_r3", "-2", ""}));
  editor.SetShownKind(kCurveSmoothed);
  EXPECT_EQ(std::pair(editor.GridRows(), editor.GridColumns()), std::pair(0, 0));
  EXPECT_EQ(editor.ColumnVariable(1), "ds2_c1_smt");

  CTempDir dir;
  ASSERT_TRUE(editor.Export(2, dir.File("a.txt")));
  EXPECT_EQ(ReadFile(dir.File("a.txt")),
            "B\nx and y data\n"
            "             10,                0\n"
            "             20,                7\n"
            "             30,                0\n"
            "             40,               -2\n");
  EXPECT_TRUE(ui.Texts().empty());
  EXPECT_FALSE(editor.Export(4, dir.File("a.txt")));
  EXPECT_EQ(ui.Last(), "Invalid data set number");
  EXPECT_FALSE(editor.Export(1, dir.File("missing/a.txt")));
  EXPECT_EQ(ui.Last(), "Cannot open output file.");

  ExpectApplied("zero,2,1");
  CRawDataEditor::UpdateDocument(db);  // replicate 2's x now starts at 0
  EXPECT_EQ(std::tuple(db.GetExtent(kRawMin, 1), db.GetExtent(kRawMax, 1), db.GetExtent(kRawMin, 2),
                       db.GetExtent(kRawMax, 2)),
            std::tuple(0.0, 30.0, -2.0, 7.0));
}

TEST(EditorLifetimeTest, TheEditorResolvesOnlyWhileItLivesAndNamesColumnsAndRows) {
  CRecordingUi ui;
  CReplicateDB db;
  AddReplicate(db, "A", {{1, 2}, {3, 4}});
  CExpressionValue v;
  {
    CRawDataEditor editor(db);
    EXPECT_NE(db.Evaluator().GetResolver(), nullptr);
    EXPECT_EQ(db.Evaluator().Evaluate("max(ds1_c2_raw)", v), 0);
    EXPECT_EQ(v.GetScalar(), 4.0);
  }
  EXPECT_EQ(db.Evaluator().GetResolver(), nullptr);
  EXPECT_EQ(db.Evaluator().Evaluate("max(ds1_c2_raw)", v), 4);

  int r = 0, c = 0, k = 0;
  EXPECT_EQ(CRawDataEditor::ColumnVariableName(12, 3, kCurveFitted), "ds12_c3_fit");
  ASSERT_TRUE(CRawDataEditor::ParseColumnName("ds12_c3_smt", r, c, k));
  EXPECT_EQ(std::tuple(r, c, k), std::tuple(12, 3, int(kCurveSmoothed)));
  EXPECT_FALSE(CRawDataEditor::ParseColumnName("ds12_c3_smt ", r, c, k));
  EXPECT_FALSE(CRawDataEditor::ParseColumnName("ds+1_c3_raw", r, c, k));
  ASSERT_TRUE(CRawDataEditor::ParseRowName("ds2_r15", r, c));
  EXPECT_EQ(std::pair(r, c), std::pair(2, 15));
  EXPECT_FALSE(CRawDataEditor::ParseRowName("ds2_r15_raw", r, c));
}

// One replicate y = 2x + 1 at x = 0..10, two zones [0, 5] and [5, 10] with a
// linear fit each, processed.
class ProcessedEditorTest : public EditorTest {
 protected:
  ProcessedEditorTest() {
    db.Clear(false);
    Values x, y;
    for (int i = 0; i <= 10; ++i) x.push_back(i), y.push_back(2.0 * i + 1);
    AddReplicate(db, "line", {x, y});
    CReplicate& rep = db.Replicate(1);
    rep.zoneCount = 2;
    for (int z = 1; z <= 2; ++z) {
      rep.SetZoneStart(z, 5.0 * (z - 1)), rep.SetZoneEnd(z, 5.0 * z);
      rep.Zone(z).fit.type = kFitPolynomial, rep.Zone(z).fit.degree = 1;
    }
    EXPECT_TRUE(db.Process());
    ui.Clear();
  }
};

TEST_F(ProcessedEditorTest, SmoothedAndFittedColumnsCanBeReadAndStayWideEnoughToSave) {
  // The x = 5 border point is in both zones: 12 smoothed rows, and each zone
  // fits the smoothed rows in its range, both x = 5 rows included: 14.
  ASSERT_EQ(db.Replicate(1).smoothedData.GetRows(), 12);
  ExpectApplied("createrep, fitted, fit, 1, 1, 1, 2");
  const CReplicate& fitted = db.Replicate(2);
  ASSERT_EQ(fitted.pointCount, 14);
  for (int i = 1; i <= 14; ++i) EXPECT_NEAR(fitted.raw(i, 2), 2 * fitted.raw(i, 1) + 1, 1e-9) << i;
  ExpectRefused("ds1_c2_raw = ds1_c2_smt", "Invalid expression");  // 12 rows, not 11
  ExpectApplied("ds1_c3_raw = max(ds1_c2_fit)");
  EXPECT_NEAR(db.Replicate(1).raw(1, 3), 21.0, 1e-9);
  // The appended column widens the processed data, which keep their values.
  const CReplicate& rep = db.Replicate(1);
  ASSERT_EQ(std::pair(rep.smoothedData.GetColumns(), rep.fitData.GetColumns()), std::pair(3, 3));
  EXPECT_EQ(std::pair(rep.smoothedData(12, 1), rep.smoothedData(12, 3)), std::pair(10.0, 0.0));
  EXPECT_TRUE(db.IsLocked());  // editing does not clear the processed state
  CReplicateDB loaded;
  CReaderOf r(Written([&](CProjectWriter& out) { StoreDatabase(out, db); }));
  ASSERT_NO_THROW(LoadDatabase(r.in, loaded));
  ASSERT_EQ(loaded.Replicate(1).columnCount, 3);
  EXPECT_NEAR(loaded.Replicate(1).raw(11, 3), 21.0, 1e-9);
  EXPECT_EQ(loaded.Replicate(1).headings(3), "max(ds1_c2_fit)");
}

TEST_F(ProcessedEditorTest, ReformatChecksInOrderAndNeedsProcessedData) {
  const std::pair<std::string, std::string> cases[] = {
      {"reformat,1,1,1", "Invalid number of inputs for reformat command"},
      {"reformat,1,1,1,5,6", "Invalid number of inputs for reformat command"},
      // Every argument is evaluated before any range is checked.
      {"reformat,9,9,9,q", "Invalid input"},
      {"reformat,q,1,1,5", "Invalid input"},
      {"reformat,9,9,9,0", "Invalid replicate number"},
      {"reformat,1,3,9,0", "Invalid zone number"},
      {"reformat,1,0,9,0", "Invalid zone number"},
      {"reformat,1,2,3,0", "Invalid column number"},
      {"reformat,1,2,1,0", "Invalid number of points"},
      {"reformat,1,2,1,-3", "Invalid number of points"}};
  for (const auto& [command, message] : cases) ExpectRefused(command, message);
  EXPECT_EQ(db.Replicate(1).smoothedData.GetRows(), 12);
  EXPECT_FALSE(editor.IsModified());
  AddReplicate(db, "raw only", {{1, 2, 3}, {1, 2, 3}});
  ExpectRefused("reformat,2,1,1,5", "Must process data before reformatting");
  db.Replicate(1).SetZoneStart(2, 20);
  db.Replicate(1).SetZoneEnd(2, 30);
  ExpectRefused("reformat,1,2,1,4", "Zone contains no smoothened points");
  EXPECT_EQ(db.Replicate(1).smoothedData.GetRows(), 12);
  db.Replicate(1).fitted = false;
  ExpectRefused("reformat,1,1,1,5", "Must process data before reformatting");
}

TEST_F(ProcessedEditorTest, ReformatResamplesTheZoneBlock) {
  ExpectApplied("reformat, 1, 2, 1, 11");
  const CReplicate& rep = db.Replicate(1);
  // Zone 2's block (x from 5 to 10: zone 1's border row and zone 2's six
  // rows) becomes 11 rows 0.5 apart; zone 1's rows x = 0..4 stay in front.
  // In the fitted data the block is rows 6..14 (x = 5, 5, 5, 6, ..., 10).
  ASSERT_EQ(std::tuple(rep.smoothedData.GetRows(), rep.fitData.GetRows(), rep.smoothedCount),
            std::tuple(5 + 11, 16, 16));
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(rep.smoothedData(i, 1), i - 1.0);
  for (int k = 1; k <= 11; ++k) {
    const double x = 5.0 + 0.5 * (k - 1);
    EXPECT_NEAR(rep.smoothedData(5 + k, 1), x, 1e-12);
    EXPECT_NEAR(rep.smoothedData(5 + k, 2), 2 * x + 1, 1e-12);
    EXPECT_NEAR(rep.fitData(5 + k, 1), x, 1e-12);  // y from the zone's line
    EXPECT_NEAR(rep.fitData(5 + k, 2), 2 * x + 1, 1e-9);
  }
  EXPECT_NEAR(rep.smoothedYMax(1), 21.0, 1e-12);
  EXPECT_NEAR(rep.fittedYMin(2), 1.0, 1e-9);
  EXPECT_TRUE(editor.IsModified());
}

}  // namespace
}  // namespace olm::test

namespace olm::test {
namespace {

TEST(RawDataEditorSharingTest, ReadingCellsAndColumnsLeavesSnapshotsSharingTheReplicates) {
  CRecordingUi ui;
  CReplicateDB db;
  const int r = db.AddReplicate();
  CReplicate& rep = db.Replicate(r);
  rep.columnCount = 2;
  rep.pointCount = 1000;
  rep.ResizeColumnTexts(2);
  rep.raw.SetSize(1000, 2);
  for (int i = 1; i <= 1000; ++i) rep.raw(i, 1) = rep.raw(i, 2) = i;
  rep.SetTitle("a");
  const CDatabaseSnapshot before = db.Snapshot();
  CRawDataEditor editor(db);
  EXPECT_EQ(editor.CellText(1000, 2), "1000");
  EXPECT_EQ(editor.ListRow(1)[2], "1000");
  EXPECT_EQ(editor.ColumnHeading(1), "");
  // Reading did not copy the replicate away from the snapshot.
  EXPECT_EQ(before.UnsharedBytes(db.Snapshot()), 0u);
}

}  // namespace
}  // namespace olm::test

namespace olm::test {
namespace {

TEST(RawDataEditorSharingTest, RefusedCommandsCopyNoReplicate) {
  CRecordingUi ui;
  CReplicateDB db;
  CReplicate& rep = db.Replicate(db.AddReplicate());
  rep.columnCount = 2;
  rep.pointCount = 3;
  rep.ResizeColumnTexts(2);
  rep.raw.SetSize(3, 2);
  rep.SetTitle("a");
  const CDatabaseSnapshot before = db.Snapshot();
  CRawDataEditor editor(db);
  for (const char* command : {"zero, 1, 5", "inv, 1, 0", "reformat, 1, 1, 1, 5",
                              "reformat, 1, 9, 1, 5", "ds1_c2_raw = ds1_c1_raw +"}) {
    SCOPED_TRACE(command);
    EXPECT_FALSE(editor.Apply(command));
    EXPECT_EQ(before.UnsharedBytes(db.Snapshot()), 0u);
  }
}

}  // namespace
}  // namespace olm::test
