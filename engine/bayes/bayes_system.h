// The linear system of one Bayesian estimate: the nearest data points of the
// estimation point with their guesses, and for one parameter set the matrix
// between the neighbours and the right-hand side towards the point.
#pragma once

#include <span>

#include "estimation/data_points.h"
#include "estimation/neighbours.h"
#include "models/variogram_models.h"

namespace mornax {

// The guesses of the selected neighbours (GN) live in the first work vector.
inline std::span<double> NeighbourGuesses(NeighbourArrays& neighbours) {
  return std::span<double>(neighbours.work1.data);
}

// Selects the `count` nearest data points of (x0, y0), the point `excluded`
// (0-based; -1 for none) left out, into the neighbour x, y, value and index
// arrays, nearest first, and their guesses into NeighbourGuesses. Returns the
// window shift, the mean of guess - value over the neighbours; with
// `shiftGuesses` (Mean Window scaling) the neighbour guesses are lowered by it.
// Needs data with guesses, 1 <= count <= data.count and arrays of at least
// `count` entries.
double SelectBayesNeighbours(const DataSet& data, double x0, double y0, int excluded, int count,
                             bool shiftGuesses, EstimateWorkspace& workspace);

// Fills the leading count x count block of `matrix` (column-major, leading
// dimension `ld`) and rhs[0, count) for the selected neighbours and one
// parameter set: covariances sill - gamma with the sill on the diagonal for
// models 1-5, correlations with 1 on the diagonal for the k_Rho model.
void FillBayesSystem(const BayesModel& model, const NeighbourArrays& neighbours, int count,
                     double x0, double y0, std::span<double> matrix, int ld, std::span<double> rhs);

// The neighbour selection followed by the system of one parameter set.
// Selecting again for a second parameter set gives the same neighbours and
// shift, so a caller fills the second system with FillBayesSystem alone.
double BayesSystem(const DataSet& data, double x0, double y0, int excluded, int count,
                   bool shiftGuesses, const BayesModel& model, std::span<double> matrix, int ld,
                   std::span<double> rhs, EstimateWorkspace& workspace);

}  // namespace mornax
