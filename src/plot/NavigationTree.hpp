#pragma once
// The navigation tree of data sets, free of any widget: its items with
// their check states, and what a click on an item does.
//
//   Data Sets
//     Raw Data          "1: name", "2: name", ...   (every replicate)
//     Smoothened Data   the replicates that hold smoothed data
//     Fitted Data       the replicates that hold fitted data
//
// An entry is checked when its curve's display switch is on.  A single
// click on an entry inverts that switch, recomputes the extents and plot
// limits and rebuilds the tree; a second click on the same item within the
// double-click time is a double click, which asks for the raw-data editor
// on the entry's replicate and kind.  Clicks on the four fixed items do
// nothing.
#include <string>
#include <vector>

#include "engine/Database.hpp"

namespace olm {

struct CTreeItem {
  std::string text;
  int kind = -1;            // -1 for the fixed items; 0 raw, 1 smoothed, 2 fitted
  int replicateIndex = -1;  // 0-based replicate of an entry
  bool checked = false;
  bool expanded = false;
  std::vector<CTreeItem> children;
};

struct CTreeAction {
  enum Type {
    kNone,        // nothing to do
    kToggled,     // a display switch changed: mark modified, update the views
    kOpenEditor,  // open the raw-data editor for replicate (1-based) and kind
  };
  Type type = kNone;
  int replicate = 0;
  int kind = -1;
};

class CNavigationTreeModel {
 public:
  static constexpr const char* kRoot = "Data Sets";

  CNavigationTreeModel() { Rebuild(nullptr); }

  // Deletes every item and inserts them again from the database (null: the
  // four fixed items only); the fixed items are expanded.
  void Rebuild(const CReplicateDB* db);
  const CTreeItem& Root() const { return m_root; }
  // "Raw Data" (0), "Smoothened Data" (1), "Fitted Data" (2).
  const CTreeItem& Group(int kind) const { return m_root.children[static_cast<size_t>(kind)]; }
  // The entry of a replicate (0-based) under a group, or null.
  const CTreeItem* Entry(int kind, int replicateIndex) const;

  // A click on the item of (kind, replicateIndex); kind -1 is a fixed item
  // or no item.  nowMs is a monotonic time and doubleClickMs the system's
  // double-click time.
  CTreeAction Click(CReplicateDB& db, int kind, int replicateIndex, long long nowMs,
                    int doubleClickMs);
  // After the editor opened by a double click closes with OK: the extents
  // and plot limits are recomputed and the tree rebuilt (the document is
  // then modified).
  void EditorClosed(CReplicateDB& db, bool ok);

 private:
  CTreeItem m_root;
  int m_lastKind = -2, m_lastIndex = -2;
  long long m_lastTime = 0;
  int m_clicks = 0;
};

}  // namespace olm
