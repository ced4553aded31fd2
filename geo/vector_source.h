// A layer of a vector source that GDAL opens (CSV, GeoPackage, Shapefile,
// GeoJSON, ...), its coordinate system, and its features read whole or not
// at all: a source that GDAL reads only in part is named as damaged, never
// taken for a shorter one.
#pragma once

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace mornax::geo {

struct VectorLayer {
  struct Closer {
    void operator()(GDALDataset* dataset) const { GDALClose(GDALDataset::ToHandle(dataset)); }
  };
  std::unique_ptr<GDALDataset, Closer> dataset;
  OGRLayer* layer = nullptr;
  std::string source;  // as given
  std::string where;   // "layer 'wells' of wells.gpkg", for messages
  int layerCount = 0;
};

// Opens `source` and its layer `layerName` (empty: the first). False with
// `error` naming the source: no such file, a source GDAL cannot open (a CSV
// line over GDAL's line limit named as such), no vector layer, no such layer
// (listing the layers).
bool OpenVectorLayer(const std::string& source, const std::string& layerName, VectorLayer& opened,
                     std::string& error);

// The coordinate system of the layer's geometry, canonical (CanonicalCrs);
// empty when it has none. False with `error` when the layer's system cannot
// be read: a Shapefile's .prj that GDAL cannot parse is named, not taken for
// "no coordinate system".
bool LayerCrs(const VectorLayer& opened, std::string& wkt, std::string& error);

// Reads every feature of the layer in order, handing each to `take`. False
// with `error` naming the source as damaged when GDAL reports a failure
// while counting or reading (a cut .dbf or .shp, a CSV line over GDAL's line
// limit) or when fewer or more features come than the layer's own count.
// `read` counts the features handed to `take`.
bool ReadWholeLayer(VectorLayer& opened, const std::function<void(OGRFeature&)>& take,
                    std::int64_t& read, std::string& error);

}  // namespace mornax::geo
