#pragma once
// The distribution analysis engine: fits the requested distributions to one
// sample, evaluates them on the 1000-point grid of the range and at the
// sample points, and measures each fit (Kolmogorov-Smirnov distance,
// Anderson-Darling statistic, chi-square over five bins) and each pair of
// fits (log-likelihood ratio).
//
// Estimators: normal and lognormal in closed form; gamma by the shape
// iteration k <- 1 / (1/k + (L - ln mean + ln k - psi) / (k^2 (1/k - psi')))
// with psi ~ ln k - 1/(2k) and psi' ~ 1/k + 1/(2k^2), started at
// 0.5 / (ln mean - L) (L the mean of ln x).  The generalized exponential and
// both Weibull models solve their likelihood equations by minimising the
// squared residual with CDifferentialEvolution (1000 generations, 20
// members, FEWrapperDE as objective).
//
// Failures are reported, never fatal:
//   - a sample too small for a model (fewer than 2 values, or all values
//     equal), or with values <= 0 for a model that takes logarithms
//     (lognormal, gamma, Weibull 2P, generalized exponential), leaves that
//     model unfitted with a message; the other models are still fitted;
//   - an optimizer result other than success leaves the model unfitted with
//     the optimizer's message;
//   - a range whose lower limit is not below its upper limit makes Run
//     return false with a message.
// Misuse inside the engine (an unknown model selector or request code in the
// objective) throws CDistributionError.
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

#include "distribution/DistributionModels.hpp"
#include "numerics/EngVector.hpp"
#include "optim/DifferentialEvolution.hpp"

namespace olm {

// A failure of the distribution engine that its caller must handle: a
// malformed input file or misuse inside the engine.  what() is the fixed
// message; Detail() says where and why, when known.
class CDistributionError : public std::runtime_error {
 public:
  explicit CDistributionError(const std::string& message, std::string detail = {})
      : std::runtime_error(message), m_detail(std::move(detail)) {}
  const std::string& Detail() const { return m_detail; }

 private:
  std::string m_detail;
};

struct CDistributionRequest {
  int code = kNormal;
  // Weibull 2P: 1 switches the small-sample correction on; Weibull 3P: 1 or
  // 11 selects a correction set; generalized exponential: the upper bound U
  // of the rate.
  double option = 0.0;
};

struct CDistributionInput {
  std::string heading;
  std::vector<double> sample;
  std::vector<CDistributionRequest> requests;
  double lower = 0.0;  // range of the evaluation grid
  double upper = 0.0;
};

struct CDistributionResult {
  int code = kNormal;
  double option = 0.0;
  std::string tag;
  bool fitted = false;
  std::string message;                             // why the model was not fitted
  CEngVector<double> parameters{2, "Parameters"};  // parameter 1, parameter 2
  double location = 0.0;
  bool optimized = false;  // fitted by the optimizer: minimized is meaningful
  double minimized = 0.0;
  int optimizerResult = 0;
  int evaluations = 0;
  double ks = 0.0;
  double ad = 0.0;
  double chiSquare = 0.0;
  CEngVector<double> pdfSample{}, cdfSample{}, pdfGrid{}, cdfGrid{};

  CDistributionParameters Parameters() const {
    return {code, parameters(1), parameters(2), location};
  }
};

struct CPairwiseComparison {
  int first = 0;  // indices into Results(), from 0
  int second = 0;
  bool available = false;           // both models fitted
  double logLikelihoodRatio = 0.0;  // sum of ln(f_first / f_second) over the sample
};

// Correction tables of the Weibull likelihood equations, indexed by sample
// size 1..16 (larger samples use the entry for 16).
double WeibullScaleDivisor(int n);
double WeibullShapeNumerator(int n, int set);  // set 1 or 2
// Location-equation target of Weibull 3P for correction set 1 or 2.
double Weibull3PLocationTarget(int n, int set, double beta);

class CDistributionAnalysis {
 public:
  static constexpr int kGridPoints = 1000;
  static constexpr int kGenerations = 1000;
  static constexpr int kPopulation = 20;

  // Runs the analysis.  Console lines go to console (when not null), the
  // optimizer's progress output to optimizerLog (when not null).  Returns
  // false, with ErrorMessage() set, when the range is unusable.
  bool Run(const CDistributionInput& input, std::ostream* console = nullptr,
           std::ostream* optimizerLog = nullptr);

  const std::string& ErrorMessage() const { return m_error; }
  const std::vector<CDistributionResult>& Results() const { return m_results; }
  // First fitted result of a code, or null.
  const CDistributionResult* Find(int code) const;
  // The sorted sample (empty for an empty sample) and the grid.
  const std::vector<double>& Sample() const { return m_sample; }
  const CEngVector<double>& Grid() const { return m_grid; }
  double SampleMinimum() const { return m_min; }
  double SampleMaximum() const { return m_max; }
  // Pairs (1,2), (1,3), ..., (2,3), ... of the requests.
  const std::vector<CPairwiseComparison>& Pairwise() const { return m_pairs; }
  bool AllFitted() const;

 private:
  void Fit(CDistributionResult& r, std::ostream* optimizerLog);
  bool FitByOptimizer(CDistributionResult& r, std::ostream* optimizerLog);
  // Marks a fit with non-finite parameters or measures as not fitted.
  void CheckFinite(CDistributionResult& r);
  void Measure(CDistributionResult& r);

  std::string m_error;
  std::vector<CDistributionResult> m_results;
  std::vector<double> m_sample;
  CEngVector<double> m_sampleVector{};
  CEngVector<double> m_grid{};
  double m_min = 0.0, m_max = 0.0;
  double m_lower = 0.0, m_upper = 0.0;
  std::vector<CPairwiseComparison> m_pairs;
};

// Goodness-of-fit measures on the sorted sample with fitted cumulative values
// F (same length).
double KolmogorovSmirnov(const CEngVector<double>& F);
double AndersonDarling(const CEngVector<double>& F);
// Chi-square over five equal-width bins of [min, max]; the expected
// frequencies are trapezoid integrals of the density over the grid points of
// each bin.  A bin with expected frequency 0 makes the result infinite.
double ChiSquare(const std::vector<double>& sortedSample, const CEngVector<double>& grid,
                 const CEngVector<double>& pdfGrid);

// The optimizer objective of the fitted models.  context points to the
// model's fit context (selector 1 generalized exponential, 2 Weibull 2P,
// 3 Weibull 3P).
void FEWrapperDE(void* context, int request, double& objective, CEngVector<double>& x,
                 CEngVector<double>& xLower, CEngVector<double>& xUpper,
                 CEngVector<double>& auxiliary, CEngVector<int>& xd, CEngVector<int>& xdLower,
                 CEngVector<int>& xdUpper, CEngVector<int>& xb, int& constraintCount,
                 CEngVector<double>& g, char& status, int generation, std::ostream* out);

// Context of one optimizer fit.
struct CFitContext {
  int selector = 0;
  const std::vector<double>* sample = nullptr;  // sorted, positive where logarithms are taken
  int correction = 0;                           // Weibull: 0 none, 1 or 2 the correction set
  double upperBound = 0.0;                      // generalized exponential: U; Weibull 3P: R
  // Set at every evaluation.
  double scale = 0.0;
  double location = 0.0;
};

}  // namespace olm
