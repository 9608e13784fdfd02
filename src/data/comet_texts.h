#pragma once
// The comets' orbit solutions and recorded perihelion passages as shipped: the bytes
// of src/data/comet_solutions.csv and perihelion_history.csv, compiled in at build
// time (see README.md here). Parsed and checked by initial/comet_solutions.h.

#include <string_view>

namespace stelvo {

std::string_view CometSolutionsText();
std::string_view PerihelionHistoryText();

}  // namespace stelvo
