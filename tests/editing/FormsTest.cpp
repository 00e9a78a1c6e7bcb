#include <gtest/gtest.h>

#include "TestSupport.hpp"
#include "editing/ReadRawDataForm.hpp"
#include "editing/ZoneRules.hpp"

namespace olm {
namespace {

using test::CRecordingUi;
using test::CTempDir;

TEST(ReadRawDataFormTest, DefaultsOfTheFields) {
  CReadRawDataForm f;
  EXPECT_TRUE(f.blank && f.comma && f.tab);
  EXPECT_EQ(f.other, "");
  EXPECT_EQ(f.columns, 2);
  EXPECT_EQ(f.xColumn, 1);
  EXPECT_EQ(f.yColumn, 2);
  EXPECT_EQ(f.headerLines, 2);
}

TEST(ReadRawDataFormTest, ApplyChecksInOrderAndStopsAtTheFirst) {
  CRecordingUi ui;
  CReplicateDB db;
  struct Case {
    int columns, x, y, headers;
    const char* message;
  };
  for (const Case& c : {Case{0, 5, 5, 0, "Invalid number of columns"},
                        Case{3, 4, 9, 0, "Invalid X-data column number"},
                        Case{3, 1, 0, 0, "Invalid Y-data column number"},
                        Case{3, 1, 2, 1, "Need a minimum of two header lines"}}) {
    CReadRawDataForm f;
    f.columns = c.columns;
    f.xColumn = c.x;
    f.yColumn = c.y;
    f.headerLines = c.headers;
    f.path = "/nonexistent";
    ui.Clear();
    EXPECT_FALSE(f.Apply(db));
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{c.message});
  }
  EXPECT_EQ(db.GetReplicateCount(), 0);
}

TEST(ReadRawDataFormTest, OneColumnPassesTheChecksAndCreatesNothingSilently) {
  CRecordingUi ui;
  CTempDir dir;
  CReplicateDB db;
  CReadRawDataForm f;
  f.columns = 1;
  f.xColumn = f.yColumn = 1;
  f.path = dir.Write("a.csv", "x\n-\n1\n2\n");
  EXPECT_FALSE(f.Apply(db));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(db.GetReplicateCount(), 0);
}

TEST(ReadRawDataFormTest, SuccessfulApplyShowsTheNewReplicate) {
  CRecordingUi ui;
  CTempDir dir;
  CReplicateDB db;
  CReadRawDataForm f;
  f.columns = 3;
  f.xColumn = 2;
  f.yColumn = 3;
  f.other = ";";
  f.dataId = "specimen";
  const auto rows = f.Browse(dir.Write("a.txt", "t;x;y\ns;mm;N\n0;0;0\n1;1;10\n2;2;15\n"));
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[2], (std::pair<int, std::string>{3, "0;0;0"}));
  ASSERT_TRUE(f.Apply(db));
  EXPECT_EQ(ui.Last(), "Successfully created replicate 1");
  EXPECT_EQ(db.Replicate(1).GetTitle(), "specimen");
  EXPECT_TRUE(db.plotSettings.IsShown(1, kCurveRaw));
  EXPECT_EQ(db.plotSettings.plotXMax, 2.0f);
  EXPECT_EQ(db.plotSettings.plotYMax, 15.0f);
  // A missing file is the engine's code 10.
  f.path = dir.File("missing.txt");
  EXPECT_FALSE(f.Apply(db));
  EXPECT_EQ(ui.Last(), "Cannot open input file.");
}

class ZoneRulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const int r = db.AddReplicate();
    CReplicate& rep = db.Replicate(r);
    rep.SetTitle("rep");
    rep.raw.SetSize(11, 2);
    for (int i = 1; i <= 11; ++i) {
      rep.raw(i, 1) = i - 1;
      rep.raw(i, 2) = 2.0 * (i - 1);
    }
    rep.pointCount = 11;
  }
  CRecordingUi ui;
  CReplicateDB db;
};

TEST_F(ZoneRulesTest, EnablingFollowsTheSmoothingChoice) {
  auto e = CZoneRules::EnablingFor(0);
  EXPECT_FALSE(e.order || e.points || e.repeats);
  EXPECT_TRUE(e.outliers);
  e = CZoneRules::EnablingFor(1);
  EXPECT_TRUE(e.points && e.repeats && e.outliers);
  EXPECT_FALSE(e.order);
  e = CZoneRules::EnablingFor(3);
  EXPECT_TRUE(e.order);
  for (int robust : {5, 7}) {
    e = CZoneRules::EnablingFor(robust);
    EXPECT_FALSE(e.outliers);
    EXPECT_FALSE(e.order);
    EXPECT_TRUE(e.points);
  }
}

TEST_F(ZoneRulesTest, UpdateChecksStartEndOnlyWhenSomethingIsChosen) {
  CZoneRules rules(db);
  rules.controls.startX = 10;
  rules.controls.endX = 5;
  EXPECT_TRUE(rules.Update());  // all "None"/"No": stored without a message
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(db.Replicate(1).GetZoneStart(1), 10.0);
  rules.controls.fitIndex = 1;
  EXPECT_FALSE(rules.Update());
  EXPECT_EQ(ui.Last(), "End X should be greater than Start X");
  rules.controls.fitIndex = 0;
  rules.controls.outlierIndex = 1;
  EXPECT_FALSE(rules.Update());
}

TEST_F(ZoneRulesTest, PointsMustBeOddBetween3And25WhenEnabled) {
  CZoneRules rules(db);
  rules.controls.startX = 0;
  rules.controls.endX = 10;
  rules.controls.smoothIndex = 1;
  for (int bad : {4, 27, 1, 0}) {
    rules.controls.points = bad;
    ui.Clear();
    EXPECT_FALSE(rules.Update()) << bad;
    EXPECT_EQ(ui.Last(), "Number of Points should be odd and between 3 and 25");
  }
  rules.controls.points = 25;
  EXPECT_TRUE(rules.Update());
  rules.controls.smoothIndex = 0;
  rules.controls.points = 4;
  EXPECT_TRUE(rules.Update());  // the control is disabled
}

TEST_F(ZoneRulesTest, ChoicesMapOntoTheZoneSettings) {
  CZoneRules rules(db);
  rules.controls = {0, 10, 4, 1, 3, 1, 7, 2};  // quartic, Chauvenet, PMA, order 5
  ASSERT_TRUE(rules.Update());
  const CZone& z = db.Replicate(1).Zone(1);
  EXPECT_EQ(z.fit.type, kFitPolynomial);
  EXPECT_EQ(z.fit.degree, 4);
  EXPECT_EQ(z.outliers.method, kOutliersChauvenet);
  EXPECT_EQ(z.smoothing.method, kSmoothPolynomialAverage);
  EXPECT_EQ(z.smoothing.order, 5);
  EXPECT_EQ(z.smoothing.points, 7);
  EXPECT_EQ(z.smoothing.repeats, 2);
  // Fit entries 6..8 and a robust smoother, which stores no outlier method.
  for (int fit : {6, 7, 8}) {
    rules.controls = {0, 10, fit, 1, 7, 0, 5, 1};
    ASSERT_TRUE(rules.Update());
    EXPECT_EQ(z.fit.type, fit - 4);
    EXPECT_EQ(z.outliers.method, kOutliersNone);
    EXPECT_EQ(CZoneRules::Load(db.Replicate(1), 1).fitIndex, fit);
  }
}

TEST_F(ZoneRulesTest, UpdateKeepsNeighbouringZonesContiguous) {
  CZoneRules rules(db);
  ASSERT_TRUE(rules.AddZone());
  ASSERT_TRUE(rules.AddZone());
  EXPECT_EQ(rules.CurrentZone(), 3);
  CReplicate& rep = db.Replicate(1);
  rep.SetZoneEnd(1, 3);
  rep.SetZoneStart(3, 9);
  rules.SelectZone(2);
  rules.controls.startX = 4;
  rules.controls.endX = 8;
  ASSERT_TRUE(rules.Update());
  EXPECT_EQ(rep.GetZoneEnd(1), 4.0);
  EXPECT_EQ(rep.GetZoneStart(3), 8.0);
  EXPECT_TRUE(rules.modified);
}

TEST_F(ZoneRulesTest, AtMostFiveZonesAndDeleteAsksFirst) {
  CZoneRules rules(db);
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(rules.AddZone());
  EXPECT_FALSE(rules.AddZone());
  EXPECT_EQ(ui.Last(), "Too many zones.");
  EXPECT_EQ(db.Replicate(1).zoneCount, 5);
  ui.QueueAnswer(false);
  EXPECT_FALSE(rules.DeleteZone());
  EXPECT_EQ(ui.questions.back(), "Delete last zone?");
  EXPECT_EQ(db.Replicate(1).zoneCount, 5);
  EXPECT_TRUE(rules.DeleteZone());
  EXPECT_EQ(db.Replicate(1).zoneCount, 4);
  EXPECT_EQ(rules.CurrentZone(), 4);
}

TEST_F(ZoneRulesTest, TheOnlyZoneIsKept) {
  CZoneRules rules(db);
  EXPECT_FALSE(rules.DeleteZone());
  EXPECT_EQ(db.Replicate(1).zoneCount, 1);
  EXPECT_TRUE(ui.questions.empty());
}

TEST_F(ZoneRulesTest, AnalyzeAsksOnlyWhenDataWereProcessed) {
  CZoneRules rules(db);
  rules.controls.startX = 0;
  rules.controls.endX = 10;
  ASSERT_TRUE(rules.Update());
  EXPECT_TRUE(rules.Analyze());
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_EQ(ui.Last(), "Analysis complete");
  EXPECT_TRUE(db.IsLocked());

  ui.QueueAnswer(false);  // Cancel
  EXPECT_FALSE(rules.Analyze());
  EXPECT_EQ(ui.questions.back(), "All processed data will be lost. Proceed?");
  EXPECT_TRUE(db.IsLocked());
  EXPECT_EQ(db.Replicate(1).smoothedCount, 11);

  EXPECT_TRUE(rules.Analyze());  // OK
  EXPECT_EQ(ui.questions.size(), 2u);
  EXPECT_TRUE(db.IsLocked());
}

TEST_F(ZoneRulesTest, ListShowsEveryZone) {
  CZoneRules rules(db);
  rules.AddZone();
  const auto rows = rules.ListRows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1][0], "1");
  EXPECT_EQ(rows[1][1], "rep");
  EXPECT_EQ(rows[1][2], "2");
  EXPECT_EQ(rows[1][3], "None");
  EXPECT_EQ(rows[1][7], "No");
}

}  // namespace
}  // namespace olm
