#pragma once
// The steps of a batch reduction shared by `olm reduce` and `olm demo`:
// import files as replicates, apply zone settings, print results.
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "document/Document.hpp"
#include "editing/ReadRawDataForm.hpp"
#include "editing/ZoneRules.hpp"
#include "engine/Database.hpp"

namespace olm::cli {

struct CImportOptions {
  int columns = 2;
  int xColumn = 1;
  int yColumn = 2;
  int headerLines = 2;
  CDelimiterSet delimiters;
  bool decimalComma = false;
};

// "blank,comma,tab" style list: the words blank (or space), comma, tab,
// semicolon, or any single character as the other delimiter.  Throws
// UsageError for an unknown word or a second other character.
CDelimiterSet ParseDelimiters(const std::string& text);

// START:END[,fit=..][,smooth=..][,points=N][,order=3|5][,repeats=N][,outliers=..]
// Throws UsageError for a malformed spec.
CZoneControls ParseZoneSpec(const std::string& text);

// Imports a file as a new replicate through the import form's checks.
bool ImportFile(CReplicateDB& db, const std::string& path, const std::string& title,
                const CImportOptions& options);
// The same as one step of the document.
bool ImportFile(COLMDoc& doc, const std::string& path, const std::string& title,
                const CImportOptions& options);

// A readable table of the results: per replicate and zone the settings,
// coefficients, R-squared and areas.
void PrintSummary(const CReplicateDB& db, std::FILE* out);

// "2,3,6" -> report flags 2, 3 and 6 on.  Throws UsageError.
std::array<bool, 6> ParseReportFlags(const std::string& text);

// Shows why path may not be written by a command reading inputs (see
// OutputTargetProblem) and returns false; true when it may be written.
bool CheckOutputTarget(const char* command, const std::string& path,
                       const std::vector<std::string>& inputs);

// The base name of a path without folder and extension.
std::string BaseName(const std::string& path);

}  // namespace olm::cli
