#pragma once
// CNavigationView: the tree of data sets with a check box per curve.
//
//   Data Sets / Raw Data, Smoothened Data, Fitted Data / "%d: %s" entries
//
// A click on an entry's check box switches the curve's display through the
// document (one undo step; every view follows).  A double click on an entry
// asks for the raw-data editor on that replicate and kind.
#include <QTreeView>

#include "document/Document.hpp"
#include "plot/NavigationTree.hpp"

class QStandardItem;
class QStandardItemModel;

namespace olm {

class CNavigationView : public QTreeView, public IDocObserver {
  Q_OBJECT

 public:
  explicit CNavigationView(COLMDoc& doc, QWidget* parent = nullptr);
  ~CNavigationView() override;
  void DocumentChanged(unsigned changes) override;

  QStandardItemModel* Model() const { return m_model; }
  // The item of a replicate's (1-based) entry under a kind's group, or null.
  QStandardItem* EntryItem(int kind, int replicate) const;

 signals:
  // A double click on an entry: open the raw-data editor on that replicate
  // (1-based) and curve kind.
  void editRequested(int replicate, int kind);

 private:
  void Rebuild();
  void ItemChanged(QStandardItem* item);

  COLMDoc& m_doc;
  CNavigationTreeModel m_tree;
  QStandardItemModel* m_model;
  bool m_updating = false;
};

}  // namespace olm
