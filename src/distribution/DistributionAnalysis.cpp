#include "distribution/DistributionAnalysis.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>

#include "numerics/Simd.hpp"

namespace olm {

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kSelectorGeneralizedExponential = 1;
constexpr int kSelectorWeibull2P = 2;
constexpr int kSelectorWeibull3P = 3;
// Gamma shapes above this are refused: the incomplete gamma recurrence takes
// one step per unit of shape.
constexpr double kMaxGammaShape = 1e6;
constexpr int kMaxGammaIterations = 100;

const double kTableA[16] = {0.693, 0.839, 0.891, 0.918, 0.934, 0.945, 0.953, 0.959,
                            0.963, 0.967, 0.970, 0.972, 0.974, 0.976, 0.978, 0.979};
const double kTableB1[16] = {0,     0.275, 0.517, 0.638, 0.711, 0.759, 0.791, 0.817,
                             0.838, 0.853, 0.867, 0.877, 0.886, 0.895, 0.902, 0.908};
const double kTableB2[16] = {0,     0.163, 0.409, 0.553, 0.642, 0.702, 0.742, 0.775,
                             0.800, 0.820, 0.835, 0.849, 0.860, 0.871, 0.879, 0.887};
// Location-equation targets at shapes 0.5, 1.0, 1.5, 2.0, 2.5 (n = 8 and 10).
const double kTableC1n8[5] = {7.150, 3.114, 2.105, 1.722, 1.525};
const double kTableC1n10[5] = {8.643, 3.365, 2.180, 1.758, 1.552};
const double kTableC2n8[5] = {9.145, 3.665, 2.229, 1.766, 1.543};
const double kTableC2n10[5] = {11.104, 3.966, 2.312, 1.800, 1.564};

int TableIndex(int n) {
  return std::clamp(n, 1, 16) - 1;
}

// Console line of each model.
const char* ConsoleLine(int code) {
  switch (code) {
    case kNormal:
      return "\nNormal Distribution calculations ...\n";
    case kLognormal:
      return "\nLognormal Distribution calculations ...\n";
    case kGamma:
      return "\nGamma Distribution calculations ...\n";
    case kGeneralizedExponential:
      return "\nGeneralized Distribution calculations ...\n";
    case kWeibull2P:
      return "\nWeibull Distribution calculations ...\n\n\tWeibull 2 parameter ...\n";
    case kWeibull3P:
      return "\n\tWeibull 3 parameter ...\n";
    default:
      return "";
  }
}

[[noreturn]] void ObjectiveMisuse(int request) {
  if (request == 2 || request == 3) {
    throw CDistributionError("Illegal gradient evaluation call in WEIBULL_3.");
  }
  throw CDistributionError("Invalid compute code in WEIBULL_3.");
}

// Returns true when the request is an evaluation; fills bounds and start for
// the initialisation request and ignores notifications.
bool IsEvaluation(int request) {
  switch (request) {
    case 1:
    case 4:
    case 5:
      return true;
    case -1:
    case -2:
    case -3:
      return false;
    default:
      ObjectiveMisuse(request);
  }
}

// e^x and 1 - e^x for x <= 0, four at a time, both to full relative
// precision: the Taylor series of e^x - 1 near 0, where the difference would
// lose digits, e^x itself elsewhere.
OLM_INLINE void ExpAndComplement4(simd::V4 x, simd::V4& e, simd::V4& complement) {
  using simd::V4;
  V4 p = simd::Splat4(1.0 / 87178291200.0);  // 1/14!
  for (const double c :
       {1.0 / 6227020800.0, 1.0 / 479001600.0, 1.0 / 39916800.0, 1.0 / 3628800.0, 1.0 / 362880.0,
        1.0 / 40320.0, 1.0 / 5040.0, 1.0 / 720.0, 1.0 / 120.0, 1.0 / 24.0, 1.0 / 6.0, 0.5, 1.0})
    p = p * x + c;
  const V4 series = p * x;  // e^x - 1, truncation below 1e-19 for |x| <= 0.25
  const V4 ex = simd::Exp4(x);
  const auto nearZero = x > -0.25;
  e = nearZero ? 1.0 + series : ex;
  complement = nearZero ? -series : 1.0 - ex;
}

// The sums of the generalized-exponential objective over the first `done`
// values (a multiple of four), vectorised: sum ln(1 - e^(-lambda v)), sum v
// and sum v e^(-lambda v) / (1 - e^(-lambda v)).  Only for a sample whose
// smallest value makes lambda v a positive normal number; otherwise nothing
// is done here and the caller's loop takes every value.
struct CExponentialSums {
  double sumLog = 0.0, sumX = 0.0, sumRatio = 0.0;
  size_t done = 0;
};

OLM_CLONES CExponentialSums ExponentialSums(const std::vector<double>& s, double lambda) {
  CExponentialSums r;
  if (s.empty() || !(lambda * s.front() >= 1e-300) || !std::isfinite(lambda * s.back())) return r;
  using simd::V4;
  V4 sumLog = simd::Splat4(0.0), sumX = sumLog, sumRatio = sumLog;
  size_t i = 0;
  for (; i + 4 <= s.size(); i += 4) {
    const V4 v = simd::Load4(s.data() + i);
    V4 e, one;  // e^(-lambda v) and 1 - e
    ExpAndComplement4(-lambda * v, e, one);
    sumLog += simd::Ln4(one);
    sumX += v;
    sumRatio += v * e / one;
  }
  r.sumLog = simd::Sum4(sumLog);
  r.sumX = simd::Sum4(sumX);
  r.sumRatio = simd::Sum4(sumRatio);
  r.done = i;
  return r;
}

void GeneralizedExponentialObjective(CFitContext& c, int request, double& objective,
                                     CEngVector<double>& x, CEngVector<double>& lower,
                                     CEngVector<double>& upper, CEngVector<double>& aux,
                                     CEngVector<double>& g) {
  if (request == -1) {
    x(1) = 1e-8;
    lower(1) = 1e-8;
    upper(1) = c.upperBound;
    aux(1) = 0.01;
    return;
  }
  if (!IsEvaluation(request)) return;
  const std::vector<double>& s = *c.sample;
  const double lambda = x(1);
  const double n = static_cast<double>(s.size());
  const CExponentialSums sums = ExponentialSums(s, lambda);
  double sumLog = sums.sumLog, sumX = sums.sumX, sumRatio = sums.sumRatio;
  for (size_t i = sums.done; i < s.size(); ++i) {
    const double v = s[i];
    const double e = std::exp(-lambda * v);
    const double one = -std::expm1(-lambda * v);  // 1 - e
    sumLog += std::log(one);
    sumX += v;
    sumRatio += v * e / one;
  }
  const double alpha = -n / sumLog;
  const double r = (n / lambda - sumX) + (alpha - 1.0) * sumRatio;
  objective = r * r;
  g(1) = -1.0;
}

// Sums over the sample, normalised by the largest y so that y^beta cannot
// overflow: su = sum u^beta, sul = sum u^beta ln y, with u = y / ymax.
struct CWeibullSums {
  double ymax = 0.0;
  double su = 0.0, sul = 0.0, suLess = 0.0, sumLog = 0.0, sumInv = 0.0;
};

// Four values at a time with the vectorised logarithm and exponential
// (u^beta = e^(beta ln u), u^(beta - 1) = u^beta ymax / y), which the
// optimizer calls some 10^4 times per fit over the whole sample.  Those need
// positive normal y; a sample with a value at or below the location takes
// the scalar loop (and gives the infinite or NaN sums it gives).
OLM_CLONES CWeibullSums WeibullSums(const std::vector<double>& s, double location, double beta) {
  CWeibullSums w;
  w.ymax = s.back() - location;
  const size_t n = s.size();
  size_t i = 0;
  if (s.front() - location >= std::numeric_limits<double>::min() && std::isfinite(w.ymax)) {
    using simd::V4;
    const double lnMax = std::log(w.ymax);
    V4 su = simd::Splat4(0.0), sul = su, suInv = su, sumLog = su, sumInv = su;
    for (; i + 4 <= n; i += 4) {
      const V4 y = simd::Load4(s.data() + i) - location;
      const V4 ly = simd::Ln4(y);
      const V4 ub = simd::Exp4(beta * (ly - lnMax));
      const V4 inv = 1.0 / y;
      su += ub;
      sul += ub * ly;
      suInv += ub * inv;
      sumLog += ly;
      sumInv += inv;
    }
    w.su = simd::Sum4(su);
    w.sul = simd::Sum4(sul);
    w.suLess = simd::Sum4(suInv) * w.ymax;
    w.sumLog = simd::Sum4(sumLog);
    w.sumInv = simd::Sum4(sumInv);
  }
  for (; i < n; ++i) {
    const double y = s[i] - location;
    const double ly = std::log(y);
    const double u = y / w.ymax;
    const double ub = std::pow(u, beta);
    w.su += ub;
    w.sul += ub * ly;
    w.suLess += std::pow(u, beta - 1.0);
    w.sumLog += ly;
    w.sumInv += 1.0 / y;
  }
  return w;
}

void Weibull2PObjective(CFitContext& c, int request, double& objective, CEngVector<double>& x,
                        CEngVector<double>& lower, CEngVector<double>& upper,
                        CEngVector<double>& aux, CEngVector<double>& g) {
  if (request == -1) {
    x(1) = 15.0;
    lower(1) = 0.01;
    upper(1) = 60.0;
    aux(1) = 0.01;
    return;
  }
  if (!IsEvaluation(request)) return;
  const std::vector<double>& s = *c.sample;
  const int n = static_cast<int>(s.size());
  const double beta = x(1);
  double c1 = 1.0, c2 = 1.0;
  if (c.correction == 1) {
    c1 = WeibullShapeNumerator(n, 1);
    c2 = WeibullScaleDivisor(n);
  }
  const CWeibullSums w = WeibullSums(s, 0.0, beta);
  const double r = c1 / beta + w.sumLog / n - w.sul / w.su;
  objective = r * r;
  c.scale = w.ymax * std::pow(w.su / n / c2, 1.0 / beta);
  c.location = 0.0;
  g(1) = -1.0;
}

void Weibull3PObjective(CFitContext& c, int request, double& objective, CEngVector<double>& x,
                        CEngVector<double>& lower, CEngVector<double>& upper,
                        CEngVector<double>& aux, CEngVector<double>& g) {
  const std::vector<double>& s = *c.sample;
  if (request == -1) {
    x(1) = 15.0;
    lower(1) = 1.0;
    upper(1) = 100.0;
    x(2) = s.front();
    lower(2) = -c.upperBound;
    upper(2) = c.upperBound;
    aux(1) = 0.01;
    aux(2) = 0.01;
    return;
  }
  if (!IsEvaluation(request)) return;
  const int n = static_cast<int>(s.size());
  const double beta = x(1), gamma = x(2);
  g(1) = -1.0;
  if (!(s.front() - gamma > 0.0)) {  // the location must lie below every value
    objective = kInf;
    return;
  }
  double c1 = 1.0, c2 = 1.0, c3 = beta / (beta - 1.0);
  if (c.correction == 1 || c.correction == 2) {
    c1 = WeibullShapeNumerator(n, c.correction);
    c2 = WeibullScaleDivisor(n);
    c3 = Weibull3PLocationTarget(n, c.correction, beta);
  }
  const CWeibullSums w = WeibullSums(s, gamma, beta);
  const double r1 = c1 / beta + w.sumLog / n - w.sul / w.su;
  const double r2 = w.sumInv / n * (w.ymax * w.su / w.suLess) - c3;
  objective = r1 * r1 + r2 * r2;
  c.scale = w.ymax * std::pow(w.su / n / c2, 1.0 / beta);
  c.location = gamma;
}

std::string Refusal(int code, const std::string& reason) {
  return std::string(DistributionName(code).display) + " not fitted: " + reason;
}
}  // namespace

double WeibullScaleDivisor(int n) {
  return kTableA[TableIndex(n)];
}

double WeibullShapeNumerator(int n, int set) {
  return set == 2 ? kTableB2[TableIndex(n)] : kTableB1[TableIndex(n)];
}

double Weibull3PLocationTarget(int n, int set, double beta) {
  const double* table = nullptr;
  if (n == 8) table = set == 2 ? kTableC2n8 : kTableC1n8;
  if (n == 10) table = set == 2 ? kTableC2n10 : kTableC1n10;
  auto entry = [table](int i) { return table ? table[i] : 0.0; };
  if (beta <= 0.5) return entry(0);
  if (beta > 2.5) return beta / (beta - 1.0);
  // 0.5 < beta <= 2.5: exact at 1.0, 1.5, 2.0, 2.5, linear in between.
  const int i = static_cast<int>(std::ceil((beta - 0.5) / 0.5));  // 1..4
  const double b1 = 0.5 * i, b2 = 0.5 * (i + 1);
  if (beta == b2) return entry(i);
  const double t = (beta - b1) / (b2 - b1);
  return entry(i - 1) + t * (entry(i) - entry(i - 1));
}

void FEWrapperDE(void* context, int request, double& objective, CEngVector<double>& x,
                 CEngVector<double>& xLower, CEngVector<double>& xUpper,
                 CEngVector<double>& auxiliary, CEngVector<int>&, CEngVector<int>&,
                 CEngVector<int>&, CEngVector<int>&, int&, CEngVector<double>& g, char&, int,
                 std::ostream*) {
  CFitContext* c = static_cast<CFitContext*>(context);
  switch (c ? c->selector : 0) {
    case kSelectorGeneralizedExponential:
      GeneralizedExponentialObjective(*c, request, objective, x, xLower, xUpper, auxiliary, g);
      break;
    case kSelectorWeibull2P:
      Weibull2PObjective(*c, request, objective, x, xLower, xUpper, auxiliary, g);
      break;
    case kSelectorWeibull3P:
      Weibull3PObjective(*c, request, objective, x, xLower, xUpper, auxiliary, g);
      break;
    default:
      throw CDistributionError("Fatal error in FEWrapperDE function");
  }
}

double KolmogorovSmirnov(const CEngVector<double>& F) {
  const int n = F.GetSize();
  double d = 0.0;
  for (int i = 1; i <= n; ++i) {
    d = std::max(d, std::max(std::fabs(F(i) - static_cast<double>(i - 1) / n),
                             std::fabs(static_cast<double>(i) / n - F(i))));
  }
  return d;
}

double AndersonDarling(const CEngVector<double>& F) {
  const int n = F.GetSize();
  double s = 0.0;
  for (int i = 1; i <= n; ++i) {
    s += (2.0 * i - 1.0) / n * (std::log(F(i)) + std::log(1.0 - F(n + 1 - i)));
  }
  return -n - s;
}

double ChiSquare(const std::vector<double>& sample, const CEngVector<double>& grid,
                 const CEngVector<double>& pdfGrid) {
  const double mn = *std::min_element(sample.begin(), sample.end());
  const double mx = *std::max_element(sample.begin(), sample.end());
  const double w = (mx - mn) / 5.0;
  const double e[4] = {mn + w, mn + 2 * w, mn + 3 * w, mn + 4 * w};
  // Bin of a value, 1..5, or 0 when it lies on an inner edge.
  auto bin = [&e](double v) {
    if (v < e[0]) return 1;
    if (v > e[3]) return 5;
    for (int j = 1; j <= 3; ++j) {
      if (v > e[j - 1] && v < e[j]) return j + 1;
    }
    return 0;
  };
  double observed[6] = {0, 0, 0, 0, 0, 0};
  for (double v : sample) observed[bin(v)] += 1.0;
  double expected[6] = {0, 0, 0, 0, 0, 0};
  bool hasPoint[6] = {false, false, false, false, false, false};
  for (int k = 1; k <= grid.GetSize(); ++k) {
    const int b = bin(grid(k));
    hasPoint[b] = true;
    if (k < grid.GetSize() && b != 0 && bin(grid(k + 1)) == b) {
      expected[b] += (pdfGrid(k) + pdfGrid(k + 1)) * std::fabs(grid(k + 1) - grid(k)) / 2.0;
    }
  }
  const double n = static_cast<double>(sample.size());
  double chi = 0.0;
  double previous = 0.0;
  for (int j = 1; j <= 5; ++j) {
    const double ej = hasPoint[j] ? expected[j] : previous;
    previous = ej;
    const double oj = observed[j] / n;
    chi += ej == 0.0 ? kInf : (oj - ej) * (oj - ej) / ej;
  }
  return chi;
}

bool CDistributionAnalysis::AllFitted() const {
  for (const auto& r : m_results) {
    if (!r.fitted) return false;
  }
  return true;
}

const CDistributionResult* CDistributionAnalysis::Find(int code) const {
  for (const auto& r : m_results) {
    if (r.code == code && r.fitted) return &r;
  }
  return nullptr;
}

bool CDistributionAnalysis::Run(const CDistributionInput& input, std::ostream* console,
                                std::ostream* optimizerLog) {
  m_error.clear();
  m_results.clear();
  m_pairs.clear();
  if (!std::isfinite(input.lower) || !std::isfinite(input.upper) || !(input.lower < input.upper)) {
    m_error = "The lower limit of the range must be below its upper limit.";
    return false;
  }
  m_lower = input.lower;
  m_upper = input.upper;
  m_sample = input.sample;
  std::sort(m_sample.begin(), m_sample.end());
  const int n = static_cast<int>(m_sample.size());
  m_sampleVector = CEngVector<double>();
  if (n > 0) {
    m_sampleVector.SetName("Sample");
    m_sampleVector.SetSize(n);
    for (int i = 1; i <= n; ++i) m_sampleVector(i) = m_sample[static_cast<size_t>(i - 1)];
    m_min = m_sample.front();
    m_max = m_sample.back();
  } else {
    m_min = m_max = 0.0;
  }
  m_grid.SetName("Grid");
  m_grid.SetSize(kGridPoints);
  for (int j = 1; j <= kGridPoints; ++j) {
    m_grid(j) = m_lower + (j - 1) * (m_upper - m_lower) / (kGridPoints - 1);
  }
  m_grid(kGridPoints) = m_upper;

  for (const CDistributionRequest& q : input.requests) {
    CDistributionResult r;
    r.code = q.code;
    r.option = q.option;
    r.tag = DistributionName(q.code).tag;
    if (console) *console << ConsoleLine(q.code);
    Fit(r, optimizerLog);
    if (r.fitted) Measure(r);
    if (r.fitted) CheckFinite(r);
    m_results.push_back(std::move(r));
  }

  // Pairwise log-likelihood ratios.
  const int count = static_cast<int>(m_results.size());
  for (int i = 0; i < count; ++i) {
    for (int j = i + 1; j < count; ++j) {
      CPairwiseComparison p;
      p.first = i;
      p.second = j;
      const CDistributionResult& a = m_results[static_cast<size_t>(i)];
      const CDistributionResult& b = m_results[static_cast<size_t>(j)];
      p.available = a.fitted && b.fitted;
      if (p.available) {
        for (int k = 1; k <= n; ++k) {
          p.logLikelihoodRatio += std::log(a.pdfSample(k)) - std::log(b.pdfSample(k));
        }
      }
      m_pairs.push_back(p);
    }
  }
  return true;
}

void CDistributionAnalysis::Fit(CDistributionResult& r, std::ostream* optimizerLog) {
  const int n = static_cast<int>(m_sample.size());
  if (r.code < 0 || r.code >= kDistributionCount) {
    r.message = "Unknown distribution code " + std::to_string(r.code) + ".";
    return;
  }
  if (n < 2) {
    r.message = Refusal(r.code, "the sample has fewer than 2 values.");
    return;
  }
  if (m_min == m_max) {
    r.message = Refusal(r.code, "all sample values are equal.");
    return;
  }
  if (NeedsPositiveValues(r.code) && m_min <= 0.0) {
    r.message = Refusal(r.code,
                        "the sample holds values <= 0, and this distribution needs "
                        "positive values (its estimators take logarithms).");
    return;
  }
  double sum = 0.0, sumLog = 0.0;
  for (double v : m_sample) {
    sum += v;
    if (v > 0.0) sumLog += std::log(v);
  }
  const double mean = sum / n;
  const double meanLog = sumLog / n;
  switch (r.code) {
    case kNormal: {
      double ss = 0.0;
      for (double v : m_sample) ss += (v - mean) * (v - mean);
      r.parameters(1) = mean;
      r.parameters(2) = std::sqrt(ss / (n - 1));
      r.fitted = true;
      break;
    }
    case kLognormal: {
      double ss = 0.0;
      for (double v : m_sample) ss += (std::log(v) - meanLog) * (std::log(v) - meanLog);
      r.parameters(1) = std::exp(meanLog);
      r.parameters(2) = std::sqrt(ss / (n - 1));
      r.fitted = r.parameters(2) > 0.0;
      if (!r.fitted) r.message = Refusal(r.code, "the logarithms of the values do not vary.");
      break;
    }
    case kGamma: {
      const double lm = std::log(mean);
      double k = 0.5 / (lm - meanLog);
      bool converged = false;
      for (int it = 0; it < kMaxGammaIterations && std::isfinite(k) && k > 0.0; ++it) {
        const double psi = std::log(k) - 1.0 / (2.0 * k);
        const double psi1 = 1.0 / k + 1.0 / (2.0 * k * k);
        const double next =
            1.0 / (1.0 / k + (meanLog - lm + std::log(k) - psi) / (k * k * (1.0 / k - psi1)));
        const bool done = std::fabs(next - k) <= 0.01;
        k = next;
        if (done) {
          converged = true;
          break;
        }
      }
      if (!converged || !std::isfinite(k) || k <= 0.0) {
        r.message = Refusal(r.code,
                            "the shape iteration did not converge (the values hardly "
                            "vary).");
      } else if (k > kMaxGammaShape) {
        r.message = Refusal(r.code, "the shape estimate exceeds 1e6 (the values hardly vary).");
      } else {
        r.parameters(1) = mean / k;
        r.parameters(2) = k;
        r.fitted = true;
      }
      break;
    }
    default:
      r.fitted = FitByOptimizer(r, optimizerLog);
      break;
  }
}

bool CDistributionAnalysis::FitByOptimizer(CDistributionResult& r, std::ostream* optimizerLog) {
  CFitContext c;
  c.sample = &m_sample;
  int nC = 1;
  switch (r.code) {
    case kGeneralizedExponential:
      c.selector = kSelectorGeneralizedExponential;
      c.upperBound = r.option;
      break;
    case kWeibull2P:
      c.selector = kSelectorWeibull2P;
      c.correction = r.option == 1.0 ? 1 : 0;
      break;
    default:
      c.selector = kSelectorWeibull3P;
      c.correction = r.option == 1.0 ? 1 : (r.option == 11.0 ? 2 : 0);
      c.upperBound = m_upper;
      nC = 2;
      break;
  }
  CDifferentialEvolution de;
  de.Initialize(&c, FEWrapperDE, nC, 0, 0, 1, kGenerations, kPopulation);
  de.SetOutputLevel(1, "detailed");
  std::ostream discard(nullptr);  // never opened: the output is dropped
  const int rc = de.Optimize(optimizerLog ? *optimizerLog : discard);
  r.optimized = true;
  r.optimizerResult = rc;
  if (rc != CDifferentialEvolution::kSuccess) {
    r.message = Refusal(r.code, CDifferentialEvolution::ErrorMessage(rc));
    return false;
  }
  double objective = 0.0, maxG = 0.0;
  CEngVector<double> x(nC, "Design"), g(1, "Constraints");
  CEngVector<int> xd, xb;
  int generations = 0;
  de.GetResults(objective, maxG, x, xd, xb, g, r.evaluations, generations);
  r.minimized = objective;
  if (r.code == kGeneralizedExponential) {
    const double lambda = x(1);
    double sumLog = 0.0;
    for (double v : m_sample) sumLog += std::log(-std::expm1(-lambda * v));
    r.parameters(1) = lambda;
    r.parameters(2) = -static_cast<double>(m_sample.size()) / sumLog;
  } else {
    // The scale set by the optimizer's final re-evaluation of the best design.
    r.parameters(1) = c.scale;
    r.parameters(2) = x(1);
    r.location = r.code == kWeibull3P ? x(2) : 0.0;
  }
  return true;
}

void CDistributionAnalysis::CheckFinite(CDistributionResult& r) {
  // A fit whose parameters or measures are not numbers (values so small or
  // large that the estimates overflow) is no fit at all.
  const bool parameters =
      std::isfinite(r.parameters(1)) && std::isfinite(r.parameters(2)) && std::isfinite(r.location);
  if (!parameters) {
    r.fitted = false;
    r.message = Refusal(r.code, "the estimated parameters are not finite numbers.");
    return;
  }
  if (!std::isfinite(r.ks) || !std::isfinite(r.ad) || !std::isfinite(r.chiSquare)) {
    r.fitted = false;
    r.message = Refusal(r.code, "the goodness-of-fit measures are not finite numbers.");
  }
}

void CDistributionAnalysis::Measure(CDistributionResult& r) {
  const CDistributionParameters p = r.Parameters();
  EvaluateDistribution(p, m_grid, PointKind::Grid, r.pdfGrid, r.cdfGrid);
  EvaluateDistribution(p, m_sampleVector, PointKind::Sample, r.pdfSample, r.cdfSample);
  r.ks = KolmogorovSmirnov(r.cdfSample);
  r.ad = AndersonDarling(r.cdfSample);
  r.chiSquare = ChiSquare(m_sample, m_grid, r.pdfGrid);
}

}  // namespace olm
