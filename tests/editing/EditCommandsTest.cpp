// The raw-data editor's command language.
#include "editing/EditCommands.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.hpp"
#include "engine/ProjectFile.hpp"

namespace olm {
namespace {

using test::CRecordingUi;
using test::CTempDir;
using Columns = std::vector<std::vector<double>>;

// Adds a replicate whose raw data are the given columns (x column 1, y 2).
int AddReplicate(CReplicateDB& db, const std::string& title, const Columns& columns) {
  const int r = db.AddReplicate();
  CReplicate& rep = db.Replicate(r);
  rep.SetTitle(title);
  const int cols = static_cast<int>(columns.size());
  const int rows = static_cast<int>(columns[0].size());
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
  return r;
}

std::vector<double> Column(const CReplicate& rep, int c) {
  std::vector<double> v;
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
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{message}) << command;
  }
  void ExpectApplied(const std::string& command) {
    ui.Clear();
    EXPECT_TRUE(editor.Apply(command)) << command << ": " << ui.Last();
  }

  CRecordingUi ui;
  CReplicateDB db;
  CRawDataEditor editor{db};
};

// ---- Dispatch and deleterep ----------------------------------------------------------

TEST_F(EditorTest, CommandWordIsComparedInLowerCase) {
  ExpectApplied("DeleteRep,1");
  EXPECT_EQ(
      ui.Texts(MessageKind::Information),
      std::vector<std::string>{"Replicate 1 has been deleted. There are 2 remaining replicates."});
  ASSERT_EQ(db.GetReplicateCount(), 2);
  EXPECT_EQ(db.Replicate(1).GetTitle(), "B");
  EXPECT_EQ(db.Replicate(2).GetTitle(), "C");
  EXPECT_TRUE(editor.IsModified());
}

TEST_F(EditorTest, BlankDoesNotSeparateTokens) {
  ExpectRefused("deleterep 1", "Unrecognized command");
  EXPECT_EQ(db.GetReplicateCount(), 3);
  EXPECT_FALSE(editor.IsModified());
  ExpectRefused("", "Unrecognized command");
  ExpectRefused("delete,1", "Unrecognized command");
  ExpectRefused("(,)", "Unrecognized command");
}

TEST_F(EditorTest, ArgumentsAreExpressions) {
  ExpectApplied("deleterep,1+1");
  ASSERT_EQ(db.GetReplicateCount(), 2);
  EXPECT_EQ(db.Replicate(1).GetTitle(), "A");
  EXPECT_EQ(db.Replicate(2).GetTitle(), "C");
  // Truncated toward zero: 2.9 is 2.
  ExpectApplied("deleterep(4^0.5 + 0.9)");
  ASSERT_EQ(db.GetReplicateCount(), 1);
  EXPECT_EQ(db.Replicate(1).GetTitle(), "A");
}

TEST_F(EditorTest, DeleteRepChecks) {
  ExpectRefused("deleterep", "Invalid number of inputs for delete replicate command");
  ExpectRefused("deleterep,1,2", "Invalid number of inputs for delete replicate command");
  ExpectRefused("deleterep,4", "Invalid replicate number");
  ExpectRefused("deleterep,0", "Invalid replicate number");
  ExpectRefused("deleterep,0.9", "Invalid replicate number");
  ExpectRefused("deleterep,x", "Invalid replicate number");
  ExpectRefused("deleterep,1/0", "Invalid replicate number");
  ExpectRefused("deleterep,1e300", "Invalid replicate number");
  ExpectRefused("deleterep,mat(1,1,1)", "Invalid number of inputs for delete replicate command");
  EXPECT_EQ(db.GetReplicateCount(), 3);
  EXPECT_FALSE(editor.IsModified());
}

TEST(EditTokenizeTest, SplitsAtParenthesesAndCommasAndTrimsBlanks) {
  using V = std::vector<std::string>;
  EXPECT_EQ(CRawDataEditor::Tokenize("zero(1,2)"), (V{"zero", "1", "2"}));
  EXPECT_EQ(CRawDataEditor::Tokenize(" createrep , a b ,raw "), (V{"createrep", "a b", "raw"}));
  EXPECT_EQ(CRawDataEditor::Tokenize("zero,1,,2, "), (V{"zero", "1", "2"}));
  EXPECT_EQ(CRawDataEditor::Tokenize("deleterep 1"), (V{"deleterep 1"}));
  EXPECT_TRUE(CRawDataEditor::Tokenize(" ,() ").empty());
}

// ---- zero, inv, zeroinv ---------------------------------------------------------------

TEST_F(EditorTest, ZeroShiftsTheColumnToStartAtZero) {
  ExpectApplied("zero,1,2");
  EXPECT_EQ(Column(db.Replicate(1), 2), (std::vector<double>{0, 2, -4, 0}));
  EXPECT_EQ(Column(db.Replicate(1), 1), (std::vector<double>{1, 2, 3, 4}));
  EXPECT_TRUE(ui.Texts().empty());
  EXPECT_TRUE(editor.IsModified());
}

TEST_F(EditorTest, InvNegatesAndKeepsZerosPositive) {
  ExpectApplied("inv(2,2)");
  const std::vector<double> col = Column(db.Replicate(2), 2);
  EXPECT_EQ(col, (std::vector<double>{0, -7, 0, 2}));
  EXPECT_FALSE(std::signbit(col[0]));
  EXPECT_FALSE(std::signbit(col[2]));
}

TEST_F(EditorTest, ZeroInvShiftsThenNegates) {
  ExpectApplied("zeroinv,1,2");
  const std::vector<double> col = Column(db.Replicate(1), 2);
  // 3 5 -1 3 minus 3 is 0 2 -4 0; negated 0 -2 4 0.
  EXPECT_EQ(col, (std::vector<double>{0, -2, 4, 0}));
  EXPECT_FALSE(std::signbit(col[0]));
  EXPECT_FALSE(std::signbit(col[3]));
}

TEST_F(EditorTest, SeveralPairsApplyInOrder) {
  ExpectApplied("zero, 1, 1, 2, 1, 3, 2");
  EXPECT_EQ(Column(db.Replicate(1), 1), (std::vector<double>{0, 1, 2, 3}));
  EXPECT_EQ(Column(db.Replicate(2), 1), (std::vector<double>{0, 10, 20, 30}));
  EXPECT_EQ(Column(db.Replicate(3), 2), (std::vector<double>{0, 1, 2}));
}

TEST_F(EditorTest, ZeroNeedsPairs) {
  ExpectRefused("zero, 1, 2, 1", "Invalid number of inputs for this command");
  ExpectRefused("zero,1", "Invalid number of inputs for this command");
  ExpectRefused("inv", "Invalid number of inputs for this command");
  ExpectRefused("zeroinv,1,2,3", "Invalid number of inputs for this command");
  EXPECT_EQ(Column(db.Replicate(1), 2), (std::vector<double>{3, 5, -1, 3}));
}

TEST_F(EditorTest, AFailingPairStopsButEarlierPairsStay) {
  ExpectRefused("zero,1,1,4,1", "Invalid replicate number");
  EXPECT_EQ(Column(db.Replicate(1), 1), (std::vector<double>{0, 1, 2, 3}));
  EXPECT_TRUE(editor.IsModified());
  ExpectRefused("inv,q,1", "Invalid input");
  ExpectRefused("inv,1,q", "Invalid input");
  ExpectRefused("inv,1,3", "Invalid column number");
  ExpectRefused("inv,1,0", "Invalid column number");
  ExpectRefused("inv,0,1", "Invalid replicate number");
  // The replicate is checked before the column is evaluated.
  ExpectRefused("inv,9,q", "Invalid replicate number");
  EXPECT_EQ(Column(db.Replicate(1), 1), (std::vector<double>{0, 1, 2, 3}));
}

// ---- createrep -----------------------------------------------------------------------

TEST_F(EditorTest, CreateRepCopiesTheChosenColumns) {
  ExpectApplied("createrep, AB, raw, 1, 2, 2, 1");
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Creating new replicate 4."});
  ASSERT_EQ(db.GetReplicateCount(), 4);
  const CReplicate& rep = db.Replicate(4);
  EXPECT_EQ(rep.GetTitle(), "AB");
  EXPECT_TRUE(rep.IsActive());
  EXPECT_EQ(rep.columnCount, 2);
  EXPECT_EQ(rep.pointCount, 4);
  EXPECT_EQ(rep.xColumn, 1);
  EXPECT_EQ(rep.yColumn, 2);
  EXPECT_EQ(Column(rep, 1), (std::vector<double>{3, 5, -1, 3}));
  EXPECT_EQ(Column(rep, 2), (std::vector<double>{10, 20, 30, 40}));
  EXPECT_EQ(rep.headings(1), "h1_2");
  EXPECT_EQ(rep.units(1), "u1_2");
  EXPECT_EQ(rep.headings(2), "h2_1");
  EXPECT_EQ(rep.units(2), "u2_1");
  EXPECT_TRUE(db.plotSettings.IsShown(4, kCurveRaw));
  EXPECT_TRUE(editor.IsModified());
}

TEST_F(EditorTest, CreateRepChecksInOrder) {
  ExpectRefused("createrep, n, raw, 1, 1, 1", "Invalid number of inputs for create command");
  ExpectRefused("createrep, n, Raw, 1, 1, 1, 2", "Invalid data type");
  ExpectRefused("createrep, A, smooth, 9, 1, 1, 2", "Invalid data type");
  ExpectRefused("createrep, A, raw, 9, 1, 1, 2", "Duplicate replicate name");
  ExpectRefused("createrep, n, raw, 9, 9, 9, 9", "Invalid x data set input");
  ExpectRefused("createrep, n, raw, q, 1, 1, 2", "Invalid x data set input");
  ExpectRefused("createrep, n, raw, 1, 3, 9, 9", "Invalid x column input");
  ExpectRefused("createrep, n, raw, 1, 1, 0, 9", "Invalid y data set input");
  ExpectRefused("createrep, n, raw, 1, 1, 2, 3", "Invalid y column input");
  ExpectRefused("createrep, n, raw, 1, 1, 3, 2", "Unequal number of points in the two replicates");
  // Unprocessed replicates hold no smoothed points.
  ExpectRefused("createrep, n, smt, 1, 1, 2, 2", "Number of points must be > 1.");
  EXPECT_EQ(db.GetReplicateCount(), 3);
  EXPECT_FALSE(editor.IsModified());
}

TEST_F(EditorTest, CreateRepStopsAtTwentyReplicates) {
  for (int k = 4; k <= CReplicateDB::kMaxReplicates; ++k)
    ExpectApplied(Format("createrep, r%d, raw, 1, 1, 1, 2", k));
  ASSERT_EQ(db.GetReplicateCount(), 20);
  ExpectRefused("createrep, last, raw, 1, 1, 1, 2", "Cannot create more than 20 replicates.");
  EXPECT_EQ(db.GetReplicateCount(), 20);
}

// ---- Column assignment ---------------------------------------------------------------

TEST_F(EditorTest, AssignmentAppendsTheNextColumnOnly) {
  ExpectApplied("ds1_c3_raw = ds1_c2_raw * 2 + ds2_c1_raw");
  EXPECT_TRUE(ui.Texts().empty());
  const CReplicate& rep = db.Replicate(1);
  ASSERT_EQ(rep.columnCount, 3);
  EXPECT_EQ(rep.raw.GetColumns(), 3);
  EXPECT_EQ(Column(rep, 3), (std::vector<double>{16, 30, 28, 46}));
  EXPECT_EQ(Column(rep, 2), (std::vector<double>{3, 5, -1, 3}));
  EXPECT_EQ(rep.headings(3), "ds1_c2_raw * 2 + ds2_c1_raw");
  EXPECT_EQ(rep.units(3), "");
  EXPECT_TRUE(editor.IsModified());
  // On a replicate with two columns, column 4 is out of reach.
  ExpectRefused("ds2_c4_raw = 1", "Invalid variable name.");
  EXPECT_EQ(db.Replicate(2).columnCount, 2);
  // Column 4 of replicate 1 is the next one now.
  ExpectApplied("ds1_c4_raw = ds1_c3_raw / 2");
  EXPECT_EQ(Column(db.Replicate(1), 4), (std::vector<double>{8, 15, 14, 23}));
}

TEST_F(EditorTest, AssignmentToSmoothedOrFittedIsRefused) {
  ExpectRefused("ds1_c2_smt = ds1_c2_raw", "Cannot modify smoothened or fitted data.");
  ExpectRefused("ds1_c3_fit = 1", "Cannot modify smoothened or fitted data.");
  // The name is checked first.
  ExpectRefused("ds1_c4_smt = 1", "Invalid variable name.");
  EXPECT_EQ(db.Replicate(1).columnCount, 2);
}

TEST_F(EditorTest, OnlyCanonicalColumnNamesCanBeAssigned) {
  for (const char* command :
       {"ds4_c1_raw = 1", "ds0_c1_raw = 1", "ds01_c1_raw = 1", "DS1_c1_raw = 1", "ds1_c1_Raw = 1",
        "ds1_c1_raw2 = 1", "ds1_c1 = 1", "x = 1", "ds1_c1_raw x = 1", "ds1_r1 = 1", "= 1",
        "ds99999999999_c1_raw = 1"})
    ExpectRefused(command, "Invalid variable name.");
  EXPECT_FALSE(editor.IsModified());
}

TEST_F(EditorTest, FailedAssignmentWithdrawsTheAddedColumn) {
  // Replicate 3 has 3 rows: the statement's column does not fit replicate 1.
  ExpectRefused("ds1_c3_raw = ds3_c2_raw", "Invalid expression");
  ExpectRefused("ds1_c3_raw = nosuchname + 1", "Invalid expression");
  ExpectRefused("ds1_c3_raw = (1", "Invalid expression");
  ExpectRefused("ds1_c3_raw = vec(pnt(0,0,0), pnt(1,1,1))", "Invalid expression");
  ExpectRefused("ds1_c3_raw = mat(4,2,1,2,3,4,5,6,7,8)", "Invalid expression");
  ExpectRefused("ds1_c2_raw = ds3_c2_raw", "Invalid expression");
  const CReplicate& rep = db.Replicate(1);
  EXPECT_EQ(rep.columnCount, 2);
  EXPECT_EQ(rep.raw.GetColumns(), 2);
  EXPECT_EQ(rep.headings.GetSize(), 2);
  EXPECT_EQ(Column(rep, 2), (std::vector<double>{3, 5, -1, 3}));
  EXPECT_TRUE(db.Evaluator().GetVariables().empty());
  EXPECT_FALSE(editor.IsModified());
  // The withdrawn column is no variable either.
  ExpectRefused("ds1_c2_raw = ds1_c3_raw", "Invalid expression");
}

TEST_F(EditorTest, AScalarFillsTheColumn) {
  ExpectApplied("ds3_c3_raw = 2 ^ 3");
  EXPECT_EQ(Column(db.Replicate(3), 3), (std::vector<double>{8, 8, 8}));
  EXPECT_EQ(editor.GetStatusText(), "8");
  ExpectApplied("ds3_c1_raw = 0.5");
  EXPECT_EQ(Column(db.Replicate(3), 1), (std::vector<double>{0.5, 0.5, 0.5}));
  EXPECT_EQ(db.Replicate(3).columnCount, 3);
}

TEST_F(EditorTest, ColumnsOfOtherReplicatesCombine) {
  // Doubles column 2 of replicate 1 into a new column of replicate 2.
  ExpectApplied("ds2_c3_raw = ds1_c2_raw * 2");
  EXPECT_EQ(Column(db.Replicate(2), 3), (std::vector<double>{6, 10, -2, 6}));
  EXPECT_EQ(db.Replicate(1).columnCount, 2);
  // Later statements see the assigned column; the table holds none of them.
  ExpectApplied("ds1_c1_raw = ds2_c3_raw - ds1_c1_raw");
  EXPECT_EQ(Column(db.Replicate(1), 1), (std::vector<double>{5, 8, -5, 2}));
  EXPECT_TRUE(db.Evaluator().GetVariables().empty());
  // Functions of the calculator work on columns.
  ExpectApplied("ds2_c1_raw = ds2_c1_raw * 0 + max(ds1_c2_raw)");
  EXPECT_EQ(Column(db.Replicate(2), 1), (std::vector<double>{5, 5, 5, 5}));
}

TEST_F(EditorTest, RowVariablesGiveTheRawRow) {
  ExpectApplied("ds1_c1_raw = ds1_c1_raw * 0 + max(ds2_r2)");
  EXPECT_EQ(Column(db.Replicate(1), 1), (std::vector<double>{20, 20, 20, 20}));
  ExpectRefused("ds1_c1_raw = ds1_c1_raw + max(ds2_r5)", "Invalid expression");
}

TEST_F(EditorTest, EditsAfterDeletingSeeTheNewNumbering) {
  ExpectApplied("deleterep,1");
  // Replicate 1 is the former B now.
  ExpectApplied("ds1_c1_raw = ds1_c1_raw / 10");
  EXPECT_EQ(Column(db.Replicate(1), 1), (std::vector<double>{1, 2, 3, 4}));
  ExpectRefused("ds3_c1_raw = 1", "Invalid variable name.");
}

// ---- Processed data: _smt and _fit, reformat ---------------------------------------------

// One replicate y = 2x + 1 at x = 0..10, two zones [0, 5] and [5, 10] with a
// linear fit each, processed.
class ProcessedEditorTest : public EditorTest {
 protected:
  ProcessedEditorTest() {
    db.Clear(false);
    std::vector<double> x, y;
    for (int i = 0; i <= 10; ++i) {
      x.push_back(i);
      y.push_back(2.0 * i + 1);
    }
    AddReplicate(db, "line", {x, y});
    CReplicate& rep = db.Replicate(1);
    rep.zoneCount = 2;
    rep.SetZoneStart(1, 0);
    rep.SetZoneEnd(1, 5);
    rep.SetZoneStart(2, 5);
    rep.SetZoneEnd(2, 10);
    for (int z = 1; z <= 2; ++z) {
      rep.Zone(z).fit.type = kFitPolynomial;
      rep.Zone(z).fit.degree = 1;
    }
    EXPECT_TRUE(db.Process());
    ui.Clear();
  }
};

TEST_F(ProcessedEditorTest, SmoothedAndFittedColumnsCanBeRead) {
  // The x = 5 border point is in both zones: 12 smoothed rows, and each zone
  // fits the smoothed rows in its range, both x = 5 rows included: 14.
  ASSERT_EQ(db.Replicate(1).smoothedData.GetRows(), 12);
  ExpectApplied("createrep, fitted, fit, 1, 1, 1, 2");
  const CReplicate& rep = db.Replicate(2);
  ASSERT_EQ(rep.pointCount, 14);
  for (int i = 1; i <= 14; ++i) EXPECT_NEAR(rep.raw(i, 2), 2 * rep.raw(i, 1) + 1, 1e-9) << i;
  ExpectRefused("ds1_c2_raw = ds1_c2_smt", "Invalid expression");  // 12 rows, not 11
  ExpectApplied("ds1_c2_raw = ds1_c2_raw * 0 + max(ds1_c2_fit)");
  EXPECT_NEAR(db.Replicate(1).raw(1, 2), 21.0, 1e-9);
}

TEST_F(ProcessedEditorTest, AppendedColumnKeepsProcessedDataWideEnoughToSave) {
  ExpectApplied("ds1_c3_raw = ds1_c1_raw * 10");
  const CReplicate& rep = db.Replicate(1);
  ASSERT_EQ(rep.smoothedData.GetColumns(), 3);
  ASSERT_EQ(rep.fitData.GetColumns(), 3);
  EXPECT_EQ(rep.smoothedData(12, 1), 10.0);  // values kept
  EXPECT_EQ(rep.smoothedData(12, 3), 0.0);
  EXPECT_TRUE(db.IsLocked());  // editing does not clear the processed state
  // The project record reads back.
  CMemorySink sink;
  CProjectWriter out(sink);
  StoreDatabase(out, db);
  ASSERT_TRUE(out.Finish());
  CReplicateDB loaded;
  CMemorySource source(sink.Bytes());
  CProjectReader in(source);
  ASSERT_NO_THROW(LoadDatabase(in, loaded));
  ASSERT_EQ(loaded.Replicate(1).columnCount, 3);
  EXPECT_EQ(loaded.Replicate(1).raw(11, 3), 100.0);
  EXPECT_EQ(loaded.Replicate(1).headings(3), "ds1_c1_raw * 10");
}

TEST_F(ProcessedEditorTest, ReformatChecksInOrder) {
  ExpectRefused("reformat,1,1,1", "Invalid number of inputs for reformat command");
  ExpectRefused("reformat,1,1,1,5,6", "Invalid number of inputs for reformat command");
  // Every argument is evaluated before any range is checked.
  ExpectRefused("reformat,9,9,9,q", "Invalid input");
  ExpectRefused("reformat,q,1,1,5", "Invalid input");
  ExpectRefused("reformat,9,9,9,0", "Invalid replicate number");
  ExpectRefused("reformat,1,3,9,0", "Invalid zone number");
  ExpectRefused("reformat,1,0,9,0", "Invalid zone number");
  ExpectRefused("reformat,1,2,3,0", "Invalid column number");
  ExpectRefused("reformat,1,2,1,0", "Invalid number of points");
  ExpectRefused("reformat,1,2,1,-3", "Invalid number of points");
  EXPECT_EQ(db.Replicate(1).smoothedData.GetRows(), 12);
  EXPECT_FALSE(editor.IsModified());
}

TEST_F(ProcessedEditorTest, ReformatNeedsProcessedData) {
  AddReplicate(db, "raw only", {{1, 2, 3}, {1, 2, 3}});
  ExpectRefused("reformat,2,1,1,5", "Must process data before reformatting");
  db.Replicate(1).fitted = false;
  ExpectRefused("reformat,1,1,1,5", "Must process data before reformatting");
}

TEST_F(ProcessedEditorTest, ReformatResamplesTheZoneBlock) {
  ExpectApplied("reformat, 1, 2, 1, 11");
  const CReplicate& rep = db.Replicate(1);
  // Zone 2's block (x from 5 to 10: zone 1's border row and zone 2's six
  // rows) becomes 11 rows 0.5 apart; zone 1's rows x = 0..4 stay in front.
  // In the fitted data the block is rows 6..14 (x = 5, 5, 5, 6, ..., 10).
  ASSERT_EQ(rep.smoothedData.GetRows(), 5 + 11);
  EXPECT_EQ(rep.smoothedCount, 16);
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(rep.smoothedData(i, 1), i - 1.0);
  for (int k = 1; k <= 11; ++k) {
    const double x = 5.0 + 0.5 * (k - 1);
    EXPECT_NEAR(rep.smoothedData(5 + k, 1), x, 1e-12);
    EXPECT_NEAR(rep.smoothedData(5 + k, 2), 2 * x + 1, 1e-12);
  }
  // The fitted block is resampled too, with y from the zone's line.
  ASSERT_EQ(rep.fitData.GetRows(), 16);
  for (int k = 1; k <= 11; ++k) {
    const double x = 5.0 + 0.5 * (k - 1);
    EXPECT_NEAR(rep.fitData(5 + k, 1), x, 1e-12);
    EXPECT_NEAR(rep.fitData(5 + k, 2), 2 * x + 1, 1e-9);
  }
  EXPECT_NEAR(rep.smoothedYMax(1), 21.0, 1e-12);
  EXPECT_NEAR(rep.fittedYMin(2), 1.0, 1e-9);
  EXPECT_TRUE(editor.IsModified());
}

TEST_F(ProcessedEditorTest, ReformatOfAZoneWithoutSmoothedRows) {
  db.Replicate(1).SetZoneStart(2, 20);
  db.Replicate(1).SetZoneEnd(2, 30);
  ExpectRefused("reformat,1,2,1,4", "Zone contains no smoothened points");
  EXPECT_EQ(db.Replicate(1).smoothedData.GetRows(), 12);
}

// ---- List, grid, export --------------------------------------------------------------

TEST_F(EditorTest, ListRowsShowCountsAndRawExtremes) {
  EXPECT_EQ(CRawDataEditor::ListHeadings(),
            (std::vector<std::string>{"Set #", "Data Set", "Count", "Columns", "Zones", "X Min",
                                      "X Max", "Y Min", "Y Max"}));
  EXPECT_EQ(editor.ListRow(2),
            (std::vector<std::string>{"2", "B", "4", "2", "1", "10", "40", "-2", "7"}));
  EXPECT_TRUE(editor.ListRow(4).empty());
  EXPECT_EQ(CRawDataEditor::ActionTemplates().size(), 7u);
  EXPECT_EQ(CRawDataEditor::ActionTemplates()[1], "deleterep, replicate #");
}

TEST_F(EditorTest, GridLabelsAndCells) {
  editor.SetShownReplicate(2);
  EXPECT_EQ(editor.GridRows(), 4);
  EXPECT_EQ(editor.GridColumns(), 2);
  EXPECT_EQ(editor.ColumnVariable(2), "ds2_c2_raw");
  EXPECT_EQ(editor.ColumnHeading(2), "h2_2");
  EXPECT_EQ(editor.ColumnUnits(1), "u2_1");
  EXPECT_EQ(editor.RowLabel(3), "ds2_r3");
  EXPECT_EQ(editor.CellText(4, 2), "-2");
  EXPECT_EQ(editor.CellText(5, 1), "");
  editor.SetShownKind(kCurveSmoothed);
  EXPECT_EQ(editor.GridRows(), 0);
  EXPECT_EQ(editor.GridColumns(), 0);
  EXPECT_EQ(editor.ColumnVariable(1), "ds2_c1_smt");
}

TEST_F(EditorTest, ExportWritesTitleAndXYLines) {
  CTempDir dir;
  const std::string path = dir.File("a.txt");
  ASSERT_TRUE(editor.Export(2, path));
  EXPECT_EQ(test::ReadFile(path),
            "B\nx and y data\n"
            "             10,                0\n"
            "             20,                7\n"
            "             30,                0\n"
            "             40,               -2\n");
  EXPECT_TRUE(ui.Texts().empty());
}

TEST_F(EditorTest, ExportFailuresAreReported) {
  CTempDir dir;
  EXPECT_FALSE(editor.Export(4, dir.File("a.txt")));
  EXPECT_EQ(ui.Last(), "Invalid data set number");
  ui.Clear();
  EXPECT_FALSE(editor.Export(1, dir.File("missing/a.txt")));
  EXPECT_EQ(ui.Last(), "Cannot open output file.");
}

TEST_F(EditorTest, UpdateDocumentRecomputesTheExtents) {
  ExpectApplied("zero,2,1");
  CRawDataEditor::UpdateDocument(db);
  EXPECT_EQ(db.GetExtent(kRawMin, 1), 0.0);  // replicate 2's x now starts at 0
  EXPECT_EQ(db.GetExtent(kRawMax, 1), 30.0);
  EXPECT_EQ(db.GetExtent(kRawMin, 2), -2.0);
  EXPECT_EQ(db.GetExtent(kRawMax, 2), 7.0);
}

TEST(EditorLifetimeTest, TheEditorResolvesOnlyWhileItLives) {
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
}

TEST(EditNamesTest, ColumnAndRowNames) {
  int r = 0, c = 0, k = 0;
  EXPECT_EQ(CRawDataEditor::ColumnVariableName(12, 3, kCurveFitted), "ds12_c3_fit");
  ASSERT_TRUE(CRawDataEditor::ParseColumnName("ds12_c3_smt", r, c, k));
  EXPECT_EQ(r, 12);
  EXPECT_EQ(c, 3);
  EXPECT_EQ(k, kCurveSmoothed);
  EXPECT_FALSE(CRawDataEditor::ParseColumnName("ds12_c3_smt ", r, c, k));
  EXPECT_FALSE(CRawDataEditor::ParseColumnName("ds+1_c3_raw", r, c, k));
  ASSERT_TRUE(CRawDataEditor::ParseRowName("ds2_r15", r, c));
  EXPECT_EQ(r, 2);
  EXPECT_EQ(c, 15);
  EXPECT_FALSE(CRawDataEditor::ParseRowName("ds2_r15_raw", r, c));
}

}  // namespace
}  // namespace olm
