// Inversion of the small dense systems of Bayesian estimation: an LU
// factorisation by Crout's method with implicitly scaled partial pivoting, the
// solution with its factors, and the inversion built on both. Matrices are
// column-major with a leading dimension (element (i, j), 1-based, at
// a[(j - 1) * lda + (i - 1)]). The caller provides every array; nothing is
// allocated. Each routine returns its status: 0 success, 1 failure.
#pragma once

#include "core/messages.h"

namespace mornax {

// B := A^-1 for the leading n x n blocks. A is overwritten by its LU factors
// and wk(1..n) by the pivot record. On failure the abnormal-exit message of
// the factorisation (if it failed) is followed by the one of this routine,
// and B holds the identity. Invalid n, lda or ldb (arguments 1-3) show the
// argument message and leave A and B untouched.
[[nodiscard]] int AIRM(Messages& messages, int n, int lda, int ldb, double* a, double* b,
                       double* wk);

// P A = L U in place: L in the lower triangle with the diagonal, U in the
// strict upper triangle (unit diagonal, not stored). wk(k) receives, as a
// double, the row exchanged with row k at step k. Fails (with the
// abnormal-exit message) on a zero row or when the largest scaled pivot
// candidate is below 8 * tol. Invalid n or lda (arguments 1, 2) show the
// argument message and leave A untouched.
[[nodiscard]] int LUDU(Messages& messages, int n, int lda, double tol, double* a, double* wk);

// B := solution of (factored A) X = B for nrhs columns, using the factors and
// pivot record of LUDU. Shows no message of its own: a failure (invalid
// sizes or a pivot record outside 1..n, found before B is touched) is left to
// the caller to report.
[[nodiscard]] int LUSolve(Messages& messages, int n, int lda, int ldb, int nrhs, const double* a,
                          double* b, const double* wk);

}  // namespace mornax
