#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ExpressionTestSupport.hpp"

namespace olm {
namespace {

using Tokens = std::vector<std::pair<std::string, int>>;

// Every token of text with its class, up to the end or a scanning failure
// (recorded as the pair {"<status>", status}).
Tokens Scan(const std::string& text) {
  CExpressionEvaluator e;
  e.SetText(text);
  Tokens out;
  for (int guard = 0; guard < 100; ++guard) {
    const int status = e.NextToken();
    if (status != 0) {
      out.emplace_back("<status>", status);
      break;
    }
    if (e.GetTokenClass() == CExpressionEvaluator::kTokenEnd) break;
    out.emplace_back(e.GetToken(), e.GetTokenClass());
  }
  return out;
}

TEST(ExpressionScannerTest, ClassesOfDelimitersNamesAndNumbers) {
  EXPECT_EQ(Scan("a1_b.c + 12.5*(x)"),
            (Tokens{{"a1_b.c", 2}, {"+", 1}, {"12.5", 3}, {"*", 1}, {"(", 1}, {"x", 2}, {")", 1}}));
  // All eleven delimiters are one-character tokens.
  Tokens delimiters;
  for (char c : std::string("+-*/%^=()@,")) delimiters.emplace_back(std::string(1, c), 1);
  EXPECT_EQ(Scan("+-*/%^=()@,"), delimiters);
  EXPECT_TRUE(Scan(" \t\r\n\v\f ").empty());
}

TEST(ExpressionScannerTest, FunctionNamesAreClassifiedAndCaseMatters) {
  EXPECT_EQ(Scan("sin"), (Tokens{{"sin", 4}}));
  EXPECT_EQ(Scan("Sin"), (Tokens{{"Sin", 2}}));
  for (const char* n : {"ang", "ran", "uv", "mat", "solve", "diff"})
    EXPECT_EQ(CExpressionEvaluator::ClassifyName(n), 5) << n;
  for (const char* n : {"vec", "vec2d", "pnt", "pnt2d", "integ", "root", "root2", "root3"})
    EXPECT_EQ(CExpressionEvaluator::ClassifyName(n), 6) << n;
  for (const char* n : {"sve", "sve2"}) EXPECT_EQ(CExpressionEvaluator::ClassifyName(n), 7) << n;
  for (const char* n : {"tpose", "det", "stdevp", "normalize", "csch", "ln"})
    EXPECT_EQ(CExpressionEvaluator::ClassifyName(n), 4) << n;
  EXPECT_EQ(CExpressionEvaluator::ClassifyName("root4"), 2);
}

TEST(ExpressionScannerTest, FunctionTableNamesAreFunctionsAndReservedNamesAreNot) {
  const auto& names = CExpressionEvaluator::FunctionNames();
  ASSERT_EQ(names.size(), 44u);
  for (std::string_view n : names) EXPECT_GE(CExpressionEvaluator::ClassifyName(n), 4) << n;
  // The reserved names outside the table.
  for (const char* n : {"vec2d", "pnt2d", "sve", "sve2"})
    EXPECT_EQ(std::count(names.begin(), names.end(), n), 0) << n;
}

TEST(ExpressionScannerTest, ExponentSignBelongsToTheNumberOnlyRightAfterTheLetter) {
  EXPECT_EQ(Scan("1.5e-3*2"), (Tokens{{"1.5e-3", 3}, {"*", 1}, {"2", 3}}));
  EXPECT_EQ(Scan("2e3-1"), (Tokens{{"2e3", 3}, {"-", 1}, {"1", 3}}));
  EXPECT_EQ(Scan("1E+5+2"), (Tokens{{"1E+5", 3}, {"+", 1}, {"2", 3}}));
  // A comma or a blank ends a number after an exponent as well.
  EXPECT_EQ(Scan("ran(1e-3,2)")[2], (std::pair<std::string, int>{"1e-3", 3}));
  EXPECT_EQ(Scan("ran(1e-3 ,2)")[2], (std::pair<std::string, int>{"1e-3", 3}));
  // Names have no exponent rule.
  EXPECT_EQ(Scan("ae-1"), (Tokens{{"ae", 2}, {"-", 1}, {"1", 3}}));
  // Letters after digits stay in the number token (and are refused when used).
  EXPECT_EQ(Scan("3x"), (Tokens{{"3x", 3}}));
}

TEST(ExpressionScannerTest, CharactersThatStartNoTokenAreStatusOne) {
  EXPECT_EQ(Scan(".5"), (Tokens{{"<status>", 1}}));
  EXPECT_EQ(Scan("2 # 3"), (Tokens{{"2", 3}, {"<status>", 1}}));
  EXPECT_EQ(Scan("_a"), (Tokens{{"<status>", 1}}));
  EXPECT_EQ(Scan("\xc3\xa9"), (Tokens{{"<status>", 1}}));
  // Inside a name, any character that is no delimiter or blank belongs to it.
  EXPECT_EQ(Scan("a#b c"), (Tokens{{"a#b", 2}, {"c", 2}}));
  // Every white-space character ends a name, line ends included.
  EXPECT_EQ(Scan("a\nb\vc\fd"), (Tokens{{"a", 2}, {"b", 2}, {"c", 2}, {"d", 2}}));
}

TEST(ExpressionScannerTest, TokensLongerThan256CharactersAreRefused) {
  EXPECT_EQ(Scan(std::string(256, 'a')), (Tokens{{std::string(256, 'a'), 2}}));
  EXPECT_EQ(Scan(std::string(257, 'a')), (Tokens{{"<status>", 1}}));
  EXPECT_EQ(Scan("1" + std::string(256, '0')), (Tokens{{"<status>", 1}}));
  EXPECT_EQ(test::StatusOf(std::string(300, 'b')), 1);
}

TEST(ExpressionScannerTest, ScanningStateBelongsToEachEvaluator) {
  // Two evaluators scanning interleaved do not disturb each other.
  CExpressionEvaluator a, b;
  a.SetText("1e-2");
  b.SetText("x-1");
  ASSERT_EQ(b.NextToken(), 0);
  ASSERT_EQ(a.NextToken(), 0);
  EXPECT_EQ(a.GetToken(), "1e-2");
  ASSERT_EQ(b.NextToken(), 0);
  EXPECT_EQ(b.GetToken(), "-");
}

}  // namespace
}  // namespace olm
