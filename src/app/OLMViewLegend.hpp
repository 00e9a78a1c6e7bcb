#pragma once
// COLMViewLegend: the legend beside the plot: the title, then per shown
// curve its name and x and y ranges, with rules between replicates.  It
// scrolls when the list is longer than the pane.
#include <QAbstractScrollArea>
#include <QTimer>

#include "document/Document.hpp"
#include "plot/LegendModel.hpp"

namespace olm {

class COLMViewLegend : public QAbstractScrollArea, public IDocObserver {
  Q_OBJECT

 public:
  explicit COLMViewLegend(COLMDoc& doc, QWidget* parent = nullptr);
  ~COLMViewLegend() override;
  void DocumentChanged(unsigned changes) override;

  // The lines the legend lists (title, rule, curve, range and blank lines),
  // brought up to date with the document.
  const CLegendModel& Model();
  // The height of the whole list in pixels.
  int ContentHeight();
  // While the document is being edited (a curve dragged, the zone dialog
  // open), changes are gathered for this long before the ranges (a pass
  // over every shown point) are taken again; otherwise at the next turn of
  // the event loop.
  static constexpr int kEditRebuildDelayMs = 150;
  const QTimer& RebuildTimer() const { return m_rebuildTimer; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Rebuild();
  void RebuildIfDirty();
  void UpdateScrollRange();

  COLMDoc& m_doc;
  CLegendModel m_model;
  bool m_dirty = false;
  QTimer m_rebuildTimer;
};

}  // namespace olm
