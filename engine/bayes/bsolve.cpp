#include "bayes/bsolve.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "bayes/dense_kernels.h"
#include "bayes/dense_messages.h"

namespace mornax {
namespace {

using Index = std::ptrdiff_t;

// Address of element (i, j), 1-based, of a column-major matrix.
template <typename T>
T* At(T* a, int lda, Index i, Index j) {
  return a + (j - 1) * static_cast<Index>(lda) + (i - 1);
}

// The pivot row recorded for step i, rounded to the nearest integer; 0 when the
// entry cannot be a row of an order-n matrix.
int PivotRow(const double* wk, Index i, int n) {
  const double row = std::trunc(wk[i - 1] + 0.5);
  if (!(row >= 1.0 && row <= static_cast<double>(n))) return 0;
  return static_cast<int>(row);
}

// The factorisation proper; false on a zero row, a pivot below 8 * tol or a
// kernel that refused its arguments.
bool Factor(Messages& messages, int n, int lda, double tol, double* a, double* wk) {
  auto A = [a, lda](Index i, Index j) -> double& { return *At(a, lda, i, j); };
  auto WK = [wk](Index i) -> double& { return wk[i - 1]; };

  // Squared Euclidean norm of each row, summed over the columns in order.
  for (Index i = 1; i <= n; ++i) {
    WK(i) = 0.0;
    for (Index j = 1; j <= n; ++j) WK(i) = WK(i) + A(i, j) * A(i, j);
  }
  // The row scales; a zero row ends the factorisation.
  for (Index i = 1; i <= n; ++i) {
    if (WK(i) <= 0.0) return false;
    WK(i) = 1.0 / std::sqrt(WK(i));
  }
  for (Index k = 1; k <= n; ++k) {
    double pmax = 0.0;
    Index p = k;
    for (Index i = k; i <= n; ++i) {
      const double candidate = std::abs(A(i, k)) * WK(i);
      if (candidate > pmax) {  // strict: the first row wins a tie
        pmax = candidate;
        p = i;
      }
    }
    if (p != k) {
      for (Index j = 1; j <= n; ++j) std::swap(A(k, j), A(p, j));
      WK(p) = WK(k);  // the scale follows its row
    }
    WK(k) = static_cast<double>(p);
    if (8.0 * tol > pmax) return false;
    if (k < n) {
      const int order = static_cast<int>(k);
      // Column k + 1 of U above the diagonal: L(1..k, 1..k) u = A(1..k, k + 1).
      if (STLE(messages, 'L', 'N', 'N', order, lda, 1, a, &A(1, k + 1)) != 0) return false;
      // Column k + 1 of L at and below the diagonal, ready for the next pivot.
      if (MVMA(messages, 'N', n - order, order, lda, 1, 1, -1.0, 1.0, &A(k + 1, 1), &A(1, k + 1),
               &A(k + 1, k + 1)) != 0) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

int LUDU(Messages& messages, int n, int lda, double tol, double* a, double* wk) {
  if (n < 0) {
    ArgumentError(messages, "LUDU", 1);
    return 1;
  }
  if (lda < std::max(1, n)) {
    ArgumentError(messages, "LUDU", 2);
    return 1;
  }
  return ErrorExit(messages, Factor(messages, n, lda, tol, a, wk) ? 0 : 1, "LUDU");
}

int LUSolve(Messages& messages, int n, int lda, int ldb, int nrhs, const double* a, double* b,
            const double* wk) {
  if (n < 0 || nrhs < 0 || lda < std::max(1, n) || ldb < std::max(1, n)) return 1;
  for (Index i = 1; i <= n; ++i) {
    if (PivotRow(wk, i, n) == 0) return 1;
  }
  for (Index i = 1; i <= n; ++i) {
    const Index p = PivotRow(wk, i, n);
    if (p != i) {
      for (Index j = 1; j <= nrhs; ++j) std::swap(*At(b, ldb, i, j), *At(b, ldb, p, j));
    }
  }
  for (Index j = 1; j <= nrhs; ++j) {
    double* column = At(b, ldb, 1, j);
    if (STLE(messages, 'L', 'N', 'N', n, lda, 1, a, column) != 0) return 1;
    if (STLE(messages, 'U', 'N', 'U', n, lda, 1, a, column) != 0) return 1;
  }
  return 0;
}

int AIRM(Messages& messages, int n, int lda, int ldb, double* a, double* b, double* wk) {
  // Machine tolerance of the factorisation, fixed for every call.
  constexpr double kEps = 2.5e-16;

  const int invalid = n < 0 ? 1 : lda < std::max(1, n) ? 2 : ldb < std::max(1, n) ? 3 : 0;
  if (invalid != 0) {
    ArgumentError(messages, "AIRM", invalid);
    return 1;
  }
  for (Index j = 1; j <= n; ++j) {
    for (Index i = 1; i <= n; ++i) *At(b, ldb, i, j) = i == j ? 1.0 : 0.0;
  }
  int info = LUDU(messages, n, lda, kEps, a, wk);
  if (info == 0) info = LUSolve(messages, n, lda, ldb, n, a, b, wk);
  return ErrorExit(messages, info, "AIRM");
}

}  // namespace mornax
