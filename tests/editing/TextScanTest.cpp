#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "editing/TextScan.hpp"

namespace olm {
namespace {

std::vector<std::string> Fields(const std::string& line, CDelimiterSet d = {}) {
  std::vector<std::string> out;
  CFieldSplitter(d).Split(line, [&](int index, std::string_view f) {
    EXPECT_EQ(index, static_cast<int>(out.size()) + 1);
    out.emplace_back(f);
    return true;
  });
  return out;
}

using V = std::vector<std::string>;

TEST(FieldSplitterTest, RunsOfBlanksSeparateOneFieldSoAlignedColumnsRead) {
  EXPECT_EQ(Fields("   1.5      2.25   -3  "), (V{"1.5", "2.25", "-3"}));
  EXPECT_EQ(Fields("1\t\t2"), (V{"1", "2"}));
}

TEST(FieldSplitterTest, HardDelimitersEncloseEmptyFields) {
  EXPECT_EQ(Fields("1,,3"), (V{"1", "", "3"}));
  EXPECT_EQ(Fields(",1"), (V{"", "1"}));
  EXPECT_EQ(Fields("1,2,"), (V{"1", "2", ""}));
  EXPECT_EQ(Fields("1 , 2"), (V{"1", "2"}));
  CDelimiterSet semicolon{false, false, false, ';'};
  EXPECT_EQ(Fields("a;b;;c", semicolon), (V{"a", "b", "", "c"}));
}

TEST(FieldSplitterTest, DoubleQuoteAlwaysSeparates) {
  CDelimiterSet tabOnly{false, false, true, '\0'};
  EXPECT_EQ(Fields("\"Traverse abs.\"\t\"mm\"", tabOnly), (V{"Traverse abs.", "mm"}));
  EXPECT_EQ(Fields("\"a\",\"b\""), (V{"a", "b"}));
}

TEST(FieldSplitterTest, NonDelimiterBlanksAreTrimmedFromFields) {
  CDelimiterSet commaOnly{false, true, false, '\0'};
  EXPECT_EQ(Fields(" 1 , 2 x ", commaOnly), (V{"1", "2 x"}));
}

TEST(FieldSplitterTest, StopsWhenAsked) {
  int seen = 0;
  CFieldSplitter(CDelimiterSet{}).Split("1 2 3 4", [&](int index, std::string_view) {
    ++seen;
    return index < 2;
  });
  EXPECT_EQ(seen, 2);
}

TEST(ParseDecimalTest, AcceptsDecimalNumbersOnly) {
  double v = 0;
  struct Case {
    const char* text;
    double value;
  };
  for (const Case& c : {Case{"0", 0.0}, Case{"-2.5", -2.5}, Case{"+7", 7.0}, Case{"1e3", 1000.0},
                        Case{"6.8902e-005", 6.8902e-5}, Case{"1.64994E-01", 0.164994},
                        Case{".5", 0.5}, Case{"5.", 5.0}, Case{"-0.000", -0.0},
                        Case{"00012.5000", 12.5}}) {
    ASSERT_TRUE(ParseDecimal(c.text, v)) << c.text;
    EXPECT_EQ(v, c.value) << c.text;
  }
  for (const char* bad : {"", "-", "+", ".", "e5", "1e", "1e+", "abc", "1.0x", "3x", "1.2.3",
                          "inf", "nan", "0x10", "1,5", " 1", "1 ", "--1", "1e5.5"}) {
    EXPECT_FALSE(ParseDecimal(bad, v)) << bad;
  }
}

TEST(ParseDecimalTest, RoundsCorrectlyLikeStrtod) {
  std::mt19937_64 gen(42);
  std::uniform_int_distribution<int> digits(1, 25), expo(-40, 40), digit(0, 9);
  char text[80];
  for (int k = 0; k < 200000; ++k) {
    std::string s = (k % 3 == 0) ? "-" : "";
    const int n = digits(gen), point = std::uniform_int_distribution<int>(0, n)(gen);
    for (int i = 0; i < n; ++i) {
      if (i == point && i > 0) s += '.';
      s += static_cast<char>('0' + digit(gen));
    }
    if (k % 2) s += "e" + std::to_string(expo(gen));
    std::snprintf(text, sizeof text, "%s", s.c_str());
    double ours = 0;
    ASSERT_TRUE(ParseDecimal(s, ours)) << s;
    const double ref = std::strtod(text, nullptr);
    ASSERT_EQ(ours, ref) << s;
  }
}

TEST(ParseDecimalTest, OutOfRangeIsRefused) {
  double v;
  EXPECT_FALSE(ParseDecimal("1e400", v));
  EXPECT_TRUE(ParseDecimal("1.7976931348623157e308", v));
}

TEST(LineClassTest, CommentsAndBlankLines) {
  EXPECT_TRUE(IsCommentLine("$$ note"));
  EXPECT_TRUE(IsCommentLine("$$"));
  EXPECT_FALSE(IsCommentLine(" $$"));
  EXPECT_FALSE(IsCommentLine("$1"));
  EXPECT_TRUE(IsBlankLine(""));
  EXPECT_TRUE(IsBlankLine(" \t\r"));
  EXPECT_FALSE(IsBlankLine(" 1"));
}

}  // namespace
}  // namespace olm
