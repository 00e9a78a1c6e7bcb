#include "app/OLMViewLegend.hpp"

#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include "plot/PlotPainter.hpp"

namespace olm {

COLMViewLegend::COLMViewLegend(COLMDoc& doc, QWidget* parent)
    : QAbstractScrollArea(parent), m_doc(doc) {
  setAccessibleName(tr("Legend"));
  setMinimumWidth(50);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFrameShape(QFrame::NoFrame);
  m_rebuildTimer.setSingleShot(true);
  connect(&m_rebuildTimer, &QTimer::timeout, this, &COLMViewLegend::RebuildIfDirty);
  m_doc.AddObserver(this);
  Rebuild();
}

COLMViewLegend::~COLMViewLegend() {
  m_doc.RemoveObserver(this);
}

void COLMViewLegend::DocumentChanged(unsigned changes) {
  if (!(changes & (kChangeData | kChangeSettings))) return;
  m_dirty = true;
  if (!m_rebuildTimer.isActive()) m_rebuildTimer.start(m_doc.IsEditing() ? kEditRebuildDelayMs : 0);
}

void COLMViewLegend::RebuildIfDirty() {
  if (m_dirty) Rebuild();
}

const CLegendModel& COLMViewLegend::Model() {
  RebuildIfDirty();
  return m_model;
}

void COLMViewLegend::Rebuild() {
  m_dirty = false;
  const CReplicateDB& db = m_doc.Database();
  m_model.Build(db.GetReplicateCount() > 0 ? &db : nullptr);
  UpdateScrollRange();
  viewport()->update();
}

int COLMViewLegend::ContentHeight() {
  RebuildIfDirty();
  // The font is measured on an image of the viewport's resolution.
  QImage probe(1, 1, QImage::Format_RGB32);
  probe.setDotsPerMeterY(viewport()->logicalDpiY() * 10000 / 254);
  QPainter painter(&probe);
  CQtPlotCanvas canvas(painter);
  const CTextMetrics tm = canvas.Metrics(CLegendModel::Font(viewport()->logicalDpiY()));
  const auto placed = m_model.Layout(viewport()->width(), tm);
  if (placed.empty()) return 0;
  return placed.back().y + 2 * std::max(1, tm.LineHeight());
}

void COLMViewLegend::UpdateScrollRange() {
  const int page = viewport()->height();
  verticalScrollBar()->setPageStep(page);
  verticalScrollBar()->setSingleStep(std::max(1, fontMetrics().height()));
  verticalScrollBar()->setRange(0, std::max(0, ContentHeight() - page));
}

void COLMViewLegend::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollRange();
}

void COLMViewLegend::paintEvent(QPaintEvent*) {
  RebuildIfDirty();
  QPainter painter(viewport());
  const int offset = verticalScrollBar()->value();
  painter.fillRect(viewport()->rect(), Qt::white);
  painter.translate(0, -offset);
  CQtPlotCanvas canvas(painter);
  const CReplicateDB& db = m_doc.Database();
  m_model.Paint(canvas, viewport()->width(), viewport()->height() + offset,
                viewport()->logicalDpiY(), db.GetReplicateCount() > 0 ? &db : nullptr);
}

}  // namespace olm
