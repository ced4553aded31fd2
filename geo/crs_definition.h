// Coordinate reference systems as text: definitions parsed without file or
// network access, identified against GDAL's EPSG database, written as WKT2,
// described, compared and turned into transformations. Every system handed
// on from here carries its EPSG identifier when the database knows it, so
// that GeoTIFF keys and GeoPackage rows can name it.
#pragma once

#include <ogr_spatialref.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace mornax::geo {

// Parses `text` (WKT of any dialect, AUTHORITY:CODE, a PROJ string) into
// `srs`, x east and y north whatever the system's own axis order. GDAL opens
// no file and no URL named inside the text. False when it cannot parse it.
bool ParseCrs(const std::string& text, OGRSpatialReference& srs);

// Replaces `srs` by its EPSG definition when GDAL's database matches it with
// full confidence (100); a system that names its EPSG code already stays.
// True when the system carries an EPSG code afterwards.
bool IdentifyCrs(OGRSpatialReference& srs);

// The system as WKT2 (2019), on one line or indented over several; empty
// when GDAL cannot write it.
std::string CrsWkt(const OGRSpatialReference& srs, bool multiline = false);

// Text of any form ParseCrs takes, parsed, identified and written as WKT2 on
// one line. False with `error` holding GDAL's message (perhaps empty) when it
// cannot be parsed or written.
bool CanonicalCrs(const std::string& text, std::string& wkt, std::string& error);

// Reads a definition file of at most 1 MiB whole, blanks around it removed.
// False with `error` naming the file when it cannot be read or is larger.
bool ReadCrsFile(const std::filesystem::path& path, std::string& text, std::string& error);

// A definition the user gives: "EPSG:NNNN" (or another authority), the name
// of a .prj or .wkt file, or WKT text, made canonical (CanonicalCrs). False
// with `error` naming the definition and what to give instead; a bare number
// is answered with the EPSG code it may mean.
bool CrsToWkt(std::string_view definition, std::string& wkt, std::string& error);

// The functions below take WKT as CanonicalCrs writes it: identified once
// there (matching is slow for a system the database lacks), not again here.

// A short name for messages with the EPSG code: "Amersfoort / RD New
// (EPSG:28992)", or "NAME (no EPSG code)" for a system the database lacks.
std::string DescribeCrs(const std::string& wkt);

// The EPSG code the system carries, 0 when it has none.
int EpsgCode(const std::string& wkt);

// True for a projected system (coordinates in metres or feet, not degrees).
bool IsProjectedCrs(const std::string& wkt);

// True for a geographic system (coordinates in degrees).
bool IsGeographicCrs(const std::string& wkt);

// True when the two definitions describe the same system (axis order and
// WKT dialect aside). A definition GDAL cannot parse is the same as nothing.
bool SameCrs(const std::string& a, const std::string& b);

// The transformation from one system into another, both x east and y north.
// Null with `error` naming both systems when GDAL cannot make it.
std::unique_ptr<OGRCoordinateTransformation> MakeCrsTransformation(const std::string& from,
                                                                   const std::string& to,
                                                                   std::string& error);

}  // namespace mornax::geo
