#pragma once
// COLMViewLegend: the legend beside the plot.  (First version.)
#include <QWidget>

#include "document/Document.hpp"

namespace olm {

class COLMViewLegend : public QWidget, public IDocObserver {
  Q_OBJECT

 public:
  explicit COLMViewLegend(COLMDoc& doc, QWidget* parent = nullptr);
  ~COLMViewLegend() override;
  void DocumentChanged(unsigned changes) override;

 private:
  COLMDoc& m_doc;
};

}  // namespace olm
