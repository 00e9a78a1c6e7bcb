// Bad settings and bad numbers: bounded work, non-finite values, overlapping
// zones, placeholder extents and allocation failures.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ChildProcess.hpp"
#include "EngineTestUtil.hpp"
#include "TestSupport.hpp"
#include "engine/BestFit.hpp"
#include "engine/Reformat.hpp"
#include "engine/Smoothing.hpp"

namespace olm::test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

XY Line(int n, double slope = 1.0) {
  XY pts;
  for (int i = 0; i < n; ++i) pts.emplace_back(i, slope * i);
  return pts;
}

TEST(RobustnessTest, RepeatsBeyondTheLimitAreCode31BeforeAnyWork) {
  CRecordingUi ui;
  CReplicateDB db;
  AddXY(db, Line(40));
  CReplicate& rep = db.Replicate(1);
  SetZones(rep, {{0, 39}});
  rep.Zone(1).smoothing.method = kSmoothRobustLoess;
  rep.Zone(1).smoothing.points = 7;
  for (const int repeats :
       {2000000000, std::numeric_limits<int>::max(), kMaxSmoothingRepeats + 1}) {
    rep.Zone(1).smoothing.repeats = repeats;
    ui.Clear();
    EXPECT_FALSE(db.Process()) << repeats;
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Invalid number of repeats."}) << repeats;
  }
  rep.Zone(1).smoothing.repeats = 3;
  EXPECT_TRUE(db.Process()) << ui.Last();
}

TEST(RobustnessTest, OverlappingZonesAreNamedNotCalledAGap) {
  CRecordingUi ui;
  CReplicateDB db;
  AddXY(db, Line(11));
  CReplicate& rep = db.Replicate(1);
  SetZones(rep, {{0, 6}, {4, 10}});
  rep.Zone(1).fit.type = rep.Zone(2).fit.type = kFitPolynomial;
  EXPECT_FALSE(db.Validate());
  EXPECT_EQ(ui.Last(), "Zones 1 and 2 overlap.");
  // Sharing a border is no overlap; a real gap is still code 4.
  SetZones(rep, {{0, 5}, {5, 10}});
  EXPECT_TRUE(db.Validate()) << ui.Last();
  SetZones(rep, {{0, 4}, {5, 10}});
  EXPECT_FALSE(db.Validate());
  EXPECT_EQ(ui.Last(), "Gap between zones.");
}

TEST(RobustnessTest, ExtentsIgnoreNonFiniteValuesAndTheNoDataPlaceholders) {
  CReplicateDB db;
  // Data far beyond the +-1e20 placeholders, and a NaN and an infinity.
  AddXY(db, {{2e25, 3e30}, {kNaN, 1.0}, {4e25, kInf}, {5e25, 6e30}});
  db.ComputeExtents(true);
  EXPECT_EQ(std::tuple(db.GetExtent(kRawMin, 1), db.GetExtent(kRawMax, 1), db.GetExtent(kRawMin, 2),
                       db.GetExtent(kRawMax, 2)),
            std::tuple(2e25, 5e25, 3e30, 6e30));
  EXPECT_EQ(std::pair(db.GetExtent(kOverallMin, 1), db.GetExtent(kOverallMax, 2)),
            std::pair(2e25, 6e30));
  // Nothing smoothed: its extents stay placeholders (minimum above maximum).
  EXPECT_GT(db.GetExtent(kSmoothedMin, 1), db.GetExtent(kSmoothedMax, 1));
  // Negative data below -1e20 likewise.
  CReplicateDB negative;
  AddXY(negative, {{-5e25, -1e30}, {-2e25, -2e30}});
  negative.ComputeExtents(true);
  EXPECT_EQ(std::pair(negative.GetExtent(kOverallMax, 1), negative.GetExtent(kOverallMax, 2)),
            std::pair(-2e25, -1e30));
}

TEST(RobustnessTest, ExtentsOfALongCurveAreTheOnePassResult) {
  // A long curve is gathered in parts on several threads: non-finite points
  // anywhere are left out and a tie keeps the earlier point (0.0 before -0.0).
  std::vector<std::pair<double, double>> points;
  for (int i = 0; i < 700001; ++i)
    points.push_back({i == 0 ? 0.0 : -0.0, std::sin(i * 0.001) * (1 + i % 7)});
  for (size_t i = 1; i < points.size(); i += 1009) points[i].first = i % 2 ? kNaN : kInf;
  for (size_t i = 5; i < points.size(); i += 1013) points[i].second = -kInf;
  double yLo = kInf, yHi = -kInf;
  for (const auto& [x, y] : points)
    if (std::isfinite(x) && std::isfinite(y)) yLo = std::min(yLo, y), yHi = std::max(yHi, y);
  CReplicateDB db;
  AddXY(db, points);
  db.ComputeExtents(true);
  EXPECT_EQ(std::pair(db.GetExtent(kRawMin, 2), db.GetExtent(kRawMax, 2)), std::pair(yLo, yHi));
  EXPECT_FALSE(std::signbit(db.GetExtent(kRawMin, 1)) || std::signbit(db.GetExtent(kRawMax, 1)));
}

TEST(RobustnessTest, AnalysisRefusesANonFinitePointInAZoneAndNamesIt) {
  // Every filter used to stumble over such a point with a misleading
  // message ("Cannot fit data. Error in equation solver.", "Error in
  // finding median value.") or to carry an infinity into the areas.
  const auto run = [](double badX, double badY, int method) {
    CReplicateDB db;
    std::vector<double> x, y;
    for (int i = 0; i < 60; ++i) x.push_back(i), y.push_back(2.0 * i + 1);
    x[20] = badX, y[20] = badY;
    CReplicate& rep = AddCurve(db, x, y);
    rep.SetTitle("specimen");
    rep.Zone(1).smoothing.method = method;
    rep.Zone(1).smoothing.points = 5;
    rep.Zone(1).smoothing.repeats = 1;
    rep.Zone(1).fit.type = kFitPolynomial;
    rep.Zone(1).fit.degree = 1;
    CRecordingUi ui;
    const bool ok = db.Process();
    return std::pair(ok, ok ? std::string() : ui.Last());
  };
  for (const auto& filter : kSmoothingFilters) {
    const int method = filter.stored;
    EXPECT_EQ(run(20, kNaN, method),
              std::pair(false, std::string("Data set \"specimen\", zone 1: the point on row 21 "
                                           "is not a finite number (x 20, y nan).")))
        << method;
    EXPECT_FALSE(run(20, -kInf, method).first) << method;
  }
  // A point whose x is NaN lies in no zone: it is left out, as on the plot.
  EXPECT_EQ(run(kNaN, 41, kSmoothMedian), std::pair(true, std::string()));
}

TEST(RobustnessTest, BestFitSkipsNonFinitePointsAndEnds) {
  CRecordingUi ui;
  CReplicateDB db;
  XY a = Line(11, 1.0), b = Line(11, 3.0);
  a[3].first = kNaN;  // once an endless loop of merged points
  a[5].second = kInf;
  b[7].first = kNaN;
  AddXY(db, a, "a");
  AddXY(db, b, "b");
  ASSERT_TRUE(BuildBestFit(db, "best", 11, kEndExtend)) << ui.Last();
  ASSERT_EQ(db.bestFitY.GetSize(), 11);
  // The mean of y = x and y = 3x, interpolated across the skipped points.
  for (int j = 1; j <= 11; ++j) EXPECT_NEAR(db.bestFitY(j), 2.0 * db.bestFitX(j), 1e-9) << j;
  // A curve of nothing but NaN gives no curve at all.
  CReplicateDB empty;
  AddXY(empty, {{kNaN, 1}, {kNaN, 2}});
  EXPECT_FALSE(BuildBestFit(empty, "best", 11, kEndExtend));
  EXPECT_EQ(ui.Last(), "No data available for best fit.");
}

TEST(RobustnessTest, ReformatAndBestFitPointsAreBounded) {
  CRecordingUi ui;
  CMatrix<double> m(4, 2);
  for (int i = 1; i <= 4; ++i) m(i, 1) = i, m(i, 2) = 2 * i;
  EXPECT_FALSE(Reformat(m, 1, 4, 1, 1000000000));
  EXPECT_EQ(ui.Last(),
            Format("Number of reformatted points must be at most %d.", kMaxReformatPoints));
  EXPECT_EQ(m.GetRows(), 4);
  CReplicateDB db;
  AddXY(db, Line(5));
  EXPECT_FALSE(BuildBestFit(db, "best", kMaxReformatPoints + 1, kEndExtend));
  EXPECT_EQ(db.GetReplicateCount(), 1);
}

#if defined(__SANITIZE_ADDRESS__)
#define OLM_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OLM_UNDER_ASAN 1
#endif
#endif

TEST(RobustnessTest, AFailedAllocationIsReportedAndLeavesTheData) {
#ifdef OLM_UNDER_ASAN
  GTEST_SKIP() << "an address-space limit does not work with AddressSanitizer";
#else
  // 17 columns of a million rows need 136 MB; with 32 MB of address space
  // to spare the allocation fails in the child.
  const ChildOutcome outcome = RunInChild([] {
    CRecordingUi ui;
    CMatrix<double> m(4, 17);
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 17; ++j) m(i, j) = i * j;
    if (!LowerLimit(RLIMIT_AS, static_cast<rlim_t>(AddressSpace() + (32 << 20)))) return 10;
    if (Reformat(m, 1, 4, 1, kMaxReformatPoints)) return 11;
    if (m.GetRows() != 4 || m(4, 17) != 68.0) return 12;
    if (ui.Texts().empty()) return 13;  // the failure was reported
    return 0;
  });
  EXPECT_TRUE(outcome.exited) << "signal " << outcome.signal;
  EXPECT_EQ(outcome.status, 0);
#endif
}

}  // namespace
}  // namespace olm::test
