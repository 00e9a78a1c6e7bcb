#include <gtest/gtest.h>

#include "CliRunner.hpp"

namespace olm::test {
namespace {

TEST(CalcCliTest, StatementsShareOneEvaluatorAndPrintTheirValues) {
  EXPECT_EQ(RunCli("calc \"x = 2\" \"y=x^10\" \"y / 3\" \"-2^2\"", false),
            (CliResult{0, "2\n1024\n341.333\n-4\n"}));
}

TEST(CalcCliTest, VectorsPointsAndMatricesArePrintedReadably) {
  EXPECT_EQ(RunCli("calc \"pnt(1, 2.5, 3)\" \"vec(pnt(0,0,0), pnt(3,4,0))\" \"pnt2d(1,2)\" "
                   "\"mat(2,3, 1,-20,3, 4,5,6.5)\"",
                   false),
            (CliResult{0,
                       "point (1, 2.5, 3)\n"
                       "vector (3, 4, 0)\n"
                       "point (1, 2)\n"
                       "matrix 2 x 3\n"
                       "  1  -20    3\n"
                       "  4    5  6.5\n"}));
}

TEST(CalcCliTest, FailureGivesStatusOneWithTheCodeAndItsMeaning) {
  EXPECT_EQ(RunCli("calc \"a = 1\" \"2 / 0\" \"a\""),
            (CliResult{1, "1\nolm calc: statement 2 \"2 / 0\": status 9: division by zero\n"}));
  const CliResult s = RunCli("calc \"sin\"");
  EXPECT_EQ(s.status, 1);
  EXPECT_TRUE(Has(s, "status 6: function name not followed by \"(\"")) << s.output;
}

TEST(CalcCliTest, StatementsBeginningWithAMinusSign) {
  EXPECT_EQ(RunCli("calc -2*3", false).output, "-6\n");
  EXPECT_EQ(RunCli("calc -- \"x=1\" \"-x\"", false), (CliResult{0, "1\n-1\n"}));
}

TEST(CalcCliTest, NoStatementIsAUsageError) {
  EXPECT_EQ(RunCli("calc").status, 2);
}

}  // namespace
}  // namespace olm::test
