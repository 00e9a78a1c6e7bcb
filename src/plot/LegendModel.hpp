#pragma once
// The legend panel beside the plot, free of any widget: the lines it lists
// and where they go.
//
// The title "OLM V1.0" and a rule under it; then, for each replicate and
// each of its raw, smoothed and fitted curves whose display switch is on,
// the curve's name ("<name>-R", "-S", "-F"), "   x range: (%g, %g)" and
// "   y range: (%g, %g)" over the curve's points, and an empty line; after a
// replicate that listed a curve, a rule with a line of space before and
// after it.  A curve whose switch is on but that holds no points (not
// smoothed or fitted yet) is not listed: it has no range.
//
// Layout: a 10-point font; the title's top at 1 3/4 line heights, centred
// but never left of the left margin (one character width); the rule one
// line lower; each further line one line height below the previous.
#include <string>
#include <vector>

#include "engine/Database.hpp"
#include "plot/PlotCanvas.hpp"

namespace olm {

struct CLegendLine {
  enum Kind { kTitle, kRule, kCurve, kRange, kBlank };
  Kind kind = kBlank;
  std::string text;
  int replicate = 0;   // curve and range lines
  int curveKind = -1;  // 0 raw, 1 smoothed, 2 fitted
};

// A legend line at its place (y is the text's top, or the rule's height).
struct CPlacedLegendLine {
  CLegendLine line;
  int x = 0, y = 0;
};

class CLegendModel {
 public:
  static constexpr const char* kTitle = "OLM V1.0";

  // Rebuilds the lines; a null database (no document data) lists only the
  // title and its rule.
  void Build(const CReplicateDB* db);
  const std::vector<CLegendLine>& Lines() const { return m_lines; }
  // The texts of the title, curve and range lines, in order.
  std::vector<std::string> Texts() const;

  // The lines placed for a client width and the legend font's measures.
  std::vector<CPlacedLegendLine> Layout(int clientWidth, const CTextMetrics& metrics) const;

  // The 10-point legend font at a vertical resolution (pixels per inch).
  static CFontSpec Font(int pixelsPerInch);

  // Draws the legend on a canvas of the given width: white background,
  // curve names in their curve's colour, the rest black.
  void Paint(IPlotCanvas& canvas, int width, int height, int pixelsPerInch,
             const CReplicateDB* db) const;

 private:
  std::vector<CLegendLine> m_lines;
};

}  // namespace olm
