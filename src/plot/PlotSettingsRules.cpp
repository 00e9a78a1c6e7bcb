#include "plot/PlotSettingsRules.hpp"

#include "numerics/UserInterface.hpp"

namespace olm {

namespace {

bool Fail(const std::string& text) {
  ShowMessage(text);
  return false;
}

bool TextFits(const std::string& text, int maxChars, const char* caption) {
  if (text.size() <= static_cast<size_t>(maxChars)) return true;
  return Fail(Format("Enter at most %d characters for the %s.", maxChars, caption));
}

bool InRange(double v, double lo, double hi, const char* caption) {
  if (v >= lo && v <= hi) return true;
  return Fail(Format("Enter a value between %g and %g for the %s.", lo, hi, caption));
}

}  // namespace

bool CPlotSettingsRules::CheckAttributesPage() const {
  return TextFits(m_edit.graphTitle, kMaxLabelChars, "graph title") &&
         TextFits(m_edit.xAxisLabel, kMaxLabelChars, "x-axis label") &&
         TextFits(m_edit.yAxisLabelLeft, kMaxLabelChars, "left y-axis label") &&
         TextFits(m_edit.yAxisLabelRight, kMaxLabelChars, "right y-axis label");
}

bool CPlotSettingsRules::CheckLegendText(const std::string& text, const std::string& caption) {
  return TextFits(text, kMaxLegendChars, ("legend text \"" + caption + "\"").c_str());
}

bool CPlotSettingsRules::CheckLayoutPage() const {
  const CPlotSettings& s = m_edit;
  // The borders in the order the plot places itself by them: left, top,
  // right, bottom, as fractions from the left and from the top.
  const bool ranges =
      InRange(s.borders[0], kMarginMin, kMarginMax, "left margin") &&
      InRange(s.borders[1], kMarginMin, kMarginMax, "top margin") &&
      InRange(s.borders[2], kEdgeMin, kEdgeMax, "right edge") &&
      InRange(s.borders[3], kEdgeMin, kEdgeMax, "bottom edge") &&
      InRange(s.xDivisions, kDivisionsMin, kDivisionsMax, "divisions on the x axis") &&
      InRange(s.yDivisions, kDivisionsMin, kDivisionsMax, "divisions on the y axis") &&
      InRange(s.markerSize, kMarkerSizeMin, kMarkerSizeMax, "marker size") &&
      TextFits(s.xAxisFormat, kMaxFormatChars, "x-axis number format") &&
      TextFits(s.yAxisFormat, kMaxFormatChars, "y-axis number format");
  if (!ranges) return false;
  if (s.modelXMin > s.modelXMax)
    return Fail("Max X Model value should be greater than Min X Model value.");
  if (s.plotXMin > s.plotXMax)
    return Fail("Max X Plot value should be greater than Min X Plot value.");
  return true;
}

bool CPlotSettingsRules::Apply(CPlotSettings& target) const {
  if (!CheckAttributesPage() || !CheckLayoutPage()) return false;
  target = m_edit;
  return true;
}

}  // namespace olm
