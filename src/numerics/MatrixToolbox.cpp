#include "numerics/MatrixToolbox.hpp"

#include <cmath>
#include <vector>

namespace olm {

bool QR(const CMatrix<double>& A, CMatrix<double>& Q, CMatrix<double>& R) {
  const int m = A.GetRows();
  const int n = A.GetColumns();
  if (m < n || m < 1) return false;
  Q.Assign(CMatrix<double>::Identity(m));
  R.Assign(A);
  std::vector<double> v(static_cast<std::size_t>(m) + 1);
  std::vector<double> w(static_cast<std::size_t>(std::max(n, m)) + 1);
  for (int k = 1; k <= n && k <= m - 1; ++k) {
    double alpha = 0.0;
    for (int i = k; i <= m; ++i) {
      v[i] = R(i, k);
      alpha += v[i] * v[i];
    }
    alpha = std::sqrt(alpha);
    if (alpha == 0.0) continue;
    if (v[k] != 0.0) alpha = std::copysign(alpha, v[k]);
    v[k] += alpha;
    const double beta = 1.0 / (alpha * v[k]);
    R(k, k) = -alpha;
    for (int i = k + 1; i <= m; ++i) R(i, k) = 0.0;
    // Trailing block: S := S - v (beta v^T S).
    for (int j = k + 1; j <= n; ++j) {
      double s = 0.0;
      for (int i = k; i <= m; ++i) s += v[i] * R(i, j);
      s *= beta;
      for (int i = k; i <= m; ++i) R(i, j) -= s * v[i];
    }
    // Q := H Q with H = I - beta v v^T (v zero above row k).
    for (int j = 1; j <= m; ++j) {
      double s = 0.0;
      for (int i = k; i <= m; ++i) s += v[i] * Q(i, j);
      s *= beta;
      for (int i = k; i <= m; ++i) Q(i, j) -= s * v[i];
    }
  }
  Q.Transpose();
  return true;
}

}  // namespace olm
