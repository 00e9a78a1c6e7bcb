#include "plot/CurveOperations.hpp"

#include <algorithm>
#include <cmath>

#include "numerics/UserInterface.hpp"
#include "plot/PlotView.hpp"

namespace olm {

CPickTolerance OnePixelTolerance(const CGraph& graph, int px, int py) {
  const CWorldPoint c = graph.DeviceToWorld(px, py);
  const CWorldPoint lo = graph.DeviceToWorld(px - 1, py + 1);
  const CWorldPoint hi = graph.DeviceToWorld(px + 1, py - 1);
  return {std::max(std::fabs(hi.x - c.x), std::fabs(c.x - lo.x)),
          std::max(std::fabs(hi.y - c.y), std::fabs(c.y - lo.y))};
}

int HitTestCurve(const CReplicateDB& db, const CGraph& graph, CDevicePoint p) {
  const CWorldPoint w = graph.DeviceToWorldPoint(p);
  const CPickTolerance t = OnePixelTolerance(graph, p.x, p.y);
  return FindReplicateAt(db, w.x, w.y, t.x, t.y);
}

bool DeleteCurveAt(CReplicateDB& db, const CGraph& graph, CDevicePoint p) {
  const int r = HitTestCurve(db, graph, p);
  if (r == 0) {
    ShowMessage("Cannot find a curve");
    return false;
  }
  if (!AskUser(Format("Deleting curve: %d.", r), QuestionKind::YesNo)) return false;
  db.Replicate(r).SetActive(false);
  db.ComputeExtents(true);
  db.RefreshPlotLimits(false);
  return true;
}

void ShiftRawCurve(CReplicateDB& db, int replicate, double dx, double dy) {
  if (replicate < 1 || replicate > db.GetReplicateCount()) return;
  CReplicate& rep = db.Replicate(replicate);
  CMatrix<double>& m = rep.raw;
  const int rows = std::min(rep.pointCount, m.GetRows());
  const bool xOk = rep.xColumn >= 1 && rep.xColumn <= m.GetColumns();
  const bool yOk = rep.yColumn >= 1 && rep.yColumn <= m.GetColumns();
  for (int i = 1; i <= rows; ++i) {
    if (xOk) m(i, rep.xColumn) += dx;
    if (yOk) m(i, rep.yColumn) += dy;
  }
}

void CCurveMoveForm::OpenAt(const CReplicateDB& db, const CGraph& graph, CDevicePoint p) {
  const CWorldPoint w = graph.DeviceToWorldPoint(p);
  x = w.x;
  y = w.y;
  accuracy = OnePixelTolerance(graph, p.x, p.y);
  replicate = HitTestCurve(db, graph, p);
}

std::vector<std::string> CCurveMoveForm::ReplicateChoices(const CReplicateDB& db) {
  std::vector<std::string> choices;
  for (int r = 1; r <= db.GetReplicateCount(); ++r) choices.push_back(Format("%d", r));
  return choices;
}

std::string CCurveMoveForm::AccuracyText() const {
  return Format("(%g, %g)", accuracy.x, accuracy.y);
}

bool CCurveMoveForm::Apply(CReplicateDB& db) const {
  if (replicate < 1 || replicate > db.GetReplicateCount()) {
    ShowMessage("Choose the replicate to move.");
    return false;
  }
  ShiftRawCurve(db, replicate, x, y);
  db.smoothedFlag = 0;
  db.fittedFlag = 0;
  db.ComputeExtents(true);
  db.RefreshPlotLimits(false);
  return true;
}

bool CCurveDrag::Press(const CReplicateDB& db, const CGraph& graph, CDevicePoint p) {
  m_dragging = false;
  m_replicate = HitTestCurve(db, graph, p);
  if (m_replicate == 0) {
    ShowMessage("Cannot find a curve");
    return false;
  }
  m_previous = p;
  m_dragging = true;
  m_others.reset();
  return true;
}

bool CCurveDrag::Move(CReplicateDB& db, const CGraph& graph, CDevicePoint p) {
  if (!m_dragging) return false;
  const CWorldPoint a = graph.DeviceToWorldPoint(m_previous), b = graph.DeviceToWorldPoint(p);
  m_previous = p;
  const double dx = b.x - a.x, dy = b.y - a.y;
  if (dx == 0.0 && dy == 0.0) return false;
  ShiftRawCurve(db, m_replicate, dx, dy);
  if (!m_others) {
    m_others = CReplicateDB::NoExtents();
    for (int r = 1; r <= db.GetReplicateCount(); ++r)
      if (r != m_replicate) db.GatherExtents(*m_others, r);
  }
  CExtents extents = *m_others;
  db.GatherExtents(extents, m_replicate);
  db.SetExtents(extents);
  return true;
}

bool CCurveDrag::Release() {
  const bool was = m_dragging;
  m_dragging = false;
  return was;
}

BestFitOutcome RequestBestFit(CReplicateDB& db, const CBestFitForm& form, CPlotView& view) {
  if (!form.Validate()) return BestFitOutcome::kRefused;
  if (!form.Proceed(db)) return BestFitOutcome::kFailed;
  view.SetPlotKind(kBestFitPlot);
  return BestFitOutcome::kBuilt;
}

}  // namespace olm
