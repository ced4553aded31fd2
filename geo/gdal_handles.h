// Owners of GDAL objects, so that every dataset, feature and option list is
// released on every path.
#pragma once

#include <cpl_string.h>
#include <gdal.h>
#include <ogr_api.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

namespace mornax::geo {

struct DatasetCloser {
  void operator()(void* dataset) const { GDALClose(dataset); }
};
using DatasetHandle = std::unique_ptr<void, DatasetCloser>;

struct FeatureDestroyer {
  void operator()(OGRFeatureH feature) const { OGR_F_Destroy(feature); }
};
using FeatureHandle = std::unique_ptr<std::remove_pointer_t<OGRFeatureH>, FeatureDestroyer>;

struct GeometryDestroyer {
  void operator()(OGRGeometryH geometry) const { OGR_G_DestroyGeometry(geometry); }
};
using GeometryHandle = std::unique_ptr<std::remove_pointer_t<OGRGeometryH>, GeometryDestroyer>;

// A GDAL option list ("KEY=VALUE" strings).
class OptionList {
 public:
  OptionList() = default;
  OptionList(const OptionList&) = delete;
  OptionList& operator=(const OptionList&) = delete;
  ~OptionList() { CSLDestroy(items_); }

  void Set(const char* key, const std::string& value) {
    items_ = CSLSetNameValue(items_, key, value.c_str());
  }
  char** items() const { return items_; }

 private:
  char** items_ = nullptr;
};

// Closes the dataset, which writes whatever GDAL still holds; a failure
// there is a failed write of `path` (false, `error` set).
bool CloseDataset(DatasetHandle& dataset, const std::filesystem::path& path, std::string& error);

// "what: GDAL's last message", or `what` alone when GDAL said nothing.
std::string GdalFailure(std::string_view what);

}  // namespace mornax::geo
