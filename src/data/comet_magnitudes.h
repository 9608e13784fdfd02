#pragma once
// The catalogue comets' total magnitude laws, one row per line of kCometCatalogue in
// the same order, generated with it by tools/make_catalogue.py from the same Minor
// Planet Center source. Read by the dust-trail strength model (meteors/zhr_model.h).

#include <array>

#include "data/comet_catalogue.h"

namespace stelvo {

// m = H + 5 log10(delta) + 2.5 G log10(r), delta and r in AU.
struct CometMagnitude {
  double h, g;
  bool given;  // false: the source gives no magnitude law
};

extern const std::array<CometMagnitude, kCometCount> kCometMagnitudes;

}  // namespace stelvo
