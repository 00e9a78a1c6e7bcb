// Splitting lines into fields, reading decimal numbers, classing lines.
#include "editing/TextScan.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace olm {
namespace {

using V = std::vector<std::string>;

V Fields(const std::string& line, CDelimiterSet d = {}) {
  V out;
  CFieldSplitter(d).Split(line, [&](int index, std::string_view f) {
    EXPECT_EQ(index, static_cast<int>(out.size()) + 1);
    out.emplace_back(f);
    return true;
  });
  return out;
}

TEST(FieldSplitterTest, BlankRunsHardDelimitersQuotesAndTrimming) {
  const CDelimiterSet all{}, semicolon{false, false, false, ';'}, tab{false, false, true, '\0'},
      comma{false, true, false, '\0'};
  const std::tuple<std::string, CDelimiterSet, V> cases[] = {
      // A run of blanks separates one field, so aligned columns read.
      {"   1.5      2.25   -3  ", all, {"1.5", "2.25", "-3"}},
      {"1\t\t2", all, {"1", "2"}},
      // Hard delimiters enclose empty fields.
      {"1,,3", all, {"1", "", "3"}},
      {",1", all, {"", "1"}},
      {"1,2,", all, {"1", "2", ""}},
      {"1 , 2", all, {"1", "2"}},
      {"a;b;;c", semicolon, {"a", "b", "", "c"}},
      // A double quote always separates.
      {"\"Traverse abs.\"\t\"mm\"", tab, {"Traverse abs.", "mm"}},
      {"\"a\",\"b\"", all, {"a", "b"}},
      // Blanks that are no delimiter are trimmed from the fields.
      {" 1 , 2 x ", comma, {"1", "2 x"}},
  };
  for (const auto& [line, delimiters, fields] : cases)
    EXPECT_EQ(Fields(line, delimiters), fields) << line;
  int seen = 0;
  CFieldSplitter(CDelimiterSet{}).Split("1 2 3 4", [&](int index, std::string_view) {
    ++seen;
    return index < 2;  // stops when asked
  });
  EXPECT_EQ(seen, 2);
}

TEST(ParseDecimalTest, AcceptsDecimalNumbersOnly) {
  double v = 0;
  // clang-format off
  const std::pair<const char*, double> good[] = {
      {"0", 0.0}, {"-2.5", -2.5}, {"+7", 7.0}, {"1e3", 1000.0}, {"6.8902e-005", 6.8902e-5},
      {"1.64994E-01", 0.164994}, {".5", 0.5}, {"5.", 5.0}, {"-0.000", -0.0}, {"00012.5000", 12.5},
      {"1.7976931348623157e308", 1.7976931348623157e308}};
  // clang-format on
  for (const auto& [text, value] : good) {
    ASSERT_TRUE(ParseDecimal(text, v)) << text;
    EXPECT_EQ(v, value) << text;
  }
  for (const char* bad :
       {"",      "-",   "+",   ".",    "e5",  "1e", "1e+", "abc", "1.0x",  "3x",
        "1.2.3", "inf", "nan", "0x10", "1,5", " 1", "1 ",  "--1", "1e5.5", "1e400",
        // characters next to the digits inside and after a run of eight
        "1234567/9", "12345678:", "0.1234567:", "1234\x80" "5678", "12345678901234567 "})
    EXPECT_FALSE(ParseDecimal(bad, v)) << bad;
}

TEST(ParseDecimalTest, RoundsCorrectlyLikeStrtod) {
  std::mt19937_64 gen(42);
  std::uniform_int_distribution<int> digits(1, 25), expo(-40, 40), digit(0, 9);
  for (int k = 0; k < 200000; ++k) {
    std::string s = (k % 3 == 0) ? "-" : "";
    const int n = digits(gen), point = std::uniform_int_distribution<int>(0, n)(gen);
    for (int i = 0; i < n; ++i) {
      if (i == point && i > 0) s += '.';
      s += static_cast<char>('0' + digit(gen));
    }
    if (k % 2) s += "e" + std::to_string(expo(gen));
    double ours = 0;
    ASSERT_TRUE(ParseDecimal(s, ours)) << s;
    ASSERT_EQ(ours, std::strtod(s.c_str(), nullptr)) << s;
  }
}

TEST(LineClassTest, CommentsAndBlankLines) {
  for (const char* comment : {"$$ note", "$$"}) EXPECT_TRUE(IsCommentLine(comment));
  for (const char* other : {" $$", "$1"}) EXPECT_FALSE(IsCommentLine(other));
  for (const char* blank : {"", " \t\r"}) EXPECT_TRUE(IsBlankLine(blank));
  EXPECT_FALSE(IsBlankLine(" 1"));
}

}  // namespace
}  // namespace olm
