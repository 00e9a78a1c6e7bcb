// The rules of the raw-data import form and of the zone definition form.
#include <gtest/gtest.h>

#include "TestSupport.hpp"
#include "editing/ReadRawDataForm.hpp"
#include "editing/ZoneRules.hpp"

namespace olm::test {
namespace {

TEST(ReadRawDataFormTest, DefaultsChecksInOrderAndTheNewReplicate) {
  CRecordingUi ui;
  CTempDir dir;
  CReplicateDB db;
  struct Case {
    int columns, x, y, headers;
    const char* message;
  };
  // Every row holds every column, so an absurd count is refused before reading.
  for (const Case& c : {Case{0, 5, 5, 0, "Invalid number of columns"},
                        Case{1001, 1, 2, 2, "Invalid number of columns"},
                        Case{3, 4, 9, 0, "Invalid X-data column number"},
                        Case{3, 1, 0, 0, "Invalid Y-data column number"},
                        Case{3, 1, 2, 1, "Need a minimum of two header lines"},
                        Case{1, 1, 1, 2, ""}}) {  // one column passes, creates nothing silently
    CReadRawDataForm f;
    f.columns = c.columns, f.xColumn = c.x, f.yColumn = c.y, f.headerLines = c.headers;
    f.path = dir.Write("a.csv", "x\n-\n1\n2\n");
    ui.Clear();
    EXPECT_FALSE(f.Apply(db));
    EXPECT_EQ(ui.Texts(),
              *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
  }
  EXPECT_EQ(db.GetReplicateCount(), 0);
  CReadRawDataForm f;
  f.columns = 3, f.xColumn = 2, f.yColumn = 3, f.other = ";", f.dataId = "specimen";
  const auto rows = f.Browse(dir.Write("a.txt", "t;x;y\ns;mm;N\n0;0;0\n1;1;10\n2;2;15\n"));
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[2], (std::pair<int, std::string>{3, "0;0;0"}));
  ASSERT_TRUE(f.Apply(db));
  EXPECT_EQ(ui.Last(), "Successfully created replicate 1");
  EXPECT_EQ(db.Replicate(1).GetTitle(), "specimen");
  EXPECT_TRUE(db.plotSettings.IsShown(1, kCurveRaw));
  EXPECT_EQ(std::pair(db.plotSettings.plotXMax, db.plotSettings.plotYMax), std::pair(2.0f, 15.0f));
}

// One replicate of 11 points, x = 0..10, and its one zone.
class ZoneRulesTest : public ::testing::Test {
 protected:
  static CReplicateDB& Filled(CReplicateDB& db) {
    CReplicate& rep = db.Replicate(db.AddReplicate());
    rep.SetTitle("rep");
    rep.raw.SetSize(11, 2);
    for (int i = 1; i <= 11; ++i) rep.raw(i, 1) = i - 1, rep.raw(i, 2) = 2.0 * (i - 1);
    rep.pointCount = 11;
    return db;
  }
  CRecordingUi ui;
  CReplicateDB db;
  CZoneRules rules{Filled(db)};
};

TEST(ReadRawDataFormTest, TheDataIdOfAFileIsItsNameCutToTheFieldsLimit) {
  EXPECT_EQ(CReadRawDataForm::DataIdOf("/data/run.2.csv"), "run.2");
  EXPECT_EQ(CReadRawDataForm::DataIdOf("plain"), "plain");
  EXPECT_EQ(CReadRawDataForm::DataIdOf("/a.b/specimen_0123456789.txt"), "specimen_0123456");
  // Cut where a character begins: the first 16 bytes of "Prüfkörper_links"
  // end with a whole letter, those of "abcdefghijklmnoö" inside the "ö".
  EXPECT_EQ(CReadRawDataForm::DataIdOf("x/Pr\xC3\xBC" "fk\xC3\xB6rper_links.csv"),
            "Pr\xC3\xBC" "fk\xC3\xB6rper_lin");
  EXPECT_EQ(CReadRawDataForm::DataIdOf("x/abcdefghijklmno\xC3\xB6.csv"), "abcdefghijklmno");
}

TEST_F(ZoneRulesTest, EnablingFollowsTheSmoothingChoice) {
  // {order, points, repeats, outliers} for No, Median, PMA, Robust Loess, Robust Lowess.
  const std::pair<int, std::tuple<bool, bool, bool, bool>> cases[] = {
      {0, {false, false, false, true}},
      {1, {false, true, true, true}},
      {3, {true, true, true, true}},
      {5, {false, true, true, false}},
      {7, {false, true, true, false}}};
  for (const auto& [index, expected] : cases) {
    const CZoneEnabling e = CZoneRules::EnablingFor(index);
    EXPECT_EQ(std::tuple(e.order, e.points, e.repeats, e.outliers), expected) << index;
  }
}

TEST_F(ZoneRulesTest, UpdateChecksOnlyWhatIsChosen) {
  rules.controls.startX = 10, rules.controls.endX = 5;
  EXPECT_TRUE(rules.Update());  // all "None"/"No": stored without a message
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(db.Replicate(1).GetZoneStart(1), 10.0);
  rules.controls.fitIndex = 1;
  EXPECT_FALSE(rules.Update());
  EXPECT_EQ(ui.Last(), "End X should be greater than Start X");
  rules.controls.fitIndex = 0;
  rules.controls.outlierIndex = 1;
  EXPECT_FALSE(rules.Update());
  // Points odd between 3 and 25 when the control is enabled.
  rules.controls = {0, 10, 0, 0, 1, 0, 0, 1};
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
  rules.controls = {0, 10, 4, 1, 3, 1, 7, 2};  // quartic, Chauvenet, PMA, order 5
  ASSERT_TRUE(rules.Update());
  const CZone& z = db.Replicate(1).Zone(1);
  EXPECT_EQ(std::tuple(z.fit.type, z.fit.degree, z.outliers.method),
            std::tuple(int(kFitPolynomial), 4, int(kOutliersChauvenet)));
  EXPECT_EQ(
      std::tuple(z.smoothing.method, z.smoothing.order, z.smoothing.points, z.smoothing.repeats),
      std::tuple(int(kSmoothPolynomialAverage), 5, 7, 2));
  // Fit entries 6..8 and a robust smoother, which stores no outlier method.
  for (int fit : {6, 7, 8}) {
    rules.controls = {0, 10, fit, 1, 7, 0, 5, 1};
    ASSERT_TRUE(rules.Update());
    EXPECT_EQ(z.fit.type, fit - 4);
    EXPECT_EQ(z.outliers.method, kOutliersNone);
    EXPECT_EQ(CZoneRules::Load(db.Replicate(1), 1).fitIndex, fit);
  }
}

TEST_F(ZoneRulesTest, ZonesStayContiguousAtMostFiveAndDeleteAsksFirst) {
  EXPECT_FALSE(rules.DeleteZone());  // the only zone is kept
  EXPECT_TRUE(ui.questions.empty());
  ASSERT_TRUE(rules.AddZone());
  ASSERT_TRUE(rules.AddZone());
  EXPECT_EQ(rules.CurrentZone(), 3);
  CReplicate& rep = db.Replicate(1);
  rep.SetZoneEnd(1, 3);
  rep.SetZoneStart(3, 9);
  rules.SelectZone(2);
  rules.controls.startX = 4, rules.controls.endX = 8;
  ASSERT_TRUE(rules.Update());
  EXPECT_EQ(std::pair(rep.GetZoneEnd(1), rep.GetZoneStart(3)), std::pair(4.0, 8.0));
  EXPECT_TRUE(rules.modified);
  const auto rows = rules.ListRows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(std::tuple(rows[1][0], rows[1][1], rows[1][2], rows[1][3], rows[1][7]),
            std::tuple("1", "rep", "3", "None", "No"));
  ASSERT_TRUE(rules.AddZone());
  ASSERT_TRUE(rules.AddZone());
  EXPECT_FALSE(rules.AddZone());
  EXPECT_EQ(ui.Last(), "Too many zones.");
  EXPECT_EQ(rep.zoneCount, 5);
  ui.QueueAnswer(false);
  EXPECT_FALSE(rules.DeleteZone());
  EXPECT_EQ(ui.questions.back(), "Delete last zone?");
  EXPECT_EQ(rep.zoneCount, 5);
  EXPECT_TRUE(rules.DeleteZone());
  EXPECT_EQ(rep.zoneCount, 4);
  EXPECT_EQ(rules.CurrentZone(), 4);
}

TEST_F(ZoneRulesTest, AnalyzeAsksOnlyWhenDataWereProcessed) {
  rules.controls.startX = 0, rules.controls.endX = 10;
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
  // Smoothed but not fitted (a fit that failed after smoothing) asks too,
  // and OK clears every processed flag.
  db.fittedFlag = 0;
  db.thirdFlag = 1;
  ASSERT_TRUE(db.IsSmoothed() && !db.IsLocked());
  ui.QueueAnswer(false);
  EXPECT_FALSE(rules.Analyze());
  EXPECT_EQ(ui.questions.size(), 3u);
  EXPECT_EQ(db.thirdFlag, 1);
  db.Replicate(1).Zone(1).fit.type = kFitExponential;  // y = 0 at x = 0: the fit fails
  EXPECT_FALSE(rules.Analyze());                       // OK, then the analysis fails
  EXPECT_EQ(ui.questions.size(), 4u);
  EXPECT_EQ(db.thirdFlag, 0);
}

}  // namespace
}  // namespace olm::test
