#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>

#include "ExpressionTestSupport.hpp"

namespace olm {
namespace {

using test::ExpectScalars;
using test::ExpectStatuses;
using test::ScalarOf;
using test::StatusOf;

TEST(ExpressionParserTest, AssignmentWithAndWithoutBlanks) {
  CExpressionEvaluator e;
  EXPECT_EQ(ScalarOf(e, "x = 2"), 2.0);
  EXPECT_EQ(ScalarOf(e, "x=3"), 3.0);
  EXPECT_EQ(e.FindVariable("x")->GetScalar(), 3.0);
  // The pushed-back 2 is left over after the expression x; names are case-sensitive.
  ExpectStatuses({{"x 2", 1}, {"X", 4}}, &e);
  EXPECT_EQ(ScalarOf(e, "x"), 3.0);
}

TEST(ExpressionParserTest, PrecedenceAndAssociativity) {
  // "2*3 % 4" is one level: (2*3) % 4.
  const test::Scalars cases = {{"1+2*3", 7},   {"(1+2)*3", 9}, {"10-4-3", 3},       {"64/4/2", 8},
                               {"2^3^2", 512}, {"-2^2", -4},   {"2^(-1)", 0.5},     {"2*-3", -6},
                               {"2--3", 5},    {"+4", 4},      {"1.5e-3*2", 0.003}, {"2e3-1", 1999},
                               {"2*3 % 4", 2}};
  ExpectScalars(cases);
}

TEST(ExpressionParserTest, StatusCodesOfTheParser) {
  const test::Statuses cases = {
      {".5", 1},  {"2^-1", 1},  {"2---3", 1},    {"2 +", 1},       {"(1+2))", 1},  {"(1+2", 2},
      {"", 3},    {" \t ", 3},  {"nosuch+1", 4}, {"3x", 5},        {"1.2.3", 5},   {"1e", 5},
      {"sin", 6}, {"sin 1", 6}, {"mat", 6},      {"ang(1 2)", 10}, {"sin(1,2)", 2}};
  ExpectStatuses(cases);
  EXPECT_EQ(ScalarOf("sin(0)"), 0.0);
  // "^" is not taken after a non-scalar: what encloses it meets the "^";
  // the vector-equation forms are refused.
  const test::Statuses refused = {{"mat(1,1,2)^2", 1},
                                  {"(pnt(1,2,3))^2", 1},
                                  {"(mat(1,1,2)^2)", 2},
                                  {"sin(mat(1,1,2)^2)", 2},
                                  {"ang(pnt(1,2,3)^2, pnt(1,0,0))", 10},
                                  {"2^mat(1,1,2)", 12},
                                  {"sve(pnt(1,2,3), a, b)", 23},
                                  {"sve2(1, 2, a)", 24},
                                  {"1 + sve", 23}};
  ExpectStatuses(refused);
}

TEST(ExpressionParserTest, ArgumentListsCountTheirArguments) {
  // ";" does not end the number "1;2"; raw function texts run to the comma or
  // parenthesis at their own level.
  const test::Statuses cases = {{"pnt(1,2)", 10}, {"pnt(1,2,3,4)", 2}, {"pnt(1,2,3", 10},
                                {"ran(1;2)", 5},  {"pnt2d(1,2)", 0},   {"integ(x^2, 0", 10},
                                {"integ(x^2", 2}, {"diff((x, 1)", 2}};
  ExpectStatuses(cases);
  EXPECT_NEAR(ScalarOf("integ(max(mat(1,2,x,2*x)), 0, 1)"), 1.0, 1e-5);
}

TEST(ExpressionParserTest, StatementLengthAndNestingLimits) {
  // 1+1+...: 511 characters evaluate, 512 too, 513 are refused before scanning.
  std::string s = "1";
  while (s.size() < 511) s += "+1";
  ASSERT_EQ(s.size(), 511u);
  EXPECT_EQ(ScalarOf(s), 256.0);
  EXPECT_EQ(ScalarOf(s + " "), 256.0);
  ExpectStatuses({{s + "  ", 13}, {std::string(513, '#'), 13}, {std::string(513, ' '), 13}});
  // Recursion follows the parentheses; the statement limit bounds it.
  EXPECT_EQ(ScalarOf(std::string(255, '(') + "7" + std::string(255, ')')), 7.0);
  std::string powers = "1";
  while (powers.size() < 510) powers += "^1";
  EXPECT_EQ(ScalarOf(powers), 1.0);
  // The deepest recursion a statement allows.
  ExpectStatuses({{std::string(300, '(') + "1", 2}, {std::string(511, '(') + "1", 2}});
  std::string sines = "1";
  double expected = 1.0;
  for (int k = 0; k < 101; ++k) {
    sines = "sin(" + sines + ")";
    expected = std::sin(expected);
  }
  ASSERT_EQ(sines.size(), 506u);
  EXPECT_DOUBLE_EQ(ScalarOf(sines), expected);
}

TEST(ExpressionParserTest, NamesOnTheLeftOfAssignment) {
  CExpressionEvaluator e;
  EXPECT_EQ(ScalarOf(e, "ds1_c2_raw = 4"), 4.0);
  EXPECT_EQ(ScalarOf(e, "ds1_c2_raw * 2"), 8.0);
  // A function name on the left is no name token: "sin" without "(".
  ExpectStatuses({{"a.b = 1", 14}, {"a#b = 1", 14}, {"sin = 1", 6}, {"x = y = 3", 4}}, &e);
  EXPECT_EQ(e.FindVariable("a.b"), nullptr);
  EXPECT_EQ(ScalarOf(e, "y = 1"), 1.0);
  ExpectStatuses({{"x = y = 3", 1}, {"x =", 1}}, &e);
  EXPECT_EQ(e.FindVariable("x"), nullptr);
}

TEST(ExpressionParserTest, FailureKeepsEarlierVariablesAndResultText) {
  CExpressionEvaluator e;
  CExpressionValue v;
  ASSERT_EQ(e.Evaluate(" a =  2 * 3 ", v), 0);
  EXPECT_EQ(std::pair(v.GetText(), e.FindVariable("a")->GetText()),
            std::pair(std::string("2 * 3"), std::string("2 * 3")));
  EXPECT_EQ(e.Evaluate("a = 1/0", v), 9);
  EXPECT_EQ(e.GetStatus(), 9);
  EXPECT_TRUE(v.IsScalar() && v.GetScalar() == 0.0);
  EXPECT_EQ(e.FindVariable("a")->GetScalar(), 6.0);
  // EvaluateScalar gives the scalar part.
  double x = -1.0;
  // An operand cannot begin with "%"; a matrix has no scalar part.
  for (const auto& [text, status, value] :
       {std::tuple{"x=%g", 1, -1.0}, {"x=0.25", 0, 0.25}, {"mat(1,1,5)", 0, 0.0}}) {
    EXPECT_EQ(e.EvaluateScalar(text, x), status) << text;
    EXPECT_EQ(x, value) << text;
  }
}

}  // namespace
}  // namespace olm
