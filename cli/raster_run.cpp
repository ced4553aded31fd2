#include "raster_run.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <deque>
#include <limits>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "api/mornax.h"
#include "api/mornax_arrays.h"
#include "core/engine_state.h"
#include "core/record_parameters.h"
#include "document_commands.h"
#include "engine_terms.h"
#include "estimation/method_numbers.h"
#include "exit_status.h"
#include "front/console_messages.h"
#include "front/record_copies.h"
#include "geo/export_crs.h"
#include "geo/export_target.h"
#include "geo/grid_scan.h"
#include "geo/project_crs.h"
#include "geo/raster_stream.h"
#include "geo/result_export.h"
#include "geo/run_description.h"
#include "tile_points.h"

namespace mornax::batch {
namespace {

constexpr std::size_t kBlock = 16384;  // network nodes read and estimated at a time
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

geo::ResultMethod ResultMethodOf(int method) {
  return method == MNX_METHOD_WEIGHTING ? geo::ResultMethod::kWeighting
         : method == MNX_METHOD_KRIGING ? geo::ResultMethod::kKriging
                                        : geo::ResultMethod::kBayes;
}

bool IsTrend(int method, const project::Records& records) {
  return method == MNX_METHOD_WEIGHTING && records.ipl.dwScheme == kTrendScheme;
}

// The run's parameters, read from the records as the file task reads them.
struct Method {
  std::unique_ptr<EngineState> state = std::make_unique<EngineState>();
  int method = 0;
  bool trend = false;

  int Neighbours() const {
    return method == MNX_METHOD_WEIGHTING ? state->ipl.dwPoints
           : method == MNX_METHOD_KRIGING ? state->ipl.krigPoints
                                          : state->ipl.bayesPoints;
  }
  api::Predictor Prepare(const api::Points& points, const api::Hooks& hooks) const {
    const IplCopy& ipl = state->ipl;
    if (trend) return api::Predictor::Trend(points, TrendOf(ipl), hooks);
    if (method == MNX_METHOD_WEIGHTING) {
      return api::Predictor::Weighting(points, WeightingOf(ipl), hooks);
    }
    if (method == MNX_METHOD_KRIGING) {
      return api::Predictor::Kriging(points, KrigingOf(ipl, state->svar.logTransform), hooks);
    }
    return api::Predictor::Bayes(points, BayesOf(ipl, state->svar.logTransform), hooks);
  }
};

// The layers written, in band order.
enum class Layer { kEstimate, kStandardError, kGuess, kNeighbourDistance };

struct Layers {
  std::vector<Layer> layers;
  std::vector<std::string> names;
};

Layers ChooseLayers(int method, bool neighbourDistance) {
  Layers chosen;
  auto add = [&chosen](Layer layer, const char* name) {
    chosen.layers.push_back(layer);
    chosen.names.emplace_back(name);
  };
  add(Layer::kEstimate, "estimate");
  if (method != MNX_METHOD_WEIGHTING) add(Layer::kStandardError, "std_error");
  if (method == MNX_METHOD_BAYES) add(Layer::kGuess, "guess");
  if (neighbourDistance) add(Layer::kNeighbourDistance, "neighbour_distance");
  return chosen;
}

double LayerValue(Layer layer, const api::ResultBlock& block, std::size_t i) {
  switch (layer) {
    case Layer::kEstimate:
      return block.estimate[i];
    case Layer::kStandardError:
      return i < block.standardError.size() ? block.standardError[i] : kNaN;
    case Layer::kGuess:
      return i < block.guess.size() ? block.guess[i] : kNaN;
    case Layer::kNeighbourDistance:
      return i < block.lastNeighbourDistance.size() ? block.lastNeighbourDistance[i] : kNaN;
  }
  return kNaN;
}

// The part of the network's grid a run writes: all of it, or the columns and
// rows whose nodes lie inside the tile's box.
struct Window {
  geo::RegularGrid whole;
  double rounding = 0.0;  // of the positions the data file gives
  std::int64_t col0 = 0, row0 = 0, cols = 0, rows = 0;

  geo::RegularGrid Grid() const {
    geo::RegularGrid grid;
    grid.cols = cols;
    grid.rows = rows;
    grid.dx = whole.dx;
    grid.dy = whole.dy;
    grid.x0 = whole.x0 + static_cast<double>(col0) * whole.dx;
    grid.y0 = whole.y0 - static_cast<double>(row0) * whole.dy;
    return grid;
  }
  // The window's cell of the node at (x, y); -1 outside the window.
  std::int64_t Cell(double x, double y) const {
    const std::int64_t cell = geo::NodeCell(whole, x, y, rounding);
    if (cell < 0) return -1;
    const std::int64_t col = cell % whole.cols - col0;
    const std::int64_t row = cell / whole.cols - row0;
    if (col < 0 || col >= cols || row < 0 || row >= rows) return -1;
    return row * cols + col;
  }
};

Window WindowOf(const geo::RegularGrid& grid, double rounding,
                const std::optional<std::array<double, 4>>& tile) {
  Window window{grid, rounding, 0, 0, grid.cols, grid.rows};
  if (!tile) return window;
  const auto& [xmin, ymin, xmax, ymax] = *tile;
  // Nodes on the box's edge belong to it; a hair of slack for the last digits.
  const double slack = 1e-9;
  const auto first = [&](double offset) {
    return std::max<std::int64_t>(0, static_cast<std::int64_t>(std::ceil(offset - slack)));
  };
  const auto last = [&](double offset, std::int64_t count) {
    return std::min<std::int64_t>(count - 1, static_cast<std::int64_t>(std::floor(offset + slack)));
  };
  window.col0 = first((xmin - grid.x0) / grid.dx);
  window.row0 = first((grid.y0 - ymax) / grid.dy);
  window.cols =
      std::max<std::int64_t>(0, last((xmax - grid.x0) / grid.dx, grid.cols) - window.col0 + 1);
  window.rows =
      std::max<std::int64_t>(0, last((grid.y0 - ymin) / grid.dy, grid.rows) - window.row0 + 1);
  return window;
}

// A tile's node whose neighbours may lie outside the points it was given.
struct Unsettled {
  std::int64_t cell;
  double x, y, guess, reach;  // reach: its last-neighbour distance (NaN: unknown)
};

// The messages of a run, shown once each (a tile's second pass repeats the
// preparation's).
class MessageShower {
 public:
  explicit MessageShower(ConsoleMessages& console) : console_(console) {}
  void Show(const api::Message& message) {
    if (shown_.insert(message.text).second) console_.ShowMessage(message.text);
  }

 private:
  ConsoleMessages& console_;
  std::set<std::string> shown_;
};

int Refuse(const std::string& message) {
  ReportError(message);
  return kExitMessageShown;
}

// What one pass over the network's positions finds.
struct NetworkGrid {
  geo::RegularGrid whole;
  geo::RowOrder order = geo::RowOrder::kTopDown;
  double rounding = 0.0;  // of the positions as written
  std::int64_t count = 0;
};

// Reads the network's positions once to recognise its grid; the exit status
// when there is none (or no network, or the file cannot be read).
std::optional<int> ScanNetwork(const std::filesystem::path& dataFile,
                               const api::DataFileOptions& options, MessageShower& shower,
                               NetworkGrid& network) {
  api::DataFileReader scan(dataFile, options);
  network.count = scan.networkCount();
  if (scan.report().completed() && network.count <= 0) {
    return Refuse(dataFile.filename().string() + " has no network points to estimate at");
  }
  geo::GridScan grid(network.count);
  std::vector<double> x(kBlock), y(kBlock), guess(options.guesses ? kBlock : 0);
  while (const std::size_t count = scan.ReadNodes({x, y, guess})) {
    grid.Add(std::span(x).first(count), std::span(y).first(count));
  }
  if (!scan.report().completed()) {
    for (const api::Message& message : scan.report().messages) shower.Show(message);
    return kExitMessageShown;
  }
  std::string reason;
  if (!grid.Finish(-1.0, network.whole, reason)) {
    return Refuse("the network of " + dataFile.filename().string() + " is not a regular grid (" +
                  reason +
                  "): --raster needs one; run without --raster and export the results as "
                  "points");
  }
  network.order = grid.order();
  network.rounding = grid.rounding();
  return std::nullopt;
}

}  // namespace

std::string CheckRasterOptions(const Invocation& invocation, int method,
                               const project::Records& records) {
  const bool raster = !invocation.raster.empty();
  if (!raster) {
    if (invocation.noText || invocation.float64 || invocation.neighbourDistance ||
        invocation.tile) {
      return "--no-text, --float64, --neighbour-distance and --tile go with --raster OUT.tif";
    }
    return {};
  }
  if (method == MNX_METHOD_NONE || invocation.runMode != RunMode::kInterpolate) {
    return "--raster writes the estimates at the network: use it with weighting, kriging or "
           "bayes and --interpolate";
  }
  std::string extension = std::filesystem::path(invocation.raster).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension != ".tif" && extension != ".tiff") {
    return "--raster writes a GeoTIFF: name it .tif, not " + invocation.raster;
  }
  if (invocation.tile && !invocation.noText) {
    return "--tile writes only the tile's raster: add --no-text (the text results are those of "
           "a whole network)";
  }
  if (invocation.tile && IsTrend(method, records)) {
    return "--tile: the trend surface is fitted to every data point, so a tile is no part of "
           "a whole run; run the trend surface untiled";
  }
  if (invocation.tile && method == MNX_METHOD_BAYES && records.ipl.scaleGuess >= 2) {
    return "--tile: scaleGuess " + std::to_string(records.ipl.scaleGuess) +
           " scales the guesses over every data point, so a tile is no part of a whole run; "
           "use scaleGuess 0 or 1, or run untiled";
  }
  return {};
}

int RunToRaster(const RasterRun& run, const project::Records& records) {
  const Invocation& invocation = run.invocation;
  ConsoleMessages console(stdout, stderr);
  MessageShower shower(console);
  api::Hooks hooks;
  hooks.threads = invocation.threads;
  hooks.stop = [] { return InterruptAsCancel::Consume(); };
  if (!run.quiet) {
    hooks.message = [&shower](const api::Message& message) { shower.Show(message); };
  }
  hooks.progress = [&console](std::int64_t done, std::int64_t total) {
    console.Count(done, total);
  };

  Method method;
  method.method = run.method;
  method.trend = IsTrend(run.method, records);
  LoadParameters(records.svar, records.fvar, records.ipl, *method.state);
  PutModelTerms(records, *method.state);
  const api::DataFileOptions options{run.method == MNX_METHOD_BAYES};
  const auto showReport = [&shower](const api::Report& report) {
    for (const api::Message& message : report.messages) shower.Show(message);
  };

  NetworkGrid network;
  if (const std::optional<int> refused = ScanNetwork(run.dataFile, options, shower, network)) {
    return *refused;
  }
  const geo::RegularGrid& whole = network.whole;
  const geo::RowOrder order = network.order;
  const std::int64_t networkCount = network.count;
  const Window window = WindowOf(whole, network.rounding, invocation.tile);
  if (window.cols == 0 || window.rows == 0) {
    return Refuse("no node of the network lies inside the tile");
  }

  api::DataFileReader reader(run.dataFile, options);
  if (!reader.report().completed()) {
    showReport(reader.report());
    return kExitMessageShown;
  }
  const api::Points allPoints = reader.points();
  const int neighbours = method.Neighbours();
  double margin = 0.0;
  PointSelection selection;
  if (invocation.tile) {
    margin = FirstMargin(allPoints, neighbours);
    selection = SelectPoints(allPoints, *invocation.tile, margin);
    // Fewer points than a node's neighbours: every point may be wanted.
    if (selection.x.size() < static_cast<std::size_t>(std::max(neighbours, 1))) {
      margin = std::numeric_limits<double>::infinity();
      selection = SelectPoints(allPoints, *invocation.tile, margin);
    }
  }
  api::Predictor predictor =
      method.Prepare(invocation.tile ? selection.Points() : allPoints, hooks);
  if (!predictor.ready()) return kExitMessageShown;

  std::string error;
  std::optional<geo::StoredCrs> stored = geo::ReadProjectCrs(run.document, error);
  geo::ExportCrs crs;
  if ((!stored && !error.empty()) ||
      !geo::IdentifyExportCrs(stored ? stored->wkt : std::string(), crs, error)) {
    return Refuse(error);
  }
  const Layers layers = ChooseLayers(run.method, invocation.neighbourDistance);
  const geo::ResultMethod resultMethod = ResultMethodOf(run.method);
  const geo::RunSettings settings{true, records.svar, records.ipl};
  geo::RasterStreamRequest request;
  request.grid = window.Grid();
  request.crsWkt = crs.wkt;
  for (const std::string& name : layers.names) {
    request.bands.push_back(geo::ResultBand(name, {}, resultMethod, settings));
  }
  request.metadata = geo::RunMetadata(resultMethod, settings);
  request.float64 = invocation.float64;
  // A network listed in no row order is held whole.
  if (order == geo::RowOrder::kMixed) request.stripRows = request.grid.rows;
  geo::ExportTarget target;
  geo::RasterStream raster;
  if (!target.Prepare(invocation.raster, error)) return Refuse(error);
  request.path = target.temporary();
  if (!raster.Open(request, error)) return Refuse(error);

  std::vector<bool> taken(static_cast<std::size_t>(request.grid.cellCount()), false);
  std::vector<Unsettled> unsettled;
  std::vector<double> values(layers.layers.size());
  std::int64_t estimated = 0;
  std::vector<double> bx(kBlock), by(kBlock), bg(options.guesses ? kBlock : 0);
  std::deque<double> rawGuesses;  // of the tile's nodes handed on and not yet back
  const api::NodeSource source = [&](const api::NodeBlock& block) -> std::size_t {
    std::size_t filled = 0;
    while (filled < block.x.size()) {
      const std::size_t want = std::min(block.x.size() - filled, bx.size());
      const std::size_t count =
          reader.ReadNodes({std::span(bx).first(want), std::span(by).first(want),
                            options.guesses ? std::span(bg).first(want) : std::span<double>()});
      if (count == 0) break;
      for (std::size_t i = 0; i < count; ++i) {
        if (invocation.tile && window.Cell(bx[i], by[i]) < 0) continue;
        block.x[filled] = bx[i];
        block.y[filled] = by[i];
        if (options.guesses) {
          block.guess[filled] = bg[i];
          // The results carry the scaled guess; a second pass needs the
          // node's own, in the order the results come back.
          if (invocation.tile) rawGuesses.push_back(bg[i]);
        }
        ++filled;
      }
    }
    return filled;
  };
  bool placed = true;
  const auto put = [&](std::int64_t cell, std::span<const double> nodeValues) {
    if (!raster.Put(cell, nodeValues, error)) placed = false;
    return placed;
  };
  const api::ResultSink sink = [&](const api::ResultBlock& block) {
    for (std::size_t i = 0; i < block.x.size(); ++i) {
      const std::int64_t cell = window.Cell(block.x[i], block.y[i]);
      if (cell < 0) continue;  // outside the tile (a whole run has none)
      if (taken[static_cast<std::size_t>(cell)]) {
        error = "two network points share the node at (" + std::to_string(block.x[i]) + ", " +
                std::to_string(block.y[i]) + ")";
        placed = false;
        return false;
      }
      taken[static_cast<std::size_t>(cell)] = true;
      ++estimated;
      double guess = 0.0;
      if (!rawGuesses.empty()) {
        guess = rawGuesses.front();
        rawGuesses.pop_front();
      }
      if (invocation.tile && !selection.all) {
        const double reach = block.lastNeighbourDistance[i];
        if (!(reach < EdgeDistance(*invocation.tile, margin, block.x[i], block.y[i]))) {
          unsettled.push_back({cell, block.x[i], block.y[i], guess, reach});
          continue;
        }
      }
      for (std::size_t k = 0; k < layers.layers.size(); ++k) {
        values[k] = LayerValue(layers.layers[k], block, i);
      }
      if (!put(cell, values)) return false;
    }
    return true;
  };
  api::StreamOptions streamOptions;
  streamOptions.blockSize = kBlock;
  if (!invocation.tile) {
    streamOptions.total = networkCount;
  } else if (networkCount == whole.cellCount()) {
    streamOptions.total = request.grid.cellCount();
  }
  api::Report report = predictor.Stream(source, sink, hooks, streamOptions);
  if (!placed) return Refuse("cannot write " + invocation.raster + " (" + error + ")");
  if (report.outcome == api::Outcome::kStopped) {
    return Refuse("stopped: " + invocation.raster + " not written");
  }
  if (!report.completed()) {
    if (!reader.report().completed()) showReport(reader.report());
    return Refuse(invocation.raster + " not written: the run did not complete");
  }

  // A tile's nodes whose neighbours might lie beyond its points: again with
  // the margin grown past the farthest of their neighbours.
  const std::size_t firstUnsettled = unsettled.size();
  double secondMargin = margin;
  while (!unsettled.empty()) {
    double reach = 0.0;
    for (const Unsettled& node : unsettled) reach = std::max(reach, node.reach);
    const bool unknown = std::any_of(unsettled.begin(), unsettled.end(),
                                     [](const Unsettled& node) { return std::isnan(node.reach); });
    secondMargin = unknown ? std::numeric_limits<double>::infinity()
                           : std::nextafter(std::max(reach, secondMargin),
                                            std::numeric_limits<double>::infinity());
    const PointSelection wider = SelectPoints(allPoints, *invocation.tile, secondMargin);
    api::Predictor again = method.Prepare(wider.Points(), hooks);
    if (!again.ready()) return kExitMessageShown;
    std::sort(unsettled.begin(), unsettled.end(),
              [](const Unsettled& a, const Unsettled& b) { return a.cell < b.cell; });
    std::vector<double> nx, ny, ng;
    for (const Unsettled& node : unsettled) {
      nx.push_back(node.x);
      ny.push_back(node.y);
      if (options.guesses) ng.push_back(node.guess);
    }
    const api::NodeResults results = again.Predict({nx, ny, ng}, hooks);
    if (results.report.outcome == api::Outcome::kStopped) {
      return Refuse("stopped: " + invocation.raster + " not written");
    }
    if (!results.report.completed()) {
      return Refuse(invocation.raster + " not written: the run did not complete");
    }
    std::vector<Unsettled> still;
    for (std::size_t i = 0; i < unsettled.size(); ++i) {
      const double nodeReach = results.lastNeighbourDistance[i];
      if (!wider.all && !(nodeReach < EdgeDistance(*invocation.tile, secondMargin, nx[i], ny[i]))) {
        still.push_back(unsettled[i]);
        still.back().reach = nodeReach;
        continue;
      }
      const api::ResultBlock one{0,
                                 std::span(nx).subspan(i, 1),
                                 std::span(ny).subspan(i, 1),
                                 std::span(results.estimate).subspan(i, 1),
                                 results.standardError.empty()
                                     ? std::span<const double>()
                                     : std::span(results.standardError).subspan(i, 1),
                                 results.guess.empty() ? std::span<const double>()
                                                       : std::span(results.guess).subspan(i, 1),
                                 std::span(results.lastNeighbourDistance).subspan(i, 1),
                                 std::span(results.status).subspan(i, 1)};
      for (std::size_t k = 0; k < layers.layers.size(); ++k) {
        values[k] = LayerValue(layers.layers[k], one, 0);
      }
      if (!put(unsettled[i].cell, values)) {
        return Refuse("cannot write " + invocation.raster + " (" + error + ")");
      }
    }
    unsettled = std::move(still);
  }

  if (!raster.Close(error) || !target.Commit(error)) {
    return Refuse("cannot write " + invocation.raster + " (" + error + ")");
  }
  const geo::RegularGrid& grid = request.grid;
  std::string bands;
  for (const std::string& name : layers.names) bands += (bands.empty() ? "" : ", ") + name;
  console.WriteOutput("wrote " + invocation.raster + ": GeoTIFF, " + std::to_string(grid.cols) +
                      " x " + std::to_string(grid.rows) + " cells, " +
                      (layers.names.size() == 1 ? "band " : "bands ") + bands + " (" +
                      (invocation.float64 ? "Float64" : "Float32") + "), " +
                      std::to_string(estimated) + " nodes estimated, " +
                      std::to_string(grid.cellCount() - raster.valuedCells()) + " nodata cells");
  if (invocation.tile) {
    char line[200];
    std::snprintf(line, sizeof line,
                  "tile: %lld nodes with the neighbours of a whole run from the data within "
                  "%.6g of the tile, %zu more with a margin of %.6g",
                  static_cast<long long>(estimated - static_cast<std::int64_t>(firstUnsettled)),
                  margin, firstUnsettled, secondMargin);
    console.WriteOutput(line);
  }
  console.WriteOutput(crs.empty() ? "no coordinate system (the project has none)"
                                  : "coordinate system " + crs.Describe() + ", the project's");
  return console.messageCount() > 0 ? kExitMessageShown : kExitSuccess;
}

}  // namespace mornax::batch
