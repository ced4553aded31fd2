// Gaussian elimination with partial pivoting for the kriging system, and the
// solution of a right-hand side with the factors. Matrices are column-major
// with a leading dimension: element (i, j), 1-based, at a[(j-1)*ld + (i-1)].
#pragma once

#include "core/messages.h"

namespace mornax {

// Factorises the leading n x n block of `a` in place. At step k the pivot row
// is the first row from k on with the largest |a(i, k)|; it is swapped with
// row k across the remaining columns, the negated multipliers are stored
// below the diagonal, and its number (1-based, held as a double because the
// run's work vectors are double) is stored in pivot[k-1]. A column with a
// zero pivot is left without elimination.
void LuDecompose(int ld, int n, double* a, double* pivot);

// Overwrites b(1..n) with the solution of the factorised system. Each zero
// divisor met on the diagonal from row n down to row 2 writes the line
// " DIVIDE BY ZERO in SOLV" to the engine's standard output; the division is
// made all the same. Returns the number of zero diagonal elements (row 1
// included), so that the caller can tell a singular system.
int SOLV(Messages& messages, int ld, int n, const double* a, double* b, const double* pivot);

}  // namespace mornax
