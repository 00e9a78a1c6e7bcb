#include "distribution/DistributionForm.hpp"

#include <algorithm>
#include <cmath>

#include "engine/Statistics.hpp"
#include "numerics/ExpressionEvaluator.hpp"
#include "numerics/ExpressionValue.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

const std::array<const char*, kDistributionCount>& CDistributionForm::ChoiceNames() {
  static const std::array<const char*, kDistributionCount> names = {
      "Weibull-2P", "Weibull-3P", "Normal", "Log normal", "Gamma", "Generalized exponential"};
  return names;
}

bool CDistributionForm::HasOption(int code) {
  return code == kWeibull2P || code == kWeibull3P || code == kGeneralizedExponential;
}

int CDistributionForm::ReadSample(const std::vector<std::string>& cells,
                                  CExpressionEvaluator& evaluator, std::vector<double>& sample,
                                  bool singlePrecision) {
  sample.clear();
  const size_t rows = std::min<size_t>(cells.size(), kRows);
  for (size_t i = 0; i < rows; ++i) {
    const std::string& text = cells[i];
    if (text.find_first_not_of(" \t") == std::string::npos) break;
    CExpressionValue result;
    if (evaluator.Evaluate(text, result) != kExprOk || !result.IsScalar() ||
        !std::isfinite(result.GetScalar()))
      return static_cast<int>(i) + 1;
    const double value = result.GetScalar();
    if (value == 0.0) break;
    sample.push_back(singlePrecision ? static_cast<double>(static_cast<float>(value)) : value);
  }
  return 0;
}

std::string CDistributionForm::InvalidRowMessage(int row) {
  return Format("Error: Data Pt.: %d has invalid expression", row);
}

CSampleStatistics CDistributionForm::Statistics(std::vector<double> sample) {
  CSampleStatistics s;
  // Sorted first, so that the sums run in the order of the sorted sample.
  std::sort(sample.begin(), sample.end());
  CDescriptiveStatistics d;
  if (!ComputeStatistics(sample, d)) return s;
  s.minimum = d.minimum;
  s.maximum = d.maximum;
  s.median = d.median;
  s.mean = d.mean;
  s.standardDeviation = d.standardDeviation;
  s.coefficientOfVariation = s.standardDeviation / s.mean * 100.0;
  return s;
}

CDistributionOptions CDistributionForm::OptionsOf(
    const std::array<double, kDistributionCount + 1>& v) {
  CDistributionOptions o;
  o.weibull2p = v[1] == 1.0 ? 1 : 0;
  o.weibull3p = v[2] == 1.0 ? 1 : v[2] == 11.0 ? 11 : 0;
  o.generalizedExponentialBound = v[6];
  return o;
}

std::array<double, kDistributionCount + 1> CDistributionForm::OptionVector(
    const CDistributionOptions& o) {
  std::array<double, kDistributionCount + 1> v{};
  v[1] = o.weibull2p == 1 ? 1.0 : 0.0;
  v[2] = o.weibull3p == 1 || o.weibull3p == 11 ? o.weibull3p : 0.0;
  v[6] = o.generalizedExponentialBound;
  return v;
}

CDistributionInput CDistributionForm::BuildInput(const std::vector<double>& sample,
                                                 const CDistributionOptions& options, double lower,
                                                 double upper) {
  CDistributionInput in;
  in.sample = sample;
  in.lower = lower;
  in.upper = upper;
  for (int code = 0; code < kDistributionCount; ++code) {
    CDistributionRequest r;
    r.code = code;
    if (code == kWeibull2P) r.option = options.weibull2p;
    if (code == kWeibull3P) r.option = options.weibull3p;
    if (code == kGeneralizedExponential) r.option = options.generalizedExponentialBound;
    in.requests.push_back(r);
  }
  return in;
}

}  // namespace olm
