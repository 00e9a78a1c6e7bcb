#pragma once
// CRandomGenerator: L'Ecuyer's combined generator with a Bays-Durham shuffle
// (the well-known "ran2").
//
// Two multiplicative congruential generators (moduli 2147483563 and
// 2147483399) are combined and shuffled through a 32-entry table; the output
// is scaled by 1/2147483563 and capped at 1 - 1.2e-7, so it lies in (0, 1).
//
// The shuffle table and both generator states are shared by every generator
// object of the process; each object holds only its seed and its last shuffle
// output.  An object's first draw copies its seed into the shared first
// state, and a state <= 0 (such as the default seed -1234) restarts the shared
// sequence.  So a fresh object seeded with -1234 always yields the same
// numbers, and objects drawing in turn interleave one sequence.  Not
// thread-safe: runs are sequential.
namespace olm {

class CRandomGenerator {
 public:
  explicit CRandomGenerator(long seed = -1234) : m_seed(seed) {}

  long GetSeed() const { return m_seed; }
  // Takes effect with the next first draw: the shuffle output is cleared.
  void SetSeed(long seed) {
    m_seed = seed;
    m_shuffleOutput = 0;
  }

  // A uniform number in (0, 1).
  double Next();
  // A uniform number in [lo, hi).
  double Uniform(double lo, double hi) { return lo + (hi - lo) * Next(); }

 private:
  long m_seed;
  long m_shuffleOutput = 0;
};

}  // namespace olm
