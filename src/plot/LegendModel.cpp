#include "plot/LegendModel.hpp"

#include <algorithm>
#include <cmath>

#include "numerics/UserInterface.hpp"
#include "plot/PlotCurves.hpp"
#include "plot/PlotScene.hpp"

namespace olm {

namespace {

// The range of the finite values of a column (NaN and infinite values are
// not drawn either); false when there are none.
bool Range(const CCurveView& c, bool xColumn, double& lo, double& hi) {
  const double* v = xColumn ? c.x : c.y;
  bool any = false;
  for (size_t i = 0; i < c.count; ++i) {
    const double d = v[static_cast<std::ptrdiff_t>(i) * c.stride];
    if (!std::isfinite(d)) continue;
    lo = any ? std::min(lo, d) : d;
    hi = any ? std::max(hi, d) : d;
    any = true;
  }
  return any;
}

}  // namespace

void CLegendModel::Build(const CReplicateDB* db) {
  m_lines.clear();
  m_lines.push_back({CLegendLine::kTitle, kTitle});
  m_lines.push_back({CLegendLine::kRule, ""});
  if (!db) return;
  for (int r = 1; r <= db->GetReplicateCount(); ++r) {
    bool listed = false;
    for (const CCurveKindInfo& kind : kCurveKinds) {
      const int k = kind.stored;
      if (!db->plotSettings.IsShown(r, k)) continue;
      const CCurveView c = CurvePoints(*db, r, k);
      if (c.count == 0) continue;
      double xLo = 0, xHi = 0, yLo = 0, yHi = 0;
      const bool xAny = Range(c, true, xLo, xHi), yAny = Range(c, false, yLo, yHi);
      const auto rangeText = [](const char* axis, bool any, double lo, double hi) {
        return any ? Format("   %s range: (%g, %g)", axis, lo, hi)
                   : Format("   %s range: no finite values", axis);
      };
      m_lines.push_back({CLegendLine::kCurve, CurveLabelText(*db, r, k), r, k});
      m_lines.push_back({CLegendLine::kRange, rangeText("x", xAny, xLo, xHi), r, k});
      m_lines.push_back({CLegendLine::kRange, rangeText("y", yAny, yLo, yHi), r, k});
      m_lines.push_back({CLegendLine::kBlank, ""});
      listed = true;
    }
    if (listed) m_lines.push_back({CLegendLine::kRule, ""});
  }
}

std::vector<std::string> CLegendModel::Texts() const {
  std::vector<std::string> texts;
  for (const CLegendLine& l : m_lines)
    if (l.kind == CLegendLine::kTitle || l.kind == CLegendLine::kCurve ||
        l.kind == CLegendLine::kRange)
      texts.push_back(l.text);
  return texts;
}

std::vector<CPlacedLegendLine> CLegendModel::Layout(int clientWidth,
                                                    const CTextMetrics& metrics) const {
  std::vector<CPlacedLegendLine> placed;
  const int lh = std::max(1, metrics.LineHeight());
  const int cw = std::max(1, metrics.averageCharWidth);
  const int margin = cw;
  int y = lh / 2 + lh + lh / 4;
  for (const CLegendLine& l : m_lines) {
    CPlacedLegendLine p{l, margin, y};
    switch (l.kind) {
      case CLegendLine::kTitle: {
        const int length = static_cast<int>(l.text.size());
        p.x = std::max(margin, clientWidth / 2 - length * cw / 2);
        y += lh;
        break;
      }
      case CLegendLine::kRule:
        // Across the width: under the title one line below it; after a
        // replicate half a line below the previous text, with a line of
        // space before and after it.
        p.x = 0;
        p.y = placed.size() == 1 ? placed[0].y + lh : y + lh / 2;
        y += lh + lh / 2;
        break;
      default:
        y += lh;
        break;
    }
    placed.push_back(p);
  }
  return placed;
}

CFontSpec CLegendModel::Font(int pixelsPerInch) {
  CFontSpec f;
  f.face = "Arial";
  f.pixelHeight = std::max(1, 10 * pixelsPerInch / 72);
  f.weight = 400;
  return f;
}

void CLegendModel::Paint(IPlotCanvas& canvas, int width, int height, int pixelsPerInch,
                         const CReplicateDB* db) const {
  canvas.FillRect({0, 0, width, height}, 0xFFFFFF);
  const CFontSpec font = Font(pixelsPerInch);
  const CTextMetrics tm = canvas.Metrics(font);
  canvas.SetPen({kPenSolid, 1, 0x000000});
  for (const CPlacedLegendLine& p : Layout(width, tm)) {
    switch (p.line.kind) {
      case CLegendLine::kRule:
        canvas.SetPen({kPenSolid, 1, 0x000000});
        canvas.Line(0, p.y, width, p.y);
        break;
      case CLegendLine::kBlank:
        break;
      default: {
        uint32_t colour = 0;
        if (p.line.kind == CLegendLine::kCurve && db)
          colour = CurvePen(db->plotSettings, p.line.replicate, p.line.curveKind).colour;
        canvas.Text(p.x, p.y, p.line.text, font, colour, kAlignLeft | kAlignTop);
        break;
      }
    }
  }
}

}  // namespace olm
