// The number of data points a data file announces in its header (the line
// after the title), read without reading the points, for the dialogs that
// must not ask for more neighbours than there are points.
#pragma once

#include <optional>
#include <string>

namespace mornax::gui {

// The count N of `dataFile`; nothing when the file cannot be read or its
// second line holds no whole number of at least 0.
std::optional<int> DataPointCount(const std::string& dataFile);

}  // namespace mornax::gui
