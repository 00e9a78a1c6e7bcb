// The method tables: every entry round-trips between its enum value, stored
// number and keyword; names are unique; the ranges hold together; and a stored
// number that no method has is refused where the engine reads it.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "TestSupport.hpp"
#include "engine/BestFit.hpp"
#include "engine/EngineError.hpp"
#include "engine/Methods.hpp"
#include "engine/Smoothing.hpp"
#include "engine/ZoneProcessing.hpp"

namespace olm::test {
namespace {

// Every entry is found again from its enum value, its stored number and its
// keyword, and no two entries share a stored number or a keyword.
template <typename Table>
void ExpectRoundTrips(const Table& table, const char* family) {
  std::set<int> stored;
  std::set<std::string> keywords;
  for (size_t i = 0; i < table.size(); ++i) {
    const auto& e = table[i];
    SCOPED_TRACE(std::string(family) + " " + e.keyword);
    EXPECT_EQ(&EntryOf(table, e.value), &e);
    EXPECT_EQ(FindStored(table, e.stored), &e);
    EXPECT_EQ(StoredIndex(table, e.stored), static_cast<int>(i));
    EXPECT_EQ(KeywordIndex(table, e.keyword), static_cast<int>(i));
    EXPECT_TRUE(stored.insert(e.stored).second) << "stored number used twice";
    EXPECT_TRUE(keywords.insert(e.keyword).second) << "keyword used twice";
  }
  EXPECT_EQ(KeywordIndex(table, "no-such-method"), -1);
  EXPECT_EQ(FindStored(table, -12345), nullptr);
}

// No text of a member appears twice in a table.
template <typename Entry, size_t N>
void ExpectDistinct(const std::array<Entry, N>& table, const char* Entry::*member,
                    const char* what) {
  std::set<std::string> seen;
  for (const char* text : ColumnOf(table, member))
    EXPECT_TRUE(seen.insert(text).second) << what << " \"" << text << "\" used twice";
}

TEST(MethodTablesTest, EveryEntryRoundTripsAndNoNameRepeats) {
  ExpectRoundTrips(kSmoothingFilters, "smoothing");
  ExpectRoundTrips(kFitTypes, "fit type");
  ExpectRoundTrips(kOutlierMethods, "outliers");
  ExpectRoundTrips(kCurveKinds, "curve kind");
  ExpectRoundTrips(kCurveEnds, "end type");
  ExpectDistinct(kSmoothingFilters, &CSmoothingFilterInfo::choice, "smoothing choice");
  ExpectDistinct(kSmoothingFilters, &CSmoothingFilterInfo::name, "smoothing name");
  ExpectDistinct(kFitChoices, &CFitChoiceInfo::keyword, "fit keyword");
  ExpectDistinct(kFitChoices, &CFitChoiceInfo::choice, "fit choice");
  ExpectDistinct(kFitChoices, &CFitChoiceInfo::name, "fit name");
  ExpectDistinct(kOutlierMethods, &COutlierMethodInfo::choice, "outlier choice");
  ExpectDistinct(kCurveKinds, &CCurveKindInfo::suffix, "curve suffix");
  ExpectDistinct(kCurveKinds, &CCurveKindInfo::labelPrefix, "label prefix");
  ExpectDistinct(kCurveKinds, &CCurveKindInfo::group, "tree group");
  ExpectDistinct(kCurveKinds, &CCurveKindInfo::jsonWord, "JSON word");
  ExpectDistinct(kCurveEnds, &CCurveEndInfo::choice, "end choice");
  ExpectDistinct(kPolynomialOrders, &CPolynomialOrderInfo::keyword, "order keyword");
}

TEST(MethodTablesTest, NamesOfStoredNumbersComeFromTheTables) {
  for (const CSmoothingFilterInfo& f : kSmoothingFilters) {
    EXPECT_STREQ(SmoothingMethodName(f.stored), f.name);
    EXPECT_STREQ(SmoothingKeyword(f.stored), f.keyword);
  }
  for (const COutlierMethodInfo& m : kOutlierMethods)
    EXPECT_STREQ(OutlierKeyword(m.stored), m.keyword);
  for (const CFitTypeInfo& t : kFitTypes) EXPECT_STREQ(FitTypeKeyword(t.stored), t.keyword);
  // A number no method has is named as such, never as another method.
  EXPECT_STREQ(SmoothingMethodName(99), "Unknown");
  EXPECT_STREQ(SmoothingKeyword(-1), "unknown");
  EXPECT_STREQ(OutlierKeyword(2), "unknown");
  EXPECT_STREQ(FitTypeKeyword(5), "unknown");
  EXPECT_STREQ(FitName(5, 1), "Unknown");
  // A polynomial degree outside the choices keeps the type's own name.
  EXPECT_STREQ(FitName(kFitPolynomial, 9), "Polynomial");
}

TEST(MethodTablesTest, FitChoicesCoverEveryTypeAndDegreeOnce) {
  // Each choice is found again from its stored type and degree, so the dialog
  // shows what a zone holds; every type and every degree of its range has one.
  for (size_t i = 0; i < kFitChoices.size(); ++i) {
    const CFitChoiceInfo& c = kFitChoices[i];
    const CFitTypeInfo& t = Info(c.type);
    SCOPED_TRACE(c.keyword);
    EXPECT_EQ(FitChoiceIndex(t.stored, c.degree), static_cast<int>(i));
    if (HasDegree(t)) {
      EXPECT_GE(c.degree, t.minDegree);
      EXPECT_LE(c.degree, t.maxDegree);
    } else {
      EXPECT_EQ(c.degree, 0);
    }
  }
  for (const CFitTypeInfo& t : kFitTypes) {
    for (int d = t.minDegree; d <= t.maxDegree; ++d)
      EXPECT_GE(FitChoiceIndex(t.stored, d), 0) << t.keyword << " degree " << d;
    // The report prints a heading and an equation for every fit but none.
    EXPECT_EQ(t.heading == nullptr, t.value == FitType::kNone) << t.keyword;
    EXPECT_EQ(CoefficientCount(t, 3) == 0, t.value == FitType::kNone) << t.keyword;
  }
}

TEST(MethodTablesTest, SmoothingRangesHoldTogether) {
  for (const CSmoothingFilterInfo& f : kSmoothingFilters) {
    SCOPED_TRACE(f.keyword);
    const bool none = f.value == SmoothingFilter::kNone;
    // Only "No" switches the window and repeats controls off.
    EXPECT_EQ(f.enabling.points, !none);
    EXPECT_EQ(f.enabling.repeats, !none);
    if (none) continue;
    EXPECT_LE(f.minWindow, f.maxWindow);
    EXPECT_LE(f.maxWindow, kMaxSmoothingWindow);
    // The dialog's upper limit is one the engine accepts.
    EXPECT_LE(kDialogMaxPoints, f.maxWindow);
  }
  for (const CPolynomialOrderInfo& o : kPolynomialOrders)
    EXPECT_GE(o.minWindow, Info(SmoothingFilter::kPolynomialAverage).minWindow) << o.order;
}

// The engine's readers of stored numbers: an unknown number gets its own
// message and never runs another method.
class UnknownStoredNumberTest : public ::testing::Test {
 protected:
  CZone Zone() {
    CZone zone;
    zone.pointCount = 6;
    zone.workingPoints.SetSize(6, 2);
    for (int i = 1; i <= 6; ++i) {
      zone.workingPoints(i, 1) = i;
      zone.workingPoints(i, 2) = 2.0 * i * i;
    }
    return zone;
  }
  CRecordingUi ui;
};

TEST_F(UnknownStoredNumberTest, SmoothingFitOutliersAndEndTypeAreRefused) {
  CZone zone = Zone();
  zone.smoothing.method = 8;
  zone.smoothing.points = 5;
  EXPECT_FALSE(SmoothZone(zone, 1, 2));
  EXPECT_EQ(ui.Last(), CEngineError::Text(kErrSmoothingFilterName));
  EXPECT_EQ(zone.workingPoints(3, 2), 18.0);  // untouched

  zone = Zone();
  zone.fit.type = 5;
  EXPECT_FALSE(FitZone(zone, 1, 2));
  EXPECT_EQ(ui.Last(), CEngineError::Text(kErrRegressionType));
  double y = -1.0;
  EXPECT_TRUE(EvaluateFit(zone.fit, 2.0, &y, nullptr));
  EXPECT_EQ(y, 0.0);  // no curve, not a power law

  zone = Zone();
  zone.outliers.method = 2;
  EXPECT_FALSE(RemoveOutliers(zone, 1, 2));
  EXPECT_EQ(ui.Last(), CEngineError::Text(kErrOutlierMethod));

  CReplicateDB db;
  EXPECT_FALSE(BuildBestFit(db, "mean", 11, 0));
  EXPECT_EQ(ui.Last(), "Choose a curve end type: Extend, Average or Cut.");
  EXPECT_EQ(db.GetReplicateCount(), 0);
}

TEST_F(UnknownStoredNumberTest, EveryFilterOfTheTableRuns) {
  // Each entry reaches its algorithm: a window of five smooths a parabola
  // without a message (the none filter leaves it as it is).
  for (const CSmoothingFilterInfo& f : kSmoothingFilters) {
    CZone zone = Zone();
    zone.smoothing = {1, 5, 3, f.stored};
    ui.Clear();
    EXPECT_TRUE(SmoothZone(zone, 1, 2)) << f.keyword << ": " << ui.Last();
  }
}

}  // namespace
}  // namespace olm::test
