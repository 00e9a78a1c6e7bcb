#include "engine/ProjectFile.hpp"

#include <gtest/gtest.h>

#include <memory>

#include "ProjectBytes.hpp"
#include "TestSupport.hpp"

namespace olm::test {
namespace {

std::string StoredDatabase(CReplicateDB& db) {
  CMemorySink sink;
  CProjectWriter out(sink);
  StoreDatabase(out, db);
  EXPECT_TRUE(out.Finish());
  return sink.Bytes();
}

std::string StoredSettings(const CPlotSettings& s) {
  CMemorySink sink;
  CProjectWriter out(sink);
  StorePlotSettings(out, s);
  EXPECT_TRUE(out.Finish());
  return sink.Bytes();
}

// Loads bytes into a fresh database; rethrows what the reader raises.
std::unique_ptr<CReplicateDB> Loaded(const std::string& bytes) {
  auto db = std::make_unique<CReplicateDB>();
  CMemorySource src(bytes);
  CProjectReader in(src);
  LoadDatabase(in, *db);
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

// Fills a replicate like SmallReplicate in ProjectBytes.hpp.
void FillSmallReplicate(CReplicateDB& db) {
  const int r = db.AddReplicate();
  CReplicate& rep = db.Replicate(r);
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

// ---------------------------------------------------------------- plot settings

TEST(PlotSettingsStoreTest, DefaultRecordMatchesTheLayoutByHand) {
  const CPlotSettings defaults;
  const std::string expected = DefaultPlotSettingsBytes();
  EXPECT_EQ(StoredSettings(defaults), expected);
  CPlotSettings loaded;
  loaded.graphTitle = "changed";
  CMemorySource src(expected);
  CProjectReader in(src);
  LoadPlotSettings(in, loaded);
  EXPECT_EQ(in.Remaining(), 0u);
  EXPECT_TRUE(loaded == defaults);
}

TEST(PlotSettingsStoreTest, StyleTableIsStoredAs61Rows) {
  CPlotSettings s;
  s.Style(1) = {7, 3, 1, 4, 1};
  s.layout[0] = 42;
  const std::string b = StoredSettings(s);
  // Fields 1 to 26 of the default record take a fixed number of bytes.
  const size_t fonts = 3 * (20 + 8 + 6), texts = 11 * 1, ints = 11 * 4;
  const size_t tableAt = fonts + texts + ints + 4;
  EXPECT_EQ(I32At(b, tableAt), 7);
  // Row 61: row 1's last four columns, then the first layout integer.
  const size_t row61 = tableAt + 60 * 20;
  EXPECT_EQ(I32At(b, row61 + 0), 3);
  EXPECT_EQ(I32At(b, row61 + 4), 1);
  EXPECT_EQ(I32At(b, row61 + 8), 4);
  EXPECT_EQ(I32At(b, row61 + 12), 1);
  EXPECT_EQ(I32At(b, row61 + 16), 42);
  EXPECT_EQ(I32At(b, row61 + 20), 42);  // the layout integers follow
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
  const std::string b = StoredSettings(s);
  CPlotSettings back;
  CMemorySource src(b);
  CProjectReader in(src);
  LoadPlotSettings(in, back);
  EXPECT_TRUE(back == s);
  EXPECT_EQ(in.Remaining(), 0u);
}

// ---------------------------------------------------------------- database layout

TEST(DatabaseStoreTest, FreshDatabaseLayout) {
  CReplicateDB db;
  db.fileVersion = 0.5;
  const std::string b = StoredDatabase(db);
  EXPECT_EQ(b.substr(0, 8), std::string("\x9E\xEF\xA7\xC6\x4B\x37\xED\x3F", 8));
  EXPECT_EQ(db.fileVersion, 0.913);
  CBytes expected;
  expected.F64(0.913).I32(0).U8(0).U8(0).U8(0).I32(0);
  for (int k = 0; k < 6; ++k) expected.F64(0.0);
  ClearedExtents(expected);
  expected.Append(DefaultPlotSettingsBytes());
  for (int k = 0; k < 10; ++k) expected.I32(0);
  EXPECT_EQ(b, expected.Str());
}

TEST(DatabaseStoreTest, ReplicateLayoutMatchesTheBytesByHand) {
  CReplicateDB db;
  FillSmallReplicate(db);
  db.SetReportFlag(2, true);
  std::string expected = SmallProjectBytes(0.913, false);
  // Flag 3 is stored as 2 in the hand-made file; the writer writes 0 or 1.
  expected[expected.size() - 32] = 0;
  EXPECT_EQ(StoredDatabase(db), expected);
}

TEST(DatabaseStoreTest, LongTitleUsesTheTwoByteLength) {
  CReplicateDB db;
  FillSmallReplicate(db);
  db.Replicate(1).SetTitle(std::string(300, 'T'));
  const std::string b = StoredDatabase(db);
  // version, count, three flags, then the title.
  EXPECT_EQ(b.substr(15, 3), std::string("\xFF\x2C\x01", 3));
  EXPECT_EQ(b.substr(18, 300), std::string(300, 'T'));
  EXPECT_EQ(static_cast<unsigned char>(b[318]), 1);  // active
  EXPECT_EQ(Loaded(b)->Replicate(1).GetTitle(), std::string(300, 'T'));
}

TEST(DatabaseStoreTest, EmptySmoothedMatrixWritesZeroRowsAndColumnCount) {
  CReplicateDB db;
  FillSmallReplicate(db);
  CReplicate& rep = db.Replicate(1);
  rep.smoothed = true;  // flagged, yet no smoothed rows
  const std::string b = StoredDatabase(db);
  // The smoothed flag follows the raw matrix and the zone record.
  const size_t texts = 7 + 6 + 7 + 4;         // "Strain" "mm/mm" "Stress" "MPa"
  const size_t raw = 8 + 6 * 8;               // rows, columns, six values
  const size_t zone = 7 * 4 + 6 * 8 + 4 + 8;  // ints, coefficients, outliers, tolerance
  const size_t zoneEnd = 15 + 11 + 1 + 6 * 4 + 2 * 8 + texts + raw + zone;
  ASSERT_EQ(static_cast<unsigned char>(b[zoneEnd]), 1);
  EXPECT_EQ(I32At(b, zoneEnd + 1), 0);                       // rows
  EXPECT_EQ(I32At(b, zoneEnd + 5), 2);                       // the replicate's column count
  EXPECT_EQ(static_cast<unsigned char>(b[zoneEnd + 9]), 0);  // fitted flag, no values between
  const auto back = Loaded(b);
  EXPECT_TRUE(back->Replicate(1).smoothedData.IsEmpty());
  EXPECT_TRUE(back->Replicate(1).smoothed);
}

// ---------------------------------------------------------------- versions

TEST(DatabaseLoadTest, Version0911HasNoUnitsAndNoReportFlags) {
  const auto db = Loaded(SmallProjectBytes(0.911, false));
  EXPECT_EQ(db->fileVersion, 0.911);
  ASSERT_EQ(db->GetReplicateCount(), 1);
  const CReplicate& rep = db->Replicate(1);
  EXPECT_EQ(rep.GetTitle(), "Specimen A");
  ASSERT_EQ(rep.headings.GetSize(), 2);
  EXPECT_EQ(rep.headings(1), "Strain");
  EXPECT_EQ(rep.headings(2), "Stress");
  ASSERT_EQ(rep.units.GetSize(), 2);
  EXPECT_EQ(rep.units(1), "");
  EXPECT_EQ(rep.units(2), "");
  ASSERT_EQ(rep.raw.GetRows(), 3);
  EXPECT_EQ(rep.raw(2, 2), 20.0);
  EXPECT_EQ(rep.Zone(1).smoothing.points, 5);
  EXPECT_EQ(rep.Zone(1).smoothing.repeats, 2);
  EXPECT_EQ(rep.Zone(1).outliers.method, kOutliersChauvenet);
  EXPECT_EQ(rep.Zone(1).tolerance, 1e-9);
  EXPECT_EQ(rep.GetZoneEnd(1), 2.0);
  for (int i = 1; i <= 10; ++i) EXPECT_FALSE(db->GetReportFlag(i)) << i;
  EXPECT_TRUE(db->plotSettings == CPlotSettings());
}

TEST(DatabaseLoadTest, Version0912HasUnitsButNoReportFlags) {
  const auto db = Loaded(SmallProjectBytes(0.912, false));
  const CReplicate& rep = db->Replicate(1);
  EXPECT_EQ(rep.units(1), "mm/mm");
  EXPECT_EQ(rep.units(2), "MPa");
  for (int i = 1; i <= 10; ++i) EXPECT_FALSE(db->GetReportFlag(i)) << i;
}

TEST(DatabaseLoadTest, Version0913ReportFlagIsTrueOnlyForOne) {
  const auto db = Loaded(SmallProjectBytes(0.913, false));
  EXPECT_FALSE(db->GetReportFlag(1));
  EXPECT_TRUE(db->GetReportFlag(2));
  EXPECT_FALSE(db->GetReportFlag(3));  // stored as 2
}

TEST(DatabaseLoadTest, OlderVersionIsRefusedAsInvalidDatabase) {
  CRecordingUi ui;
  for (double version : {0.910, 0.0, -1.0, std::nan("")}) {
    std::string b = SmallProjectBytes(0.913);
    std::memcpy(b.data(), &version, 8);
    auto db = std::make_unique<CReplicateDB>();
    CMemorySource src(b);
    CProjectReader in(src);
    try {
      LoadDatabase(in, *db);
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
  for (int v = 0; v < 5; ++v) b.I32(0);
  b.I32(0);
  for (int k = 0; k < 6; ++k) b.F64(0);
  ClearedExtents(b);
  b.Append(DefaultPlotSettingsBytes());
  for (int k = 0; k < 10; ++k) b.I32(0);
  const auto db = Loaded(b.Str());
  const CReplicate& rep = db->Replicate(1);
  ASSERT_EQ(rep.Zone(1).fit.coefficients.GetSize(), 6);
  EXPECT_EQ(rep.Zone(1).fit.coefficients(2), 5.0);
  EXPECT_EQ(rep.Zone(1).fit.coefficients(6), 0.0);
  ASSERT_EQ(rep.coefficients.GetRows(), 6);
  ASSERT_EQ(rep.coefficients.GetColumns(), 5);
  EXPECT_EQ(rep.coefficients(2, 1), 9.0);
  EXPECT_EQ(rep.coefficients(6, 5), 0.0);
  ASSERT_EQ(rep.rawYMax.GetSize(), 5);
  EXPECT_EQ(rep.rawYMax(1), 1.0);
  ASSERT_EQ(rep.zoneInts.GetSize(), 5);
  EXPECT_EQ(rep.zoneInts(2), 4);
  EXPECT_EQ(rep.zoneInts(5), 0);
  ASSERT_EQ(rep.zoneSmoothedArea.GetSize(), 5);
}

// ---------------------------------------------------------------- damaged records

TEST(DatabaseLoadTest, CountsBeyondTheLimitsAreRefused) {
  {
    std::string b = SmallProjectBytes(0.913);
    b.replace(8, 4, CBytes().I32(21).Str());
    EXPECT_EQ(Refusal(b), "it holds 21 data sets; at most 20 are allowed");
    b.replace(8, 4, CBytes().I32(-1).Str());
    EXPECT_EQ(Refusal(b), "it holds -1 data sets; at most 20 are allowed");
  }
  {
    // The zone count is the sixth int after the title and the active byte.
    std::string b = SmallProjectBytes(0.913);
    const size_t zones = 15 + 11 + 1 + 5 * 4;
    ASSERT_EQ(I32At(b, zones), 1);
    b.replace(zones, 4, CBytes().I32(6).Str());
    EXPECT_EQ(Refusal(b), "data set 1 has 6 zones; at most 5 are allowed");
  }
}

TEST(DatabaseLoadTest, CountsThatDisagreeWithTheDataAreRefused) {
  const size_t ints = 15 + 11 + 1;  // points, columns, x, y, smoothed, zones
  const auto with = [&](int index, int value) {
    std::string b = SmallProjectBytes(0.913);
    b.replace(ints + 4 * index, 4, CBytes().I32(value).Str());
    return Refusal(b);
  };
  EXPECT_EQ(with(0, 4), "data set 1 has 4 points but its raw data holds 3 rows");
  EXPECT_EQ(with(2, 3), "data set 1 takes x from column 3 and y from column 2 of 2");
  EXPECT_EQ(with(3, 0), "data set 1 takes x from column 1 and y from column 0 of 2");
  EXPECT_EQ(with(4, 7), "data set 1 has 7 smoothed points but its smoothed data holds 0 rows");
  EXPECT_EQ(with(1, -2), "data set 1 has -2 columns");
}

TEST(DatabaseLoadTest, NarrowProcessedDataIsRefused) {
  CReplicateDB db;
  FillSmallReplicate(db);
  CReplicate& rep = db.Replicate(1);
  rep.fitData.SetSize(2, 1);
  rep.fitData.Set(1.0);
  EXPECT_EQ(Refusal(StoredDatabase(db)),
            "data set 1 has fitted data of 1 columns, fewer than its "
            "2 columns");
}

TEST(DatabaseLoadTest, EveryTruncationIsRefused) {
  const std::string b = SmallProjectBytes(0.912, false);
  ASSERT_EQ(Refusal(b), "(accepted)");
  for (size_t n = 0; n < b.size(); ++n) {
    const std::string reason = Refusal(b.substr(0, n));
    EXPECT_NE(reason, "(accepted)") << n;
  }
}

}  // namespace
}  // namespace olm::test
