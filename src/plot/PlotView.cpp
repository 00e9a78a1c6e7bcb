#include "plot/PlotView.hpp"

#include <algorithm>

namespace olm {

namespace {

std::unique_ptr<CGraph> MakeGraph(AxisScales kind) {
  switch (kind) {
    case AxisScales::kLinear:
      return std::make_unique<CLinear<double>>();
    case AxisScales::kLogX:
      return std::make_unique<CXLogYLinear<double>>();
    case AxisScales::kLogY:
      return std::make_unique<CXLinearYLog<double>>();
    case AxisScales::kLogLog:
      return std::make_unique<CXLogYLog<double>>();
  }
  return nullptr;
}

}  // namespace

CPlotView::CPlotView() {
  for (const CAxisKindInfo& kind : kGraphAxes)
    m_graphs[static_cast<size_t>(kind.stored)] = MakeGraph(kind.value);
}

bool CPlotView::SetAxisKind(int kind) {
  if (kind < 0 || kind >= CGraph::kAxisKinds) return false;
  m_axisKind = kind;
  return true;
}

void CPlotView::ToggleObjectMode(int mode) {
  if (mode == kModeObjectZoom || mode == kModeObjectPan) ToggleMode(mode);
}

bool CPlotView::CanMoveCurves(const CReplicateDB& db) {
  return !db.IsSmoothed() && !db.IsLocked();
}

bool CPlotView::ToggleMoveCurveMode(CReplicateDB& db) {
  if (m_mode == kModeMoveCurve) {
    m_mode = kModeNone;
    m_plotKind = kRawDataPlot;
    ZoomOut(db);
    return true;
  }
  if (!CanMoveCurves(db)) return false;
  m_mode = kModeMoveCurve;
  return true;
}

bool CPlotView::Zoom(CReplicateDB& db, CDevicePoint down, CDevicePoint up) {
  m_mode = kModeNone;
  mouseDown = down;
  mouseUp = up;
  if (down.x == up.x || down.y == up.y) return false;
  const CGraph& g = Graph();
  const CWorldPoint a0 = g.DeviceToWorldPoint(down), b0 = g.DeviceToWorldPoint(up);
  const CWorldPoint a = g.ClampToWindow(a0.x, a0.y), b = g.ClampToWindow(b0.x, b0.y);
  const float xMin = static_cast<float>(std::min(a.x, b.x));
  const float xMax = static_cast<float>(std::max(a.x, b.x));
  const float yMin = static_cast<float>(std::min(a.y, b.y));
  const float yMax = static_cast<float>(std::max(a.y, b.y));
  if (!(xMin < xMax) || !(yMin < yMax)) return false;
  CPlotSettings& s = db.plotSettings;
  s.plotXMin = xMin;
  s.plotXMax = xMax;
  s.plotYMin = yMin;
  s.plotYMax = yMax;
  return true;
}

void CPlotView::ZoomOut(CReplicateDB& db) {
  CPlotSettings& s = db.plotSettings;
  s.plotXMin = s.modelXMin;
  s.plotXMax = s.modelXMax;
  s.plotYMin = s.modelYMin;
  s.plotYMax = s.modelYMax;
}

void CPlotView::ToggleXAxis(CReplicateDB& db) {
  SetDisplayFlag(db.plotSettings, kFlagShowXAxis, !GetDisplayFlag(db.plotSettings, kFlagShowXAxis));
}

void CPlotView::ToggleYAxis(CReplicateDB& db) {
  SetDisplayFlag(db.plotSettings, kFlagShowYAxis, !GetDisplayFlag(db.plotSettings, kFlagShowYAxis));
}

void CPlotView::ResizePlots(CReplicateDB& db) {
  db.ComputeExtents(true);
  db.RefreshPlotLimits(true);
}

CPlotPaintOptions CPlotView::PaintOptions() const {
  CPlotPaintOptions o;
  o.plotKind = m_plotKind;
  o.hideGraph = m_hideGraph;
  return o;
}

CPlotPaintResult CPlotView::Paint(IPlotCanvas& canvas, const CDeviceRect& rect,
                                  const CReplicateDB& db, const CGEList& objects,
                                  CPlotPaintOptions options) {
  options.plotKind = m_plotKind;
  options.hideGraph = m_hideGraph;
  return PaintPlot(canvas, rect, db, objects, Graph(), options);
}

}  // namespace olm
