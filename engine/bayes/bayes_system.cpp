#include "bayes/bayes_system.h"

#include <cstddef>

#include "bayes/guess_scaling.h"
#include "models/nested_model.h"

namespace mornax {

double SelectBayesNeighbours(const DataSet& data, double x0, double y0, int excluded, int count,
                             bool shiftGuesses, EstimateWorkspace& workspace) {
  NeighbourArrays& nb = workspace.neighbours;
  SelectNearest(data, x0, y0, excluded, count, kKrigingExclusion, workspace);
  const std::span<double> guesses = NeighbourGuesses(nb).first(static_cast<std::size_t>(count));
  double sum = 0.0;
  for (std::size_t j = 0; j < guesses.size(); ++j) {
    guesses[j] = data.guess[static_cast<std::size_t>(nb.index[j])];
    sum += guesses[j] - nb.value[j];
  }
  const double shift = sum / count;
  if (shiftGuesses) ShiftValues(guesses, shift);
  return shift;
}

void FillBayesSystem(const BayesModel& model, const NeighbourArrays& neighbours, int count,
                     double x0, double y0, std::span<double> matrix, int ld,
                     std::span<double> rhs) {
  const auto& xn = neighbours.x;
  const auto& yn = neighbours.y;
  const bool correlation = model.model == kKRhoModel;
  const double sill = CovarianceSill(model);
  const auto n = static_cast<std::size_t>(count);
  const auto stride = static_cast<std::size_t>(ld);
  auto at = [&](std::size_t i, std::size_t j) -> double& { return matrix[j * stride + i]; };

  // The model is symmetric in its two points: the upper triangle is computed
  // and mirrored.
  for (std::size_t j = 0; j < n; ++j) {
    at(j, j) = correlation ? 1.0 : sill;
    for (std::size_t l = j + 1; l < n; ++l) {
      const double gamma = BayesGammaOf(xn[j], xn[l], yn[j], yn[l], model);
      at(j, l) = correlation ? gamma : sill - gamma;
      at(l, j) = at(j, l);
    }
  }
  for (std::size_t j = 0; j < n; ++j) {
    const double gamma = BayesGammaOf(xn[j], x0, yn[j], y0, model);
    rhs[j] = correlation ? gamma : sill - gamma;
  }
}

double BayesSystem(const DataSet& data, double x0, double y0, int excluded, int count,
                   bool shiftGuesses, const BayesModel& model, std::span<double> matrix, int ld,
                   std::span<double> rhs, EstimateWorkspace& workspace) {
  const double shift =
      SelectBayesNeighbours(data, x0, y0, excluded, count, shiftGuesses, workspace);
  FillBayesSystem(model, workspace.neighbours, count, x0, y0, matrix, ld, rhs);
  return shift;
}

}  // namespace mornax
