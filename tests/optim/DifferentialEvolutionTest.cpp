#include "optim/DifferentialEvolution.hpp"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <sstream>
#include <tuple>

#include "numerics/UserInterface.hpp"

namespace olm {
namespace {

using DE = CDifferentialEvolution;
using Vec = CEngVector<double>;
using IVec = CEngVector<int>;

// A test problem: bounds, start and an objective of (x, xd, xb) that sets the
// constraints g; counts the calls of each request code.
struct CProblem {
  std::vector<double> lower{-5.0, -5.0}, upper{5.0, 5.0}, start{1.0, 1.0};
  std::vector<int> dLower, dUpper, dStart;
  std::function<double(const Vec&, const IVec&, const IVec&, Vec&)> f =
      [](const Vec& x, const IVec&, const IVec&, Vec& g) {
        g(1) = -1.0;
        return x(1) * x(1) + x(2) * x(2);
      };
  std::map<int, int> calls;
  std::vector<int> generations;

  // An objective of the continuous variables only.
  void SetObjective(std::function<double(const Vec&, Vec&)> c) {
    f = [c](const Vec& x, const IVec&, const IVec&, Vec& g) { return c(x, g); };
  }
};

double Rosenbrock(const Vec& x, Vec& g) {
  g(1) = -1.0;
  const double a = 1.0 - x(1), b = x(2) - x(1) * x(1);
  return a * a + 100.0 * b * b;
}

void Objective(void* context, int request, double& objective, Vec& x, Vec& lo, Vec& up, Vec&,
               IVec& xd, IVec& xdLo, IVec& xdUp, IVec& xb, int&, Vec& g, char&, int generation,
               std::ostream*) {
  CProblem& p = *static_cast<CProblem*>(context);
  ++p.calls[request];
  if (request == DE::kRequestEvaluate) objective = p.f(x, xd, xb, g);
  if (request == DE::kRequestEndOfGeneration) p.generations.push_back(generation);
  if (request != DE::kRequestInitialize) return;
  for (int i = 1; i <= x.GetSize(); ++i)
    lo(i) = p.lower[i - 1], up(i) = p.upper[i - 1], x(i) = p.start[i - 1];
  for (int i = 1; i <= xd.GetSize(); ++i)
    xdLo(i) = p.dLower[i - 1], xdUp(i) = p.dUpper[i - 1], xd(i) = p.dStart[i - 1];
}

struct CRun {
  int rc = -1;
  double objective = 0.0, maxG = 0.0;
  Vec x, g;
  IVec xd, xb;
  int evaluations = 0, generations = 0;
  std::string output;
  CEngVector<CDEHistory> history;
};

// Initialises with the problem's sizes and runs silently; setup may change settings.
CRun RunProblem(CProblem& p, int G = 100, int NP = 20, const std::function<void(DE&)>& setup = {},
                int nB = 0, int m = 1) {
  DE de;
  CRun r;
  EXPECT_EQ(de.Initialize(&p, Objective, static_cast<int>(p.start.size()),
                          static_cast<int>(p.dStart.size()), nB, m, G, NP),
            1);
  EXPECT_EQ(de.SetOutputLevel(1, "silent"), 0);
  if (setup) setup(de);
  std::ostringstream out;
  r.rc = de.Optimize(out);
  r.output = out.str();
  r.history = de.GetHistory();
  if (r.rc == DE::kSuccess)
    de.GetResults(r.objective, r.maxG, r.x, r.xd, r.xb, r.g, r.evaluations, r.generations);
  return r;
}

void Minimal(DE& d) {
  d.SetOutputLevel(1, "minimal");
}

TEST(DifferentialEvolutionSetup, InitializeRejectsBadSizesAndKeepsTheOldProblem) {
  CProblem p;
  DE de;
  // {continuous, discrete, constraints, generations, population}
  const int bad[][5] = {
      {0, 0, 1, 10, 10}, {-1, 2, 1, 10, 10}, {2, 0, 0, 10, 10}, {2, 0, 1, 0, 10}, {2, 0, 1, 10, 0}};
  for (const auto& b : bad)
    EXPECT_EQ(de.Initialize(&p, Objective, b[0], b[1], 0, b[2], b[3], b[4]), 0) << b[0] << b[2];
  ASSERT_EQ(de.Initialize(&p, Objective, 2, 0, 0, 1, 10, 10), 1);
  de.SetStrategy(DE::kBest1Bin);
  EXPECT_EQ(de.Initialize(&p, Objective, 0, 0, 0, 1, 10, 10), 0);
  EXPECT_EQ(de.GetStrategy(), DE::kBest1Bin);  // a rejected call changes nothing
  EXPECT_EQ(de.Initialize(&p, Objective, 2, 0, 0, 1, 10, 10), 1);
  // Defaults restored: strategy, F, K, exchange probability, CR, elitism,
  // seeding with the start, seed, tolerance.
  EXPECT_EQ(std::make_tuple(de.GetStrategy(), de.GetF(), de.GetK(), de.GetExchangeProbability(),
                            de.GetCR(), de.GetElitism(), de.GetSeedWithStart(), de.GetSeed(),
                            de.GetTolerance()),
            std::make_tuple(int{DE::kRandToBest1Exp}, 0.8, 0.8, 0.9, 1.0, 1, 1, -1234L, 1e-5));
  EXPECT_EQ(de.GetHistory().GetSize(), 10);
}

TEST(DifferentialEvolutionSetup, OutputLevelKeywordsAndErrorMessages) {
  DE de;
  const std::pair<const char*, int> levels[] = {
      {"silent", DE::kSilent}, {"detailed", DE::kDetailed}, {"minimal", DE::kMinimal}};
  for (const auto& [keyword, level] : levels) {
    EXPECT_EQ(de.SetOutputLevel(3, keyword), 0);
    EXPECT_EQ(de.GetOutputLevel(), level);
    EXPECT_EQ(de.GetOutputFrequency(), 3);
  }
  EXPECT_EQ(de.SetOutputLevel(0, "minimal"), 1);
  for (const char* keyword : {"Minimal", "minimal ", ""})
    EXPECT_EQ(de.SetOutputLevel(1, keyword), 1) << '"' << keyword << '"';
  const char* messages[] = {"Unknown error.", "User input error. Check problem size.",
                            "Design variable violates lower or upper bound.",
                            "Cannot find feasible solution.",
                            "Max. number of iterations exceeded."};
  for (int code = 0; code <= 4; ++code) EXPECT_EQ(DE::ErrorMessage(code), messages[code]);
  EXPECT_EQ(DE::ErrorMessage(99), "Unknown error.");
}

TEST(DifferentialEvolutionValidation, BadSettingsFailBeforeAnyEvaluation) {
  CProblem p;
  // Too small a population or too few generations: not even the start is asked for.
  EXPECT_EQ(RunProblem(p, 100, 5).rc, DE::kBadInput);
  EXPECT_EQ(RunProblem(p, 1, 20).rc, DE::kBadInput);
  EXPECT_TRUE(p.calls.empty());
  // F lies in (0.1, 1.2], CR in (0, 1].
  const std::function<void(DE&)> refused[] = {
      [](DE& d) { d.SetF(0.1); }, [](DE& d) { d.SetF(1.2001); }, [](DE& d) { d.SetCR(0.0); },
      [](DE& d) { d.SetCR(1.01); }, [](DE& d) { d.SetStrategy(10); }};
  for (const auto& setup : refused) EXPECT_EQ(RunProblem(p, 5, 10, setup).rc, DE::kBadInput);
  EXPECT_EQ(p.calls[DE::kRequestEvaluate], 0);
  EXPECT_EQ(RunProblem(p, 5, 10, [](DE& d) { d.SetF(1.2), d.SetCR(1.0); }).rc, DE::kSuccess);
  EXPECT_EQ(RunProblem(p, 5, 10, [](DE& d) { d.SetF(0.1001); }).rc, DE::kSuccess);
}

TEST(DifferentialEvolutionValidation, InvalidBoundsOrStartReturn2BeforeAnyEvaluation) {
  CProblem p;
  p.upper = {5.0, -5.0};  // upper == lower for variable 2
  EXPECT_EQ(RunProblem(p).rc, DE::kBadBounds);
  p.upper = {5.0, -6.0};
  EXPECT_EQ(RunProblem(p).rc, DE::kBadBounds);
  p.upper = {5.0, 5.0};
  p.start = {5.5, 0.0};
  EXPECT_EQ(RunProblem(p).rc, DE::kBadBounds);
  EXPECT_EQ(p.calls[DE::kRequestEvaluate], 0);
  p.start = {5.0, -5.0};  // on the bounds: accepted
  EXPECT_EQ(RunProblem(p, 5).rc, DE::kSuccess);
  // A discrete variable with equal bounds.
  CProblem d;
  d.dLower = d.dUpper = d.dStart = {2};
  EXPECT_EQ(RunProblem(d).rc, DE::kBadBounds);
}

TEST(DifferentialEvolutionRun, NeverFeasibleProblemRunsAllGenerationsAndReturns3) {
  CProblem p;
  p.SetObjective([](const Vec& x, Vec& g) {
    g(1) = 1.0 + x(1) * x(1);  // always violated
    return x(2);
  });
  const CRun r = RunProblem(p, 7, 10, Minimal);
  EXPECT_EQ(r.rc, DE::kNoFeasible);
  EXPECT_EQ(p.generations, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(p.calls[DE::kRequestEndOfRun], 0);
  for (const char* part : {"Execution completed.", "DE History"})
    EXPECT_EQ(r.output.find(part), std::string::npos) << part;
  // 1 start + 10 initial + 7 x 10 trials, no final re-evaluation.
  EXPECT_EQ(p.calls[DE::kRequestEvaluate], 81);
}

TEST(DifferentialEvolutionRun, EvaluationCountWithAndWithoutElitism) {
  CProblem p;  // feasible everywhere, so from the first population on
  const int G = 30, NP = 12;
  CRun r = RunProblem(p, G, NP);
  ASSERT_EQ(r.rc, DE::kSuccess);
  EXPECT_EQ(std::tuple(r.evaluations, p.calls[DE::kRequestEvaluate], r.generations,
                       p.calls[DE::kRequestEndOfRun]),
            std::tuple(1 + NP + G * (NP - 2) + 1, 1 + NP + G * (NP - 2) + 1, G, 1));
  r = RunProblem(p, G, NP, [](DE& d) { d.SetElitism(0); });
  EXPECT_EQ(r.evaluations, 1 + NP + G * NP + 1);
}

TEST(DifferentialEvolutionRun, ConstraintsAtTheToleranceAreFeasibleEverywhere) {
  CProblem p;
  p.SetObjective([](const Vec& x, Vec& g) {
    g(1) = 1e-5;
    g(2) = -3.0;
    return x(1) * x(1) + x(2) * x(2);
  });
  const CRun r = RunProblem(p, 10, 8, {}, 0, 2);
  ASSERT_EQ(r.rc, DE::kSuccess);
  for (int g = 1; g <= 10; ++g) {
    const CDEHistory& h = r.history(g);
    EXPECT_EQ(std::pair(h.feasibleCount, h.maxViolation), std::pair(8, 0.0)) << g;
    EXPECT_TRUE(h.bestFitness <= h.averageFitness && h.averageFitness <= h.worstFitness) << g;
  }
}

// The outcome of a run on the Rosenbrock function, to full precision.
std::string RosenbrockRun() {
  CProblem p;
  p.SetObjective(Rosenbrock);
  const CRun r = RunProblem(p, 30);
  return Format("RESULT %d %.17g %.17g %.17g\n", r.rc, r.objective, r.x(1), r.x(2));
}

// Runs this test program again as a child that prints the outcome of one run.
std::string RosenbrockRunOfAFreshProcess() {
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return "";
  self[n] = '\0';
  const std::string cmd =
      std::string("OLM_DE_CHILD=1 '") + self +
      "' --gtest_filter=DifferentialEvolutionRun.DefaultSeedRepeatsTheRunInThisAndInFreshProcesses";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return "";
  std::string out;
  char buf[512];
  while (fgets(buf, sizeof buf, p))
    if (std::strncmp(buf, "RESULT ", 7) == 0) out = buf;
  pclose(p);
  return out;
}

TEST(DifferentialEvolutionRun, DefaultSeedRepeatsTheRunInThisAndInFreshProcesses) {
  if (std::getenv("OLM_DE_CHILD")) {
    std::fputs(RosenbrockRun().c_str(), stdout);
    return;
  }
  const std::string here = RosenbrockRun();
  ASSERT_EQ(here.rfind("RESULT 0 ", 0), 0u) << here;
  EXPECT_EQ(RosenbrockRun(), here);  // a second optimizer in this process
  EXPECT_EQ(RosenbrockRunOfAFreshProcess(), here);
  EXPECT_EQ(RosenbrockRunOfAFreshProcess(), here);
}

TEST(DifferentialEvolutionRun, OptimizeCanBeCalledAgainAfterARun) {
  CProblem p;
  DE de;
  ASSERT_EQ(de.Initialize(&p, Objective, 2, 0, 0, 1, 20, 10), 1);
  de.SetOutputLevel(1, "silent");
  std::ostringstream out;
  // The exponential strategies redraw F in [-1, 1) during a run; a second
  // run must still pass the check 0.1 < F <= 1.2.
  for (int i = 0; i < 5; ++i) EXPECT_EQ(de.Optimize(out), DE::kSuccess);
  EXPECT_EQ(de.GetF(), 0.8);
}

TEST(DifferentialEvolutionRun, EveryStrategyMinimisesTheSphere) {
  for (int s = 0; s <= 9; ++s) {
    SCOPED_TRACE(DE::StrategyName(s));
    CProblem p;
    p.start = {4.0, -3.0};
    const CRun r = RunProblem(p, 300, 20, [s](DE& d) { d.SetStrategy(s); });
    ASSERT_EQ(r.rc, DE::kSuccess);
    EXPECT_LT(r.objective, 1e-6);
    EXPECT_NEAR(r.x(1), 0.0, 1e-3);
  }
}

TEST(DifferentialEvolutionRun, ConstrainedMinimumOnTheBoundaryOfTheFeasibleSet) {
  // min x^2 + y^2 subject to x + y >= 1: (0.5, 0.5), objective 0.5.
  CProblem p;
  p.start = {2.0, 2.0};
  p.SetObjective([](const Vec& x, Vec& g) {
    g(1) = 1.0 - x(1) - x(2);
    return x(1) * x(1) + x(2) * x(2);
  });
  const CRun r = RunProblem(p, 400, 20);
  ASSERT_EQ(r.rc, DE::kSuccess);
  EXPECT_NEAR(r.objective, 0.5, 1e-3);
  EXPECT_NEAR(r.x(1), 0.5, 0.03);
  EXPECT_LE(r.maxG, 1e-5);
}

TEST(DifferentialEvolutionRun, DiscreteAndBooleanVariablesReachTheObjectiveAsWholeNumbers) {
  CProblem p;
  p.start = {3.0}, p.lower = {-5.0}, p.upper = {5.0};
  p.dLower = {-10}, p.dUpper = {10}, p.dStart = {-9};
  bool whole = true;
  p.f = [&whole](const Vec& x, const IVec& xd, const IVec& xb, Vec& g) {
    g(1) = -1.0;
    whole = whole && xd(1) >= -10 && xd(1) <= 10 && (xb(1) == 0 || xb(1) == 1);
    return x(1) * x(1) + (xd(1) - 3) * (xd(1) - 3) + (xb(1) == 1 ? 0.0 : 1.0);
  };
  const CRun r = RunProblem(p, 200, 20, {}, 1);
  ASSERT_EQ(r.rc, DE::kSuccess);
  EXPECT_TRUE(whole);
  EXPECT_EQ(std::pair(r.xd(1), r.xb(1)), std::pair(3, 1));
  EXPECT_LT(r.objective, 1e-6);
}

TEST(DifferentialEvolutionRun, NanObjectiveCountsAsWorstDesign) {
  CProblem p;
  p.SetObjective([](const Vec& x, Vec& g) {
    g(1) = -1.0;
    if (x(1) < 0.5) return std::numeric_limits<double>::quiet_NaN();
    return (x(1) - 2.0) * (x(1) - 2.0) + x(2) * x(2);
  });
  const CRun r = RunProblem(p, 200);
  ASSERT_EQ(r.rc, DE::kSuccess);
  EXPECT_NEAR(r.x(1), 2.0, 1e-3);
  EXPECT_FALSE(std::isnan(r.objective));
}

TEST(DifferentialEvolutionOutput, EachLevelPrintsItsParts) {
  CProblem p;
  const CRun minimal = RunProblem(p, 3, 6, Minimal);
  ASSERT_EQ(minimal.rc, DE::kSuccess);
  const std::string& o = minimal.output;
  EXPECT_EQ(o.rfind("\n" + std::string(44, '_') + "\n" + std::string(44, ' ') + "\n" +
                        "                  DE V 1.2                  \n" +
                        "                  Oct 2012                  \n" + std::string(44, '_') +
                        "\n               Number of design variables: 2" +
                        "\n                          Population size: 6" +
                        "\n                          Max generations: 3" +
                        "\n                                 Strategy: RANDTOBEST1EXP\n",
                    0),
            0u);
  // Member lines: the number in width 5, the values in width 15.
  for (const std::string& part :
       {std::string(80, '+') + "\nGeneration: 2\n" + std::string(80, '+'),
        std::string(80, '=') + "\nPop:     3  Fitness: ",
        std::string("\n     Generation : 3\n# of Feasible Solutions : 6\n"),
        std::string("           Best Fitness : "), std::string("DE History"),
        std::string("Average"), std::string("Continuous Design Variables"),
        std::string("\nExecution completed.\n     Best Objective Function : "),
        "\nNumber of fitness evaluations: " + std::to_string(minimal.evaluations) + "\n"})
    EXPECT_NE(o.find(part), std::string::npos) << part;
  EXPECT_EQ(o.find("Constraints (G)"), std::string::npos);
  // The progress lines end without a line break: the next generation's
  // header follows the average at once.
  const size_t average = o.find("        Average Fitness : ");
  ASSERT_NE(average, std::string::npos);
  EXPECT_EQ(o[o.find_first_of("\n+", average)], '+') << o.substr(average, 60);
  // The detailed level adds the design tables; silent prints only the summary.
  CRun r = RunProblem(p, 2, 6, [](DE& d) { d.SetOutputLevel(1, "detailed"); });
  EXPECT_NE(
      r.output.find("Continuous Design Variables (X)\n-------------------------------\n[   1]"),
      std::string::npos);
  EXPECT_NE(r.output.find("Constraints (G)\n---------------\n[   1]-1"), std::string::npos);
  r = RunProblem(p, 2, 6);
  EXPECT_EQ(r.output.rfind("\nExecution completed.\n", 0), 0u);
  EXPECT_EQ(r.output.find("Generation"), std::string::npos);
}

// The published ran2, written out as its authors give it, as the reference
// for the generator's draws.
class CRan2 {
 public:
  explicit CRan2(long seed) : m_idum(seed) {}
  double operator()() {
    constexpr long IM1 = 2147483563, IM2 = 2147483399, IMM1 = IM1 - 1, IA1 = 40014, IA2 = 40692,
                   IQ1 = 53668, IQ2 = 52774, IR1 = 12211, IR2 = 3791, NTAB = 32,
                   NDIV = 1 + IMM1 / NTAB;
    constexpr double AM = 1.0 / IM1, RNMX = 1.0 - 1.2e-7;
    long k;
    if (m_idum <= 0) {
      m_idum = -m_idum < 1 ? 1 : -m_idum;
      m_idum2 = m_idum;
      for (long j = NTAB + 7; j >= 0; j--) {
        k = m_idum / IQ1;
        m_idum = IA1 * (m_idum - k * IQ1) - k * IR1;
        if (m_idum < 0) m_idum += IM1;
        if (j < NTAB) m_iv[j] = m_idum;
      }
      m_iy = m_iv[0];
    }
    k = m_idum / IQ1;
    m_idum = IA1 * (m_idum - k * IQ1) - k * IR1;
    if (m_idum < 0) m_idum += IM1;
    k = m_idum2 / IQ2;
    m_idum2 = IA2 * (m_idum2 - k * IQ2) - k * IR2;
    if (m_idum2 < 0) m_idum2 += IM2;
    const long j = m_iy / NDIV;
    m_iy = m_iv[j] - m_idum2;
    m_iv[j] = m_idum;
    if (m_iy < 1) m_iy += IMM1;
    const double temp = AM * static_cast<double>(m_iy);
    return temp > RNMX ? RNMX : temp;
  }

 private:
  long m_idum, m_idum2 = 123456789, m_iy = 0, m_iv[32] = {};
};

// A random permutation of 1..n from n draws: ranks, ties by position.
std::vector<int> ReferencePermutation(CRan2& ran, int n) {
  std::vector<double> u(static_cast<size_t>(n));
  for (double& v : u) v = ran();
  std::vector<int> p(static_cast<size_t>(n));
  for (int k = 0; k < n; ++k) {
    int rank = 1;
    for (int j = 0; j < n; ++j) rank += (u[j] < u[k]) + (j < k && u[j] == u[k]);
    p[static_cast<size_t>(k)] = rank;
  }
  return p;
}

TEST(RandomGenerator, FirstDrawsOfTheDefaultSeedAreThoseOfRan2) {
  CRandomGenerator g;
  CRan2 ran(-1234);
  for (int i = 0; i < 200; ++i) ASSERT_EQ(g.Next(), ran()) << i;
}

// The first trial of generation 1 (member 3; members 1 and 2 carry the best
// design) rebuilt from the reference draws taken in the order of the steps:
// initial population, permutations, further donors, F and K, the binomial
// pass, the exchange table.
TEST(DifferentialEvolutionRun, EachSchemeDrawsItsTrialInTheStatedOrder) {
  constexpr int NP = 6;
  constexpr double CR = 0.5, p = 0.5;
  for (int s = 0; s <= 9; ++s) {
    SCOPED_TRACE(DE::StrategyName(s));
    CProblem prob;
    std::vector<std::vector<double>> designs;
    prob.SetObjective([&designs](const Vec& x, Vec& g) {
      designs.push_back({x(1), x(2)});
      g(1) = -1.0;
      return x(1) * x(1) + x(2) * x(2);
    });
    const CRun run = RunProblem(prob, 2, NP, [s, CR, p](DE& d) {
      d.SetStrategy(s);
      d.SetCR(CR);
      d.SetExchangeProbability(p);
    });
    ASSERT_EQ(run.rc, DE::kSuccess);
    ASSERT_GE(designs.size(), size_t(NP + 2));

    CRan2 ran(-1234);
    std::vector<std::vector<double>> A(NP + 1, std::vector<double>{1.0, 1.0});
    for (int i = 3; i <= NP; ++i)
      for (double& v : A[i]) v = -5.0 + 10.0 * ran();
    int best = 1;
    for (int i = 2; i <= NP; ++i) {
      auto f = [&A](int m) { return A[m][0] * A[m][0] + A[m][1] * A[m][1]; };
      if (f(i) < f(best)) best = i;
    }
    const std::vector<double> b = A[best];
    A[1] = A[2] = b;
    const std::vector<int> P = ReferencePermutation(ran, NP), Q = ReferencePermutation(ran, 4);
    const int member = 3;
    int r[6] = {0, P[member - 1], P[(member - 1 + Q[0]) % NP], 0, 0, 0};
    const int extra = s % 5 == 1 ? 1 : s % 5 == 3 ? 2 : s % 5 == 4 ? 3 : 0;
    for (int d = 3; d < 3 + extra; ++d) {
      std::vector<int> free;
      for (int c = 1; c <= NP; ++c)
        if (c != member && std::find(r + 1, r + d, c) == r + d) free.push_back(c);
      r[d] = free[std::min(free.size() - 1, static_cast<size_t>(ran() * free.size()))];
    }
    double F = 0.8, K = 0.8;
    if (s <= 4) {
      F = -1.0 + 2.0 * ran();
      K = ran();
    }
    const std::vector<double>& x = A[member];
    auto D = [&](int d, int n) { return A[r[d]][n]; };
    auto mutant = [&](int n) {
      switch (s % 5) {
        case 0:
          return b[n] + F * (D(1, n) - D(2, n));
        case 1:
          return D(1, n) + F * (D(2, n) - D(3, n));
        case 2:
          return x[n] + F * (D(1, n) - D(2, n)) + K * (b[n] - x[n]);
        case 3:
          return b[n] + F * (D(1, n) + D(2, n) - D(3, n) - D(4, n));
        default:
          return D(1, n) + F * (D(2, n) + D(3, n) - D(4, n) - D(5, n));
      }
    };
    std::vector<double> trial = x;
    for (int n = 0; n < 2; ++n) {
      const bool take = s <= 4 || ran() < CR || n == 1;
      if (take) trial[n] = mutant(n);
    }
    std::vector<double> exchange(NP * 2);
    for (double& e : exchange) e = ran();
    for (int n = 0; n < 2; ++n) {
      if (!(exchange[(member - 1) * 2 + n] < p)) trial[n] = x[n];
      trial[n] = std::clamp(trial[n], -5.0, 5.0);
    }
    // Evaluations: the start design, the NP members, then the trial.
    const std::vector<double>& got = designs[NP + 1];
    EXPECT_DOUBLE_EQ(got[0], trial[0]);
    EXPECT_DOUBLE_EQ(got[1], trial[1]);
  }
}

TEST(RandomGenerator, SeedsRepeatAndDrawsLieInTheOpenUnitIntervalWithMeanOneHalf) {
  // The shared state restarts with each fresh generator's first draw.
  CRandomGenerator a;
  std::vector<double> first;
  for (int i = 0; i < 50; ++i) first.push_back(a.Next());
  CRandomGenerator b(-1234);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(b.Next(), first[i]);
  EXPECT_NE(CRandomGenerator(-99).Next(), first[0]);

  CRandomGenerator r(-7);
  double sum = 0.0, lo = 1.0, hi = 0.0;
  const int n = 100000;
  for (int i = 0; i < n; ++i) {
    const double u = r.Next();
    sum += u;
    lo = std::min(lo, u);
    hi = std::max(hi, u);
  }
  EXPECT_GT(lo, 0.0);
  EXPECT_LE(hi, 1.0 - 1.2e-7);
  EXPECT_NEAR(sum / n, 0.5, 0.005);  // standard error 0.0009
}

}  // namespace
}  // namespace olm
