// The database record of the project file against bytes assembled by hand:
// plot settings, replicates, the older versions and damaged records.
#include "engine/ProjectFile.hpp"

#include <gtest/gtest.h>

#include <memory>

#include "ProjectBytes.hpp"
#include "TestSupport.hpp"

namespace olm::test {
namespace {

using namespace std::string_literals;

std::string Stored(CReplicateDB& db) {
  return Written([&](CProjectWriter& out) { StoreDatabase(out, db); });
}
std::string Stored(const CPlotSettings& s) {
  return Written([&](CProjectWriter& out) { StorePlotSettings(out, s); });
}

// Loads bytes into a fresh database; rethrows what the reader raises.
std::unique_ptr<CReplicateDB> Loaded(const std::string& bytes) {
  auto db = std::make_unique<CReplicateDB>();
  CReaderOf r(bytes);
  LoadDatabase(r.in, *db);
  return db;
}

// The reason a damaged database record is refused with.
std::string Refusal(const std::string& bytes) {
  try {
    Loaded(bytes);
  } catch (const CProjectFormatError& e) {
    return e.what();
  }
  return "(accepted)";
}

// SmallProjectBytes with the 32-bit integer at `at` replaced.
std::string WithInt(size_t at, int32_t value, bool withObjects = true) {
  return SmallProjectBytes(0.913, withObjects).replace(at, 4, CBytes().I32(value).Str());
}

// The start of the replicate record: version, count and three flags.
constexpr size_t kTitleAt = 15;
// The replicate's integers after the title "Specimen A" and the active byte:
// points, columns, x, y, smoothed points, zones.
constexpr size_t kIntsAt = kTitleAt + 11 + 1;

// Fills a replicate like SmallReplicate in ProjectBytes.hpp.
void FillSmallReplicate(CReplicateDB& db) {
  CReplicate& rep = db.Replicate(db.AddReplicate());
  rep.SetTitle("Specimen A");
  rep.columnCount = 2;
  rep.ResizeColumnTexts(2);
  rep.headings(1) = "Strain";
  rep.headings(2) = "Stress";
  rep.units(1) = "mm/mm";
  rep.units(2) = "MPa";
  rep.SetXYColumns(1, 2);
  rep.pointCount = 3;
  rep.raw.SetSize(3, 2);
  const double values[3][2] = {{0, 10}, {1, 20}, {2, 15}};
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 2; ++j) rep.raw(i, j) = values[i - 1][j - 1];
  CZone& zone = rep.Zone(1);
  zone.smoothing = {2, 5, 3, kSmoothMedian};
  zone.fit.type = kFitPolynomial;
  zone.fit.degree = 1;
  zone.outliers.method = kOutliersChauvenet;
  zone.tolerance = 1e-9;
  rep.SetZoneStart(1, 0.0);
  rep.SetZoneEnd(1, 2.0);
}

TEST(PlotSettingsStoreTest, DefaultRecordMatchesTheLayoutByHand) {
  const std::string expected = DefaultPlotSettingsBytes();
  EXPECT_EQ(Stored(CPlotSettings()), expected);
  CPlotSettings loaded;
  loaded.graphTitle = "changed";
  CReaderOf r(expected);
  LoadPlotSettings(r.in, loaded);
  EXPECT_TRUE(loaded == CPlotSettings() && r.in.Remaining() == 0);
}

TEST(PlotSettingsStoreTest, StyleTableIsStoredAs61Rows) {
  CPlotSettings s;
  s.Style(1) = {7, 3, 1, 4, 1};
  s.layout[0] = 42;
  const std::string b = Stored(s);
  // Fields 1 to 26 of the default record take a fixed number of bytes.
  const size_t fonts = 3 * (20 + 8 + 6), texts = 11 * 1, ints = 11 * 4;
  const size_t tableAt = fonts + texts + ints + 4, row61 = tableAt + 60 * 20;
  EXPECT_EQ(I32At(b, tableAt), 7);
  // Row 61: row 1's last four columns, then the first layout integer, which
  // the layout integers follow.
  const int32_t row[] = {3, 1, 4, 1, 42, 42};
  for (size_t k = 0; k < 6; ++k) EXPECT_EQ(I32At(b, row61 + 4 * k), row[k]) << k;
  EXPECT_EQ(b.size(), DefaultPlotSettingsBytes().size());
}

TEST(PlotSettingsStoreTest, EveryFieldSurvivesStoreAndLoad) {
  CPlotSettings s;
  s.graphTitle = "Tensile";
  s.graphTitleColour = 0x0000FF;
  s.graphTitleFont.italic = 1;
  s.graphTitleFont.faceName = "Courier New";
  s.entry2 = {"two", 2};
  s.xAxisLabel = "Strain";
  s.xAxisLabelColour = 5;
  s.xAxisLabelFont.height = -17;
  s.entry4 = {"four", -4};
  s.yAxisLabelLeft = "Stress";
  s.yAxisLabelLeftColour = 6;
  s.yAxisLabelRight = "Load";
  s.yAxisLabelRightColour = 7;
  s.rightAxisScale = 0.25f;
  s.entry7 = {"seven", 7};
  s.thirdFont.pitchAndFamily = 34;
  s.entry8 = {"eight", 8};
  s.entries9to11[2] = {"eleven", 11};
  s.Style(60) = {15, 4, 3, 1, 1};
  s.layout[11] = -3;
  s.further = {1, 2, 3};
  s.plotXMin = -1.5f;
  s.modelYMax = 1e30f;
  s.xAxisFormat = "%.3f";
  s.yAxisFormat = "%e";
  s.displayFlags[7] = 0;
  s.borders = {0.05, 0.2, 0.8, 1.0};
  s.xDivisions = 25;
  s.yDivisions = 6;
  s.markerSize = 10;
  s.xLabelRotation = 450;
  const std::string b = Stored(s);
  CPlotSettings back;
  CReaderOf r(b);
  LoadPlotSettings(r.in, back);
  EXPECT_TRUE(back == s && r.in.Remaining() == 0);
}

TEST(DatabaseStoreTest, FreshDatabaseAndReplicateLayouts) {
  CReplicateDB db;
  db.fileVersion = 0.5;
  const std::string fresh = Stored(db);
  EXPECT_EQ(fresh.substr(0, 8), std::string("\x9E\xEF\xA7\xC6\x4B\x37\xED\x3F", 8));  // 0.913
  EXPECT_EQ(db.fileVersion, 0.913);
  CBytes expected;
  expected.F64(0.913).I32(0).U8(0).U8(0).U8(0).I32(0);
  for (int k = 0; k < 6; ++k) expected.F64(0.0);
  ClearedExtents(expected);
  expected.Append(DefaultPlotSettingsBytes());
  for (int k = 0; k < 10; ++k) expected.I32(0);
  EXPECT_EQ(fresh, expected.Str());

  FillSmallReplicate(db);
  db.SetReportFlag(2, true);
  std::string small = SmallProjectBytes(0.913, false);
  small[small.size() - 32] = 0;  // flag 3 is stored as 2 by hand; the writer writes 0 or 1
  EXPECT_EQ(Stored(db), small);
}

TEST(DatabaseStoreTest, LongTitleUsesTheTwoByteLength) {
  CReplicateDB db;
  FillSmallReplicate(db);
  db.Replicate(1).SetTitle(std::string(300, 'T'));
  const std::string b = Stored(db);
  // 0xFF, the length 300 in two bytes, the title, the active byte.
  EXPECT_EQ(b.substr(kTitleAt, 304), "\xFF\x2C\x01" + std::string(300, 'T') + "\x01");
  EXPECT_EQ(Loaded(b)->Replicate(1).GetTitle(), std::string(300, 'T'));
}

TEST(DatabaseStoreTest, EmptySmoothedMatrixWritesZeroRowsAndColumnCount) {
  CReplicateDB db;
  FillSmallReplicate(db);
  db.Replicate(1).smoothed = true;  // flagged, yet no smoothed rows
  const std::string b = Stored(db);
  // The smoothed flag follows the raw matrix and the zone record.
  const size_t texts = 7 + 6 + 7 + 4;         // "Strain" "mm/mm" "Stress" "MPa"
  const size_t raw = 8 + 6 * 8;               // rows, columns, six values
  const size_t zone = 7 * 4 + 6 * 8 + 4 + 8;  // ints, coefficients, outliers, tolerance
  const size_t at = kIntsAt + 6 * 4 + 2 * 8 + texts + raw + zone;
  // The flag, 0 rows, the replicate's column count, and the fitted flag: no
  // values between.
  EXPECT_EQ(std::tuple(b[at], I32At(b, at + 1), I32At(b, at + 5), b[at + 9]),
            std::tuple('\1', 0, 2, '\0'));
  const auto back = Loaded(b);
  EXPECT_TRUE(back->Replicate(1).smoothedData.IsEmpty() && back->Replicate(1).smoothed);
}

// 0.911 has no units and no report flags, 0.912 adds the units, 0.913 the
// flags, each true only when stored as 1.
TEST(DatabaseLoadTest, VersionsByHand) {
  for (double version : {0.911, 0.912, 0.913}) {
    SCOPED_TRACE(version);
    const auto db = Loaded(SmallProjectBytes(version, false));
    const CReplicate& rep = db->Replicate(1);
    ASSERT_EQ(std::tuple(db->GetReplicateCount(), rep.headings.GetSize(), rep.units.GetSize(),
                         rep.raw.GetRows()),
              std::tuple(1, 2, 2, 3));
    const std::string mm = version >= 0.912 ? "mm/mm" : "", mpa = version >= 0.912 ? "MPa" : "";
    EXPECT_EQ(std::tuple(db->fileVersion, rep.GetTitle(), rep.headings(1), rep.headings(2),
                         rep.units(1), rep.units(2), rep.raw(2, 2)),
              std::tuple(version, "Specimen A"s, "Strain"s, "Stress"s, mm, mpa, 20.0));
    const CZone& z = rep.Zone(1);
    EXPECT_EQ(std::tuple(z.smoothing.points, z.smoothing.repeats, z.outliers.method, z.tolerance,
                         rep.GetZoneEnd(1)),
              std::tuple(5, 2, int(kOutliersChauvenet), 1e-9, 2.0));
    for (int i = 1; i <= 10; ++i) EXPECT_EQ(db->GetReportFlag(i), version >= 0.913 && i == 2) << i;
    EXPECT_TRUE(db->plotSettings == CPlotSettings());
  }
}

TEST(DatabaseLoadTest, OlderVersionIsRefusedAsInvalidDatabase) {
  CRecordingUi ui;
  for (double version : {0.910, 0.0, -1.0, std::nan("")}) {
    std::string b = SmallProjectBytes(0.913);
    std::memcpy(b.data(), &version, 8);
    try {
      Loaded(b);
      ADD_FAILURE() << version;
    } catch (const CInvalidDatabaseError& e) {
      EXPECT_STREQ(e.what(), "Invalid database.");
    }
  }
  EXPECT_TRUE(ui.messages.empty());  // reported by the caller, never fatal here
}

TEST(DatabaseLoadTest, ShortZoneVectorsAndCoefficientsArePadded) {
  CBytes b;
  b.F64(0.913).I32(1).U8(0).U8(0).U8(0);
  b.Text("R").U8(1).I32(0).I32(2).I32(1).I32(2).I32(0).I32(1).F64(0).F64(0);
  b.Text("x").Text("").Text("y").Text("");
  b.I32(0).I32(2);                                                   // raw
  b.I32(1).I32(0).I32(3).I32(0).I32(1).I32(1).I32(2).F64(4).F64(5);  // zone, 2 coefficients
  b.I32(0).F64(1e-20);
  b.U8(0).I32(0).I32(2).U8(0).I32(0).I32(2);
  b.I32(2).I32(1).F64(8).F64(9);  // a 2 x 1 coefficient matrix
  b.I32(0).I32(2);
  for (int v = 0; v < 6; ++v) b.I32(1).F64(v);
  b.I32(2).I32(3).I32(4);
  for (int v = 0; v < 6; ++v) b.I32(0);
  for (int k = 0; k < 6; ++k) b.F64(0);
  ClearedExtents(b);
  b.Append(DefaultPlotSettingsBytes());
  for (int k = 0; k < 10; ++k) b.I32(0);
  const auto db = Loaded(b.Str());
  const CReplicate& rep = db->Replicate(1);
  const auto& c = rep.Zone(1).fit.coefficients;
  ASSERT_EQ(
      std::tuple(c.GetSize(), rep.coefficients.GetRows(), rep.coefficients.GetColumns(),
                 rep.rawYMax.GetSize(), rep.zoneInts.GetSize(), rep.zoneSmoothedArea.GetSize()),
      std::tuple(6, 6, 5, 5, 5, 5));
  EXPECT_EQ(std::tuple(c(2), c(6), rep.coefficients(2, 1), rep.coefficients(6, 5), rep.rawYMax(1),
                       rep.zoneInts(2), rep.zoneInts(5)),
            std::tuple(5.0, 0.0, 9.0, 0.0, 1.0, 4, 0));
}

TEST(DatabaseLoadTest, CountsBeyondTheLimitsAreRefused) {
  const std::pair<std::string, std::string> cases[] = {
      {WithInt(8, 21), "it holds 21 data sets; at most 20 are allowed"},
      {WithInt(8, -1), "it holds -1 data sets; at most 20 are allowed"},
      {WithInt(kIntsAt + 20, 6), "data set 1 has 6 zones; at most 5 are allowed"},
      {WithInt(kIntsAt + 4, -2), "data set 1 has -2 columns"},
      {WithInt(kIntsAt + 8, 3), "data set 1 takes x from column 3 and y from column 2 of 2"},
      {WithInt(kIntsAt + 12, 0), "data set 1 takes x from column 1 and y from column 0 of 2"}};
  ASSERT_EQ(I32At(SmallProjectBytes(0.913), kIntsAt + 20), 1);
  for (const auto& [bytes, reason] : cases) EXPECT_EQ(Refusal(bytes), reason);
}

// A replicate of 3 points in 2 columns as a save leaves it after its analysis
// was discarded: counts cleared or stale, result matrices kept, some of them
// from before a third column was added.
struct StaleReplicate {
  int points = 3, columns = 2, smoothedCount = 0;
  int smoothedColumns = 2, fittedColumns = 2, outlierColumns = 2;
  bool smoothedFlag = false, fittedFlag = false;
};

std::string StaleProject(const StaleReplicate& s) {
  CBytes b;
  b.F64(0.913).I32(1).U8(0).U8(0).U8(0);
  b.Text("Old").U8(1);
  b.I32(s.points).I32(s.columns).I32(1).I32(2).I32(s.smoothedCount).I32(1);
  b.F64(7.5).F64(8.5);
  for (int c = 1; c <= s.columns; ++c) b.Text("h" + std::to_string(c)).Text("u");
  auto matrix = [&b](int rows, int columns, double base) {
    b.I32(rows).I32(columns);
    for (int j = 1; j <= columns; ++j)
      for (int i = 1; i <= rows; ++i) b.F64(base + 10 * j + i);
  };
  matrix(3, s.columns, 0);
  b.I32(1).I32(3).I32(3).I32(1).I32(1).I32(1).I32(0).I32(0).F64(1e-9);  // one zone
  b.U8(s.smoothedFlag);
  matrix(3, s.smoothedColumns, 100);
  b.U8(s.fittedFlag);
  matrix(3, s.fittedColumns, 200);
  b.I32(0).I32(5);  // no coefficients
  matrix(1, s.outlierColumns, 300);
  for (int v = 0; v < 6; ++v) b.I32(0);
  b.I32(0);
  for (int v = 0; v < 5; ++v) b.I32(0);
  b.I32(0);  // best-fit points
  for (int k = 0; k < 6; ++k) b.F64(0.0);
  ClearedExtents(b);
  b.Append(DefaultPlotSettingsBytes());
  for (int k = 0; k < 10; ++k) b.I32(0);
  return b.Str();
}

// Such files open without a message; counts are clamped to the rows present
// and result matrices narrower than the table count as no result.
TEST(DatabaseLoadTest, StaleCountsAndNarrowResultsOpen) {
  CRecordingUi ui;
  {  // "Analyze" then OK, then a save: counts cleared, matrices kept
    const auto db = Loaded(StaleProject({}));
    const CReplicate& rep = db->Replicate(1);
    EXPECT_EQ(std::tuple(rep.pointCount, rep.raw.GetRows(), rep.raw(3, 2), rep.smoothedCount,
                         rep.smoothedData.GetRows(), rep.fitData.GetRows(), rep.outlierCount,
                         rep.smoothed, rep.fitted),
              std::tuple(3, 3, 23.0, 0, 0, 3, 1, false, false));
  }
  {  // counts above the rows present
    StaleReplicate s;
    s.points = 5;
    s.smoothedCount = 4;
    s.smoothedFlag = true;
    const auto db = Loaded(StaleProject(s));
    const CReplicate& rep = db->Replicate(1);
    EXPECT_EQ(std::tuple(rep.pointCount, rep.raw.GetRows(), rep.smoothedCount,
                         rep.smoothedData.GetRows(), rep.smoothedData(3, 2), rep.smoothed),
              std::tuple(3, 3, 3, 3, 123.0, true));
  }
  {  // a count below the rows present: the rows beyond it are no data
    StaleReplicate s;
    s.points = 2;
    s.smoothedCount = 1;
    const auto db = Loaded(StaleProject(s));
    const CReplicate& rep = db->Replicate(1);
    EXPECT_EQ(std::tuple(rep.pointCount, rep.raw.GetRows(), rep.raw(2, 1), rep.smoothedCount,
                         rep.smoothedData.GetRows()),
              std::tuple(2, 2, 12.0, 1, 1));
  }
  {  // a third column added after the analysis
    StaleReplicate s;
    s.columns = 3;
    s.smoothedCount = 3;
    s.smoothedFlag = s.fittedFlag = true;
    s.outlierColumns = 3;
    const auto db = Loaded(StaleProject(s));
    const CReplicate& rep = db->Replicate(1);
    EXPECT_EQ(std::tuple(rep.raw.GetColumns(), rep.smoothedCount, rep.smoothedData.IsEmpty(),
                         rep.smoothed, rep.fitData.IsEmpty(), rep.fitted, rep.outlierCount),
              std::tuple(3, 0, true, false, true, false, 1));
    s.outlierColumns = 1;
    s.fittedColumns = 3;
    const auto db2 = Loaded(StaleProject(s));
    EXPECT_EQ(std::tuple(db2->Replicate(1).outlierCount, db2->Replicate(1).fitted,
                         db2->Replicate(1).fitData.GetRows()),
              std::tuple(0, true, 3));
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST(DatabaseLoadTest, EveryTruncationIsRefused) {
  const std::string b = SmallProjectBytes(0.912, false);
  ASSERT_EQ(Refusal(b), "(accepted)");
  for (size_t n = 0; n < b.size(); ++n) EXPECT_NE(Refusal(b.substr(0, n)), "(accepted)") << n;
}

}  // namespace
}  // namespace olm::test
