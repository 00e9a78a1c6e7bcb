#include "editing/ReadRawDataSuggestion.hpp"

#include <algorithm>
#include <fstream>

#include "editing/TextScan.hpp"

namespace olm {

namespace {

bool ParseNumber(std::string_view field, bool decimalComma, double& value) {
  if (!decimalComma || field.find(',') == std::string_view::npos) return ParseDecimal(field, value);
  std::string copy(field);
  std::replace(copy.begin(), copy.end(), ',', '.');
  return ParseDecimal(copy, value);
}

// The lines that may be data: not comments, not blank.
std::vector<const std::string*> Content(const std::vector<std::string>& lines) {
  std::vector<const std::string*> out;
  for (const std::string& line : lines)
    if (!IsCommentLine(line) && !IsBlankLine(line)) out.push_back(&line);
  return out;
}

}  // namespace

std::vector<std::string> FirstLines(const std::string& path, int count, size_t width) {
  std::vector<std::string> out;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (static_cast<int>(out.size()) < count && std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (out.empty() && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    if (line.size() > width) line.resize(width);
    out.push_back(std::move(line));
  }
  return out;
}

bool IsNumberLine(const std::string& line, const CDelimiterSet& delimiters, bool decimalComma,
                  int* fields) {
  const CFieldSplitter splitter(delimiters);
  bool all = true;
  int n = 0, numbers = 0;
  splitter.Split(line, [&](int, std::string_view field) {
    ++n;
    double v;
    if (field.empty()) return true;
    if (!ParseNumber(field, decimalComma, v)) {
      all = false;
      return false;
    }
    ++numbers;
    return true;
  });
  if (fields) *fields = n;
  return all && numbers > 0;
}

CLayoutSuggestion SuggestLayout(const std::vector<std::string>& lines) {
  CLayoutSuggestion s;
  const std::vector<const std::string*> content = Content(lines);
  if (content.empty()) return s;
  // Candidate layouts, the most specific first: tab, semicolon, comma,
  // blanks; each with and without a decimal comma where the comma is free.
  struct CCandidate {
    CDelimiterSet d;
    bool decimalComma;
  };
  const CCandidate candidates[] = {
      {{false, false, true, '\0'}, false}, {{false, false, true, '\0'}, true},
      {{false, false, false, ';'}, false}, {{false, false, false, ';'}, true},
      {{true, true, true, '\0'}, false},   {{true, false, true, '\0'}, true},
  };
  // The best candidate reads the most trailing lines as numbers of more than
  // one field; on a tie the more specific (earlier) one wins, so that "1,5"
  // in a tab-separated file is a decimal comma rather than two fields.
  int bestScore = 0;
  for (const CCandidate& c : candidates) {
    // Data lines: from the end back while they are numbers.
    int fields = 0, rows = 0;
    size_t first = content.size();
    for (size_t i = content.size(); i-- > 0;) {
      int n = 0;
      if (!IsNumberLine(*content[i], c.d, c.decimalComma, &n) || n < 2) break;
      if (fields == 0) fields = n;
      first = i;
      ++rows;
    }
    const int score = rows;
    if (rows > 0 && score > bestScore) {
      bestScore = score;
      s.delimiters = c.d;
      s.decimalComma = c.decimalComma;
      s.headerLines = std::max(2, static_cast<int>(first));
      s.columns = std::max(2, fields);
      s.found = true;
    }
  }
  return s;
}

void ApplySuggestion(const CLayoutSuggestion& s, CReadRawDataForm& form) {
  form.blank = s.delimiters.blank;
  form.comma = s.delimiters.comma;
  form.tab = s.delimiters.tab;
  form.other = s.delimiters.other ? std::string(1, s.delimiters.other) : std::string();
  form.decimalComma = s.decimalComma;
  form.headerLines = s.headerLines;
  form.columns = s.columns;
  if (form.xColumn > form.columns) form.xColumn = 1;
  if (form.yColumn > form.columns) form.yColumn = std::min(2, form.columns);
}

}  // namespace olm
