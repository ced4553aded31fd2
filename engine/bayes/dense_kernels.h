// Level-2 kernels of the dense solver: a triangular solve and a general
// matrix-vector multiply-add. Matrices are column-major with leading dimension
// `lda` (element (i, j), 1-based, at a[(j - 1) * lda + (i - 1)]). Vectors have
// an increment; for a negative increment the vector is walked from its last
// stored element backwards, and the pointer still addresses the lowest one.
// Both kernels keep the classic loop orders, zero skips and increment paths,
// so their rounding matches the reference level-2 routines bit for bit.
#pragma once

#include "core/messages.h"

namespace mornax {

// x := op(A)^-1 x for an n x n triangular A. uplo 'U' or 'L', trans 'N'
// (A) or 'T'/'C' (A transposed), diag 'U' (unit diagonal, not read) or 'N';
// the letters may be lower case. Returns 0, or the number of the first invalid
// argument (1 uplo, 2 trans, 3 diag, 4 n < 0, 5 lda < max(1, n), 6 incx = 0)
// after showing the argument message; nothing is computed then.
[[nodiscard]] int STLE(Messages& messages, char uplo, char trans, char diag, int n, int lda,
                       int incx, const double* a, double* x);

// y := alpha op(A) x + beta y for an m x n matrix A; trans 'N' (A) or 'T'/'C'
// (A transposed). Returns 0, or the number of the first invalid argument
// (1 trans, 2 m < 0, 3 n < 0, 4 lda < max(1, m), 5 incx = 0, 6 incy = 0)
// after showing the argument message; nothing is computed then.
[[nodiscard]] int MVMA(Messages& messages, char trans, int m, int n, int lda, int incx, int incy,
                       double alpha, double beta, const double* a, const double* x, double* y);

}  // namespace mornax
