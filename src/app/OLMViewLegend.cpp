#include "app/OLMViewLegend.hpp"

namespace olm {

COLMViewLegend::COLMViewLegend(COLMDoc& doc, QWidget* parent) : QWidget(parent), m_doc(doc) {
  setAccessibleName(tr("Legend"));
  setMinimumWidth(50);
  m_doc.AddObserver(this);
}

COLMViewLegend::~COLMViewLegend() {
  m_doc.RemoveObserver(this);
}

void COLMViewLegend::DocumentChanged(unsigned) {
  update();
}

}  // namespace olm
