#include "geo/gdal_handles.h"

#include <cpl_error.h>

#include "geo/gdal_session.h"

namespace mornax::geo {

bool CloseDataset(DatasetHandle& dataset, const std::filesystem::path& path, std::string& error) {
  CPLErrorReset();
  GDALClose(dataset.release());
  if (CPLGetLastErrorType() >= CE_Failure) {
    error = GdalFailure("cannot finish " + path.filename().string());
    return false;
  }
  return true;
}

std::string GdalFailure(std::string_view what) {
  const std::string message = TakeGdalMessage();
  return std::string(what) + (message.empty() ? "" : ": " + message);
}

}  // namespace mornax::geo
