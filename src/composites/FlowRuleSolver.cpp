#include "composites/FlowRuleSolver.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "numerics/UserInterface.hpp"

namespace olm {

namespace {

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

// The off-axis test of each plane: its normal terms, interaction term, shear
// term and curve.
struct CPlane {
  int a, b, ab, shear, curve;
};
constexpr CPlane kPlanes[3] = {
    {kG11, kG22, kG12, kG44, kOffAxis12},
    {kG22, kG33, kG23, kG55, kOffAxis23},
    {kG11, kG33, kG13, kG66, kOffAxis13},
};

const char* const kComputedNames[3] = {"XY-G44 Computed Curve", "YZ-G55 Computed Curve",
                                       "ZX-G66 Computed Curve"};

// h / sx of an off-axis test at angle theta: the part without the shear
// term (a) and the factor of the shear term (b): k^2 = a + b * Gshear.
void OffAxisFactors(const std::array<double, kFlowRuleCoefficientCount>& g, const CPlane& p,
                    double thetaDegrees, double& a, double& b) {
  const double c = std::cos(thetaDegrees * kRadiansPerDegree);
  const double s = std::sin(thetaDegrees * kRadiansPerDegree);
  const double c2 = c * c, s2 = s * s;
  a = g[p.a] * c2 * c2 + g[p.b] * s2 * s2 + 2.0 * g[p.ab] * c2 * s2;
  b = 2.0 * c2 * s2;
}

// Pair convexity with a tolerance for rounding (isotropic terms sit on the limit).
bool PairConvex(double gaa, double gbb, double gab) {
  const double scale = std::fabs(gaa * gbb) + gab * gab;
  return gaa * gbb - gab * gab >= -1e-12 * scale;
}

}  // namespace

double CWorkCurve::StressAtWork(double w) const {
  if (work.empty()) return 0.0;
  if (w <= work.front()) return stress.front();
  if (w >= work.back()) return stress.back();
  const size_t j =
      static_cast<size_t>(std::lower_bound(work.begin(), work.end(), w) - work.begin());
  const size_t i = j - 1;
  const double de = strain[j] - strain[i];
  if (work[j] - work[i] <= 0.0 || de <= 0.0) return stress[j];
  // Stress linear in strain within the segment: s^2 grows linearly with the
  // work done, s(w)^2 = s_i^2 + 2 m (w - w_i) with the slope m.
  const double m = (stress[j] - stress[i]) / de;
  return std::sqrt(std::max(0.0, stress[i] * stress[i] + 2.0 * m * (w - work[i])));
}

CWorkCurve MakeWorkCurve(const CVector<double>& x, const CVector<double>& y) {
  const int n = std::min(x.GetSize(), y.GetSize());
  std::vector<int> order(n);
  std::iota(order.begin(), order.end(), 1);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return std::fabs(x(a)) < std::fabs(x(b)); });
  CWorkCurve c;
  c.strain.reserve(n);
  c.stress.reserve(n);
  c.work.reserve(n);
  for (int k = 0; k < n; ++k) {
    const double e = std::fabs(x(order[k])), s = std::fabs(y(order[k]));
    const double w =
        k == 0 ? s * e : c.work.back() + 0.5 * (s + c.stress.back()) * (e - c.strain.back());
    c.strain.push_back(e);
    c.stress.push_back(s);
    c.work.push_back(w);
  }
  return c;
}

double FitStressRatio(const std::vector<const CWorkCurve*>& curves, const CWorkCurve& reference) {
  double num = 0.0, den = 0.0;
  for (const CWorkCurve* c : curves) {
    const double top = std::min(c->MaxWork(), reference.MaxWork());
    for (int k = 0; k < kWorkLevels; ++k) {
      const double w = top * k / (kWorkLevels - 1);
      const double s = c->StressAtWork(w);
      num += s * reference.StressAtWork(w);
      den += s * s;
    }
  }
  return den > 0.0 ? num / den : 0.0;
}

bool CFlowRuleSolver::Solve(const CFlowRuleModel& model, CFlowRuleResult& result,
                            std::vector<std::string>& messages) {
  result = CFlowRuleResult();
  if (model.DefinedCount() != kFlowRuleCurveCount) {
    messages.push_back("Could not find and read 12 curve data.\n");
    return false;
  }
  if (model.master < kTension1 || model.master > kCompression3 || model.slave < kShear12 ||
      model.slave > kShear13) {
    messages.push_back("Invalid curve id.\n");
    return false;
  }
  std::array<CWorkCurve, kFlowRuleCurveCount> curve;
  for (int id = 1; id <= kFlowRuleCurveCount; ++id)
    curve[id - 1] = MakeWorkCurve(model.x[id - 1], model.y[id - 1]);
  const CWorkCurve& master = curve[model.master - 1];
  const int masterDirection = (model.master - 1) % 3;

  // Normal terms relative to the master direction's term: sqrt(Gdd / Gmm).
  std::array<double, 3> rho{};
  for (int d = 0; d < 3; ++d)
    rho[d] = d == masterDirection ? 1.0 : FitStressRatio({&curve[d], &curve[d + 3]}, master);

  // The one free scale: the master direction's term, 1 unless a coefficient
  // is assumed.
  const auto& nu = model.poisson;
  double gm = 1.0;
  const double v = model.assumedValue;
  switch (model.assumed) {
    case kG11:
    case kG22:
    case kG33:
      gm = v / (rho[model.assumed] * rho[model.assumed]);
      break;
    case kG12:
    case kG23:
    case kG13: {
      const int nuIndex = model.assumed == kG12 ? 0 : model.assumed == kG23 ? 1 : 2;
      const int d = model.assumed == kG23 ? 1 : 0;
      if (nu[nuIndex] == 0.0) {
        messages.push_back(
            Format("The Poisson ratio that relates %s to the curves must not be 0.\n",
                   FlowRuleCoefficientName(model.assumed)));
        return false;
      }
      gm = -v / (nu[nuIndex] * rho[d] * rho[d]);
      break;
    }
    default:
      break;
  }
  auto& g = result.g;
  for (int d = 0; d < 3; ++d) g[d] = gm * rho[d] * rho[d];
  g[kG12] = -nu[0] * g[kG11];
  g[kG23] = -nu[1] * g[kG22];
  g[kG13] = -nu[2] * g[kG11];
  if (model.assumed >= 0) g[model.assumed] = v;

  // Value checks: all are reported.
  bool ok = true;
  auto fail = [&](const char* text) {
    messages.push_back(text);
    ok = false;
  };
  if (!(g[kG11] >= 0.0)) fail("The value of G11 must be >= 0.\n");
  if (!(g[kG22] >= 0.0)) fail("The value of G22 must be >= 0.\n");
  if (!(g[kG33] >= 0.0)) fail("The value of G33 must be >= 0.\n");
  static const char* const kBoundMessages[3] = {"The bounds of G44 must be >= 0.\n",
                                                "The bounds of G55 must be >= 0.\n",
                                                "The bounds of G66 must be >= 0.\n"};
  for (int k = 0; k < 3; ++k)
    if (model.boundsGiven[k] && (model.lower[k] < 0.0 || model.upper[k] < 0.0))
      fail(kBoundMessages[k]);
  if (!PairConvex(g[kG11], g[kG22], g[kG12]))
    fail("Convexity condition not satisfied, the value of (G11*G22 - G12*G12) >= 0.\n");
  if (!PairConvex(g[kG33], g[kG22], g[kG23]))
    fail("Convexity condition not satisfied, the value of (G33*G22 - G23*G23) >= 0.\n");
  if (!PairConvex(g[kG11], g[kG33], g[kG13]))
    fail("Convexity condition not satisfied, the value of (G11*G33 - G13*G13) >= 0.\n");
  if (!ok) return false;

  // Effective stress of the master curve at plastic work w.
  const double rootGm = std::sqrt(gm);
  auto effective = [&](double w) { return rootGm * master.StressAtWork(w); };

  // Shear terms: the off-axis curves, mapped to effective stress, should
  // meet the master curve at every shared plastic work level.
  struct CLevels {
    double a = 0, b = 0;
    std::vector<double> offAxis, reference;
  };
  std::array<CLevels, 3> levels;
  double referenceSquares = 0.0;
  for (int p = 0; p < 3; ++p) {
    const CWorkCurve& off = curve[kPlanes[p].curve - 1];
    OffAxisFactors(g, kPlanes[p], model.angle[p], levels[p].a, levels[p].b);
    const double top = std::min(off.MaxWork(), master.MaxWork());
    for (int k = 0; k < kWorkLevels; ++k) {
      const double w = top * k / (kWorkLevels - 1);
      levels[p].offAxis.push_back(off.StressAtWork(w));
      levels[p].reference.push_back(effective(w));
      referenceSquares += levels[p].reference.back() * levels[p].reference.back();
    }
  }
  CBoundedProblem problem;
  problem.objective = [&levels](const std::vector<double>& x) {
    double f = 0.0;
    for (int p = 0; p < 3; ++p) {
      const double k = std::sqrt(std::max(0.0, levels[p].a + levels[p].b * x[p]));
      for (size_t i = 0; i < levels[p].offAxis.size(); ++i) {
        const double r = k * levels[p].offAxis[i] - levels[p].reference[i];
        f += r * r;
      }
    }
    return f;
  };
  const double largestNormal = std::max({g[kG11], g[kG22], g[kG33]});
  const double defaultUpper = largestNormal > 0.0 ? 10.0 * largestNormal : 10.0;
  for (int k = 0; k < 3; ++k) {
    problem.lower.push_back(model.boundsGiven[k] ? model.lower[k] : 0.0);
    problem.upper.push_back(model.boundsGiven[k] ? model.upper[k] : defaultUpper);
  }
  const CMinimiserResult found = m_minimiser.Minimise(problem);
  result.evaluations = found.evaluations;
  if (!found.converged || found.x.size() != 3) {
    messages.push_back("Unable to converge\n");
    return false;
  }
  for (int k = 0; k < 3; ++k)
    g[kG44 + k] = std::clamp(found.x[k], problem.lower[k], problem.upper[k]);
  result.objective = problem.objective({g[kG44], g[kG55], g[kG66]});
  result.normalized = referenceSquares > 0.0 ? result.objective / referenceSquares : 0.0;

  // Tables and computed curves.
  if (gm > 0.0) {
    for (size_t j = 0; j < master.strain.size(); ++j) {
      result.uniaxialStress.push_back(rootGm * master.stress[j]);
      result.uniaxialStrain.push_back(master.strain[j] / rootGm);
    }
  }
  const int slavePlane = model.slave - kShear12;
  const double slaveK = std::sqrt(2.0 * g[kG44 + slavePlane]);
  if (slaveK > 0.0) {
    const CWorkCurve& slave = curve[model.slave - 1];
    for (size_t j = 0; j < slave.strain.size(); ++j) {
      result.shearStress.push_back(slaveK * slave.stress[j]);
      result.shearStrain.push_back(slave.strain[j] / slaveK);
    }
  }
  for (int p = 0; p < 3; ++p) {
    CComputedCurve& c = result.computed[p];
    c.id = kFirstComputedCurveId + p;
    c.name = kComputedNames[p];
    const double k = std::sqrt(2.0 * g[kG44 + p]);
    if (!(k > 0.0)) continue;
    for (size_t j = 0; j < result.uniaxialStress.size(); ++j) {
      c.x.push_back(k * result.uniaxialStrain[j]);
      c.y.push_back(result.uniaxialStress[j] / k);
    }
  }
  return true;
}

double CFlowRuleMaterial::EffectiveStress(double e) const {
  return yield + saturation * (1.0 - std::exp(-rate * e)) + slope * e;
}

std::array<double, kFlowRuleCoefficientCount> CFlowRuleMaterial::Coefficients() const {
  return {g11, g22, g33, -nu12 * g11, -nu23 * g22, -nu13 * g11, g44, g55, g66};
}

CFlowRuleModel GenerateFlowRuleModel(const CFlowRuleMaterial& material) {
  const auto g = material.Coefficients();
  CFlowRuleModel model;
  model.poisson = {material.nu12, material.nu23, material.nu13};
  model.angle = material.angle;
  for (int id = 1; id <= kFlowRuleCurveCount; ++id) {
    double k = 1.0, sign = 1.0;
    if (id <= kCompression3) {
      k = std::sqrt(g[(id - 1) % 3]);
      sign = id <= kTension3 ? 1.0 : -1.0;
    } else if (id <= kShear13) {
      k = std::sqrt(2.0 * g[kG44 + id - kShear12]);
    } else {
      const int p = id - kOffAxis12;
      double a = 0, b = 0;
      OffAxisFactors(g, kPlanes[p], material.angle[p], a, b);
      k = std::sqrt(a + b * g[kPlanes[p].shear]);
    }
    const int n = std::max(2, material.points[id - 1]);
    const double top = material.maxStrain[id - 1];
    CVector<double>& x = model.x[id - 1];
    CVector<double>& y = model.y[id - 1];
    x.SetSize(n);
    y.SetSize(n);
    for (int i = 1; i <= n; ++i) {
      const double e = top * (i - 1) / (n - 1);
      x(i) = sign * k * e;
      y(i) = sign * material.EffectiveStress(e) / k;
    }
    model.defined[id - 1] = true;
  }
  return model;
}

}  // namespace olm
