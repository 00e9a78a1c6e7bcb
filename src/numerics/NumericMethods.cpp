#include "numerics/NumericMethods.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace olm {

// ---- Gauss-Legendre -------------------------------------------------------

namespace {

// P_n(x) and its derivative by the three-term recurrence.
void Legendre(int n, double x, double& p, double& dp) {
  double p0 = 1.0, p1 = x;
  if (n == 0) {
    p = 1.0;
    dp = 0.0;
    return;
  }
  for (int k = 2; k <= n; ++k) {
    const double pk = ((2.0 * k - 1.0) * x * p1 - (k - 1.0) * p0) / k;
    p0 = p1;
    p1 = pk;
  }
  p = p1;
  dp = n * (x * p1 - p0) / (x * x - 1.0);
}

}  // namespace

CGaussLegendre::CGaussLegendre() {
  m_nodes[1][0] = 0.0;
  m_weights[1][0] = 2.0;
  for (int n = 2; n <= kMaxOrder; ++n) {
    for (int i = 1; i <= n; ++i) {
      // Newton's method on P_n from the usual cosine estimate of the root.
      double x = std::cos(std::numbers::pi * (i - 0.25) / (n + 0.5));
      double p = 0.0, dp = 1.0;
      for (int it = 0; it < 100; ++it) {
        Legendre(n, x, p, dp);
        const double dx = p / dp;
        x -= dx;
        if (std::fabs(dx) < 1e-16) break;
      }
      Legendre(n, x, p, dp);
      m_nodes[n][i - 1] = x;
      m_weights[n][i - 1] = 2.0 / ((1.0 - x * x) * dp * dp);
    }
  }
}

const CGaussLegendre& CGaussLegendre::Instance() {
  static const CGaussLegendre table;
  return table;
}

bool IntegrateGaussLegendre(const RealFunction& f, double a, double b, double& result) {
  const CGaussLegendre& gl = CGaussLegendre::Instance();
  result = 0.0;
  double previous = 0.0;
  for (int n = 1; n <= CGaussLegendre::kMaxOrder; ++n) {
    double sum = 0.0;
    for (int i = 1; i <= n; ++i) {
      const double t = gl.Node(n, i);
      double fx = 0.0;
      if (!f(((1.0 - t) * a + (1.0 + t) * b) / 2.0, fx)) {
        result = 0.0;
        return false;
      }
      sum += gl.Weight(n, i) * fx;
    }
    const double value = sum * (b - a) / 2.0;
    if (!std::isfinite(value)) {
      result = 0.0;
      return false;
    }
    if (n >= 2 && std::fabs(value - previous) <= 1e-6) {
      result = value;
      return true;
    }
    previous = value;
    result = value;
  }
  // The stopping rule was not met at the highest order: the last value is
  // not trustworthy (it is left in result, but reported as a failure).
  return false;
}

// ---- Derivative and Newton --------------------------------------------------

bool DifferentiateFivePoint(const RealFunction& f, double x, double& derivative) {
  const double h = std::max(0.001, 0.001 * std::fabs(x));
  double fm2, fm1, fp1, fp2;
  if (!f(x - 2 * h, fm2) || !f(x - h, fm1) || !f(x + h, fp1) || !f(x + 2 * h, fp2)) return false;
  derivative = (fm2 - 8.0 * fm1 + 8.0 * fp1 - fp2) / (12.0 * h);
  return true;
}

RootResult NewtonRoot(const RealFunction& f, double x0, double& root) {
  double x = x0;
  for (int iteration = 0; iteration < 20; ++iteration) {
    double fx = 0.0, dfx = 0.0;
    if (!f(x, fx) || !DifferentiateFivePoint(f, x, dfx)) return RootResult::kEvaluationFailed;
    if (!(std::fabs(dfx) >= 1e-13)) return RootResult::kFlatDerivative;
    const double step = fx / dfx;
    x -= step;
    if (std::fabs(step) <= 0.001) {
      root = x;
      return RootResult::kFound;
    }
  }
  return RootResult::kNoConvergence;
}

// ---- Polynomial roots -------------------------------------------------------

bool QuadraticRoots(double a, double b, double c, double& r1, double& r2) {
  if (a != 0.0) {
    const double d = b * b - 4.0 * a * c;
    if (!(d >= 0.0)) return false;
    r1 = (-b + std::sqrt(d)) / (2.0 * a);
    r2 = (-b - std::sqrt(d)) / (2.0 * a);
    return true;
  }
  if (b != 0.0) {
    r1 = r2 = -c / b;
    return true;
  }
  return false;
}

std::vector<double> CubicRoots(double a, double b, double c, double d) {
  std::vector<double> roots;
  if (a == 0.0) {
    double r1, r2;
    if (QuadraticRoots(b, c, d, r1, r2)) roots = {std::min(r1, r2), std::max(r1, r2)};
    return roots;
  }
  // Depressed cubic t^3 + p t + q with x = t - A/3.
  const double A = b / a, B = c / a, C = d / a;
  const double shift = A / 3.0;
  const double p = B - A * A / 3.0;
  const double q = 2.0 * A * A * A / 27.0 - A * B / 3.0 + C;
  const double halfQ2 = (q / 2.0) * (q / 2.0);
  const double thirdP3 = (p / 3.0) * (p / 3.0) * (p / 3.0);
  const double disc = halfQ2 + thirdP3;
  // Rounding can leave a tiny positive discriminant for a double root.
  const double scale = halfQ2 + std::fabs(thirdP3);
  if (p < 0.0 && disc <= 1e-12 * scale) {
    const double m = 2.0 * std::sqrt(-p / 3.0);
    const double arg = std::clamp(3.0 * q / (p * m), -1.0, 1.0);
    const double phi = std::acos(arg) / 3.0;
    for (int k = 0; k < 3; ++k)
      roots.push_back(m * std::cos(phi - 2.0 * std::numbers::pi * k / 3.0) - shift);
  } else if (p == 0.0 && q == 0.0) {
    roots = {-shift, -shift, -shift};
  } else {
    const double s = std::sqrt(std::max(disc, 0.0));
    roots.push_back(std::cbrt(-q / 2.0 + s) + std::cbrt(-q / 2.0 - s) - shift);
  }
  std::sort(roots.begin(), roots.end());
  return roots;
}

// ---- LU, solve, determinant -------------------------------------------------

namespace {

// 1-based access to a matrix's contiguous rows without per-element checks,
// for the inner loops of the O(n^3) methods.
class CView {
 public:
  explicit CView(CMatrix<double>& m)
      : m_data(m.IsEmpty() ? nullptr : m.Row(1)), m_stride(m.GetColumns()) {}
  double& operator()(int i, int j) const {
    return m_data[static_cast<std::size_t>(i - 1) * m_stride + (j - 1)];
  }

 private:
  double* m_data;
  std::size_t m_stride;
};

}  // namespace

bool FactorizeDoolittle(CMatrix<double>& matrix) {
  const int n = matrix.GetRows();
  const CView a(matrix);
  for (int j = 1; j <= n; ++j) {
    for (int i = 1; i <= j; ++i) {
      double s = a(i, j);
      for (int k = 1; k < i; ++k) s -= a(i, k) * a(k, j);
      a(i, j) = s;
    }
    const double pivot = a(j, j);
    if (!(std::fabs(pivot) >= 1e-6)) return false;
    for (int i = j + 1; i <= n; ++i) {
      double s = a(i, j);
      for (int k = 1; k < j; ++k) s -= a(i, k) * a(k, j);
      a(i, j) = s / pivot;
    }
  }
  return true;
}

bool SolveDoolittle(const CMatrix<double>& a, const CMatrix<double>& b, CMatrix<double>& x) {
  const int n = a.GetRows();
  CMatrix<double> factors;
  factors.Assign(a);
  if (!FactorizeDoolittle(factors)) return false;
  const CView lu(factors);
  x.Assign(b);
  const CView xv(x);
  for (int c = 1; c <= b.GetColumns(); ++c) {
    for (int i = 1; i <= n; ++i) {  // L y = b, unit diagonal
      double s = xv(i, c);
      for (int k = 1; k < i; ++k) s -= lu(i, k) * xv(k, c);
      xv(i, c) = s;
    }
    for (int i = n; i >= 1; --i) {  // U x = y
      double s = xv(i, c);
      for (int k = i + 1; k <= n; ++k) s -= lu(i, k) * xv(k, c);
      xv(i, c) = s / lu(i, i);
    }
  }
  return true;
}

double Determinant(const CMatrix<double>& a) {
  const int n = a.GetRows();
  CMatrix<double> factors;
  factors.Assign(a);
  const CView lu(factors);
  if (FactorizeDoolittle(factors)) {
    double det = 1.0;
    for (int i = 1; i <= n; ++i) det *= lu(i, i);
    return det;
  }
  // Elimination with partial pivoting.
  factors.Assign(a);
  double det = 1.0;
  for (int k = 1; k <= n; ++k) {
    int best = k;
    for (int i = k + 1; i <= n; ++i)
      if (std::fabs(lu(i, k)) > std::fabs(lu(best, k))) best = i;
    if (lu(best, k) == 0.0) return 0.0;
    if (best != k) {
      for (int j = 1; j <= n; ++j) std::swap(lu(k, j), lu(best, j));
      det = -det;
    }
    det *= lu(k, k);
    for (int i = k + 1; i <= n; ++i) {
      const double m = lu(i, k) / lu(k, k);
      for (int j = k + 1; j <= n; ++j) lu(i, j) -= m * lu(k, j);
    }
  }
  return det;
}

// ---- Eigen ------------------------------------------------------------------

bool SymmetricEigen(const CMatrix<double>& input, CMatrix<double>& out) {
  const int n = input.GetRows();
  if (n < 1 || input.GetColumns() != n) return false;
  double largest = 0.0;
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) largest = std::max(largest, std::fabs(input(i, j)));
  if (!std::isfinite(largest)) return false;
  for (int i = 1; i <= n; ++i)
    for (int j = i + 1; j <= n; ++j)
      if (std::fabs(input(i, j) - input(j, i)) > 1e-10 * largest) return false;

  CMatrix<double> work;
  work.Assign(input);
  CMatrix<double> vectors = CMatrix<double>::Identity(n);
  const CView a(work), v(vectors);
  double norm = 0.0;
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) norm += a(i, j) * a(i, j);
  norm = std::sqrt(norm);
  auto offDiagonal = [&] {
    double s = 0.0;
    for (int i = 1; i <= n; ++i)
      for (int j = i + 1; j <= n; ++j) s += 2.0 * a(i, j) * a(i, j);
    return std::sqrt(s);
  };

  bool converged = false;
  for (int sweep = 0; sweep <= 40; ++sweep) {
    const double off = offDiagonal();
    if (off == 0.0 || off <= 1e-6 * norm) {
      converged = true;
      break;
    }
    if (sweep == 40) break;
    for (int p = 1; p < n; ++p)
      for (int q = p + 1; q <= n; ++q) {
        const double apq = a(p, q);
        if (apq == 0.0) continue;
        const double theta = (a(q, q) - a(p, p)) / (2.0 * apq);
        double t = std::fabs(theta) > 1e150
                       ? 1.0 / (2.0 * theta)
                       : 1.0 / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
        if (theta < 0.0) t = -t;
        const double c = 1.0 / std::sqrt(t * t + 1.0);
        const double s = t * c;
        a(p, p) -= t * apq;
        a(q, q) += t * apq;
        a(p, q) = a(q, p) = 0.0;
        for (int r = 1; r <= n; ++r) {
          if (r != p && r != q) {
            const double arp = a(r, p), arq = a(r, q);
            a(r, p) = a(p, r) = c * arp - s * arq;
            a(r, q) = a(q, r) = s * arp + c * arq;
          }
          const double vrp = v(r, p), vrq = v(r, q);
          v(r, p) = c * vrp - s * vrq;
          v(r, q) = s * vrp + c * vrq;
        }
      }
  }
  if (!converged) return false;

  std::vector<int> order(n);
  for (int i = 0; i < n; ++i) order[i] = i + 1;
  std::stable_sort(order.begin(), order.end(), [&](int x, int y) { return a(x, x) > a(y, y); });
  out.SetSize(n + 1, n);
  for (int k = 1; k <= n; ++k) {
    const int col = order[k - 1];
    out(1, k) = a(col, col);
    double sign = 1.0;
    for (int r = 1; r <= n; ++r)
      if (std::fabs(v(r, col)) > 1e-12) {
        sign = v(r, col) < 0.0 ? -1.0 : 1.0;
        break;
      }
    for (int r = 1; r <= n; ++r) out(k + 1, r) = sign * v(r, col);
  }
  return true;
}

// ---- Random -------------------------------------------------------------------

namespace {
constexpr std::int64_t kM1 = 2147483563, kM2 = 2147483399;
constexpr std::int64_t kA1 = 40014, kA2 = 40692;
constexpr std::int64_t kQ1 = kM1 / kA1, kR1 = kM1 % kA1;
constexpr std::int64_t kQ2 = kM2 / kA2, kR2 = kM2 % kA2;
constexpr double kScale = 4.656613057391769e-10;
constexpr double kLargest = 0.99999988;

// One step of x -> a x mod m by Schrage's method.
std::int64_t Step(std::int64_t x, std::int64_t a, std::int64_t m, std::int64_t q, std::int64_t r) {
  const std::int64_t k = x / q;
  x = a * (x - k * q) - k * r;
  return x < 0 ? x + m : x;
}
}  // namespace

void CCombinedRandom::Seed(std::int32_t seed) {
  std::int64_t s = seed < 0 ? -static_cast<std::int64_t>(seed) : seed;
  if (s < 1) s = 1;
  m_state1 = m_state2 = s;
  for (int j = kTableSize + 7; j >= 0; --j) {
    m_state1 = Step(m_state1, kA1, kM1, kQ1, kR1);
    if (j < kTableSize) m_table[j] = m_state1;
  }
  m_last = m_table[0];
}

double CCombinedRandom::Next() {
  m_state1 = Step(m_state1, kA1, kM1, kQ1, kR1);
  m_state2 = Step(m_state2, kA2, kM2, kQ2, kR2);
  const std::int64_t divisor = 1 + (kM1 - 1) / kTableSize;
  const int j = static_cast<int>(m_last / divisor);
  m_last = m_table[j] - m_state2;
  m_table[j] = m_state1;
  if (m_last < 1) m_last += kM1 - 1;
  return std::min(kScale * static_cast<double>(m_last), kLargest);
}

}  // namespace olm
