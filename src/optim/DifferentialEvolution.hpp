#pragma once
// CDifferentialEvolution: bounded, constrained minimisation by differential
// evolution with an adaptive penalty for constraint violation.
//
// The caller supplies one objective function that is called with request
// codes (kRequestInitialize: fill bounds and start design; kRequestEvaluate:
// compute objective and constraints; kRequestEndOfGeneration and
// kRequestEndOfRun: notifications).  Variables are continuous, discrete
// (stored as doubles, handed over truncated toward zero) or boolean (1 when
// the stored value is >= 0.5).  A constraint value <= the tolerance (1e-5)
// is satisfied.
//
// Use: Initialize -> optional setters and SetOutputLevel -> Optimize ->
// GetResults.  Optimize returns kSuccess, kBadInput (settings or size),
// kBadBounds (a bound pair or the start design) or kNoFeasible; ErrorMessage
// turns a code into its text.  Progress and a closing summary are written to
// the stream given to Optimize.
//
// Strategies (mutant value v of a variable; A the working population, b the
// best design so far, x the member's own value, r1..r5 donors):
//   0 BEST1EXP        v = b + F (A[r1] - A[r2])
//   1 RAND1EXP        v = A[r1] + F (A[r2] - A[r3])
//   2 RANDTOBEST1EXP  v = x + F (A[r1] - A[r2]) + K (b - x)      (default)
//   3 BEST2EXP        v = b + F (A[r1] + A[r2] - A[r3] - A[r4])
//   4 RAND2EXP        v = A[r1] + F (A[r2] + A[r3] - A[r4] - A[r5])
//   5..9              the same mutants with binomial crossover (*BIN)
// Donors r1 and r2 come from a random permutation P of the members and P
// rotated by 1..4 places.  Donors r3, r4 and r5 (strategies 1, 3, 4, 6, 8, 9)
// are drawn at random, each distinct from the member itself, from r1, r2 and
// from each other (a population has at least 6 members, so this always
// succeeds with one draw per donor).
// The exponential strategies (0..4) redraw F in [-1, 1) and K in [0, 1) at
// the start of every generation.  Boolean variables are mutated like the
// others and then rounded; the binomial pass covers each kind of variable
// (continuous, discrete, boolean) with the last variable of a kind always
// taking its mutant.
//
// An objective or constraint value that is NaN is taken as +infinity, so a
// design that cannot be evaluated is never preferred.
//
// Random numbers come from CRandomGenerator, whose state is shared by all
// optimizers of the process; with the default seed -1234 a fresh optimizer
// repeats the same run.
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "numerics/EngVector.hpp"
#include "optim/RandomGenerator.hpp"

namespace olm {

// The objective: context, request code, objective (out), continuous design,
// its lower and upper bounds, an auxiliary vector passed along unread,
// discrete design, its bounds, boolean design, constraint count, constraint
// values (out), status byte, generation number, output stream (may be null).
using DEObjectiveFunction = void (*)(void* context, int request, double& objective,
                                     CEngVector<double>& x, CEngVector<double>& xLower,
                                     CEngVector<double>& xUpper, CEngVector<double>& auxiliary,
                                     CEngVector<int>& xd, CEngVector<int>& xdLower,
                                     CEngVector<int>& xdUpper, CEngVector<int>& xb,
                                     int& constraintCount, CEngVector<double>& g, char& status,
                                     int generation, std::ostream* out);

// One generation's record of the run history.
struct CDEHistory {
  double averageFitness = 0.0;
  double worstFitness = 0.0;
  double bestFitness = 0.0;
  double maxViolation = 0.0;
  int feasibleCount = 0;
};

class CDifferentialEvolution {
 public:
  enum Request {
    kRequestInitialize = -1,
    kRequestEvaluate = 1,
    kRequestEndOfGeneration = -2,
    kRequestEndOfRun = -3,
  };
  enum Result { kSuccess = 0, kBadInput = 1, kBadBounds = 2, kNoFeasible = 3, kMaxIterations = 4 };
  enum Strategy {
    kBest1Exp = 0,
    kRand1Exp,
    kRandToBest1Exp,
    kBest2Exp,
    kRand2Exp,
    kBest1Bin,
    kRand1Bin,
    kRandToBest1Bin,
    kBest2Bin,
    kRand2Bin,
  };
  enum OutputLevel { kSilent = 0, kMinimal = 1, kDetailed = 2 };

  CDifferentialEvolution();

  // Returns 1 when accepted (counts >= 0 with a positive sum, G, NP and m
  // positive), else 0 and nothing changes.  Restores the default settings
  // (the seed excepted) and sizes the history to G records.
  int Initialize(void* context, DEObjectiveFunction objective, int nContinuous, int nDiscrete,
                 int nBoolean, int nConstraints, int generations, int populationSize);
  // 0 on success; 1 for a frequency < 1 or a keyword other than "silent",
  // "minimal" or "detailed" (exact).  Generation output (header, member and
  // progress lines) is written for every frequency-th generation.
  int SetOutputLevel(int frequency, const std::string& keyword);
  int Optimize(std::ostream& out);
  // Copies out the best feasible design of the run.  Vectors of kinds the
  // problem does not have are left as they are.
  void GetResults(double& objective, double& maxConstraint, CEngVector<double>& x,
                  CEngVector<int>& xd, CEngVector<int>& xb, CEngVector<double>& g, int& evaluations,
                  int& generations) const;
  static std::string ErrorMessage(int code);
  static const char* StrategyName(int strategy);

  // Settings (validated by Optimize).
  void SetStrategy(int s) { m_strategy = s; }
  int GetStrategy() const { return m_strategy; }
  void SetF(double f) { m_F = f; }
  double GetF() const { return m_F; }
  void SetK(double k) { m_K = k; }
  double GetK() const { return m_K; }
  void SetExchangeProbability(double p) { m_exchange = p; }
  double GetExchangeProbability() const { return m_exchange; }
  void SetCR(double cr) { m_CR = cr; }
  double GetCR() const { return m_CR; }
  void SetElitism(int e) { m_elitism = e; }
  int GetElitism() const { return m_elitism; }
  void SetSeedWithStart(int s) { m_seedWithStart = s; }
  int GetSeedWithStart() const { return m_seedWithStart; }
  void SetSeed(long seed) { m_random.SetSeed(seed); }
  long GetSeed() const { return m_random.GetSeed(); }
  void SetTolerance(double t) { m_tolerance = t; }
  double GetTolerance() const { return m_tolerance; }
  int GetOutputLevel() const { return m_outputLevel; }
  int GetOutputFrequency() const { return m_outputFrequency; }

  int GetEvaluations() const { return m_evaluations; }
  int GetGeneration() const { return m_generation; }
  const CEngVector<CDEHistory>& GetHistory() const { return m_history; }

 private:
  // Column-per-member matrix of doubles.
  struct CPopulation {
    int rows = 0;
    int cols = 0;
    std::vector<double> data;
    void Size(int r, int c) {
      rows = r;
      cols = c;
      data.assign(static_cast<size_t>(r) * static_cast<size_t>(c), 0.0);
    }
    double& operator()(int r, int c) {
      return data[static_cast<size_t>(c - 1) * static_cast<size_t>(rows) +
                  static_cast<size_t>(r - 1)];
    }
  };

  void SizeWorkingState();
  // Evaluates variables v (nV values) and returns the objective; fills
  // row of m constraints and their maximum.
  double Evaluate(const std::vector<double>& v, std::vector<double>& g, double& maxG,
                  int generation, std::ostream* out);
  void Penalize(const std::vector<double>& f, const std::vector<double>& g,
                std::vector<double>& fitness) const;
  void GenerationStatistics(std::ostream& out, bool print);
  void Permutation(std::vector<int>& perm, int n);
  void BuildTrial(int member, bool firstOfGeneration, std::vector<double>& trial);
  void Clamp(std::vector<double>& v) const;
  void PrintBanner(std::ostream& out) const;
  void PrintGenerationHeader(std::ostream& out, int generation);
  void PrintMemberLine(std::ostream& out, int member) const;
  void PrintDesignTables(std::ostream& out, int member);
  void PrintHistory(std::ostream& out);
  bool PrintsGeneration(int generation) const;

  // Problem.
  void* m_context = nullptr;
  DEObjectiveFunction m_objective = nullptr;
  int m_nC = 0, m_nD = 0, m_nB = 0, m_m = 0, m_G = 0, m_NP = 0;
  // Settings.
  int m_strategy = kRandToBest1Exp;
  double m_F = 0.8, m_K = 0.8, m_exchange = 0.9, m_CR = 1.0;
  int m_elitism = 1, m_seedWithStart = 1;
  int m_outputFrequency = 1, m_outputLevel = kMinimal;
  int m_printLevel = kMinimal;  // level of the current run's output
  double m_tolerance = 1e-5;
  CRandomGenerator m_random;

  // Vectors handed to the objective, made anew for every run (a vector of a
  // kind the problem does not have stays empty).
  struct CArguments {
    CEngVector<double> x{}, xLower{}, xUpper{}, aux{}, g{};
    CEngVector<int> xd{}, xdLower{}, xdUpper{}, xb{};
  };
  std::unique_ptr<CArguments> m_args;

  // Working state.
  CPopulation m_A, m_B;
  std::vector<double> m_fitness;    // penalised fitness of the survivors
  std::vector<double> m_trialF;     // trial objective per member
  std::vector<double> m_trialMaxG;  // trial largest constraint value per member
  std::vector<double> m_trialG;     // m values per member
  std::vector<double> m_best;       // best member b
  double m_bestFitness = 0.0, m_bestMaxG = 0.0;
  std::vector<double> m_feasible;  // best feasible design of the run
  double m_feasibleF = 0.0, m_feasibleMaxG = 0.0;
  std::vector<double> m_feasibleG;
  bool m_found = false;
  int m_evaluations = 0, m_generation = 0;
  std::vector<int> m_P, m_R, m_Q;
  std::vector<double> m_exchangeDraws;  // NP x nV draws of the current generation
  CEngVector<CDEHistory> m_history;
  std::vector<double> m_lower, m_upper;  // bounds of all nV variables
};

}  // namespace olm
