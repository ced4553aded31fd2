#include "kriging/lu_solve.h"

#include <cmath>
#include <cstddef>
#include <string>
#include <utility>

#include "io/fortran_format.h"

namespace mornax {
namespace {

// Column-major access with a leading dimension, 0-based.
template <typename T>
class ColumnMajor {
 public:
  ColumnMajor(T* a, int ld) : a_(a), ld_(static_cast<std::size_t>(ld)) {}
  T& operator()(int i, int j) const {
    return a_[static_cast<std::size_t>(j) * ld_ + static_cast<std::size_t>(i)];
  }

 private:
  T* a_;
  std::size_t ld_;
};

}  // namespace

// The pivot and the elements moved into the pivot row are kept in full double
// precision: rounding them to single precision would move the estimates of a
// drift of order 2 in their fourth digit.
void LuDecompose(int ld, int n, double* a, double* pivot) {
  const auto stride = static_cast<std::size_t>(ld);
  for (int k = 0; k < n - 1; ++k) {
    double* columnK = a + static_cast<std::size_t>(k) * stride;
    int p = k;
    for (int i = k + 1; i < n; ++i) {
      if (std::fabs(columnK[i]) > std::fabs(columnK[p])) p = i;
    }
    pivot[k] = static_cast<double>(p + 1);
    const double t = columnK[p];
    columnK[p] = columnK[k];
    columnK[k] = t;
    if (t == 0.0) continue;
    for (int i = k + 1; i < n; ++i) columnK[i] = -columnK[i] / t;
    for (int j = k + 1; j < n; ++j) {
      double* columnJ = a + static_cast<std::size_t>(j) * stride;
      const double moved = columnJ[p];
      columnJ[p] = columnJ[k];
      columnJ[k] = moved;
      if (moved == 0.0) continue;
      for (int i = k + 1; i < n; ++i) columnJ[i] += columnK[i] * moved;
    }
  }
}

int SOLV(Messages& messages, int ld, int n, const double* a, double* b, const double* pivot) {
  static const std::string kZeroDivisor = io::FreeFormText(" DIVIDE BY ZERO in SOLV");
  const ColumnMajor<const double> m(a, ld);
  for (int k = 0; k < n - 1; ++k) {
    const int p = static_cast<int>(pivot[k]) - 1;
    std::swap(b[p], b[k]);
    const double t = b[k];
    for (int i = k + 1; i < n; ++i) b[i] += m(i, k) * t;
  }
  int zeroDivisors = 0;
  for (int k = n - 1; k >= 1; --k) {
    if (m(k, k) == 0.0) {
      messages.WriteOutput(kZeroDivisor);
      ++zeroDivisors;
    }
    b[k] /= m(k, k);
    const double t = -b[k];
    for (int i = 0; i < k; ++i) b[i] += m(i, k) * t;
  }
  if (n >= 1) {
    if (m(0, 0) == 0.0) ++zeroDivisors;
    b[0] /= m(0, 0);
  }
  return zeroDivisors;
}

}  // namespace mornax
