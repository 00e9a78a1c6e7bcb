#pragma once
// Numeric methods behind the calculator's functions: Gauss-Legendre
// quadrature, the five-point derivative, Newton's root finder, the roots of
// quadratics and cubics, Doolittle's LU factorization with its solve and
// determinant, the rotation (Jacobi) method for eigenvalues, and the combined
// random generator.  None of them keeps state between calls; every loop has a
// fixed bound.
#include <cstdint>
#include <functional>
#include <vector>

#include "numerics/Containers.hpp"

namespace olm {

// f(x) into fx; false when f cannot be evaluated there.
using RealFunction = std::function<bool(double x, double& fx)>;

// Nodes and weights of the Gauss-Legendre rules of orders 1 to 8 on [-1, 1].
class CGaussLegendre {
 public:
  static constexpr int kMaxOrder = 8;
  // The tables, built once.
  static const CGaussLegendre& Instance();
  // Node i (1 to n) and weight i of the n-point rule.
  double Node(int n, int i) const { return m_nodes[n][i - 1]; }
  double Weight(int n, int i) const { return m_weights[n][i - 1]; }

 private:
  CGaussLegendre();
  double m_nodes[kMaxOrder + 1][kMaxOrder] = {};
  double m_weights[kMaxOrder + 1][kMaxOrder] = {};
};

// Definite integral of f over [a, b] by Gauss-Legendre rules of rising order
// 1, 2, ... 8: stops at the first order n >= 2 whose value differs from the
// previous order's by at most 1e-6.  False when that never happens (result
// then holds order 8's value), when f fails or a value is not finite (result
// 0.0).
bool IntegrateGaussLegendre(const RealFunction& f, double a, double b, double& result);

// Five-point central difference with h = max(0.001, 0.001 |x|).
bool DifferentiateFivePoint(const RealFunction& f, double x, double& derivative);

enum class RootResult { kFound, kEvaluationFailed, kFlatDerivative, kNoConvergence };

// Newton's method from x0: at most 20 iterations, derivative by the
// five-point difference; a derivative below 1e-13 in magnitude stops; a step
// of at most 0.001 gives the root.
RootResult NewtonRoot(const RealFunction& f, double x0, double& root);

// Real roots of a x^2 + b x + c: two for a != 0 and a non-negative
// discriminant ((-b + sqrt d) / 2a first), -c/b twice for a = 0 and b != 0;
// otherwise none (false).
bool QuadraticRoots(double a, double b, double c, double& r1, double& r2);

// Real roots of a x^3 + b x^2 + c x + d in ascending order: three (counted
// with multiplicity) by the trigonometric method, or one by Cardano's
// formula.  For a = 0 the roots of the quadratic; none gives an empty list.
std::vector<double> CubicRoots(double a, double b, double c, double d);

// Factorizes the square matrix a in place by Doolittle's method without
// pivoting, column by column: the unit lower triangle L below the diagonal,
// U on and above it.  Stops and returns false at a pivot below 1e-6 in
// absolute value.
bool FactorizeDoolittle(CMatrix<double>& a);

// Solves a x = b for every column of b (a square, b with a's row count).
// False when the factorization stops at a small pivot.
bool SolveDoolittle(const CMatrix<double>& a, const CMatrix<double>& b, CMatrix<double>& x);

// Determinant of a square matrix: the product of U's diagonal of the
// Doolittle factorization; when that stops at a small pivot, elimination with
// partial pivoting gives it instead (so a singular matrix gives 0 and a
// permutation its sign).
double Determinant(const CMatrix<double>& a);

// Eigenvalues and eigenvectors of a symmetric matrix of order n by cyclic
// Jacobi rotations: at most 40 sweeps, converged when the off-diagonal norm is
// at most 1e-6 times the matrix norm.  out becomes (n + 1) x n: row 1 the
// eigenvalues in descending order, row i + 1 the unit eigenvector of the i-th
// (its first clearly non-zero component positive).  False for a matrix that
// is not square, not symmetric, or does not converge.
bool SymmetricEigen(const CMatrix<double>& a, CMatrix<double>& out);

// L'Ecuyer's combined linear congruential generator (multipliers 40014 and
// 40692, moduli 2147483563 and 2147483399) with a 32-entry Bays-Durham
// shuffle.  A fixed seed makes the sequence repeat from run to run.
class CCombinedRandom {
 public:
  static constexpr std::int32_t kDefaultSeed = 1;
  explicit CCombinedRandom(std::int32_t seed = kDefaultSeed) { Seed(seed); }
  void Seed(std::int32_t seed);
  // Uniform deviate in (0, 0.99999988].
  double Next();

 private:
  static constexpr int kTableSize = 32;
  std::int64_t m_state1 = 0;
  std::int64_t m_state2 = 0;
  std::int64_t m_last = 0;
  std::int64_t m_table[kTableSize] = {};
};

}  // namespace olm
