#include "composites/FailureSurfaceForm.hpp"

#include <cmath>

#include "numerics/UserInterface.hpp"

namespace olm {

const std::array<const char*, 12>& CFailureSurfaceForm::PromptLabels() {
  static const std::array<const char*, 12> labels = {
      "S1T", "S1C", "S2T", "S2C", "S3T", "S3C", "S12", "S23", "S13", "n", "S12 value", "S33 value"};
  return labels;
}

const std::array<CFailurePlotTypeInfo, kFailurePlotTypeCount>& CFailureSurfaceForm::PlotTypes() {
  static const std::array<CFailurePlotTypeInfo, kFailurePlotTypeCount> types = {{
      {FailurePlotType::S22S11, "S22-S11 Plot", "S22-S11 Plot"},
      {FailurePlotType::S23S13, "S23-S13 Plot", "S23-S13 Plot"},
      {FailurePlotType::S22S11Scaled, "S22-S11 Scaled Plot", "S22-S11-Scaled"},
      {FailurePlotType::S22S11ScaledCentered, "S22-S11 Scaled Centered Plot",
       "S22-S11-Scaled-Centered"},
      {FailurePlotType::RTheta1122, "R-Theta 11-22 space", "R-Theta-11-22"},
      {FailurePlotType::RTheta1323, "R-Theta 13-23 space", "R-Theta-13-23"},
  }};
  return types;
}

std::string CFailureSurfaceForm::Check(const CFailureSurfaceInput& in) {
  const float positive[] = {in.s1t, in.s1c, in.s2t, in.s2c, in.s3t,
                            in.s3c, in.s12, in.s23, in.s13, in.n};
  const auto& labels = PromptLabels();
  for (int k = 0; k < 10; ++k)
    if (!(std::isfinite(positive[k]) && positive[k] > 0.0f))
      return Format("The value of %s must be a number greater than 0.", labels[k]);
  if (!std::isfinite(in.s12Value))
    return Format("The value of %s must be a finite number.", labels[10]);
  if (!std::isfinite(in.s33Value))
    return Format("The value of %s must be a finite number.", labels[11]);
  return {};
}

bool CFailureSurfaceForm::Compute() {
  const std::string problem = Check(m_input);
  if (!problem.empty()) {
    ShowMessage(problem, MessageKind::Information);
    return false;
  }
  m_surface.Compute(m_input);
  // Extreme strengths or exponents overflow the envelopes: nothing sensible
  // can be written then.
  if (!m_surface.IsFinite()) {
    ShowMessage(
        "These strengths and exponent give envelopes that are not finite numbers; "
        "the failure surface file was not written.",
        MessageKind::Error);
    return false;
  }
  std::string error;
  if (!m_surface.Write(m_outputPath, &error)) {
    if (!error.empty()) ShowMessage(error, MessageKind::Error);
    ShowMessage(Format("Unable to write the failure surface file %s.", m_outputPath.c_str()),
                MessageKind::Error);
    return false;
  }
  return true;
}

bool CFailureSurfaceForm::ChoosePlotType(int type) {
  if (type < 0 || type >= kFailurePlotTypeCount) return false;
  m_type = static_cast<FailurePlotType>(type);
  return Compute();
}

const char* CFailureSurfaceForm::PlotTitle() const {
  return PlotTypes()[PlotType()].title;
}

const std::vector<CPlotSeries>* CFailureSurfaceForm::SeriesToDraw() const {
  if (!m_surface.HasValues()) return nullptr;
  return &m_surface.Series(m_type);
}

}  // namespace olm
