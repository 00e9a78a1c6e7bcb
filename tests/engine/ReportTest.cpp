// The report writer: data tables, zone blocks and equations, outliers,
// statistics over replicates, and creating the report file.
#include "engine/Report.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "EngineTestUtil.hpp"
#include "TestSupport.hpp"

namespace olm::test {
namespace {

class ReportTest : public ::testing::Test {
 protected:
  // Writes a fresh report (the writer appends) and reads its lines.
  void Write() {
    const std::string path = dir.File("r.out");
    std::remove(path.c_str());
    ASSERT_TRUE(WriteReport(db, path));
    lines.clear();
    std::istringstream in(ReadFile(path));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
  }
  // The index of the first line from `from` on that starts with prefix, or -1.
  int Find(const std::string& prefix, int from = 0) const {
    for (int i = from; i < static_cast<int>(lines.size()); ++i)
      if (lines[i].rfind(prefix, 0) == 0) return i;
    return -1;
  }
  bool Has(const std::string& line) const {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  // y = x^2 on x = 1..100.
  CReplicate& AddParabola() {
    XY p;
    for (int i = 1; i <= 100; ++i) p.emplace_back(i, i * i);
    return db.Replicate(AddXY(db, p));
  }

  CRecordingUi ui;
  CTempDir dir;
  CReplicateDB db;
  std::vector<std::string> lines;
};

TEST_F(ReportTest, DataTableShowsDashesWhereAKindHasFewerRows) {
  CReplicate& rep = AddParabola();
  SetZones(rep, {{1, 80}});
  ASSERT_TRUE(db.Process());
  ASSERT_EQ(rep.smoothedCount, 80);
  db.SetReportFlag(kReportRawData, true);
  db.SetReportFlag(kReportSmoothedData, true);
  Write();
  EXPECT_TRUE(Has("Number of data points : 100"));
  ASSERT_GE(Find(" Data    Raw X         Raw Y         Smooth X      Smooth Y"), 0);
  const int first = Find(" 1       1             1             1             1");
  ASSERT_GT(first, Find("   "));
  const std::pair<int, std::string> rows[] = {
      {79, " 80      80            6400          80            6400          "},
      {80, " 81      81            6561          -             -             "},
      {99, " 100     100           10000         -             -             "},
      // Min, Point, Max, Point over the value columns.
      {100, " Min     1             1             1             1             "},
      {101, " Point   1             1             1             1             "},
      {102, " Max     100           10000         80            6400          "},
      {103, " Point   100           100           80            80            "}};
  for (const auto& [offset, text] : rows) EXPECT_EQ(lines[first + offset], text);
}

TEST_F(ReportTest, ZoneBlocksAndEquations) {
  CReplicate& rep = AddParabola();
  SetZones(rep, {{1, 50}, {50, 100}});
  rep.Zone(1).fit.type = kFitPolynomial;
  rep.Zone(1).fit.degree = 2;
  rep.Zone(2).smoothing = {2, 7, 5, kSmoothPolynomialAverage};
  rep.Zone(2).fit.type = kFitPowerLaw;
  ASSERT_TRUE(db.Process()) << ui.Last();
  Write();
  const int z1 = Find(" Zone: 1");
  ASSERT_GT(z1, 0);
  // Method 0: "None" and no repeat lines.
  EXPECT_EQ(lines[z1 + 2], "Type of smoothing operation: None");
  EXPECT_EQ(lines[z1 + 3].rfind("Area under curve: ", 0), 0u);
  EXPECT_EQ(lines[z1 + 4], "FITTING DATA USING POLYNOMIAL OF ORDER 2");
  EXPECT_EQ(lines[z1 + 5].rfind("Best fit equation: ", 0), 0u);
  EXPECT_NE(lines[z1 + 5].find(" + 1x^2"), std::string::npos) << lines[z1 + 5];
  EXPECT_EQ(lines[z1 + 6], "");
  EXPECT_EQ(lines[z1 + 7], "     R-squared: 1");
  EXPECT_EQ(lines[z1 + 8].rfind("Area under curve: ", 0), 0u);
  const int z2 = Find(" Zone: 2");
  EXPECT_EQ(lines[z2 + 2], "Type of smoothing operation: Polynomial Moving Average");
  EXPECT_EQ(lines[z2 + 3], "          Number of repeats: 2");
  EXPECT_EQ(lines[z2 + 4], "           Number of points: 7");
  EXPECT_EQ(lines[z2 + 5], "           Polynomial order: 5");
  EXPECT_EQ(lines[z2 + 7], "FITTING DATA USING POWER LAW CURVE, y = a*x^b");
  EXPECT_EQ(lines[z2 + 8], "Best fit equation: y = 1*x^2");
  // One replicate: no statistics whatever the flags say.
  db.SetReportFlag(kReportZoneStatistics, true);
  db.SetReportFlag(kReportSetStatistics, true);
  Write();
  EXPECT_EQ(Find("   STATISTICAL ANALYSIS"), -1);
}

// The lines between the outlier table, the zone blocks and the next
// replicate, and the areas in the "%g" format (y = x / 7 on 0..1 has the
// area 1/14, which "%g" gives to six digits; zone 1 is not fitted and keeps
// its fitted area of 0).
TEST_F(ReportTest, BlocksFollowEachOtherLineByLine) {
  CReplicate& rep = db.Replicate(AddXY(db, {{0, 0}, {0.5, 0.5 / 7}, {1, 1 / 7.0}, {2, 2 / 7.0}}));
  SetZones(rep, {{0, 1}, {1, 2}});
  rep.Zone(2).fit.type = kFitPolynomial;
  rep.Zone(2).fit.degree = 1;
  AddXY(db, {{0, 1}, {1, 2}});
  SetZones(db.Replicate(2), {{0, 1}});
  ASSERT_TRUE(db.Process()) << ui.Last();
  Write();
  const std::string area = Format("Area under curve: %g", 1 / 14.0);
  const std::string area2 = Format("Area under curve: %g", 3 / 14.0);
  ASSERT_EQ(area, "Area under curve: 0.0714286");
  const int z1 = Find(" Zone: 1");
  ASSERT_GT(z1, 2);
  EXPECT_EQ(lines[z1 - 2].find_first_not_of(" -"), std::string::npos) << lines[z1 - 2];
  const std::vector<std::string> expected = {"------------",
                                             " Zone: 1",
                                             "------------",
                                             "Type of smoothing operation: None",
                                             area,
                                             "",
                                             "Area under curve: 0",
                                             "------------",
                                             " Zone: 2",
                                             "------------",
                                             "Type of smoothing operation: None",
                                             area2,
                                             "FITTING DATA USING POLYNOMIAL OF ORDER 1",
                                             lines[z1 + 12],
                                             "",
                                             "     R-squared: 1",
                                             area2,
                                             "",
                                             "------------",
                                             " REPLICATE: 2",
                                             "------------",
                                             "Number of data points : 2"};
  ASSERT_GE(lines.size(), z1 - 1 + expected.size());
  EXPECT_EQ(std::vector<std::string>(lines.begin() + z1 - 1,
                                     lines.begin() + z1 - 1 + static_cast<int>(expected.size())),
            expected);
  EXPECT_EQ(lines[z1 + 12].rfind("Best fit equation: ", 0), 0u);
}

TEST_F(ReportTest, ExponentialAndLogarithmicEquations) {
  XY p;
  for (int i = 1; i <= 20; ++i) p.emplace_back(i, 3.0 * std::exp(0.5 * i));
  CReplicate& rep = db.Replicate(AddXY(db, p));
  SetZones(rep, {{1, 20}});
  rep.Zone(1).fit.type = kFitExponential;
  ASSERT_TRUE(db.Process());
  Write();
  EXPECT_TRUE(Has("FITTING DATA USING EXPONENTIAL CURVE, y = a*e^(bx)"));
  EXPECT_TRUE(Has("Best fit equation: 3*e^(0.5*x)"));
  rep.Zone(1).fit.type = kFitLogarithmic;
  ASSERT_TRUE(db.Process());
  Write();
  EXPECT_TRUE(Has("FITTING DATA USING LOGARITHMIC CURVE, y = a + b*ln(x)"));
  EXPECT_EQ(Find("Best fit equation: y = "), Find("FITTING DATA USING LOG") + 1);
}

TEST_F(ReportTest, TimeStampOutlierTableAndNoOutlierReplicates) {
  XY p;
  for (int i = 0; i < 30; ++i) p.emplace_back(i, i == 12 ? 1000 : 1);
  SetZones(db.Replicate(AddXY(db, p)), {{0, 29}});
  db.Replicate(1).Zone(1).outliers.method = kOutliersChauvenet;
  ASSERT_TRUE(db.Process());
  AddXY(db, p);  // never processed: its outlier table is empty
  db.SetReportFlag(kReportZoneStatistics, true);
  Write();
  const int stamp = Find(" Report created on: ");
  ASSERT_GT(stamp, 0);
  EXPECT_EQ(lines[stamp - 1], " -------------------------------------------");
  EXPECT_NE(lines[stamp].find("    at: "), std::string::npos);
  int title = 0;
  while (title < static_cast<int>(lines.size()) &&
         lines[title].find("Outlier Data") == std::string::npos)
    ++title;
  const int outliers = Find(" =======", title);
  ASSERT_GT(outliers, 0);
  EXPECT_EQ(lines[outliers + 3], " 1       12            1000          ");
  EXPECT_TRUE(Has("No replicates were detected as outliers"));
  EXPECT_GE(Find("          No data in table."), 0);
}

TEST_F(ReportTest, StatisticsOverReplicates) {
  AddXY(db, {{0, 1}, {2, 5}});
  AddXY(db, {{1, 2}, {4, 3}});
  AddXY(db, {{-1, 0}, {3, 9}});
  db.plotSettings.SetShown(3, kCurveRaw, false);
  db.SetReportFlag(kReportZoneStatistics, true);
  Write();
  EXPECT_TRUE(Has("       Total Number of Curves: 3"));
  // Maximum x values 2, 4, 3: maximum 4, minimum 2, mean 3, median 3,
  // population deviation sqrt(2/3).
  const int maxX = Find("      Maximum X Value:", Find("       Total Number of Curves: "));
  ASSERT_GT(maxX, 0);
  const std::string block[] = {"              Maximum: 4", "              Minimum: 2",
                               "                 Mean: 3", "               Median: 3",
                               Format("   Standard deviation: %g", std::sqrt(2.0 / 3.0))};
  for (int k = 0; k < 5; ++k) EXPECT_EQ(lines[maxX + 1 + k], block[k]);
  // With flag 6 only the shown replicates count.
  db.SetReportFlag(kReportSetStatistics, true);
  Write();
  EXPECT_TRUE(Has("       Total Number of Curves: 2"));
  // Flag 1 leaves the unshown replicate out of the listing.
  db.SetReportFlag(kReportActiveOnly, true);
  Write();
  EXPECT_GE(Find(" REPLICATE: 2"), 0);
  EXPECT_EQ(Find(" REPLICATE: 3"), -1);
}

TEST_F(ReportTest, CreateReportReplacesTheOldOneNextToTheProject) {
  EXPECT_EQ(ReportPath("/data/test.olm"), "/data/test.out");
  EXPECT_EQ(ReportPath("/data/test.v2.olm"), "/data/test.v2.out");
  EXPECT_EQ(ReportPath("/data/project"), "/data/project.out");
  EXPECT_EQ(ReportPath("/data.d/project"), "/data.d/project.out");
  EXPECT_EQ(ReportPath(""), "");
  EXPECT_EQ(CreateReport(db, "", {true, true, true, true, true, true}), "");
  EXPECT_EQ(ui.Last(), "Save the project first.");
  EXPECT_FALSE(db.GetReportFlag(2));
  EXPECT_EQ(CreateReport(db, "/nonexistent/folder/p.olm", {}), "");
  EXPECT_EQ(ui.Last(), "Cannot open output file.");
  AddXY(db, {{0, 1}, {1, 2}});
  dir.Write("p.out", "old report\n");
  const std::string path =
      CreateReport(db, dir.File("p.olm"), {false, true, false, false, false, true});
  EXPECT_EQ(path, dir.File("p.out"));
  const std::string text = ReadFile(path);
  EXPECT_EQ(text.find("old report"), std::string::npos);
  EXPECT_NE(text.find(" REPLICATE: 1"), std::string::npos);
  EXPECT_EQ(std::tuple(db.GetReportFlag(1), db.GetReportFlag(2), db.GetReportFlag(6)),
            std::tuple(false, true, true));
}

}  // namespace
}  // namespace olm::test
