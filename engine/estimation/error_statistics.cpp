#include "estimation/error_statistics.h"

#include <cmath>
#include <string>

namespace mornax {

const StatisticsLayout& WeightingStatistics() {
  static const io::FortranFormat kBlock(
      "(/,10X,' Average Error = ',1P,E10.3,/,10X,' Root Mean Square Error =',1P,E10.3,/,10X,"
      "' Greatest Error = ',1P,E10.3,/,10X,' Mean Absolute Error =',1P,E10.3)");
  static const StatisticsLayout kLayout{kBlock, false, "Root Mean Square Error (RMSE): "};
  return kLayout;
}

const StatisticsLayout& KrigingStatistics() {
  static const io::FortranFormat kBlock(
      "(/,10X,' Average Error = ',1P,E10.3,/,10X,' Standard Error = ',1P,E10.3,/,10X,"
      "' Root Mean Square Error =',1P,E10.3,/,10X,' Greatest Error = ',1P,E10.3,/,10X,"
      "' Mean Absolute Error =',1P,E10.3)");
  static const StatisticsLayout kLayout{kBlock, true, " Root Mean Square Error (RMSE): "};
  return kLayout;
}

void ErrorStatistics::Add(const ErrorTerm& term) {
  const double e = term.error;
  ++count_;
  sum_ += e;
  sumSquares_ += e * e;
  sumAbsolute_ += std::fabs(e);
  const double standardised = e / term.standardError;
  sumStandardised_ += standardised * standardised;
  if (std::fabs(e) >= std::fabs(greatest_)) greatest_ = e;
}

double ErrorStatistics::RootMeanSquareError() const {
  return std::sqrt(sumSquares_ / count_);
}

double ErrorStatistics::StandardError() const {
  return std::sqrt(sumStandardised_ / count_);
}

bool ErrorStatistics::AllFinite(const StatisticsLayout& layout) const {
  return std::isfinite(AverageError()) && std::isfinite(RootMeanSquareError()) &&
         std::isfinite(GreatestError()) && std::isfinite(MeanAbsoluteError()) &&
         (!layout.withStandardError || std::isfinite(StandardError()));
}

void ErrorStatistics::Report(const RunEnv& env, io::RecordFile& lst,
                             const StatisticsLayout& layout) const {
  if (layout.withStandardError) {
    lst.Write(layout.block, AverageError(), StandardError(), RootMeanSquareError(), GreatestError(),
              MeanAbsoluteError());
  } else {
    lst.Write(layout.block, AverageError(), RootMeanSquareError(), GreatestError(),
              MeanAbsoluteError());
  }
  static const io::FortranFormat kRmse("(1x,a,1PE10.3)");
  std::string line = kRmse(layout.rmseLabel, RootMeanSquareError());
  line.erase(line.find_last_not_of(" \n") + 1);
  env.Progress(kListAppend, line);
}

}  // namespace mornax
