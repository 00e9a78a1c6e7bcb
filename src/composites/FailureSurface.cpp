#include "composites/FailureSurface.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "numerics/OutputFile.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

namespace {

constexpr double kDegreesPerRadian = 180.0 / 3.14159265358979323846;

// Both tables begin with the same fourteen columns: the abscissa, the two
// branches, their polar forms (angle, radius), and all of that scaled.
enum {
  cX = 1,
  cPlus,
  cMinus,
  cThetaPlus,
  cRPlus,
  cThetaMinus,
  cRMinus,
  cXs,
  cPlusS,
  cMinusS,
  cThetaPlusS,
  cRPlusS,
  cThetaMinusS,
  cRMinusS,
  // The S22-S11 table goes on with the centred columns.
  cS11sm,
  cS22smp,
  cS22smm,
  cS22smtp,
  cS22smrp,
  cS22smtm,
  cS22smrm
};

// Writes the polar form of (x, y) into columns theta and r of row i.
void PutPolar(CMatrix<double>& t, int i, double x, double y, int thetaColumn, int rColumn) {
  const auto [theta, r] = PolarForm(x, y);
  t(i, thetaColumn) = theta;
  t(i, rColumn) = r;
}

void PutBranches(CMatrix<double>& t, int i, double x, double plus, double minus, double xScale,
                 double yScale) {
  t(i, cX) = x;
  t(i, cPlus) = plus;
  t(i, cMinus) = minus;
  PutPolar(t, i, x, plus, cThetaPlus, cRPlus);
  PutPolar(t, i, x, minus, cThetaMinus, cRMinus);
  const double xs = x / xScale, ps = plus / yScale, ms = minus / yScale;
  t(i, cXs) = xs;
  t(i, cPlusS) = ps;
  t(i, cMinusS) = ms;
  PutPolar(t, i, xs, ps, cThetaPlusS, cRPlusS);
  PutPolar(t, i, xs, ms, cThetaMinusS, cRMinusS);
}

CPlotSeries MakeSeries(const char* name, const CMatrix<double>& t, int xColumn, int yColumn) {
  CPlotSeries s;
  s.name = name;
  s.x.reserve(t.GetRows());
  s.y.reserve(t.GetRows());
  for (int i = 1; i <= t.GetRows(); ++i) {
    s.x.push_back(t(i, xColumn));
    s.y.push_back(t(i, yColumn));
  }
  SortSeriesByX(s);
  return s;
}

template <size_t N>
void AppendTable(std::string& out, const std::array<const char*, N>& names,
                 const CMatrix<double>& t) {
  for (const char* name : names) out += Format("%15s", name);
  out += '\n';
  for (int i = 1; i <= t.GetRows(); ++i) {
    for (int j = 1; j <= t.GetColumns(); ++j) out += Format("%15.7g", t(i, j));
    out += '\n';
  }
}

}  // namespace

CTsaiWuCoefficients TsaiWuCoefficients(const CFailureSurfaceInput& in) {
  const double s1t = in.s1t, s1c = in.s1c, s2t = in.s2t, s2c = in.s2c, s3t = in.s3t, s3c = in.s3c,
               s12 = in.s12, s23 = in.s23, s13 = in.s13;
  CTsaiWuCoefficients f;
  f.F1 = 1.0 / s1t - 1.0 / s1c;
  f.F2 = 1.0 / s2t - 1.0 / s2c;
  f.F3 = 1.0 / s3t - 1.0 / s3c;
  f.F11 = 1.0 / (s1t * s1c);
  f.F22 = 1.0 / (s2t * s2c);
  f.F33 = 1.0 / (s3t * s3c);
  f.F66 = 1.0 / (s12 * s12);
  f.F44 = 1.0 / (s23 * s23);
  f.F55 = 1.0 / (s13 * s13);
  f.F12 = -0.5 * std::sqrt(f.F11 * f.F22);
  return f;
}

std::pair<double, double> QuadraticRoots(double a, double b, double c) {
  if (a == 0.0) {
    const double x = b != 0.0 ? -c / b : 0.0;
    return {x, x};
  }
  const double d = b * b - 4.0 * a * c;
  if (d < 0.0) return {0.0, 0.0};
  const double s = std::sqrt(d);
  return {(-b + s) / (2.0 * a), (-b - s) / (2.0 * a)};
}

std::pair<double, double> PolarForm(double x, double y) {
  const double r = std::sqrt(x * x + y * y);
  if (r == 0.0) return {0.0, 0.0};
  const double c = std::clamp(x / r, -1.0, 1.0);
  return {std::acos(c) * kDegreesPerRadian, r};
}

void SortSeriesByX(CPlotSeries& series) {
  const size_t n = std::min(series.x.size(), series.y.size());
  std::vector<size_t> order(n);
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return series.x[a] < series.x[b]; });
  std::vector<double> x(n), y(n);
  for (size_t k = 0; k < n; ++k) {
    x[k] = series.x[order[k]];
    y[k] = series.y[order[k]];
  }
  series.x = std::move(x);
  series.y = std::move(y);
}

const std::array<const char*, CFailureSurface::kS22S11Columns>& CFailureSurface::S22S11Names() {
  static const std::array<const char*, kS22S11Columns> names = {
      "S11",   "S22+",   "S22-",   "S22t+",   "S22r+",   "S22t-",   "S22r-",
      "S11s",  "S22s+",  "S22s-",  "S22st+",  "S22sr+",  "S22st-",  "S22sr-",
      "S11sm", "S22sm+", "S22sm-", "S22smt+", "S22smr+", "S22smt-", "S22smr-"};
  return names;
}

const std::array<const char*, CFailureSurface::kS23S13Columns>& CFailureSurface::S23S13Names() {
  static const std::array<const char*, kS23S13Columns> names = {
      "S23",  "S13+",  "S13-",  "S13t+",  "S13r+",  "S13t-",  "S13r-",
      "S23s", "S13s+", "S13s-", "S13st+", "S13rt+", "S13st-", "S13rt-"};
  return names;
}

const std::array<const char*, CFailureSurface::kCombinedColumns>& CFailureSurface::CombinedNames() {
  static const std::array<const char*, kCombinedColumns> names = {"S22r+", "S13r+", "d+",
                                                                  "S22r-", "S13r-", "d-"};
  return names;
}

void CFailureSurface::Compute(const CFailureSurfaceInput& in) {
  m_in = in;
  m_f = TsaiWuCoefficients(in);
  ComputeS22S11();
  ComputeS23S13();
  ComputeCombined();
  BuildSeries();
  m_computed = true;
}

void CFailureSurface::ComputeS22S11() {
  const CTsaiWuCoefficients& f = m_f;
  const double tau = m_in.s12Value;
  const double shear = f.F66 * tau * tau - 1.0;

  // The S11 extent: where the quadratic in S22 has a double root.
  const auto [r1, r2] =
      QuadraticRoots(4.0 * f.F12 * f.F12 - 4.0 * f.F11 * f.F22,
                     4.0 * f.F2 * f.F12 - 4.0 * f.F1 * f.F22, f.F2 * f.F2 - 4.0 * f.F22 * shear);
  const double lo = std::min(r1, r2) + 0.001;
  const double hi = std::max(r1, r2) - 0.001;
  const double step = (hi - lo) / (kRows - 1);

  CMatrix<double>& t = m_s22s11;
  t.SetSize(kRows, kS22S11Columns);
  const double s1t = m_in.s1t, s2t = m_in.s2t;
  for (int i = 1; i <= kRows; ++i) {
    const double s11 = lo + (i - 1) * step;
    const auto [plus, minus] =
        QuadraticRoots(f.F22, 2.0 * f.F12 * s11 + f.F2, f.F1 * s11 + f.F11 * s11 * s11 + shear);
    PutBranches(t, i, s11, plus, minus, s1t, s2t);
  }

  // Centre of the scaled envelope.
  const double cx = ((t(kRows, cX) + t(1, cX)) / 2.0) / s1t;
  double yMax = t(1, cPlus), yMin = t(1, cPlus);
  for (int i = 1; i <= kRows; ++i)
    for (int j : {cPlus, cMinus}) {
      yMax = std::max(yMax, t(i, j));
      yMin = std::min(yMin, t(i, j));
    }
  const double cy = ((yMax + yMin) / 2.0) / s2t;

  for (int i = 1; i <= kRows; ++i) {
    t(i, cS11sm) = t(i, cXs) - cx;
    t(i, cS22smp) = t(i, cPlusS) - cy;
    t(i, cS22smm) = t(i, cMinusS) - cy;
    PutPolar(t, i, t(i, cS11sm), t(i, cS22smp), cS22smtp, cS22smrp);
    PutPolar(t, i, t(i, cS11sm), t(i, cS22smm), cS22smtm, cS22smrm);
  }
}

double CFailureSurface::S13At(double s23) const {
  const double p = std::max(0.0, m_q - m_f.F44 * s23 * s23);
  return std::sqrt(p / m_f.F55);
}

void CFailureSurface::ComputeS23S13() {
  const double s33 = m_in.s33Value;
  m_q = std::max(0.0, 1.0 - m_f.F3 * s33 - m_f.F33 * s33 * s33);
  const double half = std::sqrt(m_q / m_f.F44);
  const double lo = -half - 0.1, hi = half + 0.1;
  const double step = (hi - lo) / (kRows - 1);

  CMatrix<double>& t = m_s23s13;
  t.SetSize(kRows, kS23S13Columns);
  const double s23Strength = m_in.s23, s13Strength = m_in.s13;
  for (int i = 1; i <= kRows; ++i) {
    const double s23 = lo + (i - 1) * step;
    const double s13 = S13At(s23);
    // 0.0 - s13 rather than -s13: no "-0" in the file where the envelope closes.
    PutBranches(t, i, s23, s13, 0.0 - s13, s23Strength, s13Strength);
  }
}

void CFailureSurface::ComputeCombined() {
  const double n = m_in.n;
  auto combine = [n](double a, double b) {
    return std::pow(std::pow(a, n) + std::pow(b, n), 1.0 / n);
  };
  CMatrix<double>& t = m_combined;
  t.SetSize(kRows, kCombinedColumns);
  for (int i = 1; i <= kRows; ++i) {
    const double r22p = m_s22s11(i, cRPlus), r13p = m_s23s13(i, cRPlus);
    const double r22m = m_s22s11(i, cRMinus), r13m = m_s23s13(i, cRMinus);
    t(i, 1) = r22p;
    t(i, 2) = r13p;
    t(i, 3) = combine(r22p, r13p);
    t(i, 4) = r22m;
    t(i, 5) = r13m;
    t(i, 6) = combine(r22m, r13m);
  }
}

void CFailureSurface::BuildSeries() {
  const CMatrix<double>& a = m_s22s11;
  const CMatrix<double>& b = m_s23s13;
  auto put = [this](FailurePlotType type, CPlotSeries plus, CPlotSeries minus) {
    auto& list = m_series[static_cast<int>(type)];
    list.clear();
    list.push_back(std::move(plus));
    list.push_back(std::move(minus));
  };
  put(FailurePlotType::S22S11, MakeSeries("S22+", a, cX, cPlus), MakeSeries("S22-", a, cX, cMinus));
  put(FailurePlotType::S23S13, MakeSeries("S13+", b, cX, cPlus), MakeSeries("S13-", b, cX, cMinus));
  put(FailurePlotType::S22S11Scaled, MakeSeries("S22s+", a, cXs, cPlusS),
      MakeSeries("S22s-", a, cXs, cMinusS));
  put(FailurePlotType::S22S11ScaledCentered, MakeSeries("S22sm+", a, cS11sm, cS22smp),
      MakeSeries("S22sm-", a, cS11sm, cS22smm));
  put(FailurePlotType::RTheta1122, MakeSeries("S22r+", a, cThetaPlus, cRPlus),
      MakeSeries("S22r-", a, cThetaMinus, cRMinus));
  put(FailurePlotType::RTheta1323, MakeSeries("S13r+", b, cThetaPlus, cRPlus),
      MakeSeries("S13r-", b, cThetaMinus, cRMinus));
}

bool CFailureSurface::IsFinite() const {
  for (const CMatrix<double>* t : {&m_s22s11, &m_s23s13, &m_combined})
    for (int i = 1; i <= t->GetRows(); ++i)
      for (int j = 1; j <= t->GetColumns(); ++j)
        if (!std::isfinite((*t)(i, j))) return false;
  return true;
}

std::string CFailureSurface::FormatTables() const {
  std::string out;
  if (!m_computed) return out;
  out.reserve(static_cast<size_t>(kRows + 1) * 15 * (kS22S11Columns + kS23S13Columns + 6) + 400);
  AppendTable(out, S22S11Names(), m_s22s11);
  out += '\n';
  AppendTable(out, S23S13Names(), m_s23s13);
  out += '\n';
  AppendTable(out, CombinedNames(), m_combined);
  return out;
}

bool CFailureSurface::Write(const std::string& path, std::string* error) const {
  return WriteTextFile(path, FormatTables(), {}, error);
}

}  // namespace olm
