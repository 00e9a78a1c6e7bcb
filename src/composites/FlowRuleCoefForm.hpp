#pragma once
// CFlowRuleCoefForm: the rules of the "MAT213 Input Data" dialog without any
// widget.  The dialog binds its edit boxes to the file names and forwards its
// button and list events here.
#include <array>
#include <string>

#include "composites/FlowRuleModel.hpp"
#include "composites/FlowRuleSolver.hpp"

namespace olm {

class CFlowRuleCoefForm {
 public:
  static constexpr const char* kCaption = "MAT213 Input Data";
  static constexpr int kListColumnWidth = 80;  // pixels
  // Headers of the list view's three columns.
  static const std::array<const char*, 3>& ListColumns();
  // The "Use as" choices: what each of the twelve curves is, by curve id.
  static const std::array<const char*, kFlowRuleCurveCount>& UseAsChoices();

  std::string resultsFile;  // "Results File Name"
  std::string cardFile;     // "MAT213 Material Card"
  std::string modelFile;    // chosen with "Select file"

  // "Compute": shows "Ready to compute ...", then runs the flow-rule program
  // when all three file names are given.  Returns the program's status (0
  // also when nothing was run).
  int Compute();
  // Compute in two steps, for a dialog that runs the program on a worker
  // thread: the announcement (true when all three file names are given),
  // then the program on the three files (its result copied to result when
  // given).
  bool AnnounceCompute() const;
  int RunProgram(CFlowRuleResult* result = nullptr) const;
  // "Update": controlsValid is whether the dialog's field exchange accepted
  // the controls; only then the update message is shown.  Returns controlsValid.
  bool Update(bool controlsValid);
  // A click on the list view.
  void ListClicked();
  // "Select file".
  void SelectFile();
};

}  // namespace olm
