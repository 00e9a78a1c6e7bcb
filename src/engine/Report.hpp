#pragma once
// The plain-text report of a processed database, and the report command's
// engine side (output path, old file, flags).
//
// Layout: a banner of three centred lines; the time stamp; per replicate its
// point count, a "Data Points" table (report flags 2, 3, 4 choose raw,
// smoothed and fitted columns; a kind with fewer rows prints "-") closed by
// Min / Point / Max / Point lines, the "Outlier Data" table, and per zone the
// smoothing and fit blocks; then, with at least two replicates and flag 5 or
// 6, statistics over the replicates.  Flag 1 leaves out replicates none of
// whose curves is shown; with flag 6 the statistics take only shown
// replicates and curves.
//
// The outlier-replicate list is printed as the database holds it; no
// operation fills it, so the report states "No replicates were detected as
// outliers".
#include <array>
#include <string>
#include <vector>

#include "engine/Database.hpp"

namespace olm {

// Report flags, numbered as the database stores them.
enum ReportFlag {
  kReportActiveOnly = 1,
  kReportRawData = 2,
  kReportSmoothedData = 3,
  kReportFittedData = 4,
  kReportZoneStatistics = 5,
  kReportSetStatistics = 6,
};

// Writes the report of the database to the file at path, replacing an old
// file only when the whole report was written.  False (with the reason and
// code 11, "Cannot open output file.") when the file cannot be written, is
// not a regular file or is one of the inputs.
bool WriteReport(const CReplicateDB& db, const std::string& path,
                 const std::vector<std::string>& inputs = {});

// The report path of a project: the project path with its extension (the
// part of the file name from its last ".") replaced by ".out", or with ".out"
// appended when the file name has none.  Empty for a project never saved.
std::string ReportPath(const std::string& projectPath);

// Stores the six flags in the database and writes the report at path (an
// old report there is replaced).  Returns path, or "" on failure.
std::string ReplaceReport(CReplicateDB& db, const std::string& path,
                          const std::array<bool, 6>& flags,
                          const std::vector<std::string>& inputs = {});

// The report command: derives the path ("Save the project first." for a
// project never saved), stores the six flags in the database and writes the
// report, replacing an old one.  Returns the report path, or "" on failure.
std::string CreateReport(CReplicateDB& db, const std::string& projectPath,
                         const std::array<bool, 6>& flags,
                         const std::vector<std::string>& inputs = {});

}  // namespace olm
