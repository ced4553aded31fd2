// The result map rendered to a picture file without a display, for the
// batch tool: the application object is created on Qt's offscreen platform
// when the process has none.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <QSize>

#include "gui/render/map_loader.h"

namespace mornax::render {

struct HeadlessMapResult {
  bool written = false;
  std::string error;               // why nothing was written
  std::vector<std::string> notes;  // what the map says below it
};

HeadlessMapResult RenderMapPicture(const std::filesystem::path& document,
                                   const std::filesystem::path& output, const MapRequest& request,
                                   QSize pixels);

}  // namespace mornax::render
