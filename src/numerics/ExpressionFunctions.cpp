#include "numerics/ExpressionFunctions.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "numerics/ExpressionOperators.hpp"
#include "numerics/UserInterface.hpp"

namespace olm {

namespace {

using Matrix = CMatrix<double>;

constexpr CFunctionInfo kFunctions[kFunctionCount] = {
    {"sin", 4, 1, false},    {"cos", 4, 1, false},    {"tan", 4, 1, false},
    {"asin", 4, 1, false},   {"acos", 4, 1, false},   {"atan", 4, 1, false},
    {"sqrt", 4, 1, false},   {"abs", 4, 1, false},    {"log", 4, 1, false},
    {"ln", 4, 1, false},     {"exp", 4, 1, false},    {"int", 4, 1, false},
    {"fact", 4, 1, false},   {"mag", 4, 1, false},    {"normalize", 4, 1, false},
    {"ang", 5, 2, false},    {"vec", 6, 2, false},    {"pnt", 6, 3, false},
    {"uv", 5, 2, false},     {"integ", 6, 3, true},   {"diff", 5, 2, true},
    {"root", 6, 3, true},    {"root2", 6, 3, false},  {"root3", 6, 4, false},
    {"mat", 5, 0, false},    {"solve", 5, 2, false},  {"tpose", 4, 1, false},
    {"max", 4, 1, false},    {"min", 4, 1, false},    {"tnorm", 4, 1, false},
    {"eigen", 4, 1, false},  {"sgn", 4, 1, false},    {"sinh", 4, 1, false},
    {"cosh", 4, 1, false},   {"tanh", 4, 1, false},   {"coth", 4, 1, false},
    {"sech", 4, 1, false},   {"csch", 4, 1, false},   {"ran", 5, 2, false},
    {"avg", 4, 1, false},    {"median", 4, 1, false}, {"stdev", 4, 1, false},
    {"stdevp", 4, 1, false}, {"det", 4, 1, false},    {"vec2d", 6, 2, false},
    {"pnt2d", 6, 2, false},  {"sve", 7, 0, false},    {"sve2", 7, 0, false},
};

bool IsVectorKind(int kind) {
  return kind == kKindVector || kind == kKindVector2d;
}
bool IsPointKind(int kind) {
  return kind == kKindPoint || kind == kKindPoint2d;
}

double Factorial(double x) {
  const int n = TruncateToInt(x);
  if (n < 0) return 0.0;
  double product = 1.0;
  for (int k = 2; k <= n && std::isfinite(product); ++k) product *= k;
  return product;
}

// Column 1 of a matrix as a list.
std::vector<double> FirstColumn(const Matrix& m) {
  std::vector<double> column(m.GetRows());
  for (int i = 1; i <= m.GetRows(); ++i) column[i - 1] = m(i, 1);
  return column;
}

double Mean(const Matrix& m) {
  double sum = 0.0;
  for (int i = 1; i <= m.GetRows(); ++i) sum += m(i, 1);
  return sum / m.GetRows();
}

double SquaredDeviations(const Matrix& m) {
  const double mean = Mean(m);
  double sum = 0.0;
  for (int i = 1; i <= m.GetRows(); ++i) sum += (m(i, 1) - mean) * (m(i, 1) - mean);
  return sum;
}

double Median(const Matrix& m) {
  std::vector<double> c = FirstColumn(m);
  const std::size_t n = c.size(), half = n / 2;
  std::nth_element(c.begin(), c.begin() + half, c.end());
  const double upper = c[half];
  if (n % 2) return upper;
  const double lower = *std::max_element(c.begin(), c.begin() + half);
  return (lower + upper) / 2.0;
}

Matrix Transposed(const Matrix& m) {
  Matrix t(m.GetColumns(), m.GetRows());
  RequireSize(t, m.GetColumns(), m.GetRows());
  for (int i = 1; i <= m.GetRows(); ++i)
    for (int j = 1; j <= m.GetColumns(); ++j) t(j, i) = m(i, j);
  return t;
}

int ApplyScalarFunction(int id, CExpressionValue& value) {
  const double x = value.GetScalar();
  double y = 0.0;
  switch (id) {
    case kFnSin:
      y = std::sin(x);
      break;
    case kFnCos:
      y = std::cos(x);
      break;
    case kFnTan:
      y = std::tan(x);
      break;
    case kFnAsin:
      if (!(x >= -1.0 && x <= 1.0)) return kExprDomain;
      y = std::asin(x);
      break;
    case kFnAcos:
      if (!(x >= -1.0 && x <= 1.0)) return kExprDomain;
      y = std::acos(x);
      break;
    case kFnAtan:
      y = std::atan(x);
      break;
    case kFnSqrt:
      if (!(x >= 0.0)) return kExprDomain;
      y = std::sqrt(x);
      break;
    case kFnAbs:
      y = std::fabs(x);
      break;
    case kFnLog:
      if (!(x >= 0.0)) return kExprDomain;
      y = std::log10(x);
      break;
    case kFnLn:
      if (!(x >= 0.0)) return kExprDomain;
      y = std::log(x);
      break;
    case kFnExp:
      y = std::exp(x);
      break;
    case kFnInt:
      // Truncated towards zero, whatever the size.
      y = std::trunc(x);
      break;
    case kFnFact:
      if (!(x >= 0.0)) return kExprDomain;
      y = Factorial(x);
      break;
    case kFnSgn:
      y = x > 0.0 ? 1.0 : (x < 0.0 ? -1.0 : 0.0);
      break;
    // The hyperbolic functions through the library's own, which stay finite
    // where e^2x alone would overflow.
    case kFnSinh:
      y = std::sinh(x);
      break;
    case kFnCosh:
      y = std::cosh(x);
      break;
    case kFnTanh:
      y = std::tanh(x);
      break;
    case kFnCoth:
      y = 1.0 / std::tanh(x);
      break;
    case kFnSech:
      y = 1.0 / std::cosh(x);
      break;
    case kFnCsch:
      y = 1.0 / std::sinh(x);
      break;
    default:
      return kExprDomain;
  }
  value = CExpressionValue::Scalar(y);
  return kExprOk;
}

int ApplyMatrixFunction(int id, CExpressionValue& value, CWorkBudget& budget) {
  const Matrix& m = value.GetMatrix();
  const int rows = m.GetRows(), cols = m.GetColumns();
  const double n3 = static_cast<double>(rows) * rows * rows;
  switch (id) {
    case kFnTpose:
      value = CExpressionValue::FromMatrix(Transposed(m));
      return kExprOk;
    case kFnMax:
      value = CExpressionValue::Scalar(m.Max(0));
      return kExprOk;
    case kFnMin:
      value = CExpressionValue::Scalar(m.Min(0));
      return kExprOk;
    case kFnTnorm: {
      if ((rows != 1 && cols != 1) || rows * cols < 2) return kExprIncompatible;
      const double* e = m.Row(1);
      double s = 0.0;
      for (int k = 0; k < rows * cols; ++k) s += e[k] * e[k];
      value = CExpressionValue::Scalar(std::sqrt(s));
      return kExprOk;
    }
    case kFnDet:
      if (rows != cols || !budget.Spend(n3)) return kExprIncompatible;
      value = CExpressionValue::Scalar(Determinant(m));
      return kExprOk;
    case kFnEigen: {
      // Up to 40 sweeps of rotations that cost 6 n multiply-adds each.
      if (rows != cols || !budget.Spend(240.0 * n3)) return kExprIncompatible;
      Matrix out;
      if (!SymmetricEigen(m, out)) return kExprIncompatible;
      value = CExpressionValue::FromMatrix(std::move(out));
      return kExprOk;
    }
    case kFnAvg:
      value = CExpressionValue::Scalar(Mean(m));
      return kExprOk;
    case kFnMedian:
      value = CExpressionValue::Scalar(Median(m));
      return kExprOk;
    case kFnStdev:
      // The sample deviation needs two values at least.
      if (rows < 2) return kExprDomain;
      value = CExpressionValue::Scalar(std::sqrt(SquaredDeviations(m) / (rows - 1)));
      return kExprOk;
    case kFnStdevp:
      value = CExpressionValue::Scalar(std::sqrt(SquaredDeviations(m) / rows));
      return kExprOk;
    default:
      return kExprDomain;
  }
}

// "( a) op (b)"
std::string Combine(const std::string& a, const char* op, const std::string& b) {
  return "( " + a + ") " + op + " (" + b + ")";
}

int Vec(std::vector<CFunctionArgument>& args, CExpressionValue& result) {
  const CExpressionValue& a = args[0].value;
  const CExpressionValue& b = args[1].value;
  if (IsPointKind(a.GetKind()) && a.GetKind() == b.GetKind()) {
    const int n = ComponentCount(a.GetKind());
    const int kind = n == 3 ? kKindVector : kKindVector2d;
    const CVector<double>& p = a.GetComponents();
    const CVector<double>& q = b.GetComponents();
    result =
        CExpressionValue::Components(kind, q(1) - p(1), q(2) - p(2), n == 3 ? q(3) - p(3) : 0.0);
    for (int i = 1; i <= n; ++i)
      result.SetComponentText(i, Combine(b.GetComponentText(i), "-", a.GetComponentText(i)));
    return kExprOk;
  }
  if (IsVectorKind(a.GetKind()) && b.IsScalar()) {
    const int n = ComponentCount(a.GetKind());
    result = a;
    CVector<double>& c = result.GetComponents();
    for (int i = 1; i <= n; ++i) {
      c(i) *= b.GetScalar();
      result.SetComponentText(i, Combine(args[1].text, "*", a.GetComponentText(i)));
    }
    return kExprOk;
  }
  return kExprDomain;
}

int Pnt(int id, std::vector<CFunctionArgument>& args, CExpressionValue& result) {
  for (const CFunctionArgument& a : args)
    if (!a.value.IsScalar()) return kExprDomain;
  const bool plane = id == kFnPnt2d;
  result = CExpressionValue::Components(plane ? kKindPoint2d : kKindPoint,
                                        args[0].value.GetScalar(), args[1].value.GetScalar(),
                                        plane ? 0.0 : args[2].value.GetScalar());
  for (std::size_t i = 0; i < args.size(); ++i)
    result.SetComponentText(static_cast<int>(i) + 1, args[i].text);
  return kExprOk;
}

int Ang(std::vector<CFunctionArgument>& args, CExpressionValue& result) {
  const CExpressionValue& a = args[0].value;
  const CExpressionValue& b = args[1].value;
  if (!IsVectorKind(a.GetKind()) || a.GetKind() != b.GetKind()) return kExprDomain;
  const double lengths = a.GetComponents().Norm() * b.GetComponents().Norm();
  if (!(lengths > 0.0)) return kExprDomain;
  // Rounding can push the cosine of parallel vectors just past 1.
  const double cosine = std::clamp((a.GetComponents() * b.GetComponents()) / lengths, -1.0, 1.0);
  result = CExpressionValue::Scalar(std::acos(cosine));
  return kExprOk;
}

int Uv(std::vector<CFunctionArgument>& args, CExpressionValue& result) {
  const CExpressionValue& a = args[0].value;
  const CExpressionValue& b = args[1].value;
  if (!IsPointKind(a.GetKind()) || a.GetKind() != b.GetKind()) return kExprDomain;
  const int n = ComponentCount(a.GetKind());
  const CVector<double> d = b.GetComponents() - a.GetComponents();
  const double length = d.Norm();
  if (!(length > 0.0)) return kExprDomain;
  result = CExpressionValue::Components(n == 3 ? kKindVector : kKindVector2d, d(1) / length,
                                        d(2) / length, n == 3 ? d(3) / length : 0.0);
  for (int i = 1; i <= n; ++i)
    result.SetComponentText(i, "(" + Combine(b.GetComponentText(i), "-", a.GetComponentText(i)) +
                                   ") / " + Format("%g", length));
  return kExprOk;
}

int Solve(std::vector<CFunctionArgument>& args, CWorkBudget& budget, CExpressionValue& result) {
  const CExpressionValue& a = args[0].value;
  const CExpressionValue& b = args[1].value;
  if (!a.IsMatrix() || !b.IsMatrix()) return kExprIncompatible;
  const Matrix& ma = a.GetMatrix();
  const Matrix& mb = b.GetMatrix();
  const double n = ma.GetRows();
  if (ma.GetRows() != ma.GetColumns() || mb.GetRows() != ma.GetRows() ||
      !budget.Spend(n * n * (n + mb.GetColumns())))
    return kExprIncompatible;
  Matrix x;
  if (!SolveDoolittle(ma, mb, x)) return kExprRootOperands;
  result = CExpressionValue::FromMatrix(std::move(x));
  return kExprOk;
}

CExpressionValue RowMatrix(const std::vector<double>& values) {
  Matrix m(1, static_cast<int>(values.size()));
  RequireSize(m, 1, static_cast<int>(values.size()));
  for (std::size_t j = 0; j < values.size(); ++j) m(1, static_cast<int>(j) + 1) = values[j];
  return CExpressionValue::FromMatrix(std::move(m));
}

}  // namespace

const CFunctionInfo& GetFunctionInfo(int id) {
  return kFunctions[id];
}

int FindFunction(std::string_view name) {
  for (int id = 0; id < kFunctionCount; ++id)
    if (kFunctions[id].name == name) return id;
  return -1;
}

int ApplyFunction(int id, CExpressionValue& value, CWorkBudget& budget) {
  switch (id) {
    case kFnMag:
    case kFnNormalize: {
      if (!IsVectorKind(value.GetKind())) return kExprDomain;
      const double length = value.GetComponents().Norm();
      if (id == kFnMag) {
        value = CExpressionValue::Scalar(length);
        return kExprOk;
      }
      if (!(length > 1e-10)) return kExprDomain;
      CVector<double>& c = value.GetComponents();
      for (int i = 1; i <= c.GetSize(); ++i) c(i) /= length;
      value.ClearComponentTexts();
      return kExprOk;
    }
    case kFnTpose:
    case kFnMax:
    case kFnMin:
    case kFnTnorm:
    case kFnDet:
    case kFnEigen:
    case kFnAvg:
    case kFnMedian:
    case kFnStdev:
    case kFnStdevp:
      if (!value.IsMatrix() || value.GetRows() < 1) return kExprDomain;
      return ApplyMatrixFunction(id, value, budget);
    default:
      if (!value.IsScalar()) return kExprDomain;
      return ApplyScalarFunction(id, value);
  }
}

int ApplyListFunction(int id, std::vector<CFunctionArgument>& args, CCombinedRandom& random,
                      CWorkBudget& budget, CExpressionValue& result) {
  switch (id) {
    case kFnVec:
    case kFnVec2d:
      return Vec(args, result);
    case kFnPnt:
    case kFnPnt2d:
      return Pnt(id, args, result);
    case kFnAng:
      return Ang(args, result);
    case kFnUv:
      return Uv(args, result);
    case kFnSolve:
      return Solve(args, budget, result);
    case kFnRan: {
      const CExpressionValue& a = args[0].value;
      const CExpressionValue& b = args[1].value;
      if (!a.IsScalar() || !b.IsScalar()) return kExprDomain;
      if (!(a.GetScalar() < b.GetScalar())) return kExprIncompatible;
      const double low = a.GetScalar(), high = b.GetScalar();
      result = CExpressionValue::Scalar(low + (high - low) * random.Next());
      return kExprOk;
    }
    case kFnRoot2:
    case kFnRoot3: {
      std::vector<double> c;
      for (const CFunctionArgument& a : args) {
        if (!a.value.IsScalar()) return kExprDomain;
        c.push_back(a.value.GetScalar());
      }
      std::vector<double> roots;
      if (id == kFnRoot2) {
        double r1, r2;
        if (QuadraticRoots(c[0], c[1], c[2], r1, r2)) roots = {r1, r2};
      } else {
        roots = CubicRoots(c[0], c[1], c[2], c[3]);
      }
      if (roots.empty()) return kExprRootFailed;
      result = RowMatrix(roots);
      return kExprOk;
    }
    default:
      return kExprDomain;
  }
}

}  // namespace olm
