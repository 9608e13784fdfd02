#pragma once
// The catalogue comets' osculating elements at their epochs, one row per line of
// kCometCatalogue in the same order, generated with it by tools/make_catalogue.py
// from the same Minor Planet Center source. Read by the comet's own integration
// through time (meteors/comet_passages.h).

#include <array>

#include "data/comet_catalogue.h"

namespace stelvo {

struct CometEpochElements {
  int epochYear, epochMonth;
  double epochDay;
  bool epochGiven;  // false: the source gives no epoch; taken as osculating at perihelion
  double q;         // perihelion distance, AU
  double ecc;
  double inclDeg, nodeDeg, argPeriDeg;  // ecliptic and equinox J2000
  int periYear, periMonth;
  double periDay;  // with its fraction
};

extern const std::array<CometEpochElements, kCometCount> kCometEpochs;

}  // namespace stelvo
