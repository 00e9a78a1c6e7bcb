#pragma once
// Helpers of the calculator tests.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

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
inline CExpressionValue ValueOf(const std::string& text) {
  CExpressionEvaluator e;
  return ValueOf(e, text);
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

// A statement and the status it gives.
struct CStatusCase {
  std::string text;
  int status;
};
using Statuses = std::vector<CStatusCase>;
// Each statement in e, or in a fresh evaluator when e is null.
inline void ExpectStatuses(const Statuses& cases, CExpressionEvaluator* e = nullptr) {
  for (const auto& c : cases) {
    CExpressionEvaluator fresh;
    EXPECT_EQ(StatusOf(e ? *e : fresh, c.text), c.status) << "statement: " << c.text;
  }
}

// A statement and the scalar it gives: exactly, or within a tolerance when one is given.
struct CScalarCase {
  std::string text;
  double value;
  double tolerance = 0.0;
};
using Scalars = std::vector<CScalarCase>;
inline void ExpectScalars(const Scalars& cases, CExpressionEvaluator* e = nullptr) {
  for (const auto& c : cases) {
    CExpressionEvaluator fresh;
    const double value = ScalarOf(e ? *e : fresh, c.text);
    if (c.tolerance > 0.0)
      EXPECT_NEAR(value, c.value, c.tolerance) << "statement: " << c.text;
    else
      EXPECT_EQ(value, c.value) << "statement: " << c.text;
  }
}

// The kind of a value and its numbers: the scalar, the components of a vector
// or point, or the rows and columns of a matrix followed by its elements row by row.
using Numbers = std::pair<int, std::vector<double>>;
inline Numbers NumbersOf(const CExpressionValue& v) {
  Numbers n{v.GetKind(), {}};
  if (v.IsMatrix()) {
    n.second = {static_cast<double>(v.GetRows()), static_cast<double>(v.GetColumns())};
    for (int i = 1; i <= v.GetRows(); ++i)
      for (int j = 1; j <= v.GetColumns(); ++j) n.second.push_back(v.GetMatrix()(i, j));
  } else if (ComponentCount(v.GetKind()) > 0) {
    for (int i = 1; i <= ComponentCount(v.GetKind()); ++i) n.second.push_back(v.GetComponents()(i));
  } else {
    n.second = {v.GetScalar()};
  }
  return n;
}
inline Numbers NumbersOf(CExpressionEvaluator& e, const std::string& text) {
  return NumbersOf(ValueOf(e, text));
}
inline Numbers NumbersOf(const std::string& text) {
  return NumbersOf(ValueOf(text));
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
