#include "numerics/ExpressionOperators.hpp"

#include <climits>
#include <cmath>
#include <utility>

namespace olm {

namespace {

using Matrix = CMatrix<double>;

std::size_t ElementCount(const Matrix& m) {
  return static_cast<std::size_t>(m.GetRows()) * static_cast<std::size_t>(m.GetColumns());
}

double* Elements(Matrix& m) {
  return m.IsEmpty() ? nullptr : m.Row(1);
}
const double* Elements(const Matrix& m) {
  return m.IsEmpty() ? nullptr : m.Row(1);
}

// dst becomes a matrix of src's shape with elements f(src element).  The
// work happens in src's storage when src holds it alone.
template <class F>
void MapMatrix(CExpressionValue& dst, CExpressionValue& src, F f) {
  if (!src.IsMatrixShared()) {
    Matrix& m = src.MutableMatrix();
    double* e = Elements(m);
    const std::size_t n = ElementCount(m);
    for (std::size_t k = 0; k < n; ++k) e[k] = f(e[k]);
    src.ClearElementTexts();
    if (&dst != &src) dst = std::move(src);
    return;
  }
  const Matrix& m = src.GetMatrix();
  Matrix out(m.GetRows(), m.GetColumns());
  RequireSize(out, m.GetRows(), m.GetColumns());
  const double* e = Elements(m);
  double* o = Elements(out);
  const std::size_t n = ElementCount(m);
  for (std::size_t k = 0; k < n; ++k) o[k] = f(e[k]);
  dst = CExpressionValue::FromMatrix(std::move(out));
}

// l becomes the matrix with elements f(l element, r element); shapes agree.
template <class F>
void ZipMatrix(CExpressionValue& l, CExpressionValue& r, F f) {
  const std::size_t n = ElementCount(l.GetMatrix());
  if (!l.IsMatrixShared()) {
    double* a = Elements(l.MutableMatrix());
    const double* b = Elements(r.GetMatrix());
    for (std::size_t k = 0; k < n; ++k) a[k] = f(a[k], b[k]);
    l.ClearElementTexts();
  } else if (!r.IsMatrixShared()) {
    const double* a = Elements(l.GetMatrix());
    double* b = Elements(r.MutableMatrix());
    for (std::size_t k = 0; k < n; ++k) b[k] = f(a[k], b[k]);
    r.ClearElementTexts();
    l = std::move(r);
  } else {
    const Matrix& ma = l.GetMatrix();
    Matrix out(ma.GetRows(), ma.GetColumns());
    RequireSize(out, ma.GetRows(), ma.GetColumns());
    const double* a = Elements(ma);
    const double* b = Elements(r.GetMatrix());
    double* o = Elements(out);
    for (std::size_t k = 0; k < n; ++k) o[k] = f(a[k], b[k]);
    l = CExpressionValue::FromMatrix(std::move(out));
  }
}

// Every component of a vector or point through f; symbolic texts no longer apply.
template <class F>
void MapComponents(CExpressionValue& v, F f) {
  CVector<double>& c = v.GetComponents();
  for (int i = 1; i <= c.GetSize(); ++i) c(i) = f(c(i));
  v.ClearComponentTexts();
}

void SetScalar(CExpressionValue& v, double x) {
  v = CExpressionValue::Scalar(x);
}

// a b over raw rows (no per-element index checks in the inner loop).
Matrix Product(const Matrix& a, const Matrix& b) {
  const int n = a.GetRows(), m = a.GetColumns(), p = b.GetColumns();
  Matrix r(n, p);
  RequireSize(r, n, p);
  r.Set(0.0);
  for (int i = 1; i <= n; ++i) {
    double* ri = r.Row(i);
    const double* ai = a.Row(i);
    for (int k = 0; k < m; ++k) {
      const double aik = ai[k];
      const double* bk = b.Row(k + 1);
      for (int j = 0; j < p; ++j) ri[j] += aik * bk[j];
    }
  }
  return r;
}

bool IsComponentKind(int kind) {
  return ComponentCount(kind) > 0;
}

bool SameShape(const Matrix& a, const Matrix& b) {
  return a.GetRows() == b.GetRows() && a.GetColumns() == b.GetColumns();
}

}  // namespace

int TruncateToInt(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 2147483647.0) return INT_MAX;
  if (x <= -2147483648.0) return INT_MIN;
  return static_cast<int>(x);
}

int AddValues(CExpressionValue& l, CExpressionValue& r, bool subtract) {
  const double sign = subtract ? -1.0 : 1.0;
  if (l.IsScalar() && r.IsScalar()) {
    SetScalar(l, l.GetScalar() + sign * r.GetScalar());
    return kExprOk;
  }
  if (IsComponentKind(l.GetKind()) && l.GetKind() == r.GetKind()) {
    CVector<double>& a = l.GetComponents();
    const CVector<double>& b = r.GetComponents();
    for (int i = 1; i <= a.GetSize(); ++i) a(i) += sign * b(i);
    l.ClearComponentTexts();
    return kExprOk;
  }
  if (l.IsMatrix() && r.IsScalar()) {
    const double s = sign * r.GetScalar();
    MapMatrix(l, l, [s](double e) { return e + s; });
    return kExprOk;
  }
  if (l.IsScalar() && r.IsMatrix()) {
    const double s = l.GetScalar();
    if (subtract)
      MapMatrix(l, r, [s](double e) { return s - e; });
    else
      MapMatrix(l, r, [s](double e) { return s + e; });
    return kExprOk;
  }
  if (l.IsMatrix() && r.IsMatrix()) {
    if (!SameShape(l.GetMatrix(), r.GetMatrix())) return kExprIncompatible;
    if (subtract)
      ZipMatrix(l, r, [](double a, double b) { return a - b; });
    else
      ZipMatrix(l, r, [](double a, double b) { return a + b; });
    return kExprOk;
  }
  return kExprIncompatible;
}

int MultiplyValues(CExpressionValue& l, CExpressionValue& r, CWorkBudget& budget) {
  const int lk = l.GetKind(), rk = r.GetKind();
  if (l.IsScalar() && r.IsScalar()) {
    SetScalar(l, l.GetScalar() * r.GetScalar());
    return kExprOk;
  }
  if (l.IsScalar() && IsComponentKind(rk)) {
    const double s = l.GetScalar();
    l = std::move(r);
    MapComponents(l, [s](double c) { return c * s; });
    return kExprOk;
  }
  if (IsComponentKind(lk) && r.IsScalar()) {
    const double s = r.GetScalar();
    MapComponents(l, [s](double c) { return c * s; });
    return kExprOk;
  }
  if ((lk == kKindVector || lk == kKindVector2d) && lk == rk) {
    SetScalar(l, l.GetComponents() * r.GetComponents());
    return kExprOk;
  }
  if (l.IsMatrix() && r.IsScalar()) {
    const double s = r.GetScalar();
    MapMatrix(l, l, [s](double e) { return e * s; });
    return kExprOk;
  }
  if (l.IsScalar() && r.IsMatrix()) {
    const double s = l.GetScalar();
    MapMatrix(l, r, [s](double e) { return s * e; });
    return kExprOk;
  }
  if (l.IsMatrix() && r.IsMatrix()) {
    const Matrix& a = l.GetMatrix();
    const Matrix& b = r.GetMatrix();
    if (a.GetColumns() != b.GetRows()) return kExprIncompatible;
    const double rows = a.GetRows(), inner = a.GetColumns(), cols = b.GetColumns();
    if (rows * cols > static_cast<double>(kMaxMatrixElements) || !budget.Spend(rows * inner * cols))
      return kExprIncompatible;
    l = CExpressionValue::FromMatrix(Product(a, b));
    return kExprOk;
  }
  return kExprIncompatible;
}

int DivideValues(CExpressionValue& l, const CExpressionValue& r) {
  if (!r.IsScalar()) return kExprIncompatible;
  const double d = r.GetScalar();
  if (l.IsScalar()) {
    if (d == 0.0) return kExprDivideByZero;
    SetScalar(l, l.GetScalar() / d);
    return kExprOk;
  }
  if (IsComponentKind(l.GetKind()) || l.IsMatrix()) {
    if (d == 0.0) return kExprDivideByZero;
    const double s = 1.0 / d;
    if (l.IsMatrix())
      MapMatrix(l, l, [s](double e) { return e * s; });
    else
      MapComponents(l, [s](double c) { return c * s; });
    return kExprOk;
  }
  return kExprIncompatible;
}

int RemainderValues(CExpressionValue& l, const CExpressionValue& r) {
  if (!l.IsScalar() || !r.IsScalar()) return kExprIncompatible;
  const int a = TruncateToInt(l.GetScalar());
  const int b = TruncateToInt(r.GetScalar());
  if (b == 0) return kExprDivideByZero;
  SetScalar(l, b == -1 ? 0.0 : static_cast<double>(a % b));
  return kExprOk;
}

int CrossValues(CExpressionValue& l, const CExpressionValue& r) {
  const int lk = l.GetKind(), rk = r.GetKind();
  if (lk == kKindVector && rk == kKindVector) {
    const CVector<double>& a = l.GetComponents();
    const CVector<double>& b = r.GetComponents();
    l = CExpressionValue::Components(kKindVector, a(2) * b(3) - a(3) * b(2),
                                     a(3) * b(1) - a(1) * b(3), a(1) * b(2) - a(2) * b(1));
    return kExprOk;
  }
  if (lk == kKindVector2d && rk == kKindVector2d) {
    // The plane vectors' cross product points out of the plane.
    const CVector<double>& a = l.GetComponents();
    const CVector<double>& b = r.GetComponents();
    l = CExpressionValue::Components(kKindVector, 0.0, 0.0, a(1) * b(2) - a(2) * b(1));
    return kExprOk;
  }
  return kExprIncompatible;
}

int PowerValues(CExpressionValue& l, const CExpressionValue& r) {
  if (!l.IsScalar() || !r.IsScalar()) return kExprIncompatible;
  // A negative base has no real power with a non-integer exponent.
  if (l.GetScalar() < 0.0 && r.GetScalar() != std::trunc(r.GetScalar())) return kExprDomain;
  SetScalar(l, std::pow(l.GetScalar(), r.GetScalar()));
  return kExprOk;
}

void NegateValue(CExpressionValue& v) {
  if (v.IsMatrix()) {
    MapMatrix(v, v, [](double e) { return -e; });
  } else if (IsComponentKind(v.GetKind())) {
    MapComponents(v, [](double c) { return -c; });
  } else {
    SetScalar(v, -v.GetScalar());
  }
}

}  // namespace olm
