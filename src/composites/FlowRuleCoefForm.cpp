#include "composites/FlowRuleCoefForm.hpp"

#include "composites/FlowRuleProgram.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

const std::array<const char*, 3>& CFlowRuleCoefForm::ListColumns() {
  static const std::array<const char*, 3> columns = {"Test Data", "OLM Data File", "Data Set Name"};
  return columns;
}

const std::array<const char*, kFlowRuleCurveCount>& CFlowRuleCoefForm::UseAsChoices() {
  static const std::array<const char*, kFlowRuleCurveCount> choices = [] {
    std::array<const char*, kFlowRuleCurveCount> c{};
    for (int id = 1; id <= kFlowRuleCurveCount; ++id) c[id - 1] = FlowRuleCurveName(id);
    return c;
  }();
  return choices;
}

int CFlowRuleCoefForm::Compute() {
  return AnnounceCompute() ? RunProgram() : 0;
}

bool CFlowRuleCoefForm::AnnounceCompute() const {
  ShowMessage("Ready to compute ...", MessageKind::Information);
  return !modelFile.empty() && !resultsFile.empty() && !cardFile.empty();
}

int CFlowRuleCoefForm::RunProgram(CFlowRuleResult* result) const {
  CFlowRuleProgram program;
  const int status = program.Run({modelFile, resultsFile, cardFile});
  if (result) *result = program.Result();
  return status;
}

bool CFlowRuleCoefForm::Update(bool controlsValid) {
  if (controlsValid) ShowMessage("Updating list of MAT213 12 curves", MessageKind::Information);
  return controlsValid;
}

void CFlowRuleCoefForm::ListClicked() {
  ShowMessage("Selecting a row from the table", MessageKind::Information);
}

void CFlowRuleCoefForm::SelectFile() {
  ShowMessage("Selecting OLM model file", MessageKind::Information);
}

}  // namespace olm
