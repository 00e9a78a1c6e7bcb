#pragma once
// The steps of a batch reduction shared by `olm reduce` and `olm demo`:
// import files as replicates, apply zone settings, print results.
#include <array>
#include <cstdio>
#include <string>
#include <vector>

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

// Applies the zone settings to every replicate: each spec is checked like the
// zone dialog's "Update" and stored as given (no contiguity step, and the
// outlier method kept even beside a robust smoother).  Without
// specs each replicate gets one zone over its whole x range, unprocessed.
bool ApplyZones(CReplicateDB& db, const std::vector<CZoneControls>& zones);

// Shows the smoothed and fitted curves of every processed replicate.
void ShowProcessedCurves(CReplicateDB& db);

// A readable table of the results: per replicate and zone the settings,
// coefficients, R-squared and areas.
void PrintSummary(const CReplicateDB& db, std::FILE* out);

// "2,3,6" -> report flags 2, 3 and 6 on.  Throws UsageError.
std::array<bool, 6> ParseReportFlags(const std::string& text);

// Writes the report of a processed database: to output when given (an old
// file there is replaced), else next to the project (see CreateReport).
// Stores the flags in the database.  Returns the path written, or "" after
// showing why not.
// The report must not be one of inputs.
std::string WriteReportFile(CReplicateDB& db, const std::string& projectPath,
                            const std::string& output, const std::array<bool, 6>& flags,
                            const std::vector<std::string>& inputs = {});

// Shows why path may not be written by a command reading inputs (see
// OutputTargetProblem) and returns false; true when it may be written.
bool CheckOutputTarget(const char* command, const std::string& path,
                       const std::vector<std::string>& inputs);

// The base name of a path without folder and extension.
std::string BaseName(const std::string& path);

}  // namespace olm::cli
