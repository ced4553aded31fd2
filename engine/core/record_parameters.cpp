#include "core/record_parameters.h"

namespace mornax {

api::SemivariogramParameters SemivariogramOf(const SvarCopy& svar) {
  api::SemivariogramParameters p;
  p.lagCount = svar.lagCount;
  p.lagDistance = svar.lagDistance;
  p.tolerance = svar.tolerance;
  p.direction = svar.direction;
  p.logTransform = svar.logTransform != 0;
  p.subtract = svar.subtract == 1;
  return p;
}

api::FitParameters FitOf(const FvarCopy& fvar, int lagCount) {
  api::FitParameters p;
  p.model = fvar.model;
  p.initial = fvar.initial;
  p.minimum = fvar.minimum;
  p.maximum = fvar.maximum;
  p.bestFit = fvar.bestFit == 1;
  p.classCount = lagCount;
  return p;
}

api::WeightingParameters WeightingOf(const IplCopy& ipl) {
  return api::WeightingParameters{ipl.dwScheme, ipl.dwPoints};
}

api::TrendParameters TrendOf(const IplCopy& ipl) {
  return api::TrendParameters{ipl.trendDegree};
}

api::KrigingParameters KrigingOf(const IplCopy& ipl, int logTransform) {
  api::KrigingParameters p;
  p.variogram = api::Variogram{
      ipl.krigModel, ipl.sill, ipl.a, ipl.c, ipl.c0, ipl.terms.anisotropy, ipl.terms.structures};
  p.order = ipl.krigOrder;
  p.neighbours = ipl.krigPoints;
  p.logTransform = logTransform != 0;
  return p;
}

api::BayesParameters BayesOf(const IplCopy& ipl, int logTransform) {
  api::BayesParameters p;
  p.observation = api::Variogram{
      ipl.bayesModel, ipl.sill, ipl.a, ipl.c, ipl.c0, ipl.terms.anisotropy, ipl.terms.structures};
  // One model number for both sets, and one anisotropy: the guesses' model
  // has no further structures.
  p.guess = api::Variogram{0,           ipl.guessSill,        ipl.guessA, ipl.guessC,
                           ipl.guessC0, ipl.terms.anisotropy, {}};
  p.kRho = api::KRho{ipl.sigma, ipl.k, ipl.rho, ipl.lagD};
  p.neighbours = ipl.bayesPoints;
  p.scaleGuess = ipl.scaleGuess;
  p.logTransform = logTransform == 1;
  return p;
}

}  // namespace mornax
