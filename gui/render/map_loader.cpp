#include "gui/render/map_loader.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <future>
#include <limits>
#include <system_error>

#include "geo/contours.h"
#include "geo/data_file_text.h"
#include "geo/levels.h"
#include "geo/regular_grid.h"
#include "geo/result_files.h"
#include "geo/run_description.h"
#include "project/project.h"

namespace mornax::render {
namespace {

namespace fs = std::filesystem;

// A grid bigger than this is drawn as points: its colour image alone would
// take gigabytes.
constexpr std::int64_t kLargestGridCells = 50'000'000;

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

// Keeps finite values of a sane size; the rest become NaN and are counted.
std::vector<double> CleanValues(const std::vector<double>& values, std::size_t& dropped) {
  std::vector<double> clean(values);
  dropped = 0;
  for (double& v : clean) {
    if (std::isnan(v)) continue;
    if (!std::isfinite(v) || std::abs(v) > kLargestMapValue) {
      v = std::numeric_limits<double>::quiet_NaN();
      ++dropped;
    }
  }
  return clean;
}

bool FiniteRange(const std::vector<double>& values, double& low, double& high) {
  low = std::numeric_limits<double>::infinity();
  high = -low;
  for (double v : values) {
    if (std::isnan(v)) continue;
    low = std::min(low, v);
    high = std::max(high, v);
  }
  return low <= high;
}

void Include(QRectF& box, bool& empty, double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  if (empty) {
    box = QRectF(x, y, 0.0, 0.0);
    empty = false;
    return;
  }
  box = QRectF(QPointF(std::min(box.left(), x), std::min(box.top(), y)),
               QPointF(std::max(box.right(), x), std::max(box.bottom(), y)));
}

// True when the data file changed after `result` was written.
bool DataNewerThan(const geo::ProjectFiles& files, const fs::path& result) {
  std::error_code ec1, ec2;
  const auto data = fs::last_write_time(files.Find(".dfl"), ec1);
  const auto written = fs::last_write_time(result, ec2);
  return !ec1 && !ec2 && data > written;
}

void AddWarnings(MapScene& scene, const std::vector<std::string>& warnings) {
  for (const std::string& w : warnings) scene.notes << Text(w);
}

// The data points of the data file, or a note saying why they are missing.
struct DataPoints {
  std::vector<QPointF> points;
  QString note;
};

DataPoints ReadDataPoints(const geo::ProjectFiles& files) {
  DataPoints result;
  geo::DataFileText data;
  if (!geo::ReadDataFileText(files.Find(".dfl"), 3, 2, data)) {
    result.note = QString("The data points are not shown: %1 cannot be read.")
                      .arg(Text(files.Find(".dfl").filename().string()));
    return result;
  }
  result.points.reserve(data.dataX.size());
  for (std::size_t i = 0; i < data.dataX.size() && i < data.dataY.size(); ++i) {
    if (std::isfinite(data.dataX[i]) && std::isfinite(data.dataY[i])) {
      result.points.emplace_back(data.dataX[i], data.dataY[i]);
    }
  }
  return result;
}

void AddDataPoints(MapScene& scene, DataPoints data) {
  scene.dataPoints = std::move(data.points);
  if (!data.note.isEmpty()) scene.notes << data.note;
}

QRectF PointExtent(const MapScene& scene, const std::vector<double>& x,
                   const std::vector<double>& y) {
  QRectF box;
  bool empty = true;
  for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) Include(box, empty, x[i], y[i]);
  for (const QPointF& p : scene.dataPoints) Include(box, empty, p.x(), p.y());
  return box;
}

void NoteDropped(MapScene& scene, std::size_t dropped) {
  if (dropped == 0) return;
  scene.notes
      << QString("%1 value(s) beyond +-1e20 or not finite are shown as missing.").arg(dropped);
}

MapScene LoadResiduals(const geo::ProjectFiles& files) {
  geo::ErrorAnalysisResults results;
  std::string error;
  if (!geo::ReadErrorAnalysis(files, results, error)) {
    return FailedScene(Text(files.base), QString("No residuals to map: %1").arg(Text(error)));
  }
  MapScene scene;
  scene.title = Text(results.title);
  scene.layerTitle = "Error Z*-Z";
  std::size_t dropped = 0;
  const std::vector<double> errors = CleanValues(results.error, dropped);
  double low = 0.0, high = 0.0;
  if (!FiniteRange(errors, low, high)) {
    return FailedScene(scene.title, QString("No residuals to map: every row of %1 lacks its error.")
                                        .arg(Text(files.Find(".lst").filename().string())));
  }
  scene.scale.emplace(ColourMapKind::kDiverging, low, high);
  for (std::size_t i = 0; i < results.size(); ++i) {
    scene.valuePoints.push_back({results.x[i], results.y[i], errors[i]});
  }
  scene.extent = PointExtent(scene, results.x, results.y);
  AddWarnings(scene, results.warnings);
  NoteDropped(scene, dropped);
  if (results.missingCount > 0) {
    scene.notes << QString("%1 row(s) have values written as asterisks.").arg(results.missingCount);
  }
  if (DataNewerThan(files, files.Find(".lst"))) {
    scene.notes
        << "Stale: the data file is newer than these residuals; run the error analysis again.";
  }
  return scene;
}

const char* LayerTitle(MapLayer layer) {
  switch (layer) {
    case MapLayer::kStandardError:
      return "Standard error";
    case MapLayer::kGuess:
      return "Guess";
    case MapLayer::kResiduals:
      return "Error Z*-Z";
    case MapLayer::kEstimate:
      break;
  }
  return "Estimate";
}

// Whether the run behind `method`'s results took logarithms, by the
// document beside them; a document that cannot be read says no.
bool RunTookLogarithms(const geo::ProjectFiles& files, geo::ResultMethod method) {
  project::Records records;
  project::SetDefaults(records);
  std::string ignored;
  if (!project::ReadDocumentFile(files.Find(".mnx"), records, ignored)) {
    return false;
  }
  return geo::TookLogarithms(method, {true, records.svar, records.ipl});
}

// The contour levels asked for, inside the surface's range, by the rule
// exports follow. Levels that cannot be drawn leave the map without contour
// lines and a note, or fail it when the user chose them.
std::vector<double> ChooseLevels(const geo::ProjectFiles& files, const MapRequest& request,
                                 geo::ResultMethod method, double low, double high, MapScene& scene,
                                 QString& failure) {
  geo::LevelChoice choice;
  std::string error;
  if (!geo::ParseLevelChoice(request.levels, choice, error)) {
    failure = QString("Contour levels: %1").arg(Text(error));
    return {};
  }
  geo::LevelContext context;
  context.levFile = files.Find(".lev");
  context.layerName = QString(LayerTitle(request.layer)).toLower().toStdString();
  context.estimateLayer = request.layer == MapLayer::kEstimate;
  context.levOfLogarithms = RunTookLogarithms(files, method);
  context.given = request.levelsGiven;
  std::vector<double> levels;
  if (!request.levelsGiven && choice.source == geo::LevelSource::kLevFile &&
      context.estimateLayer && !context.levOfLogarithms &&
      !geo::ReadLevelList(context.levFile, levels, error)) {
    // The map is drawn all the same: round levels stand in for the list.
    scene.notes << QString("%1; round levels are drawn instead.").arg(Text(error));
    choice.source = geo::LevelSource::kAuto;
  }
  std::string note;
  if (!geo::ResolveLevels(choice, context, low, high, levels, note, error)) {
    if (request.levelsGiven) {
      failure = QString("Contour levels: %1").arg(Text(error));
    } else {
      scene.notes << QString("No contour lines: %1.").arg(Text(error));
    }
    return {};
  }
  if (!note.empty()) {
    scene.notes << QString("%1.").arg(Text(note));
  }
  std::erase_if(levels, [&](double level) { return !(level > low && level < high); });
  return levels;
}

void AddContours(MapScene& scene, const geo::ProjectFiles& files, const geo::RegularGrid& grid,
                 const std::vector<double>& cellValues, const MapRequest& request,
                 geo::ResultMethod method, double low, double high, QString& failure) {
  const std::vector<double> levels =
      ChooseLevels(files, request, method, low, high, scene, failure);
  if (!failure.isEmpty() || levels.empty()) return;
  std::vector<geo::ContourLine> lines;
  std::string error;
  if (!geo::TraceContours(cellValues, grid, levels, lines, error)) {
    scene.notes << QString("No contour lines: %1").arg(Text(error));
    return;
  }
  scene.contours.reserve(lines.size());
  for (const geo::ContourLine& line : lines) {
    ContourLine drawn;
    drawn.level = line.level;
    drawn.points.reserve(line.points.size());
    for (const geo::ContourPoint& p : line.points) drawn.points.emplace_back(p.x, p.y);
    scene.contours.push_back(std::move(drawn));
  }
}

MapScene LoadNetwork(const geo::ProjectFiles& files, const MapRequest& request) {
  // The data file is read for its points while the results are read.
  auto dataPoints = std::async(std::launch::async, ReadDataPoints, std::cref(files));
  geo::NetworkResults results;
  std::string error;
  if (!geo::ReadNetworkResults(files, results, error)) {
    return FailedScene(Text(files.base), QString("No results to map: %1").arg(Text(error)));
  }
  const std::string method(geo::MethodName(results.method));
  const std::vector<double>* layer = &results.estimate;
  if (request.layer == MapLayer::kStandardError) layer = &results.standardError;
  if (request.layer == MapLayer::kGuess) layer = &results.guess;
  if (layer->empty()) {
    return FailedScene(Text(results.title),
                       QString("The results of %1 have no %2 layer (kriging and Bayesian "
                               "estimation write a standard error, Bayesian estimation a guess).")
                           .arg(Text(method), QString(LayerTitle(request.layer)).toLower()));
  }

  MapScene scene;
  scene.title = Text(results.title);
  scene.layerTitle = QString("%1 (%2)").arg(LayerTitle(request.layer), Text(method));
  AddWarnings(scene, results.warnings);
  std::size_t dropped = 0;
  const std::vector<double> values = CleanValues(*layer, dropped);
  NoteDropped(scene, dropped);
  double low = 0.0, high = 0.0;
  if (!FiniteRange(values, low, high)) {
    return FailedScene(scene.title,
                       QString("No values to map: none of the %1 network points in %2 has a value.")
                           .arg(results.size())
                           .arg(Text(results.positionSource)));
  }
  if (results.missingCount > 0) {
    scene.notes << QString(
                       "%1 of %2 network points have no estimate (a stopped run, or values "
                       "too wide for their field); they are left blank.")
                       .arg(results.missingCount)
                       .arg(results.size());
  }
  scene.scale.emplace(ColourMapKind::kSequential, low, high);
  if (low == high) {
    scene.notes << QString("The surface is constant (%1): no contour lines.").arg(low, 0, 'g', 8);
  }
  AddDataPoints(scene, dataPoints.get());

  geo::RegularGrid grid;
  std::string reason;
  const bool regular =
      geo::DetectRegularGrid(results.x, results.y, results.positionRounding, grid, reason) &&
      grid.cellCount() <= kLargestGridCells;
  if (regular) {
    // Geo rows run from the top; the surface's rows from the bottom.
    std::vector<double> cellValues(static_cast<std::size_t>(grid.cellCount()),
                                   std::numeric_limits<double>::quiet_NaN());
    GridSurface surface;
    surface.cols = static_cast<int>(grid.cols);
    surface.rows = static_cast<int>(grid.rows);
    surface.dx = grid.dx;
    surface.dy = grid.dy;
    surface.x0 = grid.x0;
    surface.y0 = grid.y0 - (grid.rows - 1) * grid.dy;
    surface.values.assign(cellValues.size(), std::numeric_limits<double>::quiet_NaN());
    for (std::size_t i = 0; i < grid.pointCell.size() && i < values.size(); ++i) {
      const std::int64_t cell = grid.pointCell[i];
      if (cell < 0) continue;
      cellValues[static_cast<std::size_t>(cell)] = values[i];
      const std::int64_t row = grid.rows - 1 - cell / grid.cols;
      surface.values[static_cast<std::size_t>(row * grid.cols + cell % grid.cols)] = values[i];
    }
    scene.grid = std::move(surface);
    QString failure;
    if (low < high) {
      AddContours(scene, files, grid, cellValues, request, results.method, low, high, failure);
    }
    if (!failure.isEmpty()) return FailedScene(scene.title, failure);
    scene.extent = scene.grid->CellExtent().united(PointExtent(scene, {}, {}));
    BuildColourImage(scene);
  } else {
    for (std::size_t i = 0; i < results.size(); ++i) {
      scene.valuePoints.push_back({results.x[i], results.y[i], values[i]});
    }
    scene.extent = PointExtent(scene, results.x, results.y);
    scene.notes << QString(
                       "The network is not a regular grid (%1): its points are coloured, "
                       "without contour lines.")
                       .arg(Text(reason.empty() ? std::string("too many cells") : reason));
  }
  if (DataNewerThan(files, files.Find(".dat"))) {
    scene.notes << "Stale: the data file is newer than these results; run the interpolation again.";
  }
  return scene;
}

}  // namespace

std::optional<MapLayer> MapLayerFromName(std::string_view name) {
  if (name == "estimate") return MapLayer::kEstimate;
  if (name == "std") return MapLayer::kStandardError;
  if (name == "guess") return MapLayer::kGuess;
  if (name == "residuals") return MapLayer::kResiduals;
  return std::nullopt;
}

const char* MapLayerName(MapLayer layer) {
  switch (layer) {
    case MapLayer::kStandardError:
      return "std";
    case MapLayer::kGuess:
      return "guess";
    case MapLayer::kResiduals:
      return "residuals";
    case MapLayer::kEstimate:
      break;
  }
  return "estimate";
}

MapScene LoadMapScene(const std::filesystem::path& document, const MapRequest& request) {
  const geo::ProjectFiles files = geo::ProjectFilesOf(document);
  return request.layer == MapLayer::kResiduals ? LoadResiduals(files) : LoadNetwork(files, request);
}

}  // namespace mornax::render
