#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "CliRunner.hpp"
#include "TestSupport.hpp"

namespace olm::test {
namespace {

using nlohmann::json;

std::string Sample(const std::string& name) { return SourcePath("samples/" + name); }

// A small x, y file: y = 2x at x = 0, 0.5, ..., 2.
std::string LineFile(const CTempDir& dir) {
  return dir.Write("line.csv", "x,y\nmm,N\n0,0\n0.5,1\n1,2\n1.5,3\n2,4\n");
}

TEST(ReduceCliTest, JsonDescribesTheDatabase) {
  CTempDir dir;
  const CliResult r = RunCli("reduce '" + LineFile(dir) +
                                 "' --zone 0:1 --zone 1:2 --json --data --id first",
                             false);
  ASSERT_EQ(r.status, 0) << r.output;
  const json j = json::parse(r.output);
  EXPECT_EQ(j["state"], "locked");
  EXPECT_EQ(j["version"], 0.913);
  ASSERT_EQ(j["replicates"].size(), 1u);
  const json& rep = j["replicates"][0];
  EXPECT_EQ(rep["title"], "first");
  EXPECT_EQ(rep["points"], 5);
  EXPECT_EQ(rep["headings"], json::array({"x", "y"}));
  EXPECT_EQ(rep["units"], json::array({"mm", "N"}));
  // The border point x = 1 is in both zones' smoothed rows.
  EXPECT_EQ(rep["smoothed_count"], 6);
  ASSERT_EQ(rep["smoothed"].size(), 6u);
  EXPECT_EQ(rep["smoothed"][2][0], 1.0);
  EXPECT_EQ(rep["smoothed"][3][0], 1.0);
  ASSERT_EQ(rep["zones"].size(), 2u);
  EXPECT_EQ(rep["zones"][0]["start"], 0.0);
  EXPECT_EQ(rep["zones"][1]["end"], 2.0);
  EXPECT_EQ(rep["zones"][0]["smoothed_area"], 1.0);  // under y = 2x on [0, 1]
  EXPECT_EQ(rep["zones"][1]["smoothed_area"], 3.0);
  EXPECT_EQ(rep["smoothed_area_total"], 4.0);
  EXPECT_EQ(rep["zones"][0]["smoothing"]["method"], "none");
  EXPECT_EQ(rep["zones"][0]["fit"]["type"], "none");
  EXPECT_EQ(j["extents"]["raw"]["max"], json::array({2.0, 4.0}));
}

TEST(ReduceCliTest, DoublesReadBackExactly) {
  CTempDir dir;
  const auto path = dir.Write("p.csv", "x,y\n-,-\n0.1,0.30000000000000004\n0.7,1e-300\n");
  const CliResult r = RunCli("reduce '" + path + "' --json --data", false);
  ASSERT_EQ(r.status, 0);
  const json j = json::parse(r.output);
  EXPECT_EQ(j["replicates"][0]["raw"][0][1].get<double>(), 0.30000000000000004);
  EXPECT_EQ(j["replicates"][0]["raw"][1][1].get<double>(), 1e-300);
}

TEST(ReduceCliTest, ZoneGapIsReportedByValidationWithStatus1) {
  CTempDir dir;
  const CliResult r = RunCli("reduce '" + LineFile(dir) +
                             "' --zone 0:1,smooth=median,points=3 --zone 1.1:2,smooth=median,points=3");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("Gap between zones."), std::string::npos) << r.output;
}

TEST(ReduceCliTest, ZoneChecksOfTheDialogApply) {
  CTempDir dir;
  CliResult r = RunCli("reduce '" + LineFile(dir) + "' --zone 2:1,fit=linear");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("End X should be greater than Start X"), std::string::npos);
  r = RunCli("reduce '" + LineFile(dir) + "' --zone 0:2,smooth=sma,points=4");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("Number of Points should be odd and between 3 and 25"),
            std::string::npos);
}

TEST(ReduceCliTest, MalformedOptionsAreUsageErrors) {
  CTempDir dir;
  const std::string file = "'" + LineFile(dir) + "'";
  for (const std::string& args : std::vector<std::string>{"reduce " + file + " --zone 0-1", "reduce " + file + " --zone 0:1,fit=cubicle",
        "reduce " + file + " --zone 0:1,order=4", "reduce " + file + " --zone 0:x",
        "reduce " + file + " --delimiters blank,wavy", std::string("reduce /nonexistent/file.csv"),
        "reduce " + file + " --zone 0:1 --zone 1:2 --zone 2:3 --zone 3:4 --zone 4:5 --zone 5:6",
        std::string("reduce")}) {
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.status, 2) << args << "\n" << r.output;
  }
}

TEST(ReduceCliTest, EngineFailuresAreStatus1WithTheEngineMessage) {
  CTempDir dir;
  const auto bad = dir.Write("bad.csv", "x,y\n-,-\n1,2\n3,oops\n");
  CliResult r = RunCli("reduce '" + bad + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("Invalid input. on line number 4."), std::string::npos) << r.output;
  r = RunCli("reduce '" + LineFile(dir) + "' --zone 5:6");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("Zone contains no data points"), std::string::npos);
}

TEST(ReduceCliTest, ReadsTheSampleFilesInTheirLayouts) {
  const CliResult r = RunCli("reduce '" + Sample("tensile_2.dat") +
                                 "' --columns 3 --x 2 --y 3 --delimiters blank --json",
                             false);
  ASSERT_EQ(r.status, 0) << r.output;
  const json j = json::parse(r.output);
  EXPECT_EQ(j["replicates"][0]["points"], 1200);
  EXPECT_EQ(j["replicates"][0]["title"], "tensile_2");
  EXPECT_EQ(j["replicates"][0]["headings"][1], "strain");
  // One zone over the whole x range, not processed further.
  EXPECT_EQ(j["replicates"][0]["smoothed_count"], 1200);
  EXPECT_EQ(j["replicates"][0]["zones"][0]["end"], 0.19);
}

TEST(ReduceCliTest, SummaryNamesZonesAndAreas) {
  CTempDir dir;
  const CliResult r = RunCli("reduce '" + LineFile(dir) + "' --zone 0:2", false);
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.output.find("Replicate 1: line"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("smoothed area total 4"), std::string::npos) << r.output;
}

TEST(DemoCliTest, WritesItsOutputsIntoTheFolder) {
  CTempDir dir;
  const CliResult r = RunCli("demo '" + dir.Path() + "/out'");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("wrote " + dir.Path() + "/out/summary.txt"), std::string::npos);
  const json j = json::parse(ReadFile(dir.Path() + "/out/reduction.json"));
  EXPECT_EQ(j["replicates"].size(), 3u);
  EXPECT_EQ(j["state"], "locked");
  const std::string report = ReadFile(dir.Path() + "/out/tensile.out");
  EXPECT_NE(report.find("FITTING DATA USING POWER LAW CURVE, y = a*x^b"), std::string::npos);
  EXPECT_NE(report.find("STATISTICAL ANALYSIS over all REPLICATES"), std::string::npos);
  const CliResult best = RunCli("show '" + dir.Path() + "/out/tensile-bestfit.olm' --json", false);
  ASSERT_EQ(best.status, 0);
  EXPECT_EQ(json::parse(best.output)["replicates"][3]["title"], "mean curve");
}

}  // namespace
}  // namespace olm::test

namespace olm::test {
namespace {

TEST(ReduceCliTest, ZonesMeetingWithinOneMillionthPass) {
  CTempDir dir;
  const auto path = dir.Write("line.csv", "x,y\nmm,N\n0,0\n0.5,1\n1,2\n1.5,3\n2,4\n");
  const CliResult r = RunCli("reduce '" + path +
                                 "' --zone 0:1,fit=linear --zone 1.0000005:2,fit=linear --json",
                             false);
  ASSERT_EQ(r.status, 0) << r.output;
  const auto j = nlohmann::json::parse(r.output);
  const auto& zones = j["replicates"][0]["zones"];
  EXPECT_NEAR(zones[0]["coefficients"][1].get<double>(), 2.0, 1e-12);
  EXPECT_NEAR(zones[1]["coefficients"][0].get<double>(), 0.0, 1e-9);
  EXPECT_EQ(zones[1]["r_squared"], 1.0);
  // x = 1 lies only in zone 1: areas 1 on [0, 1] and 1.75 on [1.5, 2].
  EXPECT_NEAR(j["replicates"][0]["fitted_area_total"].get<double>(), 1.0 + 1.75, 1e-9);
}

TEST(ReduceCliTest, OutlierRemovalIsKeptBesideARobustSmoother) {
  CTempDir dir;
  std::string text = "x,y\n-,-\n";
  for (int i = 0; i <= 40; ++i)
    text += std::to_string(i) + "," + std::to_string(i == 20 ? 500 : i) + "\n";
  const CliResult r = RunCli("reduce '" + dir.Write("spike.csv", text) +
                                 "' --zone 0:40,smooth=robust-lowess,points=5,outliers=chauvenet "
                                 "--json",
                             false);
  ASSERT_EQ(r.status, 0) << r.output;
  const auto j = nlohmann::json::parse(r.output);
  EXPECT_EQ(j["replicates"][0]["zones"][0]["outliers"], "chauvenet");
  EXPECT_EQ(j["replicates"][0]["outlier_count"], 1);
  EXPECT_EQ(j["replicates"][0]["smoothed_count"], 40);
}

}  // namespace
}  // namespace olm::test
