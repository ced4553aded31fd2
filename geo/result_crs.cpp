#include "geo/result_crs.h"

#include <optional>

#include "geo/project_crs.h"

namespace mornax::geo {

bool ReadResultCrs(const ProjectFiles& files, ResultCrs& crs, std::string& error) {
  crs = ResultCrs{};
  // The one reader of the store; it parses without following file names or
  // URLs a definition may hold.
  const std::optional<StoredCrs> stored =
      ReadProjectCrs(files.folder / (files.base + ".mnx"), error);
  if (!stored) return error.empty();
  crs.wkt = stored->wkt;
  crs.fileName = stored->file.filename().string();
  crs.epsg = EpsgCode(crs.wkt);
  crs.name = DescribeCrs(crs.wkt);
  return true;
}

bool ReadResultCrs(const ProjectFiles& files, std::string& wkt, std::string& error) {
  ResultCrs crs;
  const bool read = ReadResultCrs(files, crs, error);
  wkt = crs.wkt;
  return read;
}

}  // namespace mornax::geo
