#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "CliRunner.hpp"
#include "TestSupport.hpp"

namespace olm::test {
namespace {

std::string Sample() {
  return Quoted(SourcePath("samples/dist/strength25.dat"));
}

TEST(DistCli, WritesTheReportAndPrintsTheConsoleLinesTheSameInFreshProcesses) {
  CTempDir dir;
  const std::string out = dir.File("r.out");
  const CliResult r = RunCli("dist " + Sample() + " -o " + Quoted(out));
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(Has(r, "\nWeibull Distribution calculations ...\n")) << r.output;
  EXPECT_TRUE(Has(r, "Results written to " + out)) << r.output;
  const std::string report = ReadFile(out);
  EXPECT_TRUE(Has(report, " WEIBULL DISTRIBUTION ") && Has(report, " ALL DISTRIBUTION "));
  ASSERT_EQ(RunCli("dist " + Sample() + " -o " + Quoted(dir.File("b.out"))).status, 0);
  EXPECT_EQ(ReadFile(dir.File("b.out")), report);
}

TEST(DistCli, JsonListsParametersAndMeasuresPerDistribution) {
  CTempDir dir;
  const CliResult r = RunCli("dist " + Sample() + " --json -o " + Quoted(dir.File("r.out")), false);
  ASSERT_EQ(r.status, 0) << r.output;
  const auto j = nlohmann::json::parse(r.output);
  EXPECT_EQ(j["sample_size"], 25);
  ASSERT_EQ(j["distributions"].size(), 6u);
  const auto& w = j["distributions"][0];
  ExpectSubset(w, R"({"name": "2P-Weibull", "fitted": true})"_json);
  // scipy.stats.weibull_min.fit(x, floc=0): shape 10.19097, scale 450.0719.
  EXPECT_NEAR(w["parameters"]["shape"].get<double>(), 10.191, 1e-3);
  EXPECT_NEAR(w["parameters"]["scale"].get<double>(), 450.072, 1e-3);
  EXPECT_NEAR(j["distributions"][2]["parameters"]["mean"].get<double>(), 428.26, 1e-9);
  EXPECT_TRUE(j["distributions"][2].contains("ks_distance"));
  EXPECT_EQ(j["pairwise"].size(), 15u);
}

TEST(DistCli, DefaultResultsPathReplacesTheExtension) {
  CTempDir dir;
  const std::string input =
      dir.Write("in.dat", ReadFile(SourcePath("samples/dist/strength25.dat")));
  const CliResult r = RunCli("dist " + Quoted(input));
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(Has(ReadFile(dir.File("in.out")), "Probability Distribution Functions"));
}

TEST(DistCli, MalformedInputIsAFatalErrorWithStatus1) {
  CTempDir dir;
  const std::string bad =
      dir.Write("bad.dat", "*heading\n\n*data\n1\n2\n*distribution\nnormal\n*end\n");
  const CliResult r = RunCli("dist " + Quoted(bad));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.output.rfind("FATAL ERROR: Error reading input file ...\n", 0), 0u) << r.output;
  EXPECT_TRUE(Has(r, "no \"*minmax\" line")) << r.output;
}

TEST(DistCli, RefusedModelsAreReportedAndTheRunFails) {
  CTempDir dir;
  const std::string in =
      dir.Write("zero.dat",
                "*heading\n\n*data\n0\n3\n4\n5\n*distribution\nnormal\nlognormal\n*minmax\n"
                "-1, 8\n*end\n");
  const CliResult r = RunCli("dist " + Quoted(in) + " -o " + Quoted(dir.File("z.out")));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r, "olm dist: Log Normal not fitted: the sample holds values <= 0")) << r.output;
  EXPECT_TRUE(Has(ReadFile(dir.File("z.out")), " NORMAL DISTRIBUTION "));
}

TEST(DistCli, MissingInputArgumentIsAUsageError) {
  EXPECT_EQ(RunCli("dist").status, 2);
}

}  // namespace
}  // namespace olm::test
