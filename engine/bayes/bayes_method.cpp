#include "bayes/bayes_method.h"

#include <cmath>
#include <cstddef>
#include <span>
#include <string>

#include "estimation/search_space.h"
#include "io/format_line.h"
#include "io/fortran_format.h"
#include "models/nested_model.h"
#include "models/variogram_models.h"

namespace mornax {
namespace {

using api::MessageCode;

// PointEstimate::failure of a network guess that has no logarithm; its
// message is shown where the point is known.
constexpr int kGuessWithoutLogarithm = -1;

PointEstimate ToPointEstimate(const BayesResult& result) {
  PointEstimate estimate;
  estimate.failure = result.status;
  estimate.value = result.estimate;
  estimate.standardError = result.std;
  estimate.guess = result.guess;
  return estimate;
}

// The estimate on the data set itself, or in the search space when the
// model is anisotropic.
template <typename Estimate>
PointEstimate InSearchSpace(const SearchSpace* space, const DataSet& data, EstimateWorkspace& ws,
                            const EstimationPoint& point, const Estimate& estimate) {
  if (space == nullptr) return estimate(data, point.x, point.y);
  return space->Run(ws, point.x, point.y, estimate);
}

}  // namespace

bool TakeBayesLogarithms(const RunEnv& env, DataSet& data) {
  const auto n = static_cast<std::size_t>(data.count);
  const int value = FirstWithoutLogarithm(data.z.first(n));
  const int guess = FirstWithoutLogarithm(data.guess.first(n));
  if (value != 0 || guess != 0) {
    // At one point the value is named before the guess.
    const bool valueFirst = value != 0 && (guess == 0 || value <= guess);
    env.Error(MessageCode::kNoLogarithm,
              std::string("Logtransform not possible, ") + (valueFirst ? "Value" : "Guess") +
                  " <= 0 at data point : " + std::to_string(valueFirst ? value : guess));
    return false;
  }
  TakeLogarithms(data.z.first(n));
  TakeLogarithms(data.guess.first(n));
  return true;
}

int BayesNeighbourCount(int neighbours, bool errorAnalysis, int readCount) {
  return errorAnalysis && readCount == neighbours ? readCount - 1 : neighbours;
}

bool CheckBayesNeighbours(const RunEnv& env, bool errorAnalysis, int count, int points) {
  if (errorAnalysis && points < 2) {
    env.Error(MessageCode::kTooFewPoints, "Error Analysis needs at least 2 Data Points");
    return false;
  }
  const int usable = errorAnalysis ? points - 1 : points;
  if (count > usable) {
    env.Error(MessageCode::kTooManyNeighbours,
              "Too many Nearest Points, available Data Points : " + std::to_string(usable));
    return false;
  }
  return true;
}

bool ScaleDataGuesses(const RunEnv& env, DataSet& data, int option,
                      std::array<double, 4>& linearScaling, GuessScaling& scaling) {
  const auto n = static_cast<std::size_t>(data.count);
  const std::span<const double> values = data.z.first(n);
  const std::span<double> guesses = data.guess.first(n);
  scaling.option = option;
  if (option == kMeanScaling) {
    scaling.meanShift = MeanScaleGuesses(values, guesses);
  } else if (option == kLinearScaling) {
    if (!LinearScaleGuesses(values, guesses, linearScaling)) {
      env.Error(MessageCode::kLinearScaling, "Linear Scaling not possible, all Guesses are equal");
      return false;
    }
    scaling.linear = linearScaling;
  }
  return true;
}

BayesSettings BayesSettingsOf(const api::BayesParameters& p, int count, bool errorAnalysis,
                              int capacity) {
  const int model = p.observation.model;
  const api::Variogram& o = p.observation;
  const api::Variogram& g = p.guess;
  // Spherical, exponential and Gaussian: C is the sill minus the nugget.
  const bool range = IsRangeModel(model);
  const double c = range ? CFromSill(o.sill, o.c0) : o.c;
  const double guessC = range ? CFromSill(g.sill, g.c0) : g.c;
  const api::KRho& r = p.kRho;
  BayesSettings s;
  s.count = count;
  s.capacity = capacity;
  // k_Rho has no further structures.
  api::Variogram single = o;
  if (model == kKRhoModel) single.structures.clear();
  s.search = SearchMap(single);
  s.observation =
      BayesModel{model, c, o.a, o.c0, o.sill, r.k, r.rho, r.lagD, GeometryOf(single, s.search)};
  s.guess =
      BayesModel{model, guessC, g.a, g.c0, g.sill, r.k, r.rho, r.lagD, GeometryOf(g, s.search)};
  s.sigma = r.sigma;
  s.logTransform = p.logTransform;
  s.windowShift = p.scaleGuess == kMeanWindowScaling;
  s.errorAnalysis = errorAnalysis;
  return s;
}

Estimator BayesPointEstimator(const RunEnv& env, const DataSet& data,
                              const BayesSettings& settings) {
  auto space = MakeSearchSpace(data, settings.search);
  return [&env, &data, &settings, space](const EstimationPoint& point, EstimateWorkspace& ws) {
    return InSearchSpace(space.get(), data, ws, point, [&](const DataSet& d, double x, double y) {
      return ToPointEstimate(EstimateBayes(ws.MessagesOr(env.messages()), d, settings, x, y,
                                           point.guess, point.excluded, ws));
    });
  };
}

Estimator BayesNodeEstimator(const RunEnv& env, const DataSet& data, const BayesSettings& settings,
                             const GuessScaling& scaling) {
  auto space = MakeSearchSpace(data, settings.search);
  return [&env, &data, &settings, &scaling, space](const EstimationPoint& point,
                                                   EstimateWorkspace& ws) {
    // The shift or correction is taken from the guess as read, before its
    // logarithm.
    double g0 = ScaleNetworkGuess(point.guess, scaling);
    if (settings.logTransform) {
      if (!(g0 > 0.0)) {
        const RunEnv pointEnv(ws.MessagesOr(env.messages()), env.base(), env.nameLength());
        pointEnv.Error(MessageCode::kNoLogarithm,
                       "Logtransform not possible, scaled Guess <= 0 at network point : " +
                           std::to_string(point.number));
        PointEstimate failed;
        failed.failure = kGuessWithoutLogarithm;
        return failed;
      }
      g0 = std::log(g0);
    }
    return InSearchSpace(space.get(), data, ws, point, [&](const DataSet& d, double x, double y) {
      return ToPointEstimate(
          EstimateBayes(ws.MessagesOr(env.messages()), d, settings, x, y, g0, -1, ws));
    });
  };
}

ErrorTerm BayesErrorTerm(const DataSet& data, bool logTransform, int i,
                         const PointEstimate& estimate) {
  const double measured = logTransform ? std::exp(data.z[i]) : data.z[i];
  return ErrorTerm{estimate.value - measured, estimate.standardError};
}

void ReportBayesFailure(const RunEnv& env, const PointEstimate& estimate) {
  static const io::FortranFormat kAirm("(1x,a,i10)");
  if (estimate.failure == kGuessWithoutLogarithm) return;
  env.Error(MessageCode::kSolverFailure,
            FormatLine(kAirm, " Error in SUBROUTINE AIRM : ", estimate.failure));
}

}  // namespace mornax
