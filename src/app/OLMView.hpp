#pragma once
// COLMView: the plot view, painting the document through the same canvas
// code as `olm plot`.  (First version: paints; the view commands, mouse
// operations and context menu follow.)
#include <QImage>
#include <QWidget>

#include "document/Document.hpp"
#include "plot/PlotView.hpp"

namespace olm {

class COLMView : public QWidget, public IDocObserver {
  Q_OBJECT

 public:
  explicit COLMView(COLMDoc& doc, QWidget* parent = nullptr);
  ~COLMView() override;

  COLMDoc& Document() { return m_doc; }
  // The view state: axis kind, plot kind, interaction mode.
  CPlotView& State() { return m_state; }
  // The picture at a size (clipboard, export).
  QImage RenderImage(QSize size);

  void DocumentChanged(unsigned changes) override;

 signals:
  // The world point under the mouse, for the status bar's coordinate pane.
  void coordinatesChanged(const QString& text);
  // A one-line result for the status bar's message pane.
  void statusMessage(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  COLMDoc& m_doc;
  CPlotView m_state;
};

}  // namespace olm
