#pragma once
// CPrintTable: a small fixed-width text-table printer.
//
// It appends plain text to a file (opened for appending) or writes to a
// caller's std::ostream.  Besides free lines it prints tables: a title, one
// or more heading lines, a rule, then cells row by row, each left-justified
// in its column's field, and keeps per-column statistics of the numbers
// written.  Numbers are written in the stream's default format (six
// significant digits, "C" locale).
//
// Line convention: a free line (PrintLine) begins with a line break and ends
// without one, so that consecutive calls form consecutive lines.  A table row
// ends with a line break followed by the table's left margin, so that the
// next row (or the closing rule) starts at the margin.
//
// Look of a table (margin 2, widths 10 and 12, title "Data Points"):
//
//       Data Points                 <- title, centred over the table width
//     ======================        <- '=' rule, table width
//     Raw X     Raw Y               <- headings; "$" in a heading breaks it
//                                      onto a further heading line
//     ----------------------        <- '-' rule
//     1         2.5                 <- rows
//     ----------------------        <- '-' rule written by EndTable
//
// The table width is the sum of the column widths (the margin not counted).
// Limits: 1 to 17 columns, columns at most 20 characters wide, tables at most
// 110 characters wide.  Breaking a limit writes its message as a diagnostic
// (MessageKind::Diagnostic) and printing goes on; a column count below 1 is
// then treated as 1.  A cell wider than its field is written whole, never cut.
#include <fstream>
#include <iosfwd>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace olm {

class CPrintTable {
 public:
  static constexpr int kLineWidth = 110;
  static constexpr int kMaxColumns = 17;
  static constexpr int kMaxColumnWidth = 20;
  static constexpr int kDefaultColumnWidth = 15;

  // Statistics of the numbers written into one column of the current table.
  struct CColumnStatistics {
    int count = 0;  // numeric cells written
    double minimum = 0.0;
    int minimumRow = 0;  // table row (from 1) of the first minimum; 0 when count is 0
    double maximum = 0.0;
    int maximumRow = 0;
    double sum = 0.0;
    double absoluteSum = 0.0;
  };

  CPrintTable();
  // Writes to a caller's stream (not owned; must outlive the printer).
  explicit CPrintTable(std::ostream& out, int columns = 1);
  ~CPrintTable();
  CPrintTable(const CPrintTable&) = delete;
  CPrintTable& operator=(const CPrintTable&) = delete;

  // Opens path for appending (text mode).  A count outside 1..17 writes
  // "CPrintTable:: Invalid number of columns." and goes on.  Returns false
  // when the file cannot be opened; output is then discarded.
  bool Open(const std::string& path, int columns = 1);
  // Writes to a caller's stream from now on (closes an open file first).
  void Attach(std::ostream& out, int columns = 1);
  bool IsOpen() const { return m_out != nullptr; }
  // Flushes and closes the file (or detaches from the caller's stream).
  void Close();

  // A line break, then text: mode 0 centres it in a line of 110 characters
  // ((110 - length) / 2 spaces first, when that is at least 1), mode 1 writes
  // it unchanged.  PrintLineValue appends a number after the text.
  void PrintLine(std::string_view text, int mode = 1);
  void PrintLineValue(std::string_view text, double value, int mode = 1);
  void PrintLineValue(std::string_view text, int value, int mode = 1);
  // Writes count line breaks.
  void BlankLines(int count = 1);

  // Table definition.  SetTitle and SetLeftMargin apply to the next table.
  // (The title stays until changed.)
  void SetTitle(std::string title) { m_title = std::move(title); }
  const std::string& GetTitle() const { return m_title; }
  void SetLeftMargin(int spaces) { m_margin = spaces < 0 ? 0 : spaces; }
  int GetLeftMargin() const { return m_margin; }
  // Starts a table: checks the limits, writes title, headings and rule, and
  // resets the column statistics.  The column count is the number of
  // headings.  Missing widths take the default width of 15.
  void BeginTable(const std::vector<std::string>& headings, const std::vector<int>& widths = {});
  // Cells, row by row; numeric cells update their column's statistics.
  void AddCell(int value);
  void AddCell(double value);
  void AddCell(std::string_view text);
  void AddCell(const char* text) { AddCell(std::string_view(text)); }
  // Line breaks within a table, each followed by the left margin.
  void TableBlankLines(int count = 1);
  // Ends the table: "No data in table." when no row was written, then the
  // closing rule.  An incomplete last row is ended first.
  void EndTable();

  int GetColumnCount() const { return m_columns; }
  int GetTotalWidth() const { return m_totalWidth; }
  int GetCurrentColumn() const { return m_column; }
  // Completed table rows of the current (or last) table.
  int GetRowCount() const { return m_rows; }
  // Line breaks written so far.
  long GetLinesWritten() const { return m_lines; }
  // Statistics of column col (1-based); an empty record for a bad index.
  CColumnStatistics GetColumnStatistics(int col) const;

  // The default text of a number: six significant digits, "C" locale.
  static std::string FormatNumber(double value);

 private:
  void SetColumnCount(int columns);
  void Write(std::string_view text);
  void NewLine();
  void Spaces(int count);
  void WriteCell(std::string_view text);
  void Record(double value);
  void Reset();

  std::ofstream m_file;
  std::ostream* m_out = nullptr;
  int m_columns = 1;
  std::vector<int> m_widths;
  std::string m_title = "Undefined";
  int m_margin = 0;
  int m_column = 1;  // column of the next cell
  int m_rows = 0;
  long m_lines = 0;
  int m_totalWidth = 0;
  bool m_inTable = false;
  std::vector<CColumnStatistics> m_stats;
};

}  // namespace olm
