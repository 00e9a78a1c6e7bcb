// The plot settings dialog's rules: the checks of both pages and Apply.
#include "plot/PlotSettingsRules.hpp"

#include <gtest/gtest.h>

#include "TestSupport.hpp"
#include "engine/Database.hpp"

namespace olm::test {
namespace {

using Strings = std::vector<std::string>;

TEST(PlotSettingsRulesTest, DefaultsPassAndModelLimitsAreCheckedBeforePlotLimits) {
  CRecordingUi ui;
  CPlotSettingsRules rules{CPlotSettings()};
  EXPECT_TRUE(rules.CheckAttributesPage() && rules.CheckLayoutPage());
  EXPECT_TRUE(ui.messages.empty());
  CPlotSettings& s = rules.Edit();
  s.modelXMin = s.plotXMin = 5;
  s.modelXMax = s.plotXMax = 1;
  EXPECT_FALSE(rules.CheckLayoutPage());
  EXPECT_EQ(ui.Texts(), Strings{"Max X Model value should be greater than Min X Model value."});
  ui.Clear();
  s.modelXMax = 6;
  EXPECT_FALSE(rules.CheckLayoutPage());
  EXPECT_EQ(ui.Texts(), Strings{"Max X Plot value should be greater than Min X Plot value."});
  ui.Clear();
  s.plotXMax = 5;  // equal limits are let through
  EXPECT_TRUE(rules.CheckLayoutPage());
  s.plotYMin = 3;  // y limits are not checked
  s.plotYMax = -3;
  EXPECT_TRUE(rules.CheckLayoutPage());
  EXPECT_TRUE(ui.messages.empty());
}

TEST(PlotSettingsRulesTest, FieldRangesAndTextLengths) {
  struct Case {
    void (*change)(CPlotSettings&);
    const char* message;
  };
  const Case cases[] = {
      {[](CPlotSettings& s) { s.borders[0] = 0.25; },
       "Enter a value between 0 and 0.2 for the left margin."},
      {[](CPlotSettings& s) { s.borders[1] = -0.01; },
       "Enter a value between 0 and 0.2 for the top margin."},
      {[](CPlotSettings& s) { s.borders[2] = 0.79; },
       "Enter a value between 0.8 and 1 for the right edge."},
      {[](CPlotSettings& s) { s.borders[3] = 1.01; },
       "Enter a value between 0.8 and 1 for the bottom edge."},
      {[](CPlotSettings& s) { s.xDivisions = 4; },
       "Enter a value between 5 and 25 for the divisions on the x axis."},
      {[](CPlotSettings& s) { s.yDivisions = 26; },
       "Enter a value between 5 and 25 for the divisions on the y axis."},
      {[](CPlotSettings& s) { s.markerSize = 11; },
       "Enter a value between 2 and 10 for the marker size."},
      {[](CPlotSettings& s) { s.xAxisFormat = std::string(21, 'f'); },
       "Enter at most 20 characters for the x-axis number format."},
  };
  CRecordingUi ui;
  for (const Case& c : cases) {
    CPlotSettingsRules rules{CPlotSettings()};
    c.change(rules.Edit());
    EXPECT_FALSE(rules.CheckLayoutPage()) << c.message;
    EXPECT_EQ(ui.Last(), c.message);
  }
  // The ends of each range are allowed.
  CPlotSettingsRules rules{CPlotSettings()};
  CPlotSettings& s = rules.Edit();
  s.borders = {0.0, 0.2, 0.8, 1.0};
  s.xDivisions = 25;
  s.yDivisions = 5;
  s.markerSize = 2;
  s.yAxisFormat = std::string(20, 'g');
  EXPECT_TRUE(rules.CheckLayoutPage());
  s.yAxisLabelRight = std::string(50, 'y');
  EXPECT_TRUE(rules.CheckAttributesPage());
  s.yAxisLabelRight += "y";
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
  EXPECT_EQ(std::tuple(target.graphTitle, target.modelXMax),
            std::tuple(std::string("Edited"), 3.0f));
}

}  // namespace
}  // namespace olm::test
