#pragma once
// The curves of the plot: which of a replicate's raw, smoothed and fitted
// curves exist and are shown, their names and their points.  Shared by the
// plot scene, the legend and the navigation tree.
//
// A replicate's smoothed curve exists when the database is smoothed and the
// replicate holds smoothed points; its fitted curve when the database is
// locked (fitted) and the replicate holds fitted points.  A typed shift of
// the raw data clears the database's processed flags, so the stale results
// of the unshifted data are then neither drawn nor listed.
#include <string>

#include "engine/Database.hpp"
#include "plot/Graph.hpp"

namespace olm {

// Indices of the plot settings' display switches that the plot reads.
enum PlotDisplayFlag {
  kFlagShowMarkers = 0,
  kFlagXGridLines = 1,  // vertical grid lines at the x divisions
  kFlagYGridLines = 2,  // horizontal grid lines at the y divisions
  kFlagShowLegend = 3,
  kFlagShowXAxis = 4,  // the zero line y = 0
  kFlagShowYAxis = 5,  // the zero line x = 0
  kFlagLabelCurves = 6,
  kFlagTicksOutside = 7,
};

bool GetDisplayFlag(const CPlotSettings& s, int flag);
void SetDisplayFlag(CPlotSettings& s, int flag, bool on);

// "-R", "-S", "-F" by curve kind.
const char* CurveSuffix(int kind);
// "Raw-%d", "Smt-%d", "Fit-%d": the identifier of a curve's label object.
std::string CurveIdentifier(int replicate, int kind);
// The replicate's name followed by the kind's suffix.
std::string CurveLabelText(const CReplicateDB& db, int replicate, int kind);

// The number of points of the replicate's curve of the kind (0 when it does
// not exist).
int CurvePointCount(const CReplicateDB& db, int replicate, int kind);
bool HasCurveData(const CReplicateDB& db, int replicate, int kind);
// Drawn: the replicate is active, the curve's display switch is on and the
// curve has points.
bool IsCurveVisible(const CReplicateDB& db, int replicate, int kind);
// The x and y columns of the curve's points.
CCurveView CurvePoints(const CReplicateDB& db, int replicate, int kind);
// The database's best-fit curve (its two vectors).
CCurveView BestFitPoints(const CReplicateDB& db);

}  // namespace olm
