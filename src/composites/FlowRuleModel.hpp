#pragma once
// The input of the flow-rule coefficients program: twelve test curves and the
// settings, and the reader of the model-file keyword language.
//
// Curve ids and what each curve is (x: plastic strain, y: stress; shear
// curves: engineering plastic shear strain and shear stress):
//    1, 2, 3  tension in direction 1, 2, 3
//    4, 5, 6  compression in direction 1, 2, 3
//    7, 8, 9  shear in the 1-2, 2-3 and 1-3 planes
//   10,11,12  off-axis tension in the 1-2, 2-3 and 1-3 planes
// Signs are free: the computation works on magnitudes.
#include <array>
#include <string>
#include <vector>

#include "numerics/Containers.hpp"

namespace olm {

constexpr int kFlowRuleCurveCount = 12;
// Ids of the computed shear curves in the material card.
constexpr int kFirstComputedCurveId = 13;

enum FlowRuleCurveId {
  kTension1 = 1,
  kTension2,
  kTension3,
  kCompression1,
  kCompression2,
  kCompression3,
  kShear12,
  kShear23,
  kShear13,
  kOffAxis12,
  kOffAxis23,
  kOffAxis13
};

// Descriptive name of curve id 1..12 ("" otherwise).
const char* FlowRuleCurveName(int id);

// Index of the nine flow-rule coefficients, in their reported order.
enum FlowRuleCoefficient { kG11 = 0, kG22, kG33, kG12, kG23, kG13, kG44, kG55, kG66 };
constexpr int kFlowRuleCoefficientCount = 9;
// "G11" .. "G66".
const char* FlowRuleCoefficientName(int index);

struct CFlowRuleModel {
  CFlowRuleModel();
  CFlowRuleModel(const CFlowRuleModel&) = default;
  CFlowRuleModel(CFlowRuleModel&&) = default;
  // The curve vectors take the other model's sizes (CVector's own assignment
  // keeps them).
  CFlowRuleModel& operator=(const CFlowRuleModel& other);
  CFlowRuleModel& operator=(CFlowRuleModel&& other) { return *this = other; }

  // Abscissae and ordinates of curves 1..12 (element [id - 1]).
  std::array<CVector<double>, kFlowRuleCurveCount> x, y;
  std::array<bool, kFlowRuleCurveCount> defined{};

  // Plastic Poisson ratios nu12, nu23, nu13.
  std::array<double, 3> poisson{0.0, 0.0, 0.0};
  // The one assumed coefficient among G11 .. G13 (-1: none) and its value.
  int assumed = -1;
  double assumedValue = 0.0;
  // Bounds of G44, G55, G66; unset bounds take their defaults.
  std::array<double, 3> lower{0.0, 0.0, 0.0}, upper{0.0, 0.0, 0.0};
  std::array<bool, 3> boundsGiven{false, false, false};
  // Angles (degrees) of the off-axis tests, from the first axis of each plane.
  std::array<double, 3> angle{45.0, 45.0, 45.0};
  // The master curve (1..6) defines the effective stress-plastic strain
  // curve; the slave curve (7..9) is the shear test whose effective curve is
  // reported beside it.
  int master = kTension1;
  int slave = kShear12;

  // The files named by "*include" lines, as they were opened.
  std::vector<std::string> includedFiles;

  int DefinedCount() const;
};

// Reads a model file (and the files it includes) into model.  Returns "" on
// success, else the message of the first problem met.
std::string ReadFlowRuleModel(const std::string& path, CFlowRuleModel& model);

// Reads model text whose "*include" names are taken relative to baseFolder.
std::string ReadFlowRuleModelText(const std::string& text, const std::string& baseFolder,
                                  CFlowRuleModel& model);

// Model-file text of the curves ("*define_curve" blocks) and of the settings
// ("*map", "*plastic", "*off axis"); the settings text has no "*end".
std::string FormatFlowRuleCurves(const CFlowRuleModel& model);
std::string FormatFlowRuleSettings(const CFlowRuleModel& model);

}  // namespace olm
