#pragma once
// The database record of a project file, and the plot settings record inside
// it.
//
// The file has no tags and no checksum: the writer and the reader walk the
// same fixed order of fields.  Versions: 0.911 is the oldest readable file
// (no column units, no report flags), 0.912 adds the column units, 0.913 the
// report flags; the writer always writes 0.913.
#include "engine/Database.hpp"
#include "engine/PlotSettings.hpp"
#include "engine/ProjectStream.hpp"

namespace olm {

constexpr double kOldestFileVersion = 0.911;
constexpr double kUnitsFileVersion = 0.912;
constexpr double kReportFlagsFileVersion = 0.913;

// A file older than the oldest readable version.  what() is "Invalid database.".
class CInvalidDatabaseError : public CProjectFormatError {
 public:
  CInvalidDatabaseError();
};

// A logical font: five 32-bit integers, eight bytes, the face name.
void StoreLogFont(CProjectWriter& out, const CLogFont& font);
void LoadLogFont(CProjectReader& in, CLogFont& font);

// The plot settings record, fields 1 to 38 in order (the style table as 61
// rows).
void StorePlotSettings(CProjectWriter& out, const CPlotSettings& settings);
void LoadPlotSettings(CProjectReader& in, CPlotSettings& settings);

// Sets the database's file version to 0.913 and writes the database record.
void StoreDatabase(CProjectWriter& out, CReplicateDB& db);

// Reads the database record into db, which must be freshly constructed or
// cleared: matrices and vectors stored empty keep what db holds.  Throws
// CInvalidDatabaseError for a version below 0.911 and CProjectFormatError for
// a damaged record; db is then partly filled and must be discarded.
//
// Besides the sizes the stream checks, the record must be consistent, since
// the engine relies on it: at most 20 replicates and 5 zones; each
// replicate's point count and smoothed count equal the rows of its raw and
// smoothed matrices, its raw matrix has its column count, the x and y columns
// lie in 1..column count, and its processed matrices are at least that wide.
// A record that breaks one of these is refused.  Per-zone vectors and fit
// coefficients stored shorter than the engine's fixed sizes (5 zones, 6
// coefficients, a 6 x 5 coefficient matrix) are padded with zeros.
void LoadDatabase(CProjectReader& in, CReplicateDB& db);

}  // namespace olm
