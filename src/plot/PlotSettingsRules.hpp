#pragma once
// The rules of the graph settings sheet ("Graph Attributes" and "Graph
// Layout"): the sheet edits a copy of the plot settings record, checks each
// page when the user leaves it, and writes the copy back only on OK.
//
// Messages are shown through the user-interface routine; a failed check
// keeps the page open.
#include <string>

#include "engine/PlotSettings.hpp"

namespace olm {

class CPlotSettingsRules {
 public:
  static constexpr int kMaxLabelChars = 50;   // graph title and the three axis labels
  static constexpr int kMaxLegendChars = 20;  // "Rep. Raw", "Rep. Smooth", "Rep. Fitted", "Other"
  static constexpr int kMaxFormatChars = 20;  // axis number formats
  static constexpr double kMarginMin = 0.0, kMarginMax = 0.2;
  static constexpr double kEdgeMin = 0.8, kEdgeMax = 1.0;
  static constexpr int kDivisionsMin = 5, kDivisionsMax = 25;
  static constexpr int kMarkerSizeMin = 2, kMarkerSizeMax = 10;

  explicit CPlotSettingsRules(const CPlotSettings& settings) : m_edit(settings) {}

  // The copy the pages edit.
  CPlotSettings& Edit() { return m_edit; }
  const CPlotSettings& Edit() const { return m_edit; }

  // Leaving "Graph Attributes": the title and the axis labels take at most
  // 50 characters.
  bool CheckAttributesPage() const;
  // A legend text of the attributes page takes at most 20 characters.
  static bool CheckLegendText(const std::string& text, const std::string& caption);

  // Leaving "Graph Layout": the field ranges (borders, divisions, marker
  // size, number formats), then "Max X Model value should be greater than
  // Min X Model value." and "Max X Plot value should be greater than Min X
  // Plot value.".
  bool CheckLayoutPage() const;

  // OK: checks both pages and, when they pass, writes the copy to target.
  bool Apply(CPlotSettings& target) const;

 private:
  CPlotSettings m_edit;
};

}  // namespace olm
