#include <gtest/gtest.h>

#include <sstream>

#include "EngineTestUtil.hpp"
#include "TestSupport.hpp"
#include "engine/Report.hpp"

namespace olm {
namespace {

using test::AddXY;
using test::CRecordingUi;
using test::CTempDir;
using test::ReadFile;
using test::SetZones;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The index of the first line that starts with prefix, or -1.
int FindLine(const std::vector<std::string>& lines, const std::string& prefix, int from = 0) {
  for (size_t i = static_cast<size_t>(from); i < lines.size(); ++i)
    if (lines[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
  return -1;
}

// y = x^2 on 100 points x = 1..100, zone [1, 80] smoothed (no filter) and
// fitted with a quadratic, zone [80, 100] neither: 80 + 21 smoothed rows.
std::vector<std::pair<double, double>> Parabola() {
  std::vector<std::pair<double, double>> p;
  for (int i = 1; i <= 100; ++i) p.emplace_back(i, i * i);
  return p;
}

class ReportTest : public ::testing::Test {
 protected:
  // A fresh report (the writer appends, as the report command deletes first).
  std::string Write() {
    const std::string path = dir.File("r.out");
    std::remove(path.c_str());
    EXPECT_TRUE(WriteReport(db, path));
    return ReadFile(path);
  }
  CRecordingUi ui;
  CTempDir dir;
  CReplicateDB db;
};

TEST_F(ReportTest, DataTableShowsDashesWhereAKindHasFewerRows) {
  AddXY(db, Parabola());
  CReplicate& rep = db.Replicate(1);
  SetZones(rep, {{1, 80}});
  ASSERT_TRUE(db.Process());
  ASSERT_EQ(rep.smoothedCount, 80);
  db.SetReportFlag(kReportRawData, true);
  db.SetReportFlag(kReportSmoothedData, true);
  const auto lines = Lines(Write());
  EXPECT_TRUE(HasLine(lines, "Number of data points : 100"));
  const int title = FindLine(lines, "   ");
  ASSERT_GE(FindLine(lines, " Data    Raw X         Raw Y         Smooth X      Smooth Y"), 0);
  const int first = FindLine(lines, " 1       1             1             1             1");
  ASSERT_GT(first, title);
  EXPECT_EQ(lines[static_cast<size_t>(first + 79)],
            " 80      80            6400          80            6400          ");
  EXPECT_EQ(lines[static_cast<size_t>(first + 80)],
            " 81      81            6561          -             -             ");
  EXPECT_EQ(lines[static_cast<size_t>(first + 99)],
            " 100     100           10000         -             -             ");
  // Min, Point, Max, Point over the value columns.
  EXPECT_EQ(lines[static_cast<size_t>(first + 100)],
            " Min     1             1             1             1             ");
  EXPECT_EQ(lines[static_cast<size_t>(first + 101)],
            " Point   1             1             1             1             ");
  EXPECT_EQ(lines[static_cast<size_t>(first + 102)],
            " Max     100           10000         80            6400          ");
  EXPECT_EQ(lines[static_cast<size_t>(first + 103)],
            " Point   100           100           80            80            ");
}

TEST_F(ReportTest, ZoneBlocksAndEquations) {
  AddXY(db, Parabola());
  CReplicate& rep = db.Replicate(1);
  SetZones(rep, {{1, 50}, {50, 100}, {60, 70}});
  rep.Zone(1).fit.type = kFitPolynomial;
  rep.Zone(1).fit.degree = 2;
  rep.Zone(2).smoothing = {2, 5, 5, kSmoothPolynomialAverage};
  rep.Zone(2).fit.type = kFitPowerLaw;
  rep.Zone(3).fit.type = kFitExponential;
  rep.SetZoneStart(3, 100);
  rep.SetZoneEnd(3, 100);
  rep.Zone(3).fit.type = kFitNone;
  rep.zoneCount = 2;
  rep.Zone(2).smoothing.points = 7;
  ASSERT_TRUE(db.Process()) << ui.Last();
  const auto lines = Lines(Write());
  const int zone1 = FindLine(lines, " Zone: 1");
  ASSERT_GT(zone1, 0);
  EXPECT_EQ(lines[static_cast<size_t>(zone1 + 2)], "Type of smoothing operation: None");
  EXPECT_EQ(lines[static_cast<size_t>(zone1 + 3)].rfind("Area under curve: ", 0), 0u);
  EXPECT_EQ(lines[static_cast<size_t>(zone1 + 4)], "FITTING DATA USING POLYNOMIAL OF ORDER 2");
  EXPECT_EQ(lines[static_cast<size_t>(zone1 + 5)].rfind("Best fit equation: ", 0), 0u);
  EXPECT_NE(lines[static_cast<size_t>(zone1 + 5)].find(" + 1x^2"), std::string::npos)
      << lines[static_cast<size_t>(zone1 + 5)];
  EXPECT_EQ(lines[static_cast<size_t>(zone1 + 6)], "");
  EXPECT_EQ(lines[static_cast<size_t>(zone1 + 7)], "     R-squared: 1");
  EXPECT_EQ(lines[static_cast<size_t>(zone1 + 8)].rfind("Area under curve: ", 0), 0u);

  const int zone2 = FindLine(lines, " Zone: 2");
  EXPECT_EQ(lines[static_cast<size_t>(zone2 + 2)],
            "Type of smoothing operation: Polynomial Moving Average");
  EXPECT_EQ(lines[static_cast<size_t>(zone2 + 3)], "          Number of repeats: 2");
  EXPECT_EQ(lines[static_cast<size_t>(zone2 + 4)], "           Number of points: 7");
  EXPECT_EQ(lines[static_cast<size_t>(zone2 + 5)], "           Polynomial order: 5");
  EXPECT_EQ(lines[static_cast<size_t>(zone2 + 7)], "FITTING DATA USING POWER LAW CURVE, y = a*x^b");
  EXPECT_EQ(lines[static_cast<size_t>(zone2 + 8)],
            Format("Best fit equation: y = %g*x^%g", rep.coefficients(1, 2), rep.coefficients(2, 2)));
  EXPECT_EQ(lines[static_cast<size_t>(zone2 + 8)], "Best fit equation: y = 1*x^2");
  // One replicate: no statistics whatever the flags say.
  db.SetReportFlag(kReportZoneStatistics, true);
  db.SetReportFlag(kReportSetStatistics, true);
  EXPECT_EQ(FindLine(Lines(Write()), "   STATISTICAL ANALYSIS"), -1);
}

TEST_F(ReportTest, ExponentialAndLogarithmicEquations) {
  std::vector<std::pair<double, double>> p;
  for (int i = 1; i <= 20; ++i) p.emplace_back(i, 3.0 * std::exp(0.5 * i));
  AddXY(db, p);
  SetZones(db.Replicate(1), {{1, 20}});
  db.Replicate(1).Zone(1).fit.type = kFitExponential;
  ASSERT_TRUE(db.Process());
  auto lines = Lines(Write());
  EXPECT_TRUE(HasLine(lines, "FITTING DATA USING EXPONENTIAL CURVE, y = a*e^(bx)"));
  EXPECT_TRUE(HasLine(lines, "Best fit equation: 3*e^(0.5*x)"));
  db.Replicate(1).Zone(1).fit.type = kFitLogarithmic;
  ASSERT_TRUE(db.Process());
  lines = Lines(Write());
  EXPECT_TRUE(HasLine(lines, "FITTING DATA USING LOGARITHMIC CURVE, y = a + b*ln(x)"));
  EXPECT_EQ(FindLine(lines, "Best fit equation: y = "), FindLine(lines, "FITTING DATA USING LOG") + 1);
}

TEST_F(ReportTest, TimeStampOutlierTableAndNoOutlierReplicates) {
  std::vector<std::pair<double, double>> p;
  for (int i = 0; i < 30; ++i) p.emplace_back(i, i == 12 ? 1000 : 1);
  AddXY(db, p);
  SetZones(db.Replicate(1), {{0, 29}});
  db.Replicate(1).Zone(1).outliers.method = kOutliersChauvenet;
  ASSERT_TRUE(db.Process());
  AddXY(db, p);
  db.SetReportFlag(kReportZoneStatistics, true);
  const auto lines = Lines(Write());
  const int stamp = FindLine(lines, " Report created on: ");
  ASSERT_GT(stamp, 0);
  EXPECT_EQ(lines[static_cast<size_t>(stamp - 1)], " -------------------------------------------");
  EXPECT_NE(lines[static_cast<size_t>(stamp)].find("    at: "), std::string::npos);
  int title = 0;
  while (title < static_cast<int>(lines.size()) &&
         lines[static_cast<size_t>(title)].find("Outlier Data") == std::string::npos)
    ++title;
  const int outliers = FindLine(lines, " =======", title);
  ASSERT_GT(outliers, 0);
  EXPECT_EQ(lines[static_cast<size_t>(outliers + 3)], " 1       12            1000          ");
  EXPECT_TRUE(HasLine(lines, "No replicates were detected as outliers"));
  // The second replicate was never processed: its outlier table is empty.
  EXPECT_GE(FindLine(lines, "          No data in table."), 0);
}

TEST_F(ReportTest, StatisticsOverReplicates) {
  AddXY(db, {{0, 1}, {2, 5}});
  AddXY(db, {{1, 2}, {4, 3}});
  AddXY(db, {{-1, 0}, {3, 9}});
  db.plotSettings.SetShown(3, kCurveRaw, false);  // not shown
  db.SetReportFlag(kReportZoneStatistics, true);
  auto lines = Lines(Write());
  int at = FindLine(lines, "       Total Number of Curves: ");
  ASSERT_GT(at, 0);
  EXPECT_EQ(lines[static_cast<size_t>(at)], "       Total Number of Curves: 3");
  // Maximum x values 2, 4, 3: maximum 4, minimum 2, mean 3, median 3,
  // population deviation sqrt(2/3).
  const int maxX = FindLine(lines, "      Maximum X Value:", at);
  EXPECT_EQ(lines[static_cast<size_t>(maxX + 1)], "              Maximum: 4");
  EXPECT_EQ(lines[static_cast<size_t>(maxX + 2)], "              Minimum: 2");
  EXPECT_EQ(lines[static_cast<size_t>(maxX + 3)], "                 Mean: 3");
  EXPECT_EQ(lines[static_cast<size_t>(maxX + 4)], "               Median: 3");
  EXPECT_EQ(lines[static_cast<size_t>(maxX + 5)],
            Format("   Standard deviation: %g", std::sqrt(2.0 / 3.0)));
  // With flag 6 only the shown replicates count.
  db.SetReportFlag(kReportSetStatistics, true);
  lines = Lines(Write());
  at = FindLine(lines, "       Total Number of Curves: ");
  EXPECT_EQ(lines[static_cast<size_t>(at)], "       Total Number of Curves: 2");
  // Flag 1 leaves the unshown replicate out of the listing.
  db.SetReportFlag(kReportActiveOnly, true);
  lines = Lines(Write());
  EXPECT_GE(FindLine(lines, " REPLICATE: 2"), 0);
  EXPECT_EQ(FindLine(lines, " REPLICATE: 3"), -1);
}

TEST(ReportPathTest, ExtensionOfTheFileNameOnly) {
  EXPECT_EQ(ReportPath("/data/test.olm"), "/data/test.out");
  EXPECT_EQ(ReportPath("/data/test.v2.olm"), "/data/test.v2.out");
  EXPECT_EQ(ReportPath("/data/project"), "/data/project.out");
  EXPECT_EQ(ReportPath("/data.d/project"), "/data.d/project.out");
  EXPECT_EQ(ReportPath(""), "");
}

TEST(CreateReportTest, NeverSavedProjectWritesNothing) {
  CRecordingUi ui;
  CReplicateDB db;
  EXPECT_EQ(CreateReport(db, "", {true, true, true, true, true, true}), "");
  EXPECT_EQ(ui.Last(), "Save the project first.");
  EXPECT_FALSE(db.GetReportFlag(2));
}

TEST(CreateReportTest, ReplacesTheOldReportAndStoresTheFlags) {
  CRecordingUi ui;
  CTempDir dir;
  CReplicateDB db;
  AddXY(db, {{0, 1}, {1, 2}});
  dir.Write("p.out", "old report\n");
  const std::string path = CreateReport(db, dir.File("p.olm"), {false, true, false, false, false, true});
  EXPECT_EQ(path, dir.File("p.out"));
  const std::string text = ReadFile(path);
  EXPECT_EQ(text.find("old report"), std::string::npos);
  EXPECT_NE(text.find(" REPLICATE: 1"), std::string::npos);
  EXPECT_TRUE(db.GetReportFlag(2));
  EXPECT_TRUE(db.GetReportFlag(6));
  EXPECT_FALSE(db.GetReportFlag(1));
}

TEST(CreateReportTest, UnwritableFolderIsCode11) {
  CRecordingUi ui;
  CReplicateDB db;
  EXPECT_EQ(CreateReport(db, "/nonexistent/folder/p.olm", {}), "");
  EXPECT_EQ(ui.Last(), "Cannot open output file.");
}

}  // namespace
}  // namespace olm
