#include "bayes/bayes_estimate.h"

#include <cmath>
#include <cstddef>
#include <span>

#include "bayes/bayes_system.h"
#include "bayes/bsolve.h"
#include "models/nested_model.h"

namespace mornax {
namespace {

std::span<double> Whole(DoubleArray& array) {
  return std::span<double>(array.data);
}

// The STD written beside the estimate, from S2 = W . BG.
double WrittenStd(const BayesSettings& s, double lambda, double s2) {
  const bool kRho = s.observation.model == kKRhoModel;
  const double guessSill = CovarianceSill(s.guess);
  if (!s.logTransform) {
    const double variance =
        kRho ? (1.0 - lambda * s2) * s.sigma * s.observation.k : std::fabs(guessSill - s2);
    return std::sqrt(variance);
  }
  const double std = s.errorAnalysis ? std::sqrt(std::exp(guessSill - s2))
                                     : std::sqrt(std::fabs(std::exp(guessSill) - std::exp(s2)));
  return kRho ? std::exp(std) : std;
}

}  // namespace

BayesResult EstimateBayes(Messages& messages, const DataSet& data, const BayesSettings& settings,
                          double x0, double y0, double g0, int excluded,
                          EstimateWorkspace& workspace) {
  NeighbourArrays& nb = workspace.neighbours;
  const int np = settings.count;
  const int ld = settings.capacity;
  const auto n = static_cast<std::size_t>(np);
  const auto stride = static_cast<std::size_t>(ld);
  const std::span<double> co = Whole(nb.matrix1);
  const std::span<double> cg = Whole(nb.matrix2);
  const std::span<double> cs = Whole(nb.matrix3);
  const std::span<double> ci = Whole(nb.matrix4);
  const std::span<double> gn = NeighbourGuesses(nb);
  const std::span<double> bo = Whole(nb.work3);
  const std::span<double> bg = Whole(nb.work4);
  const std::span<double> w = Whole(nb.work5);
  const std::span<double> wk = Whole(nb.work6);
  const bool kRho = settings.observation.model == kKRhoModel;

  const double windowShift = BayesSystem(data, x0, y0, excluded, np, settings.windowShift,
                                         settings.observation, co, ld, bo, workspace);
  if (kRho) {
    for (std::size_t j = 0; j < n; ++j) {
      for (std::size_t i = 0; i < n; ++i) cs[j * stride + i] = co[j * stride + i];
      bg[j] = bo[j];
    }
  } else {
    FillBayesSystem(settings.guess, nb, np, x0, y0, cg, ld, bg);
    for (std::size_t j = 0; j < n; ++j) {
      for (std::size_t i = 0; i < n; ++i) {
        cs[j * stride + i] = co[j * stride + i] + cg[j * stride + i];
      }
    }
  }

  BayesResult result;
  result.status = AIRM(messages, np, ld, ld, cs.data(), ci.data(), wk.data());
  if (result.status != 0) return result;

  // W = CI^T BG, column by column of CI.
  for (std::size_t i = 0; i < n; ++i) {
    double sum = 0.0;
    for (std::size_t j = 0; j < n; ++j) sum += ci[i * stride + j] * bg[j];
    w[i] = sum;
  }
  double s1 = 0.0;
  double s2 = 0.0;
  for (std::size_t j = 0; j < n; ++j) s1 += w[j] * (nb.value[j] - gn[j]);
  for (std::size_t j = 0; j < n; ++j) s2 += w[j] * bg[j];

  const double lambda = kRho ? settings.observation.k / (1.0 + settings.observation.k) : 1.0;
  const double shift = settings.windowShift ? windowShift : 0.0;
  const double estimate = lambda * s1 - shift + g0;
  const double guess = g0 - shift;
  result.std = WrittenStd(settings, lambda, s2);
  result.estimate = settings.logTransform ? std::exp(estimate) : estimate;
  result.guess = settings.logTransform ? std::exp(guess) : guess;
  return result;
}

}  // namespace mornax
