#include "app/NavigationView.hpp"

namespace olm {

CNavigationView::CNavigationView(COLMDoc& doc, QWidget* parent) : QTreeView(parent), m_doc(doc) {
  setAccessibleName(tr("Data sets"));
  setMinimumWidth(50);
  m_doc.AddObserver(this);
}

CNavigationView::~CNavigationView() {
  m_doc.RemoveObserver(this);
}

void CNavigationView::DocumentChanged(unsigned) {
  viewport()->update();
}

}  // namespace olm
