// The numerics through the analysis run: outlier removal, smoothing and
// fitting of zones in a database.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "TestSupport.hpp"
#include "XYData.hpp"
#include "engine/Database.hpp"
#include "engine/LocalRegression.hpp"
#include "engine/ZoneProcessing.hpp"

namespace olm::test {
namespace {

// One replicate of three columns (time, x, y) with one zone over all x.
CReplicate& AddCurve(CReplicateDB& db, const std::vector<double>& x, const std::vector<double>& y) {
  const int r = db.AddReplicate();
  CReplicate& rep = db.Replicate(r);
  rep.SetTitle("curve");
  const int n = static_cast<int>(x.size());
  rep.columnCount = 3;
  rep.ResizeColumnTexts(3);
  rep.raw.SetSize(n, 3);
  for (int i = 1; i <= n; ++i) {
    rep.raw(i, 1) = 0.1 * i;
    rep.raw(i, 2) = x[static_cast<size_t>(i - 1)];
    rep.raw(i, 3) = y[static_cast<size_t>(i - 1)];
  }
  rep.pointCount = n;
  rep.SetXYColumns(2, 3);
  rep.zoneCount = 1;
  rep.SetZoneStart(1, x.front());
  rep.SetZoneEnd(1, x.back());
  return rep;
}

TEST(ZoneNumerics, LinearFitThroughThreePoints) {
  CRecordingUi ui;
  CReplicateDB db;
  CReplicate& rep = AddCurve(db, {1, 2, 3}, {2, 4, 6});
  rep.Zone(1).fit.type = kFitPolynomial;
  rep.Zone(1).fit.degree = 1;
  ASSERT_TRUE(db.Process()) << ui.Last();
  EXPECT_NEAR(rep.coefficients(1, 1), 0.0, 1e-14);
  EXPECT_NEAR(rep.coefficients(2, 1), 2.0, 1e-14);
  EXPECT_NEAR(rep.rSquared(1), 1.0, 1e-14);
  EXPECT_NEAR(rep.zoneFittedArea(1), 8.0, 1e-13);  // integral of 2x from 1 to 3
  EXPECT_NEAR(rep.zoneSmoothedArea(1), 8.0, 1e-13);
}

TEST(ZoneNumerics, CertifiedRSquaredOfNorris) {
  std::vector<double> x, y;
  ASSERT_TRUE(ReadXY("nist/Norris.csv", x, y));
  // The zone takes x in [min, max]; Norris is not sorted.
  CReplicateDB db;
  CReplicate& rep = AddCurve(db, x, y);
  rep.SetZoneStart(1, *std::min_element(x.begin(), x.end()));
  rep.SetZoneEnd(1, *std::max_element(x.begin(), x.end()));
  rep.Zone(1).fit.type = kFitPolynomial;
  ASSERT_TRUE(db.Process());
  EXPECT_NEAR(rep.rSquared(1), 0.999993745883712, 1e-12);
}

// Chauvenet takes a spike out of the middle of the zone, so the values the
// robust filter receives no longer match the zone's raw points row by row.
// The filter must work on what it received.
TEST(ZoneNumerics, ChauvenetBeforeRobustLowessStaysAligned) {
  CRecordingUi ui;
  std::vector<double> x, y;
  for (int i = 0; i < 80; ++i) {
    x.push_back(0.001 * i);
    y.push_back(100.0 * std::sin(20.0 * 0.001 * i) + ((i * 37) % 11) * 0.3);
  }
  y[20] += 400.0;  // removed by Chauvenet
  CReplicateDB db;
  CReplicate& rep = AddCurve(db, x, y);
  CZone& zone = rep.Zone(1);
  zone.outliers.method = kOutliersChauvenet;
  zone.smoothing.method = kSmoothRobustLowess;
  zone.smoothing.points = 9;
  zone.smoothing.repeats = 2;
  ASSERT_TRUE(db.Process()) << ui.Last();
  ASSERT_EQ(rep.outlierCount, 1);
  EXPECT_EQ(rep.outliers(1, 2), x[20]);
  ASSERT_EQ(rep.smoothedCount, 79);

  std::vector<double> kx, ky;
  for (size_t i = 0; i < x.size(); ++i)
    if (i != 20) {
      kx.push_back(x[i]);
      ky.push_back(y[i]);
    }
  CSmoothingWorkspace ws;
  ASSERT_TRUE(RobustLocalRegression(kx.data(), ky.data(), 79, 9, 1, 2, ws));
  for (int i = 1; i <= 79; ++i) {
    EXPECT_EQ(rep.smoothedData(i, 2), kx[static_cast<size_t>(i - 1)]);
    EXPECT_NEAR(rep.smoothedData(i, 3), ky[static_cast<size_t>(i - 1)], 1e-12) << i;
    // The other column moved with its row.
    EXPECT_NEAR(rep.smoothedData(i, 1), 0.1 * (i <= 20 ? i : i + 1), 1e-12) << i;
  }
}

TEST(ZoneNumerics, IdenticalValuesLeaveNoPointsAndTheRunSaysSo) {
  CRecordingUi ui;
  CReplicateDB db;
  CReplicate& rep = AddCurve(db, {1, 2, 3, 4, 5, 6}, {7, 7, 7, 7, 7, 7});
  rep.Zone(1).outliers.method = kOutliersChauvenet;
  rep.Zone(1).smoothing.method = kSmoothSimpleAverage;
  rep.Zone(1).smoothing.points = 3;
  EXPECT_FALSE(db.Process());
  EXPECT_EQ(ui.Last(), "Zone contains no smoothened points");
  EXPECT_EQ(rep.Zone(1).outlierCount, 6);
  EXPECT_EQ(rep.Zone(1).smoothedArea, 0.0);
}

TEST(ZoneNumerics, SmoothedThenFittedZones) {
  CRecordingUi ui;
  std::vector<double> x, y;
  for (int i = 0; i <= 100; ++i) {
    x.push_back(0.002 * i);
    y.push_back(1000.0 * x.back());
  }
  CReplicateDB db;
  CReplicate& rep = AddCurve(db, x, y);
  rep.zoneCount = 2;
  rep.SetZoneEnd(1, 0.1);
  rep.SetZoneStart(2, 0.1);
  rep.SetZoneEnd(2, 0.2);
  rep.Zone(1).smoothing = {1, 5, 3, kSmoothPolynomialAverage};
  rep.Zone(1).fit.type = kFitPolynomial;
  rep.Zone(2).smoothing = {2, 7, 3, kSmoothLoess};
  rep.Zone(2).fit.type = kFitPowerLaw;
  ASSERT_TRUE(db.Process()) << ui.Last();
  // A line survives both filters; the shared point x = 0.1 is in both zones.
  ASSERT_EQ(rep.smoothedCount, 102);
  for (int i = 1; i <= 102; ++i)
    EXPECT_NEAR(rep.smoothedData(i, 3), 1000.0 * rep.smoothedData(i, 2), 1e-9);
  EXPECT_NEAR(rep.coefficients(2, 1), 1000.0, 1e-9);
  EXPECT_NEAR(rep.coefficients(1, 2), 1000.0, 1e-8);
  EXPECT_NEAR(rep.coefficients(2, 2), 1.0, 1e-12);
  EXPECT_NEAR(rep.zoneFittedArea(2), 500.0 * (0.04 - 0.01), 1e-9);
  EXPECT_NEAR(rep.fittedAreaTotal, 500.0 * 0.04, 1e-9);
}

TEST(ZoneNumerics, AFitFailureStopsTheRun) {
  CRecordingUi ui;
  CReplicateDB db;
  CReplicate& rep = AddCurve(db, {1, 2, 3, 4}, {1, -1, 2, 3});
  rep.Zone(1).fit.type = kFitExponential;
  EXPECT_FALSE(db.Process());
  EXPECT_EQ(ui.Last(), "Y values must be positive for exponential fit.");
  EXPECT_TRUE(db.IsSmoothed());
  EXPECT_FALSE(db.IsLocked());
}

}  // namespace
}  // namespace olm::test
