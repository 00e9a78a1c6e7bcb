#include "app/OLMView.hpp"

#include <QPainter>

#include "plot/PlotPainter.hpp"

namespace olm {

COLMView::COLMView(COLMDoc& doc, QWidget* parent) : QWidget(parent), m_doc(doc) {
  setAccessibleName(tr("Plot"));
  setMinimumSize(50, 50);
  m_doc.AddObserver(this);
}

COLMView::~COLMView() {
  m_doc.RemoveObserver(this);
}

void COLMView::DocumentChanged(unsigned) {
  update();
}

QImage COLMView::RenderImage(QSize size) {
  CGEList objects = m_doc.Objects().Clone();
  return RenderPlotImage(size.width(), size.height(), m_state, m_doc.Database(), objects,
                         m_state.PaintOptions());
}

void COLMView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, RenderImage(size()));
}

}  // namespace olm
