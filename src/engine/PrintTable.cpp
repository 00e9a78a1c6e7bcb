#include "engine/PrintTable.hpp"

#include <charconv>

#include <algorithm>
#include <cmath>
#include <locale>
#include <ostream>
#include <sstream>

#include "numerics/UserInterface.hpp"

namespace olm {

namespace {
constexpr std::string_view kNoData = "No data in table.";

std::vector<std::string> SplitHeading(const std::string& heading) {
  std::vector<std::string> parts;
  std::string::size_type start = 0;
  for (;;) {
    const auto pos = heading.find('$', start);
    parts.push_back(
        heading.substr(start, pos == std::string::npos ? std::string::npos : pos - start));
    if (pos == std::string::npos) break;
    start = pos + 1;
  }
  return parts;
}
}  // namespace

CPrintTable::CPrintTable() {
  Reset();
}

CPrintTable::CPrintTable(std::ostream& out, int columns) {
  Reset();
  Attach(out, columns);
}

CPrintTable::~CPrintTable() {
  Close();
}

namespace {
// The stream default format of a number ("%g": six significant digits).
std::string_view FormatTo(char (&buf)[32], double value) {
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 6);
  return std::string_view(buf, static_cast<size_t>(r.ptr - buf));
}
}  // namespace

std::string CPrintTable::FormatNumber(double value) {
  char buf[32];
  return std::string(FormatTo(buf, value));
}

void CPrintTable::Reset() {
  m_column = 1;
  m_rows = 0;
  m_inTable = false;
  SetColumnCount(m_columns);
}

void CPrintTable::SetColumnCount(int columns) {
  if (columns < 1 || columns > kMaxColumns) {
    ShowMessage("CPrintTable:: Invalid number of columns.\n", MessageKind::Diagnostic);
  }
  m_columns = std::max(columns, 1);
  m_widths.assign(static_cast<size_t>(m_columns), kDefaultColumnWidth);
  m_totalWidth = kDefaultColumnWidth * m_columns;
  m_stats.assign(static_cast<size_t>(m_columns), CColumnStatistics{});
}

bool CPrintTable::Open(const std::string& path, int columns) {
  Close();
  m_file.open(path, std::ios::out | std::ios::app);
  m_file.imbue(std::locale::classic());
  m_columns = columns;
  Reset();
  if (!m_file.is_open()) return false;
  m_out = &m_file;
  return true;
}

void CPrintTable::Attach(std::ostream& out, int columns) {
  Close();
  m_out = &out;
  m_columns = columns;
  Reset();
}

void CPrintTable::Close() {
  if (m_out) m_out->flush();
  if (m_file.is_open()) m_file.close();
  m_out = nullptr;
}

void CPrintTable::Write(std::string_view text) {
  // Straight to the stream buffer: reports reach hundreds of megabytes, and
  // the stream's per-call checks would cost more than the copying.
  if (m_out) m_out->rdbuf()->sputn(text.data(), static_cast<std::streamsize>(text.size()));
}

void CPrintTable::NewLine() {
  Write("\n");
  ++m_lines;
}

void CPrintTable::Spaces(int count) {
  static constexpr char kBlanks[] =
      "                                                                ";
  constexpr int kChunk = static_cast<int>(sizeof kBlanks) - 1;
  for (; count > 0; count -= kChunk)
    Write(std::string_view(kBlanks, static_cast<size_t>(std::min(count, kChunk))));
}

void CPrintTable::PrintLine(std::string_view text, int mode) {
  NewLine();
  if (mode == 0) Spaces((kLineWidth - static_cast<int>(text.size())) / 2);
  Write(text);
}

void CPrintTable::PrintLineValue(std::string_view text, double value, int mode) {
  PrintLine(std::string(text) + FormatNumber(value), mode);
}

void CPrintTable::PrintLineValue(std::string_view text, int value, int mode) {
  PrintLine(std::string(text) + std::to_string(value), mode);
}

void CPrintTable::BlankLines(int count) {
  for (int i = 0; i < count; ++i) NewLine();
}

void CPrintTable::BeginTable(const std::vector<std::string>& headings,
                             const std::vector<int>& widths) {
  SetColumnCount(static_cast<int>(headings.size()));
  m_totalWidth = 0;
  bool tooWide = false;
  for (int c = 0; c < m_columns; ++c) {
    const int w = static_cast<size_t>(c) < widths.size()
                      ? std::max(widths[static_cast<size_t>(c)], 1)
                      : kDefaultColumnWidth;
    if (w > kMaxColumnWidth) tooWide = true;
    m_widths[static_cast<size_t>(c)] = w;
    m_totalWidth += w;
  }
  if (tooWide) ShowMessage("CPrintTable:: Column width exceeds limit.\n", MessageKind::Diagnostic);
  if (m_totalWidth > kLineWidth) {
    ShowMessage("CPrintTable:: Total table width exceeds limit.\n", MessageKind::Diagnostic);
  }
  m_column = 1;
  m_rows = 0;
  m_inTable = true;

  // Title centred over the table, then the '=' rule.
  NewLine();
  Spaces(m_margin + std::max((m_totalWidth - static_cast<int>(m_title.size())) / 2, 0));
  Write(m_title);
  NewLine();
  Spaces(m_margin);
  Write(std::string(static_cast<size_t>(m_totalWidth), '='));

  // Heading lines: "$" breaks a heading onto the next line.
  std::vector<std::vector<std::string>> parts;
  size_t lines = 1;
  for (const std::string& h : headings) {
    parts.push_back(SplitHeading(h));
    lines = std::max(lines, parts.back().size());
  }
  for (size_t l = 0; l < lines; ++l) {
    NewLine();
    Spaces(m_margin);
    std::string line;
    for (int c = 0; c < m_columns; ++c) {
      const auto& p = parts[static_cast<size_t>(c)];
      std::string cell = l < p.size() ? p[l] : std::string();
      const size_t w = static_cast<size_t>(m_widths[static_cast<size_t>(c)]);
      if (cell.size() < w) cell.append(w - cell.size(), ' ');
      line += cell;
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    Write(line);
  }
  NewLine();
  Spaces(m_margin);
  Write(std::string(static_cast<size_t>(m_totalWidth), '-'));
  NewLine();
  Spaces(m_margin);
}

void CPrintTable::WriteCell(std::string_view text) {
  const int w = m_widths[static_cast<size_t>(m_column - 1)];
  Write(text);
  Spaces(w - static_cast<int>(text.size()));
  if (m_column == m_columns) {
    NewLine();
    Spaces(m_margin);
    m_column = 1;
    ++m_rows;
  } else {
    ++m_column;
  }
}

void CPrintTable::Record(double value) {
  CColumnStatistics& s = m_stats[static_cast<size_t>(m_column - 1)];
  const int row = m_rows + 1;
  if (s.count == 0 || value < s.minimum) {
    s.minimum = value;
    s.minimumRow = row;
  }
  if (s.count == 0 || value > s.maximum) {
    s.maximum = value;
    s.maximumRow = row;
  }
  s.sum += value;
  s.absoluteSum += std::fabs(value);
  ++s.count;
}

void CPrintTable::AddCell(int value) {
  Record(value);
  WriteCell(std::to_string(value));
}

void CPrintTable::AddCell(double value) {
  Record(value);
  char buf[32];
  WriteCell(FormatTo(buf, value));
}

void CPrintTable::AddCell(std::string_view text) {
  WriteCell(text);
}

void CPrintTable::TableBlankLines(int count) {
  for (int i = 0; i < count; ++i) {
    NewLine();
    Spaces(m_margin);
  }
}

void CPrintTable::EndTable() {
  if (m_column != 1) {  // finish an incomplete last row
    NewLine();
    Spaces(m_margin);
    m_column = 1;
    ++m_rows;
  }
  if (m_rows == 0) {
    Spaces((m_totalWidth - static_cast<int>(kNoData.size())) / 2);
    Write(kNoData);
    NewLine();
    Spaces(m_margin);
  }
  Write(std::string(static_cast<size_t>(m_totalWidth), '-'));
  m_inTable = false;
}

CPrintTable::CColumnStatistics CPrintTable::GetColumnStatistics(int col) const {
  if (col < 1 || col > m_columns) return {};
  return m_stats[static_cast<size_t>(col - 1)];
}

}  // namespace olm
