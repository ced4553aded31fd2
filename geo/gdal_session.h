// GDAL set up once per process: every driver registered and GDAL's own
// messages captured instead of printed, so that each command reports in its
// own words.
#pragma once

#include <string>

namespace mornax::geo {

// Registers GDAL's drivers (once) and routes its error messages to a buffer.
void EnsureGdal();

// The last message GDAL reported since the previous call, or an empty string;
// the buffer is cleared.
std::string TakeGdalMessage();

}  // namespace mornax::geo
