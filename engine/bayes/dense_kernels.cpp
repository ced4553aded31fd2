#include "bayes/dense_kernels.h"

#include <algorithm>
#include <cstddef>

#include "bayes/dense_messages.h"

namespace mornax {
namespace {

using Index = std::ptrdiff_t;

bool Is(char option, char letter) {
  return option == letter || option == letter + ('a' - 'A');
}

// Column-major view of a matrix with 1-based element access, so that the loops
// below read exactly like their index formulas.
class ColumnMajor {
 public:
  ColumnMajor(const double* a, int lda) : a_(a), lda_(lda) {}
  double operator()(Index i, Index j) const { return a_[(j - 1) * lda_ + (i - 1)]; }

 private:
  const double* a_;
  Index lda_;
};

// 1-based access to a strided vector; `k` is the 1-based position of the
// first logical element among the stored ones.
class Strided {
 public:
  explicit Strided(double* x) : x_(x) {}
  double& operator()(Index k) const { return x_[k - 1]; }

 private:
  double* x_;
};

class ConstStrided {
 public:
  explicit ConstStrided(const double* x) : x_(x) {}
  double operator()(Index k) const { return x_[k - 1]; }

 private:
  const double* x_;
};

// Start position of a vector of `length` elements walked with `inc`.
Index Start(Index length, Index inc) {
  return inc > 0 ? 1 : 1 - (length - 1) * inc;
}

void SolveNoTranspose(bool upper, bool nounit, Index n, const ColumnMajor& A, Index incx, Index kx,
                      const Strided& X) {
  if (upper) {
    if (incx == 1) {
      for (Index j = n; j >= 1; --j) {
        if (X(j) != 0.0) {
          if (nounit) X(j) = X(j) / A(j, j);
          const double temp = X(j);
          for (Index i = j - 1; i >= 1; --i) X(i) = X(i) - temp * A(i, j);
        }
      }
    } else {
      Index jx = kx + (n - 1) * incx;
      for (Index j = n; j >= 1; --j) {
        if (X(jx) != 0.0) {
          if (nounit) X(jx) = X(jx) / A(j, j);
          const double temp = X(jx);
          Index ix = jx;
          for (Index i = j - 1; i >= 1; --i) {
            ix -= incx;
            X(ix) = X(ix) - temp * A(i, j);
          }
        }
        jx -= incx;
      }
    }
  } else {
    if (incx == 1) {
      for (Index j = 1; j <= n; ++j) {
        if (X(j) != 0.0) {
          if (nounit) X(j) = X(j) / A(j, j);
          const double temp = X(j);
          for (Index i = j + 1; i <= n; ++i) X(i) = X(i) - temp * A(i, j);
        }
      }
    } else {
      Index jx = kx;
      for (Index j = 1; j <= n; ++j) {
        if (X(jx) != 0.0) {
          if (nounit) X(jx) = X(jx) / A(j, j);
          const double temp = X(jx);
          Index ix = jx;
          for (Index i = j + 1; i <= n; ++i) {
            ix += incx;
            X(ix) = X(ix) - temp * A(i, j);
          }
        }
        jx += incx;
      }
    }
  }
}

void SolveTranspose(bool upper, bool nounit, Index n, const ColumnMajor& A, Index incx, Index kx,
                    const Strided& X) {
  if (upper) {
    if (incx == 1) {
      for (Index j = 1; j <= n; ++j) {
        double temp = X(j);
        for (Index i = 1; i <= j - 1; ++i) temp = temp - A(i, j) * X(i);
        if (nounit) temp = temp / A(j, j);
        X(j) = temp;
      }
    } else {
      Index jx = kx;
      for (Index j = 1; j <= n; ++j) {
        double temp = X(jx);
        Index ix = kx;
        for (Index i = 1; i <= j - 1; ++i) {
          temp = temp - A(i, j) * X(ix);
          ix += incx;
        }
        if (nounit) temp = temp / A(j, j);
        X(jx) = temp;
        jx += incx;
      }
    }
  } else {
    if (incx == 1) {
      for (Index j = n; j >= 1; --j) {
        double temp = X(j);
        for (Index i = n; i >= j + 1; --i) temp = temp - A(i, j) * X(i);
        if (nounit) temp = temp / A(j, j);
        X(j) = temp;
      }
    } else {
      kx += (n - 1) * incx;
      Index jx = kx;
      for (Index j = n; j >= 1; --j) {
        double temp = X(jx);
        Index ix = kx;
        for (Index i = n; i >= j + 1; --i) {
          temp = temp - A(i, j) * X(ix);
          ix -= incx;
        }
        if (nounit) temp = temp / A(j, j);
        X(jx) = temp;
        jx -= incx;
      }
    }
  }
}

// y := beta y over `leny` elements; zero for beta = 0, untouched for beta = 1.
void ScaleY(double beta, Index leny, Index incy, Index ky, const Strided& Y) {
  if (beta == 1.0) return;
  if (incy == 1) {
    if (beta == 0.0) {
      for (Index i = 1; i <= leny; ++i) Y(i) = 0.0;
    } else {
      for (Index i = 1; i <= leny; ++i) Y(i) = beta * Y(i);
    }
  } else {
    Index iy = ky;
    if (beta == 0.0) {
      for (Index i = 1; i <= leny; ++i) {
        Y(iy) = 0.0;
        iy += incy;
      }
    } else {
      for (Index i = 1; i <= leny; ++i) {
        Y(iy) = beta * Y(iy);
        iy += incy;
      }
    }
  }
}

}  // namespace

int STLE(Messages& messages, char uplo, char trans, char diag, int n, int lda, int incx,
         const double* a, double* x) {
  int invalid = 0;
  if (!Is(uplo, 'U') && !Is(uplo, 'L')) {
    invalid = 1;
  } else if (!Is(trans, 'N') && !Is(trans, 'T') && !Is(trans, 'C')) {
    invalid = 2;
  } else if (!Is(diag, 'U') && !Is(diag, 'N')) {
    invalid = 3;
  } else if (n < 0) {
    invalid = 4;
  } else if (lda < std::max(1, n)) {
    invalid = 5;
  } else if (incx == 0) {
    invalid = 6;
  }
  if (invalid != 0) {
    ArgumentError(messages, "STLE", invalid);
    return invalid;
  }
  if (n == 0) return 0;

  const bool nounit = Is(diag, 'N');
  const bool upper = Is(uplo, 'U');
  const ColumnMajor A(a, lda);
  const Strided X(x);
  const Index kx = Start(n, incx);
  if (Is(trans, 'N')) {
    SolveNoTranspose(upper, nounit, n, A, incx, kx, X);
  } else {
    SolveTranspose(upper, nounit, n, A, incx, kx, X);
  }
  return 0;
}

int MVMA(Messages& messages, char trans, int m, int n, int lda, int incx, int incy, double alpha,
         double beta, const double* a, const double* x, double* y) {
  int invalid = 0;
  if (!Is(trans, 'N') && !Is(trans, 'T') && !Is(trans, 'C')) {
    invalid = 1;
  } else if (m < 0) {
    invalid = 2;
  } else if (n < 0) {
    invalid = 3;
  } else if (lda < std::max(1, m)) {
    invalid = 4;
  } else if (incx == 0) {
    invalid = 5;
  } else if (incy == 0) {
    invalid = 6;
  }
  if (invalid != 0) {
    ArgumentError(messages, "MVMA", invalid);
    return invalid;
  }
  if (m == 0 || n == 0 || (alpha == 0.0 && beta == 1.0)) return 0;

  const bool plain = Is(trans, 'N');
  const Index lenx = plain ? n : m;
  const Index leny = plain ? m : n;
  const Index kx = Start(lenx, incx);
  const Index ky = Start(leny, incy);
  const ColumnMajor A(a, lda);
  const ConstStrided X(x);
  const Strided Y(y);

  ScaleY(beta, leny, incy, ky, Y);
  if (alpha == 0.0) return 0;

  if (plain) {
    // y += (alpha x(j)) A(., j), column by column, skipping zero x(j).
    Index jx = kx;
    if (incy == 1) {
      for (Index j = 1; j <= n; ++j) {
        if (X(jx) != 0.0) {
          const double temp = alpha * X(jx);
          for (Index i = 1; i <= m; ++i) Y(i) = Y(i) + temp * A(i, j);
        }
        jx += incx;
      }
    } else {
      for (Index j = 1; j <= n; ++j) {
        if (X(jx) != 0.0) {
          const double temp = alpha * X(jx);
          Index iy = ky;
          for (Index i = 1; i <= m; ++i) {
            Y(iy) = Y(iy) + temp * A(i, j);
            iy += incy;
          }
        }
        jx += incx;
      }
    }
  } else {
    // y(j) += alpha (A(., j) . x).
    Index jy = ky;
    if (incx == 1) {
      for (Index j = 1; j <= n; ++j) {
        double temp = 0.0;
        for (Index i = 1; i <= m; ++i) temp = temp + A(i, j) * X(i);
        Y(jy) = Y(jy) + alpha * temp;
        jy += incy;
      }
    } else {
      for (Index j = 1; j <= n; ++j) {
        double temp = 0.0;
        Index ix = kx;
        for (Index i = 1; i <= m; ++i) {
          temp = temp + A(i, j) * X(ix);
          ix += incx;
        }
        Y(jy) = Y(jy) + alpha * temp;
        jy += incy;
      }
    }
  }
  return 0;
}

}  // namespace mornax
