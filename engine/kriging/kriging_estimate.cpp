#include "kriging/kriging_estimate.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "kriging/kriging_drift.h"
#include "kriging/lu_solve.h"

namespace mornax {
namespace {

// Two places of the selection holding the same data point (more neighbours
// wanted than there are points) make two equal rows of the system.
bool RepeatsANeighbour(std::span<const std::int32_t> index, int count) {
  for (int k = 1; k < count; ++k) {
    for (int l = 0; l < k; ++l) {
      if (index[static_cast<std::size_t>(k)] == index[static_cast<std::size_t>(l)]) return true;
    }
  }
  return false;
}

}  // namespace

KrigingResult KrigingEstimate(Messages& messages, const DataSet& data,
                              const KrigingParameters& parameters, double x0, double y0,
                              int excluded, EstimateWorkspace& workspace) {
  const int nn = parameters.nearest;
  const int nd = parameters.driftTerms;
  const int ns = nn + nd;
  const auto ld = static_cast<std::size_t>(parameters.leadingDimension);
  const auto nnSize = static_cast<std::size_t>(nn);
  NeighbourArrays& nb = workspace.neighbours;

  SelectNearest(data, x0, y0, excluded, nn, kKrigingExclusion, workspace);
  const std::span<const double> xn(nb.x.data);
  const std::span<const double> yn(nb.y.data);
  const std::span<const double> zn(nb.value.data);
  const DriftFrame frame = NeighbourFrame(xn, yn, nn);

  // The system matrix, column-major: A(k, l) at a[l * ld + k].
  double* a = nb.matrix4.data.data();
  double* b = nb.work3.data.data();
  double* b0 = nb.work4.data.data();
  double* pivot = nb.work5.data.data();
  const VariogramModel& model = parameters.variogram;
  const ModelGeometry* geometry = parameters.geometry.get();
  auto variogram = [&model, geometry](double x1, double x2, double y1, double y2) {
    return geometry == nullptr ? KrigingVariogram(x1, x2, y1, y2, model)
                               : NestedKrigingGamma(*geometry, model, x1 - x2, y1 - y2);
  };
  for (std::size_t k = 0; k < nnSize; ++k) {
    a[k * ld + k] = 0.0;
    for (std::size_t l = 0; l < k; ++l) {
      const double gamma = variogram(xn[k], xn[l], yn[k], yn[l]);
      a[l * ld + k] = gamma;
      a[k * ld + l] = gamma;
    }
  }
  for (std::size_t t = 0; t < static_cast<std::size_t>(nd); ++t) {
    const int ex = kDriftXExponents[t];
    const int ey = kDriftYExponents[t];
    const std::size_t row = nnSize + t;
    for (std::size_t k = 0; k < nnSize; ++k) {
      const double term = DriftTerm(xn[k], yn[k], ex, ey, frame);
      a[row * ld + k] = term;
      a[k * ld + row] = term;
    }
    for (std::size_t u = 0; u < static_cast<std::size_t>(nd); ++u) {
      a[(nnSize + u) * ld + row] = 0.0;
    }
    b[row] = DriftTerm(x0, y0, ex, ey, frame);
  }
  for (std::size_t k = 0; k < nnSize; ++k) {
    b[k] = variogram(xn[k], x0, yn[k], y0);
  }
  const auto nsSize = static_cast<std::size_t>(ns);
  for (std::size_t k = 0; k < nsSize; ++k) b0[k] = b[k];

  // Only a selection that ran out of points repeats one.
  bool singular =
      (workspace.placesRepeat &&
       RepeatsANeighbour(std::span<const std::int32_t>(nb.index.data), nn)) ||
      DriftIsDegenerate(a + nnSize * ld, parameters.leadingDimension, nn, nd, frame.rounding);
  LuDecompose(parameters.leadingDimension, ns, a, pivot);
  singular = SOLV(messages, parameters.leadingDimension, ns, a, b, pivot) > 0 || singular;

  // b holds the weights of the neighbours, then the drift multipliers.
  double estimate = 0.0;
  double weighted = 0.0;
  for (std::size_t k = 0; k < nnSize; ++k) {
    estimate += b[k] * zn[k];
    weighted += b[k] * b0[k];
  }
  double drift = 0.0;
  for (std::size_t k = nnSize; k < nsSize; ++k) drift += b[k] * b0[k];
  double standardError = std::sqrt(std::fabs(weighted + drift));
  if (parameters.logTransform) {
    estimate = std::exp(estimate);
    standardError = std::exp(standardError);
  }
  singular = singular || !std::isfinite(estimate) || !std::isfinite(standardError);
  return KrigingResult{estimate, standardError, singular};
}

}  // namespace mornax
