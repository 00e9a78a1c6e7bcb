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
// Largest number of multiply-adds one matrix product, determinant, solve or
// eigen computation may take; more are refused so that no statement runs
// for minutes.
inline constexpr double kMaxMatrixWork = 1e9;

int AddValues(CExpressionValue& l, CExpressionValue& r, bool subtract);
int MultiplyValues(CExpressionValue& l, CExpressionValue& r);
int DivideValues(CExpressionValue& l, const CExpressionValue& r);
int RemainderValues(CExpressionValue& l, const CExpressionValue& r);
int CrossValues(CExpressionValue& l, const CExpressionValue& r);
int PowerValues(CExpressionValue& l, const CExpressionValue& r);
void NegateValue(CExpressionValue& v);

// Truncates toward zero to a 32-bit integer; values beyond the range saturate
// and NaN gives 0.
int TruncateToInt(double x);

}  // namespace olm
