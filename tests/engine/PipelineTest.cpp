// The analysis run over a database: zone checks, zone data, outlier removal,
// smoothing and fitting of zones, areas and extents.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "EngineTestUtil.hpp"
#include "TestSupport.hpp"
#include "XYData.hpp"
#include "engine/LocalRegression.hpp"
#include "engine/ZoneProcessing.hpp"

namespace olm::test {
namespace {

using Strings = std::vector<std::string>;

// y = x sampled at 0, 0.5, ..., 2.
const XY kLine = {{0, 0}, {0.5, 0.5}, {1, 1}, {1.5, 1.5}, {2, 2}};

struct DatabaseFixture : ::testing::Test {
  CRecordingUi ui;
  CReplicateDB db;
};
using ValidateTest = DatabaseFixture;
using PipelineTest = DatabaseFixture;
using ZoneNumericsTest = DatabaseFixture;

TEST_F(ValidateTest, CodesOneToThree) {
  EXPECT_FALSE(db.Process());
  EXPECT_EQ(ui.Last(), "No raw data defined.");
  AddXY(db, kLine);
  CReplicate& rep = db.Replicate(1);
  rep.SetActive(false);
  ui.Clear();
  EXPECT_FALSE(db.Process());
  EXPECT_EQ(ui.Texts(), Strings{"No raw data defined."});
  rep.SetActive(true);
  rep.zoneCount = 0;
  EXPECT_FALSE(db.Validate());
  EXPECT_EQ(ui.Last(), "No zones defined.");
  SetZones(rep, {{1, 1}});
  EXPECT_TRUE(db.Validate());  // neither smoothing nor fit: not checked
  rep.Zone(1).fit.type = kFitPolynomial;
  EXPECT_FALSE(db.Validate());
  EXPECT_EQ(ui.Last(), "Zone has same start and end point.");
}

TEST_F(ValidateTest, GapsAboveOneMillionthAreCode4) {
  AddXY(db, kLine);
  CReplicate& rep = db.Replicate(1);
  SetZones(rep, {{0, 1}, {1.0000005, 2}});
  rep.Zone(1).fit.type = rep.Zone(2).fit.type = kFitPolynomial;
  EXPECT_TRUE(db.Validate());
  EXPECT_TRUE(ui.messages.empty());
  rep.SetZoneStart(2, 1.1);
  EXPECT_FALSE(db.Validate());
  EXPECT_EQ(ui.Last(), "Gap between zones.");
  // A zone with neither smoothing nor fit takes no part in the gap check.
  SetZones(rep, {{0, 0.5}, {5, 6}, {6, 7}});
  rep.Zone(1).fit.type = kFitNone;
  rep.Zone(3).smoothing.method = kSmoothMedian;
  EXPECT_TRUE(db.Validate());
  rep.SetZoneStart(3, 6.5);
  EXPECT_FALSE(db.Validate());
}

TEST_F(PipelineTest, BorderPointBelongsToBothZones) {
  AddXY(db, kLine);
  SetZones(db.Replicate(1), {{0, 1}, {1, 2}});
  ASSERT_TRUE(db.Process()) << ui.Last();
  const CReplicate& rep = db.Replicate(1);
  ASSERT_EQ(std::pair(rep.smoothedCount, rep.smoothedData.GetRows()), std::pair(6, 6));
  const double xs[] = {0, 0.5, 1, 1, 1.5, 2};
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(rep.smoothedData(i, 1), xs[i - 1]);
  // Trapezoid areas under y = x: 0.5 on [0, 1] and 1.5 on [1, 2].
  EXPECT_EQ(std::tuple(rep.zoneSmoothedArea(1), rep.zoneSmoothedArea(2), rep.smoothedAreaTotal),
            std::tuple(0.5, 1.5, 2.0));
  EXPECT_TRUE(rep.smoothed && rep.fitted && db.IsSmoothed() && db.IsLocked());
  // No zone is fitted.
  EXPECT_EQ(std::tuple(db.thirdFlag, rep.fitData.GetRows(), rep.fittedAreaTotal),
            std::tuple(0, 0, 0.0));
}

TEST_F(PipelineTest, ZoneRangesAreThoseOfTheReplicateAndGapsAreLeftOut) {
  AddXY(db, {{0, 5}, {1, -2}, {2, 7}, {3, 1}, {4, 0}});
  SetZones(db.Replicate(1), {{0, 1}, {1, 2}, {3, 4}});
  ASSERT_TRUE(db.Process());
  const CReplicate& rep = db.Replicate(1);
  for (int z = 1; z <= 3; ++z)
    EXPECT_EQ(std::tuple(rep.rawYMin(z), rep.rawYMax(z), rep.smoothedYMin(z), rep.smoothedYMax(z)),
              std::tuple(-2.0, 7.0, -2.0, 7.0));
  EXPECT_EQ(rep.smoothedCount, 2 + 2 + 2);  // nothing between x = 2 and 3
}

TEST_F(PipelineTest, AllColumnsTravelWithTheSmoothedPoints) {
  CReplicate& rep = AddCurve(db, {1, 2, 3, 4}, {1, 4, 9, 16});
  rep.SetZoneStart(1, 2);
  ASSERT_TRUE(db.Process());
  ASSERT_EQ(rep.smoothedCount, 3);
  EXPECT_DOUBLE_EQ(rep.smoothedData(1, 1), 0.2);
  EXPECT_EQ(rep.smoothedData(3, 3), 16.0);
  EXPECT_DOUBLE_EQ(rep.zoneSmoothedArea(1), (4 + 9) * 0.5 + (9 + 16) * 0.5);
}

TEST_F(PipelineTest, ALongCurveKeepsEveryRowAndColumnWholeOrInPart) {
  // A zone over every row is copied in parts on several threads; one that
  // leaves rows out is copied row by row.
  std::vector<double> x, y;
  for (int i = 0; i < 900001; ++i) x.push_back(i * 0.01), y.push_back(std::cos(i * 1e-3) * i);
  CReplicate& rep = AddCurve(db, x, y);
  const auto matches = [&](int firstRaw) {
    for (int i = 1; i <= rep.smoothedCount; ++i)
      for (int c = 1; c <= 3; ++c)
        if (rep.smoothedData(i, c) != rep.raw(i + firstRaw - 1, c)) return false;
    return true;
  };
  ASSERT_TRUE(db.Process()) << ui.Last();
  ASSERT_EQ(rep.smoothedCount, 900001);
  EXPECT_TRUE(matches(1));
  const auto [lo, hi] = std::minmax_element(y.begin(), y.end());
  EXPECT_EQ(std::tuple(rep.rawYMin(1), rep.rawYMax(1), rep.smoothedYMin(1), rep.smoothedYMax(1)),
            std::tuple(*lo, *hi, *lo, *hi));
  rep.SetZoneStart(1, 0.015);  // leaves out rows 1 and 2 (x 0 and 0.01)
  rep.SetZoneEnd(1, 8999.995);  // and the last row
  ASSERT_TRUE(db.Process()) << ui.Last();
  ASSERT_EQ(rep.smoothedCount, 900001 - 3);
  EXPECT_TRUE(matches(3));
}

TEST_F(PipelineTest, EmptyZonesInactiveReplicatesExtentsAndClearing) {
  AddXY(db, kLine);
  SetZones(db.Replicate(1), {{5, 6}});
  EXPECT_FALSE(db.Process());
  EXPECT_EQ(ui.Last(), "Zone contains no data points");
  EXPECT_FALSE(db.IsSmoothed() || db.Replicate(1).smoothed);
  SetZones(db.Replicate(1), {{2, 2}});  // equal ends, no outlier removal: skipped
  ASSERT_TRUE(db.Process());
  EXPECT_EQ(std::pair(db.Replicate(1).smoothedCount, db.Replicate(1).smoothedData.GetRows()),
            std::pair(0, 0));

  SetZones(db.Replicate(1), {{0.5, 1.5}});
  AddXY(db, kLine);
  SetZones(db.Replicate(2), {{0, 2}});
  db.Replicate(2).SetActive(false);
  db.plotSettings.SetShown(1, kCurveRaw, false);
  db.plotSettings.SetShown(1, kCurveSmoothed, true);
  ASSERT_TRUE(db.Process());
  EXPECT_EQ(std::tuple(db.Replicate(1).smoothedCount, db.Replicate(2).smoothedCount,
                       db.Replicate(2).smoothed),
            std::tuple(3, 0, false));
  EXPECT_EQ(std::tuple(db.GetExtent(kSmoothedMin, 1), db.GetExtent(kOverallMax, 2),
                       db.GetExtent(kRawMin, 1)),
            std::tuple(0.5, 1.5, 1e20));
  db.thirdFlag = 1;  // as a best-fit curve leaves it
  db.ClearProcessed();
  EXPECT_FALSE(db.IsSmoothed() || db.IsLocked() || db.thirdFlag || db.Replicate(1).smoothed ||
               db.Replicate(1).smoothedCount);
}

TEST_F(PipelineTest, TrapezoidAreaOverTheFirstNRows) {
  CMatrix<double> m(4, 2);
  const double xs[] = {0, 1, 3, 10}, ys[] = {2, 4, 0, 100};
  for (int i = 1; i <= 4; ++i) m(i, 1) = xs[i - 1], m(i, 2) = ys[i - 1];
  EXPECT_DOUBLE_EQ(TrapezoidArea(m, 3, 1, 2), 3.0 + 4.0);  // row 4 is not counted
  EXPECT_EQ(TrapezoidArea(m, 1, 1, 2), 0.0);
}

TEST_F(ZoneNumericsTest, LinearFitThroughThreePoints) {
  CReplicate& rep = AddCurve(db, {1, 2, 3}, {2, 4, 6});
  rep.Zone(1).fit.type = kFitPolynomial;
  rep.Zone(1).fit.degree = 1;
  ASSERT_TRUE(db.Process()) << ui.Last();
  // y = 0 + 2x; the unused coefficients are 0.
  const double want[] = {0, 2, 0, 0, 0, 0};
  for (int k = 1; k <= 6; ++k) EXPECT_NEAR(rep.coefficients(k, 1), want[k - 1], 1e-14) << k;
  ASSERT_EQ(rep.fitData.GetRows(), 3);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(rep.fitData(i, 2), i);
    EXPECT_NEAR(rep.fitData(i, 3), 2.0 * i, 1e-14);
  }
  EXPECT_NEAR(rep.rSquared(1), 1.0, 1e-14);
  EXPECT_NEAR(rep.zoneFittedArea(1), 8.0, 1e-13);  // integral of 2x from 1 to 3
  EXPECT_NEAR(rep.zoneSmoothedArea(1), 8.0, 1e-13);
}

TEST_F(ZoneNumericsTest, CertifiedRSquaredOfNorris) {
  std::vector<double> x, y;
  ASSERT_TRUE(ReadXY("nist/Norris.csv", x, y));
  CReplicate& rep = AddCurve(db, x, y);
  // The zone takes x in [min, max]; Norris is not sorted.
  rep.SetZoneStart(1, *std::min_element(x.begin(), x.end()));
  rep.SetZoneEnd(1, *std::max_element(x.begin(), x.end()));
  rep.Zone(1).fit.type = kFitPolynomial;
  ASSERT_TRUE(db.Process());
  EXPECT_NEAR(rep.rSquared(1), 0.999993745883712, 1e-12);
}

// Chauvenet takes a spike out of the middle of the zone, so the values the
// robust filter receives no longer match the zone's raw points row by row.
// The filter must work on what it received.
TEST_F(ZoneNumericsTest, ChauvenetBeforeRobustLowessStaysAligned) {
  auto x = Generate(80, [](int i) { return 0.001 * i; });
  auto y = Generate(80, [](int i) { return 100.0 * std::sin(0.02 * i) + ((i * 37) % 11) * 0.3; });
  y[20] += 400.0;  // removed by Chauvenet
  CReplicate& rep = AddCurve(db, x, y);
  CZone& zone = rep.Zone(1);
  zone.outliers.method = kOutliersChauvenet;
  zone.smoothing = {2, 9, 3, kSmoothRobustLowess};
  ASSERT_TRUE(db.Process()) << ui.Last();
  ASSERT_EQ(rep.outlierCount, 1);
  EXPECT_EQ(rep.outliers(1, 2), x[20]);
  ASSERT_EQ(rep.smoothedCount, 79);
  x.erase(x.begin() + 20);
  y.erase(y.begin() + 20);
  CSmoothingWorkspace ws;
  ASSERT_TRUE(RobustLocalRegression(x.data(), y.data(), 79, 9, 1, 2, ws));
  for (int i = 1; i <= 79; ++i) {
    EXPECT_EQ(rep.smoothedData(i, 2), x[static_cast<size_t>(i - 1)]);
    EXPECT_NEAR(rep.smoothedData(i, 3), y[static_cast<size_t>(i - 1)], 1e-12) << i;
    // The other column moved with its row.
    EXPECT_NEAR(rep.smoothedData(i, 1), 0.1 * (i <= 20 ? i : i + 1), 1e-12) << i;
  }
}

TEST_F(ZoneNumericsTest, IdenticalValuesLeaveNoPointsAndTheRunSaysSo) {
  CReplicate& rep = AddCurve(db, {1, 2, 3, 4, 5, 6}, {7, 7, 7, 7, 7, 7});
  rep.Zone(1).outliers.method = kOutliersChauvenet;
  rep.Zone(1).smoothing = {1, 3, 3, kSmoothSimpleAverage};
  EXPECT_FALSE(db.Process());
  EXPECT_EQ(ui.Last(), "Zone contains no smoothened points");
  EXPECT_EQ(std::pair(rep.Zone(1).outlierCount, rep.Zone(1).smoothedArea), std::pair(6, 0.0));
}

TEST_F(ZoneNumericsTest, SmoothedThenFittedZonesAndAFailingFit) {
  const auto x = Generate(101, [](int i) { return 0.002 * i; });
  CReplicate& rep = AddCurve(db, x, Generate(101, [&](int i) { return 1000.0 * x[i]; }));
  SetZones(rep, {{0, 0.1}, {0.1, 0.2}});
  rep.Zone(1).smoothing = {1, 5, 3, kSmoothPolynomialAverage};
  rep.Zone(1).fit.type = kFitPolynomial;
  rep.Zone(2).smoothing = {2, 7, 3, kSmoothLoess};
  rep.Zone(2).fit.type = kFitPowerLaw;
  ASSERT_TRUE(db.Process()) << ui.Last();
  // A line survives both filters; the shared point x = 0.1 is in both zones.
  ASSERT_EQ(rep.smoothedCount, 102);
  for (int i = 1; i <= 102; ++i)
    EXPECT_NEAR(rep.smoothedData(i, 3), 1000.0 * rep.smoothedData(i, 2), 1e-9);
  // Zone 1 a line of slope 1000, zone 2 the power law 1000 x^1.
  EXPECT_NEAR(rep.coefficients(2, 1), 1000.0, 1e-9);
  EXPECT_NEAR(rep.coefficients(1, 2), 1000.0, 1e-8);
  EXPECT_NEAR(rep.coefficients(2, 2), 1.0, 1e-12);
  EXPECT_NEAR(rep.zoneFittedArea(2), 500.0 * (0.04 - 0.01), 1e-9);
  EXPECT_NEAR(rep.fittedAreaTotal, 500.0 * 0.04, 1e-9);

  CReplicate& bad = AddCurve(db, {1, 2, 3, 4}, {1, -1, 2, 3});
  bad.Zone(1).fit.type = kFitExponential;
  EXPECT_FALSE(db.Process());
  EXPECT_EQ(ui.Last(), "Y values must be positive for exponential fit.");
  EXPECT_EQ(std::pair(db.IsSmoothed(), db.IsLocked()), std::pair(true, false));
}

}  // namespace
}  // namespace olm::test
