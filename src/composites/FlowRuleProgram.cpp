#include "composites/FlowRuleProgram.hpp"

#include "composites/EvolutionarySearch.hpp"

#include <chrono>
#include <exception>
#include <fstream>
#include <new>

#include "numerics/OutputFile.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

namespace {

void Report(const std::string& text) {
  ShowMessage(text, MessageKind::Error);
}

std::string TimeWith(std::time_t t, const char* format) {
  std::tm parts{};
  localtime_r(&t, &parts);
  char buffer[64];
  const size_t n = std::strftime(buffer, sizeof buffer, format, &parts);
  return std::string(buffer, n);
}

void AppendEffectiveTable(std::string& out, const char* heading, const std::vector<double>& stress,
                          const std::vector<double>& strain) {
  const std::string blank(12, ' '), rule(12, '-');
  out += std::string(heading) + "   " + blank + "\n";
  out += "   Stress      Plas. Strain\n";
  out += rule + "   " + rule + "\n";
  for (size_t j = 0; j < stress.size() && j < strain.size(); ++j)
    out += Format("%12.6g   %12.6g\n", stress[j], strain[j]);
}

void AppendCurveBlock(std::string& out, int id, const double* x, const double* y, int n) {
  out += "*DEFINE_CURVE\n";
  out += "$#    lcid      sidr       sfa       sfo      offa      offo    dattyp\n";
  out += Format("%10d", id) + "         0     0.000     0.000     0.000     0.000         0\n";
  out += "$#                a1                  o1\n";
  for (int i = 0; i < n; ++i) out += Format("%20.10g%20.10g\n", x[i], y[i]);
}

}  // namespace

CFlowRuleProgram::CFlowRuleProgram()
    : m_ownMinimiser(std::make_unique<CEvolutionarySearch>()), m_minimiser(m_ownMinimiser.get()) {}

CFlowRuleProgram::~CFlowRuleProgram() = default;

void CFlowRuleProgram::SetMinimiser(IBoundedMinimiser* minimiser) {
  m_minimiser = minimiser ? minimiser : m_ownMinimiser.get();
}

int CFlowRuleProgram::Run(const std::vector<std::string>& fileNames) {
  m_messages = 0;
  m_curvesRead = 0;
  if (fileNames.size() < 3) {
    Report("Command line needs input and 2 output file names.\n");
    ++m_messages;
    return 1;
  }
  try {
    return RunFiles(fileNames[0], fileNames[1], fileNames[2]);
  } catch (const std::bad_alloc&) {
    Report("Memory allocation failure.\n");
  } catch (...) {
    Report("Unknown error.\n");
  }
  ++m_messages;
  return 1;
}

int CFlowRuleProgram::RunFiles(const std::string& input, const std::string& results,
                               const std::string& card) {
  const auto wallStart = std::chrono::steady_clock::now();
  CRunTimes times;
  times.start = std::time(nullptr);
  auto fail = [this](const std::string& text) {
    Report(text);
    ++m_messages;
    return 1;
  };

  // A FIFO or device is not opened at all (a FIFO would block).
  if (!InputFileProblem(input, kMaxTextInputBytes).empty() ||
      !std::ifstream(input, std::ios::binary))
    return fail("Unable to open input file.\n");
  COutputFile resultsFile, cardFile;
  const auto refused = [&](const COutputFile& file, const char* text) {
    if (!file.Error().empty()) Report(file.Error() + "\n");
    return fail(text);
  };
  if (!resultsFile.Open(results, {input, card}))
    return refused(resultsFile, "Unable to open 1st output file.\n");
  if (!cardFile.Open(card, {input, results}))
    return refused(cardFile, "Unable to open 2nd output file (curve data).\n");

  m_result = CFlowRuleResult();
  const std::string problem = ReadFlowRuleModel(input, m_model);
  m_curvesRead = m_model.DefinedCount();
  if (!problem.empty()) return fail(problem);
  // An output named like an included file would destroy it.
  for (const std::string& included : m_model.includedFiles) {
    resultsFile.AddInput(included);
    cardFile.AddInput(included);
  }
  for (COutputFile* file : {&resultsFile, &cardFile}) {
    for (const std::string& included : m_model.includedFiles) {
      const std::string why =
          OutputTargetProblem(file == &resultsFile ? results : card, {included});
      if (!why.empty()) {
        Report(why + "\n");
        return fail(file == &resultsFile ? "Unable to open 1st output file.\n"
                                         : "Unable to open 2nd output file (curve data).\n");
      }
    }
  }

  std::vector<std::string> messages;
  CFlowRuleSolver solver(*m_minimiser);
  const bool solved = solver.Solve(m_model, m_result, messages);
  for (const std::string& m : messages) Report(m);
  m_messages += static_cast<int>(messages.size());
  if (!solved) return 1;

  times.end = std::time(nullptr);
  times.elapsedSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  resultsFile.Write(FormatResults(m_result, times));
  cardFile.Write(FormatCard(m_model, m_result, CardTimeText(times.end)));
  if (!resultsFile.Commit()) return refused(resultsFile, "Unable to write 1st output file.\n");
  if (!cardFile.Commit())
    return refused(cardFile, "Unable to write 2nd output file (curve data).\n");
  return 0;
}

std::string CFlowRuleProgram::TimeText(std::time_t t) {
  return TimeWith(t, "%a %b %e %H:%M:%S %Y");
}

std::string CFlowRuleProgram::CardTimeText(std::time_t t) {
  return TimeWith(t, "%Y-%m-%d %H:%M:%S");
}

std::string CFlowRuleProgram::FormatResults(const CFlowRuleResult& result, const CRunTimes& times) {
  std::string out;
  out += "\t\t--------------------------------------------\n";
  out += "\t\t       Flow Rule Coefficients Program       \n";
  out += "\t\t                Version 0.1                 \n";
  out += "\t\t--------------------------------------------\n";
  out += "\nStarting out at : " + TimeText(times.start);
  out += "\n      Ending at : " + TimeText(times.end);
  out += "\n" + std::string(21, '-') + "\n";
  out += "Elapsed wall clock time: " + Format("%.3f", times.elapsedSeconds) + " seconds\n";
  out += "\n           Objective function for off-axis terms: " + Format("%.8g", result.objective) +
         "\n";
  out += "Normalized objective function for off-axis terms: " + Format("%.8g", result.normalized) +
         "\n";
  out += "\n" + std::string(33, '-') + "\n";
  out += "Calculated Flow Rule Coefficients\n";
  for (int k = 0; k < kFlowRuleCoefficientCount; ++k)
    out += std::string(FlowRuleCoefficientName(k)) + ": " + Format("%.8g", result.g[k]) + "\n";
  out += "\nSTRESS VS PLASTIC STRAIN CURVES\n" + std::string(31, '-') + "\n\n";
  AppendEffectiveTable(out, "Uniaxial Eff", result.uniaxialStress, result.uniaxialStrain);
  out += "\n";
  AppendEffectiveTable(out, "  Shear Eff ", result.shearStress, result.shearStrain);
  return out;
}

std::string CFlowRuleProgram::FormatCard(const CFlowRuleModel& model, const CFlowRuleResult& result,
                                         const std::string& createdOn) {
  std::string out = "*KEYWORD\n";
  out += "$# Created on " + createdOn + "\n";
  out += "$# Experimental Input Curves\n";
  for (int id = 1; id <= kFlowRuleCurveCount; ++id) {
    if (!model.defined[id - 1]) continue;
    const CVector<double>& x = model.x[id - 1];
    const CVector<double>& y = model.y[id - 1];
    AppendCurveBlock(out, id, x.Data(), y.Data(), std::min(x.GetSize(), y.GetSize()));
  }
  for (const CComputedCurve& c : result.computed) {
    if (c.id == 0) continue;
    out += "$# " + c.name + "\n";
    AppendCurveBlock(out, c.id, c.x.data(), c.y.data(),
                     static_cast<int>(std::min(c.x.size(), c.y.size())));
  }
  out += "*END\n";
  return out;
}

}  // namespace olm
