// The Bayesian estimate at one point: the point's guess corrected by a
// weighted sum of the residuals (value - guess) at its nearest data points,
// with the weights and the standard deviation from the system of the two
// covariance models (observations and guesses).
#pragma once

#include "core/messages.h"
#include "estimation/data_points.h"
#include "estimation/neighbours.h"
#include "models/anisotropy.h"
#include "models/variogram_models.h"

namespace mornax {

struct BayesSettings {
  int count = 0;     // nearest points per estimate
  int capacity = 0;  // leading dimension of the neighbourhood matrices
  BayesModel observation;
  BayesModel guess;  // not used by the k_Rho model
  double sigma = 0.0;
  bool logTransform = false;  // values and guesses are logarithms
  bool windowShift = false;   // Mean Window scaling of the neighbour guesses
  // The back-transformed STD differs between error analysis (the exponential
  // of the difference) and interpolation (the difference of the exponentials).
  bool errorAnalysis = false;
  // The map into the search metric of the observations' model (identity:
  // isotropic); points reach the estimate already mapped.
  LinearMap search{};
};

// What is written for one point (back-transformed with the log transform).
struct BayesResult {
  double estimate = 0.0;
  double guess = 0.0;
  double std = 0.0;
  int status = 0;  // the inversion's status; nonzero leaves the rest unset
};

// Estimates at (x0, y0) with guess g0 (scaled, and a logarithm with the log
// transform), the data point `excluded` (0-based; -1 for none) left out.
// Everything it changes lives in the workspace: CO, CG, CS, CI are the
// neighbourhood matrices 1-4; GN, BO, BG, W, WK the work vectors 1, 3-6.
// A singular system shows the inversion's messages and returns its status.
BayesResult EstimateBayes(Messages& messages, const DataSet& data, const BayesSettings& settings,
                          double x0, double y0, double g0, int excluded,
                          EstimateWorkspace& workspace);

}  // namespace mornax
