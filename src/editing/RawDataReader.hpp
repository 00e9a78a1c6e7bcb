#pragma once
// Import of delimited text files as replicates.
//
// File format: plain text read line by line (lines of any length); lines
// starting with "$$" are comments and, like blank lines, are skipped and not
// counted as header or data lines.  The first H remaining lines are header
// lines: line H-1 holds the column headings and line H the units.  Every
// further line is one data row; a missing field reads as 0.0.
#include <string>
#include <vector>

#include "editing/TextScan.hpp"
#include "engine/Database.hpp"

namespace olm {

struct CRawDataRequest {
  std::string path;
  CDelimiterSet delimiters;
  int xColumn = 1;
  int yColumn = 2;
  int columns = 2;
  int headerLines = 2;
  std::string title;
  bool updateExtents = true;
  // Reads a comma inside a number field as the decimal point ("3,9" is 3.9),
  // as exports made under a European locale write numbers.  Only useful when
  // the comma is not a delimiter.
  bool decimalComma = false;
  // Threads that read the file, each a slice of it; 0 chooses by the file's
  // size and the processors (tests set it to read small files in slices).
  int slices = 0;
};

// Longest column heading or unit.
constexpr int kMaxColumnText = 30;

// Reads the file into a new replicate.  Reports codes 10 (cannot open), 12
// (no data rows), 23 (all replicate slots in use), 43 (heading or unit too
// long) and 13 with the file line number (a field that is not a number); on
// any failure the database is left without the new replicate.  Returns false
// without a message when the x column is outside 1..columns or columns < 2.
bool ReadRawData(CReplicateDB& db, const CRawDataRequest& request);

// The first lines of a file for a preview: at most `count` lines of at most
// 256 characters each, tabs shown as three blanks.  Empty when the file
// cannot be opened.
std::vector<std::string> PreviewLines(const std::string& path, int count = 10);

}  // namespace olm
