#include "engine/BestFit.hpp"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "engine/EngineError.hpp"
#include "engine/Reformat.hpp"
#include "engine/ZoneProcessing.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

namespace {

void ShowEndTypeMessage() {
  ShowMessage("Choose a curve end type: " +
              JoinColumn(kCurveEnds, &CCurveEndInfo::choice, ", ", " or ") + ".");
}

struct CCurve {
  int replicate = 0;
  int kind = kCurveRaw;
  const CMatrix<double>* matrix = nullptr;
  int rows = 0;
  double reach = 0.0;
};

// The matrix of a curve kind number (callers pass only numbers of kCurveKinds).
const CMatrix<double>& CurveMatrix(const CReplicate& rep, int kind) {
  return *rep.CurveData(kind);
}

int CurveRows(const CReplicate& rep, int kind) {
  const CMatrix<double>& m = CurveMatrix(rep, kind);
  int stated = 0;
  switch (EntryOf(kCurveKinds, kind).value) {
    case CurveKind::kRaw:
      stated = rep.pointCount;
      break;
    case CurveKind::kSmoothed:
      stated = rep.smoothedCount;
      break;
    case CurveKind::kFitted:
      stated = m.GetRows();
      break;
  }
  return std::min(stated, m.GetRows());
}

// Sorted point list with equal x merged; points whose x or y is not a finite
// number are left out (they have no place on the grid).
std::vector<std::pair<double, double>> PointList(const CMatrix<double>& m, int rows, int xc,
                                                 int yc) {
  std::vector<std::pair<double, double>> pts;
  pts.reserve(static_cast<size_t>(rows));
  for (int i = 1; i <= rows; ++i)
    if (std::isfinite(m(i, xc)) && std::isfinite(m(i, yc))) pts.emplace_back(m(i, xc), m(i, yc));
  std::stable_sort(pts.begin(), pts.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::pair<double, double>> merged;
  for (size_t i = 0; i < pts.size();) {
    size_t j = i;
    double sum = 0.0;
    while (j < pts.size() && pts[j].first == pts[i].first) sum += pts[j++].second;
    merged.emplace_back(pts[i].first, sum / static_cast<double>(j - i));
    i = j;
  }
  return merged;
}

// Linear resampling with the end values kept outside the list's x range.
// Grid x values ascend, so one walk serves them all.
void Resample(const std::vector<std::pair<double, double>>& pts, const CVector<double>& grid,
              std::vector<double>& out) {
  const int n = grid.GetSize();
  out.assign(static_cast<size_t>(n), 0.0);
  if (pts.empty()) return;
  size_t k = 0;
  for (int j = 1; j <= n; ++j) {
    const double x = grid(j);
    double& y = out[static_cast<size_t>(j - 1)];
    if (x <= pts.front().first) {
      y = pts.front().second;
      continue;
    }
    if (x >= pts.back().first) {
      y = pts.back().second;
      continue;
    }
    while (k + 1 < pts.size() && pts[k + 1].first <= x) ++k;
    const auto& [xl, yl] = pts[k];
    const auto& [xr, yr] = pts[k + 1];
    y = yl + (x - xl) * (yr - yl) / (xr - xl);
  }
}

}  // namespace

bool BuildBestFit(CReplicateDB& db, const std::string& name, int points, int endType) {
  const CCurveEndInfo* end = FindStored(kCurveEnds, endType);
  if (!end) {
    ShowEndTypeMessage();
    return false;
  }
  if (!CheckReformatPoints(points)) return false;
  if (db.GetReplicateCount() >= CReplicateDB::kMaxReplicates) {
    ShowMessage(Format("The database already holds %d data sets; delete one before building a "
                       "best-fit curve.",
                       CReplicateDB::kMaxReplicates),
                MessageKind::Error);
    return false;
  }
  db.ComputeExtents(true);

  std::vector<CCurve> curves;
  for (int r = 1; r <= db.GetReplicateCount(); ++r) {
    const CReplicate& rep = db.Replicate(r);
    for (int kind = kCurveRaw; kind <= kCurveFitted; ++kind) {
      if (!db.plotSettings.IsShown(r, kind)) continue;
      CCurve c;
      c.replicate = r;
      c.kind = kind;
      c.matrix = &CurveMatrix(rep, kind);
      c.rows = CurveRows(rep, kind);
      if (c.rows < 1 || rep.xColumn < 1 || rep.xColumn > c.matrix->GetColumns() ||
          rep.yColumn < 1 || rep.yColumn > c.matrix->GetColumns())
        continue;  // a shown curve without points has nothing to give
      // The reach counts finite points only; a curve without one gives nothing.
      bool any = false;
      for (int i = 1; i <= c.rows; ++i) {
        const double x = (*c.matrix)(i, rep.xColumn), y = (*c.matrix)(i, rep.yColumn);
        if (!std::isfinite(x) || !std::isfinite(y)) continue;
        c.reach = any ? std::max(c.reach, x) : x;
        any = true;
      }
      if (any) curves.push_back(c);
    }
  }
  if (curves.empty()) {
    CEngineError::Report(kErrNoBestFitData);
    return false;
  }
  const int K = static_cast<int>(curves.size());

  double reach = curves[0].reach;
  switch (end->value) {
    case CurveEnd::kExtend:
      for (const CCurve& c : curves) reach = std::max(reach, c.reach);
      break;
    case CurveEnd::kCut:
      for (const CCurve& c : curves) reach = std::min(reach, c.reach);
      break;
    case CurveEnd::kAverage: {
      double sum = 0.0;
      for (const CCurve& c : curves) sum += c.reach;
      reach = sum / K;
      break;
    }
  }

  if (!std::isfinite(reach)) {
    ShowMessage("The best-fit curve cannot be built: the curves reach no finite x.",
                MessageKind::Error);
    return false;
  }
  db.bestFitX.SetSize(points);
  db.bestFitY.SetSize(points);
  db.bestFitY.Set(0.0);
  for (int j = 1; j <= points; ++j) db.bestFitX(j) = j == 1 ? 0.0 : (j - 1) * reach / (points - 1);

  // The first curve's texts name the grid and the mean.
  const CReplicate& first = db.Replicate(curves[0].replicate);
  const auto text = [](const CVector<std::string>& v, int c) {
    return c >= 1 && c <= v.GetSize() ? v(c) : std::string();
  };
  std::vector<std::string> headings, units;
  headings.push_back(text(first.headings, first.xColumn));
  units.push_back(text(first.units, first.xColumn));
  for (const CCurve& c : curves) {
    const CReplicate& rep = db.Replicate(c.replicate);
    headings.push_back(text(rep.headings, rep.yColumn));
    units.push_back(text(rep.units, rep.yColumn));
  }
  headings.push_back(text(first.headings, first.yColumn));
  units.push_back(text(first.units, first.yColumn));

  // Resample every curve before the new replicate takes its slot.
  std::vector<std::vector<double>> columns(static_cast<size_t>(K));
  for (int k = 0; k < K; ++k) {
    const CCurve& c = curves[static_cast<size_t>(k)];
    const CReplicate& rep = db.Replicate(c.replicate);
    const auto list = PointList(*c.matrix, c.rows, rep.xColumn, rep.yColumn);
    std::vector<double>& col = columns[static_cast<size_t>(k)];
    Resample(list, db.bestFitX, col);
    if (c.kind == kCurveFitted) {
      for (int j = 1; j <= points; ++j) {
        const double x = db.bestFitX(j);
        for (int z = 1; z <= rep.zoneCount && z <= CReplicate::kMaxZones; ++z) {
          const CZone& zone = rep.Zone(z);
          if (zone.fit.type == kFitNone || x < rep.GetZoneStart(z) || x > rep.GetZoneEnd(z))
            continue;
          CFitSpec spec;
          spec.type = zone.fit.type;
          spec.degree = zone.fit.degree;
          for (int i = 1; i <= CReplicate::kMaxCoefficients; ++i)
            spec.coefficients(i) = rep.coefficients(i, z);
          EvaluateFit(spec, x, &col[static_cast<size_t>(j - 1)], nullptr);
          break;
        }
      }
    }
    for (int j = 1; j <= points; ++j) db.bestFitY(j) += col[static_cast<size_t>(j - 1)] / K;
  }

  const int r = db.AddReplicate();
  CReplicate& rep = db.Replicate(r);
  rep.SetTitle(name);
  rep.columnCount = K + 2;
  rep.pointCount = points;
  rep.SetXYColumns(1, K + 2);
  rep.ResizeColumnTexts(K + 2);
  for (int c = 1; c <= K + 2; ++c) {
    rep.headings(c) = headings[static_cast<size_t>(c - 1)];
    rep.units(c) = units[static_cast<size_t>(c - 1)];
  }
  rep.raw.SetSize(points, K + 2);
  for (int j = 1; j <= points; ++j) {
    rep.raw(j, 1) = db.bestFitX(j);
    for (int k = 1; k <= K; ++k)
      rep.raw(j, k + 1) = columns[static_cast<size_t>(k - 1)][static_cast<size_t>(j - 1)];
    rep.raw(j, K + 2) = db.bestFitY(j);
  }
  rep.SetZoneStart(1, 0.0);
  rep.SetZoneEnd(1, reach);
  db.plotSettings.SetShown(r, kCurveRaw, true);
  return true;
}

bool CBestFitForm::Validate() const {
  if (name.empty()) {
    ShowMessage("Data set name cannot be blank");
    return false;
  }
  if (name.size() > static_cast<size_t>(kMaxNameLength)) {
    ShowMessage(Format("Enter no more than %d characters for the data set name.", kMaxNameLength));
    return false;
  }
  if (points < kMinPoints || points > kMaxPoints) {
    ShowMessage(Format("Enter an integer between %d and %d for the number of data points.",
                       kMinPoints, kMaxPoints));
    return false;
  }
  if (endIndex < 0 || endIndex >= static_cast<int>(kCurveEnds.size())) {
    ShowEndTypeMessage();
    return false;
  }
  return true;
}

bool CBestFitForm::Proceed(CReplicateDB& db) const {
  if (!Validate()) return false;
  const bool ok = BuildBestFit(db, name, points, kCurveEnds[static_cast<size_t>(endIndex)].stored);
  ShowMessage(ok ? "Best fit procedure was successful" : "Best fit procedure was not successful");
  return ok;
}

int FindReplicateAt(const CReplicateDB& db, double x, double y, double tx, double ty) {
  double best = 1e20;
  int found = 0;
  const auto pass = [&](int kind) {
    for (int r = 1; r <= db.GetReplicateCount(); ++r) {
      const CReplicate& rep = db.Replicate(r);
      if (!rep.IsActive() || !db.plotSettings.IsShown(r, kind)) continue;
      const CMatrix<double>& m = CurveMatrix(rep, kind);
      if (rep.xColumn > m.GetColumns() || rep.yColumn > m.GetColumns()) continue;
      const int rows = CurveRows(rep, kind);
      for (int i = 1; i <= rows; ++i) {
        const double dx = x - m(i, rep.xColumn), dy = y - m(i, rep.yColumn);
        if (std::fabs(dx) > tx || std::fabs(dy) > ty) continue;
        const double d = std::sqrt(dx * dx + dy * dy);
        if (d <= best) {
          best = d;
          found = r;
        }
      }
    }
  };
  pass(kCurveRaw);
  if (found == 0 && db.IsSmoothed()) pass(kCurveSmoothed);
  if (found == 0 && db.IsLocked()) pass(kCurveFitted);
  return found;
}

}  // namespace olm
