#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ExpressionTestSupport.hpp"

namespace olm {
namespace {

using test::ScalarOf;
using test::StatusOf;
using test::ValueOf;

TEST(ExpressionParserTest, AssignmentWithAndWithoutBlanks) {
  CExpressionEvaluator e;
  EXPECT_EQ(ScalarOf(e, "x = 2"), 2.0);
  ASSERT_NE(e.FindVariable("x"), nullptr);
  EXPECT_EQ(e.FindVariable("x")->GetScalar(), 2.0);
  EXPECT_EQ(ScalarOf(e, "x=3"), 3.0);
  EXPECT_EQ(e.FindVariable("x")->GetScalar(), 3.0);
  // The pushed-back 2 is left over after the expression x.
  EXPECT_EQ(StatusOf(e, "x 2"), 1);
  EXPECT_EQ(ScalarOf(e, "x"), 3.0);
  // Names are case-sensitive.
  EXPECT_EQ(StatusOf(e, "X"), 4);
}

TEST(ExpressionParserTest, PrecedenceAndAssociativity) {
  EXPECT_EQ(ScalarOf("1+2*3"), 7.0);
  EXPECT_EQ(ScalarOf("(1+2)*3"), 9.0);
  EXPECT_EQ(ScalarOf("10-4-3"), 3.0);
  EXPECT_EQ(ScalarOf("64/4/2"), 8.0);
  EXPECT_EQ(ScalarOf("2^3^2"), 512.0);
  EXPECT_EQ(ScalarOf("-2^2"), -4.0);
  EXPECT_EQ(ScalarOf("2^(-1)"), 0.5);
  EXPECT_EQ(ScalarOf("2*-3"), -6.0);
  EXPECT_EQ(ScalarOf("2--3"), 5.0);
  EXPECT_EQ(ScalarOf("+4"), 4.0);
  EXPECT_EQ(ScalarOf("1.5e-3*2"), 0.003);
  EXPECT_EQ(ScalarOf("2e3-1"), 1999.0);
  EXPECT_EQ(ScalarOf("2*3 % 4"), 2.0);  // one level: (2*3) % 4
}

TEST(ExpressionParserTest, StatusCodesOfTheParser) {
  EXPECT_EQ(StatusOf(".5"), 1);
  EXPECT_EQ(StatusOf("2^-1"), 1);
  EXPECT_EQ(StatusOf("2---3"), 1);
  EXPECT_EQ(StatusOf("2 +"), 1);
  EXPECT_EQ(StatusOf("(1+2))"), 1);
  EXPECT_EQ(StatusOf("(1+2"), 2);
  EXPECT_EQ(StatusOf(""), 3);
  EXPECT_EQ(StatusOf(" \t "), 3);
  EXPECT_EQ(StatusOf("nosuch+1"), 4);
  EXPECT_EQ(StatusOf("3x"), 5);
  EXPECT_EQ(StatusOf("1.2.3"), 5);
  EXPECT_EQ(StatusOf("1e"), 5);
  EXPECT_EQ(StatusOf("sin"), 6);
  EXPECT_EQ(StatusOf("sin 1"), 6);
  EXPECT_EQ(StatusOf("mat"), 6);
  EXPECT_EQ(StatusOf("ang(1 2)"), 10);
  EXPECT_EQ(StatusOf("sin(1,2)"), 2);
  EXPECT_EQ(ScalarOf("sin(0)"), 0.0);
}

TEST(ExpressionParserTest, PowerIsRefusedAfterANonScalar) {
  EXPECT_EQ(StatusOf("mat(1,1,2)^2"), 1);
  EXPECT_EQ(StatusOf("(pnt(1,2,3))^2"), 1);
  EXPECT_EQ(StatusOf("2^mat(1,1,2)"), 12);
}

TEST(ExpressionParserTest, StatementLengthLimit) {
  // 1+1+...: 511 characters evaluate, 512 too, 513 are refused before scanning.
  std::string s = "1";
  while (s.size() < 511) s += "+1";
  ASSERT_EQ(s.size(), 511u);
  EXPECT_EQ(ScalarOf(s), 256.0);
  EXPECT_EQ(ScalarOf(s + " "), 256.0);
  EXPECT_EQ(StatusOf(s + "  "), 13);
  EXPECT_EQ(StatusOf(std::string(513, '#')), 13);
  EXPECT_EQ(StatusOf(std::string(513, ' ')), 13);
}

TEST(ExpressionParserTest, DeepNestingWithinTheLimitEvaluates) {
  // Recursion follows the parentheses; the statement limit bounds it.
  const std::string nested = std::string(255, '(') + "7" + std::string(255, ')');
  EXPECT_EQ(ScalarOf(nested), 7.0);
  std::string powers = "1";
  while (powers.size() < 510) powers += "^1";
  EXPECT_EQ(ScalarOf(powers), 1.0);
  EXPECT_EQ(StatusOf(std::string(300, '(') + "1"), 2);
  // The deepest recursion a statement allows.
  EXPECT_EQ(StatusOf(std::string(511, '(') + "1"), 2);
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
  EXPECT_EQ(StatusOf(e, "a.b = 1"), 14);
  EXPECT_EQ(StatusOf(e, "a#b = 1"), 14);
  EXPECT_EQ(e.FindVariable("a.b"), nullptr);
  // A function name on the left is no name token: "sin" without "(".
  EXPECT_EQ(StatusOf(e, "sin = 1"), 6);
  EXPECT_EQ(StatusOf(e, "x = y = 3"), 4);
  EXPECT_EQ(ScalarOf(e, "y = 1"), 1.0);
  EXPECT_EQ(StatusOf(e, "x = y = 3"), 1);
  EXPECT_EQ(e.FindVariable("x"), nullptr);
  EXPECT_EQ(StatusOf(e, "x ="), 1);
}

TEST(ExpressionParserTest, FailureKeepsEarlierVariablesAndResultText) {
  CExpressionEvaluator e;
  CExpressionValue v;
  ASSERT_EQ(e.Evaluate(" a =  2 * 3 ", v), 0);
  EXPECT_EQ(v.GetText(), "2 * 3");
  EXPECT_EQ(e.FindVariable("a")->GetText(), "2 * 3");
  EXPECT_EQ(e.Evaluate("a = 1/0", v), 9);
  EXPECT_EQ(e.GetStatus(), 9);
  EXPECT_TRUE(v.IsScalar());
  EXPECT_EQ(v.GetScalar(), 0.0);
  EXPECT_EQ(e.FindVariable("a")->GetScalar(), 6.0);
}

TEST(ExpressionParserTest, EvaluateScalarGivesTheScalarPart) {
  CExpressionEvaluator e;
  double x = -1.0;
  EXPECT_EQ(e.EvaluateScalar("x=%g", x), 1);  // an operand cannot begin with "%"
  EXPECT_EQ(x, -1.0);
  EXPECT_EQ(e.EvaluateScalar("x=0.25", x), 0);
  EXPECT_EQ(x, 0.25);
  EXPECT_EQ(e.EvaluateScalar("mat(1,1,5)", x), 0);
  EXPECT_EQ(x, 0.0);
}

TEST(ExpressionParserTest, ArgumentListsCountTheirArguments) {
  EXPECT_EQ(StatusOf("pnt(1,2)"), 10);
  EXPECT_EQ(StatusOf("pnt(1,2,3,4)"), 2);
  EXPECT_EQ(StatusOf("pnt(1,2,3"), 10);
  EXPECT_EQ(StatusOf("ran(1;2)"), 5);  // ";" does not end the number "1;2"
  EXPECT_EQ(StatusOf("pnt2d(1,2)"), 0);
  // Raw function texts run to the comma or parenthesis at their own level.
  EXPECT_NEAR(ScalarOf("integ(max(mat(1,2,x,2*x)), 0, 1)"), 1.0, 1e-5);
  EXPECT_EQ(StatusOf("integ(x^2, 0"), 10);
  EXPECT_EQ(StatusOf("integ(x^2"), 2);
  EXPECT_EQ(StatusOf("diff((x, 1)"), 2);
}

TEST(ExpressionParserTest, VectorEquationFormsAreRefused) {
  EXPECT_EQ(StatusOf("sve(pnt(1,2,3), a, b)"), 23);
  EXPECT_EQ(StatusOf("sve2(1, 2, a)"), 24);
  EXPECT_EQ(StatusOf("1 + sve"), 23);
}

}  // namespace
}  // namespace olm
