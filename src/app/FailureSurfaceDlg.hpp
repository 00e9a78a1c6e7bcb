#pragma once
// CFailureSurfaceDlg: the modal "Define Failure Surface" dialog.  Twelve ply
// strengths and applied stresses; "Compute" writes the Tsai-Wu envelopes to
// test.txt and draws the chosen plot type; the right button opens the
// "Failure Plot" menu of the six plot types.
//
// test.txt goes where the user chooses: the first Compute asks, starting
// beside the project (the working folder for a project never saved); later
// ones in the same dialog write the file chosen then.
#include <QDialog>
#include <QString>
#include <array>
#include <memory>

#include "app/ToolCommandsSupport.hpp"
#include "composites/FailureSurfaceForm.hpp"

class QComboBox;
class QLineEdit;
class QMenu;

namespace olm::app {

class CFailureSurfaceDlg : public QDialog {
  Q_OBJECT
 public:
  // projectPath: the project's file, "" for a project never saved.
  explicit CFailureSurfaceDlg(const QString& projectPath, QWidget* parent = nullptr);

  // Where the first Compute proposes to write test.txt.
  QString DefaultOutputPath() const;
  const CFailureSurfaceForm& Form() const { return m_form; }
  CToolChartView* PlotFrame() const { return m_plot; }
  QLineEdit* Field(int k) const { return m_fields[static_cast<size_t>(k)]; }
  // The "Failure Plot" popup (built on each right click; null before).
  QMenu* PlotMenu() const { return m_menu; }

 public slots:
  bool Compute();
  // Sets the plot type and computes.
  bool ChoosePlotType(int type);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  // The field exchange: every field a number.
  bool ReadFields();
  // Asks where test.txt goes, the first time; false when cancelled.
  bool ChooseOutput();
  void UpdatePlot();

  CScopedToolMessages m_messages{this};
  QString m_projectPath;
  CFailureSurfaceForm m_form;
  bool m_outputChosen = false;
  QComboBox* m_type = nullptr;
  std::array<QLineEdit*, 12> m_fields{};
  CToolChartView* m_plot = nullptr;
  QMenu* m_menu = nullptr;
};

}  // namespace olm::app
