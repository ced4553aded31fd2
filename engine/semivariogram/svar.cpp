#include "semivariogram/svar.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "core/record_parameters.h"
#include "estimation/data_points.h"
#include "estimation/parameter_checks.h"
#include "io/format_line.h"
#include "io/free_reader.h"
#include "io/record_file.h"
#include "semivariogram/semivariogram_method.h"
#include "semivariogram/variogram_files.h"

namespace mornax {
namespace {

std::size_t LagCapacity(const LagArrays& lags) {
  return std::min({lags.lag1.size(), lags.lag2.size(), lags.lag3.size()});
}

bool CreateResultFile(const RunEnv& env, io::RecordFile& file, std::string_view extension) {
  if (file.Create(env.Path(extension))) return true;
  env.Error(api::MessageCode::kCannotOpenOutput,
            "Cannot create output file : " + env.File(extension));
  return false;
}

}  // namespace

void Svar(const RunEnv& env, const std::string& title, PointArrays& points, LagArrays& lags,
          SvarCopy& svar) {
  static const io::FortranFormat kLagCapacity("(a,i5)");

  const api::SemivariogramParameters parameters = SemivariogramOf(svar);
  if (!CheckSemivariogram(env, parameters)) return;
  const std::size_t lagCapacity = LagCapacity(lags);
  if (lagCapacity < static_cast<std::size_t>(svar.lagCount)) {
    env.Error(api::MessageCode::kLagLimit, FormatLine(kLagCapacity, "Maximum number of lags is ",
                                                      static_cast<long long>(lagCapacity)));
    return;
  }

  io::FreeFormReader dfl;
  if (!dfl.Open(env.Path(".dfl"))) {
    env.Error(api::MessageCode::kCannotOpenInput, "Cannot open input file : " + env.File(".dfl"));
    return;
  }
  // Both files are written under temporary names and replace the earlier
  // .var and .fit only when both are complete: any failure or a stop before
  // that leaves the earlier pair as it was.
  io::RecordFile var;
  io::RecordFile fit;
  if (!CreateResultFile(env, var, ".var") || !CreateResultFile(env, fit, ".fit")) return;

  // With the subtract option each record carries a fourth number, and the
  // value is the absolute difference of the third and the fourth.
  DataReadOptions options;
  options.subtract = parameters.subtract;
  options.negativeCountIsEmpty = true;
  DataSet data;
  const bool read = ReadDataPoints(env, dfl, points, options, data);
  dfl.Close();
  if (!read) return;

  SemivariogramRun run;
  if (!ComputeSemivariogram(env, data, parameters, lags, run)) {
    if (run.stopped) env.NoteStopped(0);
    return;
  }
  const SectorSettings sector{svar.tolerance, svar.lagDistance, svar.direction};
  WriteVariogramReport(var, title, run.statistics, sector, run.classCount, lags);
  WriteFitInput(fit, title, run.classCount, lags);
  var.Close();
  fit.Close();
  if (var.Failed() || fit.Failed() || !var.Commit() || !fit.Commit()) {
    env.Error(api::MessageCode::kCannotWriteOutput,
              "Cannot write output file : " + env.File(var.Failed() ? ".var" : ".fit"));
    return;
  }
  svar.lagCount = run.classCount;
  ReportSemivariogram(env, data, lags, run.classCount);
}

}  // namespace mornax
