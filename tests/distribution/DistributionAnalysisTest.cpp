#include "distribution/DistributionAnalysis.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>
#include <tuple>

#include "TestSupport.hpp"
#include "distribution/DistributionFiles.hpp"

namespace olm {
namespace {

// Reference values for the 25-value sample, grid 200..600: SciPy 1.10 through
// bench/peers/dist_reference.py (Debian's python3-scipy).  KS, AD and
// chi-square there use SciPy's exact cdf/pdf with the engine's parameters.
// The closed forms must match to rounding; the optimizer fits (Weibull 2P,
// generalized exponential) to about seven digits (four are required).
struct CReference {
  int code;
  double p1, p1Tolerance, p2, p2Tolerance;
  double ks, ad, chi;
};
const CReference kReferences[] = {
    // Normal: mean, standard deviation (divisor n - 1).
    {kNormal, 428.26, 1e-12, 53.1135340567731, 1e-12, 0.142051130417, 0.446222594041,
     0.132784167032},
    // Lognormal: exp(mean ln x), standard deviation of ln x (divisor n - 1).
    {kLognormal, 424.802353822455, 1e-10, 0.133359305359918, 1e-14, 0.168696303358, 0.715670884244,
     0.201792638913},
    // Gamma: scale, shape 0.5 / (ln mean - mean ln x).
    {kGamma, 6.94335955360011, 1e-11, 61.6790757693008, 1e-9, 0.15979877535, 0.604280356889,
     0.170483125589},
    // Weibull 2P: root of the likelihood equation (brentq); scipy's
    // weibull_min.fit(floc=0) gives 10.19097, 450.0719.
    {kWeibull2P, 450.07193792959, 450.07 * 1e-6, 10.1909619543036, 10.19 * 1e-6, 0.101935118753,
     0.280757478137, 0.0652625574326},
    // Generalized exponential: root of the profile equation (brentq); scipy's
    // exponweib.fit(c=1, loc=0) gives rate 0.01657961, shape 762.866.
    {kGeneralizedExponential, 0.0165796113427543, 0.0165796 * 1e-6, 762.86640801184, 762.866 * 1e-5,
     0.184305504165, 1.27631580076, 0.369143626007},
};

class DistributionAnalysisSample : public ::testing::Test {
 protected:
  // The analysis runs once for the suite; a failure there fails every test
  // (an assertion in SetUpTestSuite would only mark them skipped).
  static void SetUpTestSuite() {
    try {
      analysis = std::make_unique<CDistributionAnalysis>();
      const auto input = ReadDistributionInput(test::SourcePath("samples/dist/strength25.dat"));
      if (!analysis->Run(input, &console)) analysis.reset();
    } catch (const CDistributionError& e) {
      analysis.reset();
      setupError = std::string(e.what()) + " " + e.Detail();
    }
  }
  void SetUp() override { ASSERT_TRUE(analysis) << setupError; }
  static void TearDownTestSuite() { analysis.reset(); }
  static const CDistributionResult& Result(int code) {
    const CDistributionResult* r = analysis->Find(code);
    EXPECT_NE(r, nullptr) << code;
    return *r;
  }
  static inline std::unique_ptr<CDistributionAnalysis> analysis;
  static inline std::ostringstream console;
  static inline std::string setupError;
};

TEST_F(DistributionAnalysisSample, AllSixModelsAreFittedInInputOrderWithTheirTags) {
  ASSERT_EQ(analysis->Results().size(), 6u);
  const int order[] = {kWeibull2P, kWeibull3P, kNormal,
                       kLognormal, kGamma,     kGeneralizedExponential};
  const char* tags[] = {"W-2P", "W-3P", "N", "LN", "G", "G_E"};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(analysis->Results()[i].code, order[i]);
    EXPECT_EQ(analysis->Results()[i].tag, tags[i]);
    EXPECT_TRUE(analysis->Results()[i].fitted) << analysis->Results()[i].message;
  }
  EXPECT_TRUE(analysis->AllFitted());
  EXPECT_EQ(std::pair(analysis->Sample().front(), analysis->Sample().back()),
            std::pair(283.2, 508.3));  // sorted
}

TEST_F(DistributionAnalysisSample, ConsoleLinesOfTheRunInInputOrder) {
  EXPECT_EQ(console.str(),
            "\nWeibull Distribution calculations ...\n\n\tWeibull 2 parameter ...\n"
            "\n\tWeibull 3 parameter ...\n"
            "\nNormal Distribution calculations ...\n"
            "\nLognormal Distribution calculations ...\n"
            "\nGamma Distribution calculations ...\n"
            "\nGeneralized Distribution calculations ...\n");
}

TEST_F(DistributionAnalysisSample, ParametersAndGoodnessOfFitMatchScipy) {
  for (const CReference& ref : kReferences) {
    SCOPED_TRACE(ref.code);
    const CDistributionResult& r = Result(ref.code);
    EXPECT_NEAR(r.parameters(1), ref.p1, ref.p1Tolerance);
    EXPECT_NEAR(r.parameters(2), ref.p2, ref.p2Tolerance);
    EXPECT_NEAR(r.ks, ref.ks, 1e-6);
    EXPECT_NEAR(r.ad, ref.ad, 1e-5);
    EXPECT_NEAR(r.chiSquare, ref.chi, 1e-5);
  }
  const CDistributionResult& w = Result(kWeibull2P);
  EXPECT_EQ(w.location, 0.0);
  EXPECT_LT(w.minimized, 1e-12);
  EXPECT_EQ(w.evaluations, 1 + 20 + 1000 * 18 + 1);
  // Weibull 3P: scipy's weibull_min.fit (Nelder-Mead) lands at shape 16.603,
  // location -272.055, scale 723.043; the likelihood is flat there.
  const CDistributionResult& w3 = Result(kWeibull3P);
  EXPECT_NEAR(w3.parameters(2), 16.60304471, 16.6 * 1e-3);
  EXPECT_NEAR(w3.location, -272.0546994, 272.0 * 1e-3);
  EXPECT_NEAR(w3.parameters(1), 723.0430362, 723.0 * 1e-3);
}

TEST_F(DistributionAnalysisSample, GridRunsFromLowerToUpperLimit) {
  const CEngVector<double>& g = analysis->Grid();
  ASSERT_EQ(g.GetSize(), 1000);
  EXPECT_EQ(g(1), 200.0);
  EXPECT_EQ(g(1000), 600.0);
  EXPECT_NEAR(g(2) - g(1), 400.0 / 999.0, 1e-12);
}

TEST_F(DistributionAnalysisSample, PairwiseLogLikelihoodRatiosFavourTheBetterModel) {
  const auto& pairs = analysis->Pairwise();
  ASSERT_EQ(pairs.size(), 15u);
  // (Normal, Gamma) is pair 2-4 in input order: index 10.  SciPy:
  // sum(norm.logpdf - gamma.logpdf) = 0.989273292613; (2P-Weibull, Normal):
  // 1.30947237453.
  for (const auto& [index, first, second] : {std::tuple{0, 0, 1}, {14, 4, 5}, {10, 2, 4}})
    EXPECT_EQ(std::pair(pairs[index].first, pairs[index].second), std::pair(first, second));
  // The gamma density divides by Gamma(k) from the truncated Weierstrass
  // product (about 1.3e-6 relative here), so each of the 25 terms may differ
  // by that much.
  EXPECT_NEAR(pairs[10].logLikelihoodRatio, 0.989273292613, 1e-4);
  EXPECT_NEAR(pairs[1].logLikelihoodRatio, 1.30947237453, 1e-5);
  for (const auto& p : pairs) EXPECT_TRUE(p.available);
}

CDistributionInput Input(std::vector<double> sample, std::vector<CDistributionRequest> requests,
                         double lower = 0.5, double upper = 10.0) {
  CDistributionInput in;
  in.sample = std::move(sample);
  in.requests = std::move(requests);
  in.lower = lower;
  in.upper = upper;
  return in;
}

std::vector<CDistributionRequest> AllSix(double geBound = 5.0) {
  return {{kWeibull2P, 0}, {kWeibull3P, 0}, {kNormal, 0},
          {kLognormal, 0}, {kGamma, 0},     {kGeneralizedExponential, geBound}};
}

TEST(DistributionAnalysisRefusals, NonPositiveValuesAreRefusedForModelsThatTakeLogarithms) {
  CDistributionAnalysis a;
  ASSERT_TRUE(a.Run(Input({3.0, 0.0, 4.5, 5.0, 6.1, 2.2, 4.0}, AllSix(), -1.0, 10.0)));
  const auto& r = a.Results();
  EXPECT_EQ(r[0].message,
            "2P-Weibull not fitted: the sample holds values <= 0, and this distribution needs "
            "positive values (its estimators take logarithms).");
  EXPECT_TRUE(r[1].fitted) << r[1].message;  // Weibull 3P shifts
  for (size_t i : {0u, 3u, 4u, 5u}) {
    EXPECT_FALSE(r[i].fitted);
    EXPECT_NE(r[i].message.find("values <= 0"), std::string::npos);
  }
  EXPECT_FALSE(std::isnan(r[2].ks));
  // The normal model's Anderson-Darling statistic is not a number for this
  // sample: a fit with a measure that is not finite is not reported as one.
  EXPECT_FALSE(r[2].fitted);
  EXPECT_EQ(r[2].message,
            "Normal not fitted: the goodness-of-fit measures are not finite numbers.");
  EXPECT_FALSE(a.AllFitted());
  // Pairs with an unfitted model are marked unavailable.
  EXPECT_FALSE(a.Pairwise()[5].available);  // (3P-Weibull, Normal)
  EXPECT_FALSE(a.Pairwise()[0].available);
}

TEST(DistributionAnalysisRefusals, DegenerateSamplesAndRangesAreRefused) {
  CDistributionAnalysis a;
  ASSERT_TRUE(a.Run(Input({4.0, 4.0, 4.0, 4.0, 4.0}, AllSix())));
  for (const auto& r : a.Results()) {
    EXPECT_FALSE(r.fitted);
    EXPECT_NE(r.message.find("all sample values are equal."), std::string::npos) << r.message;
  }
  EXPECT_EQ(a.Results()[4].message, "Gamma not fitted: all sample values are equal.");
  ASSERT_TRUE(a.Run(Input({4.0}, AllSix())));
  EXPECT_EQ(a.Results()[2].message, "Normal not fitted: the sample has fewer than 2 values.");
  ASSERT_TRUE(a.Run(Input({}, {{kNormal, 0}})));
  EXPECT_FALSE(a.Results()[0].fitted);
  EXPECT_TRUE(a.Sample().empty());
  // ln mean - mean ln x is ~1e-17 here: the gamma shape would be astronomically large.
  ASSERT_TRUE(a.Run(Input({4.0, 4.0 + 1e-13, 4.0, 4.0}, {{kGamma, 0}})));
  EXPECT_FALSE(a.Results()[0].fitted);
  EXPECT_NE(a.Results()[0].message.find("Gamma not fitted"), std::string::npos);
  // A range whose lower limit is not below its upper limit ends the run.
  CDistributionAnalysis b;
  EXPECT_FALSE(b.Run(Input({1.0, 2.0, 3.0}, {{kNormal, 0}}, 5.0, 5.0)));
  EXPECT_EQ(b.ErrorMessage(), "The lower limit of the range must be below its upper limit.");
  EXPECT_TRUE(b.Results().empty());
}

TEST(DistributionAnalysisRefusals, OptimizerFailuresLeaveTheModelUnfittedWithItsMessage) {
  CDistributionAnalysis a;
  // Generalized exponential bound below the start 1e-8; Weibull 3P start
  // (smallest value 400) outside [-R, R] = [-300, 300].
  ASSERT_TRUE(
      a.Run(Input({400.0, 420.0, 450.0, 470.0, 430.0},
                  {{kGeneralizedExponential, 1e-9}, {kWeibull3P, 0}, {kNormal, 0}}, 0.0, 300.0)));
  const auto& r = a.Results();
  EXPECT_EQ(r[0].message,
            "Gen. Exponential not fitted: Design variable violates lower or upper bound.");
  for (int i : {0, 1}) {
    EXPECT_FALSE(r[i].fitted);
    EXPECT_EQ(r[i].optimizerResult, CDifferentialEvolution::kBadBounds);
  }
  EXPECT_EQ(r[1].evaluations, 0);
  EXPECT_TRUE(r[2].fitted);
}

TEST(DistributionAnalysisPairs, OneRequestHasNoPairTwoHaveOne) {
  CDistributionAnalysis a;
  const std::vector<double> s = {3.1, 4.2, 5.0, 3.9, 4.4, 4.8};
  ASSERT_TRUE(a.Run(Input(s, {{kNormal, 0}})));
  EXPECT_TRUE(a.Pairwise().empty());
  ASSERT_TRUE(a.Run(Input(s, {{kNormal, 0}, {kLognormal, 0}})));
  ASSERT_EQ(a.Pairwise().size(), 1u);
  // Hand check: the ratio is the sum of the log-density differences.
  double expected = 0.0;
  for (int k = 1; k <= 6; ++k) {
    expected += std::log(a.Results()[0].pdfSample(k)) - std::log(a.Results()[1].pdfSample(k));
  }
  EXPECT_DOUBLE_EQ(a.Pairwise()[0].logLikelihoodRatio, expected);
}

TEST(DistributionAnalysisWeibull, SmallSampleCorrectionOfWeibull2P) {
  // First ten values of the sample file; c1 = 0.853, c2 = 0.967 (n = 10).
  // Reference: brentq on 0.853/b + mean ln x - sum x^b ln x / sum x^b,
  // scale (mean x^b / 0.967)^(1/b) (bench/peers/dist_reference.py).
  CDistributionAnalysis a;
  ASSERT_TRUE(a.Run(Input({434.7, 451.1, 425.3, 445.0, 384.3, 508.3, 283.2, 499.0, 425.8, 399.0},
                          {{kWeibull2P, 1}}, 200.0, 600.0)));
  const CDistributionResult& w = a.Results()[0];
  ASSERT_TRUE(w.fitted);
  EXPECT_NEAR(w.parameters(2), 8.13835368515439, 8.14 * 1e-6);
  EXPECT_NEAR(w.parameters(1), 449.868055500402, 449.9 * 1e-6);
}

TEST(DistributionAnalysisWeibull, OptimizerLogShowsTheDetailedRun) {
  CDistributionAnalysis a;
  std::ostringstream log;
  ASSERT_TRUE(a.Run(Input({3.1, 4.2, 5.0, 3.9, 4.4, 4.8}, {{kWeibull2P, 0}}), nullptr, &log));
  // "Continuous Design Variables" shows only at the detailed level.
  for (const char* part :
       {"                  DE V 1.2                  ", "Max generations: 1000\n",
        "Population size: 20\n", "Strategy: RANDTOBEST1EXP\n", "Continuous Design Variables (X)",
        "Number of fitness evaluations: 18022\n"})
    EXPECT_NE(log.str().find(part), std::string::npos) << part;
}

TEST(DistributionAnalysisWeibull, CorrectionTables) {
  EXPECT_EQ(WeibullScaleDivisor(1), 0.693);
  EXPECT_EQ(WeibullScaleDivisor(25), 0.979);  // larger samples: the entry for 16
  EXPECT_EQ(WeibullShapeNumerator(2, 1), 0.275);
  EXPECT_EQ(WeibullShapeNumerator(2, 2), 0.163);
  EXPECT_EQ(WeibullShapeNumerator(16, 2), 0.887);
  // Location targets: exact at the tabulated shapes, linear in between,
  // beta/(beta-1) above 2.5, and 0 for sizes other than 8 and 10.
  EXPECT_EQ(Weibull3PLocationTarget(8, 1, 0.3), 7.150);
  EXPECT_EQ(Weibull3PLocationTarget(8, 1, 1.0), 3.114);
  EXPECT_EQ(Weibull3PLocationTarget(8, 1, 2.5), 1.525);
  EXPECT_EQ(Weibull3PLocationTarget(10, 2, 1.5), 2.312);
  EXPECT_NEAR(Weibull3PLocationTarget(8, 1, 1.25), (3.114 + 2.105) / 2, 1e-12);
  EXPECT_NEAR(Weibull3PLocationTarget(10, 2, 0.75), (11.104 + 3.966) / 2, 1e-12);
  EXPECT_NEAR(Weibull3PLocationTarget(8, 1, 3.0), 1.5, 1e-15);
  EXPECT_EQ(Weibull3PLocationTarget(9, 1, 1.5), 0.0);
  EXPECT_NEAR(Weibull3PLocationTarget(9, 1, 4.0), 4.0 / 3.0, 1e-15);
}

CEngVector<double> Values(std::initializer_list<double> values) {
  CEngVector<double> v(static_cast<int>(values.size()), "Values");
  std::copy(values.begin(), values.end(), v.Data());
  return v;
}

TEST(DistributionMeasures, GoodnessOfFitByHand) {
  const CEngVector<double> F = Values({0.1, 0.5, 0.9});
  // max(|0.1-0|, |1/3-0.1|, |0.5-1/3|, |2/3-0.5|, |0.9-2/3|, |1-0.9|) = 0.2333
  EXPECT_NEAR(KolmogorovSmirnov(F), 0.7 / 3.0, 1e-15);
  // -3 - [1/3 (ln .1 + ln .1) + 1 (ln .5 + ln .5) + 5/3 (ln .9 + ln .9)]
  const double ad = -3.0 - (2.0 / 3 * std::log(0.1) + 2 * std::log(0.5) + 10.0 / 3 * std::log(0.9));
  EXPECT_NEAR(AndersonDarling(F), ad, 1e-14);
  // Chi-square of the sample {0, 2, 10}: edges 2, 4, 6, 8; 2 lies on an edge
  // and counts in no bin: O = (1/3, 0, 0, 0, 1/3).  Density 0.1 on grid
  // points 1, 1.5, 9, 9.5: E1 = 0.05, bins 2-4 have no grid point and keep
  // E1, E5 = 0.05.
  const CEngVector<double> tenth = Values({0.1, 0.1, 0.1, 0.1});
  const double o = 1.0 / 3.0, e = 0.05;
  EXPECT_NEAR(ChiSquare({0.0, 2.0, 10.0}, Values({1.0, 1.5, 9.0, 9.5}), tenth),
              2 * (o - e) * (o - e) / e + 3 * e, 1e-12);
  // A bin with expected frequency 0 makes it infinite: one grid point per bin.
  const CEngVector<double> grid = Values({2.4, 4.8, 7.2, 9.6});
  EXPECT_TRUE(std::isinf(ChiSquare({0.0, 3.0, 10.0}, grid, tenth)));
  EXPECT_TRUE(std::isinf(ChiSquare({0.0, 3.0, 10.0}, grid, Values({0.0, 0.0, 0.0, 0.0}))));
}

TEST(DistributionObjective, MisuseThrowsTheFixedMessages) {
  CFitContext c;
  std::vector<double> sample = {1.0, 2.0, 3.0};
  c.sample = &sample;
  CEngVector<double> x(1, "x"), lo(1, "lo"), up(1, "up"), aux(1, "aux"), g(1, "g");
  CEngVector<int> e;
  int m = 1;
  char status = 0;
  double f = 0.0;
  auto call = [&](int selector, int request) {
    c.selector = selector;
    FEWrapperDE(&c, request, f, x, lo, up, aux, e, e, e, e, m, g, status, 0, nullptr);
  };
  auto thrown = [&](int selector, int request) -> std::string {
    try {
      call(selector, request);
    } catch (const CDistributionError& err) {
      return err.what();
    }
    return "nothing thrown";
  };
  EXPECT_EQ(thrown(4, 1), "Fatal error in FEWrapperDE function");
  for (int selector : {1, 2}) {
    EXPECT_EQ(thrown(selector, 2), "Illegal gradient evaluation call in WEIBULL_3.");
    EXPECT_EQ(thrown(selector, 7), "Invalid compute code in WEIBULL_3.");
  }
  // Evaluation codes 1, 4 and 5 set the constraint to -1.
  call(2, -1);  // initialization: the start and its bounds
  EXPECT_EQ(std::tuple(x(1), lo(1), up(1)), std::tuple(15.0, 0.01, 60.0));
  g(1) = 5.0;
  call(2, 4);
  EXPECT_EQ(g(1), -1.0);
  EXPECT_GT(c.scale, 0.0);
}

}  // namespace
}  // namespace olm
