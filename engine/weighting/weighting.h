// Distance weighting: the estimate as a weighted mean of the values at the
// nearest data points, with the weight a function of the distance.
#pragma once

#include "estimation/data_points.h"
#include "estimation/method_numbers.h"
#include "estimation/neighbours.h"

namespace mornax {

// The weight of a neighbour at distance d (already non-zero) under `scheme`,
// before normalisation; dmax is the distance of the farthest neighbour.
//   1: 1/d   2: ((1 - r)/r)^2, r = d/(1.1 dmax)   3: exp(-alpha d)
//   4: 1/d^2   5: exp(-alpha d^2)/(d^2 + eps)   6: exp(-1/d^2)/(d^2 + eps)
double DistanceWeight(int scheme, double d, double dmax);

// The estimate at (x0, y0) from the `nearest` nearest data points (the
// exclusion value 9.0e20; `excluded` is the 0-based index left out, -1 for
// none). The normalised weights are left in workspace.neighbours.work1, which
// must hold `nearest` entries; `nearest` must not exceed the neighbour
// arrays' length. Where the weights cannot be formed in floating point (all
// underflow, or scheme 2 with every neighbour on the point itself) they are
// formed relative to the largest one, which gives the same normalised
// weights without the zero sum.
double WeightedEstimate(const DataSet& data, int nearest, int scheme, int excluded, double x0,
                        double y0, EstimateWorkspace& workspace);

}  // namespace mornax
