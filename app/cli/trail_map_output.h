#pragma once
// stelvo-cli's --trail-map: the trail picture of one encounter of a forecast, drawn
// with the window's own code (view/trail_map.h) and written as PNG atomically. The
// encounter is the strongest (highest ZHR, then most grains near the Earth) among
// those of --trail-map-trail's trail and --trail-map-year's year when given.

#include <string>

#include "meteors/forecast.h"

namespace stelvo {

// Draws `encounter` in a width x height picture and writes it to `path`. Returns
// false with `error` set (one line) when the file cannot be written; the target then
// keeps its old content or stays absent.
bool WriteTrailMap(const TrailEncounter& encounter, int width, int height, const std::string& path,
                   std::string& error);

}  // namespace stelvo
