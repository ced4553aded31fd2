// The model values of Bayesian estimation: the semivariogram of one parameter
// set (models 1-5) or the correlation of the k_Rho model (model 6).
#pragma once

#include "models/model_numbers.h"

namespace mornax {

// Every model number outside 2 to 6 is evaluated as the polynomial model.

// One model with one parameter set: c, a, c0 and the sill for models 1-5;
// k, rho and lagD for the k_Rho model.
struct BayesModel {
  int model = 0;
  double c = 0.0;
  double a = 0.0;
  double c0 = 0.0;
  double sill = 0.0;
  double k = 0.0;
  double rho = 0.0;
  double lagD = 0.0;
};

// The model's value for the distance between (x1, y1) and (x2, y2): the
// semivariogram (0 at distance 0) for models 1-5, the correlation
// k / (1 + k) * rho^(h / lagD) for model 6. A negative value becomes 0.
double BayesGamma(double x1, double x2, double y1, double y2, const BayesModel& model);

}  // namespace mornax
