// olm reduce with real outlier removal, smoothing and fits, end to end.
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <string>

#include "CliRunner.hpp"
#include "TestSupport.hpp"

namespace olm::test {
namespace {

// y = 1000 x on x = 0, 0.002, ..., 0.2, with one spike (+60 at x = 0.12).
std::string LineWithSpike() {
  std::string text = "x,y\n-,-\n";
  for (int i = 0; i <= 100; ++i) {
    const int y = 2 * i + (i == 60 ? 60 : 0);
    text += Format("%.3f,%d\n", 0.002 * i, y);
  }
  return text;
}

const std::string kTwoZones =
    " --zone 0:0.02,fit=linear,smooth=sma,points=5"
    " --zone 0.02:0.2,fit=power,smooth=robust-lowess,points=11,repeats=2,outliers=chauvenet";

nlohmann::json Json(const CliResult& r) {
  return nlohmann::json::parse(r.output.substr(r.output.find('{')));
}

// Worked out by hand: a moving average keeps a line with equal steps, the
// robust passes drop the spike, so zone 1 is y = 1000 x (area 500 x^2 from 0
// to 0.02 = 0.2) and zone 2 is y = 1000 x^1 (area 500 (0.2^2 - 0.02^2) =
// 19.8), both with R-squared 1.  The point x = 0.02 belongs to both zones.
TEST(ReduceNumericsCli, TwoZonesOfALineWithASpike) {
  CTempDir dir;
  const std::string file = dir.Write("line.csv", LineWithSpike());
  const CliResult text = RunCli("reduce '" + file + "'" + kTwoZones, false);
  ASSERT_EQ(text.status, 0) << text.output;
  EXPECT_NE(text.output.find("smoothed points 102, outliers removed 0"), std::string::npos)
      << text.output;
  EXPECT_NE(text.output.find("smoothed area total 20, fitted area total 20"), std::string::npos);
  EXPECT_NE(text.output.find("coefficients: c1=1000 c2=1\n"), std::string::npos) << text.output;
  // A batch zone keeps Chauvenet beside robust smoothing (the spike is too
  // small against the spread of the ramp for Chauvenet; the robust passes
  // take it out).
  const size_t zone2 = text.output.find("\n  2    0.02");
  ASSERT_NE(zone2, std::string::npos) << text.output;
  const std::string line = text.output.substr(zone2 + 1, text.output.find('\n', zone2 + 1) - zone2 - 1);
  EXPECT_NE(line.find(" chauvenet Robust Lowess n=11 x2 "), std::string::npos) << line;
  EXPECT_NE(line.find(" Power Law "), std::string::npos) << line;

  const CliResult r = RunCli("reduce '" + file + "' --json --data" + kTwoZones, false);
  ASSERT_EQ(r.status, 0) << r.output;
  const nlohmann::json rep = Json(r).at("replicates").at(0);
  const nlohmann::json& z1 = rep.at("zones").at(0);
  const nlohmann::json& z2 = rep.at("zones").at(1);
  EXPECT_NEAR(z1.at("coefficients").at(0).get<double>(), 0.0, 1e-9);
  EXPECT_NEAR(z1.at("coefficients").at(1).get<double>(), 1000.0, 1e-9);
  EXPECT_NEAR(z1.at("r_squared").get<double>(), 1.0, 1e-12);
  EXPECT_NEAR(z1.at("smoothed_area").get<double>(), 0.2, 1e-12);
  EXPECT_NEAR(z1.at("fitted_area").get<double>(), 0.2, 1e-12);
  EXPECT_NEAR(z2.at("coefficients").at(0).get<double>(), 1000.0, 1e-8);
  EXPECT_NEAR(z2.at("coefficients").at(1).get<double>(), 1.0, 1e-12);
  EXPECT_NEAR(z2.at("r_squared").get<double>(), 1.0, 1e-12);
  EXPECT_NEAR(z2.at("smoothed_area").get<double>(), 19.8, 1e-10);
  EXPECT_NEAR(z2.at("fitted_area").get<double>(), 19.8, 1e-10);
  // The spike is gone from the smoothed curve.
  for (const auto& row : rep.at("smoothed"))
    EXPECT_NEAR(row.at(1).get<double>(), 1000.0 * row.at(0).get<double>(), 1e-9);
}

TEST(ReduceNumericsCli, ChauvenetRemovesASpikeBeforeTheMedian) {
  CTempDir dir;
  std::string text = "x,y\n-,-\n";
  for (int i = 0; i <= 20; ++i)
    text += Format("%.3f,%g\n", 0.005 * i, i == 10 ? 100 : 10 + 0.5 * (i % 3));
  const std::string file = dir.Write("flat.csv", text);
  const CliResult r = RunCli("reduce '" + file +
                                 "' --json --data --zone 0:0.1,fit=linear,smooth=median,points=3,"
                                 "outliers=chauvenet",
                             false);
  ASSERT_EQ(r.status, 0) << r.output;
  const nlohmann::json rep = Json(r).at("replicates").at(0);
  EXPECT_EQ(rep.at("outlier_count"), 1);
  EXPECT_EQ(rep.at("smoothed_count"), 20);
  EXPECT_NEAR(rep.at("outlier_points").at(0).at(0).get<double>(), 0.05, 1e-15);
  EXPECT_EQ(rep.at("outlier_points").at(0).at(1).get<double>(), 100.0);
  for (const auto& row : rep.at("smoothed")) EXPECT_LE(row.at(1).get<double>(), 11.0);
}

TEST(ReduceNumericsCli, EveryFilterAndFitRunsOnASampleCurve) {
  const std::string sample = "'" OLM_SAMPLES_DIR "/tensile_1.csv' --columns 3 --x 2 --y 3";
  for (const char* smooth :
       {"median", "sma", "pma", "loess", "robust-loess", "lowess", "robust-lowess"}) {
    const CliResult r =
        RunCli("reduce " + sample + " --json --zone 0.01:0.2,fit=quadratic,smooth=" + smooth +
               ",points=25,repeats=2,order=5");
    ASSERT_EQ(r.status, 0) << smooth << "\n" << r.output;
    const nlohmann::json z = Json(r).at("replicates").at(0).at("zones").at(0);
    EXPECT_GT(z.at("r_squared").get<double>(), 0.5) << smooth;
  }
  for (const char* fit : {"linear", "quadratic", "cubic", "quartic", "quintic", "exponential",
                          "logarithmic", "power"}) {
    const CliResult r = RunCli("reduce " + sample + " --json --zone 0.01:0.2,fit=" + fit +
                               ",smooth=lowess,points=15,outliers=chauvenet");
    ASSERT_EQ(r.status, 0) << fit << "\n" << r.output;
    const nlohmann::json z = Json(r).at("replicates").at(0).at("zones").at(0);
    const double r2 = z.at("r_squared").get<double>();
    EXPECT_TRUE(r2 > 0.0 && r2 <= 1.0) << fit << " " << r2;
    EXPECT_GT(z.at("fitted_area").get<double>(), 0.0) << fit;
  }
}

TEST(ReduceNumericsCli, FilterAndFitFailuresEndWithStatusOne) {
  CTempDir dir;
  const std::string file = dir.Write("line.csv", LineWithSpike());
  CliResult r = RunCli("reduce '" + file + "' --zone 0:0.2,smooth=pma,order=5,points=5");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("Number of points for smoothing must be odd and between 5 and 25 \nfor "
                          "3rd degree polynomial and between 7 and 25 for 5th order polynomial."),
            std::string::npos)
      << r.output;
  r = RunCli("reduce '" + file + "' --zone 0:0.008,fit=quintic");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("Number of points after removing outliers are not enough for fit."),
            std::string::npos)
      << r.output;
  r = RunCli("reduce '" + file + "' --zone 0:0.2,fit=logarithmic");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("All x values must be positive for logarithmic fit."), std::string::npos);
}

}  // namespace
}  // namespace olm::test
