#pragma once
// The rules of the "Distribution Analysis" dialog without any widget: the
// sample taken from the grid's cell texts, the sample statistics, the
// six-entry option vector and the engine input built from them.
#include <array>
#include <string>
#include <vector>

#include "distribution/DistributionFiles.hpp"

namespace olm {

class CExpressionEvaluator;

struct CSampleStatistics {
  double minimum = 0.0, maximum = 0.0, median = 0.0, mean = 0.0;
  double standardDeviation = 0.0;       // divisor n
  double coefficientOfVariation = 0.0;  // standard deviation / mean * 100
};

class CDistributionForm {
 public:
  static constexpr const char* kCaption = "Distribution Analysis";
  static constexpr int kRows = 25;
  static constexpr int kMinimumImport = 5;  // fewer imported values are refused

  // The combo box entries, in code order.
  static const std::array<const char*, kDistributionCount>& ChoiceNames();
  // Whether "Additional Data" applies to the distribution code.
  static bool HasOption(int code);

  // Reads the sample from the grid's cell texts, rows 1..25 in order: an
  // empty cell or a value of exactly 0 ends the sample; every value is kept
  // in single precision for the computation (singlePrecision), as typed for
  // an export.  Returns 0, or the row whose text is not a valid expression
  // (the sample then holds the rows before it).
  static int ReadSample(const std::vector<std::string>& cells, CExpressionEvaluator& evaluator,
                        std::vector<double>& sample, bool singlePrecision = true);
  // "Error: Data Pt.: <row> has invalid expression"
  static std::string InvalidRowMessage(int row);

  static CSampleStatistics Statistics(std::vector<double> sample);

  // The option vector (entry 1 Weibull 2P, entry 2 Weibull 3P, entry 6 the
  // generalized-exponential bound; 1-based) to and from the file options.
  static CDistributionOptions OptionsOf(const std::array<double, kDistributionCount + 1>& v);
  static std::array<double, kDistributionCount + 1> OptionVector(const CDistributionOptions& o);

  // All six distributions in code order with their options, and the range.
  static CDistributionInput BuildInput(const std::vector<double>& sample,
                                       const CDistributionOptions& options, double lower,
                                       double upper);
};

}  // namespace olm
