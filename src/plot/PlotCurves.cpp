#include "plot/PlotCurves.hpp"

#include <algorithm>

#include "numerics/UserInterface.hpp"

namespace olm {

bool GetDisplayFlag(const CPlotSettings& s, int flag) {
  if (flag < 0 || flag >= static_cast<int>(s.displayFlags.size())) return false;
  return s.displayFlags[static_cast<size_t>(flag)] != 0;
}

void SetDisplayFlag(CPlotSettings& s, int flag, bool on) {
  if (flag < 0 || flag >= static_cast<int>(s.displayFlags.size())) return;
  s.displayFlags[static_cast<size_t>(flag)] = on ? 1 : 0;
}

const char* CurveSuffix(int kind) {
  const CCurveKindInfo* k = FindStored(kCurveKinds, kind);
  return k ? k->suffix : "";
}

std::string CurveIdentifier(int replicate, int kind) {
  const CCurveKindInfo* k = FindStored(kCurveKinds, kind);
  return k ? k->labelPrefix + std::to_string(replicate) : std::string();
}

std::string CurveLabelText(const CReplicateDB& db, int replicate, int kind) {
  if (replicate < 1 || replicate > db.GetReplicateCount()) return std::string();
  return db.Replicate(replicate).GetTitle() + CurveSuffix(kind);
}

int CurvePointCount(const CReplicateDB& db, int replicate, int kind) {
  if (replicate < 1 || replicate > db.GetReplicateCount()) return 0;
  const CReplicate& rep = db.Replicate(replicate);
  const CMatrix<double>* m = rep.CurveData(kind);
  const CCurveKindInfo* k = FindStored(kCurveKinds, kind);
  if (!m || !k || rep.xColumn < 1 || rep.yColumn < 1 || rep.xColumn > m->GetColumns() ||
      rep.yColumn > m->GetColumns())
    return 0;
  switch (k->value) {
    case CurveKind::kRaw:
      return std::min(rep.pointCount, m->GetRows());
    case CurveKind::kSmoothed:
      return db.IsSmoothed() ? std::min(rep.smoothedCount, m->GetRows()) : 0;
    case CurveKind::kFitted:
      return db.IsLocked() ? m->GetRows() : 0;
  }
  return 0;
}

bool HasCurveData(const CReplicateDB& db, int replicate, int kind) {
  return CurvePointCount(db, replicate, kind) > 0;
}

bool IsCurveVisible(const CReplicateDB& db, int replicate, int kind) {
  if (replicate < 1 || replicate > db.GetReplicateCount()) return false;
  return db.Replicate(replicate).IsActive() && db.plotSettings.IsShown(replicate, kind) &&
         HasCurveData(db, replicate, kind);
}

CCurveView CurvePoints(const CReplicateDB& db, int replicate, int kind) {
  const int n = CurvePointCount(db, replicate, kind);
  if (n < 1) return {};
  const CReplicate& rep = db.Replicate(replicate);
  return CurveColumns(*rep.CurveData(kind), n, rep.xColumn, rep.yColumn);
}

CCurveView BestFitPoints(const CReplicateDB& db) {
  return CurveVectors(db.bestFitX, db.bestFitY);
}

}  // namespace olm
