#pragma once
// The rules of the "Read Raw Data" dialog, free of any widget: its fields with
// their defaults, the checks of "Apply" with their messages, and the import.
#include <string>
#include <vector>

#include "editing/RawDataReader.hpp"
#include "engine/Database.hpp"

namespace olm {

class CReadRawDataForm {
 public:
  static constexpr int kMaxDataIdLength = 16;
  // Wider files are refused as "Invalid number of columns": every row of a
  // replicate holds every column.
  static constexpr int kMaxColumns = 1000;
  static constexpr const char* kTip =
      "$$ start a comment line. Last two header lines must have column headings and units. "
      "Do not count comment and blank lines in the count for header lines. Data lines that "
      "are blank will be ignored.";

  // The Data ID a file's replicate gets when none is given: the file's name
  // without its last extension, cut to kMaxDataIdLength bytes where a
  // character begins.
  static std::string DataIdOf(const std::string& path);

  // Fields, with the dialog's defaults.
  bool blank = true;
  bool comma = true;
  bool tab = true;
  std::string other;  // at most one character
  int columns = 2;
  int xColumn = 1;
  int yColumn = 2;
  int headerLines = 2;
  std::string dataId;         // at most 16 characters
  bool decimalComma = false;  // "3,9" reads as 3.9 (when the comma is no delimiter)
  std::string path;

  // "Browse": remembers the path and returns the preview rows (line number
  // from 1 and contents).
  std::vector<std::pair<int, std::string>> Browse(const std::string& file);

  // "Apply": checks the fields (showing the first failing check's message),
  // imports the file as a new replicate, shows its replicate's display switch
  // on, recomputes the extents and plot limits and shows "Successfully created
  // replicate %d".  True when a replicate was created; the caller then marks
  // the document modified.
  bool Apply(CReplicateDB& db);

  // The delimiter set the fields describe.
  CDelimiterSet Delimiters() const;
};

}  // namespace olm
