#pragma once
// The material behind samples/composites and the model texts made from it.
#include <string>

#include "composites/FlowRuleModel.hpp"
#include "composites/FlowRuleSolver.hpp"
#include "numerics/UserInterface.hpp"

namespace olm::test {

// A transversely isotropic ply: little plastic flow along the fibres
// (direction 1), isotropic flow in the 2-3 plane (G55 = G22 - G23).
inline CFlowRuleMaterial SampleMaterial() {
  CFlowRuleMaterial m;
  m.g11 = 0.1, m.g22 = 1.0, m.g33 = 1.0;
  m.nu12 = 0.3, m.nu23 = 0.5, m.nu13 = 0.3;
  m.g44 = 2.0, m.g55 = 1.5, m.g66 = 2.0;
  m.maxStrain = {0.030, 0.035, 0.030, 0.025, 0.040, 0.030,
                 0.050, 0.045, 0.050, 0.030, 0.030, 0.035};
  m.points = {21, 31, 26, 25, 41, 33, 30, 28, 35, 27, 29, 31};
  return m;
}

// Settings of the sample: master curve 2 with G22 assumed 1, bounds of the
// shear terms.
inline CFlowRuleModel SampleModel() {
  CFlowRuleModel model = GenerateFlowRuleModel(SampleMaterial());
  model.master = kTension2;
  model.slave = kShear12;
  model.assumed = kG22;
  model.assumedValue = 1.0;
  for (int k = 0; k < 3; ++k) {
    model.lower[k] = 0.01;
    model.upper[k] = 10.0;
    model.boundsGiven[k] = true;
  }
  return model;
}

inline std::string SampleMainText(const std::string& curvesFile) {
  return "** Flow-rule model of a transversely isotropic composite ply.\n"
         "** The twelve curves were generated from these coefficients\n"
         "** (master curve 2, G22 assumed 1):\n"
         "**   G11 0.1  G22 1  G33 1  G12 -0.03  G23 -0.5  G13 -0.03\n"
         "**   G44 2  G55 1.5  G66 2\n"
         "** Effective stress: 40 + 40*(1 - exp(-80 e)) + 200 e (MPa).\n"
         "*include " +
         curvesFile + "\n" + FormatFlowRuleSettings(SampleModel()) + "*end\n";
}

inline std::string SampleCurvesText() {
  return "** Stress (MPa) against plastic strain of the twelve tests.\n" +
         FormatFlowRuleCurves(SampleModel());
}

}  // namespace olm::test
