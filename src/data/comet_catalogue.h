#pragma once
// The built-in comet catalogue: 588 fixed-width lines in their stored order,
// generated from Minor Planet Center elements by tools/make_catalogue.py.

#include <array>
#include <string_view>

namespace stelvo {

inline constexpr int kCometCount = 588;

// Index 62 is the comet selected at start-up; index 1 gives a run without particles.
extern const std::array<std::string_view, kCometCount> kCometCatalogue;

}  // namespace stelvo
