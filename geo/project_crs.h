// The project's coordinate reference system: the sidecar PROJECT.prj beside
// the document, one WKT text in the ESRI convention that GIS programs read
// beside a file. A project without the sidecar has no coordinate system.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mornax::geo {

// The sidecar of a document: the same folder and base name, extension ".prj".
std::filesystem::path ProjectCrsPath(const std::filesystem::path& document);

// Turns a coordinate-system definition into WKT (ESRI convention where the
// system can be written so): "EPSG:NNNN", the name of a .prj or .wkt file, or
// WKT text. False with `error` naming the definition when GDAL cannot parse it.
bool CrsToWkt(std::string_view definition, std::string& wkt, std::string& error);

// The project's coordinate system as stored, or nothing when the project has
// none (`error` stays empty). A sidecar that cannot be read or that GDAL
// cannot parse also gives nothing, with `error` naming the file.
std::optional<std::string> ReadProjectCrs(const std::filesystem::path& document,
                                          std::string& error);

// Validates `definition` (as CrsToWkt) and writes it as the sidecar, beside
// and renamed over the old one. On any fault the old sidecar stays.
bool StoreProjectCrs(const std::filesystem::path& document, std::string_view definition,
                     std::string& error);

// Removes the sidecar; a project without one is no fault.
bool RemoveProjectCrs(const std::filesystem::path& document, std::string& error);

// A short name for messages, with its authority code where GDAL finds one:
// "WGS 84 / UTM zone 33N (EPSG:32633)".
std::string DescribeCrs(const std::string& wkt);

// True when the two definitions describe the same system (axis order and
// WKT dialect aside). A definition GDAL cannot parse is the same as nothing.
bool SameCrs(const std::string& a, const std::string& b);

}  // namespace mornax::geo
