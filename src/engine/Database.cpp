#include "engine/Database.hpp"

#include <algorithm>
#include <cmath>

#include "numerics/ExpressionEvaluator.hpp"

namespace olm {

namespace {
constexpr double kBig = 1e20;

void SizeZoneVector(CVector<double>& v) {
  v.SetSize(CReplicate::kMaxZones);
  v.Set(0.0);
}
}  // namespace

const char* SmoothingMethodName(int method) {
  static const char* const kNames[] = {
      "None",         "Median", "Simple Moving Average", "Polynomial Moving Average", "Loess",
      "Robust Loess", "Lowess", "Robust Lowess"};
  return method >= 0 && method <= 7 ? kNames[method] : "Unknown";
}

int CFitSpec::CoefficientCount() const {
  switch (type) {
    case kFitPolynomial:
      return degree + 1;
    case kFitExponential:
    case kFitLogarithmic:
    case kFitPowerLaw:
      return 2;
    default:
      return 0;
  }
}

std::string CFitSpec::Name() const {
  static const char* const kDegrees[] = {"Linear Polynomial", "Quadratic Polynomial",
                                         "Cubic Polynomial", "Quartic Polynomial",
                                         "Quintic Polynomial"};
  switch (type) {
    case kFitPolynomial:
      return degree >= 1 && degree <= 5 ? kDegrees[degree - 1] : "Polynomial";
    case kFitExponential:
      return "Exponential";
    case kFitLogarithmic:
      return "Logarithmic";
    case kFitPowerLaw:
      return "Power Law";
    default:
      return "None";
  }
}

void CZone::Reset() {
  for (CMatrix<double>* m : {&rawPoints, &workingPoints, &fitPoints, &outlierPoints})
    m->SetSize(0, 0);
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
  switch (kind) {
    case kCurveRaw:
      return &raw;
    case kCurveSmoothed:
      return &smoothedData;
    case kCurveFitted:
      return &fitData;
    default:
      return nullptr;
  }
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

CReplicateDB::CReplicateDB() : m_evaluator(std::make_unique<CExpressionEvaluator>()) {
  for (auto& slot : m_replicates) slot = std::make_unique<CReplicate>();
  m_reportFlags.fill(false);
  Clear(false);
}

CReplicateDB::~CReplicateDB() = default;

void CReplicateDB::ResetExtents() {
  for (int k = kRawMin; k <= kOverallMin; ++k) m_extents[k] = {kBig, kBig};
  for (int k = kRawMax; k <= kOverallMax; ++k) m_extents[k] = {-kBig, -kBig};
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
  for (int i = std::max(first, 1); i <= kMaxReplicates; ++i) Replicate(i).Reset();
}

int CReplicateDB::AddReplicate() {
  if (m_replicateCount >= kMaxReplicates) return 0;
  ++m_replicateCount;
  Replicate(m_replicateCount).Reset();
  return m_replicateCount;
}

void CReplicateDB::RemoveLastReplicate() {
  if (m_replicateCount == 0) return;
  Replicate(m_replicateCount).Reset();
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
  Replicate(last).Reset();
  for (int k = kCurveRaw; k <= kCurveFitted; ++k) {
    // The freed rows get a fresh style with the default colour of their row.
    const int row = CPlotSettings::CurveRow(last, k);
    plotSettings.Style(row) = CCurveStyle{};
    plotSettings.Style(row).colourIndex = row <= 4 ? row : 0;
  }
  --m_replicateCount;
  return true;
}

void CReplicateDB::WidenExtents(double xMin, double xMax, double yMin, double yMax) {
  for (int k : {kRawMin, kOverallMin}) {
    m_extents[k][0] = std::min(m_extents[k][0], xMin);
    m_extents[k][1] = std::min(m_extents[k][1], yMin);
  }
  for (int k : {kRawMax, kOverallMax}) {
    m_extents[k][0] = std::max(m_extents[k][0], xMax);
    m_extents[k][1] = std::max(m_extents[k][1], yMax);
  }
}

namespace {
// Widens extents [minIndex], [maxIndex] with rows 1..rows of the x and y columns.
void Gather(std::array<std::array<double, 2>, 8>& ext, int minIndex, int maxIndex,
            const CMatrix<double>& m, int rows, int xCol, int yCol) {
  if (rows <= 0 || m.GetRows() < rows || xCol < 1 || yCol < 1 || xCol > m.GetColumns() ||
      yCol > m.GetColumns())
    return;
  // Two rows at a time into separate bounds, so that the comparisons of
  // neighbouring rows do not wait on each other; a NaN never replaces a bound.
  double lo[2][2] = {{ext[minIndex][0], ext[minIndex][1]}, {ext[minIndex][0], ext[minIndex][1]}};
  double hi[2][2] = {{ext[maxIndex][0], ext[maxIndex][1]}, {ext[maxIndex][0], ext[maxIndex][1]}};
  const double* p = m.Row(1);
  const std::ptrdiff_t stride = m.GetColumns();
  const int xo = xCol - 1, yo = yCol - 1;
  int i = 0;
  for (; i + 1 < rows; i += 2, p += 2 * stride) {
    for (int k = 0; k < 2; ++k) {
      const double x = p[k * stride + xo], y = p[k * stride + yo];
      lo[k][0] = std::min(lo[k][0], x);
      lo[k][1] = std::min(lo[k][1], y);
      hi[k][0] = std::max(hi[k][0], x);
      hi[k][1] = std::max(hi[k][1], y);
    }
  }
  if (i < rows) {
    lo[0][0] = std::min(lo[0][0], p[xo]);
    lo[0][1] = std::min(lo[0][1], p[yo]);
    hi[0][0] = std::max(hi[0][0], p[xo]);
    hi[0][1] = std::max(hi[0][1], p[yo]);
  }
  for (int e = 0; e < 2; ++e) {
    ext[minIndex][e] = std::min(lo[0][e], lo[1][e]);
    ext[maxIndex][e] = std::max(hi[0][e], hi[1][e]);
  }
}
}  // namespace

void CReplicateDB::ComputeExtents(bool keepData) {
  Clear(keepData);
  for (int r = 1; r <= m_replicateCount; ++r) {
    const CReplicate& rep = Replicate(r);
    if (!rep.IsActive()) continue;
    if (plotSettings.IsShown(r, kCurveRaw))
      Gather(m_extents, kRawMin, kRawMax, rep.raw, rep.raw.GetRows(), rep.xColumn, rep.yColumn);
    if (IsSmoothed() && plotSettings.IsShown(r, kCurveSmoothed))
      Gather(m_extents, kSmoothedMin, kSmoothedMax, rep.smoothedData, rep.smoothedData.GetRows(),
             rep.xColumn, rep.yColumn);
    if (IsLocked() && plotSettings.IsShown(r, kCurveFitted))
      Gather(m_extents, kFittedMin, kFittedMax, rep.fitData, rep.fitData.GetRows(), rep.xColumn,
             rep.yColumn);
  }
  for (int e = 0; e < 2; ++e) {
    m_extents[kOverallMin][e] =
        std::min({m_extents[kRawMin][e], m_extents[kSmoothedMin][e], m_extents[kFittedMin][e]});
    m_extents[kOverallMax][e] =
        std::max({m_extents[kRawMax][e], m_extents[kSmoothedMax][e], m_extents[kFittedMax][e]});
  }
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

double TrapezoidArea(const CMatrix<double>& m, int n, int xCol, int yCol) {
  double area = 0.0;
  for (int i = 1; i < n; ++i)
    area += (m(i + 1, xCol) - m(i, xCol)) * (m(i + 1, yCol) + m(i, yCol)) * 0.5;
  return area;
}

}  // namespace olm
