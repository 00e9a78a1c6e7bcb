#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "TestSupport.hpp"
#include "editing/RawDataReader.hpp"
#include "engine/EngineError.hpp"

namespace olm {
namespace {

using test::CRecordingUi;
using test::CTempDir;

CRawDataRequest Request(const std::string& path, int columns = 2) {
  CRawDataRequest r;
  r.path = path;
  r.columns = columns;
  r.title = "t";
  return r;
}

TEST(RawDataReaderTest, ReadsHeadingsUnitsAndRows) {
  CRecordingUi ui;
  CTempDir dir;
  const auto path = dir.Write("a.csv",
                              "A title line\n"
                              "$$ comment between header lines\n"
                              "time,stress\n"
                              "\n"
                              "s,MPa\n"
                              "0,1.5\n"
                              "$$ comment in the data\n"
                              "1,2.5\n"
                              "   \n"
                              "2,-3e2");  // no final line break
  CReplicateDB db;
  auto req = Request(path);
  req.headerLines = 3;
  ASSERT_TRUE(ReadRawData(db, req));
  EXPECT_TRUE(ui.messages.empty());
  ASSERT_EQ(db.GetReplicateCount(), 1);
  const CReplicate& rep = db.Replicate(1);
  EXPECT_EQ(rep.GetTitle(), "t");
  EXPECT_EQ(rep.pointCount, 3);
  EXPECT_EQ(rep.headings(1), "time");
  EXPECT_EQ(rep.headings(2), "stress");
  EXPECT_EQ(rep.units(2), "MPa");
  EXPECT_EQ(rep.raw(3, 2), -300.0);
  EXPECT_EQ(rep.raw(2, 1), 1.0);
  // Extents widened with the x and y columns.
  EXPECT_EQ(db.GetExtent(kRawMin, 2), -300.0);
  EXPECT_EQ(db.GetExtent(kRawMax, 1), 2.0);
}

TEST(RawDataReaderTest, NoDataLinesIsCode12AndCreatesNothing) {
  CRecordingUi ui;
  CTempDir dir;
  CReplicateDB db;
  EXPECT_FALSE(ReadRawData(db, Request(dir.Write("h.csv", "x,y\nmm,N\n$$ only comments\n\n"))));
  EXPECT_EQ(ui.Last(), "Number of points must be > 1.");
  EXPECT_EQ(db.GetReplicateCount(), 0);
}

TEST(RawDataReaderTest, ShortLineGivesZeroForMissingFields) {
  CRecordingUi ui;
  CTempDir dir;
  CReplicateDB db;
  ASSERT_TRUE(ReadRawData(db, Request(dir.Write("s.csv", "a,b,c\n,,\n1,2,3\n4,5\n"), 3)));
  EXPECT_EQ(db.Replicate(1).raw(2, 3), 0.0);
  EXPECT_EQ(db.Replicate(1).raw(2, 2), 5.0);
}

TEST(RawDataReaderTest, NonNumberReportsCode13WithFileLineNumber) {
  CRecordingUi ui;
  CTempDir dir;
  CReplicateDB db;
  const auto path = dir.Write("bad.csv", "$$ c\nx,y\n\nmm,N\n1,2\n$$ c\n\n1.0,abc\n2,3\n");
  EXPECT_FALSE(ReadRawData(db, Request(path)));
  EXPECT_EQ(ui.Last(), "Invalid input. on line number 8.");
  EXPECT_EQ(db.GetReplicateCount(), 0);
  EXPECT_EQ(db.Replicate(1).raw.GetRows(), 0);
}

TEST(RawDataReaderTest, TwentyFirstImportIsCode23) {
  CRecordingUi ui;
  CTempDir dir;
  const auto path = dir.Write("ok.csv", "x,y\n-,-\n1,2\n");
  CReplicateDB db;
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(ReadRawData(db, Request(path)));
  EXPECT_FALSE(ReadRawData(db, Request(path)));
  EXPECT_EQ(ui.Last(), "Number of data sets must be between 1 and 10");
  EXPECT_EQ(db.GetReplicateCount(), 20);
}

TEST(RawDataReaderTest, OneColumnOrBadXColumnCreatesNothingSilently) {
  CRecordingUi ui;
  CTempDir dir;
  const auto path = dir.Write("ok.csv", "x,y\n-,-\n1,2\n");
  CReplicateDB db;
  auto req = Request(path, 1);
  req.xColumn = req.yColumn = 1;
  EXPECT_FALSE(ReadRawData(db, req));
  req = Request(path, 2);
  req.xColumn = 3;
  EXPECT_FALSE(ReadRawData(db, req));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(db.GetReplicateCount(), 0);
}

TEST(RawDataReaderTest, MissingFileIsCode10) {
  CRecordingUi ui;
  CReplicateDB db;
  EXPECT_FALSE(ReadRawData(db, Request("/nonexistent/file.csv")));
  EXPECT_EQ(ui.Last(), "Cannot open input file.");
}

TEST(RawDataReaderTest, HeadingLongerThan30IsCode43) {
  CRecordingUi ui;
  CTempDir dir;
  CReplicateDB db;
  const std::string heading(31, 'h');
  EXPECT_FALSE(ReadRawData(db, Request(dir.Write("l.csv", "x," + heading + "\n-,-\n1,2\n"))));
  EXPECT_EQ(ui.Last(), "Text in one replicate title exceeds character limit");
  EXPECT_EQ(db.GetReplicateCount(), 0);
  ui.Clear();
  EXPECT_TRUE(ReadRawData(db, Request(dir.Write("m.csv", "x," + heading.substr(1) + "\n-,-\n1,2\n"))));
}

TEST(RawDataReaderTest, LongLinesAreReadWhole) {
  // A wide file: 300 columns, lines far beyond 1024 characters.
  CRecordingUi ui;
  CTempDir dir;
  std::ostringstream text;
  for (int h = 0; h < 2; ++h) {
    for (int c = 1; c <= 300; ++c) text << (c > 1 ? "," : "") << "c" << c;
    text << "\n";
  }
  for (int r = 1; r <= 3; ++r) {
    for (int c = 1; c <= 300; ++c) text << (c > 1 ? "," : "") << r * 1000 + c << ".125";
    text << "\n";
  }
  CReplicateDB db;
  auto req = Request(dir.Write("wide.csv", text.str()), 300);
  req.yColumn = 300;
  ASSERT_TRUE(ReadRawData(db, req));
  EXPECT_EQ(db.Replicate(1).raw(3, 300), 3300.125);
  EXPECT_EQ(db.Replicate(1).headings(300), "c300");
}

TEST(RawDataReaderTest, CrLfAndByteOrderMark) {
  CRecordingUi ui;
  CTempDir dir;
  CReplicateDB db;
  ASSERT_TRUE(ReadRawData(db, Request(dir.Write("w.csv", "\xEF\xBB\xBFx,y\r\nmm,N\r\n1,2\r\n3,4\r\n"))));
  EXPECT_EQ(db.Replicate(1).headings(1), "x");
  EXPECT_EQ(db.Replicate(1).units(2), "N");
  EXPECT_EQ(db.Replicate(1).raw(2, 2), 4.0);
}

// A file large enough to be read by several threads must give the same rows
// and find an error's line in the second half.
TEST(RawDataReaderTest, LargeFileReadInSlicesMatchesRowByRow) {
  CRecordingUi ui;
  CTempDir dir;
  std::string text = "i,v,w\n-,-,-\n";
  const int rows = 300000;
  char line[64];
  for (int i = 1; i <= rows; ++i) {
    if (i % 50000 == 0) text += "$$ marker\n\n";
    std::snprintf(line, sizeof line, "%d,%.6f,%.3e\n", i, i * 0.001, -i * 1.5);
    text += line;
  }
  const auto path = dir.Write("big.csv", text);
  ASSERT_GT(text.size(), size_t(8) << 20);
  CReplicateDB db;
  auto req = Request(path, 3);
  ASSERT_TRUE(ReadRawData(db, req));
  const CReplicate& rep = db.Replicate(1);
  ASSERT_EQ(rep.pointCount, rows);
  for (int i = 1; i <= rows; i += 997) {
    ASSERT_EQ(rep.raw(i, 1), i);
    std::snprintf(line, sizeof line, "%.6f", i * 0.001);
    ASSERT_EQ(rep.raw(i, 2), std::strtod(line, nullptr));
  }
  EXPECT_EQ(rep.raw(rows, 1), rows);

  // Break one line near the end: its number counts comment and blank lines.
  std::string broken = text;
  const std::string target = "299990,";
  const size_t at = broken.find("\n" + target) + 1;
  broken.replace(at, target.size(), "29999x,");
  const auto bad = dir.Write("bad.csv", broken);
  const long long lineNo = 2 + 299989 + 2 * 5 + 1;  // header, rows before, 5 markers of 2 lines
  EXPECT_FALSE(ReadRawData(db, Request(bad, 3)));
  EXPECT_EQ(ui.Last(), CEngineError::Text(13, static_cast<int>(lineNo)));
  EXPECT_EQ(db.GetReplicateCount(), 1);
}

TEST(RawDataReaderTest, PreviewShowsTenLinesWithTabsAsBlanks) {
  CTempDir dir;
  std::string text;
  for (int i = 1; i <= 12; ++i) text += "a\tb" + std::to_string(i) + "\n";
  const auto lines = PreviewLines(dir.Write("p.txt", text));
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[0], "a   b1");
  EXPECT_EQ(lines[9], "a   b10");
  EXPECT_TRUE(PreviewLines("/nonexistent").empty());
  EXPECT_EQ(PreviewLines(dir.Write("long.txt", std::string(500, 'z')))[0].size(), 256u);
}

// Real exports of testing machines (tests/data/real, see SOURCES.md).
TEST(RawDataReaderRealTest, EpflTensileCsvWithOneHeaderLine) {
  CRecordingUi ui;
  CReplicateDB db;
  auto req = Request(test::DataPath("real/TST_2021-12_QS_001.csv"), 8);
  req.headerLines = 1;  // headings only, no unit line; CRLF, trailing empty field
  req.xColumn = 6;      // eyy, loading-direction strain
  req.yColumn = 2;      // load [N]
  ASSERT_TRUE(ReadRawData(db, req)) << ui.Last();
  const CReplicate& rep = db.Replicate(1);
  ASSERT_EQ(rep.pointCount, 429);
  // The one header line is the units line; its trailing blank is trimmed.
  EXPECT_EQ(rep.units(6), "eyy--1");
  EXPECT_EQ(rep.units(1), "Machine_Displacement");
  EXPECT_EQ(rep.headings(1), "");
  EXPECT_EQ(rep.raw.Max(2), 1131.735736);
  int at = 0;
  for (int i = 1; i <= 429; ++i)
    if (rep.raw(i, 2) == 1131.735736) at = i;
  EXPECT_EQ(at, 428);  // file line 429
  EXPECT_EQ(rep.raw(at, 1), 1.350885);
  EXPECT_EQ(rep.raw(at, 6), 0.015437);
  EXPECT_EQ(rep.raw(429, 2), 265.469437);
  // Declaring the ninth (text) column refuses the file at its second line.
  ui.Clear();
  req.columns = 9;
  EXPECT_FALSE(ReadRawData(db, req));
  EXPECT_EQ(ui.Last(), "Invalid input. on line number 2.");
}

TEST(RawDataReaderRealTest, GermanTabSeparatedExportWithQuotedHeadings) {
  CRecordingUi ui;
  CReplicateDB db;
  auto req = Request(test::DataPath("real/example.csv"), 5);
  req.delimiters = {false, false, true, '\0'};  // tab (and the quote)
  req.headerLines = 18;                          // 16 metadata lines, headings, units
  req.xColumn = 4;                               // strain %
  req.yColumn = 3;                               // force N
  ASSERT_TRUE(ReadRawData(db, req)) << ui.Last();
  const CReplicate& rep = db.Replicate(1);
  ASSERT_EQ(rep.pointCount, 18876);
  EXPECT_EQ(rep.headings(2), "Standardweg");
  EXPECT_EQ(rep.headings(5), "Traverse abs.");
  EXPECT_EQ(rep.units(3), "N");
  EXPECT_EQ(rep.headings(1), "Pr\xFC" "fzeit");  // Latin-1 kept as it is
  const int maxRow = 18724 - 18;
  EXPECT_EQ(rep.raw.Max(3), 86.5222);
  EXPECT_EQ(rep.raw(maxRow, 3), 86.5222);
  EXPECT_EQ(rep.raw(maxRow, 4), 306.402);
  EXPECT_EQ(rep.raw(maxRow, 1), 382.95);
  // 86.5222 N over 11.4 mm x 0.2 mm is the header's tensile strength.
  EXPECT_NEAR(rep.raw(maxRow, 3) / (11.4 * 0.2), 37.9483, 5e-5);
  EXPECT_EQ(rep.raw(18876, 4), 309.236);
}

TEST(RawDataReaderRealTest, InstronExportWithFifteenColumns) {
  CRecordingUi ui;
  CReplicateDB db;
  // Line 1 is a ';'-separated description, line 2 tab-separated headings
  // with units in brackets: with ';' as the other delimiter the description
  // serves as the heading line and every field stays within 30 characters.
  auto req = Request(test::DataPath("real/example2.csv"), 15);
  req.delimiters = {false, false, true, ';'};
  req.xColumn = 3;  // clip gauge
  req.yColumn = 2;  // force kN
  ASSERT_TRUE(ReadRawData(db, req)) << ui.Last();
  const CReplicate& rep = db.Replicate(1);
  ASSERT_EQ(rep.pointCount, 712);
  EXPECT_EQ(rep.headings(3), "INSTRON 8852TT");
  EXPECT_EQ(rep.units(2), "Kraft [kN]");
  EXPECT_EQ(rep.raw.Max(2), 23.3718);
  EXPECT_EQ(rep.raw(366, 2), 23.3718);
  EXPECT_EQ(rep.raw(366, 3), 1.35407);
  EXPECT_EQ(rep.raw(712, 9), 146.39);
  EXPECT_EQ(rep.raw.Max(15), 0.0);
}

TEST(RawDataReaderRealTest, DecimalCommaExportIsRefusedWithTheLine) {
  // The file writes 78,494141 for 78.494141; numbers use a decimal point, so
  // the first data line is refused rather than misread.
  CRecordingUi ui;
  CReplicateDB db;
  auto req = Request(test::DataPath("real/example4.csv"), 8);
  req.delimiters = {false, false, true, '\0'};
  req.headerLines = 13;  // 13 non-blank lines up to the units line 15
  req.xColumn = 2;
  req.yColumn = 4;
  EXPECT_FALSE(ReadRawData(db, req));
  EXPECT_EQ(ui.Last(), "Invalid input. on line number 16.");
  EXPECT_EQ(db.GetReplicateCount(), 0);
}

}  // namespace
}  // namespace olm
