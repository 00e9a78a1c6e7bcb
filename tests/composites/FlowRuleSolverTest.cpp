#include <gtest/gtest.h>

#include <cmath>

#include "FlowRuleSamples.hpp"
#include "TestSupport.hpp"
#include "composites/BoundedMinimiser.hpp"
#include "composites/FlowRuleSolver.hpp"

namespace olm::test {
namespace {

void ExpectCoefficients(const std::array<double, 9>& got, const std::array<double, 9>& want,
                        double relative) {
  for (int k = 0; k < 9; ++k)
    EXPECT_NEAR(got[k], want[k], relative * std::fabs(want[k]) + 1e-12)
        << FlowRuleCoefficientName(k);
}

// A material whose every curve has the same effective strain points.
CFlowRuleMaterial SameGrid() {
  CFlowRuleMaterial m = SampleMaterial();
  m.maxStrain.fill(0.03);
  m.points.fill(31);
  return m;
}

struct Solved {
  bool ok = false;
  CFlowRuleResult result;
  std::vector<std::string> messages;
};

Solved Solve(const CFlowRuleModel& model) {
  CCoordinateSearch search;
  CFlowRuleSolver solver(search);
  Solved s;
  s.ok = solver.Solve(model, s.result, s.messages);
  return s;
}

TEST(WorkCurveTest, PlasticWorkAndStressAtWork) {
  CVector<double> x(3), y(3);
  x(1) = 0.2, x(2) = 0.0, x(3) = -0.1;  // magnitudes, ordered by strain
  y(1) = 20, y(2) = 10, y(3) = -10;
  const CWorkCurve c = MakeWorkCurve(x, y);
  EXPECT_EQ(c.strain, (std::vector<double>{0.0, 0.1, 0.2}));
  ASSERT_EQ(c.work.size(), 3u);
  EXPECT_DOUBLE_EQ(c.work[1], 1.0);
  EXPECT_DOUBLE_EQ(c.work[2], 2.5);
  // Halfway along the second segment (strain 0.15, stress 15) the work is
  // 1 + 0.05 * (15 + 10) / 2.
  EXPECT_DOUBLE_EQ(c.StressAtWork(1.625), 15.0);
  EXPECT_DOUBLE_EQ(c.StressAtWork(0.0), 10.0);
  EXPECT_DOUBLE_EQ(c.StressAtWork(9.0), 20.0);
  // A curve starting past zero strain did work from zero at its first stress.
  x(2) = 0.05;
  EXPECT_DOUBLE_EQ(MakeWorkCurve(x, y).work[0], 0.5);
}

TEST(WorkCurveTest, RatioOfCurvesAtEqualPlasticWork) {
  // A curve with half the stress at twice the strain carries the same work:
  // the reference is twice its stress everywhere.
  CVector<double> x(4), y(4), x2(7), y2(7);
  for (int i = 1; i <= 4; ++i) x(i) = 0.01 * (i - 1), y(i) = 100 + 500 * x(i);
  for (int i = 1; i <= 7; ++i) {
    const double e = 0.005 * (i - 1);
    x2(i) = 2 * e;
    y2(i) = (100 + 500 * e) / 2;
  }
  const CWorkCurve ref = MakeWorkCurve(x, y), half = MakeWorkCurve(x2, y2);
  EXPECT_NEAR(FitStressRatio({&half}, ref), 2.0, 1e-12);
  EXPECT_NEAR(FitStressRatio({&ref}, half), 0.5, 1e-12);
}

TEST(FlowRuleSolverTest, RecoversTheCoefficientsOfGeneratedCurvesAtAnyOffAxisAngles) {
  CFlowRuleMaterial m = SameGrid();
  auto solve = [&m] {  // master curve 2 with G22 assumed 1
    CFlowRuleModel model = GenerateFlowRuleModel(m);
    model.master = kTension2, model.assumed = kG22, model.assumedValue = 1.0;
    return Solve(model);
  };
  Solved s = solve();
  ASSERT_TRUE(s.ok && s.messages.empty());
  ExpectCoefficients(s.result.g, m.Coefficients(), 1e-8);
  EXPECT_LT(s.result.normalized, 1e-16);
  m.angle = {30.0, 60.0, 15.0};
  s = solve();
  ASSERT_TRUE(s.ok);
  ExpectCoefficients(s.result.g, m.Coefficients(), 1e-7);
}

TEST(FlowRuleSolverTest, RecoversCoefficientsFromCurvesOfDifferentLengthsAndPoints) {
  const Solved s = Solve(SampleModel());
  ASSERT_TRUE(s.ok);
  ExpectCoefficients(s.result.g, SampleMaterial().Coefficients(), 2e-4);
  EXPECT_LT(s.result.normalized, 1e-5);
}

TEST(FlowRuleSolverTest, TheFreeScaleFollowsTheAssumedCoefficient) {
  const auto truth = SampleMaterial().Coefficients();
  CFlowRuleModel model = GenerateFlowRuleModel(SameGrid());
  model.master = kCompression1;  // compression curves are read by magnitude
  // Nothing assumed: the master direction's term is 1.
  Solved s = Solve(model);
  ASSERT_TRUE(s.ok);
  std::array<double, 9> scaled;
  for (int k = 0; k < 9; ++k) scaled[k] = truth[k] / truth[kG11];
  ExpectCoefficients(s.result.g, scaled, 1e-8);
  // An assumed interaction term fixes the scale through its Poisson ratio.
  for (int assumed : {kG23, kG13}) {
    model.assumed = assumed;
    model.assumedValue = truth[assumed];
    s = Solve(model);
    ASSERT_TRUE(s.ok) << FlowRuleCoefficientName(assumed);
    ExpectCoefficients(s.result.g, truth, 1e-8);
  }
}

TEST(FlowRuleSolverTest, EffectiveTablesAndComputedCurves) {
  CFlowRuleModel model = GenerateFlowRuleModel(SameGrid());
  model.master = kTension2;
  model.slave = kShear23;
  const Solved s = Solve(model);
  ASSERT_TRUE(s.ok);
  const CFlowRuleMaterial m = SameGrid();
  // G22 = 1: the effective curve is the hardening law itself.
  ASSERT_EQ(s.result.uniaxialStress.size(), 31u);
  for (size_t j = 0; j < 31; ++j) {
    EXPECT_NEAR(s.result.uniaxialStrain[j], 0.001 * j, 1e-12);
    EXPECT_NEAR(s.result.uniaxialStress[j], m.EffectiveStress(0.001 * j), 1e-9);
  }
  // The slave shear test, mapped with G55, lies on the same curve.
  ASSERT_EQ(s.result.shearStress.size(), 31u);
  for (size_t j = 0; j < 31; ++j)
    EXPECT_NEAR(s.result.shearStress[j], m.EffectiveStress(s.result.shearStrain[j]), 1e-6);
  // The computed shear curves reproduce the shear tests.
  for (int p = 0; p < 3; ++p) {
    const CComputedCurve& c = s.result.computed[p];
    EXPECT_EQ(c.id, 13 + p);
    const CVector<double>& x = model.x[kShear12 - 1 + p];
    const CVector<double>& y = model.y[kShear12 - 1 + p];
    ASSERT_EQ(c.x.size(), static_cast<size_t>(x.GetSize()));
    for (size_t j = 0; j < c.x.size(); ++j) {
      EXPECT_NEAR(c.x[j], x(j + 1), 1e-9);
      EXPECT_NEAR(c.y[j], y(j + 1), 1e-6);
    }
  }
  EXPECT_EQ(
      std::tuple(s.result.computed[0].name, s.result.computed[1].name, s.result.computed[2].name),
      std::tuple("XY-G44 Computed Curve", "YZ-G55 Computed Curve", "ZX-G66 Computed Curve"));
}

TEST(FlowRuleSolverTest, ShearTermsStayWithinTheirBounds) {
  CFlowRuleModel model = SampleModel();
  model.lower[0] = 3.0, model.upper[0] = 5.0;  // G44 = 2 lies below
  model.lower[1] = 0.0, model.upper[1] = 1.0;  // G55 = 1.5 lies above
  const Solved s = Solve(model);
  ASSERT_TRUE(s.ok);
  EXPECT_NEAR(s.result.g[kG44], 3.0, 1e-9);
  EXPECT_NEAR(s.result.g[kG55], 1.0, 1e-9);
  EXPECT_NEAR(s.result.g[kG66], 2.0, 4e-3);
  EXPECT_GT(s.result.normalized, 1e-3);  // the mismatch shows
}

TEST(FlowRuleSolverTest, ValueChecksReportEveryFailure) {
  CFlowRuleModel model = SampleModel();
  model.assumedValue = -1.0;  // G22 < 0 makes G11 and G33 negative too
  model.lower[2] = -1.0;
  Solved s = Solve(model);
  EXPECT_FALSE(s.ok);
  EXPECT_EQ(s.messages,
            (std::vector<std::string>{
                "The value of G11 must be >= 0.\n", "The value of G22 must be >= 0.\n",
                "The value of G33 must be >= 0.\n", "The bounds of G66 must be >= 0.\n"}));

  model = SampleModel();
  model.poisson = {4.0, 1.5, 0.3};  // G12^2 > G11 G22 and G23^2 > G22 G33
  s = Solve(model);
  EXPECT_FALSE(s.ok);
  EXPECT_EQ(s.messages,
            (std::vector<std::string>{
                "Convexity condition not satisfied, the value of (G11*G22 - G12*G12) >= 0.\n",
                "Convexity condition not satisfied, the value of (G33*G22 - G23*G23) >= 0.\n"}));
  model.poisson = {0.3, 0.5, -4.0};
  s = Solve(model);
  EXPECT_EQ(s.messages,
            (std::vector<std::string>{
                "Convexity condition not satisfied, the value of (G11*G33 - G13*G13) >= 0.\n"}));
}

TEST(FlowRuleSolverTest, IsotropicLimitPassesTheConvexityChecks) {
  CFlowRuleMaterial m = SameGrid();
  m.g11 = m.g22 = m.g33 = 1.0;
  m.nu12 = m.nu23 = m.nu13 = 1.0;  // G12 = -1: on the limit, not beyond
  const Solved s = Solve(GenerateFlowRuleModel(m));
  EXPECT_TRUE(s.ok);
  EXPECT_TRUE(s.messages.empty());
}

TEST(FlowRuleSolverTest, ModelProblemsAreReported) {
  // An assumed interaction term needs its Poisson ratio.
  CFlowRuleModel model = SampleModel();
  model.poisson[0] = 0.0;
  model.assumed = kG12;
  model.assumedValue = -0.03;
  Solved s = Solve(model);
  EXPECT_FALSE(s.ok);
  EXPECT_EQ(s.messages, (std::vector<std::string>{
                            "The Poisson ratio that relates G12 to the curves must not be 0.\n"}));
  // Models built in code are checked like those that were read.
  model = SampleModel();
  model.slave = kShear12 - 1;
  EXPECT_EQ(Solve(model).messages, (std::vector<std::string>{"Invalid curve id.\n"}));
  model = SampleModel();
  model.defined[7] = false;
  EXPECT_EQ(Solve(model).messages,
            (std::vector<std::string>{"Could not find and read 12 curve data.\n"}));
}

TEST(CoordinateSearchTest, FindsMinimaInsideAndOnTheBounds) {
  CBoundedProblem p;
  p.objective = [](const std::vector<double>& x) {
    return std::pow(x[0] - 1.25, 2) + 3 * std::pow(std::log(x[1] / 0.5), 2);
  };
  p.lower = {-4, 0.1};
  p.upper = {4, 8};
  CMinimiserResult r = CCoordinateSearch().Minimise(p);
  EXPECT_TRUE(r.converged);
  ExpectAllNear(r.x, {1.25, 0.5}, 1e-8);
  EXPECT_NEAR(r.value, 0.0, 1e-14);
  EXPECT_EQ(r.value, p.objective(r.x));  // the value is that of the point returned
  // The minimum on the bounds; the start outside them is clamped.
  p.objective = [](const std::vector<double>& x) { return std::pow(x[0] + 3, 2) + x[1]; };
  p.lower = {-1, 2};
  p.upper = {1, 5};
  p.start = {7, -7};
  r = CCoordinateSearch().Minimise(p);
  EXPECT_TRUE(r.converged);
  EXPECT_EQ(r.x, (std::vector<double>{-1.0, 2.0}));
}

TEST(CoordinateSearchTest, CoupledProblemConvergesOrSaysItDidNot) {
  CBoundedProblem p;
  p.objective = [](const std::vector<double>& x) {
    const double a = x[0] - 1, b = x[1] - 2;
    return a * a + b * b + 1.2 * a * b;
  };
  p.lower = {-5, -5};
  p.upper = {5, 5};
  CMinimiserResult r = CCoordinateSearch().Minimise(p);
  EXPECT_TRUE(r.converged);
  ExpectAllNear(r.x, {1, 2}, 1e-6);
  EXPECT_EQ(r.value, p.objective(r.x));
  r = CCoordinateSearch(1e-10, 2).Minimise(p);
  EXPECT_FALSE(r.converged);
  EXPECT_GT(r.evaluations, 0);
}

}  // namespace
}  // namespace olm::test
