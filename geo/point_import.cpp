#include "geo/point_import.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <string_view>
#include <system_error>

#include "geo/crs_definition.h"
#include "geo/data_file.h"
#include "geo/gdal_session.h"
#include "geo/number_text.h"
#include "geo/replace_file.h"
#include "geo/vector_source.h"

namespace mornax::geo {
namespace {

constexpr std::size_t kMostExamples = 5;

// Column names a CSV's coordinates are recognised by, without regard to case,
// in order of preference. The columns are read as fields: cheaper than
// letting the CSV driver build a point geometry from them for every row.
constexpr const char* kCsvXNames[] = {"x",   "easting", "east",      "xcoord", "x_coord",
                                      "lon", "long",    "longitude", "lng",    nullptr};
constexpr const char* kCsvYNames[] = {"y",       "northing", "north",    "ycoord",
                                      "y_coord", "lat",      "latitude", nullptr};

// The first field of `definition` named as in `names`, or an empty string.
std::string DetectField(OGRFeatureDefn& definition, const char* const* names) {
  for (; *names != nullptr; ++names) {
    const int index = definition.GetFieldIndex(*names);
    if (index >= 0) return definition.GetFieldDefn(index)->GetNameRef();
  }
  return {};
}

bool IsCsv(const std::string& source) {
  std::string extension = std::filesystem::path(source).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".csv" || source.starts_with("CSV:");
}

std::string FieldList(OGRFeatureDefn& definition) {
  std::string list;
  for (int i = 0; i < definition.GetFieldCount(); ++i) {
    if (i > 0) list += ", ";
    list += definition.GetFieldDefn(i)->GetNameRef();
  }
  return list.empty() ? "none" : list;
}

enum class Value { kOk, kNull, kNotNumber };

// A field as a number: numeric fields as they are, text fields only when the
// whole text (blanks aside) is a finite number.
Value NumberOf(const OGRFeature& feature, int index, double& value) {
  if (!feature.IsFieldSetAndNotNull(index)) return Value::kNull;
  const OGRFieldType type = feature.GetFieldDefnRef(index)->GetType();
  if (type == OFTReal || type == OFTInteger || type == OFTInteger64) {
    value = feature.GetFieldAsDouble(index);
    return std::isfinite(value) ? Value::kOk : Value::kNotNumber;
  }
  std::string_view text = feature.GetFieldAsString(index);
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  if (text.empty()) return Value::kNull;
  if (text.front() == '+') text.remove_prefix(1);
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() ||
      !std::isfinite(value)) {
    return Value::kNotNumber;
  }
  return Value::kOk;
}

struct NamedField {
  const char* role;  // "--z" and the like, for messages
  std::string name;
  int index = -1;
};

// The fields of the request in the layer; false with `error` listing the
// layer's fields when one is missing.
bool FindFields(OGRFeatureDefn& definition, std::vector<NamedField>& fields,
                const std::string& where, std::string& error) {
  for (NamedField& field : fields) {
    field.index = definition.GetFieldIndex(field.name.c_str());
    if (field.index < 0) {
      error = where + " has no field '" + field.name + "' (" + field.role +
              "); its fields: " + FieldList(definition);
      return false;
    }
    field.name = definition.GetFieldDefn(field.index)->GetNameRef();  // as the layer spells it
  }
  return true;
}

// True for coordinate columns named like longitude and latitude ("lon",
// "Longitude", "lng_wgs84" and "lat", "LATITUDE").
bool LooksLikeLonLat(const std::string& xName, const std::string& yName) {
  std::string x = xName;
  std::string y = yName;
  for (std::string* name : {&x, &y}) {
    for (char& c : *name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return (x.starts_with("lon") || x.starts_with("lng")) && y.starts_with("lat");
}

// What becomes of the source's coordinates: taken as they are, transformed
// into the project's system, or the source's system taken by a project that
// has none. The report says which.
bool PlanCrs(const ImportRequest& request, const std::string& layerWkt, bool lonLatColumns,
             const std::string& where, std::unique_ptr<OGRCoordinateTransformation>& transformation,
             ImportReport& report, std::string& error) {
  const std::string source = request.sourceCrs ? *request.sourceCrs : layerWkt;
  std::string stated;
  if (request.sourceCrs && !layerWkt.empty() && !SameCrs(layerWkt, *request.sourceCrs)) {
    stated = " (taken as --crs states, not as its own " + DescribeCrs(layerWkt) + ")";
  }
  if (source.empty()) {
    if (request.projectCrs && lonLatColumns && IsProjectedCrs(*request.projectCrs)) {
      error = "the coordinate columns of " + where +
              " are named like longitude and latitude, but the project's " +
              DescribeCrs(*request.projectCrs) +
              " is projected: state the columns' system with --crs EPSG:4326 (or the one they "
              "are in) to transform them, or name other columns with --x and --y";
      return false;
    }
    if (request.projectCrs) {
      report.crsNote = where +
                       " has no coordinate system: its coordinates are taken as they are, in the "
                       "project's " +
                       DescribeCrs(*request.projectCrs);
    } else if (lonLatColumns) {
      report.crsNote = "the coordinate columns of " + where +
                       " are named like longitude and latitude; if they are degrees, --crs "
                       "EPSG:4326 states it and the project takes WGS 84";
    }
    return true;
  }
  if (!request.projectCrs) {
    report.adoptCrs = source;
    report.crsNote = "the project has no coordinate system and takes the source's " +
                     DescribeCrs(source) + stated;
    return true;
  }
  if (SameCrs(source, *request.projectCrs)) {
    if (!stated.empty()) report.crsNote = where + " is in the project's system" + stated;
    return true;
  }
  transformation = MakeCrsTransformation(source, *request.projectCrs, error);
  if (!transformation) return false;
  report.crsNote = "from " + DescribeCrs(source) + stated + " to the project's " +
                   DescribeCrs(*request.projectCrs);
  return true;
}

}  // namespace

std::string ImportReport::DropReasons() const {
  std::string text;
  auto add = [&text](std::int64_t count, const char* reason) {
    if (count == 0) return;
    if (!text.empty()) text += ", ";
    text += std::to_string(count) + " " + reason;
  };
  add(noValue, "with a null or non-numeric value");
  add(notPoint, "with no point geometry");
  add(notPositive, "with a value not above zero (the log transform is on)");
  add(notTransformed, "that could not be transformed");
  add(notFinite, "with a coordinate that is not a finite number");
  return text;
}

bool ReadPoints(const ImportRequest& request, ImportedPoints& points, ImportReport& report,
                std::string& error) {
  points = ImportedPoints{};
  report = ImportReport{};
  VectorLayer opened;
  if (!OpenVectorLayer(request.source, request.layer, opened, error)) return false;
  report.layerCount = opened.layerCount;
  report.layer = opened.layer->GetName();
  const std::string& where = opened.where;
  OGRLayer* layer = opened.layer;

  OGRFeatureDefn& definition = *layer->GetLayerDefn();
  std::string xField = request.xField;
  std::string yField = request.yField;
  if (IsCsv(request.source) && xField.empty() && definition.GetGeomFieldCount() == 0) {
    xField = DetectField(definition, kCsvXNames);
    yField = DetectField(definition, kCsvYNames);
    if (xField.empty() || yField.empty()) xField.clear();
  }
  const bool fromFields = !xField.empty();
  std::vector<NamedField> fields = {{"--z", request.zField}};
  if (!request.guessField.empty()) fields.push_back({"--guess", request.guessField});
  if (fromFields) {
    fields.push_back({"--x", xField});
    fields.push_back({"--y", yField});
  }
  if (!FindFields(definition, fields, where, error)) return false;
  // Fields that are not read need not be parsed.
  std::vector<const char*> ignored;
  for (int i = 0; i < definition.GetFieldCount(); ++i) {
    bool used = false;
    for (const NamedField& field : fields) used = used || field.index == i;
    if (!used) ignored.push_back(definition.GetFieldDefn(i)->GetNameRef());
  }
  if (fromFields) ignored.push_back("OGR_GEOMETRY");
  ignored.push_back(nullptr);
  layer->SetIgnoredFields(ignored.data());
  const bool withGuess = !request.guessField.empty();

  std::string layerWkt;
  if (!fromFields) {
    const OGRwkbGeometryType type = wkbFlatten(layer->GetGeomType());
    if (definition.GetGeomFieldCount() == 0 || type == wkbNone) {
      error = where + " has no point geometry: name its coordinate fields with --x and --y";
      return false;
    }
    if (type != wkbPoint && type != wkbUnknown) {
      error = where + " holds " + OGRGeometryTypeToName(type) +
              " geometries, not points: name coordinate fields with --x and --y";
      return false;
    }
    // A system stated with --crs stands for one the source cannot give.
    if (!LayerCrs(opened, layerWkt, error) && !request.sourceCrs) return false;
  }
  const bool lonLat =
      fromFields && LooksLikeLonLat(fields[fields.size() - 2].name, fields.back().name);
  std::unique_ptr<OGRCoordinateTransformation> transformation;
  if (!PlanCrs(request, layerWkt, lonLat, where, transformation, report, error)) return false;

  auto drop = [&report](std::int64_t& counter, const OGRFeature& feature, std::string why) {
    ++counter;
    if (report.examples.size() < kMostExamples) {
      report.examples.push_back("feature " + std::to_string(feature.GetFID()) + ": " + why);
    }
  };
  auto coordinates = [](double x, double y) {
    std::string text = "(";
    AppendRoundTrip(text, x);
    text += ' ';
    AppendRoundTrip(text, y);
    return text + ")";
  };
  const auto take = [&](OGRFeature& feature) {
    double values[4] = {0.0, 0.0, 0.0, 0.0};  // z, guess or x, ...
    for (std::size_t k = 0; k < fields.size(); ++k) {
      const Value got = NumberOf(feature, fields[k].index, values[k]);
      if (got != Value::kOk) {
        const std::string text =
            got == Value::kNull ? " is null"
                                : " is not a number ('" +
                                      std::string(feature.GetFieldAsString(fields[k].index)) + "')";
        drop(report.noValue, feature, "'" + fields[k].name + "'" + text);
        return;
      }
    }
    const double z = values[0];
    const double guess = withGuess ? values[1] : 0.0;
    double x = 0.0;
    double y = 0.0;
    if (fromFields) {
      x = values[fields.size() - 2];
      y = values[fields.size() - 1];
    } else {
      const OGRGeometry* geometry = feature.GetGeometryRef();
      if (geometry == nullptr || geometry->IsEmpty() ||
          wkbFlatten(geometry->getGeometryType()) != wkbPoint) {
        drop(report.notPoint, feature,
             geometry == nullptr ? std::string("no geometry")
                                 : std::string("a ") + geometry->getGeometryName() +
                                       (geometry->IsEmpty() ? " that is empty" : ", not a point"));
        return;
      }
      const auto* point = geometry->toPoint();
      x = point->getX();
      y = point->getY();
      if (!std::isfinite(x) || !std::isfinite(y)) {
        drop(report.notFinite, feature,
             "the point " + coordinates(x, y) + " has a coordinate that is not a finite number");
        return;
      }
    }
    if (request.positiveOnly && !(z > 0.0)) {
      std::string text = "'" + fields[0].name + "' is ";
      AppendRoundTrip(text, z);
      drop(report.notPositive, feature, text + ", not above zero (log transform)");
      return;
    }
    if (transformation) {
      const double givenX = x;
      const double givenY = y;
      if (!transformation->Transform(1, &x, &y)) {
        drop(report.notTransformed, feature,
             "the point " + coordinates(givenX, givenY) + " cannot be transformed");
        return;
      }
      if (!std::isfinite(x) || !std::isfinite(y)) {
        drop(report.notFinite, feature,
             "the point " + coordinates(givenX, givenY) + " is transformed to " +
                 coordinates(x, y) + ", not finite numbers");
        return;
      }
      ++report.transformed;
    }
    points.x.push_back(x);
    points.y.push_back(y);
    points.z.push_back(z);
    if (withGuess) points.guess.push_back(guess);
  };
  if (!ReadWholeLayer(opened, take, report.read, error)) {
    error += "; nothing imported";
    return false;
  }
  if (report.read == 0) {
    error = where + " is empty";
    return false;
  }
  if (points.x.empty()) {
    error = "no point taken from " + where + ": of " + std::to_string(report.read) + " features " +
            report.DropReasons() + (report.examples.empty() ? "" : "; " + report.examples.front());
    return false;
  }
  if (report.adoptCrs && IsGeographicCrs(*report.adoptCrs)) {
    // A source that claims degrees for coordinates beyond them (GeoJSON is
    // WGS 84 unless it says otherwise) must not pass its system on.
    const auto beyond = [](const std::vector<double>& values, double limit) {
      return std::any_of(values.begin(), values.end(),
                         [limit](double value) { return std::abs(value) > limit; });
    };
    if (beyond(points.x, 360.0) || beyond(points.y, 90.0)) {
      report.crsNote = "the source says it is in " + DescribeCrs(*report.adoptCrs) +
                       ", but its coordinates are no degrees: the project keeps no coordinate "
                       "system (mornax-batch crs sets one)";
      report.adoptCrs.reset();
    }
  }
  if (transformation) {
    report.crsNote = "transformed " + std::to_string(report.transformed) +
                     (report.transformed == 1 ? " point " : " points ") + report.crsNote;
  }
  return true;
}

bool WriteDataSection(const std::filesystem::path& dataFile,
                      const std::optional<std::string>& title, const std::string& fallbackTitle,
                      const ImportedPoints& points, bool& networkKept, std::string& error) {
  for (const std::vector<double>* values : {&points.x, &points.y, &points.z, &points.guess}) {
    const auto bad = std::find_if(values->begin(), values->end(),
                                  [](double value) { return !std::isfinite(value); });
    if (bad != values->end()) {
      error = "point " + std::to_string(bad - values->begin() + 1) +
              " has a number that is not finite; " + dataFile.string() + " is left as it was";
      return false;
    }
  }
  std::error_code status;
  const bool exists = std::filesystem::exists(dataFile, status);
  DataSection old;
  if (exists && !ScanDataSection(dataFile, old, error)) {
    error = "cannot find the network of " + dataFile.string() + " to keep it: " + error;
    return false;
  }
  const std::string& lineEnd = old.lineEnd;
  ReplacementFile file;
  if (!file.Open(dataFile, error)) return false;
  std::string text = title ? *title : (exists ? old.title : fallbackTitle);
  text += lineEnd;
  text += std::to_string(points.x.size()) + lineEnd;
  const bool withGuess = !points.guess.empty();
  for (std::size_t i = 0; i < points.x.size(); ++i) {
    AppendRoundTrip(text, points.x[i]);
    text += ' ';
    AppendRoundTrip(text, points.y[i]);
    text += ' ';
    AppendRoundTrip(text, points.z[i]);
    if (withGuess) {
      text += ' ';
      AppendRoundTrip(text, points.guess[i]);
    }
    text += lineEnd;
    if (text.size() > (1u << 20)) {
      file.Write(text);
      text.clear();
    }
  }
  // A file whose data section ends it has no network to keep.
  const std::uintmax_t size = exists ? std::filesystem::file_size(dataFile, status) : 0;
  networkKept = exists && !status && size > old.end;
  if (networkKept) {
    file.Write(text);
    if (!file.CopyFrom(dataFile, old.end, ReplacementFile::kToEnd, error)) return false;
  } else {
    text += "0" + lineEnd;
    file.Write(text);
  }
  return file.Commit(error);
}

}  // namespace mornax::geo
