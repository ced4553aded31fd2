// A semivariogram model as the user shapes it: three quantities per model
// (sill, range and nugget for the models that rise to a sill; the fit's own
// B1-B3 for the others), how they become the fit's parameters, how far their
// sliders reach, and the fit's start around them.
#pragma once

#include <array>
#include <span>
#include <string>

#include "semivariogram/fit_start.h"

namespace mornax::gui {

using Triple = std::array<double, 3>;

// The names of the three quantities of `model`: "Sill", "Range", "Nugget"
// for Spherical, Exponential and Gaussian, the fit's labels of B1-B3
// otherwise.
std::array<std::string, 3> ShapeLabels(int model);

// The fit's B1-B3 of the quantities shown, and back. For the models with a
// sill: B1 = sill - nugget, B2 = range, B3 = nugget.
Triple ShapeToB(int model, const Triple& shape);
Triple BToShape(int model, const Triple& b);

// The reach of each quantity's slider, from 0 (or the lowest value the model
// takes) to a few times what the semivariogram shows: the largest class
// distance for a range, the largest semivariance for a sill or nugget. A
// value outside widens its reach.
struct SliderReach {
  Triple low{}, high{};
};
SliderReach ShapeReach(int model, const Triple& shape, double largestDistance,
                       double largestSemivariance);

// The fit's start from the shaped parameters: they are its initial values,
// with bounds around them (a tenth to ten times a positive parameter, a
// nugget from 0 to the sill, a power below 2, rho below 1). `classCount`
// is the classes to fit.
FitStart ShapedFitStart(int model, const Triple& b, double largestSemivariance, int classCount);

}  // namespace mornax::gui

namespace mornax::gui {

// Why the shape is no model to fit or use ("" when it is one): a value that
// is no finite number, a range or scale not above zero, a nugget below zero
// or above the sill, a power outside (0, 2), rho outside (0, 1].
std::string ShapeProblem(int model, const Triple& shape);

}  // namespace mornax::gui
