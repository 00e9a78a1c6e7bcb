// olm report, the report options of olm reduce, and olm bestfit.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "CliRunner.hpp"
#include "TestSupport.hpp"

namespace olm::test {
namespace {

// A processed two-replicate project in dir/p.olm: y = 2x and y = 2x + 1.
class ReportCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    a = dir.Write("a.csv", "x,y\nmm,N\n0,0\n1,2\n2,4\n3,6\n4,8\n");
    const auto b = dir.Write("b.csv", "x,y\nmm,N\n0,1\n1,3\n2,5\n3,7\n5,11\n");
    const CliResult r = RunCli("reduce " + Quoted(a) + " " + Quoted(b) +
                               " --zone 0:5,fit=linear -o " + Quoted(project));
    ASSERT_EQ(r.status, 0) << r.output;
  }
  CTempDir dir;
  std::string a;
  const std::string project = dir.File("p.olm");
};

TEST_F(ReportCliTest, WritesNextToTheProjectAndStoresTheFlags) {
  dir.Write("p.out", "an old report\n");
  CliResult r = RunCli("report " + Quoted(project) + " --flags 2,4,5");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(Has(r.output, "wrote " + dir.File("p.out")));
  const std::string text = ReadFile(dir.File("p.out"));
  for (const char* part :
       {" REPLICATE: 2", "Raw X", "Fitted Y", "FITTING DATA USING POLYNOMIAL OF ORDER 1",
        "Best fit equation: 0 + 2x", "STATISTICAL ANALYSIS over all REPLICATES"})
    EXPECT_TRUE(Has(text, part)) << part;
  EXPECT_FALSE(Has(text, "an old report"));
  EXPECT_FALSE(Has(text, "Smooth X"));
  // The stored selection is used when no flags are given.
  r = RunCli("report " + Quoted(project) + " -o " + Quoted(dir.File("again.txt")));
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(Has(ReadFile(dir.File("again.txt")), "Raw X"));
  EXPECT_EQ(RunCli("report " + Quoted(project) + " --flags 7").status, 2);
  EXPECT_EQ(RunCli("report " + Quoted(project) + " --flags 2,,3").status, 2);
  EXPECT_EQ(RunCli("report " + Quoted(dir.File("missing.olm"))).status, 1);
}

TEST_F(ReportCliTest, ReduceWritesTheReportWithItsProject) {
  const std::string reduce = "reduce " + Quoted(a) + " --zone 0:2,fit=linear ";
  CliResult r = RunCli(reduce + "--report-next");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.output, "Save the project first.")) << r.output;
  r = RunCli(reduce + "-o " + Quoted(dir.File("q.olm")) + " --report-next --flags 3");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(Has(ReadFile(dir.File("q.out")), "Smooth Y"));
  // The flags were saved with the project: a report without --flags uses them.
  r = RunCli("report " + Quoted(dir.File("q.olm")) + " -o " + Quoted(dir.File("s.txt")));
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(Has(ReadFile(dir.File("s.txt")), "Smooth Y"));
  r = RunCli(reduce + "--report " + Quoted(dir.File("r.txt")));
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(Has(ReadFile(dir.File("r.txt")), " REPLICATE: 1"));
}

TEST_F(ReportCliTest, BestFitAddsTheMeanCurveAndChecksTheDialogRules) {
  const std::string bestfit = "bestfit " + Quoted(project) + " ";
  CliResult r = RunCli(bestfit + "--name '' --points 20");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.output, "Data set name cannot be blank"));
  EXPECT_EQ(RunCli(bestfit + "--points 9").status, 1);
  EXPECT_EQ(RunCli(bestfit + "--name averagecurve2").status, 1);
  EXPECT_EQ(RunCli(bestfit + "--end sideways").status, 2);
  r = RunCli(bestfit + "--name mean --points 11 --end cut");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(Has(r.output, "Best fit procedure was successful"));
  r = RunCli("show " + Quoted(project) + " --json --data", false);
  ASSERT_EQ(r.status, 0) << r.output;
  const auto j = nlohmann::json::parse(r.output);
  ASSERT_EQ(j["replicates"].size(), 3u);
  const auto& mean = j["replicates"][2];
  // Raw, smoothed and fitted curves of both replicates: 6 curves, grid and mean.
  ExpectSubset(mean, R"({"title": "mean", "columns": 8, "points": 11})"_json);
  // "Cut" ends at the shorter reach 4: grid step 0.4.  At x = 2 (row 6) every
  // curve of a is 4 and of b is 5: the mean is 4.5.
  EXPECT_NEAR(mean["raw"][5][0].get<double>(), 2.0, 1e-12);
  EXPECT_NEAR(mean["raw"][5][7].get<double>(), 4.5, 1e-12);
}

}  // namespace
}  // namespace olm::test
