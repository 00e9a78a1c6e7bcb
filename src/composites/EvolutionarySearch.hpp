#pragma once
// Global bounded minimisation: differential evolution over the whole box,
// then the coordinate search from the best design it found.
#include "composites/BoundedMinimiser.hpp"

namespace olm {

class CEvolutionarySearch : public IBoundedMinimiser {
 public:
  // generations and the population size per variable of the evolution.
  explicit CEvolutionarySearch(int generations = 150, int membersPerVariable = 10)
      : m_generations(generations), m_membersPerVariable(membersPerVariable) {}
  CMinimiserResult Minimise(const CBoundedProblem& problem) override;

 private:
  int m_generations;
  int m_membersPerVariable;
};

}  // namespace olm
