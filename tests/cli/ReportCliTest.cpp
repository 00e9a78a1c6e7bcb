#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "CliRunner.hpp"
#include "TestSupport.hpp"

namespace olm::test {
namespace {

// A processed two-replicate project in dir/p.olm.
std::string MakeProject(const CTempDir& dir) {
  const auto a = dir.Write("a.csv", "x,y\nmm,N\n0,0\n1,2\n2,4\n3,6\n4,8\n");
  const auto b = dir.Write("b.csv", "x,y\nmm,N\n0,1\n1,3\n2,5\n3,7\n5,11\n");
  const std::string project = dir.File("p.olm");
  const CliResult r = RunCli("reduce '" + a + "' '" + b + "' --zone 0:5,fit=linear -o '" +
                             project + "'");
  EXPECT_EQ(r.status, 0) << r.output;
  return project;
}

TEST(ReportCliTest, WritesNextToTheProjectAndStoresTheFlags) {
  CTempDir dir;
  const std::string project = MakeProject(dir);
  dir.Write("p.out", "an old report\n");
  CliResult r = RunCli("report '" + project + "' --flags 2,4,5");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("wrote " + dir.File("p.out")), std::string::npos);
  const std::string text = ReadFile(dir.File("p.out"));
  EXPECT_EQ(text.find("an old report"), std::string::npos);
  EXPECT_NE(text.find(" REPLICATE: 2"), std::string::npos);
  EXPECT_NE(text.find("Raw X"), std::string::npos);
  EXPECT_EQ(text.find("Smooth X"), std::string::npos);
  EXPECT_NE(text.find("Fitted Y"), std::string::npos);
  EXPECT_NE(text.find("FITTING DATA USING POLYNOMIAL OF ORDER 1"), std::string::npos);
  EXPECT_NE(text.find("Best fit equation: 0 + 2x"), std::string::npos) << text;
  EXPECT_NE(text.find("STATISTICAL ANALYSIS over all REPLICATES"), std::string::npos);
  // The stored selection is used when no flags are given.
  r = RunCli("report '" + project + "' -o '" + dir.File("again.txt") + "'");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(ReadFile(dir.File("again.txt")).find("Raw X"), std::string::npos);
}

TEST(ReportCliTest, RefusesUnprocessedProjectsAndBadFlags) {
  CTempDir dir;
  const std::string project = MakeProject(dir);
  EXPECT_EQ(RunCli("report '" + project + "' --flags 7").status, 2);
  EXPECT_EQ(RunCli("report '" + project + "' --flags 2,,3").status, 2);
  EXPECT_EQ(RunCli("report '" + dir.File("missing.olm") + "'").status, 1);
}

TEST(ReportCliTest, ReduceWritesTheReportWithItsProject) {
  CTempDir dir;
  const auto a = dir.Write("a.csv", "x,y\nmm,N\n0,0\n1,2\n2,4\n");
  CliResult r = RunCli("reduce '" + a + "' --zone 0:2,fit=linear --report-next");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("Save the project first."), std::string::npos) << r.output;
  r = RunCli("reduce '" + a + "' --zone 0:2,fit=linear -o '" + dir.File("q.olm") +
             "' --report-next --flags 3");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(ReadFile(dir.File("q.out")).find("Smooth Y"), std::string::npos);
  r = RunCli("reduce '" + a + "' --zone 0:2,fit=linear --report '" + dir.File("r.txt") + "'");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(ReadFile(dir.File("r.txt")).find(" REPLICATE: 1"), std::string::npos);
}

TEST(BestFitCliTest, AddsTheMeanCurveAndSaves) {
  CTempDir dir;
  const std::string project = MakeProject(dir);
  CliResult r = RunCli("bestfit '" + project + "' --name mean --points 11 --end cut");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("Best fit procedure was successful"), std::string::npos);
  r = RunCli("show '" + project + "' --json --data", false);
  ASSERT_EQ(r.status, 0) << r.output;
  const auto j = nlohmann::json::parse(r.output);
  ASSERT_EQ(j["replicates"].size(), 3u);
  const auto& mean = j["replicates"][2];
  EXPECT_EQ(mean["title"], "mean");
  // Raw, smoothed and fitted curves of both replicates: 6 curves, grid and mean.
  EXPECT_EQ(mean["columns"], 8);
  EXPECT_EQ(mean["points"], 11);
  // "Cut" ends at the shorter reach 4: grid step 0.4.  At x = 2 (row 6) every
  // curve of a is 4 and of b is 5: the mean is 4.5.
  EXPECT_NEAR(mean["raw"][5][0].get<double>(), 2.0, 1e-12);
  EXPECT_NEAR(mean["raw"][5][7].get<double>(), 4.5, 1e-12);
}

TEST(BestFitCliTest, DialogRulesAreChecked) {
  CTempDir dir;
  const std::string project = MakeProject(dir);
  CliResult r = RunCli("bestfit '" + project + "' --name '' --points 20");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("Data set name cannot be blank"), std::string::npos);
  EXPECT_EQ(RunCli("bestfit '" + project + "' --points 9").status, 1);
  EXPECT_EQ(RunCli("bestfit '" + project + "' --name averagecurve2").status, 1);
  EXPECT_EQ(RunCli("bestfit '" + project + "' --end sideways").status, 2);
}

}  // namespace
}  // namespace olm::test
