#include "geo/grid_network.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <system_error>
#include <vector>

#include "geo/clip_polygons.h"
#include "geo/crs_definition.h"
#include "geo/data_file.h"
#include "geo/node_region.h"
#include "geo/number_text.h"
#include "geo/raster_layout.h"
#include "geo/raster_sampler.h"
#include "geo/regular_grid.h"
#include "geo/replace_file.h"

namespace mornax::geo {
namespace {

// Column positions are formatted once when there are not too many of them.
constexpr std::int64_t kMostCachedColumns = 1 << 22;

// A network with missing nodes is checked the way export recognises a
// regular grid, up to this many nodes (the check holds every position).
constexpr std::int64_t kMostCheckedNodes = 20'000'000;

std::string Text(double value) {
  std::string text;
  AppendSignificant15(text, value);
  return text;
}

std::string NodeText(double x, double y) {
  return "(" + Text(x) + ", " + Text(y) + ")";
}

std::string ExtentText(const GridLayout& layout) {
  return Text(layout.xmin) + " " + Text(layout.ymin) + " " + Text(layout.xmax()) + " " +
         Text(layout.ymax());
}

// The layout of the request: the raster's cells, or spacing and extent.
bool LayOut(const NetworkRequest& request, const DataSection& section, NetworkReport& report,
            std::string& error) {
  if (request.like) {
    std::string rasterCrs;
    if (!LayOutLikeRaster(*request.like, report.layout, rasterCrs, error)) return false;
    const std::string name = request.like->string();
    if (!rasterCrs.empty() && request.projectCrs && !SameCrs(rasterCrs, *request.projectCrs)) {
      error = name + " is in " + DescribeCrs(rasterCrs) + ", the project in " +
              DescribeCrs(*request.projectCrs) +
              ": its cells are no grid in the project's system; warp the raster into it first "
              "(gdalwarp -t_srs)";
      return false;
    }
    if (!rasterCrs.empty() && !request.projectCrs) {
      report.notes.push_back(name + " is in " + DescribeCrs(rasterCrs) +
                             "; the project has no coordinate system (mornax-batch crs sets one)");
    }
    return true;
  }
  GridRequest grid = request.grid;
  // The default extent leaves room for a hull grown beyond the data.
  if (request.hullMargin && *request.hullMargin > 0.0 && !grid.extent && !grid.margin) {
    grid.margin = *request.hullMargin + std::max(grid.dx, grid.dy);
  }
  return LayOutGrid(grid, section.x, section.y, report.layout, error);
}

// The regions the network keeps its nodes in; false with `error` when one
// cannot be made.
bool MakeRegions(const NetworkRequest& request, const DataSection& section, NetworkReport& report,
                 std::vector<std::unique_ptr<NodeRegion>>& regions, std::string& error) {
  if (request.hullMargin) {
    const double margin = *request.hullMargin;
    if (!(std::isfinite(margin) && margin >= 0.0)) {
      error = "--hull takes a margin of 0 or more, not " + Text(margin);
      return false;
    }
    if (section.x.empty()) {
      error =
          "--hull keeps the nodes near the data points, and the data file has none: import "
          "them first (mornax-batch import PROJECT.mnx SOURCE --z FIELD)";
      return false;
    }
    regions.push_back(std::make_unique<HullRegion>(section.x, section.y, margin));
  }
  if (request.clip) {
    std::vector<std::vector<Ring>> polygons;
    std::string note;
    if (!ReadClipPolygons(request.clip->string(), request.projectCrs, polygons, note, error)) {
      return false;
    }
    if (!note.empty()) report.notes.push_back(note);
    regions.push_back(std::make_unique<PolygonRegion>(polygons));
  }
  return true;
}

std::string NoNodeLeft(const NetworkRequest& request, const GridLayout& layout) {
  std::string where;
  if (request.clip) where = "inside the polygons of " + request.clip->string();
  if (request.hullMargin) {
    where += std::string(where.empty() ? "" : " and ") + "within " + Text(*request.hullMargin) +
             " of the data points' convex hull";
  }
  return "no node of the " + std::to_string(layout.columns) + " x " + std::to_string(layout.rows) +
         " grid (extent " + ExtentText(layout) + ") lies " + where + ": choose a finer spacing" +
         (request.hullMargin ? ", a larger hull margin" : "") +
         (request.clip ? ", or polygons that cover the grid in the project's coordinate system"
                       : "");
}

// A note when export would not take the kept nodes for a regular grid. Only
// a network that fills less than a quarter of the box around its nodes can
// fail that test; a fuller one is not checked the long way.
void CheckKeptGrid(const GridLayout& layout, const std::vector<bool>& keep, std::int64_t kept,
                   NetworkReport& report) {
  std::int64_t top = layout.rows;
  std::int64_t bottom = -1;
  std::int64_t left = layout.columns;
  std::int64_t right = -1;
  for (std::int64_t row = 0; row < layout.rows; ++row) {
    for (std::int64_t column = 0; column < layout.columns; ++column) {
      if (!keep[static_cast<std::size_t>(row * layout.columns + column)]) continue;
      top = std::min(top, row);
      bottom = row;
      left = std::min(left, column);
      right = std::max(right, column);
    }
  }
  const double box = static_cast<double>(bottom - top + 1) * static_cast<double>(right - left + 1);
  if (4.0 * static_cast<double>(kept) >= box || kept > kMostCheckedNodes) return;
  std::vector<double> x;
  std::vector<double> y;
  x.reserve(static_cast<std::size_t>(kept));
  y.reserve(static_cast<std::size_t>(kept));
  for (std::int64_t row = top; row <= bottom; ++row) {
    for (std::int64_t column = left; column <= right; ++column) {
      if (keep[static_cast<std::size_t>(row * layout.columns + column)]) {
        x.push_back(layout.X(column));
        y.push_back(layout.Y(row));
      }
    }
  }
  RegularGrid grid;
  std::string reason;
  if (!DetectRegularGrid(x, y, 0.0, grid, reason)) {
    report.notes.push_back(
        "export and map will take these nodes for scattered points, not a "
        "regular grid (" +
        reason + "): a finer spacing or a larger region keeps more nodes");
  }
}

}  // namespace

bool WriteGridNetwork(const std::filesystem::path& dataFile, const NetworkRequest& request,
                      NetworkReport& report, std::string& error) {
  report = NetworkReport{};
  std::error_code status;
  if (!std::filesystem::exists(dataFile, status)) {
    std::filesystem::path document = dataFile.filename();
    document.replace_extension(".mnx");
    error = dataFile.string() +
            " does not exist yet: import the data points first (mornax-batch import " +
            document.string() + " SOURCE --z FIELD), then lay out the grid";
    return false;
  }
  DataSection section;
  if (!ScanDataSection(dataFile, section, error)) return false;
  const NetworkGuesses& guesses = request.guesses;
  const bool withGuesses = guesses.constant.has_value() || guesses.raster.has_value();
  if (section.guesses && !withGuesses) {
    error = "the data points of " + dataFile.string() +
            " carry guesses, so the network needs them too: give --guess-raster FILE or --guess V";
    return false;
  }
  if (guesses.constant && !std::isfinite(*guesses.constant)) {
    error = "--guess must be a finite number";
    return false;
  }
  if (!LayOut(request, section, report, error)) return false;
  const GridLayout& layout = report.layout;

  std::vector<std::unique_ptr<NodeRegion>> regions;
  if (!MakeRegions(request, section, report, regions, error)) return false;
  std::vector<bool> keep;
  report.nodes = layout.nodes();
  if (!regions.empty()) {
    keep.assign(static_cast<std::size_t>(layout.nodes()), true);
    for (const auto& region : regions) region->Restrict(layout, keep);
    report.nodes = static_cast<std::int64_t>(std::count(keep.begin(), keep.end(), true));
    if (report.nodes == 0) {
      error = NoNodeLeft(request, layout);
      return false;
    }
  }

  RasterSampler sampler;
  if (guesses.raster && !sampler.Load(*guesses.raster, layout.X(0), layout.Y(layout.rows - 1),
                                      layout.X(layout.columns - 1), layout.Y(0), error)) {
    return false;
  }
  std::string constantText;
  if (guesses.constant) AppendSignificant15(constantText, *guesses.constant);

  ReplacementFile file;
  if (!file.Open(dataFile, error) || !file.CopyFrom(dataFile, 0, section.end, error)) {
    return false;
  }
  const std::string& lineEnd = section.lineEnd;
  std::string text;
  if (!section.endsWithLineEnd) text += lineEnd;
  text += std::to_string(report.nodes) + lineEnd;
  file.Write(text);

  std::vector<std::string> columnTexts;
  if (layout.columns <= kMostCachedColumns) {
    columnTexts.resize(static_cast<std::size_t>(layout.columns));
    for (std::int64_t column = 0; column < layout.columns; ++column) {
      AppendSignificant15(columnTexts[static_cast<std::size_t>(column)], layout.X(column));
    }
  }
  for (std::int64_t row = 0; row < layout.rows; ++row) {
    text.clear();
    std::string rowText;
    const double y = layout.Y(row);
    AppendSignificant15(rowText, y);
    for (std::int64_t column = 0; column < layout.columns; ++column) {
      const std::int64_t node = row * layout.columns + column;
      if (!keep.empty() && !keep[static_cast<std::size_t>(node)]) continue;
      if (columnTexts.empty()) {
        AppendSignificant15(text, layout.X(column));
      } else {
        text += columnTexts[static_cast<std::size_t>(column)];
      }
      text += ' ';
      text += rowText;
      if (guesses.raster) {
        double guess = 0.0;
        if (!sampler.Sample(layout.X(column), y, guess)) {
          error = "grid node " + std::to_string(node + 1) + " at " + NodeText(layout.X(column), y) +
                  " has no value in " + guesses.raster->string() + " (outside it or nodata)";
          return false;
        }
        text += ' ';
        AppendSignificant15(text, guess);
      } else if (guesses.constant) {
        text += ' ';
        text += constantText;
      }
      text += lineEnd;
      if (text.size() > (1u << 20)) {
        file.Write(text);
        text.clear();
      }
    }
    file.Write(text);
  }
  if (!file.Commit(error)) return false;
  if (!keep.empty()) CheckKeptGrid(layout, keep, report.nodes, report);
  return true;
}

bool WriteGridNetwork(const std::filesystem::path& dataFile, const GridRequest& request,
                      const NetworkGuesses& guesses, GridLayout& layout, std::string& error) {
  NetworkRequest network;
  network.grid = request;
  network.guesses = guesses;
  NetworkReport report;
  const bool written = WriteGridNetwork(dataFile, network, report, error);
  layout = report.layout;
  return written;
}

}  // namespace mornax::geo
