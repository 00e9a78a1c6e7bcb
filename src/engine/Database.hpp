#pragma once
// The database: the one in-memory model of a project.
//
// Replicates (data sets) with their columns of raw data, their zones along x
// with the processing settings, and the results of processing.  Everything is
// numbered from 1: replicates, zones, rows, columns.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/Methods.hpp"
#include "engine/PlotSettings.hpp"
#include "numerics/Containers.hpp"

namespace olm {

class CExpressionEvaluator;
class IProgress;

struct CSmoothingSpec {
  int repeats = 1;
  int points = 0;            // window size
  int order = 3;             // polynomial order of the polynomial moving average
  int method = kSmoothNone;  // stored number of a filter (kSmoothingFilters)
};

struct CFitSpec {
  CFitSpec() : coefficients(6, 0.0) {}
  int type = kFitNone;  // stored number of a fit type (kFitTypes)
  int degree = 1;
  CVector<double> coefficients;  // 1-based, row 1 = constant term

  // The fit type's count (kFitTypes): degree + 1 for a polynomial, 2 for the
  // other fits, 0 without a fit or for an unknown type.
  int CoefficientCount() const;
  // The summary name (FitName): "Linear Polynomial" .. "Power Law", "None".
  std::string Name() const;
};

struct COutlierSpec {
  int method = kOutliersNone;  // stored number of an outlier method (kOutlierMethods)
};

// One zone of one replicate: its settings and the working data of a run.
class CZone {
 public:
  // Back to the defaults (settings and working data).
  void Reset();

  CMatrix<double> workingPoints;  // rows being outlier-filtered, smoothed, then fitted
  CMatrix<double> fitPoints;      // x and fitted y at the working points
  CMatrix<double> outlierPoints;  // x and y of the points outlier removal took out
  int pointCount = 0;             // rows of the working points in use
  int outlierCount = 0;
  CSmoothingSpec smoothing;
  CFitSpec fit;
  COutlierSpec outliers;
  double tolerance = 1e-20;  // pivot tolerance of the polynomial fit
  double fitQuality = 0.0;   // R-squared
  double smoothedArea = 0.0;
  double fittedArea = 0.0;
  CVector<double> work;  // one per working point, zeroed before each fit
};

// One data set.
class CReplicate {
 public:
  static constexpr int kMaxZones = 5;
  static constexpr int kMaxCoefficients = 6;

  CReplicate();
  CReplicate& operator=(const CReplicate&) = delete;

  // A deep copy (the copy-on-write step of the database and undo).
  std::shared_ptr<CReplicate> Clone() const;

  // Back to the defaults of a fresh slot.
  void Reset();

  const std::string& GetTitle() const { return m_title; }
  // Setting the title also makes the replicate active.
  void SetTitle(std::string title) {
    m_title = std::move(title);
    active = true;
  }
  bool IsActive() const { return active; }
  void SetActive(bool a) { active = a; }
  void SetXYColumns(int x, int y) {
    xColumn = x;
    yColumn = y;
  }
  double GetZoneStart(int zone) const { return zoneStart(zone); }
  double GetZoneEnd(int zone) const { return zoneEnd(zone); }
  void SetZoneStart(int zone, double x) { zoneStart(zone) = x; }
  void SetZoneEnd(int zone, double x) { zoneEnd(zone) = x; }

  CZone& Zone(int z) { return m_zones[static_cast<size_t>(z - 1)]; }
  const CZone& Zone(int z) const { return m_zones[static_cast<size_t>(z - 1)]; }

  // Sizes the column heading and unit arrays to the column count, keeping
  // what fits.
  void ResizeColumnTexts(int columns);

  // Removes column c of the raw data with its heading and unit.  Processed
  // results are not touched.  False when c is not a column.
  bool DeleteColumn(int c);

  // The rows of the fitted-data matrix that hold fitted points.
  int FittedRows() const { return fitData.GetRows(); }

  // The matrix of a curve kind (raw, smoothed, fitted); null for another kind.
  const CMatrix<double>* CurveData(int kind) const;

  bool active = true;
  int pointCount = 0;
  int columnCount = 2;
  int xColumn = 1;
  int yColumn = 2;
  int smoothedCount = 0;
  int outlierCount = 0;
  int zoneCount = 1;
  double fittedAreaTotal = 0.0;
  double smoothedAreaTotal = 0.0;
  bool smoothed = false;
  bool fitted = false;
  CVector<std::string> headings;
  CVector<std::string> units;
  CMatrix<double> raw;
  CMatrix<double> smoothedData;
  CMatrix<double> fitData;       // x and fitted y of every fitted zone, zone after zone
  CMatrix<double> coefficients;  // 6 x 5; column z holds zone z's coefficients
  CMatrix<double> outliers;      // x and y columns of the points taken out

  // Per-zone results, indexed by zone 1..5.
  CVector<double> rawYMin, rawYMax;
  CVector<double> smoothedYMin, smoothedYMax;
  CVector<double> fittedYMin, fittedYMax;
  CVector<int> zoneInts;  // stored only
  CVector<double> zoneStart, zoneEnd;
  CVector<double> rSquared;
  CVector<double> zoneFittedArea, zoneSmoothedArea;

 private:
  CReplicate(const CReplicate&) = default;

  std::string m_title;
  std::array<CZone, kMaxZones> m_zones;
};

class CReplicateDB;

// Everything a database holds but its calculator: what the project file
// stores, with the replicates shared, not copied.  Taking one costs a few
// kilobytes (the plot settings); a replicate is copied only when the
// database changes it while a snapshot still shares it (copy on write), so
// snapshots before and after an operation share every replicate it did not
// touch.
class CDatabaseSnapshot {
 public:
  // Bytes of the replicates of this snapshot that `other` does not share
  // (what keeping this snapshot beside `other` costs).
  size_t UnsharedBytes(const CDatabaseSnapshot& other) const;
  // The same state: equal fields and the very same replicates (a replicate
  // that was copied for a change counts as changed).
  bool SameAs(const CDatabaseSnapshot& other) const;

 private:
  friend class CReplicateDB;
  double fileVersion = 0;
  uint8_t smoothedFlag = 0, fittedFlag = 0, thirdFlag = 0;
  std::string title;
  CPlotSettings plotSettings;
  CVector<double> bestFitX, bestFitY;
  std::vector<int> outlierReplicates;
  std::array<double, 6> storedDoubles{};
  int replicateCount = 0;
  std::array<std::shared_ptr<const CReplicate>, 20> replicates;
  std::array<bool, 10> reportFlags{};
  std::array<std::array<double, 2>, 8> extents{};
};

// Bytes of memory a replicate's matrices and vectors hold.
size_t ReplicateBytes(const CReplicate& rep);

// The database's extents: x and y of each index below.
using CExtents = std::array<std::array<double, 2>, 8>;

// Indices of the database's extents (each holds x and y).
enum ExtentIndex {
  kRawMin = 0,
  kSmoothedMin,
  kFittedMin,
  kOverallMin,
  kRawMax,
  kSmoothedMax,
  kFittedMax,
  kOverallMax,
};

class CReplicateDB {
 public:
  static constexpr int kMaxReplicates = 20;
  static constexpr int kReportFlags = 10;
  static constexpr double kFileVersion = 0.913;

  CReplicateDB();
  ~CReplicateDB();
  CReplicateDB(const CReplicateDB&) = delete;
  CReplicateDB& operator=(const CReplicateDB&) = delete;

  // keepData false: no replicates, title "Untitled", processed flags cleared,
  // outlier-replicate list emptied, plot settings reset, the evaluator's
  // variables removed.  Always: extents reset.
  void Clear(bool keepData);
  // Resets the replicate slots first..20 to their defaults.
  void ResetReplicates(int first);
  // Clears the extents and gathers them again from the shown curves of the
  // active replicates (raw always, smoothed and fitted once processed).
  void ComputeExtents(bool keepData);
  // The same in parts, for a caller that changes one replicate many times
  // (a curve dragged with the mouse) and gathers the others once:
  // NoExtents() holds the "no data" placeholders, GatherExtents widens ext
  // by the shown curves of replicate r (when active), and SetExtents takes
  // the three kinds of ext and derives the overall extents from them.
  // Extents() are the current extents, for widening by curves newly shown;
  // GatherExtents with a curve kind takes only that kind of replicate r.
  static CExtents NoExtents();
  const CExtents& Extents() const { return m_extents; }
  void GatherExtents(CExtents& ext, int r, int onlyKind = -1) const;
  void SetExtents(const CExtents& ext);
  // Refreshes the plot limits of the plot settings from the overall extents.
  void RefreshPlotLimits(bool force);
  // The analysis run: validate, smooth, fit.  True on success.  With a
  // progress, each replicate's smoothing and fitting is reported, and a
  // cancel request ends the run (false, no message) between two of them; the
  // database is then partly processed and must be discarded (run a copy).
  bool Process(IProgress* progress = nullptr);
  // The first stage of Process: the zone checks (codes 1 to 4).
  bool Validate();
  // Clears the processed flags of the database and of every replicate, and
  // the replicates' smoothed and fitted point counts (before a new analysis).
  void ClearProcessed();

  int GetReplicateCount() const { return m_replicateCount; }
  // A replicate to change: when a snapshot still shares it, it is copied
  // first, so the snapshot keeps what it had.  Read through the const form
  // (std::as_const) where nothing changes.
  CReplicate& Replicate(int i);
  const CReplicate& Replicate(int i) const { return *m_replicates[static_cast<size_t>(i - 1)]; }

  // The state without the calculator, sharing the replicates.
  CDatabaseSnapshot Snapshot() const;
  // Puts back a snapshot's state (the calculator keeps its variables).
  void Restore(const CDatabaseSnapshot& snapshot);

  // Takes the next free slot (reset to defaults) and returns its number, or 0
  // when all 20 slots are in use.
  int AddReplicate();
  // Withdraws the last replicate (an import or creation that failed).
  void RemoveLastReplicate();
  // Deletes replicate i; later replicates, with their display settings, move
  // down by one.  False when i is not a replicate.
  bool DeleteReplicate(int i);

  bool GetReportFlag(int i) const { return m_reportFlags[static_cast<size_t>(i - 1)]; }
  void SetReportFlag(int i, bool on) { m_reportFlags[static_cast<size_t>(i - 1)] = on; }

  // The calculator that evaluates column expressions on this database; it
  // lives as long as the database, so what one statement assigns stays
  // visible to later ones.
  CExpressionEvaluator& Evaluator() { return *m_evaluator; }

  bool IsSmoothed() const { return smoothedFlag != 0; }
  bool IsLocked() const { return fittedFlag != 0; }

  double GetExtent(int index, int element) const {
    return m_extents[static_cast<size_t>(index)][static_cast<size_t>(element - 1)];
  }
  void SetExtent(int index, int element, double v) {
    m_extents[static_cast<size_t>(index)][static_cast<size_t>(element - 1)] = v;
  }
  void ResetExtents();
  // Widens the raw and overall extents with a new x and y range, or with the
  // finite points of replicate r's raw curve (shown or not).
  void WidenExtents(double xMin, double xMax, double yMin, double yMax);
  void WidenExtents(int r);

  double fileVersion = kFileVersion;
  uint8_t smoothedFlag = 0;
  uint8_t fittedFlag = 0;
  uint8_t thirdFlag = 0;
  std::string title = "Untitled";
  CPlotSettings plotSettings;
  CVector<double> bestFitX, bestFitY;
  std::vector<int> outlierReplicates;  // printed by the report; filled by no operation
  std::array<double, 6> storedDoubles{};

 private:
  bool SmoothAll(IProgress* progress);
  bool FitAll(IProgress* progress);
  bool SmoothReplicate(CReplicate& rep);
  bool FitReplicate(CReplicate& rep);

  int m_replicateCount = 0;
  std::array<std::shared_ptr<CReplicate>, kMaxReplicates> m_replicates;
  std::array<bool, kReportFlags> m_reportFlags{};
  CExtents m_extents{};
  std::unique_ptr<CExpressionEvaluator> m_evaluator;
};

// Trapezoidal area under rows 1..n of a matrix's x and y columns.
double TrapezoidArea(const CMatrix<double>& m, int n, int xCol, int yCol);

}  // namespace olm
