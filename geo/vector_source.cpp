#include "geo/vector_source.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "geo/crs_definition.h"
#include "geo/file_case.h"
#include "geo/gdal_session.h"

namespace mornax::geo {
namespace {

// What GDAL's CSV reader says of a line longer than it takes.
constexpr std::string_view kLineLimitMessage = "Maximum number of characters allowed reached";

// How a user raises GDAL's CSV line limit, with the limit in force.
std::string RaiseLimit() {
  return "the environment variable OGR_CSV_MAX_LINE_SIZE raises the limit of " +
         std::string(CPLGetConfigOption("OGR_CSV_MAX_LINE_SIZE", "10000000")) + " bytes";
}

bool IsLineLimit(const std::string& message) {
  return message.find(kLineLimitMessage) != std::string::npos;
}

std::string WithDetail(std::string message) {
  const std::string detail = TakeGdalMessage();
  return detail.empty() ? message : message + ": " + detail;
}

// The .prj that GDAL reads beside a Shapefile layer, when there is one.
std::filesystem::path ShapefilePrj(const VectorLayer& opened) {
  std::filesystem::path source(opened.source);
  std::error_code status;
  std::filesystem::path prj = std::filesystem::is_directory(source, status)
                                  ? source / (std::string(opened.layer->GetName()) + ".prj")
                                  : source.replace_extension(".prj");
  prj = FindIgnoringCase(prj);
  return std::filesystem::is_regular_file(prj, status) ? prj : std::filesystem::path();
}

}  // namespace

bool OpenVectorLayer(const std::string& source, const std::string& layerName, VectorLayer& opened,
                     std::string& error) {
  EnsureGdal();
  TakeGdalMessage();
  opened = VectorLayer{};
  opened.source = source;
  opened.dataset.reset(GDALDataset::FromHandle(GDALOpenEx(
      source.c_str(), GDAL_OF_VECTOR | GDAL_OF_VERBOSE_ERROR, nullptr, nullptr, nullptr)));
  if (!opened.dataset) {
    std::error_code status;
    const std::string detail = TakeGdalMessage();
    if (!std::filesystem::exists(source, status)) {
      error = "cannot read " + source + ": no such file";
    } else if (IsLineLimit(detail)) {
      error =
          "the first line of " + source +
          " is longer than GDAL's CSV line limit, so no row can be read: shorten or split it (" +
          RaiseLimit() + ")";
    } else {
      error = "GDAL cannot open " + source + " as a vector source" +
              (detail.empty() ? "" : ": " + detail);
    }
    return false;
  }
  opened.layerCount = opened.dataset->GetLayerCount();
  if (opened.layerCount == 0) {
    error = source + " holds no vector layer";
    return false;
  }
  opened.layer = layerName.empty() ? opened.dataset->GetLayer(0)
                                   : opened.dataset->GetLayerByName(layerName.c_str());
  if (opened.layer == nullptr) {
    std::string names;
    for (int i = 0; i < opened.layerCount; ++i) {
      names += (i > 0 ? ", " : "") + std::string(opened.dataset->GetLayer(i)->GetName());
    }
    error = source + " has no layer '" + layerName + "'; its layers: " + names;
    return false;
  }
  opened.where = "layer '" + std::string(opened.layer->GetName()) + "' of " + source;
  return true;
}

bool LayerCrs(const VectorLayer& opened, std::string& wkt, std::string& error) {
  wkt.clear();
  const OGRSpatialReference* srs = opened.layer->GetSpatialRef();
  if (srs == nullptr) {
    const GDALDriver* driver = opened.dataset->GetDriver();
    const std::filesystem::path prj =
        driver != nullptr && EQUAL(driver->GetDescription(), "ESRI Shapefile")
            ? ShapefilePrj(opened)
            : std::filesystem::path();
    if (!prj.empty()) {
      error = prj.string() + " beside " + opened.source +
              " cannot be read as a coordinate system: correct or remove it, or state the "
              "source's system with --crs EPSG:NNNN";
      return false;
    }
    return true;
  }
  OGRSpatialReference copy(*srs);
  copy.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  IdentifyCrs(copy);
  wkt = CrsWkt(copy);
  if (wkt.empty()) {
    error = WithDetail("GDAL cannot write the coordinate system of " + opened.where);
    return false;
  }
  return true;
}

bool ReadWholeLayer(VectorLayer& opened, const std::function<void(OGRFeature&)>& take,
                    std::int64_t& read, std::string& error) {
  read = 0;
  OGRLayer& layer = *opened.layer;
  const GdalFailureWatch watch;
  // The count a source keeps (a Shapefile's header, a GeoPackage's table);
  // a CSV would be read through once more to count it, and its reading
  // shows a damaged line anyway.
  const GIntBig count =
      layer.TestCapability(OLCFastFeatureCount) != 0 ? layer.GetFeatureCount(FALSE) : -1;
  const bool failedCounting = watch.failures() > 0;
  layer.ResetReading();
  // Failures while `take` works (a point GDAL cannot transform) are its own
  // to report; only those of the reading itself mark the source.
  int takersFailures = 0;
  bool failedReading = failedCounting;
  if (!failedCounting) {
    for (std::unique_ptr<OGRFeature> feature(layer.GetNextFeature()); feature;
         feature.reset(layer.GetNextFeature())) {
      if (watch.failures() > takersFailures) {
        failedReading = true;
        break;
      }
      ++read;
      take(*feature);
      takersFailures = watch.failures();
    }
    failedReading = failedReading || watch.failures() > takersFailures;
  }
  if (failedReading) {
    if (IsLineLimit(watch.last())) {
      // Counting stops at the long line too, after the rows before it.
      const std::int64_t before = failedCounting ? std::max<std::int64_t>(count, 0) : read;
      error = "the line after row " + std::to_string(before) + " of " + opened.source +
              " is longer than GDAL's CSV line limit, so that row and every row after it "
              "cannot be read: shorten or split the line (" +
              RaiseLimit() + ")";
    } else {
      error =
          opened.source + " is damaged: GDAL reports '" + watch.last() + "' after " +
          std::to_string(read) + " features" +
          (count >= 0 && !failedCounting ? " of the " + std::to_string(count) + " its layer holds"
                                         : "");
    }
    return false;
  }
  if (count >= 0 && read != count) {
    error = opened.source + " is damaged: its layer says it holds " + std::to_string(count) +
            " features, but " + std::to_string(read) + " could be read";
    return false;
  }
  return true;
}

}  // namespace mornax::geo
