#include "engine/Database.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "numerics/ExpressionEvaluator.hpp"
#include "numerics/Parallel.hpp"

namespace olm {

namespace {
constexpr double kBig = 1e20;

void SizeZoneVector(CVector<double>& v) {
  v.SetSize(CReplicate::kMaxZones);
  v.Set(0.0);
}
}  // namespace

int CFitSpec::CoefficientCount() const {
  const CFitTypeInfo* t = FindStored(kFitTypes, type);
  return t ? olm::CoefficientCount(*t, degree) : 0;
}

std::string CFitSpec::Name() const {
  return FitName(type, degree);
}

void CZone::Reset() {
  for (CMatrix<double>* m : {&workingPoints, &fitPoints, &outlierPoints}) m->SetSize(0, 0);
  pointCount = outlierCount = 0;
  smoothing = CSmoothingSpec{};
  fit.type = kFitNone;
  fit.degree = 1;
  fit.coefficients.SetSize(CReplicate::kMaxCoefficients);
  fit.coefficients.Set(0.0);
  outliers = COutlierSpec{};
  tolerance = 1e-20;
  fitQuality = smoothedArea = fittedArea = 0.0;
  work.SetSize(0);
}

CReplicate::CReplicate() {
  Reset();
}

void CReplicate::Reset() {
  m_title.clear();
  active = true;
  pointCount = 0;
  columnCount = 2;
  xColumn = 1;
  yColumn = 2;
  smoothedCount = 0;
  outlierCount = 0;
  zoneCount = 1;
  fittedAreaTotal = smoothedAreaTotal = 0.0;
  smoothed = fitted = false;
  headings.SetSize(0);
  units.SetSize(0);
  ResizeColumnTexts(columnCount);
  raw.SetSize(0, 0);
  smoothedData.SetSize(0, 0);
  fitData.SetSize(0, 0);
  outliers.SetSize(0, 0);
  coefficients.SetSize(kMaxCoefficients, kMaxZones);
  coefficients.Set(0.0);
  for (CVector<double>* v :
       {&rawYMin, &rawYMax, &smoothedYMin, &smoothedYMax, &fittedYMin, &fittedYMax, &zoneStart,
        &zoneEnd, &rSquared, &zoneFittedArea, &zoneSmoothedArea})
    SizeZoneVector(*v);
  zoneInts.SetSize(kMaxZones);
  zoneInts.Set(0);
  for (CZone& z : m_zones) z.Reset();
}

const CMatrix<double>* CReplicate::CurveData(int kind) const {
  const CCurveKindInfo* k = FindStored(kCurveKinds, kind);
  if (!k) return nullptr;
  switch (k->value) {
    case CurveKind::kRaw:
      return &raw;
    case CurveKind::kSmoothed:
      return &smoothedData;
    case CurveKind::kFitted:
      return &fitData;
  }
  return nullptr;
}

void CReplicate::ResizeColumnTexts(int columns) {
  for (CVector<std::string>* texts : {&headings, &units}) {
    CVector<std::string> resized(columns);
    for (int c = 1; c <= columns; ++c) resized(c) = c <= texts->GetSize() ? (*texts)(c) : "";
    texts->Assign(resized);
  }
}

bool CReplicate::DeleteColumn(int c) {
  if (c < 1 || c > columnCount) return false;
  const int newCount = columnCount - 1;
  CMatrix<double> kept(raw.GetRows(), newCount);
  CVector<std::string> keptHeadings(newCount), keptUnits(newCount);
  int k = 0;
  for (int j = 1; j <= columnCount; ++j) {
    if (j == c) continue;
    ++k;
    for (int i = 1; i <= raw.GetRows(); ++i) kept(i, k) = raw(i, j);
    if (j <= headings.GetSize()) keptHeadings(k) = headings(j);
    if (j <= units.GetSize()) keptUnits(k) = units(j);
  }
  raw.Assign(kept);
  headings.Assign(keptHeadings);
  units.Assign(keptUnits);
  columnCount = newCount;
  return true;
}

std::shared_ptr<CReplicate> CReplicate::Clone() const {
  return std::shared_ptr<CReplicate>(new CReplicate(*this));
}

size_t ReplicateBytes(const CReplicate& rep) {
  auto m = [](const CMatrix<double>& x) {
    return static_cast<size_t>(x.GetRows()) * static_cast<size_t>(x.GetColumns()) * sizeof(double);
  };
  size_t bytes = sizeof(CReplicate) + m(rep.raw) + m(rep.smoothedData) + m(rep.fitData) +
                 m(rep.coefficients) + m(rep.outliers);
  for (int z = 1; z <= CReplicate::kMaxZones; ++z) {
    const CZone& zone = rep.Zone(z);
    bytes += m(zone.workingPoints) + m(zone.fitPoints) + m(zone.outlierPoints) +
             static_cast<size_t>(zone.work.GetSize()) * sizeof(double);
  }
  return bytes;
}

size_t CDatabaseSnapshot::UnsharedBytes(const CDatabaseSnapshot& other) const {
  size_t bytes = 0;
  for (const auto& rep : replicates) {
    bool shared = false;
    for (const auto& o : other.replicates) shared = shared || o == rep;
    if (!shared && rep) bytes += ReplicateBytes(*rep);
  }
  return bytes;
}

CReplicate& CReplicateDB::Replicate(int i) {
  std::shared_ptr<CReplicate>& slot = m_replicates[static_cast<size_t>(i - 1)];
  if (slot.use_count() > 1) slot = slot->Clone();
  return *slot;
}

CDatabaseSnapshot CReplicateDB::Snapshot() const {
  CDatabaseSnapshot s;
  s.fileVersion = fileVersion;
  s.smoothedFlag = smoothedFlag;
  s.fittedFlag = fittedFlag;
  s.thirdFlag = thirdFlag;
  s.title = title;
  s.plotSettings = plotSettings;
  s.bestFitX.Assign(bestFitX);
  s.bestFitY.Assign(bestFitY);
  s.outlierReplicates = outlierReplicates;
  s.storedDoubles = storedDoubles;
  s.replicateCount = m_replicateCount;
  for (size_t i = 0; i < m_replicates.size(); ++i) s.replicates[i] = m_replicates[i];
  s.reportFlags = m_reportFlags;
  s.extents = m_extents;
  return s;
}

void CReplicateDB::Restore(const CDatabaseSnapshot& s) {
  fileVersion = s.fileVersion;
  smoothedFlag = s.smoothedFlag;
  fittedFlag = s.fittedFlag;
  thirdFlag = s.thirdFlag;
  title = s.title;
  plotSettings = s.plotSettings;
  bestFitX.Assign(s.bestFitX);
  bestFitY.Assign(s.bestFitY);
  outlierReplicates = s.outlierReplicates;
  storedDoubles = s.storedDoubles;
  m_replicateCount = s.replicateCount;
  // The snapshot keeps its pointers, so the first change of a replicate
  // copies it again.
  for (size_t i = 0; i < m_replicates.size(); ++i)
    m_replicates[i] = std::const_pointer_cast<CReplicate>(s.replicates[i]);
  m_reportFlags = s.reportFlags;
  m_extents = s.extents;
}

CReplicateDB::CReplicateDB() : m_evaluator(std::make_unique<CExpressionEvaluator>()) {
  for (auto& slot : m_replicates) slot = std::make_shared<CReplicate>();
  m_reportFlags.fill(false);
  Clear(false);
}

CReplicateDB::~CReplicateDB() = default;

void CReplicateDB::ResetExtents() {
  m_extents = NoExtents();
}

void CReplicateDB::Clear(bool keepData) {
  if (!keepData) {
    m_replicateCount = 0;
    outlierReplicates.clear();
    title = "Untitled";
    smoothedFlag = fittedFlag = thirdFlag = 0;
    plotSettings.Reset();
    m_evaluator->ClearVariables();
  }
  ResetExtents();
}

void CReplicateDB::ResetReplicates(int first) {
  for (int i = std::max(first, 1); i <= kMaxReplicates; ++i)
    m_replicates[static_cast<size_t>(i - 1)] = std::make_shared<CReplicate>();
}

int CReplicateDB::AddReplicate() {
  if (m_replicateCount >= kMaxReplicates) return 0;
  ++m_replicateCount;
  m_replicates[static_cast<size_t>(m_replicateCount - 1)] = std::make_shared<CReplicate>();
  return m_replicateCount;
}

void CReplicateDB::RemoveLastReplicate() {
  if (m_replicateCount == 0) return;
  m_replicates[static_cast<size_t>(m_replicateCount - 1)] = std::make_shared<CReplicate>();
  for (int k = kCurveRaw; k <= kCurveFitted; ++k) plotSettings.SetShown(m_replicateCount, k, false);
  --m_replicateCount;
}

bool CReplicateDB::DeleteReplicate(int i) {
  if (i < 1 || i > m_replicateCount) return false;
  // Rotate the slot to the end so later replicates move down by one.
  std::rotate(m_replicates.begin() + (i - 1), m_replicates.begin() + i,
              m_replicates.begin() + m_replicateCount);
  auto& styles = plotSettings.curveStyles;
  std::rotate(styles.begin() + 3 * (i - 1), styles.begin() + 3 * i,
              styles.begin() + 3 * m_replicateCount);
  const int last = m_replicateCount;
  m_replicates[static_cast<size_t>(last - 1)] = std::make_shared<CReplicate>();
  for (int k = kCurveRaw; k <= kCurveFitted; ++k) {
    // The freed rows get a fresh style with the default colour of their row.
    const int row = CPlotSettings::CurveRow(last, k);
    plotSettings.Style(row) = CCurveStyle{};
    plotSettings.Style(row).colourIndex = row <= 4 ? row : 0;
  }
  --m_replicateCount;
  return true;
}

namespace {
// Widens the extents of one kind (minIndex, maxIndex) by a box; while they
// are still the "no data" placeholders (minimum above maximum) the box
// replaces them, so data beyond +-1e20 are not hidden behind them.
void Merge(CExtents& ext, int minIndex, int maxIndex, double xLo, double xHi, double yLo,
           double yHi) {
  auto& lo = ext[static_cast<size_t>(minIndex)];
  auto& hi = ext[static_cast<size_t>(maxIndex)];
  if (lo[0] > hi[0]) {
    lo = {xLo, yLo};
    hi = {xHi, yHi};
    return;
  }
  lo[0] = std::min(lo[0], xLo);
  lo[1] = std::min(lo[1], yLo);
  hi[0] = std::max(hi[0], xHi);
  hi[1] = std::max(hi[1], yHi);
}
}  // namespace

void CReplicateDB::WidenExtents(double xMin, double xMax, double yMin, double yMax) {
  if (!std::isfinite(xMin) || !std::isfinite(xMax) || !std::isfinite(yMin) || !std::isfinite(yMax))
    return;
  Merge(m_extents, kRawMin, kRawMax, xMin, xMax, yMin, yMax);
  Merge(m_extents, kOverallMin, kOverallMax, xMin, xMax, yMin, yMax);
}

namespace {
// Widens the extents of one kind by the finite points of rows 1..rows of
// m's x and y columns.  Points with a NaN or infinite x or y are left out.
void Gather(CExtents& ext, int minIndex, int maxIndex, const CMatrix<double>& m, int rows, int xCol,
            int yCol) {
  if (rows <= 0 || m.GetRows() < rows || xCol < 1 || yCol < 1 || xCol > m.GetColumns() ||
      yCol > m.GetColumns())
    return;
  // Running extremes in locals (not in ext, which the compiler would have to
  // store on every point); a tie keeps the earlier point, as in one pass.
  // Long curves in parts on several threads, combined in order.
  constexpr double kLargest = std::numeric_limits<double>::max();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  struct CBox {
    double xLo = kInf, yLo = kInf, xHi = -kInf, yHi = -kInf;
    bool any = false;
  };
  const std::ptrdiff_t stride = m.GetColumns();
  const double* px = m.Row(1) + (xCol - 1);
  const double* py = m.Row(1) + (yCol - 1);
  const auto parts = ParallelParts<CBox>(
      static_cast<size_t>(rows), kMinItemsPerThread, [&](size_t first, size_t last) {
        CBox b;
        for (std::ptrdiff_t i = static_cast<std::ptrdiff_t>(first),
                            n = static_cast<std::ptrdiff_t>(last);
             i < n; ++i) {
          const double x = px[i * stride], y = py[i * stride];
          const bool finite = std::fabs(x) <= kLargest && std::fabs(y) <= kLargest;
          b.xLo = finite && x < b.xLo ? x : b.xLo;
          b.yLo = finite && y < b.yLo ? y : b.yLo;
          b.xHi = finite && x > b.xHi ? x : b.xHi;
          b.yHi = finite && y > b.yHi ? y : b.yHi;
          b.any |= finite;
        }
        return b;
      });
  CBox box;
  for (const CBox& b : parts) {
    box.xLo = b.xLo < box.xLo ? b.xLo : box.xLo;
    box.yLo = b.yLo < box.yLo ? b.yLo : box.yLo;
    box.xHi = b.xHi > box.xHi ? b.xHi : box.xHi;
    box.yHi = b.yHi > box.yHi ? b.yHi : box.yHi;
    box.any |= b.any;
  }
  if (box.any) Merge(ext, minIndex, maxIndex, box.xLo, box.xHi, box.yLo, box.yHi);
}
}  // namespace

void CReplicateDB::WidenExtents(int r) {
  if (r < 1 || r > m_replicateCount) return;
  const CReplicate& rep = Replicate(r);
  CExtents ext = NoExtents();
  Gather(ext, kRawMin, kRawMax, rep.raw, rep.raw.GetRows(), rep.xColumn, rep.yColumn);
  if (ext[kRawMin][0] > ext[kRawMax][0]) return;  // no finite point
  WidenExtents(ext[kRawMin][0], ext[kRawMax][0], ext[kRawMin][1], ext[kRawMax][1]);
}

CExtents CReplicateDB::NoExtents() {
  CExtents e;
  for (int k = kRawMin; k <= kOverallMin; ++k) e[static_cast<size_t>(k)] = {kBig, kBig};
  for (int k = kRawMax; k <= kOverallMax; ++k) e[static_cast<size_t>(k)] = {-kBig, -kBig};
  return e;
}

void CReplicateDB::GatherExtents(CExtents& ext, int r, int onlyKind) const {
  if (r < 1 || r > m_replicateCount) return;
  const CReplicate& rep = Replicate(r);
  if (!rep.IsActive()) return;
  const auto taken = [&](int kind) {
    return (onlyKind < 0 || onlyKind == kind) && plotSettings.IsShown(r, kind);
  };
  if (taken(kCurveRaw))
    Gather(ext, kRawMin, kRawMax, rep.raw, rep.raw.GetRows(), rep.xColumn, rep.yColumn);
  if (IsSmoothed() && taken(kCurveSmoothed))
    Gather(ext, kSmoothedMin, kSmoothedMax, rep.smoothedData, rep.smoothedData.GetRows(),
           rep.xColumn, rep.yColumn);
  if (IsLocked() && taken(kCurveFitted))
    Gather(ext, kFittedMin, kFittedMax, rep.fitData, rep.fitData.GetRows(), rep.xColumn,
           rep.yColumn);
}

void CReplicateDB::SetExtents(const CExtents& ext) {
  m_extents = NoExtents();
  // The overall extents over the kinds that hold data (placeholders else).
  const int minIndex[3] = {kRawMin, kSmoothedMin, kFittedMin};
  const int maxIndex[3] = {kRawMax, kSmoothedMax, kFittedMax};
  for (int k = 0; k < 3; ++k) {
    const auto& lo = ext[static_cast<size_t>(minIndex[k])];
    const auto& hi = ext[static_cast<size_t>(maxIndex[k])];
    if (lo[0] > hi[0]) continue;
    m_extents[static_cast<size_t>(minIndex[k])] = lo;
    m_extents[static_cast<size_t>(maxIndex[k])] = hi;
    Merge(m_extents, kOverallMin, kOverallMax, lo[0], hi[0], lo[1], hi[1]);
  }
}

void CReplicateDB::ComputeExtents(bool keepData) {
  Clear(keepData);
  CExtents ext = NoExtents();
  for (int r = 1; r <= m_replicateCount; ++r) GatherExtents(ext, r);
  SetExtents(ext);
}

void CReplicateDB::RefreshPlotLimits(bool force) {
  // With nothing shown the extents stay at +-1e20; the limits then stay too.
  if (GetExtent(kOverallMin, 1) > GetExtent(kOverallMax, 1)) return;
  plotSettings.RefreshPlotLimits(GetExtent(kOverallMin, 1), GetExtent(kOverallMax, 1),
                                 GetExtent(kOverallMin, 2), GetExtent(kOverallMax, 2), force);
}

void CReplicateDB::ClearProcessed() {
  smoothedFlag = fittedFlag = thirdFlag = 0;
  for (int r = 1; r <= m_replicateCount; ++r) {
    CReplicate& rep = Replicate(r);
    rep.smoothed = rep.fitted = false;
    rep.smoothedCount = 0;
    rep.smoothedData.SetSize(0, 0);
    rep.fitData.SetSize(0, 0);
  }
}

bool CDatabaseSnapshot::SameAs(const CDatabaseSnapshot& o) const {
  auto same = [](const CVector<double>& a, const CVector<double>& b) {
    if (a.GetSize() != b.GetSize()) return false;
    for (int i = 1; i <= a.GetSize(); ++i)
      if (a(i) != b(i)) return false;
    return true;
  };
  return fileVersion == o.fileVersion && smoothedFlag == o.smoothedFlag &&
         fittedFlag == o.fittedFlag && thirdFlag == o.thirdFlag && title == o.title &&
         plotSettings == o.plotSettings && same(bestFitX, o.bestFitX) &&
         same(bestFitY, o.bestFitY) && outlierReplicates == o.outlierReplicates &&
         storedDoubles == o.storedDoubles && replicateCount == o.replicateCount &&
         replicates == o.replicates && reportFlags == o.reportFlags && extents == o.extents;
}

double TrapezoidArea(const CMatrix<double>& m, int n, int xCol, int yCol) {
  double area = 0.0;
  for (int i = 1; i < n; ++i)
    area += (m(i + 1, xCol) - m(i, xCol)) * (m(i + 1, yCol) + m(i, yCol)) * 0.5;
  return area;
}

}  // namespace olm
