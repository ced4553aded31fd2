// Anisotropic and nested semivariogram models: the metric the neighbour
// search measures in, and the structures of a model each measured in its own
// metric. The data and estimation points of an anisotropic run are mapped
// into the search metric once; a structure whose metric is the search metric
// then takes the mapped separation as it is, any other maps it again.
#pragma once

#include <array>
#include <cstddef>
#include <memory>

#include "api/mornax_arrays.h"
#include "models/anisotropy.h"
#include "models/variogram_models.h"

namespace mornax {

// The map into the search metric of a model: the anisotropy of its structure
// with the largest range among models 2-4 (the first of equal ranges; the
// first structure when none is of models 2-4).
LinearMap SearchMap(const api::Variogram& v);

// A further structure, with the map from the search metric to its own.
struct FurtherStructure {
  int model = kSphericalModel;
  double c = 0.0;
  double a = 0.0;
  LinearMap map{};
};

// What a model needs beyond its first structure's formula.
struct ModelGeometry {
  LinearMap first{};  // search metric -> the first structure's metric
  std::array<FurtherStructure, api::kMaxFurtherStructures> further{};
  std::size_t furtherCount = 0;
  double furtherSill = 0.0;  // the c of the further structures of models 2-4
};

// The geometry of `v` relative to the search map `search`; null when the model
// is its first structure measured in the search metric (the single-structure
// formulas on mapped coordinates are then the whole model).
std::shared_ptr<const ModelGeometry> GeometryOf(const api::Variogram& v, const LinearMap& search);

// One further structure's term at its own distance h (0 at h = 0).
double StructureValue(const FurtherStructure& s, double h);

// The length of (dx, dy) after `map`.
inline double MappedLength(const LinearMap& map, double dx, double dy) {
  double u = 0.0;
  double v = 0.0;
  map.Apply(dx, dy, u, v);
  return std::sqrt(u * u + v * v);
}

// Kriging's gamma of a nested model for a separation (dx, dy) in the search
// metric: the first structure by KrigingModelValue, then the further terms;
// cut at 0, and 0 at no separation.
double NestedKrigingGamma(const ModelGeometry& g, const VariogramModel& m, double dx, double dy);

// Bayesian estimation's value likewise (the k_Rho model has no further
// structures: only its metric).
double NestedBayesGamma(const ModelGeometry& g, const BayesModel& m, double dx, double dy);

}  // namespace mornax
