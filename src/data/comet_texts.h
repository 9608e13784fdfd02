#pragma once
// The comets' orbit solutions, recorded perihelion passages and recorded release
// events as shipped: the bytes of src/data/comet_solutions.csv, perihelion_history.csv
// and release_events.csv, compiled in at build time (see README.md here). Parsed and
// checked by initial/comet_solutions.h.

#include <string_view>

namespace stelvo {

std::string_view CometSolutionsText();
std::string_view PerihelionHistoryText();
std::string_view ReleaseEventsText();

}  // namespace stelvo
