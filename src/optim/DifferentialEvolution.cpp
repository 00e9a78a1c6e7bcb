#include "optim/DifferentialEvolution.hpp"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <limits>
#include <ostream>

#include "engine/PrintTable.hpp"

namespace olm {

namespace {
constexpr double kHuge = std::numeric_limits<double>::max();
constexpr double kInf = std::numeric_limits<double>::infinity();

const char* const kStrategyNames[] = {"BEST1EXP", "RAND1EXP", "RANDTOBEST1EXP", "BEST2EXP",
                                      "RAND2EXP", "BEST1BIN", "RAND1BIN",       "RANDTOBEST1BIN",
                                      "BEST2BIN", "RAND2BIN"};

double Sanitized(double v) {
  return std::isnan(v) ? kInf : v;
}

// Number of donors beyond r1 and r2 that a strategy needs.
int ExtraDonors(int strategy) {
  switch (strategy % 5) {
    case 1:
      return 1;
    case 3:
      return 2;
    case 4:
      return 3;
    default:
      return 0;
  }
}
}  // namespace

CDifferentialEvolution::CDifferentialEvolution() = default;

int CDifferentialEvolution::Initialize(void* context, DEObjectiveFunction objective,
                                       int nContinuous, int nDiscrete, int nBoolean,
                                       int nConstraints, int generations, int populationSize) {
  if (nContinuous < 0 || nDiscrete < 0 || nBoolean < 0 || nContinuous + nDiscrete + nBoolean <= 0 ||
      generations <= 0 || populationSize <= 0 || nConstraints <= 0) {
    return 0;
  }
  m_strategy = kRandToBest1Exp;
  m_F = 0.8;
  m_K = 0.8;
  m_exchange = 0.9;
  m_CR = 1.0;
  m_elitism = 1;
  m_seedWithStart = 1;
  m_outputFrequency = 1;
  m_outputLevel = kMinimal;
  m_tolerance = 1e-5;

  m_context = context;
  m_objective = objective;
  m_nC = nContinuous;
  m_nD = nDiscrete;
  m_nB = nBoolean;
  m_m = nConstraints;
  m_G = generations;
  m_NP = populationSize;
  m_history.SetName("History");
  m_history.SetSize(generations);
  return 1;
}

int CDifferentialEvolution::SetOutputLevel(int frequency, const std::string& keyword) {
  if (frequency < 1) return 1;
  int level;
  if (keyword == "silent") {
    level = kSilent;
  } else if (keyword == "minimal") {
    level = kMinimal;
  } else if (keyword == "detailed") {
    level = kDetailed;
  } else {
    return 1;
  }
  m_outputFrequency = frequency;
  m_outputLevel = level;
  return 0;
}

std::string CDifferentialEvolution::ErrorMessage(int code) {
  switch (code) {
    case kBadInput:
      return "User input error. Check problem size.";
    case kBadBounds:
      return "Design variable violates lower or upper bound.";
    case kNoFeasible:
      return "Cannot find feasible solution.";
    case kMaxIterations:
      return "Max. number of iterations exceeded.";
    default:
      return "Unknown error.";
  }
}

const char* CDifferentialEvolution::StrategyName(int strategy) {
  if (strategy < 0 || strategy > 9) return "";
  return kStrategyNames[strategy];
}

bool CDifferentialEvolution::PrintsGeneration(int generation) const {
  return m_printLevel > kSilent && (generation - 1) % m_outputFrequency == 0;
}

void CDifferentialEvolution::SizeWorkingState() {
  const int nV = m_nC + m_nD + m_nB;
  m_args = std::make_unique<CArguments>();
  CArguments& a = *m_args;
  // Vectors of a kind the problem lacks stay empty (a size of 0 is misuse).
  auto size = [](auto& v, const char* name, int n) {
    v.SetName(name);
    if (n > 0) v.SetSize(n);
  };
  size(a.x, "X", m_nC);
  size(a.xLower, "XLower", m_nC);
  size(a.xUpper, "XUpper", m_nC);
  size(a.aux, "Auxiliary", m_nC);
  size(a.xd, "XD", m_nD);
  size(a.xdLower, "XDLower", m_nD);
  size(a.xdUpper, "XDUpper", m_nD);
  size(a.xb, "XB", m_nB);
  size(a.g, "G", m_m);

  m_A.Size(nV, m_NP);
  m_B.Size(nV, m_NP);
  m_fitness.assign(static_cast<size_t>(m_NP), 0.0);
  m_trialF.assign(static_cast<size_t>(m_NP), 0.0);
  m_trialMaxG.assign(static_cast<size_t>(m_NP), 0.0);
  m_trialG.assign(static_cast<size_t>(m_NP) * static_cast<size_t>(m_m), 0.0);
  m_best.assign(static_cast<size_t>(nV), 0.0);
  m_feasible.assign(static_cast<size_t>(nV), 0.0);
  m_feasibleG.assign(static_cast<size_t>(m_m), 0.0);
  m_lower.assign(static_cast<size_t>(nV), 0.0);
  m_upper.assign(static_cast<size_t>(nV), 1.0);
  m_exchangeDraws.assign(static_cast<size_t>(m_NP) * static_cast<size_t>(nV), 0.0);
  m_P.assign(static_cast<size_t>(m_NP), 0);
  m_R.assign(static_cast<size_t>(m_NP), 0);
  m_Q.assign(4, 0);
  for (int g = 1; g <= m_G; ++g) m_history(g) = CDEHistory{};
  m_bestFitness = kHuge;
  m_bestMaxG = kHuge;
  m_feasibleF = kHuge;
  m_feasibleMaxG = kHuge;
  m_found = false;
  m_evaluations = 0;
  m_generation = 0;
}

double CDifferentialEvolution::Evaluate(const std::vector<double>& v, std::vector<double>& g,
                                        double& maxG, int generation, std::ostream* out) {
  CArguments& a = *m_args;
  for (int i = 1; i <= m_nC; ++i) a.x(i) = v[static_cast<size_t>(i - 1)];
  for (int i = 1; i <= m_nD; ++i) {
    a.xd(i) = static_cast<int>(std::trunc(v[static_cast<size_t>(m_nC + i - 1)]));
  }
  for (int i = 1; i <= m_nB; ++i) a.xb(i) = v[static_cast<size_t>(m_nC + m_nD + i - 1)] >= 0.5;
  for (int j = 1; j <= m_m; ++j) a.g(j) = 0.0;
  double f = 0.0;
  int count = m_m;
  char status = 0;
  m_objective(m_context, kRequestEvaluate, f, a.x, a.xLower, a.xUpper, a.aux, a.xd, a.xdLower,
              a.xdUpper, a.xb, count, a.g, status, generation, out);
  ++m_evaluations;
  g.resize(static_cast<size_t>(m_m));
  maxG = -kInf;
  for (int j = 1; j <= m_m; ++j) {
    g[static_cast<size_t>(j - 1)] = Sanitized(a.g(j));
    maxG = std::max(maxG, g[static_cast<size_t>(j - 1)]);
  }
  return Sanitized(f);
}

void CDifferentialEvolution::Penalize(const std::vector<double>& f, const std::vector<double>& g,
                                      std::vector<double>& fitness) const {
  const size_t np = static_cast<size_t>(m_NP), m = static_cast<size_t>(m_m);
  double mean = 0.0;
  for (double v : f) mean += v;
  mean /= static_cast<double>(np);
  std::vector<double> vbar(m, 0.0);
  for (size_t i = 0; i < np; ++i) {
    for (size_t j = 0; j < m; ++j) {
      const double gij = g[i * m + j];
      if (gij > m_tolerance) vbar[j] += gij;
    }
  }
  double s = 0.0;
  for (double& v : vbar) {
    v /= static_cast<double>(np);
    s += v * v;
  }
  fitness.resize(np);
  for (size_t i = 0; i < np; ++i) {
    bool violated = false;
    double penalty = 0.0;
    for (size_t j = 0; j < m; ++j) {
      const double gij = g[i * m + j];
      if (gij > m_tolerance) {
        violated = true;
        penalty += std::fabs(mean) * vbar[j] / s * gij;
      }
    }
    fitness[i] = violated ? Sanitized(std::max(f[i], mean) + penalty) : f[i];
  }
}

void CDifferentialEvolution::Permutation(std::vector<int>& perm, int n) {
  std::vector<double> u(static_cast<size_t>(n));
  for (double& v : u) v = m_random.Next();
  perm.assign(static_cast<size_t>(n), 0);
  for (int k = 0; k < n; ++k) {
    int rank = 1;
    for (int j = 0; j < n; ++j) {
      if (u[static_cast<size_t>(j)] < u[static_cast<size_t>(k)]) ++rank;
      if (j < k && u[static_cast<size_t>(j)] == u[static_cast<size_t>(k)]) ++rank;
    }
    perm[static_cast<size_t>(k)] = rank;
  }
}

void CDifferentialEvolution::Clamp(std::vector<double>& v) const {
  for (int n = 0; n < m_nC + m_nD; ++n) {
    double& x = v[static_cast<size_t>(n)];
    x = std::clamp(x, m_lower[static_cast<size_t>(n)], m_upper[static_cast<size_t>(n)]);
    if (n >= m_nC) x = std::trunc(x);
  }
  for (int n = m_nC + m_nD; n < m_nC + m_nD + m_nB; ++n) {
    double& x = v[static_cast<size_t>(n)];
    x = x >= 0.5 ? 1.0 : 0.0;
  }
}

void CDifferentialEvolution::BuildTrial(int member, bool firstOfGeneration,
                                        std::vector<double>& trial) {
  const int nV = m_nC + m_nD + m_nB;
  if (firstOfGeneration) {
    Permutation(m_P, m_NP);
    Permutation(m_Q, 4);
    for (int k = 1; k <= m_NP; ++k) {
      m_R[static_cast<size_t>(k - 1)] = m_P[static_cast<size_t>((k - 1 + m_Q[0]) % m_NP)];
    }
  }
  int r[6] = {0, m_P[static_cast<size_t>(member - 1)], m_R[static_cast<size_t>(member - 1)], 0, 0,
              0};
  // Further donors: distinct from the member, from r1, r2 and each other.
  const int extra = ExtraDonors(m_strategy);
  for (int d = 3; d < 3 + extra; ++d) {
    std::vector<int> candidates;
    for (int c = 1; c <= m_NP; ++c) {
      bool taken = c == member;
      for (int e = 1; e < d; ++e) taken = taken || c == r[e];
      if (!taken) candidates.push_back(c);
    }
    const size_t pick =
        std::min(candidates.size() - 1, static_cast<size_t>(m_random.Next() * candidates.size()));
    r[d] = candidates[pick];
  }

  // The draws follow the steps: donors, F and K, the binomial pass, then the
  // generation's exchange table.
  if (firstOfGeneration && m_strategy <= kRand2Exp) {
    m_F = m_random.Uniform(-1.0, 1.0);
    m_K = m_random.Uniform(0.0, 1.0);
  }

  auto donor = [&](int d, int n) { return m_A(n, r[d]); };
  auto mutant = [&](int n) {
    const double x = m_A(n, member);
    const double b = m_best[static_cast<size_t>(n - 1)];
    switch (m_strategy % 5) {
      case 0:
        return b + m_F * (donor(1, n) - donor(2, n));
      case 1:
        return donor(1, n) + m_F * (donor(2, n) - donor(3, n));
      case 2:
        return x + m_F * (donor(1, n) - donor(2, n)) + m_K * (b - x);
      case 3:
        return b + m_F * (donor(1, n) + donor(2, n) - donor(3, n) - donor(4, n));
      default:
        return donor(1, n) + m_F * (donor(2, n) + donor(3, n) - donor(4, n) - donor(5, n));
    }
  };

  trial.resize(static_cast<size_t>(nV));
  for (int n = 1; n <= nV; ++n) trial[static_cast<size_t>(n - 1)] = m_A(n, member);
  if (m_strategy <= kRand2Exp) {
    for (int n = 1; n <= nV; ++n) trial[static_cast<size_t>(n - 1)] = mutant(n);
  } else {
    // Binomial pass over each kind of variable; its last variable always mutates.
    const int groupEnd[3] = {m_nC, m_nC + m_nD, nV};
    int start = 1;
    for (int end : groupEnd) {
      for (int n = start; n <= end; ++n) {
        if (m_random.Next() < m_CR || n == end) trial[static_cast<size_t>(n - 1)] = mutant(n);
      }
      start = end + 1;
    }
  }
  // Exchange step: each variable takes the trial value with probability p.
  if (firstOfGeneration)
    for (double& d : m_exchangeDraws) d = m_random.Next();
  for (int n = 1; n <= nV; ++n) {
    const double draw = m_exchangeDraws[static_cast<size_t>(member - 1) * static_cast<size_t>(nV) +
                                        static_cast<size_t>(n - 1)];
    if (!(draw < m_exchange)) trial[static_cast<size_t>(n - 1)] = m_A(n, member);
  }
  Clamp(trial);
}

void CDifferentialEvolution::GenerationStatistics(std::ostream& out, bool print) {
  CDEHistory h;
  double sum = 0.0, worst = -kInf;
  int bestIndex = 0;
  for (int i = 1; i <= m_NP; ++i) {
    const double f = m_trialF[static_cast<size_t>(i - 1)];
    const double maxG = m_trialMaxG[static_cast<size_t>(i - 1)];
    sum += f;
    worst = std::max(worst, f);
    if (maxG <= m_tolerance) {
      ++h.feasibleCount;
      if (bestIndex == 0 || f < m_trialF[static_cast<size_t>(bestIndex - 1)]) bestIndex = i;
    } else if (maxG > h.maxViolation) {
      h.maxViolation = maxG;
    }
  }
  h.averageFitness = sum / m_NP;
  h.worstFitness = worst;
  h.bestFitness = bestIndex ? m_trialF[static_cast<size_t>(bestIndex - 1)] : 0.0;
  m_history(m_generation) = h;
  if (bestIndex && h.bestFitness < m_feasibleF) {
    const int nV = m_nC + m_nD + m_nB;
    for (int n = 1; n <= nV; ++n) m_feasible[static_cast<size_t>(n - 1)] = m_A(n, bestIndex);
    m_feasibleF = h.bestFitness;
    m_feasibleMaxG = m_trialMaxG[static_cast<size_t>(bestIndex - 1)];
    for (int j = 0; j < m_m; ++j) {
      m_feasibleG[static_cast<size_t>(j)] =
          m_trialG[static_cast<size_t>(bestIndex - 1) * static_cast<size_t>(m_m) +
                   static_cast<size_t>(j)];
    }
    m_found = true;
  }
  if (print) {
    out << "\n     Generation : " << m_generation
        << "\n# of Feasible Solutions : " << h.feasibleCount << "\n";
    if (h.feasibleCount > 0) {
      out << "           Best Fitness : " << h.bestFitness << "\n"
          << "        Average Fitness : " << h.averageFitness;  // no line break
    }
  }
}

void CDifferentialEvolution::PrintBanner(std::ostream& out) const {
  CPrintTable table(out);
  table.PrintLine(std::string(44, '_'));
  table.PrintLine(std::string(44, ' '));
  table.PrintLine("                  DE V 1.2                  ");
  table.PrintLine("                  Oct 2012                  ");
  table.PrintLine(std::string(44, '_'));
  table.PrintLineValue("               Number of design variables: ", m_nC);
  table.PrintLineValue("                          Population size: ", m_NP);
  table.PrintLineValue("                          Max generations: ", m_G);
  table.PrintLine(std::string("                                 Strategy: ") +
                  StrategyName(m_strategy));
  table.BlankLines(1);
  table.Close();
}

void CDifferentialEvolution::PrintGenerationHeader(std::ostream& out, int generation) {
  out << std::string(80, '+') << "\n"
      << "Generation: " << generation << "\n"
      << std::string(80, '+') << "\n";
}

void CDifferentialEvolution::PrintMemberLine(std::ostream& out, int member) const {
  out << std::string(80, '=') << "\n"
      << "Pop: " << std::setw(5) << member << "  Fitness: " << std::setw(15)
      << m_trialF[static_cast<size_t>(member - 1)] << "  Max. Violation: " << std::setw(15)
      << m_trialMaxG[static_cast<size_t>(member - 1)] << "\n";
}

void CDifferentialEvolution::PrintDesignTables(std::ostream& out, int member) {
  auto table = [&out](const char* title, int first, int count, auto value) {
    if (count <= 0) return;
    const std::string t(title);
    out << t << "\n" << std::string(t.size(), '-') << "\n";
    for (int k = 1; k <= count; ++k) {
      out << "[" << std::setw(4) << k << "]" << std::left << std::setw(15) << value(first + k - 1)
          << std::right << " ";
      if (k % 4 == 0 || k == count) out << "\n";
    }
  };
  auto design = [&](int n) { return m_A(n, member); };
  table("Continuous Design Variables (X)", 1, m_nC, design);
  table("Discrete Design Variables (X)", m_nC + 1, m_nD, design);
  table("Boolean Design Variables (X)", m_nC + m_nD + 1, m_nB, design);
  table("Constraints (G)", 1, m_m, [&](int j) {
    return m_trialG[static_cast<size_t>(member - 1) * static_cast<size_t>(m_m) +
                    static_cast<size_t>(j - 1)];
  });
}

void CDifferentialEvolution::PrintHistory(std::ostream& out) {
  CPrintTable table(out);
  table.SetTitle("DE History");
  table.BeginTable({"Generation", "Average$Fitness", "Worst$Fitness", "Best$Fitness",
                    "Maximum$Violation", "# Feasible$Designs"});
  for (int g = 1; g <= m_G; ++g) {
    const CDEHistory& h = m_history(g);
    table.AddCell(g);
    table.AddCell(h.averageFitness);
    table.AddCell(h.worstFitness);
    table.AddCell(h.bestFitness);
    table.AddCell(h.maxViolation);
    table.AddCell(h.feasibleCount);
  }
  table.EndTable();
  table.BlankLines(1);
  table.SetTitle("Continuous Design Variables");
  table.BeginTable({"DV", "Lower$Bound", "Upper$Bound", "Best$Value"});
  for (int n = 1; n <= m_nC; ++n) {
    table.AddCell(n);
    table.AddCell(m_lower[static_cast<size_t>(n - 1)]);
    table.AddCell(m_upper[static_cast<size_t>(n - 1)]);
    table.AddCell(m_feasible[static_cast<size_t>(n - 1)]);
  }
  table.EndTable();
  table.Close();
}

int CDifferentialEvolution::Optimize(std::ostream& out) {
  const int nV = m_nC + m_nD + m_nB;
  if (!m_objective || nV < 1 || m_NP < 6 || m_G < 2 || m_m < 1 || m_strategy < 0 ||
      m_strategy > 9 || !(m_F > 0.1 && m_F <= 1.2) || !(m_CR > 0.0 && m_CR <= 1.0)) {
    return kBadInput;
  }
  // F and K are redrawn during a run of an exponential strategy; the run
  // starts from the values set by the caller and restores them afterwards.
  const double savedF = m_F, savedK = m_K;
  SizeWorkingState();
  // Nothing is formatted for a stream that cannot be written (such as one
  // that was never opened): the run is the same, only faster.
  m_printLevel = out.good() ? m_outputLevel : kSilent;
  if (m_printLevel > kSilent) PrintBanner(out);

  // Bounds and start design from the caller.
  CArguments& a = *m_args;
  double f0 = 0.0;
  int count = m_m;
  char status = 0;
  m_objective(m_context, kRequestInitialize, f0, a.x, a.xLower, a.xUpper, a.aux, a.xd, a.xdLower,
              a.xdUpper, a.xb, count, a.g, status, 0, &out);
  std::vector<double> start(static_cast<size_t>(nV), 0.0);
  for (int i = 1; i <= m_nC; ++i) {
    const double lo = a.xLower(i), hi = a.xUpper(i), x = a.x(i);
    if (!(hi > lo) || !(x >= lo && x <= hi)) return kBadBounds;
    m_lower[static_cast<size_t>(i - 1)] = lo;
    m_upper[static_cast<size_t>(i - 1)] = hi;
    start[static_cast<size_t>(i - 1)] = x;
  }
  for (int i = 1; i <= m_nD; ++i) {
    const int lo = a.xdLower(i), hi = a.xdUpper(i), x = a.xd(i);
    if (hi <= lo || x < lo || x > hi) return kBadBounds;
    m_lower[static_cast<size_t>(m_nC + i - 1)] = lo;
    m_upper[static_cast<size_t>(m_nC + i - 1)] = hi;
    start[static_cast<size_t>(m_nC + i - 1)] = x;
  }

  // Initial population.
  std::vector<double> g;
  double maxG = 0.0;
  Evaluate(start, g, maxG, 0, nullptr);
  m_generation = 1;
  const bool printFirst = PrintsGeneration(1);
  if (printFirst) PrintGenerationHeader(out, 1);
  std::vector<double> member(static_cast<size_t>(nV));
  for (int i = 1; i <= m_NP; ++i) {
    if (m_seedWithStart == 1 && i <= 2) {
      member = start;
    } else {
      for (int n = 0; n < m_nC + m_nD; ++n) {
        member[static_cast<size_t>(n)] =
            m_random.Uniform(m_lower[static_cast<size_t>(n)], m_upper[static_cast<size_t>(n)]);
      }
      for (int n = m_nC + m_nD; n < nV; ++n) member[static_cast<size_t>(n)] = m_random.Next();
    }
    for (int n = 1; n <= nV; ++n) m_A(n, i) = member[static_cast<size_t>(n - 1)];
    const size_t k = static_cast<size_t>(i - 1);
    m_trialF[k] = Evaluate(member, g, m_trialMaxG[k], 0, nullptr);
    std::copy(g.begin(), g.end(), m_trialG.begin() + static_cast<std::ptrdiff_t>(k * g.size()));
    if (printFirst) PrintMemberLine(out, i);
  }
  Penalize(m_trialF, m_trialG, m_fitness);
  int bestMember = 1;
  for (int i = 2; i <= m_NP; ++i) {
    if (m_fitness[static_cast<size_t>(i - 1)] < m_fitness[static_cast<size_t>(bestMember - 1)]) {
      bestMember = i;
    }
  }
  for (int n = 1; n <= nV; ++n) m_best[static_cast<size_t>(n - 1)] = m_A(n, bestMember);
  m_bestFitness = m_fitness[static_cast<size_t>(bestMember - 1)];
  m_bestMaxG = m_trialMaxG[static_cast<size_t>(bestMember - 1)];
  m_B = m_A;
  GenerationStatistics(out, printFirst);

  // Generations.
  std::vector<double> trial, trialFitness;
  for (int gen = 1; gen <= m_G; ++gen) {
    m_generation = gen;
    const bool print = PrintsGeneration(gen);
    if (print) PrintGenerationHeader(out, gen);
    int first = 1;
    if (m_elitism == 1 && m_found) {
      for (int i = 1; i <= 2; ++i) {
        for (int n = 1; n <= nV; ++n) m_A(n, i) = m_feasible[static_cast<size_t>(n - 1)];
        m_trialF[static_cast<size_t>(i - 1)] = m_feasibleF;
        m_trialMaxG[static_cast<size_t>(i - 1)] = m_feasibleMaxG;
        std::copy(m_feasibleG.begin(), m_feasibleG.end(),
                  m_trialG.begin() + static_cast<std::ptrdiff_t>((i - 1) * m_m));
      }
      first = 3;
    }
    for (int i = first; i <= m_NP; ++i) {
      BuildTrial(i, i == first, trial);
      const size_t k = static_cast<size_t>(i - 1);
      m_trialF[k] = Evaluate(trial, g, m_trialMaxG[k], 0, nullptr);
      std::copy(g.begin(), g.end(), m_trialG.begin() + static_cast<std::ptrdiff_t>(k * g.size()));
      for (int n = 1; n <= nV; ++n) m_A(n, i) = trial[static_cast<size_t>(n - 1)];
      if (print) {
        PrintMemberLine(out, i);
        if (m_printLevel == kDetailed) PrintDesignTables(out, i);
      }
    }
    GenerationStatistics(out, print);
    Penalize(m_trialF, m_trialG, trialFitness);
    for (int i = 1; i <= m_NP; ++i) {
      const double tf = trialFitness[static_cast<size_t>(i - 1)];
      if (tf < m_fitness[static_cast<size_t>(i - 1)]) {
        for (int n = 1; n <= nV; ++n) m_B(n, i) = m_A(n, i);
        m_fitness[static_cast<size_t>(i - 1)] = tf;
        if (tf < m_bestFitness) {
          for (int n = 1; n <= nV; ++n) m_best[static_cast<size_t>(n - 1)] = m_A(n, i);
          m_bestFitness = tf;
          m_bestMaxG = m_trialMaxG[static_cast<size_t>(i - 1)];
        }
      }
    }
    m_A = m_B;
    double fg = 0.0;
    count = m_m;
    m_objective(m_context, kRequestEndOfGeneration, fg, a.x, a.xLower, a.xUpper, a.aux, a.xd,
                a.xdLower, a.xdUpper, a.xb, count, a.g, status, gen, &out);
  }
  m_F = savedF;
  m_K = savedK;

  if (!m_found) return kNoFeasible;
  Evaluate(m_feasible, g, maxG, 0, nullptr);
  m_feasibleMaxG = maxG;
  m_feasibleG = g;
  if (m_printLevel > kSilent) PrintHistory(out);
  if (out.good()) {
    out << "\nExecution completed.\n"
        << "     Best Objective Function : " << m_feasibleF << "\n"
        << "              Max. violation : " << m_feasibleMaxG << "\n"
        << "Number of fitness evaluations: " << m_evaluations << "\n";
  }
  double fe = 0.0;
  count = m_m;
  m_objective(m_context, kRequestEndOfRun, fe, a.x, a.xLower, a.xUpper, a.aux, a.xd, a.xdLower,
              a.xdUpper, a.xb, count, a.g, status, m_G, &out);
  return kSuccess;
}

void CDifferentialEvolution::GetResults(double& objective, double& maxConstraint,
                                        CEngVector<double>& x, CEngVector<int>& xd,
                                        CEngVector<int>& xb, CEngVector<double>& g,
                                        int& evaluations, int& generations) const {
  objective = m_feasibleF;
  maxConstraint = m_feasibleMaxG;
  if (m_nC > 0 && !m_feasible.empty()) {
    if (x.GetSize() == 0) x.SetSize(m_nC);
    for (int i = 1; i <= m_nC; ++i) x(i) = m_feasible[static_cast<size_t>(i - 1)];
  }
  if (m_nD > 0 && !m_feasible.empty()) {
    if (xd.GetSize() == 0) xd.SetSize(m_nD);
    for (int i = 1; i <= m_nD; ++i) {
      xd(i) = static_cast<int>(std::trunc(m_feasible[static_cast<size_t>(m_nC + i - 1)]));
    }
  }
  if (m_nB > 0 && !m_feasible.empty()) {
    if (xb.GetSize() == 0) xb.SetSize(m_nB);
    for (int i = 1; i <= m_nB; ++i) {
      xb(i) = m_feasible[static_cast<size_t>(m_nC + m_nD + i - 1)] >= 0.5;
    }
  }
  if (m_m > 0 && !m_feasibleG.empty()) {
    if (g.GetSize() == 0) g.SetSize(m_m);
    for (int j = 1; j <= m_m; ++j) g(j) = m_feasibleG[static_cast<size_t>(j - 1)];
  }
  evaluations = m_evaluations;
  generations = m_generation;
}

}  // namespace olm
