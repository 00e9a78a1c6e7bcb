#pragma once
// CFailureSurfaceForm: the rules of the "Define Failure Surface" dialog,
// without any widget.  The dialog binds its twelve edit boxes to Input(), its
// Compute button to Compute(), the "Failure Plot" popup to ChoosePlotType()
// and paints SeriesToDraw() titled PlotTitle().
#include <array>
#include <string>
#include <vector>

#include "composites/FailureSurface.hpp"

namespace olm {

struct CFailurePlotTypeInfo {
  FailurePlotType type;
  const char* title;      // plot title
  const char* menuEntry;  // entry of the "Failure Plot" popup
};

class CFailureSurfaceForm {
 public:
  static constexpr const char* kCaption = "Define Failure Surface";
  static constexpr const char* kGroup = " User Input ";
  static constexpr const char* kTypeEntry = "Tsai-Wu Laminate";
  static constexpr const char* kPopup = "Failure Plot";
  static constexpr const char* kNothingToPlot = "Need at least one set of values to plot.";
  static constexpr const char* kDefaultOutput = "test.txt";

  // The twelve prompt labels, in the order of the edit boxes.
  static const std::array<const char*, 12>& PromptLabels();
  static const std::array<CFailurePlotTypeInfo, kFailurePlotTypeCount>& PlotTypes();

  // "" when the input can be computed, else the message naming the field:
  // the nine strengths and n must be numbers above 0, the applied stresses
  // finite numbers.
  static std::string Check(const CFailureSurfaceInput& in);

  CFailureSurfaceInput& Input() { return m_input; }
  const CFailureSurfaceInput& Input() const { return m_input; }
  void SetOutputPath(std::string path) { m_outputPath = std::move(path); }
  const std::string& OutputPath() const { return m_outputPath; }

  // Checks the input (a failed check is shown and nothing changes), computes
  // every table whatever the plot type, and writes the output file; a file
  // that cannot be written is reported.  True when all of it succeeded.
  bool Compute();

  // Sets the plot type and its title and runs Compute().  An unknown type
  // leaves everything as it was and returns false.
  bool ChoosePlotType(int type);
  int PlotType() const { return static_cast<int>(m_type); }
  const char* PlotTitle() const;

  const CFailureSurface& Surface() const { return m_surface; }
  // The series of the current plot type, or null when nothing is computed
  // (the dialog then shows kNothingToPlot).
  const std::vector<CPlotSeries>* SeriesToDraw() const;

 private:
  CFailureSurfaceInput m_input;
  FailurePlotType m_type = FailurePlotType::S22S11;
  std::string m_outputPath = kDefaultOutput;
  CFailureSurface m_surface;
};

}  // namespace olm
