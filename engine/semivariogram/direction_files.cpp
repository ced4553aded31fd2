#include "semivariogram/direction_files.h"

#include <cstddef>

#include "core/engine_state.h"
#include "io/fortran_format.h"
#include "io/read_title.h"
#include "io/record_file.h"

namespace mornax {
namespace {

void WriteReport(io::RecordFile& file, const std::string& title,
                 const api::DirectionalParameters& p, const api::DirectionalResult& r) {
  static const io::FortranFormat kTitle("(1x,a)");
  static const io::FortranFormat kAverage("(5x,a,F10.5)");
  static const io::FortranFormat kVariance("(5x,a,E11.5)");
  static const io::FortranFormat kPoints("(5x,a,i5)");
  static const io::FortranFormat kSector("(2(/5x,a,F8.1,a))");
  static const io::FortranFormat kDirections("(5x,a,i5)");
  static const io::FortranFormat kDirection("(/5x,a,F8.1,a)");
  static const io::FortranFormat kHeading("(3x,a)");
  static const io::FortranFormat kClass("(1x,I5,3x,I8,5x,F8.2,7x,F12.4)");

  const api::SemivariogramResult& first = r.directions.front();
  file.Write(kTitle, PaddedTitle(title));
  file.Write(kAverage, "AVERAGE = ", first.average);
  file.Write(kVariance, "VARIANCE = ", first.variance);
  file.Write(kPoints, "NUMBER OF DATA POINTS = ", first.pointsUsed);
  file.Write(kSector, "DIRECTION TOLERANCE = ", p.tolerance, " degrees",
             "STEP SIZE = ", p.lagDistance, " meters");
  file.Write(kDirections, "NUMBER OF DIRECTIONS = ", static_cast<long long>(r.directions.size()));
  for (std::size_t d = 0; d < r.directions.size(); ++d) {
    const api::SemivariogramResult& s = r.directions[d];
    file.Write(kDirection, "DIRECTION = ", p.directions[d], " degrees");
    file.Write(kHeading, "LAG    #points     DISTANCE          1/2 VARIO");
    for (int k = 1; k <= s.classCount; ++k) {
      const auto slot = static_cast<std::size_t>(k - 1);
      file.Write(kClass, k, static_cast<long long>(s.pairs[slot]), s.distance[slot],
                 s.semivariance[slot]);
    }
  }
}

void WriteMap(io::RecordFile& file, const std::string& title, const api::VariogramMap& map) {
  static const io::FortranFormat kTitle("(1x,a)");
  static const io::FortranFormat kSize("(5x,a,i5,5x,a,F12.2)");
  static const io::FortranFormat kHeading("(/a)");
  static const io::FortranFormat kCell("(2F14.2,I10,F16.4)");
  file.Write(kTitle, PaddedTitle(title));
  file.Write(kSize, "CELLS EACH SIDE OF 0 = ", map.cells, "CELL SIZE = ", map.cellSize);
  file.Write(kHeading, "            DX            DY    #pairs       1/2 VARIO");
  const int side = 2 * map.cells + 1;
  for (int iy = -map.cells; iy <= map.cells; ++iy) {
    for (int ix = -map.cells; ix <= map.cells; ++ix) {
      const auto at = static_cast<std::size_t>((iy + map.cells) * side + ix + map.cells);
      file.Write(kCell, ix * map.cellSize, iy * map.cellSize, static_cast<long long>(map.pairs[at]),
                 map.semivariance[at]);
    }
  }
}

}  // namespace

bool WriteDirectionFiles(const std::filesystem::path& vdr, const std::filesystem::path& vmp,
                         const std::string& title, const api::DirectionalParameters& parameters,
                         const api::DirectionalResult& result, std::string& error) {
  if (result.directions.empty()) {
    error = "no direction was computed";
    return false;
  }
  io::RecordFile report;
  io::RecordFile map;
  const bool withMap = result.map.cells > 0;
  if (!report.Create(vdr)) {
    error = "Cannot create output file : " + vdr.string();
    return false;
  }
  if (withMap && !map.Create(vmp)) {
    error = "Cannot create output file : " + vmp.string();
    return false;
  }
  WriteReport(report, title, parameters, result);
  if (withMap) WriteMap(map, title, result.map);
  // Both written before either is renamed over its old file.
  report.Close();
  map.Close();
  if (report.Failed() || (withMap && map.Failed())) {
    error = "Cannot write output file : " + (report.Failed() ? vdr : vmp).string();
    return false;
  }
  if (!report.Commit() || (withMap && !map.Commit())) {
    error = "Cannot write output file : " + vdr.string();
    return false;
  }
  return true;
}

bool WriteJointFitReport(const std::filesystem::path& jfr, const std::string& title,
                         const api::DirectionalParameters& run, const api::JointFitResult& fit,
                         std::string& error) {
  static const io::FortranFormat kTitle("(1x,a)");
  static const io::FortranFormat kModel("(1x,a,i3,a,a)");
  static const io::FortranFormat kStatus("(1x,a,i3,5x,a,i5)");
  static const io::FortranFormat kB("(1x,a,i1,a,G16.8,2x,a)");
  static const io::FortranFormat kAngle("(1x,a,F10.4,a)");
  static const io::FortranFormat kRatio("(1x,a,F10.6)");
  static const io::FortranFormat kChi2("(1x,a,G16.8)");
  static const io::FortranFormat kHeading("(/a)");
  static const io::FortranFormat kRow("(F12.1,F14.2,2F16.4)");
  io::RecordFile file;
  if (!file.Create(jfr)) {
    error = "Cannot create output file : " + jfr.string();
    return false;
  }
  file.Write(kTitle, PaddedTitle(title));
  file.Write(kModel, "JOINT FIT OF", static_cast<long long>(run.directions.size()),
             " DIRECTIONS: ", api::ModelName(fit.model));
  file.Write(kStatus, "ICON=", fit.converged ? 0 : 1, "ITERATIONS =", fit.iterations);
  const char* labels[] = {"C (sill above the nugget)", "RANGE along the major axis", "C0 (nugget)"};
  for (int j = 0; j < 3; ++j) {
    file.Write(kB, "B( ", j + 1, ")=", fit.b[static_cast<std::size_t>(j)], labels[j]);
  }
  file.Write(kAngle, "ANGLE =", fit.anisotropy.angle, " degrees from x towards y");
  file.Write(kRatio, "RATIO =", fit.anisotropy.ratio);
  file.Write(kChi2, "CHI2 =", fit.chi2);
  file.Write(kHeading, "   DIRECTION      DISTANCE        OBSERVED           MODEL");
  for (std::size_t d = 0; d < fit.distance.size(); ++d) {
    for (std::size_t k = 0; k < fit.distance[d].size(); ++k) {
      file.Write(kRow, run.directions[d], fit.distance[d][k], fit.observed[d][k], fit.fitted[d][k]);
    }
  }
  if (!file.Commit()) {
    error = "Cannot write output file : " + jfr.string();
    return false;
  }
  return true;
}

}  // namespace mornax
