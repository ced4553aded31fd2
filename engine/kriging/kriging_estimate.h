// One kriging estimate: the nearest neighbours of a point, the kriging system
// in semivariogram form with its polynomial drift, its solution, and the
// estimate with its standard error.
#pragma once

#include <memory>
#include <span>

#include "core/messages.h"
#include "estimation/data_points.h"
#include "estimation/neighbours.h"
#include "models/anisotropy.h"
#include "models/nested_model.h"
#include "models/variogram_models.h"

namespace mornax {

struct KrigingParameters {
  // For the spherical, exponential and Gaussian models C is Sill - C0.
  VariogramModel variogram;
  int nearest = 0;     // NN, the number of neighbours
  int driftTerms = 1;  // 1, 3 or 6 for orders 0, 1, 2
  // The data values are natural logarithms; estimate and standard error are
  // returned in data units.
  bool logTransform = false;
  // Leading dimension of the system matrix (the neighbourhood capacity).
  int leadingDimension = 0;
  // The map into the search metric (identity: isotropic); points reach the
  // estimate already mapped.
  LinearMap search{};
  // Further structures or a first structure in a metric of its own; null:
  // `variogram` on the mapped coordinates is the whole model.
  std::shared_ptr<const ModelGeometry> geometry{};
};

struct KrigingResult {
  double estimate = 0.0;
  double standardError = 0.0;
  // The system had no unique solution (or its solution is not finite): the
  // estimate and standard error mean nothing.
  bool singular = false;
};

// The estimate at (x0, y0) from the parameters.nearest nearest data points;
// `excluded` is the 0-based data index left out (error analysis), -1 for
// none. Uses from the workspace the neighbour x, y, value and index arrays,
// the system matrix in matrix4 and, for the right-hand side, its copy and
// the row interchanges, work3, work4 and work5, all sized for
// nearest + driftTerms rows. A zero divisor in the solution writes its line
// to the standard output of `messages`.
KrigingResult KrigingEstimate(Messages& messages, const DataSet& data,
                              const KrigingParameters& parameters, double x0, double y0,
                              int excluded, EstimateWorkspace& workspace);

}  // namespace mornax
