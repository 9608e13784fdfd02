#pragma once
// The particles of a run: each takes the selected comet's elements, a mean anomaly
// at the epoch and, by the start distribution, enlarged a and argument of
// perihelion; its state at the epoch follows from two-body motion.

#include <string>

#include "core/run_state.h"
#include "initial/bahn_element.h"
#include "initial/random_unit.h"

namespace stelvo {

enum StartDistribution {
  kUeberBahn = 0,          // "ueber Bahn": uniform over the whole orbit
  kQuasipunkt = 1,         // "Quasipunkt": near the comet's own position
  kLeichtVerstreut = 2,    // "leicht verstreut": fixed arc, larger orbits
  kStaerkerVerstreut = 3,  // "staerker verstreut": also turned apsidal lines
};
inline constexpr int kDistributionCount = 4;

// Throws RunError "'<text>' is not a valid start distribution" for a distribution
// outside the four; the caller checks before the first particle draws anything.
void CheckStartDistribution(int distribution, const std::string& typedText);

// Parses catalogue line cometIndex afresh, derives and spreads the elements, and
// writes particle row `row` (0-based array index) of slot 0. `elements` is the
// run's working record (CometElements) and keeps the last particle's values.
void InitParticle(RunState& state, int row, double epoch, int cometIndex, int distribution,
                  RandomSource& random, BahnElement& elements);

}  // namespace stelvo
