#include "gui/render/map_loader.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <future>
#include <limits>
#include <optional>
#include <span>
#include <system_error>

#include "geo/contours.h"
#include "geo/crs_axis_unit.h"
#include "geo/data_file_text.h"
#include "geo/grid_scan.h"
#include "geo/levels.h"
#include "geo/polygon_layer.h"
#include "geo/project_crs.h"
#include "geo/regular_grid.h"
#include "geo/result_files.h"
#include "geo/run_description.h"
#include "gui/render/blanking.h"
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
  std::vector<double> values;
  QString note;
};

DataPoints ReadDataPoints(const geo::ProjectFiles& files) {
  DataPoints result;
  geo::DataFileText data;
  // The data points only: the network may hold millions of nodes.
  if (!geo::ReadDataFileText(files.Find(".dfl"), 3, 2, data, false)) {
    result.note = QString("The data points are not shown: %1 cannot be read.")
                      .arg(Text(files.Find(".dfl").filename().string()));
    return result;
  }
  result.points.reserve(data.dataX.size());
  for (std::size_t i = 0; i < data.dataX.size() && i < data.dataY.size(); ++i) {
    if (std::isfinite(data.dataX[i]) && std::isfinite(data.dataY[i])) {
      result.points.emplace_back(data.dataX[i], data.dataY[i]);
      result.values.push_back(i < data.dataZ.size() ? data.dataZ[i]
                                                    : std::numeric_limits<double>::quiet_NaN());
    }
  }
  return result;
}

void AddDataPoints(MapScene& scene, DataPoints data) {
  scene.dataPoints = std::move(data.points);
  scene.dataValues = std::move(data.values);
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

// The definition of the project's coordinate system, when it has one.
std::optional<std::string> ProjectCrsWkt(const std::filesystem::path& document,
                                         std::string& error) {
  std::optional<geo::StoredCrs> stored = geo::ReadProjectCrs(document, error);
  if (!stored) return std::nullopt;
  return std::move(stored->wkt);
}

// The project's coordinate system for the map's margin and scale bar; a
// sidecar that cannot be read is a note, not a failure.
void AddCoordinateSystem(MapScene& scene, const std::filesystem::path& document) {
  std::string error;
  const std::optional<std::string> wkt = ProjectCrsWkt(document, error);
  if (!error.empty()) scene.notes << QString("Coordinate system: %1").arg(Text(error));
  if (!wkt) return;
  scene.crs = Text(geo::DescribeCrs(*wkt));
  scene.axisUnit = Text(geo::CrsAxisUnit(*wkt));
}

// The colour scale of the values low..high under the style: its ramp, a
// fixed range when one is set, and classes between the contour levels.
ColourScale MakeScale(const MapStyle& style, bool residuals, double low, double high) {
  const ColourRamp ramp =
      style.ramp.value_or(residuals ? ColourRamp::kBlueWhiteRed : ColourRamp::kViridis);
  if (style.rangeLow && style.rangeHigh) {
    return ColourScale(ramp, *style.rangeLow, *style.rangeHigh);
  }
  // Errors are centred on zero so that the middle colour means "no error".
  return ColourScale(ramp, low, high, residuals && IsDiverging(ramp));
}

void ApplyFurniture(MapScene& scene, const MapStyle& style) {
  scene.showDataPoints = style.showDataPoints;
  scene.postValues = style.postValues;
  scene.scaleBar = style.scaleBar;
  scene.smoothCells = style.cells == CellDrawing::kSmooth;
}

MapScene LoadResiduals(const geo::ProjectFiles& files, const MapRequest& request) {
  geo::ErrorAnalysisResults results;
  std::string error;
  if (!geo::ReadErrorAnalysis(files, results, error)) {
    return FailedScene(Text(files.base), QString("No residuals to map: %1").arg(Text(error)));
  }
  MapScene scene;
  scene.title = Text(results.title);
  scene.layerTitle = "Error Z*-Z";
  ApplyFurniture(scene, request.style);
  std::size_t dropped = 0;
  const std::vector<double> errors = CleanValues(results.error, dropped);
  double low = 0.0, high = 0.0;
  if (!FiniteRange(errors, low, high)) {
    return FailedScene(scene.title, QString("No residuals to map: every row of %1 lacks its error.")
                                        .arg(Text(files.Find(".lst").filename().string())));
  }
  scene.scale = MakeScale(request.style, true, low, high);
  std::vector<ResidualRow> rows;
  for (std::size_t i = 0; i < results.size(); ++i) {
    scene.valuePoints.push_back({results.x[i], results.y[i], errors[i]});
    rows.push_back(
        {results.x[i], results.y[i], results.measured[i], results.estimated[i], errors[i]});
  }
  scene.residuals = SummariseResiduals(std::move(rows));
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

// The contour levels asked for, inside the surface's range: the style's
// interval, or the levels by the rule exports follow. Levels that cannot be
// drawn leave the map without contour lines and a note, or fail it when the
// batch tool's user chose them.
std::vector<double> ChooseLevels(const geo::ProjectFiles& files, const MapRequest& request,
                                 geo::ResultMethod method, double low, double high, MapScene& scene,
                                 QString& failure) {
  LevelSpec spec;
  std::string error;
  if (request.style.levels) {
    spec = *request.style.levels;
  } else {
    geo::LevelChoice choice;
    if (!geo::ParseLevelChoice(request.levels, choice, error)) {
      failure = QString("Contour levels: %1").arg(Text(error));
      return {};
    }
    spec.mode = choice.source == geo::LevelSource::kAuto     ? LevelMode::kAuto
                : choice.source == geo::LevelSource::kValues ? LevelMode::kList
                                                             : LevelMode::kLevFile;
    spec.values = choice.values;
  }
  std::vector<double> levels;
  const auto inside = [&] {
    std::erase_if(levels, [&](double level) { return !(level > low && level < high); });
    return levels;
  };
  if (spec.mode == LevelMode::kInterval) {
    if (!IntervalLevels(spec, low, high, levels, error)) {
      // The map stays; the levels are what is wrong.
      scene.notes << QString("No contour lines: %1.").arg(Text(error));
      levels.clear();
    }
    return inside();
  }
  geo::LevelChoice choice;
  choice.source = spec.mode == LevelMode::kAuto   ? geo::LevelSource::kAuto
                  : spec.mode == LevelMode::kList ? geo::LevelSource::kValues
                                                  : geo::LevelSource::kLevFile;
  choice.values = spec.values;
  geo::LevelContext context;
  context.levFile = files.Find(".lev");
  context.layerName = QString(LayerTitle(request.layer)).toLower().toStdString();
  context.estimateLayer = request.layer == MapLayer::kEstimate;
  context.levOfLogarithms = RunTookLogarithms(files, method);
  context.given = request.levelsGiven;
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
  if (!note.empty()) scene.notes << QString("%1.").arg(Text(note));
  return inside();
}

void AddContours(MapScene& scene, const geo::RegularGrid& grid,
                 const std::vector<double>& cellValues, const std::vector<double>& levels) {
  if (levels.empty()) return;
  std::vector<geo::ContourLine> lines;
  std::string error;
  if (!geo::TraceContours(cellValues, grid, levels, lines, error)) {
    scene.notes << QString("No contour lines: %1").arg(Text(error));
    return;
  }
  scene.contours.reserve(lines.size());
  for (geo::ContourLine& line : lines) {
    ContourLine drawn;
    drawn.level = line.level;
    drawn.points.reserve(line.points.size());
    for (const geo::ContourPoint& p : line.points) drawn.points.emplace_back(p.x, p.y);
    scene.contours.push_back(std::move(drawn));
    line.points = {};  // each line held once: the lines of a large grid are many
  }
}

// The rings outside which the map is blanked, or a note saying why there
// are none.
std::vector<QPolygonF> BlankingRings(const MapStyle& style, const MapScene& scene,
                                     const std::filesystem::path& document) {
  std::vector<QPolygonF> rings;
  if (style.blanking == Blanking::kHull) {
    const QPolygonF hull = ConvexHull(scene.dataPoints);
    if (!hull.isEmpty()) rings.push_back(hull);
  } else if (style.blanking == Blanking::kPolygons) {
    std::string error;
    const std::optional<std::string> wkt = ProjectCrsWkt(document, error);
    std::vector<geo::PolygonRing> read;
    if (geo::ReadPolygonRings(style.polygonFile, wkt, read, error)) {
      for (const geo::PolygonRing& ring : read) {
        QPolygonF polygon;
        for (std::size_t i = 0; i < ring.x.size(); ++i) polygon << QPointF(ring.x[i], ring.y[i]);
        rings.push_back(std::move(polygon));
      }
    }
  }
  return rings;
}

QString BlankingProblem(const MapStyle& style, const std::filesystem::path& document) {
  if (style.blanking == Blanking::kHull) {
    return "Not blanked: the data points span no area, so they have no hull.";
  }
  std::string error;
  std::vector<geo::PolygonRing> read;
  geo::ReadPolygonRings(style.polygonFile, ProjectCrsWkt(document, error), read, error);
  return QString("Not blanked: %1.").arg(Text(error));
}

// A surface's rows turned over in place: the geo room's order (row 0 at the
// top) and the surface's (row 0 at the bottom) are each other's reverse.
void FlipRows(std::vector<double>& values, std::int64_t cols, std::int64_t rows) {
  for (std::int64_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom) {
    std::swap_ranges(values.begin() + static_cast<std::ptrdiff_t>(top * cols),
                     values.begin() + static_cast<std::ptrdiff_t>((top + 1) * cols),
                     values.begin() + static_cast<std::ptrdiff_t>(bottom * cols));
  }
}

// The surface's contours, colour scale classes and image, once its values
// (blanked) and their range low..high are known. False with `failure` when
// the levels the user chose cannot be drawn.
bool FinishGridScene(MapScene& scene, const geo::ProjectFiles& files, const MapRequest& request,
                     geo::ResultMethod method, const geo::RegularGrid& grid, GridSurface surface,
                     double low, double high, QString& failure) {
  std::vector<double> levels;
  if (low < high) levels = ChooseLevels(files, request, method, low, high, scene, failure);
  if (!failure.isEmpty()) return false;
  // The contours follow the blanked surface, rows from the top: turned over
  // for the trace and back, rather than copied.
  FlipRows(surface.values, surface.cols, surface.rows);
  AddContours(scene, grid, surface.values, levels);
  FlipRows(surface.values, surface.cols, surface.rows);
  if (request.style.classed) scene.scale->SetClasses(levels);
  scene.grid = std::move(surface);
  scene.extent = scene.grid->CellExtent().united(PointExtent(scene, {}, {}));
  BuildColourImage(scene);
  return true;
}

// The layer's value of one record.
double LayerValue(MapLayer layer, const geo::NetworkRecord& record) {
  return layer == MapLayer::kStandardError ? record.standardError
         : layer == MapLayer::kGuess       ? record.guess
                                           : record.estimate;
}

// A regular grid's results that need nothing worked around, read a point at
// a time straight into the surface (two passes: the grid, then the values),
// so that a map of millions of nodes holds one layer of them. Nothing when
// the results take the whole-array path: anything to work around, no grid,
// or a layer the method did not write (that path says so).
std::optional<MapScene> LoadGridStreamed(const std::filesystem::path& document,
                                         const geo::ProjectFiles& files,
                                         const MapRequest& request) {
  std::error_code status;
  const std::uintmax_t bytes = std::filesystem::file_size(files.Find(".dat"), status);
  geo::GridScan scan(status ? 1 : static_cast<std::int64_t>(bytes / 51) + 1);
  geo::NetworkStream stream;
  const bool clean = geo::StreamNetworkResults(files, stream, [&scan](const geo::NetworkRecord& r) {
    scan.Add(std::span(&r.x, 1), std::span(&r.y, 1));
    return true;
  });
  const bool hasStd =
      stream.method == geo::ResultMethod::kKriging || stream.method == geo::ResultMethod::kBayes;
  const bool hasGuess = stream.method == geo::ResultMethod::kBayes;
  if (!clean || (request.layer == MapLayer::kStandardError && !hasStd) ||
      (request.layer == MapLayer::kGuess && !hasGuess)) {
    return std::nullopt;
  }
  geo::RegularGrid grid;
  std::string reason;
  if (!scan.Finish(-1.0, grid, reason) || grid.cellCount() > kLargestGridCells) {
    return std::nullopt;
  }
  GridSurface surface;
  surface.values.assign(static_cast<std::size_t>(grid.cellCount()),
                        std::numeric_limits<double>::quiet_NaN());
  std::vector<bool> taken(surface.values.size(), false);
  std::size_t dropped = 0, missing = 0;
  const bool again = geo::StreamNetworkResults(files, stream, [&](const geo::NetworkRecord& r) {
    const std::int64_t cell = geo::NodeCell(grid, r.x, r.y, scan.rounding());
    if (cell < 0 || taken[static_cast<std::size_t>(cell)]) return false;
    taken[static_cast<std::size_t>(cell)] = true;
    if (std::isnan(r.estimate)) ++missing;
    const double value = LayerValue(request.layer, r);
    if (std::isfinite(value) && std::abs(value) <= kLargestMapValue) {
      surface.values[static_cast<std::size_t>(cell)] = value;
    } else if (!std::isnan(value)) {
      ++dropped;
    }
    return true;
  });
  if (!again) return std::nullopt;
  taken = {};
  FlipRows(surface.values, grid.cols, grid.rows);  // geo rows from the top, the surface's up
  surface.cols = static_cast<int>(grid.cols);
  surface.rows = static_cast<int>(grid.rows);
  surface.dx = grid.dx;
  surface.dy = grid.dy;
  surface.x0 = grid.x0;
  surface.y0 = grid.y0 - static_cast<double>(grid.rows - 1) * grid.dy;

  const std::string method(geo::MethodName(stream.method));
  MapScene scene;
  scene.title = Text(stream.title);
  scene.layerTitle = QString("%1 (%2)").arg(LayerTitle(request.layer), Text(method));
  scene.hasStandardError = hasStd;
  scene.hasGuess = hasGuess;
  ApplyFurniture(scene, request.style);
  NoteDropped(scene, dropped);
  if (missing > 0) {
    scene.notes << QString(
                       "%1 of %2 network points have no estimate (values too wide for their "
                       "field, or not written); they are left blank.")
                       .arg(missing)
                       .arg(stream.count);
  }
  // The data points after the network's passes, not beside them: one copy
  // of the data file's points in memory at a time.
  AddDataPoints(scene, ReadDataPoints(files));
  std::vector<QPolygonF> rings;
  if (request.style.blanking != Blanking::kNone) {
    rings = BlankingRings(request.style, scene, document);
    if (rings.empty()) scene.notes << BlankingProblem(request.style, document);
    if (!rings.empty()) BlankGridOutside(surface, rings);
  }
  scene.blankingOutline = rings;
  double low = 0.0, high = 0.0;
  if (!FiniteRange(surface.values, low, high)) {
    return FailedScene(scene.title,
                       rings.empty()
                           ? QString("No values to map: none of the %1 network points in %2 has "
                                     "a value.")
                                 .arg(stream.count)
                                 .arg(Text(stream.positionSource))
                           : QString("No values to map: every network point with a value lies "
                                     "outside the blanking area."));
  }
  scene.scale = MakeScale(request.style, false, low, high);
  if (low == high) {
    scene.notes << QString("The surface is constant (%1): no contour lines.").arg(low, 0, 'g', 8);
  }
  QString failure;
  if (!FinishGridScene(scene, files, request, stream.method, grid, std::move(surface), low, high,
                       failure)) {
    return FailedScene(scene.title, failure);
  }
  if (DataNewerThan(files, files.Find(".dat"))) {
    scene.notes << "Stale: the data file is newer than these results; run the interpolation again.";
  }
  return scene;
}

MapScene LoadNetwork(const std::filesystem::path& document, const geo::ProjectFiles& files,
                     const MapRequest& request) {
  if (std::optional<MapScene> streamed = LoadGridStreamed(document, files, request)) {
    return std::move(*streamed);
  }
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
    MapScene failed =
        FailedScene(Text(results.title),
                    QString("The results of %1 have no %2 layer (kriging and Bayesian "
                            "estimation write a standard error, Bayesian estimation a guess).")
                        .arg(Text(method), QString(LayerTitle(request.layer)).toLower()));
    failed.hasStandardError = !results.standardError.empty();
    failed.hasGuess = !results.guess.empty();
    return failed;
  }

  MapScene scene;
  scene.title = Text(results.title);
  scene.layerTitle = QString("%1 (%2)").arg(LayerTitle(request.layer), Text(method));
  scene.hasStandardError = !results.standardError.empty();
  scene.hasGuess = !results.guess.empty();
  ApplyFurniture(scene, request.style);
  // A stopped run: the reader says how many points the files hold; the map
  // marks itself and adds no second note of its own.
  const bool shortRun =
      results.missingCount > 0 &&
      std::any_of(results.warnings.begin(), results.warnings.end(), [](const std::string& w) {
        return w.find("a stopped run") != std::string::npos;
      });
  AddWarnings(scene, results.warnings);
  std::size_t dropped = 0;
  std::vector<double> values = CleanValues(*layer, dropped);
  NoteDropped(scene, dropped);
  // The points after the last one the stopped run wrote are said by the
  // reader's warning; only gaps before them get a note here.
  std::size_t tail = 0;
  for (auto v = results.estimate.rbegin();
       shortRun && v != results.estimate.rend() && std::isnan(*v); ++v) {
    ++tail;
  }
  if (shortRun) {
    scene.badge =
        QString("Stopped run: %1 of %2 points").arg(results.size() - tail).arg(results.size());
  }
  if (results.missingCount > tail) {
    scene.notes << QString(
                       "%1 of %2 network points have no estimate (values too wide for their "
                       "field, or not written); they are left blank.")
                       .arg(results.missingCount - tail)
                       .arg(results.size());
  }
  AddDataPoints(scene, dataPoints.get());

  // Blanking outside the hull or the polygons, before the range and the
  // contours are taken.
  std::vector<QPolygonF> rings;
  if (request.style.blanking != Blanking::kNone) {
    rings = BlankingRings(request.style, scene, document);
    if (rings.empty()) scene.notes << BlankingProblem(request.style, document);
  }

  geo::RegularGrid grid;
  std::string reason;
  const bool regular =
      geo::DetectRegularGrid(results.x, results.y, results.positionRounding, grid, reason) &&
      grid.cellCount() <= kLargestGridCells;
  GridSurface surface;
  if (regular) {
    surface.cols = static_cast<int>(grid.cols);
    surface.rows = static_cast<int>(grid.rows);
    surface.dx = grid.dx;
    surface.dy = grid.dy;
    surface.x0 = grid.x0;
    surface.y0 = grid.y0 - (grid.rows - 1) * grid.dy;
    // Geo rows run from the top; the surface's rows from the bottom.
    surface.values.assign(static_cast<std::size_t>(grid.cellCount()),
                          std::numeric_limits<double>::quiet_NaN());
    for (std::size_t i = 0; i < grid.pointCell.size() && i < values.size(); ++i) {
      const std::int64_t cell = grid.pointCell[i];
      if (cell < 0) continue;
      const std::int64_t row = grid.rows - 1 - cell / grid.cols;
      surface.values[static_cast<std::size_t>(row * grid.cols + cell % grid.cols)] = values[i];
    }
    if (!rings.empty()) BlankGridOutside(surface, rings);
  } else {
    for (std::size_t i = 0; i < results.size(); ++i) {
      scene.valuePoints.push_back({results.x[i], results.y[i], values[i]});
    }
    if (!rings.empty()) BlankPointsOutside(scene.valuePoints, rings);
  }
  scene.blankingOutline = rings;

  double low = 0.0, high = 0.0;
  const bool anyValue = regular ? FiniteRange(surface.values, low, high) : [&] {
    std::vector<double> shown;
    for (const ValuePoint& p : scene.valuePoints) shown.push_back(p.value);
    return FiniteRange(shown, low, high);
  }();
  if (!anyValue) {
    return FailedScene(scene.title,
                       rings.empty()
                           ? QString("No values to map: none of the %1 network points in %2 has "
                                     "a value.")
                                 .arg(results.size())
                                 .arg(Text(results.positionSource))
                           : QString("No values to map: every network point with a value lies "
                                     "outside the blanking area."));
  }
  scene.scale = MakeScale(request.style, false, low, high);
  if (low == high) {
    scene.notes << QString("The surface is constant (%1): no contour lines.").arg(low, 0, 'g', 8);
  }

  if (regular) {
    QString failure;
    if (!FinishGridScene(scene, files, request, results.method, grid, std::move(surface), low, high,
                         failure)) {
      return FailedScene(scene.title, failure);
    }
  } else {
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
  MapScene scene = request.layer == MapLayer::kResiduals ? LoadResiduals(files, request)
                                                         : LoadNetwork(document, files, request);
  if (scene.failure.isEmpty()) AddCoordinateSystem(scene, document);
  return scene;
}

}  // namespace mornax::render
