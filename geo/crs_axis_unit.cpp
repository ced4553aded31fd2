#include "geo/crs_axis_unit.h"

#include <ogr_spatialref.h>

#include <cmath>

#include "geo/gdal_session.h"

namespace mornax::geo {

std::string CrsAxisUnit(const std::string& wkt) {
  if (wkt.empty()) return {};
  EnsureGdal();
  OGRSpatialReference srs;
  if (srs.SetFromUserInput(wkt.c_str()) != OGRERR_NONE) return {};
  if (srs.IsGeographic()) return "deg";
  const char* unit = nullptr;
  const double metres = srs.GetLinearUnits(&unit);
  if (std::abs(metres - 1.0) < 1e-12) return "m";
  if (std::abs(metres - 1000.0) < 1e-9) return "km";
  if (std::abs(metres - 0.3048) < 1e-9) return "ft";
  if (std::abs(metres - 1200.0 / 3937.0) < 1e-9) return "US ft";
  return unit != nullptr ? unit : "";
}

}  // namespace mornax::geo
