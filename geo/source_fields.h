// What a vector source offers an import before anything is read from it:
// its layers, and the fields and geometry of one layer, so that a user can
// pick the fields of x, y, the value and the guess from the source's own list.
#pragma once

#include <string>
#include <vector>

namespace mornax::geo {

struct SourceFields {
  std::vector<std::string> layers;  // every layer of the source, in order
  std::string layer;                // the layer described
  std::vector<std::string> fields;  // its attribute fields, in order
  std::vector<bool> numeric;        // per field: integer or real
  bool pointGeometry = false;       // the layer has point geometries
  std::string crs;                  // its coordinate system, described; empty: none
};

// Opens `source` (OpenVectorLayer) and describes `layer` (empty: the first).
// False with `error` as OpenVectorLayer and LayerCrs give it.
bool DescribeSource(const std::string& source, const std::string& layer, SourceFields& described,
                    std::string& error);

}  // namespace mornax::geo
