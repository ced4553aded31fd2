// Builds the result map of a project from its result files, through the GIS
// room's readers: the network results (.dat/.wl with the data file's
// positions), the error analysis (.lst) and the level list (.lev). It never
// runs a computation; what cannot be shown becomes a message in the scene.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "gui/render/map_scene.h"
#include "gui/render/map_style.h"

namespace mornax::render {

enum class MapLayer { kEstimate, kStandardError, kGuess, kResiduals };

// "estimate", "std", "guess", "residuals".
std::optional<MapLayer> MapLayerFromName(std::string_view name);
const char* MapLayerName(MapLayer layer);

struct MapRequest {
  MapLayer layer = MapLayer::kEstimate;
  // The batch tool's level text: "lev", "auto" or "V1,V2,..."; style.levels
  // takes its place when set.
  std::string levels = "lev";
  // The user chose the levels: levels that cannot be drawn fail the map
  // rather than leave it without contour lines and a note.
  bool levelsGiven = false;
  MapStyle style;
};

// The scene of `document` (PROJECT.mnx; its result files lie beside it).
// On any fault the scene's `failure` says what is wrong and names the file.
MapScene LoadMapScene(const std::filesystem::path& document, const MapRequest& request);

// Values whose magnitude exceeds this are shown as missing: they are
// overflow markers, not measurements, and would flatten the colour scale.
inline constexpr double kLargestMapValue = 1e20;

}  // namespace mornax::render
