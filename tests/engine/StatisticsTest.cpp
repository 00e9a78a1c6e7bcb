#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "engine/Statistics.hpp"

namespace olm::test {
namespace {

TEST(DescriptiveStatistics, OddCountMedianIsTheMiddleValue) {
  const std::vector<double> v = {9, 1, 5, 3, 7};
  CDescriptiveStatistics s;
  ASSERT_TRUE(ComputeStatistics(v, s));
  EXPECT_EQ(s.count, 5);
  EXPECT_DOUBLE_EQ(s.median, 5.0);
  EXPECT_DOUBLE_EQ(s.minimum, 1.0);
  EXPECT_DOUBLE_EQ(s.maximum, 9.0);
  EXPECT_DOUBLE_EQ(s.mean, 5.0);
  // Population form: sum of squares 16+16+4+4+0 = 40 over 5.
  EXPECT_DOUBLE_EQ(s.standardDeviation, std::sqrt(8.0));
}

TEST(DescriptiveStatistics, EvenCountMedianIsTheMeanOfTheTwoMiddleValues) {
  const std::vector<double> v = {4, 1, 3, 10};
  CDescriptiveStatistics s;
  ASSERT_TRUE(ComputeStatistics(v, s));
  EXPECT_DOUBLE_EQ(s.median, 3.5);
  EXPECT_DOUBLE_EQ(s.mean, 4.5);
  // Deviations -3.5 -0.5 -1.5 5.5: squares 12.25 + 0.25 + 2.25 + 30.25 = 45 over 4.
  EXPECT_DOUBLE_EQ(s.standardDeviation, 1.5 * std::sqrt(5.0));
}

TEST(DescriptiveStatistics, SingleValue) {
  CVector<double> v(1, 2.5);
  CDescriptiveStatistics s;
  ASSERT_TRUE(ComputeStatistics(v, s));
  EXPECT_EQ(s.median, 2.5);
  EXPECT_EQ(s.mean, 2.5);
  EXPECT_EQ(s.minimum, 2.5);
  EXPECT_EQ(s.maximum, 2.5);
  EXPECT_EQ(s.standardDeviation, 0.0);
}

TEST(DescriptiveStatistics, EmptyInputIsRefused) {
  CDescriptiveStatistics s;
  s.mean = 7;
  EXPECT_FALSE(ComputeStatistics(std::vector<double>{}, s));
  EXPECT_EQ(s.count, 0);
  EXPECT_EQ(s.mean, 0.0);
}

TEST(DescriptiveStatistics, MedianInPlaceRefusesNaN) {
  std::vector<double> v = {1, std::numeric_limits<double>::quiet_NaN(), 3};
  double m = 9;
  EXPECT_FALSE(MedianInPlace(v, m));
  std::vector<double> w = {8, 2, 6, 4};
  ASSERT_TRUE(MedianInPlace(w, m));
  EXPECT_DOUBLE_EQ(m, 5.0);
}

TEST(ChauvenetRatio, TableAnchorsAndInterpolation) {
  EXPECT_DOUBLE_EQ(ChauvenetRatio(4), 1.65);
  EXPECT_DOUBLE_EQ(ChauvenetRatio(5), 1.65);
  EXPECT_DOUBLE_EQ(ChauvenetRatio(6), 1.725);
  EXPECT_DOUBLE_EQ(ChauvenetRatio(7), 1.8);
  EXPECT_DOUBLE_EQ(ChauvenetRatio(10), 1.96);
  EXPECT_DOUBLE_EQ(ChauvenetRatio(20), 2.23);
  EXPECT_DOUBLE_EQ(ChauvenetRatio(99), 2.57 + 49 * 0.24 / 50);
  // The segment from 100 restarts at 2.82, not at the 2.81 the one below aims for.
  EXPECT_DOUBLE_EQ(ChauvenetRatio(100), 2.82);
  EXPECT_DOUBLE_EQ(ChauvenetRatio(200), 2.98);
  EXPECT_DOUBLE_EQ(ChauvenetRatio(400), 3.215);
  EXPECT_DOUBLE_EQ(ChauvenetRatio(500), 3.29);
  EXPECT_DOUBLE_EQ(ChauvenetRatio(1000), 3.29);
}

TEST(ChauvenetRatio, InterpolationIsZeroForAnEmptySegment) {
  EXPECT_EQ(InterpolateRatio(5, 7, 1.8, 7, 2.0), 0.0);
  EXPECT_EQ(InterpolateRatio(5, 8, 1.8, 7, 2.0), 0.0);
  EXPECT_DOUBLE_EQ(InterpolateRatio(6, 5, 1.0, 7, 2.0), 1.5);
}

}  // namespace
}  // namespace olm::test
