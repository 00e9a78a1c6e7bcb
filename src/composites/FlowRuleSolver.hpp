#pragma once
// The flow-rule coefficients computation (docs/flowrule.md gives the
// equations).
//
// Flow potential in material axes, with engineering shear components:
//   h^2 = G11 s11^2 + G22 s22^2 + G33 s33^2 + 2 G12 s11 s22 + 2 G23 s22 s33
//       + 2 G13 s11 s33 + 2 G44 s12^2 + 2 G55 s23^2 + 2 G66 s13^2
// Effective stress h and effective plastic strain follow from plastic work
// equivalence: a test whose stress is proportional to one unit direction,
// s = sx * n, has h = k sx with k = sqrt(n' G n), effective stress k sx and
// effective plastic strain ex / k.
#include <array>
#include <string>
#include <vector>

#include "composites/BoundedMinimiser.hpp"
#include "composites/FlowRuleModel.hpp"

namespace olm {

// A curve of the material card computed by the program.
struct CComputedCurve {
  int id = 0;
  std::string name;
  std::vector<double> x, y;  // engineering plastic shear strain, shear stress
};

struct CFlowRuleResult {
  std::array<double, kFlowRuleCoefficientCount> g{};  // G11 .. G66
  double objective = 0.0;   // sum of squared stress mismatches of the off-axis curves
  double normalized = 0.0;  // objective / sum of squared effective stresses compared
  int evaluations = 0;
  // Effective stress against effective plastic strain: of the master curve
  // (uniaxial table) and of the slave shear curve (shear table).
  std::vector<double> uniaxialStress, uniaxialStrain;
  std::vector<double> shearStress, shearStrain;
  // Pure shear curves predicted from the master curve and G44, G55, G66.
  std::array<CComputedCurve, 3> computed;
};

// A curve as magnitudes ordered by plastic strain, with the plastic work done
// up to each point (the first point's work assumes its stress from zero strain).
struct CWorkCurve {
  std::vector<double> strain, stress, work;
  double MaxWork() const { return work.empty() ? 0.0 : work.back(); }
  // Stress at plastic work w on the piecewise-linear stress-strain curve
  // (held beyond the ends).
  double StressAtWork(double w) const;
};
CWorkCurve MakeWorkCurve(const CVector<double>& x, const CVector<double>& y);

// Least-squares ratio rho minimising sum (rho * s_i(W) - s_ref(W))^2 over the
// plastic work levels shared by each curve and the reference.
double FitStressRatio(const std::vector<const CWorkCurve*>& curves, const CWorkCurve& reference);

// Plastic work levels compared between a curve and the reference.
constexpr int kWorkLevels = 101;

class CFlowRuleSolver {
 public:
  // minimiser: the search for the shear terms (not owned).
  explicit CFlowRuleSolver(IBoundedMinimiser& minimiser) : m_minimiser(minimiser) {}

  // Computes the coefficients and curves.  Every failed value check adds its
  // message to messages; returns false when any check failed or the shear
  // search did not converge ("Unable to converge\n").
  bool Solve(const CFlowRuleModel& model, CFlowRuleResult& result,
             std::vector<std::string>& messages);

 private:
  IBoundedMinimiser& m_minimiser;
};

// Forward model: curves that a material with the given coefficients and
// effective hardening curve shows in the twelve tests.  Used to test the
// program and to make the sample model.
struct CFlowRuleMaterial {
  double g11 = 1, g22 = 1, g33 = 1;           // normal terms
  double nu12 = 0.5, nu23 = 0.5, nu13 = 0.5;  // plastic Poisson ratios
  double g44 = 1.5, g55 = 1.5, g66 = 1.5;     // shear terms
  std::array<double, 3> angle{45.0, 45.0, 45.0};
  // Effective stress = yield + saturation * (1 - exp(-rate * e)) + slope * e.
  double yield = 40, saturation = 40, rate = 80, slope = 200;
  // Largest effective plastic strain and number of points of each curve.
  std::array<double, kFlowRuleCurveCount> maxStrain;
  std::array<int, kFlowRuleCurveCount> points;
  CFlowRuleMaterial() {
    maxStrain.fill(0.03);
    points.fill(31);
  }
  double EffectiveStress(double e) const;
  // G12, G23, G13 from the Poisson ratios.
  std::array<double, kFlowRuleCoefficientCount> Coefficients() const;
};
// The twelve curves (compression curves negative), with the material's
// Poisson ratios and angles; master, slave, assumed value and bounds are left
// at their defaults.
CFlowRuleModel GenerateFlowRuleModel(const CFlowRuleMaterial& material);

}  // namespace olm
