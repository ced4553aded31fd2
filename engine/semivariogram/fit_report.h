// The results of a variogram fit: the solution report BASE.sol, the parameter
// line and the goodness-of-fit statistics of the progress report.
#pragma once

#include <array>
#include <span>
#include <string>

#include "core/run_env.h"
#include "io/record_file.h"
#include "models/variogram_models.h"

namespace mornax {

// The model's 11-character name and its three 5-character parameter labels.
struct ModelLabels {
  const std::string& name;
  const std::array<std::string, 3>& labels;
};

// What line 2 of the report states about the fit.
struct FitSummary {
  int icon = 0;
  double chi2 = 0.0;  // sum of squares of the model against the observations
  int iterations = 0;
};

struct FitStatistics {
  double meanDeviation = 0.0;
  double rootMeanSquare = 0.0;
  double correlation = 0.0;  // 0 when either set of values is constant
};

FitStatistics ComputeFitStatistics(std::span<const double> y, std::span<const double> f);

// The progress line of the fitted parameters: B1 + B3 under the first label,
// then B2 and B3.
std::string ParameterLine(const ModelLabels& model, const ModelParameters& b);

// The two statistics lines, appended to the progress report.
void ReportFitStatistics(const RunEnv& env, const FitStatistics& stats);

// Writes the report: title, fit summary, parameters, then per class the
// distance x, observed y, model f and y - f.
void WriteSolution(io::RecordFile& file, const std::string& title, const ModelLabels& model,
                   const ModelParameters& b, const FitSummary& summary, std::span<const double> x,
                   std::span<const double> y, std::span<const double> f);

}  // namespace mornax
