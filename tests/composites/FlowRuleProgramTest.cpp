#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <regex>

#include "FlowRuleSamples.hpp"
#include "TestSupport.hpp"
#include "composites/FlowRuleCoefForm.hpp"
#include "composites/FlowRuleProgram.hpp"
#include "numerics/OutputFile.hpp"

namespace olm::test {
namespace {

// "Sun Dec  6 08:00:50 2026" (the day of the month may have one digit).
bool IsResultsTime(const std::string& text) {
  return std::regex_match(text, std::regex("[A-Z][a-z]{2} [A-Z][a-z]{2} [ 1-3][0-9] "
                                           "[0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}"));
}

// The sample model written into a folder: main file and included curves.
std::string WriteSample(const CTempDir& dir) {
  dir.Write("curves.txt", SampleCurvesText());
  return dir.Write("model.txt", SampleMainText("curves.txt"));
}

TEST(FlowRuleSampleTest, SampleFilesAreThoseOfTheSampleMaterial) {
  const std::string main = std::string(OLM_SAMPLES_DIR) + "/flowrule_model.txt";
  const std::string curves = std::string(OLM_SAMPLES_DIR) + "/flowrule_curves.txt";
  if (std::getenv("OLM_REGENERATE_SAMPLES")) {
    ASSERT_TRUE(WriteTextFile(main, SampleMainText("flowrule_curves.txt")));
    ASSERT_TRUE(WriteTextFile(curves, SampleCurvesText()));
  }
  EXPECT_EQ(ReadFile(main), SampleMainText("flowrule_curves.txt"));
  EXPECT_EQ(ReadFile(curves), SampleCurvesText());
}

TEST(FlowRuleSampleTest, SampleCurvesArePhysicallySensible) {
  const CFlowRuleModel m = SampleModel();
  for (int id = 1; id <= 12; ++id) {
    const CVector<double>& x = m.x[id - 1];
    const CVector<double>& y = m.y[id - 1];
    const double sign = id >= 4 && id <= 6 ? -1.0 : 1.0;  // compression is negative
    const int n = x.GetSize();
    // From initial yield, plastic strain and stress (hardening) grow within sane limits.
    EXPECT_EQ(x(1), 0.0);
    EXPECT_GT(sign * y(1), 10.0);
    for (int i = 2; i <= n; ++i)
      EXPECT_TRUE(sign * x(i) > sign * x(i - 1) && sign * y(i) > sign * y(i - 1)) << id << " " << i;
    EXPECT_TRUE(std::fabs(y(n)) < 400.0 && std::fabs(x(n)) < 0.11) << id;
  }
}

// A program with the sample model in a fresh folder.
class FlowRuleRun : public ::testing::Test {
 protected:
  int Run(const std::string& input, const std::string& results = "r.txt",
          const std::string& card = "c.k") {
    return program.Run({input, dir.File(results), dir.File(card)});
  }
  CRecordingUi ui;
  CTempDir dir;
  const std::string model = WriteSample(dir);
  CFlowRuleProgram program;
};

TEST_F(FlowRuleRun, MissingFileNamesAndFilesThatCannotBeOpened) {
  EXPECT_EQ(program.Run({}), 1);
  EXPECT_EQ(program.Run({"model.txt", "results.txt"}), 1);
  EXPECT_EQ(Run(dir.File("none.txt")), 1);
  EXPECT_EQ(Run(model, "no/r.txt"), 1);
  EXPECT_EQ(Run(model, "r.txt", "no/c.k"), 1);
  EXPECT_EQ(
      ui.Texts(MessageKind::Error),
      (std::vector<std::string>{
          "Command line needs input and 2 output file names.\n",
          "Command line needs input and 2 output file names.\n", "Unable to open input file.\n",
          "Cannot write " + dir.File("no/r.txt") + ": No such file or directory.\n",
          "Unable to open 1st output file.\n",
          "Cannot write " + dir.File("no/c.k") + ": No such file or directory.\n",
          "Unable to open 2nd output file (curve data).\n"}));
  EXPECT_FALSE(std::filesystem::exists(dir.File("r.txt")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("r.txt.olmtmp")));
}

TEST_F(FlowRuleRun, FailedRunLeavesOlderOutputsAlone) {
  std::string curves;
  for (int id = 1; id <= 11; ++id) curves += Format("*define_curve id %d\n0 10 0.01 12\n", id);
  dir.Write("r.txt", "old results");
  dir.Write("c.k", "old card");
  EXPECT_EQ(Run(dir.Write("eleven.txt", curves + "*end\n")), 1);
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Could not find and read 12 curve data.\n"}));
  EXPECT_EQ(std::pair(program.CurvesRead(), program.MessagesReported()), std::pair(11, 1));
  EXPECT_EQ(std::pair(ReadFile(dir.File("r.txt")), ReadFile(dir.File("c.k"))),
            std::pair(std::string("old results"), std::string("old card")));
  // No temporary file is left beside the two models and the two outputs.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            5);
}

TEST_F(FlowRuleRun, ValueChecksAreReportedByTheProgram) {
  EXPECT_EQ(Run(dir.Write("bad.txt",
                          "*include curves.txt\n*plastic\ng 11 -1\n*off axis\ng 55 -1 2\n*end\n")),
            1);
  EXPECT_EQ(ui.Texts(MessageKind::Error),
            (std::vector<std::string>{
                "The value of G11 must be >= 0.\n", "The value of G22 must be >= 0.\n",
                "The value of G33 must be >= 0.\n", "The bounds of G55 must be >= 0.\n"}));
  EXPECT_FALSE(std::filesystem::exists(dir.File("r.txt")));
  EXPECT_EQ(std::pair(program.CurvesRead(), program.MessagesReported()), std::pair(12, 4));
}

// The layout of both files is fixed by ResultsLayout and CardColumns below;
// this run checks what the program puts into them.
TEST_F(FlowRuleRun, SampleRunRecoversTheCoefficientsAndWritesBothFiles) {
  ASSERT_EQ(Run(model, "results.txt", "card.k"), 0);
  EXPECT_TRUE(ui.messages.empty());
  const auto truth = SampleMaterial().Coefficients();

  const std::vector<std::string> r = SplitLines(ReadFile(dir.File("results.txt")));
  ASSERT_EQ(r.size(), 66u + 30u);  // the slave shear curve has 30 points
  EXPECT_TRUE(IsResultsTime(r[5].substr(18))) << r[5];
  EXPECT_EQ(r[11].substr(0, 50), "Normalized objective function for off-axis terms: ");
  EXPECT_LT(std::strtod(r[11].substr(50).c_str(), nullptr), 1e-5);
  for (int k = 0; k < 9; ++k) {
    const std::string& line = r[15 + k];
    ASSERT_EQ(line.substr(0, 5), std::string(FlowRuleCoefficientName(k)) + ": ");
    EXPECT_NEAR(std::strtod(line.substr(5).c_str(), nullptr), truth[k], 2e-4 * std::fabs(truth[k]));
  }
  // Master curve 2 with G22 = 1: its 31 points are the effective curve.
  const CFlowRuleMaterial m = SampleMaterial();
  for (int j = 0; j < 31; ++j) {
    double stress = 0, strain = 0;
    ASSERT_EQ(std::sscanf(r[31 + j].c_str(), "%lf %lf", &stress, &strain), 2);
    EXPECT_NEAR(stress, m.EffectiveStress(strain), 1e-4 * stress);
  }

  // 12 input and 3 computed curve blocks, with the date of the run.
  const std::vector<std::string> c = SplitLines(ReadFile(dir.File("card.k")));
  EXPECT_TRUE(std::regex_match(
      c[1], std::regex(R"(\$# Created on [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2})")))
      << c[1];
  EXPECT_EQ(std::count(c.begin(), c.end(), "*DEFINE_CURVE"), 15);
  EXPECT_EQ(std::count(c.begin(), c.end(), "$# XY-G44 Computed Curve"), 1);
  EXPECT_EQ(c.back(), "*END");
}

TEST(FlowRuleProgramTest, CardColumns) {
  CFlowRuleModel model;
  model.x[0].SetSize(2);
  model.y[0].SetSize(2);
  model.x[0](1) = 0, model.x[0](2) = 0.0125;
  model.y[0](1) = 40, model.y[0](2) = -55.5;
  model.defined[0] = true;
  CFlowRuleResult result;
  result.computed[0].id = 13;
  result.computed[0].name = "XY-G44 Computed Curve";
  result.computed[0].x = {0.25};
  result.computed[0].y = {1e-5};
  const std::string expected =
      "*KEYWORD\n"
      "$# Created on 2024-05-06 07:08:09\n"
      "$# Experimental Input Curves\n"
      "*DEFINE_CURVE\n"
      "$#    lcid      sidr       sfa       sfo      offa      offo    dattyp\n"
      "         1         0     0.000     0.000     0.000     0.000         0\n"
      "$#                a1                  o1\n"
      "                   0                  40\n"
      "              0.0125               -55.5\n"
      "$# XY-G44 Computed Curve\n"
      "*DEFINE_CURVE\n"
      "$#    lcid      sidr       sfa       sfo      offa      offo    dattyp\n"
      "        13         0     0.000     0.000     0.000     0.000         0\n"
      "$#                a1                  o1\n"
      "                0.25               1e-05\n"
      "*END\n";
  EXPECT_EQ(CFlowRuleProgram::FormatCard(model, result, "2024-05-06 07:08:09"), expected);
}

TEST(FlowRuleProgramTest, ResultsLayout) {
  CFlowRuleResult result;
  result.g = {1, 2, 3, -0.5, -1, -1.5, 4, 5, 6.25};
  result.objective = 0.5;
  result.normalized = 0.25;
  result.uniaxialStress = {40, 50.5};
  result.uniaxialStrain = {0, 0.001};
  result.shearStress = {40};
  result.shearStrain = {0};
  CFlowRuleProgram::CRunTimes times;
  times.start = 1000000000;
  times.end = 1000000002;
  times.elapsedSeconds = 2.0004;
  const std::string expected =
      "\t\t--------------------------------------------\n"
      "\t\t       Flow Rule Coefficients Program       \n"
      "\t\t                Version 0.1                 \n"
      "\t\t--------------------------------------------\n"
      "\nStarting out at : " +
      CFlowRuleProgram::TimeText(times.start) +
      "\n      Ending at : " + CFlowRuleProgram::TimeText(times.end) +
      "\n---------------------\n"
      "Elapsed wall clock time: 2.000 seconds\n"
      "\n"
      "           Objective function for off-axis terms: 0.5\n"
      "Normalized objective function for off-axis terms: 0.25\n"
      "\n---------------------------------\n"
      "Calculated Flow Rule Coefficients\n"
      "G11: 1\nG22: 2\nG33: 3\nG12: -0.5\nG23: -1\nG13: -1.5\nG44: 4\nG55: 5\nG66: 6.25\n"
      "\nSTRESS VS PLASTIC STRAIN CURVES\n"
      "-------------------------------\n"
      "\n"
      "Uniaxial Eff               \n"
      "   Stress      Plas. Strain\n"
      "------------   ------------\n"
      "          40              0\n"
      "        50.5          0.001\n"
      "\n"
      "  Shear Eff                \n"
      "   Stress      Plas. Strain\n"
      "------------   ------------\n"
      "          40              0\n";
  EXPECT_EQ(CFlowRuleProgram::FormatResults(result, times), expected);
  EXPECT_TRUE(IsResultsTime(CFlowRuleProgram::TimeText(times.start)));
}

// A minimiser that stops without converging or throws from inside the computation.
struct CScriptedSearch : IBoundedMinimiser {
  explicit CScriptedSearch(std::function<void()> f) : act(std::move(f)) {}
  CMinimiserResult Minimise(const CBoundedProblem& p) override {
    act();
    CMinimiserResult r;  // not converged
    r.x = p.lower;
    return r;
  }
  std::function<void()> act;
};

TEST_F(FlowRuleRun, MinimiserCanBeExchangedAndItsFailuresAreReported) {
  struct COddFailure {};
  CScriptedSearch failing([] {}), noMemory([] { throw std::bad_alloc(); }),
      other([] { throw COddFailure(); });
  dir.Write("r.txt", "old");
  for (IBoundedMinimiser* m :
       std::initializer_list<IBoundedMinimiser*>{&failing, &noMemory, &other}) {
    program.SetMinimiser(m);
    EXPECT_EQ(Run(model), 1);
  }
  EXPECT_EQ(ui.Texts(MessageKind::Error),
            (std::vector<std::string>{"Unable to converge\n", "Memory allocation failure.\n",
                                      "Unknown error.\n"}));
  EXPECT_EQ(ReadFile(dir.File("r.txt")), "old");
  EXPECT_FALSE(std::filesystem::exists(dir.File("c.k")));
  program.SetMinimiser(nullptr);
  ui.Clear();
  EXPECT_EQ(Run(model), 0);
  EXPECT_TRUE(ui.messages.empty()) << ui.Last();
}

TEST(FlowRuleCoefFormTest, DialogMessages) {
  CRecordingUi ui;
  CFlowRuleCoefForm form;
  EXPECT_EQ(form.Compute(), 0);  // empty fields: the message and nothing else
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Ready to compute ..."}));
  EXPECT_FALSE(form.Update(false));
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(form.Update(true));
  form.ListClicked();
  form.SelectFile();
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{
                            "Ready to compute ...", "Updating list of MAT213 12 curves",
                            "Selecting a row from the table", "Selecting OLM model file"}));
}

TEST_F(FlowRuleRun, CoefFormRunsTheProgramWhenAllFilesAreNamed) {
  CFlowRuleCoefForm form;
  form.modelFile = model;
  form.resultsFile = dir.File("r.txt");
  form.cardFile = dir.File("c.k");
  EXPECT_EQ(form.Compute(), 0);
  EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Ready to compute ..."}));
  EXPECT_TRUE(std::filesystem::exists(form.resultsFile));
  EXPECT_TRUE(std::filesystem::exists(form.cardFile));
}

}  // namespace
}  // namespace olm::test
