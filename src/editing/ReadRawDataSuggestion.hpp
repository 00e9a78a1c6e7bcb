#pragma once
// A guess at a raw-data file's layout from its first lines, for the import
// dialog to offer: delimiters, decimal comma, header-line count and column
// count.  The guess only fills the form; the user checks it in the preview.
#include <string>
#include <vector>

#include "editing/ReadRawDataForm.hpp"

namespace olm {

struct CLayoutSuggestion {
  CDelimiterSet delimiters;
  bool decimalComma = false;
  int headerLines = 2;
  int columns = 2;
  bool found = false;  // a data line was recognised
};

// Guesses from the first lines of a file (as read, tabs not expanded).
CLayoutSuggestion SuggestLayout(const std::vector<std::string>& lines);

// The first lines of a file as they are (no tab expansion), at most `count`
// lines of at most `width` characters.
std::vector<std::string> FirstLines(const std::string& path, int count, size_t width = 4096);

// Whether every field of a line (split with the delimiters) is a number.
bool IsNumberLine(const std::string& line, const CDelimiterSet& delimiters, bool decimalComma,
                  int* fields = nullptr);

// Fills the form's delimiter, decimal-comma, header and column fields.
void ApplySuggestion(const CLayoutSuggestion& suggestion, CReadRawDataForm& form);

}  // namespace olm
