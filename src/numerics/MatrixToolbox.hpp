#pragma once
// Dense linear algebra on CMatrix / CVector of doubles.
#include "numerics/Containers.hpp"

namespace olm {

// Householder QR of an m x n matrix A (m >= n): Q becomes m x m orthogonal,
// R m x n upper triangular, A = Q R.  Returns false (and leaves Q and R
// unchanged) when A has more columns than rows.
bool QR(const CMatrix<double>& A, CMatrix<double>& Q, CMatrix<double>& R);

}  // namespace olm
