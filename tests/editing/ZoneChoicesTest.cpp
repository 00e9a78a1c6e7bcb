// The zone dialog's choice lists follow the method tables: every entry
// stores its method's number and shows again when the zone is loaded.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.hpp"
#include "editing/ZoneRules.hpp"

namespace olm::test {
namespace {

class ZoneChoicesTest : public ::testing::Test {
 protected:
  // Stores the controls into zone 1 and loads them back.
  CZoneControls RoundTrip(const CZoneControls& c) {
    CZoneRules::Store(c, rep, 1);
    return CZoneRules::Load(rep, 1);
  }
  CZoneControls Controls() const {
    CZoneControls c;
    c.startX = 0.0;
    c.endX = 10.0;
    c.points = 7;
    return c;
  }
  CRecordingUi ui;
  CReplicate rep;
};

TEST_F(ZoneChoicesTest, ListsAreTheTablesInOrder) {
  ASSERT_EQ(CZoneRules::kSmoothChoices.size(), kSmoothingFilters.size());
  ASSERT_EQ(CZoneRules::kFitTypeChoices.size(), kFitChoices.size());
  ASSERT_EQ(CZoneRules::kOutlierChoices.size(), kOutlierMethods.size());
  ASSERT_EQ(CZoneRules::kOrderChoices.size(), kPolynomialOrders.size());
  for (size_t i = 0; i < kSmoothingFilters.size(); ++i)
    EXPECT_STREQ(CZoneRules::kSmoothChoices[i], kSmoothingFilters[i].choice);
  for (size_t i = 0; i < kFitChoices.size(); ++i)
    EXPECT_STREQ(CZoneRules::kFitTypeChoices[i], kFitChoices[i].choice);
  // The first entry of each list is the one without a method.
  EXPECT_EQ(kSmoothingFilters[0].value, SmoothingFilter::kNone);
  EXPECT_EQ(kFitChoices[0].type, FitType::kNone);
  EXPECT_EQ(kOutlierMethods[0].value, OutlierMethod::kNone);
}

TEST_F(ZoneChoicesTest, EveryChoiceStoresItsMethodAndLoadsBack) {
  for (int i = 0; i < static_cast<int>(kSmoothingFilters.size()); ++i) {
    CZoneControls c = Controls();
    c.smoothIndex = i;
    const CZoneControls back = RoundTrip(c);
    EXPECT_EQ(rep.Zone(1).smoothing.method, kSmoothingFilters[static_cast<size_t>(i)].stored);
    EXPECT_EQ(back.smoothIndex, i);
    // The enabling of the entry decides whether outlier removal is kept.
    c.outlierIndex = 1;
    CZoneRules::Store(c, rep, 1);
    EXPECT_EQ(rep.Zone(1).outliers.method,
              CZoneRules::EnablingFor(i).outliers ? kOutliersChauvenet : kOutliersNone)
        << kSmoothingFilters[static_cast<size_t>(i)].keyword;
  }
  for (int i = 0; i < static_cast<int>(kFitChoices.size()); ++i) {
    CZoneControls c = Controls();
    c.fitIndex = i;
    EXPECT_EQ(RoundTrip(c).fitIndex, i) << kFitChoices[static_cast<size_t>(i)].keyword;
    EXPECT_EQ(rep.Zone(1).fit.type, Info(kFitChoices[static_cast<size_t>(i)].type).stored);
  }
  for (int i = 0; i < static_cast<int>(kPolynomialOrders.size()); ++i) {
    CZoneControls c = Controls();
    c.smoothIndex = 3;
    c.orderIndex = i;
    EXPECT_EQ(RoundTrip(c).orderIndex, i);
    EXPECT_EQ(rep.Zone(1).smoothing.order, kPolynomialOrders[static_cast<size_t>(i)].order);
  }
}

TEST_F(ZoneChoicesTest, UnknownStoredNumbersShowTheFirstEntry) {
  rep.Zone(1).smoothing.method = 42;
  rep.Zone(1).fit.type = 17;
  rep.Zone(1).outliers.method = -3;
  rep.Zone(1).smoothing.order = 4;
  const CZoneControls c = CZoneRules::Load(rep, 1);
  EXPECT_EQ(std::tuple(c.smoothIndex, c.fitIndex, c.outlierIndex, c.orderIndex),
            std::tuple(0, 0, 0, 0));
  // A polynomial of a degree outside the list is shown as no fit.
  rep.Zone(1).fit.type = kFitPolynomial;
  rep.Zone(1).fit.degree = 7;
  EXPECT_EQ(CZoneRules::FitIndexOf(rep.Zone(1).fit), 0);
}

}  // namespace
}  // namespace olm::test
