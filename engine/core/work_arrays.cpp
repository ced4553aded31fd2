#include "core/work_arrays.h"

#include <functional>
#include <initializer_list>
#include <new>
#include <stdexcept>
#include <string_view>

namespace mornax {
namespace {

constexpr std::string_view kAllocationError = " Allocation Error, not enough memory";

constexpr int kRequestFailed = 1;
constexpr int kAlreadyAllocated = 2;

}  // namespace

// Requests one array; returns 0 on success, a nonzero status otherwise.
template <typename T>
int WorkArrays::Request(WorkArray<T>& array, std::int64_t length) {
  if (array.allocated) return kAlreadyAllocated;
  if (length < 0) return kRequestFailed;
  const auto count = static_cast<std::size_t>(length);
  if (elementLimit && elementsInUse_ + count > *elementLimit) return kRequestFailed;
  try {
    array.data.assign(count, T{});
  } catch (const std::bad_alloc&) {
    return kRequestFailed;
  } catch (const std::length_error&) {
    return kRequestFailed;
  }
  array.allocated = true;
  elementsInUse_ += count;
  return 0;
}

namespace {

// A batch stops at its first failed request; the caller skips later batches.
template <typename Fn>
int RunBatch(std::initializer_list<Fn> requests) {
  for (const auto& request : requests) {
    if (int status = request(); status != 0) return status;
  }
  return 0;
}

int Report(Messages& messages, int batchStatus) {
  if (batchStatus != 0) {
    ErrorMessage(messages, static_cast<int>(kAllocationError.size()), kAllocationError, 0, 0,
                 api::MessageCode::kAllocation);
    return 0;
  }
  return 1;
}

}  // namespace

int WorkArrays::AllocPointArrays(Messages& messages, std::int32_t n) {
  using R = std::function<int()>;
  auto& p = points;
  const int status =
      RunBatch<R>({[&] { return Request(p.y, n); }, [&] { return Request(p.value, n); },
                   [&] { return Request(p.distance, n); }, [&] { return Request(p.fifth, n); },
                   [&] { return Request(p.x, n); }});
  return Report(messages, status);
}

int WorkArrays::AllocLagArrays(Messages& messages, std::int32_t lagCapacity) {
  using R = std::function<int()>;
  auto& l = lags;
  const int status = RunBatch<R>({[&] { return Request(l.lag2, lagCapacity); },
                                  [&] { return Request(l.lag3, lagCapacity); },
                                  [&] { return Request(l.lag1, lagCapacity); }});
  return Report(messages, status);
}

int WorkArrays::AllocFitArrays(Messages& messages, std::int32_t fitWorkSize) {
  using R = std::function<int()>;
  auto& f = fit;
  int status =
      RunBatch<R>({[&] { return Request(f.matrix1, 15); }, [&] { return Request(f.matrix2, 15); },
                   [&] { return Request(f.work, fitWorkSize); }});
  if (status == 0) status = RunBatch<R>({[&] { return Request(f.vector3, 3); }});
  return Report(messages, status);
}

int WorkArrays::AllocNeighbourArrays(Messages& messages, std::int32_t m) {
  using R = std::function<int()>;
  auto& a = neighbours;
  const std::int64_t square = static_cast<std::int64_t>(m) * m;
  int status = RunBatch<R>({[&] { return Request(a.y, m); }, [&] { return Request(a.value, m); },
                            [&] { return Request(a.index, m); }, [&] { return Request(a.x, m); }});
  if (status == 0) {
    status =
        RunBatch<R>({[&] { return Request(a.work1, m); }, [&] { return Request(a.work2, m); }});
  }
  if (status == 0) {
    status =
        RunBatch<R>({[&] { return Request(a.work3, m); }, [&] { return Request(a.work4, m); },
                     [&] { return Request(a.work5, m); }, [&] { return Request(a.work6, m); }});
  }
  if (status == 0) {
    status = RunBatch<R>(
        {[&] { return Request(a.matrix1, square); }, [&] { return Request(a.matrix2, square); },
         [&] { return Request(a.matrix3, square); }, [&] { return Request(a.matrix4, square); }});
  }
  return Report(messages, status);
}

int WorkArrays::AllocTrendArrays(Messages& messages, std::int32_t t) {
  using R = std::function<int()>;
  const int status = RunBatch<R>({[&] { return Request(trend.coefficients, t); }});
  return Report(messages, status);
}

namespace {

template <typename... Arrays>
std::size_t ReleaseAll(Arrays&... arrays) {
  std::size_t released = 0;
  ((released += arrays.size(), arrays.Release()), ...);
  return released;
}

}  // namespace

void WorkArrays::FreePointArrays() {
  auto& p = points;
  elementsInUse_ -= ReleaseAll(p.y, p.value, p.distance, p.fifth, p.x);
}

void WorkArrays::FreeLagArrays() {
  elementsInUse_ -= ReleaseAll(lags.lag2, lags.lag3, lags.lag1);
}

void WorkArrays::FreeFitArrays() {
  elementsInUse_ -= ReleaseAll(fit.matrix1, fit.matrix2, fit.work, fit.vector3);
}

void WorkArrays::FreeNeighbourArrays() {
  auto& a = neighbours;
  elementsInUse_ -= ReleaseAll(a.y, a.value, a.index, a.x, a.work1, a.work2, a.work3, a.work4,
                               a.work5, a.work6, a.matrix1, a.matrix2, a.matrix3, a.matrix4);
}

void WorkArrays::FreeTrendArrays() {
  elementsInUse_ -= ReleaseAll(trend.coefficients);
}

void WorkArrays::FreeAll() {
  FreePointArrays();
  FreeLagArrays();
  FreeFitArrays();
  FreeNeighbourArrays();
  FreeTrendArrays();
}

bool WorkArrays::AllReleased() const {
  const auto& p = points;
  const auto& a = neighbours;
  for (bool allocated :
       {p.y.allocated,         p.value.allocated,   p.distance.allocated,
        p.fifth.allocated,     p.x.allocated,       lags.lag1.allocated,
        lags.lag2.allocated,   lags.lag3.allocated, fit.matrix1.allocated,
        fit.matrix2.allocated, fit.work.allocated,  fit.vector3.allocated,
        a.y.allocated,         a.value.allocated,   a.index.allocated,
        a.x.allocated,         a.work1.allocated,   a.work2.allocated,
        a.work3.allocated,     a.work4.allocated,   a.work5.allocated,
        a.work6.allocated,     a.matrix1.allocated, a.matrix2.allocated,
        a.matrix3.allocated,   a.matrix4.allocated, trend.coefficients.allocated}) {
    if (allocated) return false;
  }
  return true;
}

}  // namespace mornax
