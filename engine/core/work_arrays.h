// The engine's work arrays, allocated per run by group and batch, released
// before the run returns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/messages.h"

namespace mornax {

// One array handle: storage plus an allocated flag (a zero-length array is
// still allocated).
template <typename T>
struct WorkArray {
  std::vector<T> data;
  bool allocated = false;

  std::size_t size() const { return data.size(); }
  T* begin() { return data.data(); }
  T* end() { return data.data() + data.size(); }
  T& operator[](std::size_t i) { return data[i]; }
  const T& operator[](std::size_t i) const { return data[i]; }
  void Release() {
    std::vector<T>().swap(data);
    allocated = false;
  }
};

using DoubleArray = WorkArray<double>;
using IndexArray = WorkArray<std::int32_t>;

// Point arrays, n each (allocated in the order y, value, distance, fifth, x).
struct PointArrays {
  DoubleArray y, value, distance, fifth, x;
};

// Lag arrays, L each (allocated in the order lag2, lag3, lag1); passed to the
// semivariogram and fitting routines in the order lag1, lag2, lag3.
struct LagArrays {
  DoubleArray lag2, lag3, lag1;
};

// Fitting arrays: two 3 x 5 matrices, the work vector of w doubles, then (a
// second batch) a vector of 3.
struct FitArrays {
  DoubleArray matrix1, matrix2, work, vector3;
};

// Neighbourhood arrays, m each; the four matrices m x m (column-major).
struct NeighbourArrays {
  DoubleArray y, value;  // batch 1
  IndexArray index;
  DoubleArray x;
  DoubleArray work1, work2;                        // batch 2
  DoubleArray work3, work4, work5, work6;          // batch 3
  DoubleArray matrix1, matrix2, matrix3, matrix4;  // batch 4
};

struct TrendArrays {
  DoubleArray coefficients;
};

class WorkArrays {
 public:
  PointArrays points;
  LagArrays lags;
  FitArrays fit;
  NeighbourArrays neighbours;
  TrendArrays trend;

  // Each routine returns 1 when every array of its group was obtained and 0
  // otherwise (after the message box " Allocation Error, not enough memory").
  int AllocPointArrays(Messages& messages, std::int32_t n);
  int AllocLagArrays(Messages& messages, std::int32_t lagCapacity);
  int AllocFitArrays(Messages& messages, std::int32_t fitWorkSize);
  int AllocNeighbourArrays(Messages& messages, std::int32_t m);
  int AllocTrendArrays(Messages& messages, std::int32_t t);

  void FreePointArrays();
  void FreeLagArrays();
  void FreeFitArrays();
  void FreeNeighbourArrays();
  void FreeTrendArrays();
  void FreeAll();

  // True when no array of any group is allocated.
  bool AllReleased() const;

  // Test hook: the number of elements still obtainable before requests fail;
  // unset means no limit beyond the machine's memory.
  std::optional<std::size_t> elementLimit;

 private:
  template <typename T>
  int Request(WorkArray<T>& array, std::int64_t length);
  std::size_t elementsInUse_ = 0;
};

}  // namespace mornax
