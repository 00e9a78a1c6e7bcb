// olm reduce end to end: the JSON description, zone checks, outlier removal,
// smoothing and fits worked out by hand, and failures.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "CliRunner.hpp"
#include "TestSupport.hpp"

namespace olm::test {
namespace {

using nlohmann::json;

json Json(const CliResult& r) {
  return json::parse(r.output.substr(r.output.find('{')));
}

class ReduceCliTest : public ::testing::Test {
 protected:
  // olm reduce of the file `text` with further arguments.
  CliResult Reduce(const std::string& text, const std::string& args, bool mergeStderr = true) {
    return RunCli("reduce " + Quoted(dir.Write("in.csv", text)) + " " + args, mergeStderr);
  }
  CTempDir dir;
  // y = 2x at x = 0, 0.5, ..., 2.
  const std::string line = "x,y\nmm,N\n0,0\n0.5,1\n1,2\n1.5,3\n2,4\n";
};

TEST_F(ReduceCliTest, JsonDescribesTheDatabaseAndTheSummaryNamesZonesAndAreas) {
  const CliResult r = Reduce(line, "--zone 0:1 --zone 1:2 --json --data --id first", false);
  ASSERT_EQ(r.status, 0) << r.output;
  // The border point x = 1 is in both zones' smoothed rows; the areas under
  // y = 2x are 1 on [0, 1] and 3 on [1, 2].
  ExpectSubset(json::parse(r.output), R"({
      "state": "locked", "version": 0.913, "extents": {"raw": {"max": [2, 4]}},
      "replicates": [{"title": "first", "points": 5, "headings": ["x", "y"], "units": ["mm", "N"],
          "smoothed_count": 6, "smoothed": [[0, 0], [0.5, 1], [1, 2], [1, 2], [1.5, 3], [2, 4]],
          "smoothed_area_total": 4,
          "zones": [{"start": 0, "smoothed_area": 1, "smoothing": {"method": "none"},
                     "fit": {"type": "none"}},
                    {"end": 2, "smoothed_area": 3}]}]})"_json);
  const CliResult text =
      RunCli("reduce " + Quoted(dir.Write("line.csv", line)) + " --zone 0:2", false);
  ASSERT_EQ(text.status, 0);
  EXPECT_TRUE(Has(text, "Replicate 1: line")) << text.output;
  EXPECT_TRUE(Has(text, "smoothed area total 4")) << text.output;
  // Doubles read back exactly.
  const CliResult exact =
      Reduce("x,y\n-,-\n0.1,0.30000000000000004\n0.7,1e-300\n", "--json --data", false);
  ASSERT_EQ(exact.status, 0);
  ExpectSubset(json::parse(exact.output),
               R"({"replicates": [{"raw": [[0.1, 0.30000000000000004], [0.7, 1e-300]]}]})"_json);
}

TEST_F(ReduceCliTest, ZonesMeetingWithinOneMillionthPassAndAGapFails) {
  const CliResult r =
      Reduce(line, "--zone 0:1,fit=linear --zone 1.0000005:2,fit=linear --json", false);
  ASSERT_EQ(r.status, 0) << r.output;
  const json j = json::parse(r.output);
  const json& zones = j["replicates"][0]["zones"];
  EXPECT_NEAR(zones[0]["coefficients"][1].get<double>(), 2.0, 1e-12);
  EXPECT_NEAR(zones[1]["coefficients"][0].get<double>(), 0.0, 1e-9);
  EXPECT_EQ(zones[1]["r_squared"], 1.0);
  // x = 1 lies only in zone 1: areas 1 on [0, 1] and 1.75 on [1.5, 2].
  EXPECT_NEAR(j["replicates"][0]["fitted_area_total"].get<double>(), 1.0 + 1.75, 1e-9);
  const std::pair<std::string, std::string> failures[] = {
      {"--zone 0:1,smooth=median,points=3 --zone 1.1:2,smooth=median,points=3",
       "Gap between zones."},
      {"--zone 2:1,fit=linear", "End X should be greater than Start X"},
      {"--zone 0:2,smooth=sma,points=4", "Number of Points should be odd and between 3 and 25"},
      {"--zone 5:6", "Zone contains no data points"}};
  for (const auto& [args, message] : failures) {
    const CliResult f = Reduce(line, args);
    EXPECT_EQ(f.status, 1) << args;
    EXPECT_TRUE(Has(f, message)) << f.output;
  }
  const CliResult bad = Reduce("x,y\n-,-\n1,2\n3,oops\n", "");
  EXPECT_EQ(bad.status, 1);
  EXPECT_TRUE(Has(bad, "Invalid input. on line number 4.")) << bad.output;
}

TEST_F(ReduceCliTest, MalformedOptionsAreUsageErrors) {
  const std::string file = Quoted(dir.Write("line.csv", line));
  for (const char* args : {"--zone 0-1", "--zone 0:inf", "--zone 0:1,fit=cubicle",
                           "--zone 0:1,order=4", "--zone 0:x", "--delimiters blank,wavy",
                           "--zone 0:1 --zone 1:2 --zone 2:3 --zone 3:4 --zone 4:5 --zone 5:6"})
    EXPECT_EQ(RunCli("reduce " + file + " " + args).status, 2) << args;
  EXPECT_EQ(RunCli("reduce /nonexistent/file.csv").status, 2);
  EXPECT_EQ(RunCli("reduce").status, 2);
}

TEST_F(ReduceCliTest, ReadsTheBlankSeparatedSampleWithOneZoneOverTheWholeRange) {
  const CliResult r = RunCli("reduce " + Quoted(SourcePath("samples/tensile_2.dat")) +
                                 " --columns 3 --x 2 --y 3 --delimiters blank --json",
                             false);
  ASSERT_EQ(r.status, 0) << r.output;
  // Not processed further.
  ExpectSubset(json::parse(r.output), R"({"replicates": [{"points": 1200, "title": "tensile_2",
      "headings": ["time", "strain", "stress"], "smoothed_count": 1200, "zones": [{"end": 0.19}]}]})"_json);
}

// y = 1000 x on x = 0, 0.002, ..., 0.2, with one spike (+60 at x = 0.12).
// Worked out by hand: a moving average keeps a line with equal steps, the
// robust passes drop the spike, so zone 1 is y = 1000 x (area 500 x^2 from 0
// to 0.02 = 0.2) and zone 2 is y = 1000 x^1 (area 500 (0.2^2 - 0.02^2) =
// 19.8), both with R-squared 1.  The point x = 0.02 belongs to both zones.
TEST_F(ReduceCliTest, TwoZonesOfALineWithASpike) {
  std::string text = "x,y\n-,-\n";
  for (int i = 0; i <= 100; ++i) text += Format("%.3f,%d\n", 0.002 * i, 2 * i + (i == 60 ? 60 : 0));
  const std::string zones =
      "--zone 0:0.02,fit=linear,smooth=sma,points=5 --zone "
      "0.02:0.2,fit=power,smooth=robust-lowess,points=11,repeats=2,outliers=chauvenet";
  const CliResult summary = Reduce(text, zones, false);
  ASSERT_EQ(summary.status, 0) << summary.output;
  EXPECT_TRUE(Has(summary, "smoothed points 102, outliers removed 0")) << summary.output;
  EXPECT_TRUE(Has(summary, "smoothed area total 20, fitted area total 20"));
  EXPECT_TRUE(Has(summary, "coefficients: c1=1000 c2=1\n"));
  // A zone keeps Chauvenet beside robust smoothing (the spike is too small
  // against the spread of the ramp for Chauvenet; the robust passes take it out).
  const size_t zone2 = summary.output.find("\n  2    0.02");
  ASSERT_NE(zone2, std::string::npos) << summary.output;
  const std::string row =
      summary.output.substr(zone2 + 1, summary.output.find('\n', zone2 + 1) - zone2 - 1);
  EXPECT_NE(row.find(" chauvenet Robust Lowess n=11 x2 "), std::string::npos) << row;
  EXPECT_NE(row.find(" Power Law "), std::string::npos) << row;
  const CliResult r = Reduce(text, "--json --data " + zones, false);
  ASSERT_EQ(r.status, 0) << r.output;
  const json rep = Json(r).at("replicates").at(0);
  const json &z1 = rep.at("zones").at(0), &z2 = rep.at("zones").at(1);
  const auto at = [](const json& z, const char* key) { return z.at(key).get<double>(); };
  EXPECT_NEAR(z1.at("coefficients").at(0).get<double>(), 0.0, 1e-9);
  EXPECT_NEAR(z1.at("coefficients").at(1).get<double>(), 1000.0, 1e-9);
  EXPECT_NEAR(z2.at("coefficients").at(0).get<double>(), 1000.0, 1e-8);
  EXPECT_NEAR(z2.at("coefficients").at(1).get<double>(), 1.0, 1e-12);
  for (const json* z : {&z1, &z2}) EXPECT_NEAR(at(*z, "r_squared"), 1.0, 1e-12);
  EXPECT_NEAR(at(z1, "smoothed_area"), 0.2, 1e-12);
  EXPECT_NEAR(at(z1, "fitted_area"), 0.2, 1e-12);
  EXPECT_NEAR(at(z2, "smoothed_area"), 19.8, 1e-10);
  EXPECT_NEAR(at(z2, "fitted_area"), 19.8, 1e-10);
  for (const auto& p : rep.at("smoothed"))  // the spike is gone
    EXPECT_NEAR(p.at(1).get<double>(), 1000.0 * p.at(0).get<double>(), 1e-9);
  const std::pair<std::string, std::string> failures[] = {
      {"--zone 0:0.2,smooth=pma,order=5,points=5",
       "Number of points for smoothing must be odd and between 5 and 25 \nfor 3rd degree "
       "polynomial and between 7 and 25 for 5th order polynomial."},
      {"--zone 0:0.008,fit=quintic",
       "Number of points after removing outliers are not enough for fit."},
      {"--zone 0:0.2,fit=logarithmic", "All x values must be positive for logarithmic fit."}};
  for (const auto& [args, message] : failures) {
    const CliResult f = Reduce(text, args);
    EXPECT_EQ(f.status, 1) << args;
    EXPECT_TRUE(Has(f, message)) << f.output;
  }
}

TEST_F(ReduceCliTest, ChauvenetRemovesSpikesBeforeTheMedianAndBesideARobustSmoother) {
  std::string flat = "x,y\n-,-\n";
  for (int i = 0; i <= 20; ++i)
    flat += Format("%.3f,%g\n", 0.005 * i, i == 10 ? 100 : 10 + 0.5 * (i % 3));
  const CliResult r = Reduce(
      flat, "--json --data --zone 0:0.1,fit=linear,smooth=median,points=3,outliers=chauvenet",
      false);
  ASSERT_EQ(r.status, 0) << r.output;
  const json rep = Json(r).at("replicates").at(0);
  ExpectSubset(rep, R"({"outlier_count": 1, "smoothed_count": 20})"_json);
  EXPECT_NEAR(rep.at("outlier_points").at(0).at(0).get<double>(), 0.05, 1e-15);
  EXPECT_EQ(rep.at("outlier_points").at(0).at(1).get<double>(), 100.0);
  for (const auto& p : rep.at("smoothed")) EXPECT_LE(p.at(1).get<double>(), 11.0);
  std::string spike = "x,y\n-,-\n";
  for (int i = 0; i <= 40; ++i) spike += Format("%d,%d\n", i, i == 20 ? 500 : i);
  const CliResult s =
      Reduce(spike, "--zone 0:40,smooth=robust-lowess,points=5,outliers=chauvenet --json", false);
  ASSERT_EQ(s.status, 0) << s.output;
  ExpectSubset(json::parse(s.output), R"({"replicates": [{"zones": [{"outliers": "chauvenet"}],
      "outlier_count": 1, "smoothed_count": 40}]})"_json);
}

TEST(ReduceSampleCliTest, EveryFilterAndFitRunsOnASampleCurve) {
  for (const char* smooth :
       {"median", "sma", "pma", "loess", "robust-loess", "lowess", "robust-lowess"}) {
    const CliResult r = ReduceSample(std::string("--json --zone 0.01:0.2,fit=quadratic,smooth=") +
                                     smooth + ",points=25,repeats=2,order=5");
    ASSERT_EQ(r.status, 0) << smooth << "\n" << r.output;
    EXPECT_GT(Json(r).at("replicates").at(0).at("zones").at(0).at("r_squared").get<double>(), 0.5)
        << smooth;
  }
  for (const char* fit : {"linear", "quadratic", "cubic", "quartic", "quintic", "exponential",
                          "logarithmic", "power"}) {
    const CliResult r = ReduceSample(std::string("--json --zone 0.01:0.2,fit=") + fit +
                                     ",smooth=lowess,points=15,outliers=chauvenet");
    ASSERT_EQ(r.status, 0) << fit << "\n" << r.output;
    const json z = Json(r).at("replicates").at(0).at("zones").at(0);
    const double r2 = z.at("r_squared").get<double>();
    EXPECT_TRUE(r2 > 0.0 && r2 <= 1.0) << fit << " " << r2;
    EXPECT_GT(z.at("fitted_area").get<double>(), 0.0) << fit;
  }
}

}  // namespace
}  // namespace olm::test

namespace olm::test {
namespace {

TEST(ReduceDecimalCommaCliTest, TheMtsExportReducesWithDecimalCommaAndIsRefusedWithout) {
  const std::string args = "reduce " + Quoted(DataPath("real/example4.csv")) +
                           " --columns 8 --x 2 --y 4 --headers 13 --delimiters tab --json --data";
  const CliResult refused = RunCli(args);
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(Has(refused, "line number 16")) << refused.output;
  const CliResult r = RunCli(args + " --decimal-comma", false);
  ASSERT_EQ(r.status, 0) << r.output;
  const json j = Json(r);
  const json& rep = j["replicates"][0];
  EXPECT_EQ(rep["points"], 931);
  EXPECT_EQ(rep["headings"][3], "Ch 1 Kraft");
  EXPECT_EQ(rep["raw"][0][1], 79.004883);
  EXPECT_EQ(rep["raw"][930][3], 0.10594167);
}

}  // namespace
}  // namespace olm::test
