#include "bayes/bayes_run.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "api/mornax.h"
#include "bayes/bayes_estimate.h"
#include "bayes/guess_scaling.h"
#include "estimation/data_points.h"
#include "estimation/error_statistics.h"
#include "estimation/neighbours.h"
#include "estimation/point_loops.h"
#include "estimation/run_files.h"
#include "io/format_line.h"
#include "io/fortran_format.h"
#include "models/variogram_models.h"

namespace mornax {
namespace {

// PointEstimate::failure of a network guess that has no logarithm; its
// message is shown where the point is known.
constexpr int kGuessWithoutLogarithm = -1;

const StatisticsLayout& BayesStatistics() {
  static const io::FortranFormat kBlock(
      "(/,10X,' Average Error = ',1P,E15.5,/,10X,' Standard Error = ',1P,E15.5,/,10X,"
      "' Root Mean Square Error =',1P,E15.5,/,10X,' Greatest Error = ',1P,E15.5,/,10X,"
      "' Mean Absolute Error =',1P,E15.5)");
  static const StatisticsLayout kLayout{kBlock, true, " Root Mean Square Error (RMSE): "};
  return kLayout;
}

// The parameter checks made before any file is touched; false after the
// message.
bool CheckParameters(const RunEnv& env, const IplCopy& p, const NeighbourArrays& nb) {
  if (p.bayesModel == 0 || p.bayesPoints <= 0) {
    env.Error("No Parameters specified");
    return false;
  }
  const bool kRho = p.bayesModel == kKRhoModel;
  // lagD divides every distance of the k_Rho model.
  if ((!kRho && (p.sill == 0.0 || p.guessSill == 0.0)) ||
      (kRho && (p.sigma == 0.0 || p.k == 0.0 || p.rho == 0.0 || p.lagD == 0.0))) {
    env.Error("Interpolation Parameters are zero");
    return false;
  }
  // The matrices have the neighbour arrays' length as leading dimension.
  const std::size_t ld = nb.x.size();
  const std::size_t squares =
      std::min({nb.matrix1.size(), nb.matrix2.size(), nb.matrix3.size(), nb.matrix4.size()});
  std::size_t m = std::min({ld, nb.y.size(), nb.value.size(), nb.index.size(), nb.work1.size(),
                            nb.work3.size(), nb.work4.size(), nb.work5.size(), nb.work6.size()});
  if (squares < ld * ld) m = 0;
  if (static_cast<std::size_t>(p.bayesPoints) > m) {
    env.Error("Maximum number of nearest points is " + std::to_string(m));
    return false;
  }
  return true;
}

// Values and guesses must have a logarithm; false after naming the first
// data point (in file order) that has none.
bool LogValuesAndGuesses(const RunEnv& env, DataSet& data) {
  const auto n = static_cast<std::size_t>(data.count);
  const int value = FirstWithoutLogarithm(data.z.first(n));
  const int guess = FirstWithoutLogarithm(data.guess.first(n));
  if (value != 0 || guess != 0) {
    // At one point the value is named before the guess.
    const bool valueFirst = value != 0 && (guess == 0 || value <= guess);
    env.Error(std::string("Logtransform not possible, ") + (valueFirst ? "Value" : "Guess") +
              " <= 0 at data point : " + std::to_string(valueFirst ? value : guess));
    return false;
  }
  TakeLogarithms(data.z.first(n));
  TakeLogarithms(data.guess.first(n));
  return true;
}

// Each estimate needs `count` distinct neighbours: in error analysis the point
// itself is left out, so at least two points and count <= N - 1.
bool CheckNeighbourCount(const RunEnv& env, bool errorAnalysis, int count, int points) {
  if (errorAnalysis && points < 2) {
    env.Error("Error Analysis needs at least 2 Data Points");
    return false;
  }
  const int usable = errorAnalysis ? points - 1 : points;
  if (count > usable) {
    env.Error("Too many Nearest Points, available Data Points : " + std::to_string(usable));
    return false;
  }
  return true;
}

// Scales the data guesses once; false (after the message) when the linear
// scaling has no slope.
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
      env.Error("Linear Scaling not possible, all Guesses are equal");
      return false;
    }
    scaling.linear = linearScaling;
  }
  return true;
}

void ReportAirmFailure(const RunEnv& env, const PointEstimate& estimate) {
  static const io::FortranFormat kAirm("(1x,a,i10)");
  if (estimate.failure == kGuessWithoutLogarithm) return;
  env.Error(FormatLine(kAirm, " Error in SUBROUTINE AIRM : ", estimate.failure));
}

PointEstimate ToPointEstimate(const BayesResult& result) {
  PointEstimate estimate;
  estimate.failure = result.status;
  estimate.value = result.estimate;
  estimate.standardError = result.std;
  estimate.guess = result.guess;
  return estimate;
}

void AnalyseErrors(const RunEnv& env, RunFiles& files, const DataSet& data,
                   const BayesSettings& settings, EstimateWorkspace& workspace) {
  static const io::FortranFormat kRow("(2F15.1,5F10.2)");
  ErrorAnalysisSetup setup;
  setup.counterText = " Error Analysis -  point: ";
  setup.counterInterval = 25;
  setup.statistics = &BayesStatistics();
  setup.estimate = [&](const EstimationPoint& point, EstimateWorkspace& ws) {
    return ToPointEstimate(EstimateBayes(ws.MessagesOr(env.messages()), data, settings, point.x,
                                         point.y, point.guess, point.excluded, ws));
  };
  setup.writeRow = [&](int i, const PointEstimate& result) {
    const double measured = settings.logTransform ? std::exp(data.z[i]) : data.z[i];
    const double error = result.value - measured;
    files.lst.Write(kRow, data.x[i], data.y[i], measured, result.guess, result.value, error,
                    result.standardError);
    return ErrorTerm{error, result.standardError};
  };
  setup.reportFailure = [&](const PointEstimate& result) { ReportAirmFailure(env, result); };
  const RunEnd end = RunErrorAnalysis(env, files.lst, data, setup, workspace);
  // An end of file inside the points has been reported while reading.
  FinishRun(env, files, end);
}

void Interpolate(const RunEnv& env, RunFiles& files, const DataSet& data,
                 const BayesSettings& settings, const GuessScaling& scaling,
                 EstimateWorkspace& workspace) {
  static const io::FortranFormat kDatHeader("(3I5,A,33X,A,12X,A)");
  static const io::FortranFormat kDatRecord("(2F15.1,3F15.5)");
  InterpolationSetup setup;
  setup.counterText = "Interpolate to point ";
  setup.counterInterval = 25;
  setup.networkValues = 3;
  // The second empty line precedes the read of the network count.
  setup.progressLineFirst = true;
  setup.estimate = [&](const EstimationPoint& point, EstimateWorkspace& ws) {
    // The shift or correction is taken from the guess as read, before its
    // logarithm.
    double g0 = ScaleNetworkGuess(point.guess, scaling);
    if (settings.logTransform) {
      if (!(g0 > 0.0)) {
        const RunEnv pointEnv(ws.MessagesOr(env.messages()), env.base(), env.nameLength());
        pointEnv.Error("Logtransform not possible, scaled Guess <= 0 at network point : " +
                       std::to_string(point.number));
        PointEstimate failed;
        failed.failure = kGuessWithoutLogarithm;
        return failed;
      }
      g0 = std::log(g0);
    }
    return ToPointEstimate(
        EstimateBayes(ws.MessagesOr(env.messages()), data, settings, point.x, point.y, g0, -1, ws));
  };
  setup.writeDatHeader = [](io::RecordFile& dat, std::int32_t networkCount) {
    dat.Write(kDatHeader, 0, networkCount, 0, " ;", "GUESS ", "STD");
  };
  setup.writeDatRecord = [](io::RecordFile& dat, const EstimationPoint& point,
                            const PointEstimate& result) {
    dat.Write(kDatRecord, point.x, point.y, result.value, result.guess, result.standardError);
  };
  setup.reportFailure = [&](const PointEstimate& result) { ReportAirmFailure(env, result); };
  const RunEnd end = RunInterpolation(env, files, data, setup, workspace);
  FinishRun(env, files, end);
}

BayesSettings MakeSettings(const IplCopy& p, int logTransform, bool errorAnalysis, int capacity,
                           int scaleGuess) {
  BayesSettings s;
  s.count = p.bayesPoints;
  s.capacity = capacity;
  s.observation = BayesModel{p.bayesModel, p.c, p.a, p.c0, p.sill, p.k, p.rho, p.lagD};
  s.guess =
      BayesModel{p.bayesModel, p.guessC, p.guessA, p.guessC0, p.guessSill, p.k, p.rho, p.lagD};
  s.sigma = p.sigma;
  s.logTransform = logTransform == 1;
  s.windowShift = scaleGuess == kMeanWindowScaling;
  s.errorAnalysis = errorAnalysis;
  return s;
}

}  // namespace

void BayesRun(const RunEnv& env, int mode, const std::string& title, PointArrays& points,
              NeighbourArrays& neighbours, std::array<double, 4>& linearScaling,
              IplCopy& parameters, int logTransform) {
  // The run changes C, the guesses' C and the nearest-point count for itself
  // alone; the engine state keeps the values loaded from the records.
  IplCopy ipl = parameters;
  if (!CheckParameters(env, ipl, neighbours)) return;
  const bool errorAnalysis = mode == MNX_MODE_ERROR_ANALYSIS;
  RunFiles files;
  if (!files.Open(env, title, errorAnalysis, !errorAnalysis)) return;

  // Spherical, exponential and Gaussian: C is the sill minus the nugget.
  if (IsRangeModel(ipl.bayesModel)) {
    ipl.c = CFromSill(ipl.sill, ipl.c0);
    ipl.guessC = CFromSill(ipl.guessSill, ipl.guessC0);
  }

  DataSet data;
  DataReadOptions options;
  options.readGuess = true;
  if (!ReadDataPoints(env, files.data, points, options, data)) {
    files.Close();
    return;
  }
  // Error analysis always leaves one point out.
  if (errorAnalysis && data.count == ipl.bayesPoints) ipl.bayesPoints = data.count - 1;
  if (logTransform == 1 && !LogValuesAndGuesses(env, data)) {
    files.Close();
    return;
  }
  MergeCoincidentPoints(env, data);

  GuessScaling scaling;
  if (!CheckNeighbourCount(env, errorAnalysis, ipl.bayesPoints, data.count) ||
      !ScaleDataGuesses(env, data, ipl.scaleGuess, linearScaling, scaling)) {
    files.Close();
    return;
  }
  if (errorAnalysis) {
    static const io::FortranFormat kHeader(
        "(1X,'        X              Y            Z      GUESS       Z*         Z-Z*      "
        "STD')");
    files.lst.Write(kHeader);
  }
  env.Progress(kListAppend, "");

  const BayesSettings settings = MakeSettings(
      ipl, logTransform, errorAnalysis, static_cast<int>(neighbours.x.size()), ipl.scaleGuess);
  EstimateWorkspace workspace{neighbours, std::span<double>(points.distance.data)};
  if (errorAnalysis) {
    AnalyseErrors(env, files, data, settings, workspace);
  } else {
    Interpolate(env, files, data, settings, scaling, workspace);
  }
}

}  // namespace mornax
