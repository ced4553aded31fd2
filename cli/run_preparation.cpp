#include "run_preparation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "api/mornax.h"
#include "api/mornax_arrays.h"
#include "document_commands.h"
#include "exit_status.h"
#include "io/file_lookup.h"
#include "models/model_numbers.h"
#include "project/automatic_fit_start.h"
#include "project/fields.h"

namespace mornax::batch {
namespace {

constexpr double kAutoLagShare = 0.5;    // the classes reach half way across the data
constexpr double kNeighbourShare = 0.5;  // mean nearest-neighbour distance per sqrt(area / point)
constexpr int kAutoLagDigits = 3;        // the lag is rounded to 3 significant digits

Preparation Stop(const std::string& message, int status = kExitMessageShown) {
  ReportError(message);
  return {false, status};
}

void Note(const std::string& message) {
  std::fprintf(stderr, "mornax-batch: note: %s\n", message.c_str());
}

std::string Value(const project::Records& records, std::string_view field) {
  return project::FieldValue(records, *project::FindField(field));
}

double RoundSignificant(double value, int digits) {
  if (!(value > 0.0) || !std::isfinite(value)) return value;
  const double scale = std::pow(10.0, digits - 1 - std::floor(std::log10(value)));
  return std::round(value * scale) / scale;
}

// The data points' positions, read as the run will read them.
struct Positions {
  std::vector<double> x, y;
  std::int64_t networkCount = -1;  // -1: the network count could not be read
};

// False with the reader's first message when the points cannot be read.
bool ReadPositions(const RunContext& context, Positions& positions, std::string& error) {
  const api::DataFileReader reader(context.File(project::kDfl));
  if (reader.report().outcome == api::Outcome::kRefused) {
    error = reader.report().messages.empty() ? "cannot read " + context.files[project::kDfl]
                                             : reader.report().messages.front().text;
    return false;
  }
  const api::Points points = reader.points();
  positions.x.assign(points.x.begin(), points.x.end());
  positions.y.assign(points.y.begin(), points.y.end());
  positions.networkCount = reader.networkCount();
  return true;
}

std::size_t DistinctPoints(const Positions& section) {
  std::vector<std::pair<double, double>> points;
  for (std::size_t i = 0; i < section.x.size(); ++i) {
    if (std::isfinite(section.x[i]) && std::isfinite(section.y[i])) {
      points.emplace_back(section.x[i], section.y[i]);
    }
  }
  std::sort(points.begin(), points.end());
  return static_cast<std::size_t>(std::unique(points.begin(), points.end()) - points.begin());
}

// The lag of --auto-lag: the classes reach half way across the data (half
// the bounding box's diagonal over the lag count), but no class is wider
// than the typical distance between neighbouring points (half the square
// root of the area per point, for points spread at random), so that a range
// short against the extent still spans several classes. Rounded.
double AutoLag(const Positions& section, int lagCount) {
  double xmin = HUGE_VAL, xmax = -HUGE_VAL, ymin = HUGE_VAL, ymax = -HUGE_VAL;
  std::size_t points = 0;
  for (std::size_t i = 0; i < section.x.size(); ++i) {
    if (!std::isfinite(section.x[i]) || !std::isfinite(section.y[i])) continue;
    xmin = std::min(xmin, section.x[i]);
    xmax = std::max(xmax, section.x[i]);
    ymin = std::min(ymin, section.y[i]);
    ymax = std::max(ymax, section.y[i]);
    ++points;
  }
  double lag = kAutoLagShare * std::hypot(xmax - xmin, ymax - ymin) / lagCount;
  const double spacing =
      kNeighbourShare * std::sqrt((xmax - xmin) * (ymax - ymin) / static_cast<double>(points));
  if (spacing > 0.0) lag = std::min(lag, spacing);
  return RoundSignificant(lag, kAutoLagDigits);
}

// The number of network points the data file states after its data points;
// 0 when the file ends there. Empty when the data file cannot be read (the
// run reports it).
std::optional<double> NetworkCount(const RunContext& context) {
  Positions positions;
  std::string ignored;
  if (!ReadPositions(context, positions, ignored) || positions.networkCount < 0) {
    return std::nullopt;
  }
  return static_cast<double>(positions.networkCount);
}

bool IsNewDocumentValue(const project::Records& records, std::string_view field) {
  project::Records defaults;
  project::SetDefaults(defaults);
  return Value(records, field) == Value(defaults, field);
}

bool AllNewDocumentValues(const project::Records& records,
                          std::initializer_list<std::string_view> fields) {
  return std::all_of(fields.begin(), fields.end(),
                     [&](std::string_view field) { return IsNewDocumentValue(records, field); });
}

}  // namespace

std::filesystem::path RunContext::File(project::FileIndex index) const {
  return io::ResolveProjectFile(folder, files[static_cast<std::size_t>(index)]);
}

Preparation PrepareVariogram(const RunContext& context, project::Records& records) {
  const std::string& document = context.invocation.project;
  if (context.invocation.autoLag && context.Assigned("lagDistance")) {
    return Stop("choose one of --auto-lag and lagDistance=", kExitUsage);
  }
  Positions section;
  std::string error;
  if (!ReadPositions(context, section, error)) {
    // The library names what it cannot read; --auto-lag cannot go on.
    if (context.invocation.autoLag) {
      return Stop(error + " (mornax-batch import " + document + " SOURCE --z FIELD writes it)");
    }
    return {};
  }
  if (DistinctPoints(section) < 2) {
    return Stop(context.files[project::kDfl] + " has " + std::to_string(DistinctPoints(section)) +
                " distinct data point positions: a semivariogram needs pairs of points at "
                "different places");
  }
  const double lag = AutoLag(section, records.svar.lagCount);
  if (context.invocation.autoLag) {
    if (!(lag > 0.0) || !std::isfinite(lag) || lag > 3.4e38) {
      return Stop("--auto-lag cannot choose a lag for these data points");
    }
    records.svar.lagDistance = static_cast<float>(lag);
    std::printf(
        "lagDistance = %s for this run (--auto-lag: half the diagonal of the data's "
        "bounding box / lagCount %d)\n",
        Value(records, "lagDistance").c_str(), records.svar.lagCount);
    std::fflush(stdout);
  } else if (!context.Assigned("lagDistance") && IsNewDocumentValue(records, "lagDistance")) {
    project::Records proposal = records;
    proposal.svar.lagDistance = static_cast<float>(lag);
    Note("lagDistance is " + Value(records, "lagDistance") +
         ", the new-document value; --auto-lag would take " + Value(proposal, "lagDistance") +
         " (half the data's diagonal / lagCount)");
  }
  return {};
}

Preparation PrepareFit(const RunContext& context, project::Records& records) {
  const std::string& document = context.invocation.project;
  const std::string fitName = context.files[project::kFit];
  const int lagCount = records.svar.lagCount;
  FitStart start;
  std::string problem;
  switch (
      project::StartFitFromSemivariogram(context.File(project::kFit), context.File(project::kVar),
                                         context.Assigned("lagCount"), records, start, problem)) {
    case project::AutomaticStart::kAlreadySet:
      return {};
    case project::AutomaticStart::kStarted:
      break;
    case project::AutomaticStart::kNoFitFile:
      return Stop(fitName + " not found: compute the semivariogram first (mornax-batch run " +
                  document + " variogram --auto-lag)");
    case project::AutomaticStart::kBadFitFile:
      return Stop(fitName + " cannot be read: compute the semivariogram again (mornax-batch run " +
                  document + " variogram)");
    case project::AutomaticStart::kNoProposal:
      return Stop("the fit's starting values and bounds are all 0 and cannot be read off " +
                  fitName + ": " + problem +
                  ". Set initial1-3, minimum1-3 and maximum1-3 (mornax-batch help run)");
  }
  const bool countChosen = records.svar.lagCount != lagCount;
  std::printf(
      "Fit start read off %s for this run (its nine starting values and bounds were 0):\n"
      "  nugget %.6g, sill %.6g, 80 %% of the rise by distance %.6g\n",
      fitName.c_str(), start.nugget, start.sill, start.reach);
  for (const char* b : {"1", "2", "3"}) {
    std::printf("  initial%s = %s  minimum%s = %s  maximum%s = %s\n", b,
                Value(records, std::string("initial") + b).c_str(), b,
                Value(records, std::string("minimum") + b).c_str(), b,
                Value(records, std::string("maximum") + b).c_str());
  }
  if (countChosen) {
    std::printf("  lagCount = %d: %s\n", records.svar.lagCount,
                records.fvar.model == kSphericalModel
                    ? "the classes up to a little past the range (the spherical form of the fit "
                      "falls beyond its range)"
                    : "the non-empty classes");
  }
  std::fflush(stdout);
  return {};
}

Preparation PrepareInterpolation(const RunContext& context, int method, bool interpolate,
                                 const project::Records& records) {
  const std::string& document = context.invocation.project;
  if (interpolate) {
    const std::optional<double> nodes = NetworkCount(context);
    if (nodes && *nodes == 0.0) {
      return Stop(context.files[project::kDfl] +
                  " has no network points to interpolate at: make a network with "
                  "mornax-batch grid " +
                  document + " --spacing D (or run --error-analysis)");
    }
  }
  if (method == MNX_METHOD_WEIGHTING) return {};
  std::error_code ignored;
  if (!std::filesystem::exists(context.File(project::kSol), ignored)) return {};
  const bool krigingUnset = AllNewDocumentValues(records, {"krigModel", "sill", "a", "c", "c0"});
  const bool bayesUnset =
      records.ipl.bayesModel == kKRhoModel
          ? AllNewDocumentValues(records, {"bayesModel", "sigma", "k", "rho", "lagD"})
          : AllNewDocumentValues(records, {"sill", "a", "c", "c0"});
  if (method == MNX_METHOD_KRIGING ? krigingUnset : bayesUnset) {
    Note("the semivariogram model of this run still has the new-document values, while " +
         context.files[project::kSol] + " holds a fitted model: mornax-batch use-fit " + document +
         " copies it into the document");
  }
  return {};
}

}  // namespace mornax::batch
