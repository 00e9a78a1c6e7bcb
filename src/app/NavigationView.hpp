#pragma once
// CNavigationView: the tree of data sets.  (First version.)
#include <QTreeView>

#include "document/Document.hpp"

namespace olm {

class CNavigationView : public QTreeView, public IDocObserver {
  Q_OBJECT

 public:
  explicit CNavigationView(COLMDoc& doc, QWidget* parent = nullptr);
  ~CNavigationView() override;
  void DocumentChanged(unsigned changes) override;

 signals:
  // A double click on an entry: open the raw-data editor on that replicate
  // (1-based) and curve kind.
  void editRequested(int replicate, int kind);

 private:
  COLMDoc& m_doc;
};

}  // namespace olm
