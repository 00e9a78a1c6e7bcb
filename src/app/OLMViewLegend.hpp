#pragma once
// COLMViewLegend: the legend beside the plot: the title, then per shown
// curve its name and x and y ranges, with rules between replicates.  It
// scrolls when the list is longer than the pane.
#include <QAbstractScrollArea>

#include "document/Document.hpp"
#include "plot/LegendModel.hpp"

namespace olm {

class COLMViewLegend : public QAbstractScrollArea, public IDocObserver {
  Q_OBJECT

 public:
  explicit COLMViewLegend(COLMDoc& doc, QWidget* parent = nullptr);
  ~COLMViewLegend() override;
  void DocumentChanged(unsigned changes) override;

  // The lines the legend lists (title, rule, curve, range and blank lines).
  const CLegendModel& Model() const { return m_model; }
  // The height of the whole list in pixels.
  int ContentHeight() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Rebuild();
  void UpdateScrollRange();

  COLMDoc& m_doc;
  CLegendModel m_model;
};

}  // namespace olm
