#include "engine/PrintTable.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "TestSupport.hpp"

namespace olm {
namespace {

using test::CRecordingUi;

TEST(PrintTableLines, CentredLineOfTwentyCharactersIsPrecededBy45Spaces) {
  std::ostringstream out;
  CPrintTable t(out);
  t.PrintLine("12345678901234567890", 0);
  EXPECT_EQ(out.str(), "\n" + std::string(45, ' ') + "12345678901234567890");
}

TEST(PrintTableLines, ModeOneWritesUnchangedAndLongLinesAreNotIndented) {
  std::ostringstream out;
  CPrintTable t(out);
  t.PrintLine("abc", 1);
  t.PrintLine(std::string(109, 'x'), 0);  // (110 - 109) / 2 = 0 spaces
  EXPECT_EQ(out.str(), "\nabc\n" + std::string(109, 'x'));
}

TEST(PrintTableLines, ValueVariantAppendsNumberWithSixSignificantDigits) {
  std::ostringstream out;
  CPrintTable t(out);
  t.PrintLineValue("pi = ", 3.14159265358979);
  t.PrintLineValue("n = ", 42);
  t.PrintLineValue("big = ", 1234567.0);
  EXPECT_EQ(out.str(), "\npi = 3.14159\nn = 42\nbig = 1.23457e+06");
}

TEST(PrintTableLines, BlankLinesWriteLineBreaksAndAreCounted) {
  std::ostringstream out;
  CPrintTable t(out);
  t.BlankLines(3);
  t.PrintLine("x");
  EXPECT_EQ(out.str(), "\n\n\n\nx");
  EXPECT_EQ(t.GetLinesWritten(), 4);
}

TEST(PrintTableLimits, ColumnCountOutside1To17IsReportedAndPrintingGoesOn) {
  CRecordingUi ui;
  std::ostringstream out;
  CPrintTable t(out, 17);
  EXPECT_TRUE(ui.messages.empty());
  t.Attach(out, 0);
  t.Attach(out, 18);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].first, MessageKind::Diagnostic);
  EXPECT_EQ(ui.messages[0].second, "CPrintTable:: Invalid number of columns.\n");
  EXPECT_EQ(ui.messages[1].second, "CPrintTable:: Invalid number of columns.\n");
  t.PrintLine("still printing");
  EXPECT_NE(out.str().find("still printing"), std::string::npos);
}

TEST(PrintTableLimits, WideColumnsAndTablesAreReportedButPrinted) {
  CRecordingUi ui;
  std::ostringstream out;
  CPrintTable t(out);
  t.BeginTable({"a", "b"}, {20, 20});
  EXPECT_TRUE(ui.messages.empty());
  t.BeginTable({"a", "b"}, {21, 5});
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"CPrintTable:: Column width exceeds limit.\n"});
  ui.Clear();
  // 6 x 18 = 108 fits, 6 x 18 + 3 = 111 does not; 110 exactly is allowed.
  t.BeginTable({"a", "b", "c", "d", "e", "f"}, {18, 18, 18, 18, 18, 20});
  EXPECT_TRUE(ui.messages.empty());
  t.BeginTable({"a", "b", "c", "d", "e", "f"}, {18, 18, 18, 18, 19, 20});
  EXPECT_EQ(ui.Texts(),
            std::vector<std::string>{"CPrintTable:: Total table width exceeds limit.\n"});
  EXPECT_EQ(t.GetTotalWidth(), 111);
  t.AddCell(1);
  EXPECT_EQ(t.GetCurrentColumn(), 2);
}

TEST(PrintTableTables, TitleHeadingsRowsAndRulesAtTheLeftMargin) {
  std::ostringstream out;
  CPrintTable t(out);
  t.SetLeftMargin(2);
  t.SetTitle("Data");
  t.BeginTable({"N", "Value$(MPa)"}, {4, 8});
  t.AddCell(1);
  t.AddCell(2.5);
  t.AddCell(2);
  t.AddCell("-");
  t.EndTable();
  const std::string m = "  ";
  const std::string expected = "\n" + m + "    Data\n" +  // (12 - 4) / 2 = 4 spaces
                               m + "============\n" +     // width 4 + 8
                               m + "N   Value\n" +        // headings, trailing blanks cut
                               m + "    (MPa)\n" +        // "$" continues below
                               m + "------------\n" +     //
                               m + "1   2.5     \n" +     // cells left-justified
                               m + "2   -       \n" +     //
                               m + "------------";
  EXPECT_EQ(out.str(), expected);
  EXPECT_EQ(t.GetRowCount(), 2);
}

TEST(PrintTableTables, EmptyTablePrintsNoDataCentredOverTheTable) {
  std::ostringstream out;
  CPrintTable t(out);
  t.SetTitle("T");
  t.BeginTable({"a", "b", "c"}, {10, 10, 17});
  out.str("");
  t.EndTable();
  // (37 - 17) / 2 = 10 spaces before the text.
  EXPECT_EQ(out.str(), std::string(10, ' ') + "No data in table.\n" + std::string(37, '-'));
}

TEST(PrintTableTables, TableBlankLinesKeepTheMargin) {
  std::ostringstream out;
  CPrintTable t(out);
  t.SetLeftMargin(3);
  t.BeginTable({"a"}, {5});
  out.str("");
  t.TableBlankLines(2);
  EXPECT_EQ(out.str(), "\n   \n   ");
}

TEST(PrintTableTables, DefaultTitleIsUndefinedAndDefaultWidthIs15) {
  std::ostringstream out;
  CPrintTable t(out);
  EXPECT_EQ(t.GetTitle(), "Undefined");
  t.BeginTable({"a", "b"});
  EXPECT_EQ(t.GetTotalWidth(), 30);
  EXPECT_NE(out.str().find("\n" + std::string(10, ' ') + "Undefined\n"), std::string::npos);
}

TEST(PrintTableStatistics, PerColumnMinimumMaximumRowsAndSums) {
  std::ostringstream out;
  CPrintTable t(out);
  t.BeginTable({"x", "label", "y"}, {8, 8, 8});
  const double ys[] = {-3.0, 7.0, -3.0, 2.0};
  for (int r = 0; r < 4; ++r) {
    t.AddCell(r + 1);
    t.AddCell("text");
    t.AddCell(ys[r]);
  }
  t.EndTable();
  const auto x = t.GetColumnStatistics(1);
  EXPECT_EQ(x.count, 4);
  EXPECT_EQ(x.minimum, 1.0);
  EXPECT_EQ(x.minimumRow, 1);
  EXPECT_EQ(x.maximum, 4.0);
  EXPECT_EQ(x.maximumRow, 4);
  EXPECT_EQ(x.sum, 10.0);
  EXPECT_EQ(t.GetColumnStatistics(2).count, 0);  // text cells do not count
  const auto y = t.GetColumnStatistics(3);
  EXPECT_EQ(y.minimum, -3.0);
  EXPECT_EQ(y.minimumRow, 1);  // the first of two equal minima
  EXPECT_EQ(y.maximum, 7.0);
  EXPECT_EQ(y.maximumRow, 2);
  EXPECT_DOUBLE_EQ(y.sum, 3.0);
  EXPECT_DOUBLE_EQ(y.absoluteSum, 15.0);
  EXPECT_EQ(t.GetColumnStatistics(4).count, 0);
  EXPECT_EQ(t.GetColumnStatistics(0).count, 0);
}

TEST(PrintTableFiles, OpenAppendsToTheFileAndCloseFlushes) {
  test::CTempDir dir;
  const std::string path = dir.Write("report.out", "existing");
  CPrintTable t;
  ASSERT_TRUE(t.Open(path, 2));
  t.PrintLine("more");
  t.Close();
  EXPECT_EQ(test::ReadFile(path), "existing\nmore");
  EXPECT_FALSE(t.IsOpen());
}

TEST(PrintTableFiles, UnopenableFileReturnsFalseAndDiscardsOutput) {
  test::CTempDir dir;
  CPrintTable t;
  EXPECT_FALSE(t.Open(dir.File("no/such/folder/report.out")));
  t.PrintLine("lost");  // must not crash
  EXPECT_FALSE(t.IsOpen());
}

}  // namespace
}  // namespace olm
