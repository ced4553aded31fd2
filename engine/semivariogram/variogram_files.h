// The two result files of the semivariogram run: the report BASE.var and the
// fitting input BASE.fit.
#pragma once

#include <string>

#include "core/work_arrays.h"
#include "io/record_file.h"
#include "semivariogram/gama3.h"

namespace mornax {

struct SectorSettings {
  double tolerance = 0.0;
  double lag = 0.0;
  double direction = 0.0;
};

// Writes the report: title, statistics, sector and one line per class
// 1..nlags (counts, mean distances and semivariances as Gama3 leaves them).
void WriteVariogramReport(io::RecordFile& file, const std::string& title,
                          const ValueStatistics& stats, const SectorSettings& sector, int nlags,
                          const LagArrays& lags);

// Writes the fitting input: title, nlags, then distance and semivariance of
// classes 1..nlags (empty classes as zeros).
void WriteFitInput(io::RecordFile& file, const std::string& title, int nlags,
                   const LagArrays& lags);

}  // namespace mornax
