// The text-table writer: lines, limits, tables, column statistics and files.
#include "engine/PrintTable.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "TestSupport.hpp"

namespace olm::test {
namespace {

using Strings = std::vector<std::string>;

class PrintTableTest : public ::testing::Test {
 protected:
  // What one step printed.
  std::string Printed(const std::function<void()>& step) {
    out.str("");
    step();
    return out.str();
  }
  CRecordingUi ui;
  std::ostringstream out;
  CPrintTable t{out};
};

TEST_F(PrintTableTest, Lines) {
  EXPECT_EQ(Printed([&] { t.PrintLine("12345678901234567890", 0); }),
            "\n" + std::string(45, ' ') + "12345678901234567890");
  EXPECT_EQ(Printed([&] { t.PrintLine("abc", 1); }), "\nabc");  // mode 1: unchanged
  // (110 - 109) / 2 = 0 spaces.
  EXPECT_EQ(Printed([&] { t.PrintLine(std::string(109, 'x'), 0); }), "\n" + std::string(109, 'x'));
  // Numbers with six significant digits.
  EXPECT_EQ(Printed([&] {
              t.PrintLineValue("pi = ", 3.14159265358979);
              t.PrintLineValue("n = ", 42);
              t.PrintLineValue("big = ", 1234567.0);
            }),
            "\npi = 3.14159\nn = 42\nbig = 1.23457e+06");
  const int before = t.GetLinesWritten();
  EXPECT_EQ(Printed([&] {
              t.BlankLines(3);
              t.PrintLine("x");
            }),
            "\n\n\n\nx");
  EXPECT_EQ(t.GetLinesWritten(), before + 4);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PrintTableTest, LimitsAreReportedAndPrintingGoesOn) {
  CPrintTable wide(out, 17);
  EXPECT_TRUE(ui.messages.empty());
  wide.Attach(out, 0);
  wide.Attach(out, 18);
  EXPECT_EQ(ui.Texts(MessageKind::Diagnostic),
            Strings(2, "CPrintTable:: Invalid number of columns.\n"));
  EXPECT_NE(Printed([&] { wide.PrintLine("still printing"); }).find("still printing"),
            std::string::npos);
  ui.Clear();
  t.BeginTable({"a", "b"}, {20, 20});
  EXPECT_TRUE(ui.messages.empty());
  t.BeginTable({"a", "b"}, {21, 5});
  EXPECT_EQ(ui.Texts(), Strings{"CPrintTable:: Column width exceeds limit.\n"});
  ui.Clear();
  // 110 in all is allowed, 111 is not.
  t.BeginTable({"a", "b", "c", "d", "e", "f"}, {18, 18, 18, 18, 18, 20});
  EXPECT_TRUE(ui.messages.empty());
  t.BeginTable({"a", "b", "c", "d", "e", "f"}, {18, 18, 18, 18, 19, 20});
  EXPECT_EQ(ui.Texts(), Strings{"CPrintTable:: Total table width exceeds limit.\n"});
  t.AddCell(1);  // printing goes on
  EXPECT_EQ(std::pair(t.GetTotalWidth(), t.GetCurrentColumn()), std::pair(111, 2));
}

TEST_F(PrintTableTest, TitleHeadingsRowsAndRulesAtTheLeftMargin) {
  t.SetLeftMargin(2);
  t.SetTitle("Data");
  t.BeginTable({"N", "Value$(MPa)"}, {4, 8});
  t.AddCell(1), t.AddCell(2.5), t.AddCell(2), t.AddCell("-");
  t.EndTable();
  const std::string m = "  ";
  EXPECT_EQ(out.str(), "\n" + m + "    Data\n" +   // (12 - 4) / 2 = 4 spaces
                           m + "============\n" +  // width 4 + 8
                           m + "N   Value\n" +     // headings, trailing blanks cut
                           m + "    (MPa)\n" +     // "$" continues below
                           m + "------------\n" +  //
                           m + "1   2.5     \n" +  // cells left-justified
                           m + "2   -       \n" + m + "------------");
  EXPECT_EQ(t.GetRowCount(), 2);
  // Blank lines inside a table keep the margin.
  EXPECT_EQ(Printed([&] { t.TableBlankLines(2); }), "\n  \n  ");
}

TEST_F(PrintTableTest, EmptyTableAndDefaults) {
  EXPECT_EQ(t.GetTitle(), "Undefined");
  t.BeginTable({"a", "b"});  // default width 15: (30 - 9) / 2 spaces
  EXPECT_NE(out.str().find("\n" + std::string(10, ' ') + "Undefined\n"), std::string::npos);
  t.SetTitle("T");
  t.BeginTable({"a", "b", "c"}, {10, 10, 17});
  // (37 - 17) / 2 = 10 spaces before the text.
  EXPECT_EQ(Printed([&] { t.EndTable(); }),
            std::string(10, ' ') + "No data in table.\n" + std::string(37, '-'));
}

TEST_F(PrintTableTest, PerColumnMinimumMaximumRowsAndSums) {
  t.BeginTable({"x", "label", "y"}, {8, 8, 8});
  const double ys[] = {-3.0, 7.0, -3.0, 2.0};
  for (int r = 0; r < 4; ++r) t.AddCell(r + 1), t.AddCell("text"), t.AddCell(ys[r]);
  t.EndTable();
  const auto Row = [](const auto& s) {
    return std::tuple(s.count, s.minimum, s.minimumRow, s.maximum, s.maximumRow, s.sum,
                      s.absoluteSum);
  };
  EXPECT_EQ(Row(t.GetColumnStatistics(1)), std::tuple(4, 1.0, 1, 4.0, 4, 10.0, 10.0));
  // The first of two equal minima.
  EXPECT_EQ(Row(t.GetColumnStatistics(3)), std::tuple(4, -3.0, 1, 7.0, 2, 3.0, 15.0));
  for (int column : {2, 4, 0}) EXPECT_EQ(t.GetColumnStatistics(column).count, 0);  // text, none
}

TEST(PrintTableFileTest, OpenAppendsCloseFlushesAndAnUnopenableFileDiscards) {
  CTempDir dir;
  const std::string path = dir.Write("report.out", "existing");
  CPrintTable t;
  ASSERT_TRUE(t.Open(path, 2));
  t.PrintLine("more");
  t.Close();
  EXPECT_EQ(ReadFile(path), "existing\nmore");
  EXPECT_FALSE(t.Open(dir.File("no/such/folder/report.out")));
  t.PrintLine("lost");  // must not crash
  EXPECT_FALSE(t.IsOpen());
}

}  // namespace
}  // namespace olm::test
