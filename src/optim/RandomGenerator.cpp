#include "optim/RandomGenerator.hpp"

namespace olm {

namespace {
constexpr long kM1 = 2147483563;
constexpr long kM2 = 2147483399;
constexpr long kA1 = 40014;
constexpr long kA2 = 40692;
constexpr long kQ1 = 53668;  // kM1 / kA1
constexpr long kQ2 = 52774;  // kM2 / kA2
constexpr long kR1 = 12211;  // kM1 % kA1
constexpr long kR2 = 3791;   // kM2 % kA2
constexpr int kTable = 32;
constexpr long kDivisor = 1 + (kM1 - 1) / kTable;
constexpr double kScale = 1.0 / kM1;
constexpr double kMax = 1.0 - 1.2e-7;

// Shared by every generator object of the process.
struct SharedState {
  long first = 0;
  long second = 123456789;
  long table[kTable] = {};
};
SharedState g_state;

// One step of a multiplicative congruential generator by Schrage's method.
long Step(long state, long a, long m, long q, long r) {
  const long k = state / q;
  state = a * (state - k * q) - k * r;
  if (state < 0) state += m;
  return state;
}
}  // namespace

double CRandomGenerator::Next() {
  SharedState& s = g_state;
  if (m_shuffleOutput == 0) s.first = m_seed;
  if (s.first <= 0) {
    s.first = s.first == 0 ? 1 : -s.first;
    if (s.first < 1) s.first = 1;
    s.second = s.first;
    for (int j = kTable + 7; j >= 0; --j) {
      s.first = Step(s.first, kA1, kM1, kQ1, kR1);
      if (j < kTable) s.table[j] = s.first;
    }
    m_shuffleOutput = s.table[0];
  }
  s.first = Step(s.first, kA1, kM1, kQ1, kR1);
  s.second = Step(s.second, kA2, kM2, kQ2, kR2);
  const int j = static_cast<int>(m_shuffleOutput / kDivisor);
  m_shuffleOutput = s.table[j] - s.second;
  s.table[j] = s.first;
  if (m_shuffleOutput < 1) m_shuffleOutput += kM1 - 1;
  const double u = kScale * static_cast<double>(m_shuffleOutput);
  return u > kMax ? kMax : u;
}

}  // namespace olm
