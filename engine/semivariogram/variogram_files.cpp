#include "semivariogram/variogram_files.h"

#include <cstddef>

#include "core/engine_state.h"
#include "io/read_title.h"

namespace mornax {

void WriteVariogramReport(io::RecordFile& file, const std::string& title,
                          const ValueStatistics& stats, const SectorSettings& sector, int nlags,
                          const LagArrays& lags) {
  static const io::FortranFormat kTitle("(1x,a)");
  static const io::FortranFormat kAverage("(5x,a,F10.5)");
  static const io::FortranFormat kVariance("(5x,a,E11.5)");
  static const io::FortranFormat kPoints("(5x,a,i5)");
  static const io::FortranFormat kSector("(2(/5x,a,F8.1,a))");
  static const io::FortranFormat kDirection("(5x,a,F8.0,a)");
  static const io::FortranFormat kHeading("(/3x,a)");
  static const io::FortranFormat kClass("(1x,I5,3x,I5,8x,F8.2,7x,F12.4)");

  file.Write(kTitle, PaddedTitle(title));
  file.Write(kAverage, "AVERAGE = ", stats.average);
  file.Write(kVariance, "VARIANCE = ", stats.variance);
  file.Write(kPoints, "NUMBER OF DATA POINTS = ", stats.pointsUsed);
  file.Write(kSector, "DIRECTION TOLERANCE = ", sector.tolerance, " degrees",
             "STEP SIZE = ", sector.lag, " meters");
  file.Write(kDirection, "DIRECTION = ", sector.direction, " degrees");
  file.Write(kHeading, "LAG    #points     DISTANCE          1/2 VARIO");
  const auto& pairCount = lags.lag1;
  const auto& semivariance = lags.lag2;
  const auto& meanDistance = lags.lag3;
  for (int k = 1; k <= nlags; ++k) {
    const auto slot = static_cast<std::size_t>(k - 1);
    file.Write(kClass, k, static_cast<long long>(pairCount[slot]), meanDistance[slot],
               semivariance[slot]);
  }
}

void WriteFitInput(io::RecordFile& file, const std::string& title, int nlags,
                   const LagArrays& lags) {
  static const io::FortranFormat kTitle("(1x,a)");
  static const io::FortranFormat kCount("(1x,i5)");
  static const io::FortranFormat kClass("(2F15.4)");

  file.Write(kTitle, PaddedTitle(title));
  file.Write(kCount, nlags);
  const auto& semivariance = lags.lag2;
  const auto& meanDistance = lags.lag3;
  for (int k = 1; k <= nlags; ++k) {
    const auto slot = static_cast<std::size_t>(k - 1);
    file.Write(kClass, meanDistance[slot], semivariance[slot]);
  }
}

}  // namespace mornax
