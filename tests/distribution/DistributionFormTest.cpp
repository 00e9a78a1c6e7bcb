// The rules of the distribution analysis dialog: the sample from the grid's
// cells, the statistics, the option vector and the engine input.
#include <gtest/gtest.h>

#include "distribution/DistributionForm.hpp"
#include "numerics/ExpressionEvaluator.hpp"

namespace olm {
namespace {

std::vector<double> Read(const std::vector<std::string>& cells, int* bad = nullptr,
                         bool single = true) {
  CExpressionEvaluator evaluator;
  std::vector<double> sample;
  const int row = CDistributionForm::ReadSample(cells, evaluator, sample, single);
  if (bad) *bad = row;
  return sample;
}

TEST(DistributionFormTest, SampleEndsAtAnEmptyCellOrAZero) {
  EXPECT_EQ(Read({"1", "2", "0", "4"}), (std::vector<double>{1, 2}));
  EXPECT_EQ(Read({"1", "  ", "3"}), (std::vector<double>{1}));
  EXPECT_EQ(Read({"2*3", "sqrt(16)", "-1"}), (std::vector<double>{6, 4, -1}));
  // At most the 25 grid rows.
  EXPECT_EQ(Read(std::vector<std::string>(30, "7")).size(), 25u);
}

TEST(DistributionFormTest, ValuesAreKeptInSinglePrecisionForComputing) {
  const std::vector<double> single = Read({"434.7"});
  ASSERT_EQ(single.size(), 1u);
  EXPECT_EQ(single[0], static_cast<double>(434.7f));
  EXPECT_NE(single[0], 434.7);
  EXPECT_EQ(Read({"434.7"}, nullptr, false), (std::vector<double>{434.7}));
}

TEST(DistributionFormTest, AnInvalidCellNamesItsRow) {
  int bad = 0;
  const std::vector<double> sample = Read({"1", "2", "3 +", "4"}, &bad);
  EXPECT_EQ(bad, 3);
  EXPECT_EQ(sample, (std::vector<double>{1, 2}));
  Read({"vec(1,2)"}, &bad);  // not a number
  EXPECT_EQ(bad, 1);
  EXPECT_EQ(CDistributionForm::InvalidRowMessage(3), "Error: Data Pt.: 3 has invalid expression");
}

TEST(DistributionFormTest, StatisticsUseTheMiddleValuesAndDivisorN) {
  const CSampleStatistics odd = CDistributionForm::Statistics({5, 1, 3});
  EXPECT_EQ(odd.minimum, 1);
  EXPECT_EQ(odd.maximum, 5);
  EXPECT_EQ(odd.median, 3);
  EXPECT_EQ(odd.mean, 3);
  EXPECT_DOUBLE_EQ(odd.standardDeviation, std::sqrt(8.0 / 3.0));
  EXPECT_DOUBLE_EQ(odd.coefficientOfVariation, std::sqrt(8.0 / 3.0) / 3.0 * 100.0);
  const CSampleStatistics even = CDistributionForm::Statistics({4, 1, 3, 10});
  EXPECT_EQ(even.median, 3.5);
  EXPECT_EQ(CDistributionForm::Statistics({}).mean, 0.0);
}

TEST(DistributionFormTest, OptionVectorMapsToTheFileOptions) {
  std::array<double, kDistributionCount + 1> v{};
  v[1] = 1, v[2] = 11, v[6] = 2.5;
  const CDistributionOptions o = CDistributionForm::OptionsOf(v);
  EXPECT_EQ(o.weibull2p, 1);
  EXPECT_EQ(o.weibull3p, 11);
  EXPECT_EQ(o.generalizedExponentialBound, 2.5);
  EXPECT_EQ(CDistributionForm::OptionVector(o), v);
  v[1] = 7, v[2] = 5;  // other values switch the corrections off
  EXPECT_EQ(CDistributionForm::OptionsOf(v).weibull2p, 0);
  EXPECT_EQ(CDistributionForm::OptionsOf(v).weibull3p, 0);

  const CDistributionInput in = CDistributionForm::BuildInput({1, 2, 3}, o, 0, 10);
  ASSERT_EQ(in.requests.size(), 6u);
  for (int code = 0; code < kDistributionCount; ++code) EXPECT_EQ(in.requests[code].code, code);
  EXPECT_EQ(in.requests[kWeibull2P].option, 1);
  EXPECT_EQ(in.requests[kWeibull3P].option, 11);
  EXPECT_EQ(in.requests[kGeneralizedExponential].option, 2.5);
  EXPECT_EQ(in.lower, 0);
  EXPECT_EQ(in.upper, 10);
  EXPECT_TRUE(CDistributionForm::HasOption(kWeibull3P));
  EXPECT_FALSE(CDistributionForm::HasOption(kNormal));
}

}  // namespace
}  // namespace olm
