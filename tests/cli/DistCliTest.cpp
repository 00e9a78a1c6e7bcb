#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "CliRunner.hpp"
#include "TestSupport.hpp"

namespace olm::test {
namespace {

std::string Quote(const std::string& s) {
  return "'" + s + "'";
}

std::string Sample() {
  return SourcePath("samples/dist/strength25.dat");
}

TEST(DistCli, WritesTheReportAndPrintsTheConsoleLinesTheSameInFreshProcesses) {
  CTempDir dir;
  const std::string out = dir.File("r.out");
  const CliResult r = RunCli("dist " + Quote(Sample()) + " -o " + Quote(out));
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("\nWeibull Distribution calculations ...\n"), std::string::npos);
  EXPECT_NE(r.output.find("Results written to " + out), std::string::npos);
  const std::string report = ReadFile(out);
  EXPECT_NE(report.find(" WEIBULL DISTRIBUTION "), std::string::npos);
  EXPECT_NE(report.find(" ALL DISTRIBUTION "), std::string::npos);
  ASSERT_EQ(RunCli("dist " + Quote(Sample()) + " -o " + Quote(dir.File("b.out"))).status, 0);
  EXPECT_EQ(ReadFile(dir.File("b.out")), report);
}

TEST(DistCli, JsonListsParametersAndMeasuresPerDistribution) {
  CTempDir dir;
  const CliResult r =
      RunCli("dist " + Quote(Sample()) + " --json -o " + Quote(dir.File("r.out")), false);
  ASSERT_EQ(r.status, 0) << r.output;
  const auto j = nlohmann::json::parse(r.output);
  EXPECT_EQ(j["sample_size"], 25);
  ASSERT_EQ(j["distributions"].size(), 6u);
  const auto& w = j["distributions"][0];
  EXPECT_EQ(w["name"], "2P-Weibull");
  EXPECT_TRUE(w["fitted"].get<bool>());
  // scipy.stats.weibull_min.fit(x, floc=0): shape 10.19097, scale 450.0719.
  EXPECT_NEAR(w["parameters"]["shape"].get<double>(), 10.191, 1e-3);
  EXPECT_NEAR(w["parameters"]["scale"].get<double>(), 450.072, 1e-3);
  EXPECT_NEAR(j["distributions"][2]["parameters"]["mean"].get<double>(), 428.26, 1e-9);
  EXPECT_TRUE(j["distributions"][2].contains("ks_distance"));
  EXPECT_EQ(j["pairwise"].size(), 15u);
}

TEST(DistCli, DefaultResultsPathReplacesTheExtension) {
  CTempDir dir;
  const std::string input = dir.Write("in.dat", ReadFile(Sample()));
  const CliResult r = RunCli("dist " + Quote(input));
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(ReadFile(dir.File("in.out")).find("Probability Distribution Functions"),
            std::string::npos);
}

TEST(DistCli, MalformedOrMissingInputIsAFatalErrorWithStatus1) {
  CTempDir dir;
  const std::string bad =
      dir.Write("bad.dat", "*heading\n\n*data\n1\n2\n*distribution\nnormal\n*end\n");
  CliResult r = RunCli("dist " + Quote(bad));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.output.rfind("FATAL ERROR: Error reading input file ...\n", 0), 0u) << r.output;
  EXPECT_NE(r.output.find("no \"*minmax\" line"), std::string::npos);
  r = RunCli("dist " + Quote(dir.File("none.dat")));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("FATAL ERROR: Error reading input file ..."), std::string::npos);
}

TEST(DistCli, RefusedModelsAreReportedAndTheRunFails) {
  CTempDir dir;
  const std::string in =
      dir.Write("zero.dat",
                "*heading\n\n*data\n0\n3\n4\n5\n*distribution\nnormal\nlognormal\n*minmax\n"
                "-1, 8\n*end\n");
  const CliResult r = RunCli("dist " + Quote(in) + " -o " + Quote(dir.File("z.out")));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("olm dist: Log Normal not fitted: the sample holds values <= 0"),
            std::string::npos)
      << r.output;
  EXPECT_NE(ReadFile(dir.File("z.out")).find(" NORMAL DISTRIBUTION "), std::string::npos);
}

TEST(DistCli, MissingInputArgumentIsAUsageError) {
  EXPECT_EQ(RunCli("dist").status, 2);
}

}  // namespace
}  // namespace olm::test
