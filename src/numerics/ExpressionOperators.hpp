#pragma once
// The calculator's operators on every pair of value kinds.
//
// Each binary operator leaves its result in the left operand and returns a
// status (0 or the failure code); on failure the left operand is unspecified.
// Matrix results reuse the storage of an operand that is the only holder of
// its matrix, so a chain like c * 2 + d over large columns allocates at most
// once.
#include "numerics/ExpressionValue.hpp"

namespace olm {

// Largest number of elements of a matrix the engine builds (512 MiB of
// doubles); larger results are refused as incompatible dimensions.
inline constexpr long long kMaxMatrixElements = 1LL << 26;

// The multiply-adds that the matrix products, determinants, solves and
// eigen computations of one statement may spend together (their cost grows
// faster than their operands).  An operation that would overspend is refused
// as incompatible dimensions, so that no statement runs for minutes.
class CWorkBudget {
 public:
  static constexpr double kDefaultLimit = 2.5e8;
  explicit CWorkBudget(double limit = kDefaultLimit) : m_limit(limit) {}
  // Spends work and returns true, or returns false (spending nothing) when
  // the budget cannot cover it.
  bool Spend(double work) {
    if (!(work <= m_limit - m_used)) return false;
    m_used += work;
    return true;
  }
  void Reset() { m_used = 0.0; }
  void SetLimit(double limit) { m_limit = limit; }
  double GetUsed() const { return m_used; }

 private:
  double m_limit;
  double m_used = 0.0;
};

int AddValues(CExpressionValue& l, CExpressionValue& r, bool subtract);
int MultiplyValues(CExpressionValue& l, CExpressionValue& r, CWorkBudget& budget);
int DivideValues(CExpressionValue& l, const CExpressionValue& r);
int RemainderValues(CExpressionValue& l, const CExpressionValue& r);
int CrossValues(CExpressionValue& l, const CExpressionValue& r);
int PowerValues(CExpressionValue& l, const CExpressionValue& r);
void NegateValue(CExpressionValue& v);

// Truncates toward zero to a 32-bit integer; values beyond the range saturate
// and NaN gives 0.
int TruncateToInt(double x);

}  // namespace olm
