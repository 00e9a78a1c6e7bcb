// The shared text helpers of the file readers and the command line.
#include "numerics/TextFields.hpp"

#include <gtest/gtest.h>

namespace olm::test {
namespace {

using Strings = std::vector<std::string>;

TEST(TextFieldsTest, FieldsSplitOnRunsOfSeparatorsAndPartsOnEachOne) {
  EXPECT_EQ(SplitFields(" *Map, master\t3 ,,\r\n"), (Strings{"*Map", "master", "3"}));
  EXPECT_EQ(SplitFields(" \t,"), Strings{});
  EXPECT_EQ(Split("a,,b", ','), (Strings{"a", "", "b"}));
  EXPECT_EQ(Split("", ':'), Strings{""});
  EXPECT_EQ(Lower("*DEFINE_Curve 12"), "*define_curve 12");
}

TEST(TextFieldsTest, NumbersFillTheWholeFieldAndAreFinite) {
  double v = 0;
  for (const char* good : {"1", "+2.5", "-3e-2", "1e308"})
    EXPECT_TRUE(ParseFiniteNumber(good, v)) << good;
  EXPECT_TRUE(ParseFiniteNumber("+2.5", v) && v == 2.5);
  for (const char* bad : {"", "+", " 1", "1 ", "1,5", "2x", "inf", "nan", "1e400", "++1", "0x10"})
    EXPECT_FALSE(ParseFiniteNumber(bad, v)) << bad;
}

}  // namespace
}  // namespace olm::test
