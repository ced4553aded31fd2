// The one reader of a project's interpolation results: the network results
// of the last interpolation (.dat, .wl, .lev, with positions from the file that
// keeps the most digits), the error analysis (.lst) and the level list (.lev).
// Reads the files as text; nothing here runs a computation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mornax::geo {

// The method that wrote a set of results, told apart by the files' layouts.
enum class ResultMethod { kUnknown, kWeighting, kKriging, kBayes };

// "distance weighting", "kriging", "Bayesian estimation" or "unknown method".
std::string_view MethodName(ResultMethod method);

// The files of one project: its folder and base name. Extensions are matched
// without regard to case, as the engine does.
struct ProjectFiles {
  std::filesystem::path folder;
  std::string base;

  // The existing file base + extension (".dat"), in any case; the plain name
  // in the folder when there is none.
  std::filesystem::path Find(std::string_view extension) const;
  bool Exists(std::string_view extension) const;
};

// The files of the document PROJECT.mnx: its folder and its name without the
// extension.
ProjectFiles ProjectFilesOf(const std::filesystem::path& document);

// The result of the last interpolation at every network point.
struct NetworkResults {
  ResultMethod method = ResultMethod::kUnknown;
  std::string title;  // the data file's title line, trailing blanks removed

  // Network positions, one entry per network point in file order.
  std::vector<double> x;
  std::vector<double> y;
  // Half a unit of the last digit the positions were written with: 0.05 for
  // one decimal, 5e-6 for five; 0 when they come from the data file itself.
  double positionRounding = 0.0;
  std::string positionSource;  // the file name the positions were read from

  // Results per network point; NaN where the point has none (a stopped run,
  // a value written as asterisks or as NaN text).
  std::vector<double> estimate;
  std::vector<double> standardError;  // empty unless the method writes it
  std::vector<double> guess;          // empty unless the method writes it
  std::size_t missingCount = 0;       // network points without an estimate
  // The network points the .dat file holds whole records for: the first
  // recordCount entries; a missing value among them was written as
  // asterisks or NaN (an overflow), the others are missing after a stop.
  std::size_t recordCount = 0;
  std::string cutFile;  // the result file found cut inside a record, if any

  // What the reader noticed and worked around, one sentence each (results
  // shorter than the network, files of different runs, ...).
  std::vector<std::string> warnings;

  std::size_t size() const { return x.size(); }
};

// Reads the last interpolation's results of `files`. The .dat file gives the
// method and the results; the data file's network (when it still matches) or
// the .wl file give positions with more digits than the .dat file keeps. The
// .dat header counts are not trusted: the records are counted. A last record
// cut short (the file ends inside it) is left out and said. False with
// `error` naming the file when there are no results or they cannot be read.
bool ReadNetworkResults(const ProjectFiles& files, NetworkResults& results, std::string& error);

// One network point's results.
struct NetworkRecord {
  double x = 0.0, y = 0.0;
  double estimate = 0.0;
  double standardError = 0.0;  // NaN unless the method writes it
  double guess = 0.0;          // NaN unless the method writes it
};

struct NetworkStream {
  ResultMethod method = ResultMethod::kUnknown;
  std::string title;
  std::string positionSource;
  std::int64_t count = 0;  // the points handed on
};

// The last interpolation's results a point at a time, in network order, with
// the data file's positions, in memory that does not grow with the network:
// for results that need nothing worked around. True when the .dat records
// and the data file's network are the same points (within the .dat's
// rounding), as many of each, nothing cut or malformed, and `take` accepted
// every point. False as soon as that is not so (or `take` declines); callers
// then read with ReadNetworkResults, which says what it worked around.
bool StreamNetworkResults(const ProjectFiles& files, NetworkStream& stream,
                          const std::function<bool(const NetworkRecord&)>& take);

// The error analysis of the .lst file: one row per data point estimated.
struct ErrorAnalysisResults {
  ResultMethod method = ResultMethod::kUnknown;
  std::string title;  // the run title line, leading and trailing blanks removed

  std::vector<double> x;
  std::vector<double> y;
  std::vector<double> measured;
  std::vector<double> estimated;
  std::vector<double> error;              // estimated - measured, as written
  std::vector<double> standardisedError;  // error / standard error; empty
                                          // unless the method writes it
  std::vector<std::string> warnings;
  std::size_t missingCount = 0;  // rows with a value written as asterisks

  std::size_t size() const { return x.size(); }
};

// Reads the error table of the .lst file. Positions come from the data file
// when its points match the rows within the written rounding (the first of
// them, for a table that a stop ended early). A last row cut short is left
// out and said. False with
// `error` when there is no .lst file or it holds no error table (a trend
// surface's interpolation report).
bool ReadErrorAnalysis(const ProjectFiles& files, ErrorAnalysisResults& results,
                       std::string& error);

// The level list at the head of a .lev file. False with `error` when the file
// cannot be read or has no level list.
bool ReadLevelList(const std::filesystem::path& levFile, std::vector<double>& levels,
                   std::string& error);

}  // namespace mornax::geo
