// The project's coordinate-system store read from any bytes: as PROJECT.crs.wkt,
// or as the PROJECT.prj of an earlier project (beside a Shapefile when the
// first byte is odd). Whatever is read must describe itself, and store and
// read back as the same system.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_files.h"
#include "geo/project_crs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mornax;
  if (size == 0) return 0;
  fuzz::ClearScratch();
  const std::uint8_t choice = data[0];
  const bool legacy = (choice & 2) != 0;
  fuzz::WriteScratch(legacy ? "P.prj" : "P.crs.wkt", data + 1, size - 1);
  if (legacy && (choice & 1)) fuzz::WriteScratch("P.shp", data, 0);
  const std::filesystem::path document = fuzz::ScratchFolder() / "P.mnx";

  std::string error;
  const auto stored = geo::ReadProjectCrs(document, error);
  if (!stored) return 0;
  fuzz::Require(error.empty(), "a system read leaves no error");
  fuzz::Require(!stored->wkt.empty(), "a system read has WKT");
  fuzz::Require(!geo::DescribeCrs(stored->wkt).empty(), "a system read has a name");
  const std::filesystem::path copy = fuzz::ScratchFolder() / "Q.mnx";
  fuzz::Require(geo::StoreProjectCrs(copy, stored->wkt, error), "a system read can be stored");
  const auto again = geo::ReadProjectCrs(copy, error);
  fuzz::Require(again.has_value(), "a stored system reads back");
  fuzz::Require(geo::SameCrs(again->wkt, stored->wkt), "a stored system reads back the same");
  fuzz::Require(geo::EpsgCode(again->wkt) == geo::EpsgCode(stored->wkt),
                "a stored system keeps its EPSG code");
  return 0;
}
