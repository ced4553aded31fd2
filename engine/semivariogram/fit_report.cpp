#include "semivariogram/fit_report.h"

#include <cmath>
#include <cstddef>

#include "core/engine_state.h"
#include "io/format_line.h"
#include "io/read_title.h"

namespace mornax {
namespace {

std::string NamePrefix(const std::string& name) {
  std::string prefix = name.substr(0, 5);
  prefix.resize(5, ' ');
  return prefix;
}

}  // namespace

FitStatistics ComputeFitStatistics(std::span<const double> y, std::span<const double> f) {
  double sumY = 0.0, sumF = 0.0, sumYF = 0.0, sumYY = 0.0, sumFF = 0.0;
  double sumAbs = 0.0, sumSquares = 0.0;
  for (std::size_t i = 0; i < y.size(); ++i) {
    const double d = y[i] - f[i];
    sumAbs += std::fabs(d);
    sumSquares += d * d;
    sumY += y[i];
    sumF += f[i];
    sumYF += y[i] * f[i];
    sumYY += y[i] * y[i];
    sumFF += f[i] * f[i];
  }
  const double n = static_cast<double>(y.size());
  FitStatistics stats;
  stats.meanDeviation = sumAbs / n;
  stats.rootMeanSquare = std::sqrt(sumSquares / n);
  const double syf = sumYF - sumY * sumF / n;
  const double syy = sumYY - sumY * sumY / n;
  const double sff = sumFF - sumF * sumF / n;
  // Constant observations or model values leave the correlation undefined.
  const double product = syy * sff;
  stats.correlation = product > 0.0 ? syf / std::sqrt(product) : 0.0;
  return stats;
}

std::string ParameterLine(const ModelLabels& model, const ModelParameters& b) {
  static const io::FortranFormat kParameters("(a5,a,3(1x,A,A,g10.5))");
  return FormatLine(kParameters, NamePrefix(model.name), ":", model.labels[0], "=", b[0] + b[2],
                    model.labels[1], "=", b[1], model.labels[2], "=", b[2]);
}

void ReportFitStatistics(const RunEnv& env, const FitStatistics& stats) {
  static const io::FortranFormat kCorrelation("(a,f5.3)");
  static const io::FortranFormat kDeviation("(2(a,g10.5),a,f5.2,a)");
  env.Progress(kListAppend,
               FormatLine(kCorrelation, "Statisics: Correlation Coefficient =", stats.correlation));
  env.Progress(kListAppend,
               FormatLine(kDeviation, "Statisics: Mean Deviation=", stats.meanDeviation,
                          " MSE=", stats.rootMeanSquare, " R= ", 100.0 * stats.correlation, "%"));
}

void WriteSolution(io::RecordFile& file, const std::string& title, const ModelLabels& model,
                   const ModelParameters& b, const FitSummary& summary, std::span<const double> x,
                   std::span<const double> y, std::span<const double> f) {
  static const io::FortranFormat kTitle("(1x,a)");
  static const io::FortranFormat kSummary("(5X,A,I3,5X,A,g15.8,5X,A,I3)");
  static const io::FortranFormat kParameters("(1X,a5,a,3(1x,A,A,g10.5))");
  static const io::FortranFormat kSolution("(10X,A,I2,A,g16.8)");
  static const io::FortranFormat kClass("(3F10.3,E15.6)");

  file.Write(kTitle, PaddedTitle(title));
  file.Write(kSummary, "ICON=", summary.icon, " CHI2= ", summary.chi2,
             "ITERATION NO. = ", summary.iterations);
  file.Write(kParameters, NamePrefix(model.name), ":", model.labels[0], "=", b[0] + b[2],
             model.labels[1], "=", b[1], model.labels[2], "=", b[2]);
  file.WriteFreeText("       SOLUTIONS OF THE EQUATIONS      ");
  for (std::size_t j = 0; j < b.size(); ++j) {
    file.Write(kSolution, "B(", j + 1, ")= ", b[j]);
  }
  file.WriteFreeInteger(static_cast<long long>(x.size()));
  for (std::size_t i = 0; i < x.size(); ++i) {
    file.Write(kClass, x[i], y[i], f[i], y[i] - f[i]);
  }
}

}  // namespace mornax
