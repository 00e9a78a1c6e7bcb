#include "plot/NavigationTree.hpp"

#include "numerics/UserInterface.hpp"
#include "plot/PlotCurves.hpp"

namespace olm {

void CNavigationTreeModel::Rebuild(const CReplicateDB* db) {
  m_root = CTreeItem{};
  m_root.text = kRoot;
  m_root.expanded = true;
  for (const CCurveKindInfo& kind : kCurveKinds) {
    CTreeItem g;
    g.text = kind.group;
    g.expanded = true;
    m_root.children.push_back(std::move(g));
  }
  if (!db) return;
  for (int r = 1; r <= db->GetReplicateCount(); ++r) {
    const std::string text = Format("%d: %s", r, db->Replicate(r).GetTitle().c_str());
    for (const CCurveKindInfo& kind : kCurveKinds) {
      const int k = kind.stored;
      if (kind.value != CurveKind::kRaw && !HasCurveData(*db, r, k)) continue;
      CTreeItem entry;
      entry.text = text;
      entry.kind = k;
      entry.replicateIndex = r - 1;
      entry.checked = db->plotSettings.IsShown(r, k);
      m_root.children[static_cast<size_t>(k)].children.push_back(std::move(entry));
    }
  }
}

const CTreeItem* CNavigationTreeModel::Entry(int kind, int replicateIndex) const {
  if (!FindStored(kCurveKinds, kind)) return nullptr;
  for (const CTreeItem& e : Group(kind).children)
    if (e.replicateIndex == replicateIndex) return &e;
  return nullptr;
}

CTreeAction CNavigationTreeModel::Click(CReplicateDB& db, int kind, int replicateIndex,
                                        long long nowMs, int doubleClickMs) {
  const bool same = kind == m_lastKind && replicateIndex == m_lastIndex;
  const bool isDouble =
      same && m_clicks == 1 && nowMs - m_lastTime >= 0 && nowMs - m_lastTime <= doubleClickMs;
  m_lastKind = kind;
  m_lastIndex = replicateIndex;
  m_lastTime = nowMs;
  m_clicks = isDouble ? 0 : 1;

  const bool entry = FindStored(kCurveKinds, kind) && replicateIndex >= 0 &&
                     replicateIndex < db.GetReplicateCount() && Entry(kind, replicateIndex);
  if (!entry) return {};
  const int r = replicateIndex + 1;
  if (isDouble) return {CTreeAction::kOpenEditor, r, kind};
  db.plotSettings.SetShown(r, kind, !db.plotSettings.IsShown(r, kind));
  db.ComputeExtents(true);
  db.RefreshPlotLimits(false);
  Rebuild(&db);
  return {CTreeAction::kToggled, r, kind};
}

void CNavigationTreeModel::EditorClosed(CReplicateDB& db, bool ok) {
  if (!ok) return;
  db.ComputeExtents(true);
  db.RefreshPlotLimits(false);
  Rebuild(&db);
}

}  // namespace olm
