// Raw-data import: layouts, error codes with line numbers, large and wide
// files, the preview, and real exports of testing machines.
#include "editing/RawDataReader.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>
#include <tuple>

#include "TestSupport.hpp"
#include "engine/EngineError.hpp"

namespace olm::test {
namespace {

CRawDataRequest Request(const std::string& path, int columns = 2) {
  CRawDataRequest r;
  r.path = path;
  r.columns = columns;
  r.title = "t";
  return r;
}

class RawDataReaderTest : public ::testing::Test {
 protected:
  // Reads text as a file of `columns` columns.
  bool Read(const std::string& text, int columns = 2, int headerLines = 2) {
    auto request = Request(dir.Write("f.csv", text), columns);
    request.headerLines = headerLines;
    return ReadRawData(db, request);
  }
  const CReplicate& Last() const { return db.Replicate(db.GetReplicateCount()); }

  CRecordingUi ui;
  CTempDir dir;
  CReplicateDB db;
};

TEST_F(RawDataReaderTest, CommentsBlankLinesHeadingsUnitsAndLineEnds) {
  ASSERT_TRUE(
      Read("A title line\n$$ comment between header lines\ntime,stress\n\ns,MPa\n0,1.5\n"
           "$$ comment in the data\n1,2.5\n   \n2,-3e2",  // no final line break
           2, 3));
  EXPECT_TRUE(ui.messages.empty());
  const CReplicate& rep = db.Replicate(1);
  EXPECT_EQ(std::pair(rep.GetTitle(), rep.pointCount), std::pair(std::string("t"), 3));
  EXPECT_EQ(std::tuple(rep.headings(1), rep.headings(2), rep.units(2)),
            std::tuple("time", "stress", "MPa"));
  EXPECT_EQ(std::pair(rep.raw(3, 2), rep.raw(2, 1)), std::pair(-300.0, 1.0));
  // Extents are widened by the x and y columns.
  EXPECT_EQ(std::pair(db.GetExtent(kRawMin, 2), db.GetExtent(kRawMax, 1)), std::pair(-300.0, 2.0));
  // A short line gives 0.0 for its missing fields.
  ASSERT_TRUE(Read("a,b,c\n,,\n1,2,3\n4,5\n", 3));
  EXPECT_EQ(std::pair(Last().raw(2, 3), Last().raw(2, 2)), std::pair(0.0, 5.0));
  // CR LF line ends and a byte-order mark.
  ASSERT_TRUE(Read("\xEF\xBB\xBFx,y\r\nmm,N\r\n1,2\r\n3,4\r\n"));
  EXPECT_EQ(std::tuple(Last().headings(1), Last().units(2), Last().raw(2, 2)),
            std::tuple("x", "N", 4.0));
  // A heading of 30 characters is allowed.
  EXPECT_TRUE(Read("x," + std::string(30, 'h') + "\n-,-\n1,2\n"));
}

TEST_F(RawDataReaderTest, ErrorCodesCreateNothing) {
  const std::pair<std::string, std::string> cases[] = {
      {"x,y\nmm,N\n$$ only comments\n\n", "Number of points must be > 1."},  // 12
      // 13: fewer non-comment lines than the header lines
      {"x,y\n$$ c\n\n", "Invalid input."},
      {"$$ only a comment\n", "Invalid input."},
      // 13 with the file's line number, counting comment and blank lines.
      {"$$ c\nx,y\n\nmm,N\n1,2\n$$ c\n\n1.0,abc\n2,3\n", "Invalid input. on line number 8."},
      {"x," + std::string(31, 'h') + "\n-,-\n1,2\n", "the column heading or unit \"" +
                                                         std::string(31, 'h') +
                                                         "\" is longer than 30 characters."}};
  for (const auto& [text, message] : cases) {
    EXPECT_FALSE(Read(text));
    EXPECT_EQ(ui.Last(), dir.File("f.csv") + ": " + message);
    EXPECT_EQ(db.GetReplicateCount(), 0);
    EXPECT_EQ(db.Replicate(1).raw.GetRows(), 0);
  }
  EXPECT_FALSE(ReadRawData(db, Request("/nonexistent/file.csv")));
  EXPECT_EQ(ui.Last(), "/nonexistent/file.csv: Cannot open input file.");  // 10
  // The file is opened before the columns are looked at.
  ui.Clear();
  auto unreadableOne = Request("/nonexistent/file.csv", 1);
  unreadableOne.xColumn = unreadableOne.yColumn = 1;
  EXPECT_FALSE(ReadRawData(db, unreadableOne));
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"/nonexistent/file.csv: Cannot open input file."});
  // One column or an x column beyond the columns: nothing, silently.
  ui.Clear();
  auto one = Request(dir.Write("ok.csv", "x,y\n-,-\n1,2\n"), 1);
  one.xColumn = one.yColumn = 1;
  EXPECT_FALSE(ReadRawData(db, one));
  auto beyond = Request(one.path);
  beyond.xColumn = 3;
  EXPECT_FALSE(ReadRawData(db, beyond));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(db.GetReplicateCount(), 0);
  // 23: the twenty-first import.
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(ReadRawData(db, Request(one.path)));
  EXPECT_FALSE(ReadRawData(db, Request(one.path)));
  EXPECT_EQ(ui.Last(), one.path + ": Number of data sets must be between 1 and 20");
  EXPECT_EQ(db.GetReplicateCount(), 20);
}

TEST_F(RawDataReaderTest, LongLinesAreReadWhole) {
  // 300 columns: lines far beyond 1024 characters.
  std::ostringstream text;
  for (int r = -1; r <= 3; ++r) {
    for (int c = 1; c <= 300; ++c) {
      text << (c > 1 ? "," : "");
      r < 1 ? text << "c" << c : text << r * 1000 + c << ".125";
    }
    text << "\n";
  }
  auto request = Request(dir.Write("wide.csv", text.str()), 300);
  request.yColumn = 300;
  ASSERT_TRUE(ReadRawData(db, request));
  EXPECT_EQ(std::pair(db.Replicate(1).raw(3, 300), db.Replicate(1).headings(300)),
            std::pair(3300.125, std::string("c300")));
}

// A file large enough to be read by several threads must give the same rows
// and find an error's line in the second half.
TEST_F(RawDataReaderTest, LargeFileReadInSlicesMatchesRowByRow) {
  std::string text = "i,v,w\n-,-,-\n";
  const int rows = 300000;
  for (int i = 1; i <= rows; ++i) {
    if (i % 50000 == 0) text += "$$ marker\n\n";
    text += Format("%d,%.6f,%.3e\n", i, i * 0.001, -i * 1.5);
  }
  ASSERT_GT(text.size(), size_t(8) << 20);
  ASSERT_TRUE(Read(text, 3));
  const CReplicate& rep = db.Replicate(1);
  ASSERT_EQ(rep.pointCount, rows);
  for (int i = 1; i <= rows; i += 997) {
    ASSERT_EQ(rep.raw(i, 1), i);
    ASSERT_EQ(rep.raw(i, 2), std::strtod(Format("%.6f", i * 0.001).c_str(), nullptr));
  }
  EXPECT_EQ(rep.raw(rows, 1), rows);
  // Break one line near the end: its number counts comment and blank lines
  // (the header, the rows before, 5 markers of 2 lines).
  const size_t at = text.find("\n299990,") + 1;
  text.replace(at, 7, "29999x,");
  EXPECT_FALSE(Read(text, 3));
  EXPECT_EQ(ui.Last(), dir.File("f.csv") + ": " + CEngineError::Text(13, 2 + 299989 + 2 * 5 + 1));
  EXPECT_EQ(db.GetReplicateCount(), 1);
}

TEST_F(RawDataReaderTest, PreviewShowsTenLinesWithTabsAsBlanks) {
  std::string text;
  for (int i = 1; i <= 12; ++i) text += "a\tb" + std::to_string(i) + "\n";
  const auto lines = PreviewLines(dir.Write("p.txt", text));
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(std::pair(lines[0], lines[9]),
            std::pair(std::string("a   b1"), std::string("a   b10")));
  EXPECT_TRUE(PreviewLines("/nonexistent").empty());
  EXPECT_EQ(PreviewLines(dir.Write("long.txt", std::string(500, 'z')))[0].size(), 256u);
}

// Real exports of testing machines (tests/data/real, see SOURCES.md).
TEST_F(RawDataReaderTest, RealEpflTensileCsvWithOneHeaderLine) {
  auto req = Request(DataPath("real/TST_2021-12_QS_001.csv"), 8);
  req.headerLines = 1;  // headings only, no unit line; CRLF, trailing empty field
  req.xColumn = 6;      // eyy, loading-direction strain
  req.yColumn = 2;      // load [N]
  ASSERT_TRUE(ReadRawData(db, req)) << ui.Last();
  const CReplicate& rep = db.Replicate(1);
  ASSERT_EQ(rep.pointCount, 429);
  // The one header line is the units line; its trailing blank is trimmed.
  EXPECT_EQ(std::tuple(rep.units(6), rep.units(1), rep.headings(1)),
            std::tuple("eyy--1", "Machine_Displacement", ""));
  EXPECT_EQ(rep.raw.Max(2), 1131.735736);
  // The maximum load is on file line 429.
  EXPECT_EQ(std::tuple(rep.raw(428, 2), rep.raw(428, 1), rep.raw(428, 6), rep.raw(429, 2)),
            std::tuple(1131.735736, 1.350885, 0.015437, 265.469437));
  // Declaring the ninth (text) column refuses the file at its second line.
  req.columns = 9;
  EXPECT_FALSE(ReadRawData(db, req));
  EXPECT_EQ(ui.Last(), req.path + ": Invalid input. on line number 2.");
}

TEST_F(RawDataReaderTest, RealGermanTabSeparatedExportWithQuotedHeadings) {
  auto req = Request(DataPath("real/example.csv"), 5);
  req.delimiters = {false, false, true, '\0'};  // tab (and the quote)
  req.headerLines = 18;                         // 16 metadata lines, headings, units
  req.xColumn = 4;                              // strain %
  req.yColumn = 3;                              // force N
  ASSERT_TRUE(ReadRawData(db, req)) << ui.Last();
  const CReplicate& rep = db.Replicate(1);
  ASSERT_EQ(rep.pointCount, 18876);
  EXPECT_EQ(std::tuple(rep.headings(2), rep.headings(5), rep.units(3)),
            std::tuple("Standardweg", "Traverse abs.", "N"));
  EXPECT_EQ(rep.headings(1),
            "Pr\xFC"
            "fzeit");  // Latin-1 kept as it is
  const int maxRow = 18724 - 18;
  EXPECT_EQ(rep.raw.Max(3), 86.5222);
  EXPECT_EQ(std::tuple(rep.raw(maxRow, 3), rep.raw(maxRow, 4), rep.raw(maxRow, 1)),
            std::tuple(86.5222, 306.402, 382.95));
  // 86.5222 N over 11.4 mm x 0.2 mm is the header's tensile strength.
  EXPECT_NEAR(rep.raw(maxRow, 3) / (11.4 * 0.2), 37.9483, 5e-5);
  EXPECT_EQ(rep.raw(18876, 4), 309.236);
}

TEST_F(RawDataReaderTest, RealInstronExportAndADecimalCommaExport) {
  // Line 1 is a ';'-separated description, line 2 tab-separated headings
  // with units in brackets: with ';' as the other delimiter the description
  // serves as the heading line and every field stays within 30 characters.
  auto req = Request(DataPath("real/example2.csv"), 15);
  req.delimiters = {false, false, true, ';'};
  req.xColumn = 3;  // clip gauge
  req.yColumn = 2;  // force kN
  ASSERT_TRUE(ReadRawData(db, req)) << ui.Last();
  const CReplicate& rep = db.Replicate(1);
  ASSERT_EQ(rep.pointCount, 712);
  EXPECT_EQ(std::tuple(rep.headings(3), rep.units(2)), std::tuple("INSTRON 8852TT", "Kraft [kN]"));
  EXPECT_EQ(std::pair(rep.raw.Max(2), rep.raw.Max(15)), std::pair(23.3718, 0.0));
  EXPECT_EQ(std::tuple(rep.raw(366, 2), rep.raw(366, 3), rep.raw(712, 9)),
            std::tuple(23.3718, 1.35407, 146.39));
  // The file writes 78,494141 for 78.494141; numbers use a decimal point, so
  // the first data line is refused rather than misread.
  req = Request(DataPath("real/example4.csv"), 8);
  req.delimiters = {false, false, true, '\0'};
  req.headerLines = 13;  // 13 non-blank lines up to the units line 15
  req.xColumn = 2, req.yColumn = 4;
  EXPECT_FALSE(ReadRawData(db, req));
  EXPECT_EQ(ui.Last(), req.path + ": Invalid input. on line number 16.");
  EXPECT_EQ(db.GetReplicateCount(), 1);
}

TEST_F(RawDataReaderTest, LinesEndedByCarriageReturnsAlone) {
  // Old exports end lines with CR alone: read as line ends, not as one line.
  ASSERT_TRUE(Read("x,y\rmm,N\r$$ note\r1,2\r3,4\r\r5,6")) << ui.Last();
  EXPECT_EQ(std::tuple(Last().pointCount, Last().units(2), Last().raw(3, 2)),
            std::tuple(3, "N", 6.0));
  EXPECT_EQ(PreviewLines(dir.File("f.csv"), 10).size(), 7u);
  // A bad field is found on its own line.
  EXPECT_FALSE(Read("x,y\rmm,N\r1,2\r3,q\r"));
  EXPECT_EQ(ui.Last(), dir.File("f.csv") + ": Invalid input. on line number 4.");
}

TEST_F(RawDataReaderTest, InputsThatAreNotRegularFilesAreRefusedAtOnce) {
  // A FIFO would wait for a writer for ever and /dev/zero never ends.
  const std::string fifo = dir.File("pipe.csv");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo, std::string("/dev/zero"), dir.Path()}) {
    EXPECT_FALSE(ReadRawData(db, Request(path)));
    EXPECT_EQ(ui.Last(), path + ": not a regular file; the file was not read.");
  }
  EXPECT_EQ(db.GetReplicateCount(), 0);
}

TEST_F(RawDataReaderTest, ALineLongerThanTheLimitIsRefusedWithItsNumber) {
  // In the header and among the data: the file and the line are named.
  const std::string huge(size_t(65) << 20, '1');
  EXPECT_FALSE(Read("x,y\n" + huge + "\n1,2\n"));
  EXPECT_EQ(ui.Last(),
            dir.File("f.csv") + ": line 2 is longer than 64 MiB; the file was not read.");
  EXPECT_FALSE(Read("x,y\nmm,N\n1,2\n\n" + huge));
  EXPECT_EQ(ui.Last(),
            dir.File("f.csv") + ": line 5 is longer than 64 MiB; the file was not read.");
  EXPECT_EQ(db.GetReplicateCount(), 0);
}

}  // namespace
}  // namespace olm::test

namespace olm::test {
namespace {

TEST_F(RawDataReaderTest, DecimalCommaReadsCommasAsPointsWhenTheCommaIsNoDelimiter) {
  const std::string text = "t\tF\ns\tkN\n1,5\t-2,25e1\n2\t3,0\n";
  auto request = Request(dir.Write("dc.txt", text));
  request.delimiters = {false, false, true, '\0'};
  // Without the option the comma is no number character: refused, nothing added.
  EXPECT_FALSE(ReadRawData(db, request));
  EXPECT_THAT(ui.Last(), ::testing::EndsWith(": Invalid input. on line number 3."));
  EXPECT_EQ(db.GetReplicateCount(), 0);
  request.decimalComma = true;
  ASSERT_TRUE(ReadRawData(db, request)) << ui.Last();
  EXPECT_EQ(std::tuple(Last().raw(1, 1), Last().raw(1, 2), Last().raw(2, 2)),
            std::tuple(1.5, -22.5, 3.0));
  // With the comma a delimiter the option changes nothing: "1,5" is two fields.
  request.delimiters.comma = true;
  request.columns = 3;
  ASSERT_TRUE(ReadRawData(db, request));
  EXPECT_EQ(std::tuple(Last().raw(1, 1), Last().raw(1, 2), Last().raw(1, 3)),
            std::tuple(1.0, 5.0, -2.0));
  // Two commas are not a number.
  request = Request(dir.Write("dc2.txt", "a b\n- -\n1,2,3 4\n"));
  request.delimiters.comma = false;
  request.decimalComma = true;
  EXPECT_FALSE(ReadRawData(db, request));
  EXPECT_THAT(ui.Last(), ::testing::EndsWith(": Invalid input. on line number 3."));
}

TEST_F(RawDataReaderTest, ABlankLineFollowedByTextEndsTheDataAndBlankLinesBetweenRowsDoNot) {
  ASSERT_TRUE(Read("x,y\n-,-\n1,2\n\n3,4\n\nSecond block\na,b\n5,6\n"));
  EXPECT_EQ(Last().pointCount, 2);
  EXPECT_EQ(Last().raw(2, 2), 4.0);
  EXPECT_THAT(ui.Last(), ::testing::EndsWith(": Another block starts on line 7; it was not read."));
  // Text right after a data row is still a malformed line.
  EXPECT_FALSE(Read("x,y\n-,-\n1,2\nSecond block\n"));
  EXPECT_THAT(ui.Last(), ::testing::EndsWith(": Invalid input. on line number 4."));
}

TEST_F(RawDataReaderTest, TheMtsExportWithDecimalCommasReadsItsFirstBlock) {
  auto req = Request(DataPath("real/example4.csv"), 8);
  req.delimiters = {false, false, true, '\0'};
  req.headerLines = 13;  // 13 non-blank lines up to the units line 15
  req.xColumn = 2, req.yColumn = 4;
  req.decimalComma = true;
  ASSERT_TRUE(ReadRawData(db, req)) << ui.Last();
  const CReplicate& rep = db.Replicate(1);
  ASSERT_EQ(rep.pointCount, 931);  // lines 16 to 946; the second block from line 948 is left
  EXPECT_THAT(ui.Last(),
              ::testing::EndsWith(": Another block starts on line 948; it was not read."));
  EXPECT_EQ(std::tuple(rep.headings(4), rep.units(4), rep.units(2)),
            std::tuple("Ch 1 Kraft", "kN", "s"));
  EXPECT_EQ(std::tuple(rep.raw(1, 1), rep.raw(1, 2), rep.raw(1, 4)),
            std::tuple(41842.0, 79.004883, -1.2332071));
  EXPECT_EQ(rep.raw.Min(4), -472.88068);  // the failure load on line 945
  EXPECT_EQ(rep.raw(945 - 15, 2), 543.50488);
  EXPECT_EQ(rep.raw(931, 4), 0.10594167);
}

}  // namespace
}  // namespace olm::test

namespace olm::test {
namespace {

// The file is read in slices by several threads; wherever the cuts fall
// (between rows, comments, blank lines, a second table or a bad line) the
// result must be the one a single reader gives.
TEST_F(RawDataReaderTest, SlicesGiveTheSingleReadersResultWhereverTheCutsFall) {
  const std::string bodies[] = {
      "1,2\n\n3,4\n$$ c\n5,6\n\n\n7,8\n9,10\n",          // blank lines and comments between rows
      "1,2\n3,4\n\nSecond table\na,b\n5,6\n",            // a second table
      "1,2\n3,4\n\n$$ note\n\nSecond table\n7,8\n",      // blank, comment, blank, text
      "1,2\n3,4\nnot a row\n5,6\n",                      // text right after rows
      "1,2\n\n3,abc\n5,6\n",                             // a row with a bad field after a blank
      "text first\n1,2\n",                               // no row before the text
      "\n$$ c\n\n",                                      // no rows at all
      "1,2\n\n\n\n\n\n\n\n\n\n\n\n\n\n\nlast block\n"};  // many blank lines before a table
  struct Outcome {
    bool ok;
    std::string message;
    std::vector<double> values;
    bool operator==(const Outcome&) const = default;
  };
  const auto read = [&](const std::string& text, int slices) {
    ui.Clear();
    auto request = Request(dir.Write("s.csv", text));
    request.slices = slices;
    Outcome o{ReadRawData(db, request), ui.messages.empty() ? "" : ui.Last(), {}};
    if (o.ok) {
      const CReplicate& rep = Last();
      for (int i = 1; i <= rep.pointCount; ++i)
        o.values.insert(o.values.end(), {rep.raw(i, 1), rep.raw(i, 2)});
      db.RemoveLastReplicate();
    }
    return o;
  };
  for (const std::string& body : bodies) {
    for (size_t pad = 0; pad <= 24; ++pad) {
      // A comment line of growing length moves every cut over every line.
      const std::string text = "x,y\n-,-\n$$" + std::string(pad, '.') + "\n" + body;
      const Outcome single = read(text, 1);
      for (int slices = 2; slices <= 5; ++slices)
        ASSERT_EQ(read(text, slices), single) << "slices " << slices << ", pad " << pad << ":\n"
                                              << text;
    }
  }
}

// The rows are parsed into a block sized from the first 64 KiB of data; a
// file whose later lines are much shorter overflows it and is still read whole.
TEST_F(RawDataReaderTest, ShortLinesAfterLongOnesOverflowTheEstimateAndAreReadWhole) {
  std::string text = "i,v\n-,-\n";
  for (int i = 0; i < 100; ++i) text += "$$" + std::string(1000, 'c') + "\n";
  const int rows = 50000;
  for (int i = 1; i <= rows; ++i) text += std::to_string(i) + "," + std::to_string(-i) + "\n";
  for (int slices : {1, 2, 3}) {
    auto request = Request(dir.Write("o.csv", text));
    request.slices = slices;
    ASSERT_TRUE(ReadRawData(db, request)) << ui.Last();
    const CReplicate& rep = Last();
    ASSERT_EQ(rep.pointCount, rows);
    for (int i = 1; i <= rows; i += 499)
      ASSERT_EQ(std::pair(rep.raw(i, 1), rep.raw(i, 2)), std::pair(1.0 * i, -1.0 * i));
    EXPECT_EQ(rep.raw(rows, 2), -rows);
  }
}

}  // namespace
}  // namespace olm::test
