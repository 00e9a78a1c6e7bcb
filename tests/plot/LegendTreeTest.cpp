// The legend's lines and the navigation tree's items and clicks.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "RecordingCanvas.hpp"
#include "TestSupport.hpp"
#include "plot/LegendModel.hpp"
#include "plot/NavigationTree.hpp"
#include "plot/PlotScene.hpp"

namespace olm::test {
namespace {

using Texts = std::vector<std::string>;

// Replicate 1 "A" smoothed and fitted, replicate 2 "B" fitted only (no
// smoothed points), replicate 3 "C" raw only.  Every switch is on.
class LegendTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddCurve(db, "A", {0, 1, 2}, {5, 6, 4});
    AddCurve(db, "B", {-1, 3}, {0.5, 2.5});
    AddCurve(db, "C", {10, 20}, {100, 200});
    db.smoothedFlag = db.fittedFlag = 1;
    CReplicate& a = db.Replicate(1);
    a.smoothedCount = 2;
    a.smoothedData.SetSize(2, 2);
    a.smoothedData(1, 1) = 0.5, a.smoothedData(1, 2) = 5.5;
    a.smoothedData(2, 1) = 1.5, a.smoothedData(2, 2) = 5.0;
    a.fitData.Assign(a.smoothedData);
    CReplicate& b = db.Replicate(2);
    b.fitData.SetSize(2, 2);
    b.fitData(1, 1) = -1, b.fitData(1, 2) = 0.25;
    b.fitData(2, 1) = 3, b.fitData(2, 2) = 2.75;
    SetAllShown(true);
    db.ComputeExtents(true);
    db.RefreshPlotLimits(true);
    tree.Rebuild(&db);
  }
  void SetAllShown(bool on) {
    for (int r = 1; r <= 3; ++r)
      for (int k = 0; k < 3; ++k) db.plotSettings.SetShown(r, k, on);
  }
  Texts Entries(int kind) const {
    Texts t;
    for (const CTreeItem& e : tree.Group(kind).children) t.push_back(e.text);
    return t;
  }
  Texts Legend() {
    legend.Build(&db);
    return legend.Texts();
  }

  CRecordingUi ui;
  CReplicateDB db;
  CNavigationTreeModel tree;
  CLegendModel legend;
};

TEST_F(LegendTreeTest, LegendListsEveryShownCurveWithItsRanges) {
  // clang-format off
  EXPECT_EQ(Legend(), (Texts{"OLM V1.0",
                             "A-R", "   x range: (0, 2)", "   y range: (4, 6)",
                             "A-S", "   x range: (0.5, 1.5)", "   y range: (5, 5.5)",
                             "A-F", "   x range: (0.5, 1.5)", "   y range: (5, 5.5)",
                             "B-R", "   x range: (-1, 3)", "   y range: (0.5, 2.5)",
                             "B-F", "   x range: (-1, 3)", "   y range: (0.25, 2.75)",
                             "C-R", "   x range: (10, 20)", "   y range: (100, 200)"}));
  // clang-format on
  // A rule under the title and after each replicate; an empty line after each curve.
  int rules = 0, blanks = 0;
  for (const CLegendLine& l : legend.Lines()) {
    rules += l.kind == CLegendLine::kRule;
    blanks += l.kind == CLegendLine::kBlank;
  }
  EXPECT_EQ(std::tuple(rules, blanks), std::tuple(4, 6));
  // 1 3/4 lines down; "OLM V1.0" is 8 characters: centred at 100 - 32.
  const CTextMetrics m{16, 12, 0, 8};
  auto placed = legend.Layout(200, m);
  EXPECT_EQ(std::tuple(placed[0].x, placed[0].y), std::tuple(68, 8 + 16 + 4));
  EXPECT_EQ(placed[2].x, 8);  // one character width of margin
  // The rule under the title lies one line below it.
  ASSERT_EQ(placed[1].line.kind, CLegendLine::kRule);
  EXPECT_EQ(placed[1].y, placed[0].y + 16);
  for (size_t i = 1; i < placed.size(); ++i) EXPECT_GT(placed[i].y, placed[i - 1].y);
  EXPECT_EQ(legend.Layout(40, m)[0].x, 8);  // never left of the margin in a narrow panel
  CRecordingCanvas canvas;
  legend.Paint(canvas, 200, 600, 96, &db);
  EXPECT_TRUE(canvas.HasText("C-R"));
  EXPECT_EQ(canvas.texts[1].colour, 0x0000FFu);  // "A-R" in its curve's red
  EXPECT_EQ(CLegendModel::Font(96).pixelHeight, 13);
  // With no switch on: the title and its rule.
  SetAllShown(false);
  legend.Build(&db);
  ASSERT_EQ(legend.Lines().size(), 2u);
  EXPECT_EQ(std::tuple(legend.Lines()[0].text, legend.Lines()[1].kind),
            std::tuple(std::string("OLM V1.0"), CLegendLine::kRule));
  legend.Build(nullptr);
  EXPECT_EQ(legend.Texts(), (Texts{"OLM V1.0"}));
}

TEST_F(LegendTreeTest, RangesLeaveOutValuesThatAreNotFinite) {
  // As the plot does: a NaN first value and an infinity do not enter the
  // range, and a column with no finite value says so.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  CReplicate& c = db.Replicate(3);
  c.raw(1, 1) = nan, c.raw(1, 2) = inf;
  c.raw(2, 1) = 20, c.raw(2, 2) = 200;
  CReplicate& b = db.Replicate(2);
  b.raw(1, 2) = nan, b.raw(2, 2) = -inf;
  const Texts t = Legend();
  EXPECT_NE(std::find(t.begin(), t.end(), "   x range: (20, 20)"), t.end());
  EXPECT_NE(std::find(t.begin(), t.end(), "   y range: (200, 200)"), t.end());
  EXPECT_NE(std::find(t.begin(), t.end(), "   y range: no finite values"), t.end());
}

TEST_F(LegendTreeTest, TreeListsReplicatesUnderTheKindsTheyHold) {
  ASSERT_EQ(tree.Root().children.size(), 3u);
  EXPECT_EQ(
      std::tuple(tree.Root().text, tree.Group(0).text, tree.Group(1).text, tree.Group(2).text),
      std::tuple("Data Sets", "Raw Data", "Smoothened Data", "Fitted Data"));
  EXPECT_TRUE(tree.Root().expanded && tree.Group(0).expanded && tree.Group(2).expanded);
  EXPECT_EQ(Entries(0), (Texts{"1: A", "2: B", "3: C"}));
  EXPECT_EQ(Entries(1), (Texts{"1: A"}));  // B has no smoothed data
  EXPECT_EQ(Entries(2), (Texts{"1: A", "2: B"}));
  EXPECT_TRUE(tree.Entry(2, 1)->checked);
  db.plotSettings.SetShown(2, kCurveFitted, false);
  tree.Rebuild(&db);
  EXPECT_FALSE(tree.Entry(2, 1)->checked);
  db.smoothedFlag = db.fittedFlag = 0;  // before processing only raw data are listed
  tree.Rebuild(&db);
  EXPECT_TRUE(tree.Group(1).children.empty() && tree.Group(2).children.empty());
}

TEST_F(LegendTreeTest, UncheckingARawEntryRemovesTheCurveAndItsLegendLines) {
  const int before = CountVisibleCurves(db, kRawDataPlot);
  const CTreeAction a = tree.Click(db, kCurveRaw, 1, 1000, 500);
  EXPECT_EQ(std::tuple(a.type, a.replicate), std::tuple(CTreeAction::kToggled, 2));
  EXPECT_FALSE(db.plotSettings.IsShown(2, kCurveRaw) || tree.Entry(kCurveRaw, 1)->checked);
  EXPECT_EQ(CountVisibleCurves(db, kRawDataPlot), before - 1);
  const Texts t = Legend();
  EXPECT_EQ(
      std::tuple(std::count(t.begin(), t.end(), "B-R"), std::count(t.begin(), t.end(), "B-F")),
      std::tuple(0l, 1l));
  // Checking it again (later than the double-click time) brings it back.
  EXPECT_EQ(tree.Click(db, kCurveRaw, 1, 5000, 500).type, CTreeAction::kToggled);
  EXPECT_TRUE(db.plotSettings.IsShown(2, kCurveRaw));
}

TEST_F(LegendTreeTest, EditorClosingDoubleClicksSingleClicksAndItemsThatDoNothing) {
  // An editor closed with OK recomputes the limits.
  db.Replicate(3).raw(2, 1) = 50;
  tree.EditorClosed(db, false);
  EXPECT_EQ(db.plotSettings.plotXMax, 20.0f);
  tree.EditorClosed(db, true);
  EXPECT_EQ(db.plotSettings.plotXMax, 50.0f);
  EXPECT_EQ(tree.Click(db, kCurveFitted, 0, 1000, 500).type, CTreeAction::kToggled);
  const CTreeAction d = tree.Click(db, kCurveFitted, 0, 1400, 500);  // in time
  EXPECT_EQ(std::tuple(d.type, d.replicate, d.kind),
            std::tuple(CTreeAction::kOpenEditor, 1, int(kCurveFitted)));
  // A third click starts a new pair; then one too late for a double click.
  EXPECT_EQ(tree.Click(db, kCurveFitted, 0, 1500, 500).type, CTreeAction::kToggled);
  EXPECT_EQ(tree.Click(db, kCurveFitted, 0, 2100, 500).type, CTreeAction::kToggled);
  // Clicks on different items are single clicks.
  EXPECT_EQ(tree.Click(db, kCurveRaw, 0, 3000, 500).type, CTreeAction::kToggled);
  EXPECT_EQ(tree.Click(db, kCurveRaw, 2, 3050, 500).type, CTreeAction::kToggled);
  EXPECT_FALSE(db.plotSettings.IsShown(1, kCurveRaw) || db.plotSettings.IsShown(3, kCurveRaw));
  // The fixed items and entries that do not exist do nothing.
  EXPECT_EQ(tree.Click(db, -1, -1, 3100, 500).type, CTreeAction::kNone);
  EXPECT_EQ(tree.Click(db, kCurveSmoothed, 1, 3150, 500).type, CTreeAction::kNone);
  EXPECT_EQ(tree.Click(db, kCurveRaw, 7, 3200, 500).type, CTreeAction::kNone);
}

}  // namespace
}  // namespace olm::test
