#pragma once
// CFlowRuleProgram: the flow-rule coefficients batch program.
//
// One input file (the model file) and two output files: the results file
// and the material card of curves.  Every problem is reported through
// ShowMessage with its fixed text; the program never prints.  Output files
// are written beside their targets and renamed into place only when the run
// succeeded, so a failed run leaves older files as they were.
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "composites/BoundedMinimiser.hpp"
#include "composites/FlowRuleModel.hpp"
#include "composites/FlowRuleSolver.hpp"

namespace olm {

class CFlowRuleProgram {
 public:
  CFlowRuleProgram();
  ~CFlowRuleProgram();
  CFlowRuleProgram(const CFlowRuleProgram&) = delete;
  CFlowRuleProgram& operator=(const CFlowRuleProgram&) = delete;

  // The search for the shear terms; null restores the built-in coordinate
  // search.  Not owned.
  void SetMinimiser(IBoundedMinimiser* minimiser);

  // Runs on {model file, results file, material card}; fewer names are
  // refused.  Returns 0 on success, 1 on any failure (already reported).
  int Run(const std::vector<std::string>& fileNames);

  const CFlowRuleModel& Model() const { return m_model; }
  // Curves read and messages reported by the last run.
  int CurvesRead() const { return m_curvesRead; }
  int MessagesReported() const { return m_messages; }
  const CFlowRuleResult& Result() const { return m_result; }

  // Start and end of a run for the results file.
  struct CRunTimes {
    std::time_t start = 0, end = 0;
    double elapsedSeconds = 0.0;
  };
  static std::string FormatResults(const CFlowRuleResult& result, const CRunTimes& times);
  // createdOn: the text after "$# Created on ".
  static std::string FormatCard(const CFlowRuleModel& model, const CFlowRuleResult& result,
                                const std::string& createdOn);
  // "Mon Jan  2 15:04:05 2006" style local time (results file).
  static std::string TimeText(std::time_t t);
  // "2006-01-02 15:04:05" local time (material card).
  static std::string CardTimeText(std::time_t t);

 private:
  int RunFiles(const std::string& input, const std::string& results, const std::string& card);

  CFlowRuleModel m_model;
  CFlowRuleResult m_result;
  std::unique_ptr<IBoundedMinimiser> m_ownMinimiser;
  IBoundedMinimiser* m_minimiser;
  int m_curvesRead = 0;
  int m_messages = 0;
};

}  // namespace olm
