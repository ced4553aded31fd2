// The statistics block that ends an error analysis.
#pragma once

#include <string_view>

#include "core/run_env.h"
#include "io/fortran_format.h"
#include "io/record_file.h"

namespace mornax {

// The error of one re-estimated data point, e = Z* - Z, and the standard
// error of its estimate (used only by layouts with a Standard Error line).
struct ErrorTerm {
  double error = 0.0;
  double standardError = 1.0;
  // False for a point whose estimate failed: its row is written, but it is
  // left out of the statistics.
  bool counted = true;
};

// How a method writes the block and the progress line of the RMSE.
struct StatisticsLayout {
  // Values in the order: average, [standard error,] root mean square,
  // greatest, mean absolute.
  const io::FortranFormat& block;
  bool withStandardError = false;
  // Label of the "(1x,a,1PE10.3)" progress line.
  std::string_view rmseLabel;
};

// Distance weighting and trend surface: four values, E10.3.
const StatisticsLayout& WeightingStatistics();
// Kriging: five values with the Standard Error second, E10.3.
const StatisticsLayout& KrigingStatistics();

class ErrorStatistics {
 public:
  void Add(const ErrorTerm& term);

  int count() const { return count_; }
  double AverageError() const { return sum_ / count_; }
  double RootMeanSquareError() const;
  // The signed error of largest magnitude; on equal magnitudes the later.
  double GreatestError() const { return greatest_; }
  double MeanAbsoluteError() const { return sumAbsolute_ / count_; }
  double StandardError() const;

  // True when every value of the layout's block is a finite number.
  bool AllFinite(const StatisticsLayout& layout) const;

  // Writes the block to the .lst file and appends the RMSE progress line.
  // Needs count() > 0.
  void Report(const RunEnv& env, io::RecordFile& lst, const StatisticsLayout& layout) const;

 private:
  int count_ = 0;
  double sum_ = 0.0;
  double sumSquares_ = 0.0;
  double sumAbsolute_ = 0.0;
  double sumStandardised_ = 0.0;
  double greatest_ = 0.0;
};

}  // namespace mornax
