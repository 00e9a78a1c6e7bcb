#pragma once
// Helpers of the calculator tests.
#include <gtest/gtest.h>

#include <string>

#include "numerics/ExpressionEvaluator.hpp"

namespace olm::test {

// Status of one statement.
inline int StatusOf(CExpressionEvaluator& e, const std::string& text) {
  CExpressionValue v;
  return e.Evaluate(text, v);
}
inline int StatusOf(const std::string& text) {
  CExpressionEvaluator e;
  return StatusOf(e, text);
}

// Value of a statement that must succeed.
inline CExpressionValue ValueOf(CExpressionEvaluator& e, const std::string& text) {
  CExpressionValue v;
  const int status = e.Evaluate(text, v);
  EXPECT_EQ(status, 0) << "statement: " << text;
  return v;
}

// Scalar value of a statement that must succeed with a scalar.
inline double ScalarOf(CExpressionEvaluator& e, const std::string& text) {
  const CExpressionValue v = ValueOf(e, text);
  EXPECT_TRUE(v.IsScalar()) << "statement: " << text;
  return v.GetScalar();
}
inline double ScalarOf(const std::string& text) {
  CExpressionEvaluator e;
  return ScalarOf(e, text);
}

// A matrix from rows of values.
inline CMatrix<double> MakeMatrix(int rows, int columns, std::initializer_list<double> values) {
  CMatrix<double> m(rows, columns);
  auto it = values.begin();
  for (int i = 1; i <= rows; ++i)
    for (int j = 1; j <= columns; ++j) m(i, j) = *it++;
  return m;
}

}  // namespace olm::test
