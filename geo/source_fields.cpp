#include "geo/source_fields.h"

#include "geo/crs_definition.h"
#include "geo/vector_source.h"

namespace mornax::geo {

bool DescribeSource(const std::string& source, const std::string& layer, SourceFields& described,
                    std::string& error) {
  described = SourceFields{};
  VectorLayer opened;
  if (!OpenVectorLayer(source, layer, opened, error)) return false;
  for (int i = 0; i < opened.layerCount; ++i) {
    described.layers.emplace_back(opened.dataset->GetLayer(i)->GetName());
  }
  described.layer = opened.layer->GetName();
  OGRFeatureDefn* definition = opened.layer->GetLayerDefn();
  for (int i = 0; i < definition->GetFieldCount(); ++i) {
    const OGRFieldDefn* field = definition->GetFieldDefn(i);
    described.fields.emplace_back(field->GetNameRef());
    const OGRFieldType type = field->GetType();
    described.numeric.push_back(type == OFTInteger || type == OFTInteger64 || type == OFTReal);
  }
  described.pointGeometry = wkbFlatten(opened.layer->GetGeomType()) == wkbPoint ||
                            wkbFlatten(opened.layer->GetGeomType()) == wkbMultiPoint;
  std::string wkt;
  if (!LayerCrs(opened, wkt, error)) return false;
  if (!wkt.empty()) described.crs = DescribeCrs(wkt);
  return true;
}

}  // namespace mornax::geo
