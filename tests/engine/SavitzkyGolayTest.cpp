#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/SavitzkyGolay.hpp"

namespace olm::test {
namespace {

using Set = std::vector<long long>;

TEST(SavitzkyGolay, QuadraticSetsFollowTheClosedForm) {
  EXPECT_EQ(SavitzkyGolayIntegers(5, 3), (Set{-3, 12, 17, 12, -3}));
  EXPECT_EQ(SavitzkyGolayIntegers(7, 3), (Set{-2, 3, 6, 7, 6, 3, -2}));
  EXPECT_EQ(SavitzkyGolayIntegers(9, 3), (Set{-21, 14, 39, 54, 59, 54, 39, 14, -21}));
}

TEST(SavitzkyGolay, QuarticSetsMatchThePublishedIntegers) {
  EXPECT_EQ(SavitzkyGolayIntegers(7, 5), (Set{5, -30, 75, 131, 75, -30, 5}));
  EXPECT_EQ(SavitzkyGolayIntegers(9, 5), (Set{15, -55, 30, 135, 179, 135, 30, -55, 15}));
  EXPECT_EQ(SavitzkyGolayIntegers(11, 5), (Set{18, -45, -10, 60, 120, 143, 120, 60, -10, -45, 18}));
  EXPECT_EQ(SavitzkyGolayIntegers(13, 5),
            (Set{110, -198, -135, 110, 390, 600, 677, 600, 390, 110, -135, -198, 110}));
}

// Independent of any table: a set of order p reproduces, at the middle, every
// polynomial of degree p on equally spaced points (and the divisor is the sum).
TEST(SavitzkyGolay, EverySetReproducesPolynomialsOfItsOrder) {
  for (int order : {3, 5}) {
    for (int window = order == 3 ? 5 : 7; window <= 25; window += 2) {
      const CSavitzkyGolaySet& set = SavitzkyGolaySet(window, order);
      ASSERT_EQ(static_cast<int>(set.c.size()), window);
      const int k = window / 2;
      for (int power = 0; power <= order; ++power) {
        // p(j) = (j + 3)^power, evaluated at j = 0: 3^power.
        double sum = 0.0;
        for (int j = -k; j <= k; ++j)
          sum += set.c[static_cast<size_t>(j + k)] * std::pow(j + 3.0, power);
        EXPECT_NEAR(sum / set.sum, std::pow(3.0, power), 1e-9 * std::pow(3.0 + k, power))
            << "order " << order << " window " << window << " power " << power;
      }
      // ...but not degree order + 1 (a set of a lower order would).
      double sum = 0.0;
      for (int j = -k; j <= k; ++j)
        sum += set.c[static_cast<size_t>(j + k)] * std::pow(static_cast<double>(j), order + 1);
      EXPECT_GT(std::fabs(sum / set.sum), 1e-6) << "order " << order << " window " << window;
    }
  }
}

TEST(SavitzkyGolay, UnsupportedWindowsAndOrdersGiveNoSet) {
  EXPECT_TRUE(SavitzkyGolayIntegers(4, 3).empty());
  EXPECT_TRUE(SavitzkyGolayIntegers(27, 3).empty());
  EXPECT_TRUE(SavitzkyGolayIntegers(5, 5).empty());
  EXPECT_TRUE(SavitzkyGolayIntegers(9, 4).empty());
  EXPECT_TRUE(SavitzkyGolaySet(9, 4).c.empty());
}

}  // namespace
}  // namespace olm::test
