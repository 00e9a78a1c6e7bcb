#include "plot/PlotSettingsRules.hpp"

#include <gtest/gtest.h>

#include "TestSupport.hpp"
#include "engine/Database.hpp"

namespace olm::test {
namespace {

TEST(PlotSettingsRulesTest, DefaultRecordPassesBothPages) {
  CRecordingUi ui;
  CPlotSettingsRules rules{CPlotSettings()};
  EXPECT_TRUE(rules.CheckAttributesPage());
  EXPECT_TRUE(rules.CheckLayoutPage());
  EXPECT_TRUE(ui.messages.empty());
}

TEST(PlotSettingsRulesTest, ModelLimitsAreCheckedBeforePlotLimits) {
  CRecordingUi ui;
  CPlotSettingsRules rules{CPlotSettings()};
  CPlotSettings& s = rules.Edit();
  s.modelXMin = 5;
  s.modelXMax = 1;
  s.plotXMin = 5;
  s.plotXMax = 1;
  EXPECT_FALSE(rules.CheckLayoutPage());
  EXPECT_EQ(
      ui.Texts(),
      (std::vector<std::string>{"Max X Model value should be greater than Min X Model value."}));
  ui.Clear();
  s.modelXMax = 6;
  EXPECT_FALSE(rules.CheckLayoutPage());
  EXPECT_EQ(
      ui.Texts(),
      (std::vector<std::string>{"Max X Plot value should be greater than Min X Plot value."}));
  ui.Clear();
  s.plotXMax = 5;  // equal limits are let through
  EXPECT_TRUE(rules.CheckLayoutPage());
  s.plotYMin = 3;  // y limits are not checked
  s.plotYMax = -3;
  EXPECT_TRUE(rules.CheckLayoutPage());
  EXPECT_TRUE(ui.messages.empty());
}

TEST(PlotSettingsRulesTest, FieldRangesOfTheLayoutPage) {
  struct Case {
    void (*change)(CPlotSettings&);
    const char* message;
  };
  const Case cases[] = {
      {[](CPlotSettings& s) { s.borders[0] = 0.25; },
       "Enter a value between 0 and 0.2 for the left margin."},
      {[](CPlotSettings& s) { s.borders[1] = -0.01; },
       "Enter a value between 0 and 0.2 for the bottom margin."},
      {[](CPlotSettings& s) { s.borders[2] = 0.79; },
       "Enter a value between 0.8 and 1 for the right edge."},
      {[](CPlotSettings& s) { s.borders[3] = 1.01; },
       "Enter a value between 0.8 and 1 for the top edge."},
      {[](CPlotSettings& s) { s.xDivisions = 4; },
       "Enter a value between 5 and 25 for the divisions on the x axis."},
      {[](CPlotSettings& s) { s.yDivisions = 26; },
       "Enter a value between 5 and 25 for the divisions on the y axis."},
      {[](CPlotSettings& s) { s.markerSize = 11; },
       "Enter a value between 2 and 10 for the marker size."},
      {[](CPlotSettings& s) { s.xAxisFormat = std::string(21, 'f'); },
       "Enter at most 20 characters for the x-axis number format."},
  };
  for (const Case& c : cases) {
    CRecordingUi ui;
    CPlotSettingsRules rules{CPlotSettings()};
    c.change(rules.Edit());
    EXPECT_FALSE(rules.CheckLayoutPage()) << c.message;
    EXPECT_EQ(ui.Last(), c.message);
  }
  // The ends of each range are allowed.
  CRecordingUi ui;
  CPlotSettingsRules rules{CPlotSettings()};
  CPlotSettings& s = rules.Edit();
  s.borders = {0.0, 0.2, 0.8, 1.0};
  s.xDivisions = 25;
  s.yDivisions = 5;
  s.markerSize = 2;
  s.yAxisFormat = std::string(20, 'g');
  EXPECT_TRUE(rules.CheckLayoutPage());
}

TEST(PlotSettingsRulesTest, TextLengthsOfTheAttributesPage) {
  CRecordingUi ui;
  CPlotSettingsRules rules{CPlotSettings()};
  rules.Edit().yAxisLabelRight = std::string(50, 'y');
  EXPECT_TRUE(rules.CheckAttributesPage());
  rules.Edit().yAxisLabelRight += "y";
  EXPECT_FALSE(rules.CheckAttributesPage());
  EXPECT_EQ(ui.Last(), "Enter at most 50 characters for the right y-axis label.");
  EXPECT_TRUE(CPlotSettingsRules::CheckLegendText(std::string(20, 'r'), "Rep. Raw"));
  EXPECT_FALSE(CPlotSettingsRules::CheckLegendText(std::string(21, 'r'), "Other"));
  EXPECT_EQ(ui.Last(), "Enter at most 20 characters for the legend text \"Other\".");
}

TEST(PlotSettingsRulesTest, ApplyWritesTheCopyBackOnlyWhenValid) {
  CRecordingUi ui;
  CPlotSettings target;
  CPlotSettingsRules rules(target);
  rules.Edit().graphTitle = "Edited";
  rules.Edit().modelXMin = 2;  // model min above max (0)
  EXPECT_FALSE(rules.Apply(target));
  EXPECT_EQ(target.graphTitle, "");
  rules.Edit().modelXMax = 3;
  EXPECT_TRUE(rules.Apply(target));
  EXPECT_EQ(target.graphTitle, "Edited");
  EXPECT_EQ(target.modelXMax, 3.0f);
}

TEST(PlotSettingsRulesTest, PlotLimitsFollowTheDataUntilTheUserChangesThem) {
  CReplicateDB db;
  db.WidenExtents(0, 10, -1, 5);
  db.RefreshPlotLimits(false);
  EXPECT_EQ(db.plotSettings.plotXMax, 10.0f);
  EXPECT_EQ(db.plotSettings.modelYMin, -1.0f);
  db.WidenExtents(0, 20, -1, 5);  // a new import widens the data
  db.RefreshPlotLimits(false);
  EXPECT_EQ(db.plotSettings.plotXMax, 20.0f);
  db.plotSettings.plotXMax = 12;  // the user zooms
  db.WidenExtents(0, 30, -1, 5);
  db.RefreshPlotLimits(false);
  EXPECT_EQ(db.plotSettings.plotXMax, 12.0f);
  EXPECT_EQ(db.plotSettings.modelXMax, 20.0f);
  db.RefreshPlotLimits(true);
  EXPECT_EQ(db.plotSettings.plotXMax, 30.0f);
}

}  // namespace
}  // namespace olm::test
