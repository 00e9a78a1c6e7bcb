#include "optim/DifferentialEvolution.hpp"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <sstream>

namespace olm {
namespace {

using DE = CDifferentialEvolution;

// A test problem: bounds, start and an objective given as a std::function;
// counts the calls of each request code.
struct CProblem {
  std::vector<double> lower{-5.0, -5.0}, upper{5.0, 5.0}, start{1.0, 1.0};
  std::vector<int> dLower, dUpper, dStart;
  std::function<double(const CEngVector<double>&, const CEngVector<int>&, const CEngVector<int>&,
                       CEngVector<double>&)>
      f = [](const CEngVector<double>& x, const CEngVector<int>&, const CEngVector<int>&,
             CEngVector<double>& g) {
        g(1) = -1.0;
        return x(1) * x(1) + x(2) * x(2);
      };
  int initCalls = 0, evalCalls = 0, generationCalls = 0, endCalls = 0;
  std::vector<int> generations;
};

void Objective(void* context, int request, double& objective, CEngVector<double>& x,
               CEngVector<double>& lo, CEngVector<double>& up, CEngVector<double>&,
               CEngVector<int>& xd, CEngVector<int>& xdLo, CEngVector<int>& xdUp,
               CEngVector<int>& xb, int&, CEngVector<double>& g, char&, int generation,
               std::ostream*) {
  CProblem& p = *static_cast<CProblem*>(context);
  switch (request) {
    case DE::kRequestInitialize:
      ++p.initCalls;
      for (int i = 1; i <= x.GetSize(); ++i) {
        lo(i) = p.lower[static_cast<size_t>(i - 1)];
        up(i) = p.upper[static_cast<size_t>(i - 1)];
        x(i) = p.start[static_cast<size_t>(i - 1)];
      }
      for (int i = 1; i <= xd.GetSize(); ++i) {
        xdLo(i) = p.dLower[static_cast<size_t>(i - 1)];
        xdUp(i) = p.dUpper[static_cast<size_t>(i - 1)];
        xd(i) = p.dStart[static_cast<size_t>(i - 1)];
      }
      break;
    case DE::kRequestEvaluate:
      ++p.evalCalls;
      objective = p.f(x, xd, xb, g);
      break;
    case DE::kRequestEndOfGeneration:
      ++p.generationCalls;
      p.generations.push_back(generation);
      break;
    case DE::kRequestEndOfRun:
      ++p.endCalls;
      break;
    default:
      break;
  }
}

struct CRun {
  int rc = -1;
  double objective = 0.0, maxG = 0.0;
  CEngVector<double> x, g;
  CEngVector<int> xd, xb;
  int evaluations = 0, generations = 0;
  std::string output;
};

// Initialises with the problem's sizes and runs; setup may change settings.
CRun RunProblem(CProblem& p, int G = 100, int NP = 20, int nB = 0, int m = 1,
                const std::function<void(DE&)>& setup = {}) {
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
  if (r.rc == DE::kSuccess) {
    de.GetResults(r.objective, r.maxG, r.x, r.xd, r.xb, r.g, r.evaluations, r.generations);
  }
  return r;
}

TEST(DifferentialEvolutionSetup, InitializeRejectsBadSizesAndKeepsTheOldProblem) {
  CProblem p;
  DE de;
  EXPECT_EQ(de.Initialize(&p, Objective, 0, 0, 0, 1, 10, 10), 0);
  EXPECT_EQ(de.Initialize(&p, Objective, -1, 2, 0, 1, 10, 10), 0);
  EXPECT_EQ(de.Initialize(&p, Objective, 2, 0, 0, 0, 10, 10), 0);
  EXPECT_EQ(de.Initialize(&p, Objective, 2, 0, 0, 1, 0, 10), 0);
  EXPECT_EQ(de.Initialize(&p, Objective, 2, 0, 0, 1, 10, 0), 0);
  ASSERT_EQ(de.Initialize(&p, Objective, 2, 0, 0, 1, 10, 10), 1);
  de.SetStrategy(DE::kBest1Bin);
  EXPECT_EQ(de.Initialize(&p, Objective, 0, 0, 0, 1, 10, 10), 0);
  EXPECT_EQ(de.GetStrategy(), DE::kBest1Bin);  // a rejected call changes nothing
  EXPECT_EQ(de.Initialize(&p, Objective, 2, 0, 0, 1, 10, 10), 1);
  EXPECT_EQ(de.GetStrategy(), DE::kRandToBest1Exp);  // defaults restored
  EXPECT_EQ(de.GetF(), 0.8);
  EXPECT_EQ(de.GetK(), 0.8);
  EXPECT_EQ(de.GetExchangeProbability(), 0.9);
  EXPECT_EQ(de.GetCR(), 1.0);
  EXPECT_EQ(de.GetElitism(), 1);
  EXPECT_EQ(de.GetSeedWithStart(), 1);
  EXPECT_EQ(de.GetSeed(), -1234);
  EXPECT_EQ(de.GetTolerance(), 1e-5);
  EXPECT_EQ(de.GetHistory().GetSize(), 10);
}

TEST(DifferentialEvolutionSetup, OutputLevelKeywordsAreExact) {
  DE de;
  EXPECT_EQ(de.SetOutputLevel(1, "silent"), 0);
  EXPECT_EQ(de.GetOutputLevel(), DE::kSilent);
  EXPECT_EQ(de.SetOutputLevel(3, "detailed"), 0);
  EXPECT_EQ(de.GetOutputLevel(), DE::kDetailed);
  EXPECT_EQ(de.GetOutputFrequency(), 3);
  EXPECT_EQ(de.SetOutputLevel(1, "minimal"), 0);
  EXPECT_EQ(de.GetOutputLevel(), DE::kMinimal);
  EXPECT_EQ(de.SetOutputLevel(0, "minimal"), 1);
  EXPECT_EQ(de.SetOutputLevel(1, "Minimal"), 1);
  EXPECT_EQ(de.SetOutputLevel(1, "minimal "), 1);
  EXPECT_EQ(de.SetOutputLevel(1, ""), 1);
}

TEST(DifferentialEvolutionSetup, ErrorMessagesOfResultCodes) {
  EXPECT_EQ(DE::ErrorMessage(1), "User input error. Check problem size.");
  EXPECT_EQ(DE::ErrorMessage(2), "Design variable violates lower or upper bound.");
  EXPECT_EQ(DE::ErrorMessage(3), "Cannot find feasible solution.");
  EXPECT_EQ(DE::ErrorMessage(4), "Max. number of iterations exceeded.");
  EXPECT_EQ(DE::ErrorMessage(0), "Unknown error.");
  EXPECT_EQ(DE::ErrorMessage(99), "Unknown error.");
}

TEST(DifferentialEvolutionValidation, TooSmallPopulationOrGenerationsFailBeforeAnyCall) {
  CProblem p;
  EXPECT_EQ(RunProblem(p, 100, 5).rc, DE::kBadInput);
  EXPECT_EQ(RunProblem(p, 1, 20).rc, DE::kBadInput);
  EXPECT_EQ(p.initCalls + p.evalCalls + p.generationCalls + p.endCalls, 0);
}

TEST(DifferentialEvolutionValidation, FRangeExcludesLowerLimitAndCrRangeIncludesOne) {
  CProblem p;
  EXPECT_EQ(RunProblem(p, 5, 10, 0, 1, [](DE& d) { d.SetF(0.1); }).rc, DE::kBadInput);
  EXPECT_EQ(RunProblem(p, 5, 10, 0, 1, [](DE& d) { d.SetF(1.2001); }).rc, DE::kBadInput);
  EXPECT_EQ(RunProblem(p, 5, 10, 0, 1, [](DE& d) { d.SetCR(0.0); }).rc, DE::kBadInput);
  EXPECT_EQ(RunProblem(p, 5, 10, 0, 1, [](DE& d) { d.SetCR(1.01); }).rc, DE::kBadInput);
  EXPECT_EQ(RunProblem(p, 5, 10, 0, 1, [](DE& d) { d.SetStrategy(10); }).rc, DE::kBadInput);
  EXPECT_EQ(p.evalCalls, 0);
  EXPECT_EQ(RunProblem(p, 5, 10, 0, 1,
                       [](DE& d) {
                         d.SetF(1.2);
                         d.SetCR(1.0);
                       })
                .rc,
            DE::kSuccess);
  EXPECT_EQ(RunProblem(p, 5, 10, 0, 1, [](DE& d) { d.SetF(0.1001); }).rc, DE::kSuccess);
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
  EXPECT_EQ(p.evalCalls, 0);
  p.start = {5.0, -5.0};  // on the bounds: accepted
  EXPECT_EQ(RunProblem(p, 5).rc, DE::kSuccess);
  // A discrete variable with equal bounds.
  CProblem d;
  d.dLower = {2};
  d.dUpper = {2};
  d.dStart = {2};
  EXPECT_EQ(RunProblem(d).rc, DE::kBadBounds);
}

TEST(DifferentialEvolutionRun, NeverFeasibleProblemRunsAllGenerationsAndReturns3) {
  CProblem p;
  p.f = [](const CEngVector<double>& x, const CEngVector<int>&, const CEngVector<int>&,
           CEngVector<double>& g) {
    g(1) = 1.0 + x(1) * x(1);  // always violated
    return x(2);
  };
  const CRun r = RunProblem(p, 7, 10, 0, 1, [](DE& d) { d.SetOutputLevel(1, "minimal"); });
  EXPECT_EQ(r.rc, DE::kNoFeasible);
  EXPECT_EQ(p.generationCalls, 7);
  EXPECT_EQ(p.generations, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(p.endCalls, 0);
  EXPECT_EQ(r.output.find("Execution completed."), std::string::npos);
  EXPECT_EQ(r.output.find("DE History"), std::string::npos);
  // 1 start + 10 initial + 7 x 10 trials, no final re-evaluation.
  EXPECT_EQ(p.evalCalls, 81);
}

TEST(DifferentialEvolutionRun, EvaluationCountWithAndWithoutElitism) {
  CProblem p;  // feasible everywhere, so from the first population on
  const int G = 30, NP = 12;
  CRun r = RunProblem(p, G, NP);
  ASSERT_EQ(r.rc, DE::kSuccess);
  EXPECT_EQ(r.evaluations, 1 + NP + G * (NP - 2) + 1);
  EXPECT_EQ(p.evalCalls, r.evaluations);
  EXPECT_EQ(r.generations, G);
  EXPECT_EQ(p.endCalls, 1);
  r = RunProblem(p, G, NP, 0, 1, [](DE& d) { d.SetElitism(0); });
  EXPECT_EQ(r.evaluations, 1 + NP + G * NP + 1);
}

TEST(DifferentialEvolutionRun, ConstraintsAtTheToleranceAreFeasibleEverywhere) {
  CProblem p;
  p.f = [](const CEngVector<double>& x, const CEngVector<int>&, const CEngVector<int>&,
           CEngVector<double>& g) {
    g(1) = 1e-5;
    g(2) = -3.0;
    return x(1) * x(1) + x(2) * x(2);
  };
  DE de;
  ASSERT_EQ(de.Initialize(&p, Objective, 2, 0, 0, 2, 10, 8), 1);
  de.SetOutputLevel(1, "silent");
  std::ostringstream out;
  ASSERT_EQ(de.Optimize(out), DE::kSuccess);
  for (int g = 1; g <= 10; ++g) {
    EXPECT_EQ(de.GetHistory()(g).feasibleCount, 8);
    EXPECT_EQ(de.GetHistory()(g).maxViolation, 0.0);
    EXPECT_LE(de.GetHistory()(g).bestFitness, de.GetHistory()(g).averageFitness);
    EXPECT_LE(de.GetHistory()(g).averageFitness, de.GetHistory()(g).worstFitness);
  }
}

TEST(DifferentialEvolutionRun, FreshOptimizersWithTheDefaultSeedRepeatTheRun) {
  CProblem p;
  p.f = [](const CEngVector<double>& x, const CEngVector<int>&, const CEngVector<int>&,
           CEngVector<double>& g) {
    g(1) = -1.0;
    const double a = 1.0 - x(1), b = x(2) - x(1) * x(1);
    return a * a + 100.0 * b * b;  // Rosenbrock
  };
  const CRun a = RunProblem(p, 50);
  const CRun b = RunProblem(p, 50);
  ASSERT_EQ(a.rc, DE::kSuccess);
  EXPECT_EQ(a.objective, b.objective);
  EXPECT_EQ(a.x(1), b.x(1));
  EXPECT_EQ(a.x(2), b.x(2));
}

// Runs this test program again as a child that prints the result of one run.
std::string ResultOfAFreshProcess() {
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return "";
  self[n] = '\0';
  const std::string cmd = std::string("OLM_DE_CHILD=1 '") + self +
                          "' --gtest_filter=DifferentialEvolutionRun.TwoFreshProcessesAgree";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return "";
  std::string out;
  char buf[512];
  while (fgets(buf, sizeof buf, p)) {
    if (std::strncmp(buf, "RESULT ", 7) == 0) out = buf;
  }
  pclose(p);
  return out;
}

TEST(DifferentialEvolutionRun, TwoFreshProcessesAgree) {
  if (std::getenv("OLM_DE_CHILD")) {
    CProblem p;
    p.f = [](const CEngVector<double>& x, const CEngVector<int>&, const CEngVector<int>&,
             CEngVector<double>& g) {
      g(1) = -1.0;
      const double a = 1.0 - x(1), b = x(2) - x(1) * x(1);
      return a * a + 100.0 * b * b;
    };
    const CRun r = RunProblem(p, 30);
    std::printf("RESULT %.17g %.17g %.17g\n", r.objective, r.x(1), r.x(2));
    return;
  }
  const std::string a = ResultOfAFreshProcess();
  const std::string b = ResultOfAFreshProcess();
  ASSERT_FALSE(a.empty());
  EXPECT_EQ(a, b);
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
    CProblem p;
    p.start = {4.0, -3.0};
    const CRun r = RunProblem(p, 300, 20, 0, 1, [s](DE& d) { d.SetStrategy(s); });
    ASSERT_EQ(r.rc, DE::kSuccess) << DE::StrategyName(s);
    EXPECT_LT(r.objective, 1e-6) << DE::StrategyName(s);
    EXPECT_NEAR(r.x(1), 0.0, 1e-3) << DE::StrategyName(s);
  }
}

TEST(DifferentialEvolutionRun, ConstrainedMinimumOnTheBoundaryOfTheFeasibleSet) {
  // min x^2 + y^2 subject to x + y >= 1: (0.5, 0.5), objective 0.5.
  CProblem p;
  p.start = {2.0, 2.0};
  p.f = [](const CEngVector<double>& x, const CEngVector<int>&, const CEngVector<int>&,
           CEngVector<double>& g) {
    g(1) = 1.0 - x(1) - x(2);
    return x(1) * x(1) + x(2) * x(2);
  };
  const CRun r = RunProblem(p, 400, 20);
  ASSERT_EQ(r.rc, DE::kSuccess);
  EXPECT_NEAR(r.objective, 0.5, 1e-3);
  EXPECT_NEAR(r.x(1), 0.5, 0.03);
  EXPECT_LE(r.maxG, 1e-5);
}

TEST(DifferentialEvolutionRun, DiscreteAndBooleanVariablesReachTheObjectiveAsWholeNumbers) {
  CProblem p;
  p.start = {3.0};
  p.lower = {-5.0};
  p.upper = {5.0};
  p.dLower = {-10};
  p.dUpper = {10};
  p.dStart = {-9};
  bool whole = true;
  p.f = [&whole](const CEngVector<double>& x, const CEngVector<int>& xd, const CEngVector<int>& xb,
                 CEngVector<double>& g) {
    g(1) = -1.0;
    whole = whole && xd(1) >= -10 && xd(1) <= 10 && (xb(1) == 0 || xb(1) == 1);
    return x(1) * x(1) + (xd(1) - 3) * (xd(1) - 3) + (xb(1) == 1 ? 0.0 : 1.0);
  };
  const CRun r = RunProblem(p, 200, 20, 1);
  ASSERT_EQ(r.rc, DE::kSuccess);
  EXPECT_TRUE(whole);
  EXPECT_EQ(r.xd(1), 3);
  EXPECT_EQ(r.xb(1), 1);
  EXPECT_LT(r.objective, 1e-6);
}

TEST(DifferentialEvolutionRun, NanObjectiveCountsAsWorstDesign) {
  CProblem p;
  p.f = [](const CEngVector<double>& x, const CEngVector<int>&, const CEngVector<int>&,
           CEngVector<double>& g) {
    g(1) = -1.0;
    if (x(1) < 0.5) return std::numeric_limits<double>::quiet_NaN();
    return (x(1) - 2.0) * (x(1) - 2.0) + x(2) * x(2);
  };
  const CRun r = RunProblem(p, 200);
  ASSERT_EQ(r.rc, DE::kSuccess);
  EXPECT_NEAR(r.x(1), 2.0, 1e-3);
  EXPECT_FALSE(std::isnan(r.objective));
}

TEST(DifferentialEvolutionOutput, MinimalLevelPrintsBannerGenerationsHistoryAndSummary) {
  CProblem p;
  const CRun r = RunProblem(p, 3, 6, 0, 1, [](DE& d) { d.SetOutputLevel(1, "minimal"); });
  ASSERT_EQ(r.rc, DE::kSuccess);
  const std::string& o = r.output;
  EXPECT_EQ(o.rfind("\n" + std::string(44, '_') + "\n" + std::string(44, ' ') + "\n" +
                        "                  DE V 1.2                  \n" +
                        "                  Oct 2012                  \n" + std::string(44, '_') +
                        "\n               Number of design variables: 2" +
                        "\n                          Population size: 6" +
                        "\n                          Max generations: 3" +
                        "\n                                 Strategy: RANDTOBEST1EXP\n",
                    0),
            0u);
  const std::string header = std::string(80, '+') + "\nGeneration: 2\n" + std::string(80, '+');
  EXPECT_NE(o.find(header), std::string::npos);
  // Member lines: the number in width 5, the values in width 15.
  EXPECT_NE(o.find(std::string(80, '=') + "\nPop:     3  Fitness: "), std::string::npos);
  EXPECT_NE(o.find("\n     Generation : 3\n# of Feasible Solutions : 6\n"), std::string::npos);
  EXPECT_NE(o.find("           Best Fitness : "), std::string::npos);
  EXPECT_NE(o.find("DE History"), std::string::npos);
  EXPECT_NE(o.find("Average"), std::string::npos);
  EXPECT_NE(o.find("Continuous Design Variables"), std::string::npos);
  EXPECT_NE(o.find("\nExecution completed.\n     Best Objective Function : "), std::string::npos);
  EXPECT_NE(o.find("\nNumber of fitness evaluations: " + std::to_string(r.evaluations) + "\n"),
            std::string::npos);
  EXPECT_EQ(o.find("Constraints (G)"), std::string::npos);
}

TEST(DifferentialEvolutionOutput, DetailedLevelAddsDesignTablesAndSilentOnlyTheSummary) {
  CProblem p;
  CRun r = RunProblem(p, 2, 6, 0, 1, [](DE& d) { d.SetOutputLevel(1, "detailed"); });
  EXPECT_NE(
      r.output.find("Continuous Design Variables (X)\n-------------------------------\n[   1]"),
      std::string::npos);
  EXPECT_NE(r.output.find("Constraints (G)\n---------------\n[   1]-1"), std::string::npos);
  r = RunProblem(p, 2, 6);
  EXPECT_EQ(r.output.rfind("\nExecution completed.\n", 0), 0u);
  EXPECT_EQ(r.output.find("Generation"), std::string::npos);
}

TEST(RandomGenerator, FreshGeneratorsWithTheSameNegativeSeedRepeatTheSequence) {
  CRandomGenerator a;
  std::vector<double> first;
  for (int i = 0; i < 50; ++i) first.push_back(a.Next());
  CRandomGenerator b(-1234);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(b.Next(), first[static_cast<size_t>(i)]);
  CRandomGenerator c(-99);
  EXPECT_NE(c.Next(), first[0]);
}

TEST(RandomGenerator, DrawsLieInTheOpenUnitIntervalWithMeanOneHalf) {
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
  const double v = r.Uniform(-2.0, 3.0);
  EXPECT_GE(v, -2.0);
  EXPECT_LT(v, 3.0);
}

}  // namespace
}  // namespace olm
