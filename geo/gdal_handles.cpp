#include "geo/gdal_handles.h"

#include "geo/gdal_session.h"

namespace mornax::geo {

std::string GdalFailure(std::string_view what) {
  const std::string message = TakeGdalMessage();
  return std::string(what) + (message.empty() ? "" : ": " + message);
}

}  // namespace mornax::geo
