// The import dialog's layout guess from a file's first lines.
#include "editing/ReadRawDataSuggestion.hpp"

#include <gtest/gtest.h>

#include "TestSupport.hpp"

namespace olm::test {
namespace {

TEST(ReadRawDataSuggestionTest, DelimitersHeaderLinesAndColumnsOfCommonLayouts) {
  struct {
    std::vector<std::string> lines;
    bool blank, comma, tab;
    char other;
    bool decimalComma;
    int headers, columns;
  } const cases[] = {
      // Plain CSV with a title line.
      {{"Test 1", "t,F", "s,N", "0,1.5", "1,2.5e1"}, true, true, true, '\0', false, 3, 2},
      // Tab-separated with decimal commas: "1,5" is one number, not two.
      {{"t\tF\tx", "s\tkN\tmm", "1,5\t-2,25\t3", "2\t3,5\t4"},
       false,
       false,
       true,
       '\0',
       true,
       2,
       3},
      // Semicolons with decimal commas, a comment and a blank line.
      {{"$$ note", "a;b", "", "u;v", "1,5;2", "3;4,25"}, false, false, false, ';', true, 2, 2},
      // Blank-aligned columns.
      {{"  x    y", "  mm   N", "  1.0  2.0", "  2.0  4.0"}, true, true, true, '\0', false, 2, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines.front());
    const CLayoutSuggestion s = SuggestLayout(c.lines);
    ASSERT_TRUE(s.found);
    EXPECT_EQ(
        std::tuple(s.delimiters.blank, s.delimiters.comma, s.delimiters.tab, s.delimiters.other),
        std::tuple(c.blank, c.comma, c.tab, c.other));
    EXPECT_EQ(s.decimalComma, c.decimalComma);
    EXPECT_EQ(std::pair(s.headerLines, s.columns), std::pair(c.headers, c.columns));
  }
  // Nothing that reads as numbers: no suggestion, and the form keeps its fields.
  EXPECT_FALSE(SuggestLayout({"a,b", "c,d"}).found);
  EXPECT_FALSE(SuggestLayout({}).found);
}

TEST(ReadRawDataSuggestionTest, TheRealExportsAreRecognised) {
  const CLayoutSuggestion mts = SuggestLayout(FirstLines(DataPath("real/example4.csv"), 30));
  EXPECT_TRUE(mts.decimalComma);
  EXPECT_TRUE(mts.delimiters.tab);
  EXPECT_FALSE(mts.delimiters.blank);  // its headings hold blanks ("Ch 1 Kraft")
  EXPECT_EQ(std::pair(mts.headerLines, mts.columns), std::pair(13, 8));
  const CLayoutSuggestion zwick = SuggestLayout(FirstLines(DataPath("real/example.csv"), 30));
  EXPECT_FALSE(zwick.decimalComma);
  EXPECT_EQ(std::pair(zwick.headerLines, zwick.columns), std::pair(18, 5));
  // Applied to a form, the suggestion imports the export.
  CReadRawDataForm form;
  ApplySuggestion(mts, form);
  form.path = DataPath("real/example4.csv");
  form.xColumn = 2;
  form.yColumn = 4;
  CRecordingUi ui;
  CReplicateDB db;
  ASSERT_TRUE(form.Apply(db)) << ui.Last();
  EXPECT_EQ(db.Replicate(1).pointCount, 931);
  // Numbers with several fields per line are recognised; a single field is not enough.
  EXPECT_TRUE(IsNumberLine("1\t2,5", {false, false, true, '\0'}, true));
  EXPECT_FALSE(IsNumberLine("1\t2,5", {false, false, true, '\0'}, false));
}

}  // namespace
}  // namespace olm::test
