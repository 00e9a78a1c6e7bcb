#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "CliRunner.hpp"
#include "TestSupport.hpp"

namespace olm::test {
namespace {

// The strengths of a ply as options; s13 can be replaced.
std::string Ply(const std::string& s13 = "70") {
  return " --s1t 1500 --s1c 1200 --s2t 50 --s2c 200 --s3t 50 --s3c 200 --s12 70 --s23 40"
         " --s13 " +
         s13 + " --n 2 --s12-value 20 --s33-value 10";
}
const std::string kPly = Ply();

TEST(CompositesCliTest, FailureSurfaceWritesTestTxtInTheCurrentFolder) {
  CTempDir dir;
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  const CliResult r = RunCli("failure-surface" + kPly);
  std::filesystem::current_path(previous);
  EXPECT_EQ(r.status, 0) << r.output;
  const std::string text = ReadFile(dir.File("test.txt"));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 305);
  EXPECT_EQ(text.substr(0, 30), "            S11           S22+");
}

TEST(CompositesCliTest, FailureSurfaceOutputOptionAndErrors) {
  CTempDir dir;
  CliResult r = RunCli("failure-surface" + kPly + " -o " + dir.File("env.txt"));
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(Has(r, "Failure surface written to " + dir.File("env.txt"))) << r.output;
  EXPECT_TRUE(std::filesystem::exists(dir.File("env.txt")));

  r = RunCli("failure-surface" + Ply("0") + " -o " + dir.File("bad.txt"));
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(Has(r, "The value of S13 must be a number greater than 0.")) << r.output;
  EXPECT_FALSE(std::filesystem::exists(dir.File("bad.txt")));

  // Options missing.
  EXPECT_EQ(RunCli("failure-surface --s1t 1500 -o " + dir.File("bad.txt")).status, 2);
  r = RunCli("failure-surface" + kPly + " -o " + dir.File("none/x.txt"));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r, "Unable to write the failure surface file")) << r.output;
}

TEST(CompositesCliTest, FlowRuleNeedsThreeFileNames) {
  for (const char* args : {"flowrule", "flowrule model.txt", "flowrule model.txt results.txt"})
    EXPECT_EQ(RunCli(args), (CliResult{2, "Command line needs input and 2 output file names.\n"}))
        << args;
}

TEST(CompositesCliTest, FlowRuleRunsTheSampleModel) {
  CTempDir dir;
  const std::string model = std::string(OLM_SAMPLES_DIR) + "/composites/flowrule_model.txt";
  const CliResult r =
      RunCli("flowrule '" + model + "' " + dir.File("results.txt") + " " + dir.File("card.k"));
  EXPECT_EQ(r.status, 0) << r.output;
  const std::string results = ReadFile(dir.File("results.txt"));
  EXPECT_TRUE(Has(results, "Calculated Flow Rule Coefficients\nG11: 0.1000")) << results;
  const std::string card = ReadFile(dir.File("card.k"));
  EXPECT_EQ(card.substr(0, 9), "*KEYWORD\n");
  EXPECT_EQ(card.substr(card.size() - 5), "*END\n");
}

TEST(CompositesCliTest, FlowRuleReportsModelProblems) {
  CTempDir dir;
  dir.Write("inner.txt", "*define_curve id 2\n0 1 1 2\n");
  dir.Write("outer.txt", "*include inner.txt\n");
  const std::string model = dir.Write("model.txt", "*include outer.txt\n*end\n");
  EXPECT_EQ(RunCli("flowrule " + model + " " + dir.File("r.txt") + " " + dir.File("c.k")),
            (CliResult{1, "*include command cannot be used inside an include file.\n"}));
  EXPECT_FALSE(std::filesystem::exists(dir.File("r.txt")));
}

}  // namespace
}  // namespace olm::test
