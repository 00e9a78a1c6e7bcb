#include "engine/PlotSettings.hpp"

namespace olm {

namespace {
CLogFont ArialFont(int32_t height) {
  CLogFont f;
  f.height = height;
  f.weight = 700;
  f.quality = 2;
  f.faceName = "Arial";
  return f;
}
}  // namespace

void CPlotSettings::Reset() {
  *this = CPlotSettings(CPlotSettings::NoReset{});
  graphTitleFont = ArialFont(-30);
  xAxisLabelFont = ArialFont(-20);
  thirdFont = ArialFont(-20);
  for (int row = 1; row <= kCurveRows; ++row) {
    CCurveStyle& s = Style(row);
    s = CCurveStyle{};
    s.colourIndex = row <= 4 ? row : 0;
  }
  layout = {10, 2, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0};
  further = {0, 0, 0};
  xAxisFormat = "%-g";
  yAxisFormat = "%-g";
  displayFlags = {0, 1, 1, 1, 1, 1, 1, 1};
  borders = {0.1, 0.1, 0.9, 0.9};
  palette = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 0xFF00FF, 0xFFFF00, 0x808080, 0x008080,
             0x800080, 0x808000, 0x000080, 0x008000, 0x800000, 0xC0C0C0, 0x00FFFF, 0xFFFFFF};
  penStyles = {0, 1, 2, 3, 4};
  placement = {150, 850, 100, 900};
  smallTable = {1, 2, 3, 4, 5};
  for (int i = 0; i < 11; ++i) indexTable[static_cast<size_t>(i)] = i;
}

bool CPlotSettings::IsShown(int replicate, int kind) const {
  if (replicate < 1 || replicate > 20 || !FindStored(kCurveKinds, kind)) return false;
  return Style(CurveRow(replicate, kind)).display != 0;
}

void CPlotSettings::SetShown(int replicate, int kind, bool shown) {
  if (replicate < 1 || replicate > 20 || !FindStored(kCurveKinds, kind)) return;
  Style(CurveRow(replicate, kind)).display = shown ? 1 : 0;
}

bool CPlotSettings::IsReplicateShown(int replicate) const {
  for (const CCurveKindInfo& kind : kCurveKinds)
    if (IsShown(replicate, kind.stored)) return true;
  return false;
}

void CPlotSettings::RefreshPlotLimits(double xMin, double xMax, double yMin, double yMax,
                                      bool force) {
  const bool untouched = plotXMin == modelXMin && plotXMax == modelXMax && plotYMin == modelYMin &&
                         plotYMax == modelYMax;
  if (!untouched && !force) return;
  plotXMin = modelXMin = static_cast<float>(xMin);
  plotXMax = modelXMax = static_cast<float>(xMax);
  plotYMin = modelYMin = static_cast<float>(yMin);
  plotYMax = modelYMax = static_cast<float>(yMax);
}

}  // namespace olm
